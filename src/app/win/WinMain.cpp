#include <windows.h>

#include "app/win/DialerApp.h"
#include "base/FileDialogs.h"
#include "base/Prompt.h"
#include "base/ShellOpen.h"
#include "base/win/ResourceTexts.h"
#include "update/UpdaterStart.h"

// The program's texts come from its own string table. They are chosen before the
// application object is built (statics of one file are built in order), as its services
// may read texts while they are built.
static const tarnix::ResourceTexts theTexts(GetModuleHandleW(nullptr));
static const bool theTextsChosen = (tarnix::useTexts(theTexts), true);

// The one application object; its services are built before start-up runs.
static tarnix::DialerApp theApp;

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace tarnix;
    // What the core asks of the desktop, the system answers.
    setPromptHandler(systemPrompt);
    setPathHandler(systemPathDialog);
    setShellOpenHandler(systemShellOpen);
    setShellOpenFileHandler(systemShellOpenFile);
    setUpdaterStartHandler(systemStartProgram);
    theApp.InitInstance();
    return theApp.ExitInstance();
}
