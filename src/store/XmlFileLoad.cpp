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
                         std::string_view root, std::string* error) {
    for (int attempt = 1;; ++attempt) {
        std::error_code failure;
        const bool exists = std::filesystem::exists(file, failure);
        if (!failure && !exists) return XmlFileState::Missing;
        // One read and one decoding for both questions, so that bytes the load cannot
        // take are never mistaken for a file another program holds.
        std::string bytes, message;
        size_t room = 0;
        if (!failure && readWholeFile(file, bytes, message, &room)) {
            if (bytes.size() == 2 * room) return XmlFileState::Missing;
            const bool wellFormed = doc.LoadBytes(std::move(bytes), room);
            doc.ResetMainPosition();
            return wellFormed && doc.FindElement(root) ? XmlFileState::Loaded
                                                       : XmlFileState::Damaged;
        }
        if (attempt == kReadAttempts) {
            if (error) *error = failure ? failure.message() : message;
            return XmlFileState::Unreadable;
        }
        std::this_thread::sleep_for(kReadPause);
    }
}

void startXmlFile(XmlDocument& doc, std::string_view root) {
    doc.SetDocText(std::string(kXmlDeclaration) + "\r\n");
    doc.AddElement(root);
}

}  // namespace tarnix
