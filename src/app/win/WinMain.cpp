#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/win/DialerApp.h"
#include "app/win/RemoteRequester.h"
#include "base/FileDialogs.h"
#include "base/Prompt.h"
#include "base/ShellOpen.h"
#include "base/win/ResourceTexts.h"
#include "settings/StartupRegistration.h"
#include "update/UpdaterStart.h"

// The program's texts come from its own string table. They are chosen before the
// application object is built (statics of one file are built in order), as its services
// may read texts while they are built.
static const tarnix::ResourceTexts theTexts(GetModuleHandleW(nullptr));
static const bool theTextsChosen = (tarnix::useTexts(theTexts), true);

// The one application object; its services are built before start-up runs.
static tarnix::DialerApp theApp;

namespace {

// The arguments after the program's name, as the C runtime split them before start-up
// (not CommandLineToArgvW, which would load the shell's library into every start).
std::vector<std::wstring> commandLineArguments() {
    std::vector<std::wstring> arguments;
    for (int i = 1; __wargv && i < __argc; ++i) arguments.emplace_back(__wargv[i]);
    return arguments;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace tarnix;
    // What the core asks of the desktop, the system answers.
    setPromptHandler(systemPrompt);
    setPathHandler(systemPathDialog);
    setShellOpenHandler(systemShellOpen);
    setShellOpenFileHandler(systemShellOpenFile);
    setUpdaterStartHandler(systemStartProgram);
    // A switch is a script's request to the running client; only a plain start is one.
    const CommandLine line = parseCommandLine(commandLineArguments());
    if (line.verb != CommandLineVerb::Start) return runCommandLine(line, currentProgramPath());
    theApp.InitInstance();
    return theApp.ExitInstance();
}
