#include "store/XmlFileLoad.h"

#include <chrono>
#include <string>
#include <system_error>
#include <thread>

#include "store/SafeFile.h"

namespace tarnix {
namespace {
constexpr int kReadAttempts = 20;
constexpr auto kReadPause = std::chrono::milliseconds(25);
}  // namespace

XmlFileState loadXmlFile(XmlDocument& doc, const std::filesystem::path& file,
                         std::string_view root) {
    for (int attempt = 1;; ++attempt) {
        std::error_code error;
        const bool exists = std::filesystem::exists(file, error);
        if (!error && !exists) return XmlFileState::Missing;
        if (!error && doc.Load(file)) {
            doc.ResetMainPosition();
            return doc.FindElement(root) ? XmlFileState::Loaded : XmlFileState::Damaged;
        }
        // Load fails alike for bytes that are not XML and for a file it could not read.
        std::string bytes, message;
        if (!error && readWholeFile(file, bytes, message)) {
            if (bytes.empty()) return XmlFileState::Missing;
            XmlDocument scratch;
            if (!scratch.SetDocText(bytes)) return XmlFileState::Damaged;
        }
        if (attempt == kReadAttempts) return XmlFileState::Unreadable;
        std::this_thread::sleep_for(kReadPause);
    }
}

}  // namespace tarnix
