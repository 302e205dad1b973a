#pragma once
// INI ("profile") files: GetPrivateProfileString and friends on Windows, a small reader
// and writer of the same format elsewhere. Strings are GB2312 bytes.

#include <filesystem>
#include <string>

namespace tarnix {

class Profile {
  public:
    virtual ~Profile() = default;
    virtual std::string readString(const std::filesystem::path& file, const std::string& section,
                                   const std::string& key, const std::string& fallback) = 0;
    virtual int readInt(const std::filesystem::path& file, const std::string& section,
                        const std::string& key, int fallback) = 0;
    virtual bool writeString(const std::filesystem::path& file, const std::string& section,
                             const std::string& key, const std::string& value) = 0;
};

// The platform's own implementation (the OS layer's), which the program hands to the core.
Profile& systemProfile();

}  // namespace tarnix
