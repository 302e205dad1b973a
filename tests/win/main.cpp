// The Windows tests' entry: GoogleTest with sockets, common controls and the texts of the
// string table ready, as the program has them after its start-up (the test program carries
// the program's resources).
#include <windows.h>

#include <gtest/gtest.h>

#include "base/Socket.h"
#include "base/win/ResourceTexts.h"
#include "widgets/win/CommonControls.h"
#include "widgets/win/RichEdit.h"

int wmain(int argc, wchar_t** argv) {
    static const tarnix::ResourceTexts texts(GetModuleHandleW(nullptr));
    tarnix::useTexts(texts);
    tarnix::initCommonControls();
    // The program loads rich edit when its message window opens; the toolkit's probe
    // dialogs hold a rich edit control too.
    tarnix::RichEdit::loadRichEdit();
    tarnix::socketsStartup();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
