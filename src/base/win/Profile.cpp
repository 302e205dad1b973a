// Profile files through the Windows profile functions, in their wide form so the file's
// folder may have any name; keys and values are GB2312 and converted with code page 936.
#include "base/Profile.h"

#include <windows.h>

#include <vector>

#include "base/CodePage.h"

namespace tarnix {
namespace {

class WinProfile : public Profile {
  public:
    std::string readString(const std::filesystem::path& file, const std::string& section,
                           const std::string& key, const std::string& fallback) override {
        std::wstring wfallback = gbToWide(fallback);
        std::vector<wchar_t> buffer(1024);
        for (;;) {
            DWORD n = GetPrivateProfileStringW(
                gbToWide(section).c_str(), gbToWide(key).c_str(), wfallback.c_str(), buffer.data(),
                static_cast<DWORD>(buffer.size()), file.wstring().c_str());
            if (n + 1 < buffer.size() || buffer.size() >= 1 << 20) {
                return wideToGb(std::wstring(buffer.data(), n));
            }
            buffer.resize(buffer.size() * 4);
        }
    }

    int readInt(const std::filesystem::path& file, const std::string& section,
                const std::string& key, int fallback) override {
        return static_cast<int>(GetPrivateProfileIntW(
            gbToWide(section).c_str(), gbToWide(key).c_str(), fallback, file.wstring().c_str()));
    }

    bool writeString(const std::filesystem::path& file, const std::string& section,
                     const std::string& key, const std::string& value) override {
        return WritePrivateProfileStringW(gbToWide(section).c_str(), gbToWide(key).c_str(),
                                          gbToWide(value).c_str(), file.wstring().c_str()) != 0;
    }
};

}  // namespace

Profile& systemProfile() {
    static WinProfile profile;
    return profile;
}

}  // namespace tarnix
