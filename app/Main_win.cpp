// Process start: one user-interface thread; the command window's load is the start-up.
#include "app/App_win.h"

#include <objbase.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // The font and message dialogs are COM-based.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    static plumwick::App app; // lives until the process ends
    return app.Run();
}
