#pragma once
// One fuzz case for the XML engine: the input's front bytes become the document text,
// its back bytes choose a sequence of cursor moves and edits. After every step the
// element index must match the text; for documents that parsed without a problem,
// parsing the edited text again must give the same index. Shared by the libFuzzer target
// and by the regression test that replays the inputs kept in regressions/.

#include <cstdint>
#include <cstring>
#include <string>

#include "store/XmlDocument.h"

namespace tarnix::fuzz {

class FuzzInput {
  public:
    FuzzInput(const uint8_t* data, size_t size) : front_(data), back_(data + size) {}
    size_t remaining() const { return static_cast<size_t>(back_ - front_); }
    unsigned pick(unsigned count) { return remaining() ? *--back_ % count : 0; }
    size_t length(size_t max) {
        size_t v = pick(256);
        v = v * 256 + pick(256);
        return v % (max + 1);
    }
    int integer() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = v * 256 + pick(256);
        int out;
        std::memcpy(&out, &v, sizeof out);
        return out;
    }
    std::string bytes(size_t n) {
        n = n < remaining() ? n : remaining();
        std::string out(reinterpret_cast<const char*>(front_), n);
        front_ += n;
        return out;
    }
    std::string shortString(unsigned max) { return bytes(pick(max + 1)); }

  private:
    const uint8_t* front_;
    const uint8_t* back_;
};

inline std::string pickName(FuzzInput& in) {
    static const char* const kNames[] = {"",  "a",        "b",   "ITEM", "CONFIG", "x:y",
                                         "_", "\xd6\xd0", "a b", "1",    "a/"};
    const unsigned count = sizeof kNames / sizeof kNames[0];
    const unsigned choice = in.pick(count + 1);
    return choice < count ? kNames[choice] : in.shortString(6);
}

// Returns what went wrong, or an empty string.
inline std::string runXmlFuzzCase(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    const size_t textLength = in.length(size);
    XmlDocument doc;
    doc.SetDocText(in.bytes(textLength));
    const bool clean = doc.GetResultText().empty();
    for (int step = 0; step <= 48; ++step) {
        if (step > 0) {
            if (in.remaining() == 0) break;
            switch (in.pick(18)) {
                case 0:
                    doc.ResetMainPosition();
                    break;
                case 1:
                    doc.FindElement(pickName(in));
                    break;
                case 2:
                    doc.FindChildElement(pickName(in));
                    break;
                case 3:
                    doc.EnterElement();
                    break;
                case 4:
                    doc.LeaveElement();
                    break;
                case 5:
                    doc.GetText(), doc.GetChildText();
                    break;
                case 6:
                    doc.GetAttribute(pickName(in)), doc.GetChildAttribute(pickName(in));
                    break;
                case 7:
                    doc.SetText(in.shortString(12));
                    break;
                case 8:
                    doc.SetText(in.integer());
                    break;
                case 9:
                    doc.AddElement(pickName(in), in.shortString(8));
                    break;
                case 10:
                    doc.InsertElement(pickName(in), in.shortString(8));
                    break;
                case 11:
                    doc.AddChildElement(pickName(in), in.shortString(8));
                    break;
                case 12:
                    doc.SetAttribute(pickName(in), in.shortString(12));
                    break;
                case 13:
                    doc.RemoveElement();
                    break;
                case 14:
                    doc.RemoveChildElement();
                    break;
                case 15:
                    doc.GetTagName(), doc.GetChildTagName(), doc.IsWellFormed();
                    break;
                case 16:
                    XmlDocument::Unescape(doc.GetDocText().substr(0, 64));
                    break;
                case 17:
                    doc.SetDocText(std::string(doc.GetDocText()));
                    break;
            }
        }
        const std::string problem = doc.CheckIndex();
        if (!problem.empty()) return "step " + std::to_string(step) + ": " + problem;
        if (clean) {
            XmlDocument again;
            again.SetDocText(doc.GetDocText());
            if (again.IndexSummary() != doc.IndexSummary())
                return "step " + std::to_string(step) +
                       ": parsing the text again gives another index";
        }
    }
    return {};
}

}  // namespace tarnix::fuzz
