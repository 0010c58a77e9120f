// Process start: one user-interface thread; App::Start is the start-up.
#include "app/App_win.h"
#include "app/ProgramLog_win.h"
#include "app/SingleInstance_win.h"
#include "win32/Handles_win.h"

#include <objbase.h>
#include <shellapi.h>

namespace {

// "--render=straightforward" makes both text windows rebuild everything on every draw, so the drawing
// cost of the kept-image path can be compared with it; other arguments are ignored.
plumwick::LayeredTextRenderer::Mode RenderModeFromCommandLine() {
    plumwick::LayeredTextRenderer::Mode mode = plumwick::LayeredTextRenderer::Mode::Cached;
    int count = 0;
    plumwick::win::UniqueLocal<LPWSTR*> args(CommandLineToArgvW(GetCommandLineW(), &count));
    if (!args) {
        return mode;
    }
    for (int i = 1; i < count; ++i) {
        if (lstrcmpiW(args.get()[i], L"--render=straightforward") == 0) {
            mode = plumwick::LayeredTextRenderer::Mode::Straightforward;
        }
    }
    return mode;
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
    static plumwick::App app(RenderModeFromCommandLine()); // lives until the process ends
    if (!app.Start()) {
        return 1;
    }
    app.Run();
}
