// The Windows tests' entry: GoogleTest with sockets and common controls ready, as the
// program has them after its start-up.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "base/Socket.h"

int wmain(int argc, wchar_t** argv) {
    INITCOMMONCONTROLSEX controls{
        sizeof(controls), ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_LINK_CLASS};
    InitCommonControlsEx(&controls);
    tarnix::socketsStartup();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
