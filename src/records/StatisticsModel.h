#pragma once
// What the live statistics window shows, refreshed by its one-second timer: the address
// and speed of the link, the bytes sent and received on the dial entry's connection, an
// icon that tells whether data is arriving, the time since the newest session of this
// month began, the rates of the last minutes for the graph, and with a monthly allowance
// the share of it used in this cycle.
//
// The counters are those of the dial entry's own connection, so a VPN or another dial-up
// link beside it changes nothing.

#include <filesystem>
#include <optional>
#include <string>

#include "base/Clock.h"
#include "records/LinkReadings.h"
#include "records/RateHistory.h"
#include "records/UsageAllowance.h"

namespace tarnix {

struct StatisticsFields {
    std::string address;        // IP地址
    std::string speed;          // 速度: "100Mbps"
    std::string sent;           // 发送字节, grouped: "1,234"
    std::string received;       // 接收字节, grouped
    std::string connectedTime;  // 已连接时间: "5小时3分钟2秒"
    int activityIcon = 208;     // resource id of the icon beside the counters
    std::string allowanceUsed;  // 已用套餐: "45%"; empty without a monthly allowance
};

class StatisticsModel {
  public:
    static constexpr int kStartIcon = 208;
    static constexpr int kReceivingIcon = 155;  // received bytes changed since the last tick
    static constexpr int kQuietIcon = 156;      // they did not

    StatisticsModel(LinkReadings& link, std::filesystem::path recordFolder, Clock& clock,
                    UsageAllowance allowance = {});

    // Fills the fields as the window opens; the window then starts its timer.
    void open();
    // One timer tick: the connected time, then the counters. False when the connections
    // cannot be listed: the window then stops its timer and stays as it is.
    bool tick();

    const StatisticsFields& fields() const { return fields_; }
    const RateHistory& history() const { return history_; }

  private:
    void updateConnectedTime();
    bool updateCounters();
    // The cycle's share of the allowance, from the record files and the live counters.
    void updateAllowanceUsed();

    LinkReadings& link_;
    std::filesystem::path recordFolder_;
    Clock& clock_;
    StatisticsFields fields_;
    RateHistory history_;
    // The last counter reading of the entry's connection, for the rates.
    std::optional<LinkCounters> last_;
    UsageAllowance allowance_;
    int ticksToUsage_ = 0;  // the share is counted again once a minute
};

}  // namespace tarnix
