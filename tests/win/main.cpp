// The Windows tests' entry: GoogleTest with sockets and common controls ready, as the
// program has them after its start-up.
#include <windows.h>

#include <gtest/gtest.h>

#include "base/Socket.h"
#include "widgets/win/CommonControls.h"

int wmain(int argc, wchar_t** argv) {
    tarnix::initCommonControls();
    tarnix::socketsStartup();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
