#pragma once
// The session record files: one XML file a month in data\record beside the program,
// "<year>-<month>.xml", root `record`, one `ITEM` per session, newest first:
//
//   <ITEM user="..." start_time="..." end_time="..." ip="..." error_code="..." send="..." recv="..."/>
//
// A record is opened when a dial has been made and closed when the session ends, by
// the user (normal, with the traffic counters) or by a drop (abnormal). The query page
// and the statistics read these files, so their layout is kept exactly.

#include <filesystem>
#include <mutex>
#include <string>

#include "base/Clock.h"
#include "dial/RemoteAccess.h"

namespace tarnix {

class SessionRecords {
  public:
    // "正常断开" and "非法断开", the causes a closing writes into `error_code`.
    static constexpr std::string_view kNormalCause = "\xd5\xfd\xb3\xa3\xb6\xcf\xbf\xaa";
    static constexpr std::string_view kAbnormalCause = "\xb7\xc7\xb7\xa8\xb6\xcf\xbf\xaa";

    // `folder` is the record folder; it is not created here (the connect command makes it).
    SessionRecords(std::filesystem::path folder, RemoteAccess& access,
                   Clock& clock = systemClock());

    // Adds a record of a session that starts now, above every other of the month, with
    // the address of the dial entry's connection (empty when there is none).
    void openRecord(const std::string& accountName);
    // The same for a known connection: its address (empty when it is already gone).
    void openRecord(const std::string& accountName, ConnHandle connection);
    // Closes the newest record with the end time, "正常断开" and the entry's counters.
    void closeRecordNormal();
    // Closes the newest record with the end time and "非法断开".
    void closeRecordAbnormal();

    // "2009-03.xml" for March 2009.
    static std::string monthFileName(const LocalTime& time);
    // <program folder>\data\record
    static std::filesystem::path folderBeside(const std::filesystem::path& programFolder);

  private:
    void add(const std::string& accountName, const std::string& address);
    void close(std::string_view cause, const std::string& sent, const std::string& received);
    std::string entryAddress();

    std::filesystem::path folder_;
    RemoteAccess& access_;
    Clock& clock_;
    // The file this process last opened a record in, so that a session running over the
    // end of a month is closed where it was opened. Guarded by recordFilesMutex().
    std::filesystem::path openFile_;
};

// Serialises every read-modify-write of a record file in the process: the dial worker,
// the drop monitor and the user-interface thread would otherwise lose each other's edits.
std::mutex& recordFilesMutex();

}  // namespace tarnix
