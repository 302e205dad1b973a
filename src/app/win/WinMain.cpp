#include <windows.h>

#include "app/win/DialerApp.h"

// The one application object; its services are built before start-up runs.
static tarnix::DialerApp theApp;

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    theApp.InitInstance();
    return theApp.ExitInstance();
}
