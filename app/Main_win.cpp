// Process start: one user-interface thread; App::Start is the start-up.
#include "app/App_win.h"
#include "app/ProgramLog_win.h"
#include "app/SingleInstance_win.h"
#include "win32/Handles_win.h"

#include <objbase.h>
#include <shellapi.h>

#include <cwchar>

namespace {

// "--render=straightforward" makes both text windows rebuild everything on every draw, so the drawing
// cost of the kept-image path can be compared with it; "--rotation-ms=N" (10 to 60000) makes a running
// rotation tick every N ms, for the long-life benchmark. Other arguments are ignored.
struct StartOptions {
    plumwick::LayeredTextRenderer::Mode renderMode = plumwick::LayeredTextRenderer::Mode::Cached;
    unsigned rotationTickMs = 0;
};

StartOptions OptionsFromCommandLine() {
    StartOptions options;
    int count = 0;
    plumwick::win::UniqueLocal<LPWSTR*> args(CommandLineToArgvW(GetCommandLineW(), &count));
    if (!args) {
        return options;
    }
    constexpr wchar_t kRotationMs[] = L"--rotation-ms=";
    constexpr std::size_t kRotationMsLength = sizeof kRotationMs / sizeof kRotationMs[0] - 1;
    for (int i = 1; i < count; ++i) {
        const wchar_t* arg = args.get()[i];
        if (lstrcmpiW(arg, L"--render=straightforward") == 0) {
            options.renderMode = plumwick::LayeredTextRenderer::Mode::Straightforward;
        } else if (wcsncmp(arg, kRotationMs, kRotationMsLength) == 0) {
            long ms = wcstol(arg + kRotationMsLength, nullptr, 10);
            if (ms >= 10 && ms <= 60000) {
                options.rotationTickMs = static_cast<unsigned>(ms);
            }
        }
    }
    return options;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // One display per session: a second start brings up the running one's content manager instead.
    if (!plumwick::win::ClaimSessionDisplay()) {
        plumwick::win::AskRunningDisplayToShowContent(10000);
        return 0;
    }
    // Before anything can fail or tell the operator something.
    plumwick::win::OpenProgramLog();
    // The font and message dialogs are COM-based.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    static const StartOptions options = OptionsFromCommandLine();
    static plumwick::App app(options.renderMode, options.rotationTickMs); // lives until the process ends
    if (!app.Start()) {
        return 1;
    }
    // An installer replacing the program (Restart Manager) closes the display and starts it again after;
    // after a reboot the logon's Run value starts it, so not twice.
    RegisterApplicationRestart(L"", RESTART_NO_CRASH | RESTART_NO_HANG | RESTART_NO_REBOOT);
    app.Run();
}
