#include "dial/SessionRecords.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "base/DialEntry.h"
#include "store/DamagedFile.h"
#include "store/SafeFile.h"
#include "store/XmlDocument.h"

namespace tarnix {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kDeclaration = "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n";

enum class MonthFile { Missing, Usable, Damaged, Unreadable };

// Loads an existing month file into `doc` with the cursor on its `record` root.
MonthFile loadMonthFile(const fs::path& path, XmlDocument& doc) {
    std::error_code ec;
    if (!fs::exists(path, ec)) return ec ? MonthFile::Unreadable : MonthFile::Missing;
    const auto size = fs::file_size(path, ec);
    if (ec) return MonthFile::Unreadable;
    if (size == 0) return MonthFile::Missing;  // nothing in it to keep
    if (doc.Load(path) && doc.FindElement("record")) return MonthFile::Usable;
    // Not a record file, or not readable at all (another program may hold it).
    std::string bytes, error;
    return readWholeFile(path, bytes, error) ? MonthFile::Damaged : MonthFile::Unreadable;
}

std::string counterText(std::uint32_t value) {
    // The files have always shown the counters as signed 32-bit numbers.
    return std::to_string(static_cast<std::int32_t>(value));
}

}  // namespace

std::mutex& recordFilesMutex() {
    static std::mutex mutex;
    return mutex;
}

SessionRecords::SessionRecords(fs::path folder, RemoteAccess& access, Clock& clock)
    : folder_(std::move(folder)), access_(access), clock_(clock) {}

std::string SessionRecords::monthFileName(const LocalTime& time) {
    char name[32];
    std::snprintf(name, sizeof name, "%d-%02d.xml", time.year, time.month);
    return name;
}

fs::path SessionRecords::folderBeside(const fs::path& programFolder) {
    return programFolder / "data" / "record";
}

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
    MonthFile state = loadMonthFile(path, doc);
    if (state == MonthFile::Unreadable) return;  // another program holds it: leave it be
    if (state == MonthFile::Damaged) {
        if (keepDamagedAside(path).empty()) return;
        state = MonthFile::Missing;
    }

    if (state == MonthFile::Usable) {
        doc.EnterElement();
        doc.InsertElement("ITEM");
    } else {
        doc.SetDocText(kDeclaration);
        doc.AddElement("record");
        doc.EnterElement();
        doc.AddElement("ITEM");
    }
    doc.SetAttribute("user", accountName);
    doc.SetAttribute("start_time", formatTime(now));
    doc.SetAttribute("end_time", "");
    doc.SetAttribute("ip", address);
    doc.SetAttribute("error_code", "");
    doc.SetAttribute("send", "");
    doc.SetAttribute("recv", "");
    if (state != MonthFile::Usable) doc.LeaveElement();
    if (doc.Save(path)) openFile_ = path;
}

void SessionRecords::closeRecordNormal() {
    std::string sent, received;
    LinkStatistics stats;
    const auto entry = connectionsOf(access_, kDialEntryName);
    if (!entry.empty() && access_.statistics(entry.front(), stats)) {
        sent = counterText(stats.bytesSent);
        received = counterText(stats.bytesReceived);
    }
    close(kNormalCause, sent, received);
}

void SessionRecords::closeRecordAbnormal() { close(kAbnormalCause, {}, {}); }

void SessionRecords::close(std::string_view cause, const std::string& sent,
                           const std::string& received) {
    std::lock_guard<std::mutex> lock(recordFilesMutex());
    const LocalTime now = clock_.now();
    const fs::path path = openFile_.empty() ? folder_ / monthFileName(now) : openFile_;
    openFile_.clear();

    // Only a record that is still open is closed: a disconnect or a shutdown with no
    // session must not rewrite the end of one that was closed before.
    XmlDocument doc;
    if (loadMonthFile(path, doc) != MonthFile::Usable) return;
    if (!doc.FindChildElement("ITEM") || !doc.EnterElement()) return;
    if (!doc.GetAttribute("end_time").empty()) return;

    doc.SetAttribute("end_time", formatTime(now));
    doc.SetAttribute("error_code", cause);
    if (cause == kNormalCause) {
        doc.SetAttribute("send", sent);
        doc.SetAttribute("recv", received);
    }
    doc.Save(path);
}

}  // namespace tarnix
