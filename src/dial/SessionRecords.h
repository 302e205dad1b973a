#pragma once
// The sessions' records in the month files (records/MonthFile.h), newest first.
//
// A record is opened when a dial has been made and closed when the session ends, by
// the user (normal, with the traffic counters) or by a drop (abnormal).
//
// A record is closed only by the run that opened or adopted it. While its link is up the
// run saves the counters into it and the time it was last known alive into
// "last-seen.txt" beside the month files (not into `end_time`, where a reader would take
// the open record for a closed one). A run that dies (killed, crashed, the power lost)
// leaves its record open; the next start closes it as "非法断开" at that time.

#include <filesystem>
#include <string>
#include <string_view>

#include "base/Clock.h"
#include "dial/RemoteAccess.h"

namespace tarnix {

class SessionRecords {
  public:
    // `folder` is the record folder; it is not created here (the connect command makes it).
    SessionRecords(std::filesystem::path folder, RemoteAccess& access, Clock& clock);

    // Adds a record of a session that starts now, above every other of the month, with
    // the address of the dial entry's connection (empty when there is none).
    void openRecord(const std::string& accountName);
    // The same for a known connection: its address (empty when it is already gone).
    void openRecord(const std::string& accountName, ConnHandle connection);
    // Closes the record this run opened or adopted with the end time, "正常断开" and the
    // entry's counters; nothing when there is none.
    void closeRecordNormal();
    // Closes the record this run opened or adopted with the end time and "非法断开".
    void closeRecordAbnormal();

    // At start: the record a run before left open is adopted when the entry's link is still
    // up (this run then closes it), or else closed as "非法断开" at the last time that run
    // was seen alive (its start when none was saved). True when one was adopted.
    bool settleLastRun(bool linkUp);
    // While the link is up: the open record's counters (when known) and the time the run
    // was last seen alive. A record file another program holds keeps its old counters.
    void saveProgress(const LinkStatistics* stats);

  private:
    void add(const std::string& accountName, const std::string& address);
    void close(std::string_view cause, const std::string& sent, const std::string& received);
    std::string entryAddress();
    void writeLastSeen(const LocalTime& seen);
    std::filesystem::path lastSeenFile() const { return folder_ / "last-seen.txt"; }

    std::filesystem::path folder_;
    RemoteAccess& access_;
    Clock& clock_;
    // The file and start time of the record this run opened or adopted (empty: none), so
    // that a session running over the end of a month is closed where it was opened, and
    // only that one. Guarded by the record files' lock.
    std::filesystem::path openFile_;
    std::string openStart_;
};

}  // namespace tarnix
