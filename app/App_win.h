#pragma once
// The process: the shared display state, the program folder, and every window, each created on first
// use (creating one runs its load steps, which may ask for others).
#include "app/DisplayState.h"
#include "common/Twips.h"
#include "display/LayeredTextRenderer_win.h"
#include "win32/Strings_win.h"
#include "win32/Windows_win.h"

#include <memory>
#include <string>
#include <vector>

namespace plumwick {

class CommandWindow;
class MainTextWindow;
class KaraokeWindow;
class SkinPanel;
class ToolbarWindow;
class ContentWindow;
class AboutWindow;
class HotkeyHook;
class SettingsStore;
struct ShopConfig;

class App {
public:
    App();
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // Start-up (the command window's load), then the message loop until the program ends.
    int Run();
    // Ends the message loop; the process then exits without running further unload steps.
    void Quit(int exitCode = 0);

    DisplayState& State() { return state_; }
    // How the text windows render: Straightforward (option --render=straightforward) rebuilds every image
    // from scratch on every draw and tick, to compare the drawing cost against.
    LayeredTextRenderer::Mode RenderMode() const { return renderMode_; }
    void SetRenderMode(LayeredTextRenderer::Mode mode) { renderMode_ = mode; }
    const AnsiCodePage& CodePage() const { return codePage_; }
    const ShopConfig& Shop();

    // The folder of the program file, without a trailing separator, and paths below it
    // ("\data\system\desktoplrc.pst" style tails).
    const std::wstring& ProgramFolder() const { return programFolder_; }
    std::wstring ProgramPath(const wchar_t* tail) const { return programFolder_ + tail; }

    CommandWindow& Command();
    MainTextWindow& Main();
    KaraokeWindow& Karaoke();
    SkinPanel& Panel();
    ToolbarWindow& Toolbar();
    ContentWindow& Content();
    HotkeyHook& Hotkey();
    SettingsStore& Settings();
    // Shows the about window, creating it anew (with its whole fade) when it has closed.
    void ShowAbout();
    // Called by the about window when it has unloaded itself.
    void AboutClosed(AboutWindow* closed);

    bool HasMain() const { return main_ != nullptr; }
    bool HasKaraoke() const { return karaoke_ != nullptr; }
    bool HasPanel() const { return panel_ != nullptr; }
    bool HasToolbar() const { return toolbar_ != nullptr; }
    bool HasContent() const { return content_ != nullptr; }
    ToolbarWindow* ToolbarIfCreated() { return toolbar_.get(); }

    // Positions of the four windows that move together, and moving them there (each only if it moved).
    DisplayWindows ReadDisplayWindows();
    void ApplyDisplayWindows(const DisplayWindows& windows);
    // The strip of the screen below the work area, in twips (0 when the taskbar is elsewhere or hidden).
    std::int16_t TaskbarHeightTwips() const;

    // A critical-error message box (the program's own fixed texts).
    static void CriticalMessage(const wchar_t* text, const wchar_t* title);

private:
    DisplayState state_;
    win::SystemAnsiCodePage codePage_;
    std::wstring programFolder_;
    std::unique_ptr<ShopConfig> shop_;
    std::unique_ptr<CommandWindow> command_;
    std::unique_ptr<MainTextWindow> main_;
    std::unique_ptr<KaraokeWindow> karaoke_;
    std::unique_ptr<SkinPanel> panel_;
    std::unique_ptr<ToolbarWindow> toolbar_;
    std::unique_ptr<ContentWindow> content_;
    std::unique_ptr<AboutWindow> about_;
    // Closed about windows, kept until the message loop is back at the top so their handlers can return.
    std::vector<std::unique_ptr<AboutWindow>> closedAbouts_;
    std::unique_ptr<HotkeyHook> hotkey_;
    std::unique_ptr<SettingsStore> settings_;
    bool quitting_ = false;
    LayeredTextRenderer::Mode renderMode_ = LayeredTextRenderer::Mode::Cached;
};

} // namespace plumwick
