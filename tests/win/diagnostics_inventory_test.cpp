// The fault check's real inventory, as far as the Windows it runs on has the hardware:
// Wine has no PCI devices and no remote-access service, and every query must still return
// cleanly.
#include <windows.h>

#include <gtest/gtest.h>

#include "diagnostics/FaultCheck.h"
#include "diagnostics/FaultCheckTexts.h"
#include "diagnostics/LocalAddress.h"
#include "../support/PromptRecorder.h"

namespace tarnix {
namespace {

bool underWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

TEST(SystemInventory, EveryQueryAnswersWhatTheMachineHas) {
    auto inventory = makeSystemNetworkInventory();
    std::vector<PciNetworkDevice> devices;
    std::vector<NetworkAdapter> adapters;
    std::vector<RasDevice> ras;
    const bool listed = inventory->pciNetworkDevices(devices);
    const bool tabled = inventory->adapters(adapters);
    EXPECT_TRUE(inventory->rasDevices(ras));
    std::printf("PCI network devices %s: %zu; adapter table %s: %zu; RAS devices: %zu\n",
                listed ? "listed" : "not listed", devices.size(), tabled ? "read" : "not read",
                adapters.size(), ras.size());
    for (const NetworkAdapter& a : adapters) {
        EXPECT_LE(a.mac.size(), 8u);
        std::printf("  %s %s %s %s\n", a.interfaceId.c_str(), a.ipAddress.c_str(),
                    formatMac(a.mac).c_str(), a.description.c_str());
    }
    if (underWine()) {
        EXPECT_TRUE(listed);
        EXPECT_TRUE(devices.empty());
        EXPECT_TRUE(ras.empty());
    }
}

TEST(SystemInventory, TheCheckSaysSoWhenThereIsNoPciDevice) {
    if (!underWine()) GTEST_SKIP() << "this machine may have PCI network devices";
    testing::PromptRecorder prompts;
    auto inventory = makeSystemNetworkInventory();
    FaultCheck check(*inventory);
    check.run();
    ASSERT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(prompts.asked[0].text, text(IDS_FAULT_NO_PCI_DEVICES));
    EXPECT_EQ(check.diagnosis().rfind(faultcheck::noPciVerdict(), 0), 0u);
    EXPECT_EQ(check.adapterIcon(), StageIcon::Fault);
    EXPECT_TRUE(check.rows().devices.empty());
}

TEST(LocalAddress, IsDottedIpv4OrNothing) {
    const std::string address = localHostAddress();
    std::printf("local host address: '%s'\n", address.c_str());
    if (address.empty()) return;
    unsigned a, b, c, d;
    char rest;
    EXPECT_EQ(std::sscanf(address.c_str(), "%u.%u.%u.%u%c", &a, &b, &c, &d, &rest), 4);
}

}  // namespace
}  // namespace tarnix
