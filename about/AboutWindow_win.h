#pragma once
// The about window: a splash that fades in at start-up, holds, fades out and unloads itself; a click on
// its picture opens the home page.
#include "about/FadeSequence.h"
#include "win32/Handles_win.h"
#include "win32/Window_win.h"

#include <functional>
#include <string>

namespace plumwick {

class AboutWindow : public win::Window {
  public:
    // `homePage` is what a click on the picture opens; `closed` is called once the window has unloaded
    // itself, from inside its own handler (so the object must outlive that call).
    AboutWindow(std::wstring homePage, std::function<void(AboutWindow*)> closed);
    ~AboutWindow() override;

    // Creates, shows (fully transparent) and starts the fade-in.
    bool Load();

  private:
    // One timer for each stage of the fade.
    enum Timer : UINT_PTR { kFadeInTimer = 1, kHoldTimer = 2, kFadeOutTimer = 3 };
    enum class Press { None, Picture, CloseSpot };

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnTimer(UINT_PTR id);
    void OnPaint();
    void OnButtonDown(int x, int y);
    void OnButtonUp(int x, int y);

    // Carries out what the fade asked for, then runs exactly the timers it has enabled.
    void Apply(const FadeSequence::Effects& effects);
    void SyncTimer(Timer id, unsigned intervalMs, bool enabled);
    void StopTimers();
    void Unload();
    void OpenHomePage();
    void LoadPicture();
    void CreateCloseTip();
    static void SetWindowAlpha(HWND window, int alpha);

    std::wstring homePage_;
    std::function<void(AboutWindow*)> closed_;
    FadeSequence fade_;
    win::UniqueBitmap picture_;
    bool running_[4] = {}; // by Timer id
    Press pressed_ = Press::None;
    bool topmost_ = false;    // in the topmost band (until the close spot takes it out)
    HWND closeTip_ = nullptr; // owned by this window
};

} // namespace plumwick
