#include "display/DisplayPlaceStore_win.h"

#include "content/UserMemoryStore_win.h"
#include "display/DisplayPlace.h"
#include "win32/Window_win.h"

#include <string>

namespace plumwick::win {

int StartingMainTopPx(int defaultTopPx, float fontSize) {
    std::optional<int> stored = UserMemoryStore::ReadDisplayTop();
    if (!stored) {
        return defaultTopPx;
    }
    RECT work = win::WorkArea();
    return ClampMainTopPx(*stored, work.top, work.bottom, DesignReach(fontSize));
}

std::optional<int> WindowTopPx(HWND window) {
    RECT rect{};
    if (!window || !GetWindowRect(window, &rect)) {
        return std::nullopt;
    }
    return rect.top;
}

void RememberDisplayTopAfterDrag(HWND mainWindow, std::optional<int> topAtDragStart) {
    std::optional<int> top = WindowTopPx(mainWindow);
    if (!top || top == topAtDragStart) {
        return;
    }
    std::wstring problem;
    if (!UserMemoryStore::WriteDisplayTop(*top, problem)) {
        // Not worth a box at every mouse-up; the place simply is not kept for the next start.
        std::wstring text = L"plumwick: the display's place was not remembered: " + problem + L"\n";
        OutputDebugStringW(text.c_str());
    }
}

} // namespace plumwick::win
