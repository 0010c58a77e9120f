#pragma once
// One notice on the screen: a small topmost window with a fixed text that never takes the focus and
// closes on a click or after kNoticeLifetimeMs.
#include "notice/Notice.h"
#include "win32/Handles_win.h"
#include "win32/Window_win.h"

#include <functional>
#include <string>

namespace plumwick {

class NoticeWindow : public win::Window {
  public:
    // The class name, so other processes (and tests) can find notices.
    static constexpr wchar_t kClassName[] = L"PlumwickNotice";

    NoticeWindow() = default;

    // The size the text needs at the notice's fixed width, in pixels.
    static SIZE Measure(const std::wstring& text);
    // Creates and shows the window at `place` without activating it; false when the system refused.
    bool Open(const std::wstring& text, const PixelRect& place);
    // Screen rectangle while open.
    PixelRect Place() const;

  private:
    enum Timer : UINT_PTR { kCloseTimer = 1 };

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnPaint();

    std::wstring text_;
};

} // namespace plumwick
