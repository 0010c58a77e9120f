#pragma once
// FrmKrcMessage: the program's start-up window and its command channel. Outside programs find the box
// (class "ThunderRT6TextBox", text "KrcMessage") in the top-level window captioned "FrmKrcMessage" and
// replace its text with one command; the box returns to "KrcMessage" after each.
#include "command/Interpreter.h"
#include "win32/Window_win.h"

#include <string>

namespace plumwick {

class App;

class CommandWindow : public win::Window, private CommandTarget {
  public:
    explicit CommandWindow(App& app);
    ~CommandWindow() override;

    // Creates the window and runs the start-up: settings, welcome line, hotkey, skin panel, hide.
    bool Load();
    // Replaces the box's text, exactly as an outside sender does (the toolbar's close button writes "END").
    void SetBoxText(const std::u16string& text);
    HWND Box() const { return box_; }
    // The closing steps: unregister the hotkey, close the toolbar, end the program.
    void Close();

  private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    static LRESULT CALLBACK BoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void OnBoxChanged(const std::u16string& text);

    // CommandTarget
    void StartKaraokeTimer() override;
    void StopKaraokeTimer() override;
    void KaraokeDrawKRC(const std::u16string& text, const std::u16string& duration,
                        std::int16_t textWidth) override;
    void KaraokeDrawText(const std::u16string& text) override;
    void MainDrawText(const std::u16string& text) override;
    void SetKaraokeText(const std::u16string& text) override;
    void ClearKaraokeSurface() override;
    void ClearMainSurface() override;
    void HideToolbar() override;
    void CloseToolbar() override;
    void CloseCommandWindow() override;
    void LockDisplay(bool clickThrough) override;

    App& app_;
    HWND box_ = nullptr;
    HWND label_ = nullptr;
    HFONT uiFont_ = nullptr; // stock font, not owned
    int handling_ = 0;       // raised while a command runs or the box is reset; cleared on every change
    bool closing_ = false;
};

} // namespace plumwick
