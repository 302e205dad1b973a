#include "app/CommandLine.h"

#include <cwctype>

namespace tarnix {
namespace {

bool sameSwitch(const std::wstring& argument, const wchar_t* name) {
    std::size_t i = 0;
    for (; name[i]; ++i) {
        if (i >= argument.size() || std::towlower(argument[i]) != name[i]) return false;
    }
    return i == argument.size();
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::wstring>& arguments) {
    if (arguments.empty()) return {};
    if (arguments.size() > 1) return {CommandLineVerb::Invalid, {}};
    const std::wstring& argument = arguments.front();
    struct Known {
        const wchar_t* name;
        CommandLineVerb verb;
    };
    static const Known kKnown[] = {{L"/connect", CommandLineVerb::Connect},
                                   {L"/disconnect", CommandLineVerb::Disconnect},
                                   {L"/status", CommandLineVerb::Status},
                                   {L"/?", CommandLineVerb::Usage}};
    for (const Known& known : kKnown) {
        if (sameSwitch(argument, known.name)) return {known.verb, {}};
    }
    // Shown back in the message: a few dozen characters say which one was meant.
    constexpr std::size_t kShown = 40;
    std::wstring shown = argument.substr(0, kShown);
    if (argument.size() > kShown) shown += L"...";
    return {CommandLineVerb::Invalid, shown};
}

}  // namespace tarnix
