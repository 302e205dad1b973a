#include "settings/ScheduleUsageForm.h"

#include <algorithm>

#include "TextIds.h"
#include "base/Prompt.h"
#include "base/Texts.h"
#include "records/UsageAllowance.h"
#include "settings/ReconnectSchedule.h"

namespace tarnix {
namespace {

bool refuse(unsigned message, void* owner) {
    promptText(owner, message, PromptIcon::Error);
    return false;
}

}  // namespace

ScheduleUsageFields ScheduleUsageForm::load() {
    ScheduleUsageFields fields;
    if (auto minutes = readReconnectTime(config_)) {
        fields.reconnect = true;
        fields.reconnectMinutes = *minutes;
    }
    const UsageAllowance allowance = readAllowance(config_);
    if (allowance.hours) fields.hoursText = std::to_string(*allowance.hours);
    if (allowance.gigabytes) fields.gigabytesText = std::to_string(*allowance.gigabytes);
    fields.startDay = allowance.startDay;
    return fields;
}

bool ScheduleUsageForm::save(const ScheduleUsageFields& fields, void* owner) {
    UsageAllowance allowance;
    allowance.startDay = std::clamp(fields.startDay, 1, 31);
    auto blank = [](const std::string& t) { return t.find_first_not_of(' ') == std::string::npos; };
    if (!blank(fields.hoursText)) {
        allowance.hours = parseAllowance(fields.hoursText, kMaxAllowanceHours);
        if (!allowance.hours) return refuse(IDS_ALLOWANCE_BAD_HOURS, owner);
    }
    if (!blank(fields.gigabytesText)) {
        allowance.gigabytes = parseAllowance(fields.gigabytesText, kMaxAllowanceGigabytes);
        if (!allowance.gigabytes) return refuse(IDS_ALLOWANCE_BAD_GIGABYTES, owner);
    }
    const int minutes = std::clamp(fields.reconnectMinutes, 0, 24 * 60 - 1);
    config_.SetOptional("ReconnectAt", fields.reconnect ? formatTimeOfDay(minutes) : std::string());
    writeAllowance(config_, allowance);
    return true;
}

}  // namespace tarnix
