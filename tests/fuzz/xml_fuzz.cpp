// Arbitrary bytes as a document, then a random sequence of cursor moves and edits. After
// every step the element index must still match the text; for documents that parsed
// without a problem, parsing the edited text again must give the same index.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>

#include "store/XmlDocument.h"

using tarnix::XmlDocument;

namespace {

void check(const XmlDocument& doc, bool compareReparse, int step) {
    const std::string problem = doc.CheckIndex();
    if (!problem.empty()) {
        std::fprintf(stderr, "step %d: %s\n", step, problem.c_str());
        std::abort();
    }
    if (!compareReparse) return;
    XmlDocument again;
    again.SetDocText(doc.GetDocText());
    if (again.IndexSummary() != doc.IndexSummary()) {
        std::fprintf(stderr, "step %d: parsing the edited text again gives another index\n", step);
        std::abort();
    }
}

std::string pickName(FuzzedDataProvider& in) {
    static const char* const kNames[] = {"", "a", "b", "ITEM", "CONFIG", "x:y", "_", "\xd6\xd0",
                                         "a b", "1", "a/"};
    const size_t pick = in.ConsumeIntegralInRange<size_t>(0, std::size(kNames));
    return pick < std::size(kNames) ? kNames[pick] : in.ConsumeRandomLengthString(6);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string text = in.ConsumeBytesAsString(in.ConsumeIntegralInRange<size_t>(0, size));
    XmlDocument doc;
    doc.SetDocText(text);
    const bool clean = doc.GetResultText().empty();
    check(doc, clean, 0);
    for (int step = 1; step <= 48 && in.remaining_bytes() > 0; ++step) {
        switch (in.ConsumeIntegralInRange<int>(0, 17)) {
            case 0: doc.ResetMainPosition(); break;
            case 1: doc.FindElement(pickName(in)); break;
            case 2: doc.FindChildElement(pickName(in)); break;
            case 3: doc.EnterElement(); break;
            case 4: doc.LeaveElement(); break;
            case 5: doc.GetText(); doc.GetChildText(); break;
            case 6: doc.GetAttribute(pickName(in)); doc.GetChildAttribute(pickName(in)); break;
            case 7: doc.SetText(in.ConsumeRandomLengthString(12)); break;
            case 8: doc.SetText(in.ConsumeIntegral<int>()); break;
            case 9: doc.AddElement(pickName(in), in.ConsumeRandomLengthString(8)); break;
            case 10: doc.InsertElement(pickName(in), in.ConsumeRandomLengthString(8)); break;
            case 11: doc.AddChildElement(pickName(in), in.ConsumeRandomLengthString(8)); break;
            case 12: doc.SetAttribute(pickName(in), in.ConsumeRandomLengthString(12)); break;
            case 13: doc.RemoveElement(); break;
            case 14: doc.RemoveChildElement(); break;
            case 15: doc.GetTagName(); doc.GetChildTagName(); doc.IsWellFormed(); break;
            case 16: XmlDocument::Unescape(doc.GetDocText().substr(0, 64)); break;
            case 17: doc.SetDocText(doc.GetDocText()); break;
        }
        check(doc, clean, step);
    }
    return 0;
}
