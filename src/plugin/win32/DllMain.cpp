// The library entry routine: the runtime's start-up has run by now and there is nothing else to
// set up or tear down, so every notification simply succeeds.
#include "platform/win32/WindowsApi.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE /*instance*/, DWORD /*reason*/, LPVOID /*reserved*/) {
    return TRUE;
}
