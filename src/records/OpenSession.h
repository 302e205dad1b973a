#pragma once
// The session whose record is still open: the newest record of this month's file, or of
// last month's for a session that began then, while it has no end time.

#include <filesystem>
#include <optional>
#include <string>

#include "base/Clock.h"

namespace tarnix {

struct OpenSession {
    std::string account;  // GB2312
    LocalTime start;
};

// `folder` is the record folder; `now` picks the month.
std::optional<OpenSession> findOpenSession(const std::filesystem::path& folder, const LocalTime& now);

}  // namespace tarnix
