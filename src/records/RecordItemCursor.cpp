#include "records/RecordItemCursor.h"

namespace tarnix {

RecordItemCursor::RecordItemCursor(XmlDocument& doc) : doc_(doc) {}

bool RecordItemCursor::next() {
    if (phase_ == Phase::Start) {
        doc_.ResetMainPosition();
        phase_ = doc_.FindElement("record") ? Phase::Children : Phase::Done;
    }
    if (phase_ == Phase::Children) {
        if (doc_.FindChildElement("ITEM")) {
            ++place_;
            return true;
        }
        phase_ = Phase::Following;  // the main position stays on `record`
    }
    if (phase_ == Phase::Following) {
        if (doc_.FindElement("ITEM")) {
            ++place_;
            return true;
        }
        phase_ = Phase::Done;
    }
    return false;
}

std::string RecordItemCursor::attribute(std::string_view name) const {
    return phase_ == Phase::Children ? doc_.GetChildAttribute(name) : doc_.GetAttribute(name);
}

void RecordItemCursor::remove() {
    if (phase_ == Phase::Children)
        doc_.RemoveChildElement();
    else if (phase_ == Phase::Following)
        doc_.RemoveElement();  // the main position goes back to the element before it
}

}  // namespace tarnix
