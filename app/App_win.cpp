#include "app/App_win.h"
#include "about/HomePage.h"
#include "app/ManagedRules.h"

#include "common/FileBytes.h"
#include "common/TextUtil.h"
#include "common/Twips.h"
#include "content/ContentLocation.h"
#include "content/ContentSeed_win.h"
#include "content/ContentText.h"
#include "display/DisplayPlace.h"
#include "display/DisplayPlace_win.h"
#include "display/FontChoice.h"
#include "hotkey/UnlockHotkey.h"
#include "hotkey/UnlockHotkeyStart_win.h"
#include "notice/EventLog.h"
#include "store/SettingsLocation_win.h"
#include "store/UserMemoryStore_win.h"
#include "toolbar/ToolbarLayout.h"
#include "win32/KnownFolder_win.h"
#include "win32/Layered_win.h"
#include "win32/Monitors_win.h"
#include "win32/UiTask_win.h"

#include <chrono>
#include <ctime>
#include <shlobj.h>

// The display's reach at start is measured with these heights.
static_assert(plumwick::SkinPanel::kHeightTwips == plumwick::kPanelDesignHeightTwips);
static_assert(plumwick::kToolbarWindowHeightTwips == plumwick::kToolbarDesignHeightTwips);

namespace plumwick {

namespace {

std::wstring FolderOfProgram() {
    std::wstring path(MAX_PATH, L'\0');
    while (true) {
        DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return L".";
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : path.substr(0, slash);
}

ShopConfig ReadShopConfig(const std::wstring& path, const AnsiCodePage& codePage) {
    std::optional<std::string> bytes = ReadFileBytes(win::ToU16(path), 1 << 20);
    return bytes ? ParseShopConfig(*bytes, codePage) : DefaultShopConfig();
}

TwipsRect RectOf(const win::Window& w) {
    return TwipsRect{w.LeftTwips(), w.TopTwips(), w.WidthTwips(), w.HeightTwips()};
}

// Moves a window to the rectangle's corner, unless it is there already.
void PlaceAt(win::Window& w, const TwipsRect& r) {
    if (w.LeftTwips() != r.left || w.TopTwips() != r.top) {
        w.MoveTwips(r.left, r.top);
    }
}

std::u16string ComputerName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    if (!GetComputerNameW(name, &size)) {
        (void)win::Result::LastError(L"GetComputerNameW");
        return u"unnamed";
    }
    return win::ToU16(std::wstring(name, size));
}

std::u16string UserName() {
    wchar_t name[257] = {};
    DWORD size = 257;
    if (!GetUserNameW(name, &size) || size == 0) {
        (void)win::Result::LastError(L"GetUserNameW");
        return u"";
    }
    return win::ToU16(std::wstring(name, size - 1));
}

std::u16string ExpandEnvironment(std::u16string_view text) {
    std::wstring written = win::ToWide(text);
    DWORD needed = ExpandEnvironmentStringsW(written.c_str(), nullptr, 0);
    std::wstring expanded(needed, L'\0');
    if (needed == 0 || ExpandEnvironmentStringsW(written.c_str(), expanded.data(), needed) != needed) {
        return std::u16string(text); // a name that cannot be expanded stays as written and is judged so
    }
    expanded.resize(needed - 1);
    return win::ToU16(expanded);
}

// The ContentFolder setting with its environment variables (%OneDrive%, %PUBLIC%) expanded, resolved against
// the program folder.
ContentFolderChoice ChooseContentFolder(const std::wstring& programFolder, const std::u16string& configured) {
    return ResolveContentFolder(win::ToU16(programFolder), ExpandEnvironment(configured));
}

// shop.ini with the administrator's values over it: policy, then machine-wide, then the file's own.
ShopConfig AdministeredShop(const ShopConfig& file) {
    ValueTable shop(ValueOrigin::ShopIni);
    shop.Set(u"ShopName", file.shopName);
    shop.Set(u"WebAddress", file.webAddress);
    shop.Set(u"HomePage", file.homePage);
    shop.Set(u"UnlockHotkey", file.unlockHotkey);
    shop.Set(u"Monitor", file.monitor);
    if (!file.contentFolder.empty()) {
        shop.Set(u"ContentFolder", file.contentFolder); // empty: none set
    }
    if (!file.statusFolder.empty()) {
        shop.Set(u"StatusFolder", file.statusFolder); // empty: no status file
    }
    auto read = [&](std::u16string_view name, const std::u16string& fallback) {
        return win::ReadAdministered(ManagedKey(name), {&shop}).value_or(fallback);
    };
    ShopConfig config = file;
    config.shopName = read(u"ShopName", file.shopName);
    config.webAddress = read(u"WebAddress", file.webAddress);
    config.homePage = read(u"HomePage", file.homePage);
    config.unlockHotkey = read(u"UnlockHotkey", file.unlockHotkey);
    config.monitor = read(u"Monitor", file.monitor);
    config.contentFolder = read(u"ContentFolder", file.contentFolder);
    config.statusFolder = read(u"StatusFolder", file.statusFolder);
    return config;
}

// %PUBLIC%\Documents; empty when the system names none.
std::u16string PublicDocuments() {
    return win::ToU16(win::KnownFolder(FOLDERID_PublicDocuments));
}

LookChoice ReadLookChoice() {
    return LookChoice{win::ReadValue(kFontChosenKey) == u"1", win::ReadValue(kSchemeChosenKey) == u"1"};
}

} // namespace

App::App(LayeredTextRenderer::Mode renderMode, unsigned rotationTickMs)
    : programFolder_(FolderOfProgram()),
      managedRule_(ProgramRules(win::ToU16(programFolder_), ExpandEnvironment)),
      managedProblems_(win::LoadManagedValues(managedRule_)),
      shopFile_(ReadShopConfig(programFolder_ + L"\\data\\system\\shop.ini", codePage_)),
      shop_(AdministeredShop(shopFile_)), settings_(programFolder_, codePage_, notices_), rotation_(*this),
      toolbar_(look_, *this, rotation_), main_(look_, *this, renderMode), karaoke_(look_, *this, renderMode),
      panel_(look_, *this, programFolder_ + L"\\data\\system\\"),
      content_(*this, rotation_, PickContentFolder(), codePage_, notices_),
      command_(*this, [this] { Shutdown(); }), pipe_(*this, *this), hotkey_([this] { LockDisplay(false); }),
      // A later start in this session asked for the content manager.
      instance_([this] { content_.ShowAgain(); }),
      // A Monitor that is none of the known forms names no monitor: the primary, with a notice.
      displayMonitor_(
          ParseMonitorChoice(shop_.monitor).value_or(MonitorChoice{MonitorChoice::Kind::Numbered, 0})),
      systemEvents_(SystemEventHandlers{[this] { PlaceDisplay(false); }, [this] { Resumed(); },
                                        [this] { KeepForSessionEnd(); }, [this] { Shutdown(); }}) {
    rotation_.SetView(&toolbar_);
    rotation_.SetTickPeriodOverride(rotationTickMs);
    rotation_.SetGate(&content_);
    // Tab and the arrow keys move between the content manager's controls, as in any dialog, in the main
    // loop and wherever a handler lets the waiting events run.
    win::SetDialogWindow(&content_);
}

App::~App() {
    win::SetDialogWindow(nullptr);
}

bool App::Start() {
    started_ = lastChange_ = std::time(nullptr);
    computer_ = ComputerName();
    user_ = UserName();
    LogEvent("start", Utf8ToUtf16("plumwick " PLUMWICK_VERSION ", process " +
                                  std::to_string(GetCurrentProcessId()) + ", program folder ") +
                          win::ToU16(programFolder_));
    // Before any window: what another process posts can only wake a window, never steer it.
    win::GuardPostedMessages();
    win::uitask::Initialize();
    // Found by later starts in this session; what they ask waits in the queue until the loop runs.
    instance_.Create();
    // The command window first: without it no sender can reach the program. Its box stays empty until
    // the welcome line below has been handled.
    if (!Required(command_, command_.Create())) {
        return false;
    }
    // The rotation's timers; without them the messages simply stay put.
    rotation_.Create();
    // The look comes from the settings file, which is written back at once, before anything is drawn, and
    // from the administrator's values over it.
    fileLook_ = settings_.LoadOkset();
    lookChosen_ = ReadLookChoice();
    ShowAdministeredLook();
    // Where no administrator's value stands, the file keeps the look as shown (a scheme out of range as 1).
    auto administers = [](std::u16string_view name) {
        return win::PolicyValues().Holds(name) || win::MachineValues().Holds(name);
    };
    fileLook_ = LookToKeep(
        fileLook_, shownLook_,
        LookChoice{!administers(u"FontName") && !administers(u"FontSize"), !administers(u"ColorScheme")});
    WriteSettings();

    // The display windows, hidden; the text windows redraw themselves whenever the look changes.
    // A text window whose GDI+ could not start has said so and stays away; the rest still runs.
    draggedTopPx_ = DecodeDisplayTop(win::ReadValue(kDisplayTopKey));
    if (!Required(main_, main_.Create(draggedTopPx_)) || !Required(karaoke_, karaoke_.Create())) {
        return false;
    }
    look_.AddObserver(main_);
    look_.AddObserver(karaoke_);
    bool skinned = panel_.Create();

    // The content manager comes up listing the content files.
    content_.Load();

    // A ContentFolder that cannot be used leaves the content in Text\ beside the program; the operator hears
    // why, since the shop's lines are then not the ones head office publishes.
    if (std::string error = ChooseContentFolder(programFolder_, shop_.contentFolder).error; !error.empty()) {
        notices_.Notify(NoticeCause::ContentFolderRefused, Utf8ToUtf16(error));
    }
    // A HomePage that is no web address or page of the program folder is not opened; the operator hears
    // why before the about window is clicked.
    if (std::optional<std::u16string> notice =
            ChooseHomePage(shop_.homePage, win::ToU16(programFolder_)).notice) {
        notices_.Notify(NoticeCause::HomePageRefused, *notice);
    }
    // Stacking by ownership: karaoke over main, main over the panel; the splash above them all.
    karaoke_.ShowOwnedBy(main_.Handle());
    ShowAbout();
    main_.ShowOwnedBy(skinned ? panel_.Handle() : nullptr);
    if (skinned) {
        panel_.PlaceBelowText(main_.TopTwips());
    }
    // The toolbar straddles the panel's top edge; the hotkey lives on it.
    toolbar_.Create(panel_.Handle(), panel_.TopTwips());
    look_.AddObserver(toolbar_); // its colour discs show the scheme in use
    hotkey_.SetWindow(toolbar_.Handle());
    // All four on the chosen monitor, at its width and DPI; from now on again whenever the desktop changes.
    PlaceDisplay(true);
    systemEvents_.Create();

    // The welcome line goes through the command box like any command; the box then holds "KrcMessage"
    // and senders can find it.
    command_.SetBoxText(u"DLT" + WelcomeLine(shop_));
    // The welcome line is up; a publication remembered from the last run comes back now, hidden.
    content_.RestoreRemembered();
    RegisterUnlockHotkey(hotkey_, shop_.unlockHotkey, notices_);
    if (!contentSeed_) {
        notices_.Notify(NoticeCause::ContentFolderRefused,
                        u"The installed content could not all be copied to the shared documents: " +
                            win::ToU16(contentSeed_.Text()));
    }
    if (!managedProblems_.empty()) {
        notices_.Notify(NoticeCause::ManagedValueIgnored, IgnoredManagedValuesNotice(managedProblems_));
    }
    LockAdministeredControls(true);
    // A counter screen nobody should click: click-through from the start, the hotkey or ULK unlocks it.
    if (win::ReadAdministered(ManagedKey(u"LockAtStart")) == u"1") {
        LockDisplay(true);
    }
    // Policies pushed while the program runs apply at once.
    managedWatcher_ = std::make_unique<win::ManagedValuesWatcher>([this] { ManagedValuesChanged(); });
    managedWatcher_->Start();
    command_.Hide();
    // The pipe for senders window messages cannot reach; without it the box still serves.
    if (!pipe_.Start()) {
        notices_.Notify(NoticeCause::PipeUnavailable,
                        PipeUnavailableNotice(win::ToU16(pipe_.Outcome().Text())));
    }
    StartStatusBoard();
    return true;
}

void App::StartStatusBoard() {
    if (shop_.statusFolder.empty()) {
        return;
    }
    std::wstring folder = win::ToWide(ExpandEnvironment(shop_.statusFolder));
    if (std::optional<std::u16string> problem = StatusFolderProblem(shop_.statusFolder, win::ToU16(folder))) {
        notices_.Notify(NoticeCause::StatusFolderRefused, *problem);
        return;
    }
    // PLUMWICK_STATUS_SECONDS shortens the minute, to try a board out (and for the tests).
    unsigned period = StatusBoardWriter::kPeriodSeconds;
    wchar_t every[16] = {};
    if (DWORD length = GetEnvironmentVariableW(L"PLUMWICK_STATUS_SECONDS", every, 16);
        length > 0 && length < 16) {
        if (std::optional<unsigned> seconds = ParseStatusSeconds(win::ToU16(every))) {
            period = *seconds;
        }
    }
    board_ = std::make_unique<StatusBoardWriter>(
        folder, win::ToWide(computer_),
        [this] {
            // On the writer's thread: the window thread takes the snapshot when it comes to it, so a display
            // that hangs leaves its file to grow old, which is what the board shows.
            win::uitask::Post([this] {
                if (board_ && !quitting_) {
                    board_->Submit(BoardJson(BoardSnapshot(true)));
                }
            });
        },
        period);
    if (!board_->Start()) {
        board_.reset();
        return;
    }
    board_->Submit(BoardJson(BoardSnapshot(true)));
}

BoardStatus App::BoardSnapshot(bool running) {
    BoardStatus board;
    board.display = Status();
    board.computer = computer_;
    board.user = user_;
    board.started = started_;
    board.lastChange = lastChange_;
    if (const std::optional<NoticeBoard::Told>& told = notices_.LastTold()) {
        board.lastProblem = told->text;
        board.lastProblemAt = std::chrono::system_clock::to_time_t(told->when);
    }
    board.running = running;
    return board;
}

void App::Changed() {
    lastChange_ = std::time(nullptr);
}

std::u16string App::PickContentFolder() {
    if (!TrimBlanks(shop_.contentFolder).empty()) {
        return ChooseContentFolder(programFolder_, shop_.contentFolder).folder;
    }
    // Installed under Program Files the operator cannot write Text\ beside the program.
    bool writable = win::CanReplaceFile(programFolder_ + L"\\plumwick.write-check");
    std::u16string folder = UnsetContentFolder(win::ToU16(programFolder_), writable, PublicDocuments());
    std::u16string installed = ResolveContentFolder(win::ToU16(programFolder_), u"").folder;
    if (folder != installed) {
        contentSeed_ = win::SeedContentFolder(win::ToWide(installed), win::ToWide(folder));
    }
    return folder;
}

PublicationSources App::ReadPublicationSources() {
    static const win::UserRegistry user;
    return PublicationSources{win::PolicyValues().Read(kPublicationFilesKey).value_or(u""),
                              user.Read(kPublicationFilesKey).value_or(u""),
                              win::MachineValues().Read(kPublicationFilesKey).value_or(u"")};
}

bool App::Required(const win::Window& window, bool created) {
    if (created || window.Creation()) {
        return true;
    }
    std::wstring text = L"The program cannot start:\r\n" + window.Creation().Text();
    win::CriticalMessage(text.c_str(), L"plumwick");
    return false;
}

void App::Run() {
    MSG msg;
    while (!quitting_ && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        win::HandleLoopMessage(msg);
        closedAbouts_.clear();
    }
    // The program ends at once: no other window's unload steps run.
    ExitProcess(0);
}

void App::Shutdown() {
    LogEvent("stop", u"plumwick ends");
    if (board_ && !quitting_) {
        // The board hears the screen has ended, unless the folder keeps the writer longer than a moment.
        board_->Finish(BoardJson(BoardSnapshot(false)), 2000);
    }
    hotkey_.SetHotKey(1, u"", u"Del");
    toolbar_.Close();
    quitting_ = true;
    PostQuitMessage(0);
}

void App::ShowAbout() {
    if (about_ && about_->Exists()) {
        about_->Show();
        return;
    }
    about_ = std::make_unique<AboutWindow>(HomePageAddress(),
                                           [this](AboutWindow* closed) { AboutClosed(closed); });
    about_->Load();
}

void App::AboutClosed(AboutWindow* closed) {
    // Called from the about window's own procedure: free it once that procedure has returned.
    if (about_ && about_.get() == closed) {
        closedAbouts_.push_back(std::move(about_));
    }
}

std::wstring App::HomePageAddress() const {
    return win::ToWide(ChooseHomePage(shop_.homePage, win::ToU16(programFolder_)).target);
}

// --- Shared --------------------------------------------------------------------------------------

void App::DrawMainLine(const std::u16string& line) {
    Changed();
    main_.DrawText(line);
}
void App::StartKaraokeTimer() {
    karaoke_.StartTimer();
}
void App::ClearMainLine() {
    Changed();
    main_.TakeDown();
}

// --- CommandTarget -------------------------------------------------------------------------------

void App::StopKaraokeTimer() {
    karaoke_.StopTimer();
}
void App::KaraokeDrawKRC(const std::u16string& text, const std::u16string& duration, std::int16_t textWidth) {
    Changed();
    karaoke_.DrawKRC(text, duration, textWidth);
}
void App::KaraokeDrawText(const std::u16string& text) {
    Changed();
    karaoke_.DrawText(text);
}
void App::SetKaraokeText(const std::u16string& text) {
    karaoke_.SetKaraokeText(text);
}
void App::ClearKaraokeSurface() {
    karaoke_.ClearSurface();
}
void App::ClearMainSurface() {
    Changed();
    main_.ClearSurface();
}
void App::HideToolbar() {
    toolbar_.Hide();
}
void App::CloseToolbar() {
    toolbar_.Close();
}
void App::CloseCommandWindow() {
    command_.Close();
}
void App::LockDisplay(bool clickThrough) {
    Changed();
    win::SetLayeredTop(main_.Handle(), true, clickThrough);
    win::SetLayeredTop(karaoke_.Handle(), true, clickThrough);
}

void App::HoldLine(unsigned seconds) {
    Changed();
    rotation_.HoldLine(seconds);
}
void App::EndHold() {
    Changed();
    rotation_.EndHold();
}

// --- StatusSource --------------------------------------------------------------------------------

DisplayStatus App::Status() {
    DisplayStatus status;
    status.version = PLUMWICK_VERSION;
    status.processId = GetCurrentProcessId();
    status.mainLine = main_.CurrentText();
    status.karaokeLine = karaoke_.KaraokeText();
    // Locked is what the window is: LOK, ULK and the hotkey all end in its extended style.
    status.locked = main_.Handle() && (GetWindowLongW(main_.Handle(), GWL_EXSTYLE) & WS_EX_TRANSPARENT) != 0;
    const RotationControl& rotation = rotation_.Control();
    status.rotating = rotation.Enabled();
    status.held = rotation.Held();
    status.intervalSeconds = rotation.IntervalMs() / 1000u;
    status.scheme = look_.ColorScheme();
    status.fontName = look_.FontName();
    status.fontSize = look_.FontSize();
    ContentWindow::ContentState content = content_.State();
    status.folderReachable = content.folderReachable;
    status.folderAwaySince = content.awaySince;
    status.lastRebuild = content.lastRebuild;
    return status;
}

// --- DisplayGroup --------------------------------------------------------------------------------

namespace {
std::optional<int> WindowLeftPx(HWND window) {
    RECT rect{};
    if (!window || !GetWindowRect(window, &rect)) {
        return std::nullopt;
    }
    return rect.left;
}
} // namespace

void App::DragStarted() {
    mainTopAtDragStart_ = win::WindowTopPx(main_.Handle());
    mainLeftAtDragStart_ = WindowLeftPx(main_.Handle());
}

void App::DragEnded() {
    // A sideways move is kept while the program runs, a move up or down also for the next start.
    std::optional<int> left = WindowLeftPx(main_.Handle());
    if (left && left != mainLeftAtDragStart_) {
        const std::optional<MonitorInfo>& monitor = displayMonitor_.Current();
        draggedShiftPx_ = *left - (monitor ? monitor->rect.left : 0);
    }
    mainLeftAtDragStart_.reset();
    std::optional<int> top = win::WindowTopPx(main_.Handle());
    std::optional<int> atStart = mainTopAtDragStart_;
    mainTopAtDragStart_.reset();
    if (!top || top == atStart) {
        return;
    }
    draggedTopPx_ = *top;
    if (win::Result written = win::WriteValue(kDisplayTopKey, EncodeDisplayTop(*top)); !written) {
        // Not worth a box at every mouse-up; the place simply is not kept for the next start.
        std::wstring text = L"plumwick: the display's place was not remembered: " + written.Text() + L"\n";
        OutputDebugStringW(text.c_str());
    }
}

void App::Drag(DragSource source, float dx, float dy) {
    DisplayWindows windows;
    windows.show = RectOf(main_);
    windows.krc = RectOf(karaoke_);
    windows.back = RectOf(panel_);
    windows.set = RectOf(toolbar_);
    windows.screenWidthTwips = win::ScreenWidthTwips(main_.Scale());
    windows.scale = main_.Scale();
    float fontSize = look_.FontSize();
    switch (source) {
    case DragSource::Main:
        windows = DragFromMain(windows, dx, dy, fontSize);
        break;
    case DragSource::Karaoke:
        windows = DragFromKaraoke(windows, dx, dy, fontSize);
        break;
    case DragSource::Panel:
        windows = DragFromPanel(windows, dy, fontSize);
        break;
    }
    // The panel and the toolbar never move sideways: they stay across the display's monitor.
    windows.back.left = RectOf(panel_).left;
    windows.set.left = RectOf(toolbar_).left;
    // The dragged window first, its companions after.
    PlaceAt(main_, windows.show);
    PlaceAt(karaoke_, windows.krc);
    PlaceAt(panel_, windows.back);
    PlaceAt(toolbar_, windows.set);
}

void App::PointerOverText() {
    toolbar_.Show();
    panel_.Show();
}

void App::PointerLeft() {
    toolbar_.Hide();
    karaoke_.MouseDownClear();
    main_.MouseDownClear();
    AlignKaraokeOverMain();
}

bool App::PartOfDisplay(HWND window) const {
    // The toolbar's picture box is a child window, and WindowFromPoint finds children.
    for (HWND own :
         {main_.Handle(), karaoke_.Handle(), toolbar_.Handle(), panel_.Handle(), toolbar_.PictureHandle()}) {
        if (own && window == own) {
            return true;
        }
    }
    return false;
}

void App::PlaceAgain(unsigned dpi) {
    PlaceDisplay(true, dpi);
}

void App::PlaceDisplay(bool force, unsigned dpi) {
    // A window moved below sends its own DPI change, which asks for this again.
    if (placing_ || !main_.Handle()) {
        return;
    }
    placing_ = true;
    DisplayMonitor::Decision decision = displayMonitor_.Update(win::ListMonitors());
    const std::optional<MonitorInfo>& monitor = displayMonitor_.Current();
    if (decision.notice == DisplayMonitor::Notice::ChosenMissing) {
        notices_.Notify(NoticeCause::MonitorMissing,
                        u"The display is on the primary monitor: shop.ini's Monitor=" + shop_.monitor +
                            u" names no monitor of this PC.");
    } else if (decision.notice == DisplayMonitor::Notice::Gone) {
        notices_.Notify(NoticeCause::MonitorGone,
                        u"The display's monitor has gone; the display is on the primary "
                        u"monitor until it comes back.");
    } else if (decision.notice == DisplayMonitor::Notice::Returned) {
        notices_.Cleared(NoticeCause::MonitorGone);
    }
    if (monitor && (decision.place || force)) {
        DisplayDesign design;
        design.mainHeightPx = MainTextWindow::kDesignHeightTwips / kTwipsPerPixel;
        design.karaokeHeightPx = KaraokeWindow::kDesignHeightTwips / kTwipsPerPixel;
        design.panelHeightPx = SkinPanel::kHeightTwips / kTwipsPerPixel;
        design.toolbarWidthPx = kToolbarWindowWidthPx;
        design.toolbarHeightPx = kToolbarWindowHeightPx;
        design.fontSize = look_.FontSize();
        MonitorInfo on = *monitor;
        if (dpi != 0) {
            on.dpi = dpi;
        }
        DisplayLayout layout = LayOutDisplay(on, design, draggedTopPx_, draggedShiftPx_);
        if (main_.PlaceAt(win::ToRect(layout.main))) {
            main_.RefreshText(); // drawn again at its new width
        }
        karaoke_.PlaceAt(win::ToRect(layout.karaoke));
        panel_.PlaceAt(win::ToRect(layout.panel));
        if (toolbar_.Handle()) {
            SetWindowPos(toolbar_.Handle(), nullptr, layout.toolbar.left, layout.toolbar.top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    placing_ = false;
}

void App::Resumed() {
    // Monitors that slept may have come back in another order or size, and the system may have moved the
    // windows meanwhile: the display goes back to its place when it is no longer on its monitor.
    RECT rect{};
    bool off = true;
    if (const std::optional<MonitorInfo>& monitor = displayMonitor_.Current();
        monitor && main_.Handle() && GetWindowRect(main_.Handle(), &rect)) {
        // Off: its rows leave the monitor, or no column of it is on the monitor (a sideways drag leaves
        // part of the screen-wide window beside the monitor on purpose).
        RECT screen = win::ToRect(monitor->rect);
        off = rect.top < screen.top || rect.bottom > screen.bottom || rect.right <= screen.left ||
              rect.left >= screen.right;
    }
    PlaceDisplay(off);
    // Ticks missed meanwhile: one message now, then the interval as before.
    rotation_.CatchUp();
}

void App::KeepForSessionEnd() {
    // The look is the only thing not written as it changes; the place and the publication are on disk.
    WriteSettings();
}

// --- Administrator's values ----------------------------------------------------------------------

void App::ShowAdministeredLook() {
    Settings shown = AdministeredLook(fileLook_, lookChosen_, win::PolicyValues(), win::MachineValues());
    if (shown.fontName != look_.FontName() || shown.fontSize != look_.FontSize()) {
        look_.SetFont(shown.fontName, shown.fontSize);
    }
    if (shown.colorScheme != look_.ColorScheme()) {
        look_.ApplyScheme(shown.colorScheme);
    }
    // "None chosen" is shown as scheme 1.
    look_.SetSchemeNumber(EffectiveSavedScheme(look_.ColorScheme()));
    shownLook_ = Settings{look_.FontName(), look_.FontSize(), look_.ColorScheme()};
}

void App::WriteSettings() {
    fileLook_.colorScheme = EffectiveSavedScheme(fileLook_.colorScheme);
    settings_.SaveSet(fileLook_);
}

void App::LockAdministeredControls(bool atStart) {
    toolbar_.SetAdministered(win::ByPolicy(u"ColorScheme"),
                             win::ByPolicy(u"FontName") || win::ByPolicy(u"FontSize"));
    content_.SetAdministered(ContentWindow::Administered{win::ByPolicy(u"Interval"), win::ByPolicy(u"Split"),
                                                         win::ByPolicy(u"Publication")});
    std::vector<std::u16string> names; // in the table's order, however the registry lists them
    for (const ManagedValue& value : ManagedValues()) {
        if (win::ByPolicy(value.name)) {
            names.emplace_back(value.name);
        }
    }
    if (names == policyNames_) {
        return;
    }
    policyNames_ = names;
    if (!names.empty()) {
        notices_.Notify(atStart ? NoticeCause::AdministratorSet : NoticeCause::AdministratorChanged,
                        AdministratorSetNotice(names));
        // Only a real change of the policies comes here; each one is told.
        notices_.Cleared(NoticeCause::AdministratorChanged);
    }
}

void App::ManagedValuesChanged() {
    std::u16string intervalBefore = win::ReadValue(kIntervalKey);
    PublicationSources publicationBefore = ReadPublicationSources();
    std::vector<std::u16string> problems = win::LoadManagedValues(managedRule_);
    if (!problems.empty()) {
        notices_.Notify(NoticeCause::ManagedValueIgnored, IgnoredManagedValuesNotice(problems));
    }
    ShowAdministeredLook();
    LockAdministeredControls(false);

    ShopConfig next = AdministeredShop(shopFile_);
    if (next.monitor != shop_.monitor) {
        displayMonitor_ = DisplayMonitor(
            ParseMonitorChoice(next.monitor).value_or(MonitorChoice{MonitorChoice::Kind::Numbered, 0}));
        shop_.monitor = next.monitor;
        PlaceDisplay(true);
    }
    if (next.unlockHotkey != shop_.unlockHotkey) {
        hotkey_.SetHotKey(kUnlockHotkeyId, u"", u"Del");
        RegisterUnlockHotkey(hotkey_, next.unlockHotkey, notices_);
    }
    if (next.statusFolder != shop_.statusFolder) {
        // The status file moves to the new folder (or stops); the old folder's file grows old and the
        // board marks it.
        shop_.statusFolder = next.statusFolder;
        board_.reset();
        StartStatusBoard();
    }
    if (next.contentFolder != shop_.contentFolder) {
        // The list, the folder's watcher and the publication's files move to the new folder.
        shop_.contentFolder = next.contentFolder;
        if (std::string error = ChooseContentFolder(programFolder_, shop_.contentFolder).error;
            !error.empty()) {
            notices_.Notify(NoticeCause::ContentFolderRefused, Utf8ToUtf16(error));
        }
        content_.ChangeFolder(PickContentFolder());
    }
    // The administrator's publication runs at once where it would at start; from the folder in force now.
    if (PublishesManagedPublication(publicationBefore, ReadPublicationSources())) {
        content_.PublishAdministered();
    }
    // The welcome line and LockAtStart are read at start only; the home page at the next click.
    shop_.unlockHotkey = next.unlockHotkey;
    shop_.homePage = next.homePage;

    // A running rotation takes a new interval from its next tick.
    std::u16string interval = win::ReadValue(kIntervalKey);
    if (interval != intervalBefore && rotation_.Control().Enabled()) {
        if (std::optional<int> seconds = ParseInterval(interval); seconds && *seconds > 0) {
            rotation_.ResumeRotation(static_cast<unsigned>(*seconds) * 1000u);
        }
    }
}

void App::AlignKaraokeOverMain() {
    PlaceAt(karaoke_, RectOf(main_));
}

std::vector<HWND> App::WindowsAbovePanel() const {
    std::vector<HWND> above;
    if (!main_.Handle()) {
        return above;
    }
    for (HWND window : {main_.Handle(), karaoke_.Handle(), toolbar_.Handle()}) {
        if (window) {
            above.push_back(window);
        }
    }
    return above;
}

std::optional<std::u16string> App::CurrentMessage() const {
    return rotation_.Messages().Current();
}

void App::FontMissing(const std::u16string& chosen, const std::u16string& face) {
    notices_.Notify(NoticeCause::FontMissing, MissingFontNotice(chosen, face));
}

// --- ToolbarHost ---------------------------------------------------------------------------------

void App::SaveSettings() {
    Changed();
    // The toolbar or the font dialog changed the look: that part is now the user's own choice.
    look_.SetSchemeNumber(EffectiveSavedScheme(look_.ColorScheme()));
    Settings shown{look_.FontName(), look_.FontSize(), look_.ColorScheme()};
    LookChoice changed{shown.fontName != shownLook_.fontName || shown.fontSize != shownLook_.fontSize,
                       shown.colorScheme != shownLook_.colorScheme};
    if (changed.font) {
        lookChosen_.font = true;
        static_cast<void>(win::WriteValue(kFontChosenKey, u"1"));
    }
    if (changed.scheme) {
        lookChosen_.scheme = true;
        static_cast<void>(win::WriteValue(kSchemeChosenKey, u"1"));
    }
    fileLook_ = LookToKeep(fileLook_, shown, changed);
    shownLook_ = shown;
    WriteSettings();
}
void App::ToggleContentManager() {
    content_.ToggleVisible();
}
void App::EndProgram() {
    command_.SetBoxText(u"END");
}

// --- ContentHost ---------------------------------------------------------------------------------

std::optional<ScreenRows> App::DisplayRows() const {
    std::optional<int> top = win::WindowTopPx(main_.Handle());
    if (!top) {
        return std::nullopt;
    }
    // The reach in the display's own pixels, at its monitor's DPI.
    DisplayReach reach = ScaledReach(DesignReach(look_.FontSize()), main_.Scale());
    return ScreenRows{*top - reach.abovePx, *top + reach.belowPx};
}

} // namespace plumwick
