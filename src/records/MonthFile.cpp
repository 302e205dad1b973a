#include "records/MonthFile.h"

#include <cstdio>

#include "TextIds.h"
#include "base/Texts.h"
#include "store/XmlFileLoad.h"

namespace tarnix {

namespace fs = std::filesystem;

std::string monthFileName(const LocalTime& time) {
    char name[32];
    std::snprintf(name, sizeof name, "%d-%02d.xml", time.year, time.month);
    return name;
}

fs::path recordFolderBeside(const fs::path& programFolder) {
    return programFolder / "data" / "record";
}

std::string normalCause() { return gbText(IDS_CAUSE_NORMAL); }

std::string abnormalCause() { return gbText(IDS_CAUSE_ABNORMAL); }

std::mutex& recordFilesMutex() {
    static std::mutex mutex;
    return mutex;
}

MonthFileState loadMonthFile(const fs::path& path, XmlDocument& doc, std::string* error) {
    switch (loadXmlFile(doc, path, "record", error)) {
        case XmlFileState::Missing: return MonthFileState::Missing;
        case XmlFileState::Loaded: return MonthFileState::Usable;
        case XmlFileState::Damaged: return MonthFileState::Damaged;
        case XmlFileState::Unreadable: break;
    }
    return MonthFileState::Unreadable;
}

void writeItem(XmlDocument& doc, MonthFileState state, const RecordValues& values,
               ItemPlace place) {
    const bool usable = state == MonthFileState::Usable;
    if (usable) {
        doc.EnterElement();
        if (place == ItemPlace::First) {
            doc.InsertElement("ITEM");
        } else {
            while (doc.FindElement("ITEM")) {
            }  // past the last ITEM
            doc.AddElement("ITEM");
        }
    } else {
        startXmlFile(doc, "record");
        doc.EnterElement();
        doc.AddElement("ITEM");
    }
    for (size_t f = 0; f < kRecordFieldCount; ++f) doc.SetAttribute(kRecordFieldNames[f], values[f]);
    if (!usable) doc.LeaveElement();
}

}  // namespace tarnix
