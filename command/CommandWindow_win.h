#pragma once
// The command window, the program's command channel. Outside programs find the box
// (class "ThunderRT6TextBox", text "KrcMessage") in the top-level window captioned "FrmKrcMessage" and
// replace its text with one command; the box returns to "KrcMessage" after each.
#include "command/Interpreter.h"
#include "win32/Window_win.h"

#include <functional>
#include <string>

namespace plumwick {

class CommandWindow : public win::Window {
  public:
    // Commands act on `target`; `closed` runs once when the window closes (the program then ends).
    CommandWindow(CommandTarget& target, std::function<void()> closed);
    ~CommandWindow() override;

    // Creates the hidden window; its box stays empty, and so out of senders' reach, until the first
    // command written into it has been handled.
    bool Create();
    // Replaces the box's text, exactly as an outside sender does (the toolbar's close button writes "END").
    void SetBoxText(const std::u16string& text);
    // Closing ends the program (once, however often it is asked).
    void Close();

  private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    static LRESULT CALLBACK BoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // A sender's WM_SETTEXT: TRUE when the command was taken, FALSE when it was refused.
    LRESULT OnSetText(const char16_t* sent);
    void OnBoxChanged(const std::u16string& text);
    // Raised for as long as a command runs, however the run ends.
    class Running {
      public:
        explicit Running(bool& flag) : flag_(flag) { flag_ = true; }
        ~Running() { flag_ = false; }
        Running(const Running&) = delete;
        Running& operator=(const Running&) = delete;

      private:
        bool& flag_;
    };

    CommandTarget& target_;
    std::function<void()> closed_;
    HWND box_ = nullptr;
    HWND label_ = nullptr;
    HFONT uiFont_ = nullptr; // stock font, not owned
    int handling_ = 0;       // raised while a command runs or the box is reset; cleared on every change
    bool closing_ = false;
    bool running_ = false;
};

} // namespace plumwick
