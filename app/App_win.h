#pragma once
// The composition root: owns every window and the state they share, wires each window to the narrow
// interfaces it needs, and runs the start-up in one readable sequence (Start), then the message loop.
#include "about/AboutWindow_win.h"
#include "app/ShopConfig.h"
#include "app/SingleInstance_win.h"
#include "app/SystemEvents_win.h"
#include "command/CommandWindow_win.h"
#include "command/PipeServer_win.h"
#include "command/StatusBoard.h"
#include "command/StatusBoardWriter_win.h"
#include "content/ContentWindow_win.h"
#include "display/DisplayPlace.h"
#include "display/KaraokeWindow_win.h"
#include "display/Look.h"
#include "display/MainTextWindow_win.h"
#include "display/SkinPanel_win.h"
#include "hotkey/HotkeyHook_win.h"
#include "notice/NoticeBoard_win.h"
#include "rotation/MessageRotation_win.h"
#include "store/ManagedStore_win.h"
#include "store/SettingsStore_win.h"
#include "toolbar/ToolbarWindow_win.h"
#include "win32/Strings_win.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace plumwick {

class App : private CommandTarget,
            private DisplayGroup,
            private ToolbarHost,
            private ContentHost,
            private RotationDisplay,
            private StatusSource {
  public:
    // Straightforward (option --render=straightforward) makes the text windows rebuild every image from
    // scratch on every draw and tick, to compare the drawing cost against. A rotationTickMs other than 0
    // (option --rotation-ms=N) makes a running rotation tick that often, for the long-life benchmark.
    explicit App(LayeredTextRenderer::Mode renderMode, unsigned rotationTickMs = 0);
    ~App() override;
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // Creates the windows and runs the start-up. False (after a message naming the failed call) when a
    // window the program cannot run without could not be made.
    bool Start();
    // The message loop until the program ends; the process then exits without further unload steps.
    [[noreturn]] void Run();

  private:
    // The command window's closing: the hotkey goes, the toolbar closes, the program ends.
    void Shutdown();
    // The display laid out on its monitor again when the monitor, its work area or DPI changed since the
    // last time (or always, with `force`); the operator hears when its monitor is missing or has gone.
    // `dpi`, when not 0, is the DPI a window was just told of, which the system may not report yet.
    void PlaceDisplay(bool force, unsigned dpi = 0);
    // Back from sleep, a lock or a remote session: put back whatever the system moved off the monitor.
    void Resumed();
    // The Windows session ends: what the program remembers is written now.
    void KeepForSessionEnd();
    void AboutClosed(AboutWindow* closed);
    // The shop's home page, or the bundled help\index.html when none is set.
    std::wstring HomePageAddress() const;
    bool Required(const win::Window& window, bool created);
    // With a StatusFolder set, the status file is written now and every minute from its own thread.
    void StartStatusBoard();
    // What the status file says now; `running` false for the one written as the program ends.
    BoardStatus BoardSnapshot(bool running);
    // The display's line, look or lock changed: the status board's "last change".
    void Changed();
    // The policies or machine-wide values changed: read again and applied to what runs.
    void ManagedValuesChanged();
    // The Publication as the policy, the user's memory and the machine-wide value each hold it now.
    static PublicationSources ReadPublicationSources();
    // The look from the settings file and the administrator's values, shown.
    void ShowAdministeredLook();
    // The controls of values set by policy are disabled; the operator hears which, at start and when the
    // policies change while the program runs.
    void LockAdministeredControls(bool atStart);
    // The content folder: the one set, else Text\ beside a program folder that can be written, else the
    // public documents' plumwick\Text, filled from the installed Text\ the first time.
    std::u16string PickContentFolder();
    // The settings file written: the user's own choices, the rest as the file had it.
    void WriteSettings();

    // Shared by several interfaces: the main line drawn (commands, the rotation, the content manager's
    // "画文字 ") and the karaoke sweep started.
    void DrawMainLine(const std::u16string& line) override;
    void StartKaraokeTimer() override;
    // RotationDisplay: a schedule closed every window.
    void ClearMainLine() override;

    // CommandTarget: what commands act on.
    void StopKaraokeTimer() override;
    void KaraokeDrawKRC(const std::u16string& text, const std::u16string& duration,
                        std::int16_t textWidth) override;
    void KaraokeDrawText(const std::u16string& text) override;
    void SetKaraokeText(const std::u16string& text) override;
    void ClearKaraokeSurface() override;
    void ClearMainSurface() override;
    void HideToolbar() override;
    void CloseToolbar() override;
    void CloseCommandWindow() override;
    void LockDisplay(bool clickThrough) override;
    void HoldLine(unsigned seconds) override;
    void EndHold() override;

    // StatusSource: what the command pipe's "?status" reports.
    DisplayStatus Status() override;

    // DisplayGroup: the windows that move and hover together.
    void DragStarted() override;
    void DragEnded() override;
    void Drag(DragSource source, float dx, float dy) override;
    void PointerOverText() override;
    void PointerLeft() override;
    bool PartOfDisplay(HWND window) const override; // shared with ContentHost
    void AlignKaraokeOverMain() override;
    void PlaceAgain(unsigned dpi) override;
    std::vector<HWND> WindowsAbovePanel() const override;
    std::optional<std::u16string> CurrentMessage() const override;
    void FontMissing(const std::u16string& chosen, const std::u16string& face) override;

    // ToolbarHost (AlignKaraokeOverMain is shared with DisplayGroup).
    void SaveSettings() override;
    void ToggleContentManager() override;
    // Shows the about window, creating it anew (with its whole fade) when it has closed.
    void ShowAbout() override;
    void EndProgram() override;

    // ContentHost (PartOfDisplay, DrawMainLine and StartKaraokeTimer are shared with the above).
    std::optional<ScreenRows> DisplayRows() const override;

    win::SystemAnsiCodePage codePage_;
    std::wstring programFolder_;
    ManagedRule managedRule_;
    // The administrator's values that could not be used, read before anything else.
    std::vector<std::u16string> managedProblems_;
    ShopConfig shopFile_; // shop.ini as written
    ShopConfig shop_;     // with the administrator's values over it
    // Why the installed content could not be copied where the operator can edit it (told at start).
    win::Result contentSeed_;
    Look look_;
    // Before everything that tells the operator something.
    NoticeBoard notices_;
    SettingsStore settings_;
    // Before the toolbar and the content manager, which steer and feed it.
    MessageRotation rotation_;
    ToolbarWindow toolbar_;
    MainTextWindow main_;
    KaraokeWindow karaoke_;
    SkinPanel panel_;
    ContentWindow content_;
    CommandWindow command_;
    PipeServer pipe_;   // the second command channel, into the same CommandTarget
    HotkeyHook hotkey_; // after the toolbar, so it unhooks the toolbar before the toolbar goes
    // Where later starts in this session ask for the content manager.
    win::InstanceWindow instance_;
    std::unique_ptr<AboutWindow> about_;
    // Closed about windows, kept until the message loop is back at the top so their handlers can return.
    std::vector<std::unique_ptr<AboutWindow>> closedAbouts_;
    bool quitting_ = false;
    std::optional<int> mainTopAtDragStart_; // screen pixels, for remembering where a drag left the line
    // Where the operator last dragged the main window's top (screen pixels), kept when the display is
    // placed again; nothing: on the taskbar.
    std::optional<int> draggedTopPx_;
    // How far a sideways drag moved the main window from its monitor's left edge (device pixels), kept
    // when the display is placed again.
    int draggedShiftPx_ = 0;
    std::optional<int> mainLeftAtDragStart_;
    DisplayMonitor displayMonitor_;
    bool placing_ = false;
    UnixSeconds started_ = 0;
    UnixSeconds lastChange_ = 0;
    std::u16string computer_;
    std::u16string user_;
    std::unique_ptr<StatusBoardWriter> board_;
    Settings fileLook_;                       // the settings file's look
    Settings shownLook_;                      // the look last shown
    LookChoice lookChosen_;                   // what of the look the user chose
    std::vector<std::u16string> policyNames_; // values set by policy when last looked
    std::unique_ptr<win::ManagedValuesWatcher> managedWatcher_;
    // Last: it calls into everything above.
    SystemEvents systemEvents_;
};

} // namespace plumwick
