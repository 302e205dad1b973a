// In lab mode on Windows: the link probes and the session records see lab-ac's link
// through the same remote-access view the client uses, and the real interface table.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <regex>

#include "../support/lab_Server.h"
#include "dial/ConnectManage.h"
#include "dial/LinkProbes.h"
#include "dial/SessionRecords.h"
#include "records/MonthFile.h"
#include "store/XmlDocument.h"

namespace tarnix {
namespace {

namespace fs = std::filesystem;
using testing::InProcessLabAc;

class LabLink : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(folder_ / "data" / "record");
        std::ofstream(folder_ / "LinkAgent.ini", std::ios::binary)
            << "[LinkAgent]\r\nMode=lab\r\nConcentrator=" << labAc_.endpoint() << "\r\n";
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    void dial(CConnectManage& manage) {
        std::string user = "demo", password = "demo", entry = kDialEntryName;
        manage.SetConnectType(1);
        manage.SetConnectInfo(user.data(), password.data(), entry.data());
        ASSERT_NE(manage.Connect(), 0);
    }

    InProcessLabAc labAc_{"10.77.0.5-10.77.0.9"};
    fs::path folder_ = fs::temp_directory_path() /
                       ("tarnix-lablink-" + std::to_string(GetCurrentProcessId()) + "-" +
                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
};

TEST_F(LabLink, ProbesReportTheLabAddressAndASpeed) {
    CConnectManage manage(folder_, systemDialing());
    LinkProbes probes(manage.remoteAccess(), systemInterfaceTable());
    EXPECT_EQ(probes.connectionAddress(), "");
    const std::string notOurs = probes.trayTipText(false);
    EXPECT_EQ(notOurs, "\xb3\xce\xd4\xb6\xb2\xa6\xba\xc5\r\n"
                       "\xce\xb4\xcd\xa8\xb9\xfd\xb1\xbe\xc8\xed\xbc\xfe\xb2\xa6\xba\xc5");

    dial(manage);
    EXPECT_EQ(probes.connectionAddress(), "10.77.0.5");
    const std::string speed = probes.linkSpeedText();
    EXPECT_TRUE(std::regex_match(speed, std::regex("[0-9]+Mbps"))) << speed;
    std::cout << "first interface: " << speed << "\n";
    EXPECT_EQ(probes.trayTipText(true), "\xb3\xce\xd4\xb6\xb2\xa6\xba\xc5\r\nIP\xb5\xd8\xd6\xb7\xa3\xba"
                                        "10.77.0.5\r\n\xcb\xd9\xb6\xc8\xa3\xba" + speed);
    manage.Close();
    EXPECT_EQ(probes.connectionAddress(), "");
}

TEST_F(LabLink, RecordsCarryTheLabAddressCauseAndCounters) {
    CConnectManage manage(folder_, systemDialing());
    SessionRecords records(recordFolderBeside(folder_), manage.remoteAccess(), systemClock());

    dial(manage);
    records.openRecord("demo");
    Sleep(300);  // let lab-ac's counters run
    records.closeRecordNormal();
    manage.Close();

    dial(manage);
    records.openRecord("demo");
    EXPECT_EQ(labAc_.ask("DROP all"), "OK 1 dropped\n");
    records.closeRecordAbnormal();
    manage.Close();

    SYSTEMTIME now;
    GetLocalTime(&now);
    XmlDocument doc;
    ASSERT_TRUE(doc.Load(recordFolderBeside(folder_) /
                         monthFileName({now.wYear, now.wMonth})));
    ASSERT_TRUE(doc.FindElement("record"));
    ASSERT_TRUE(doc.FindChildElement("ITEM"));
    EXPECT_EQ(doc.GetChildAttribute("ip"), "10.77.0.5");  // the pool hands the freed address out again
    EXPECT_EQ(doc.GetChildAttribute("error_code"), abnormalCause());
    EXPECT_EQ(doc.GetChildAttribute("send"), "");
    ASSERT_TRUE(doc.FindChildElement("ITEM"));
    EXPECT_EQ(doc.GetChildAttribute("ip"), "10.77.0.5");
    EXPECT_EQ(doc.GetChildAttribute("error_code"), normalCause());
    EXPECT_GT(std::stol(doc.GetChildAttribute("send")), 0);
    EXPECT_GT(std::stol(doc.GetChildAttribute("recv")), 0);
    EXPECT_FALSE(doc.GetChildAttribute("end_time").empty());
}

}  // namespace
}  // namespace tarnix
