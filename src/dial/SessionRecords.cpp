#include "dial/SessionRecords.h"

#include <cstdint>
#include <cstdio>
#include <map>
#include <mutex>
#include <vector>

#include "base/DialEntry.h"
#include "base/TextLines.h"
#include "records/MonthFile.h"
#include "store/DamagedFile.h"
#include "store/SafeFile.h"
#include "store/XmlDocument.h"

namespace tarnix {

namespace fs = std::filesystem;

namespace {

std::string counterText(std::uint32_t value) {
    // The files have always shown the counters as signed 32-bit numbers.
    return std::to_string(static_cast<std::int32_t>(value));
}

}  // namespace

SessionRecords::SessionRecords(fs::path folder, RemoteAccess& access, Clock& clock)
    : folder_(std::move(folder)), access_(access), clock_(clock) {}

std::string SessionRecords::entryAddress() {
    // With more than one connection of the entry, the last one's address is taken.
    std::string address;
    for (ConnHandle h : connectionsOf(access_, kDialEntryName)) {
        std::string found;
        if (access_.ipAddress(h, found)) address = found;
    }
    return address;
}

void SessionRecords::openRecord(const std::string& accountName) {
    add(accountName, entryAddress());
}

void SessionRecords::openRecord(const std::string& accountName, ConnHandle connection) {
    std::string address;
    access_.ipAddress(connection, address);
    add(accountName, address);
}

void SessionRecords::add(const std::string& accountName, const std::string& address) {
    std::lock_guard<std::mutex> lock(recordFilesMutex());
    const LocalTime now = clock_.now();
    const fs::path path = folder_ / monthFileName(now);

    XmlDocument doc;
    MonthFileState state = loadMonthFile(path, doc);
    if (state == MonthFileState::Unreadable) return;  // another program holds it: leave it be
    if (state == MonthFileState::Damaged) {
        if (keepDamagedAside(path).empty()) return;
        state = MonthFileState::Missing;
    }
    writeItem(doc, state, {accountName, formatTime(now), "", address, "", "", ""}, ItemPlace::First);
    if (!doc.Save(path)) return;
    openFile_ = path;
    openStart_ = formatTime(now);
    writeLastSeen(now);
}

void SessionRecords::closeRecordNormal() {
    std::string sent, received;
    LinkStatistics stats;
    const auto entry = connectionsOf(access_, kDialEntryName);
    if (!entry.empty() && access_.statistics(entry.front(), stats)) {
        sent = counterText(stats.bytesSent);
        received = counterText(stats.bytesReceived);
    }
    close(normalCause(), sent, received);
}

void SessionRecords::closeRecordAbnormal() { close(abnormalCause(), {}, {}); }

namespace {

// Puts the cursor on the newest record of `path` when it is still open (and, with
// `start`, began then).
bool enterOpenRecord(const fs::path& path, XmlDocument& doc, const std::string& start = {}) {
    if (loadMonthFile(path, doc) != MonthFileState::Usable) return false;
    if (!doc.FindChildElement("ITEM") || !doc.EnterElement()) return false;
    if (!doc.GetAttribute("end_time").empty()) return false;
    return start.empty() || doc.GetAttribute("start_time") == start;
}

bool isTimeText(const std::string& text) {
    LocalTime t;
    char extra;
    return std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d%c", &t.year, &t.month, &t.day, &t.hour,
                       &t.minute, &t.second, &extra) == 6;
}

// "file=", "start=" and "seen=" of last-seen.txt; empty when missing or unreadable.
std::map<std::string, std::string> readLastSeen(const fs::path& path) {
    std::map<std::string, std::string> values;
    std::string bytes, error;
    if (!readWholeFile(path, bytes, error) || bytes.size() > 4096) return values;
    forEachLine(bytes, [&values](std::string_view line) {
        const std::size_t equals = line.find('=');
        if (equals != std::string_view::npos)
            values[std::string(line.substr(0, equals))] = std::string(line.substr(equals + 1));
    });
    return values;
}

}  // namespace

void SessionRecords::writeLastSeen(const LocalTime& seen) {
    const std::string text = "file=" + openFile_.filename().string() + "\r\nstart=" + openStart_ +
                             "\r\nseen=" + formatTime(seen) + "\r\n";
    std::string error;
    writeWholeFile(lastSeenFile(), text, error);
}

void SessionRecords::saveProgress(const LinkStatistics* stats) {
    std::lock_guard<std::mutex> lock(recordFilesMutex());
    if (openFile_.empty()) return;
    // The time first: it is kept even when the record file cannot be written now.
    writeLastSeen(clock_.now());
    XmlDocument doc;
    if (!stats || !enterOpenRecord(openFile_, doc, openStart_)) return;
    doc.SetAttribute("send", counterText(stats->bytesSent));
    doc.SetAttribute("recv", counterText(stats->bytesReceived));
    doc.Save(openFile_);
}

bool SessionRecords::settleLastRun(bool linkUp) {
    std::lock_guard<std::mutex> lock(recordFilesMutex());
    if (!openFile_.empty()) return false;
    auto seen = readLastSeen(lastSeenFile());
    // The month the last run noted, and this one (a session may have begun last month).
    std::vector<fs::path> files;
    const std::string noted = seen["file"];
    if (!noted.empty() && noted.find_first_of("/\\") == std::string::npos)
        files.push_back(folder_ / noted);
    const fs::path current = folder_ / monthFileName(clock_.now());
    if (files.empty() || files.front() != current) files.push_back(current);

    for (const auto& path : files) {
        XmlDocument doc;
        if (!enterOpenRecord(path, doc)) continue;
        const std::string start = doc.GetAttribute("start_time");
        if (linkUp) {
            openFile_ = path;
            openStart_ = start;
            writeLastSeen(clock_.now());
            return true;
        }
        std::string end = start;
        if (path.filename().string() == noted && seen["start"] == start && isTimeText(seen["seen"]) &&
            seen["seen"] > start) {
            end = seen["seen"];
        }
        doc.SetAttribute("end_time", end);
        doc.SetAttribute("error_code", abnormalCause());
        doc.Save(path);
    }
    std::error_code ignored;
    fs::remove(lastSeenFile(), ignored);
    return false;
}

void SessionRecords::close(std::string_view cause, const std::string& sent,
                           const std::string& received) {
    std::lock_guard<std::mutex> lock(recordFilesMutex());
    // Only the record this run opened or adopted, and only while it is still open: a
    // disconnect or a shutdown with no session must not rewrite the end of another.
    if (openFile_.empty()) return;
    const LocalTime now = clock_.now();
    const fs::path path = openFile_;
    const std::string start = openStart_;
    openFile_.clear();
    openStart_.clear();
    std::error_code ignored;
    fs::remove(lastSeenFile(), ignored);

    XmlDocument doc;
    if (!enterOpenRecord(path, doc, start)) return;

    doc.SetAttribute("end_time", formatTime(now));
    doc.SetAttribute("error_code", cause);
    if (cause == normalCause()) {
        doc.SetAttribute("send", sent);
        doc.SetAttribute("recv", received);
    }
    doc.Save(path);
}

}  // namespace tarnix
