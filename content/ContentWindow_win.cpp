#include "content/ContentWindow_win.h"

#include "common/FileBytes.h"
#include "common/TextUtil.h"
#include "content/ContentText.h"
#include "content/DirectoryLister_win.h"
#include "content/FeedFetch.h"
#include "content/ManagerPlacement.h"
#include "content/WebAddress.h"
#include "store/UserMemoryStore_win.h"
#include "win32/Dpi_win.h"
#include "win32/Handles_win.h"
#include "win32/LocalTime_win.h"
#include "win32/Strings_win.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace plumwick {

namespace {

// Nothing when no publication was remembered yet (or what is stored names no file).
std::optional<RememberedPublication> ReadRememberedPublication() {
    RememberedPublication publication;
    publication.files = DecodeFileList(win::ReadValue(kPublicationFilesKey));
    if (publication.files.empty()) {
        return std::nullopt;
    }
    publication.option = DecodeSplitOption(win::ReadValue(kPublicationSplitKey));
    return publication;
}

// The wall time now with the offset from UTC in force.
LocalDateTime WallTimeNow() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return LocalDateTime{CivilDate{t.wYear, t.wMonth, t.wDay}, t.wHour, t.wMinute, t.wSecond,
                         win::LocalUtcOffsetMinutes()};
}

// A box's caption: the file's name, and its schedule when one covers it.
std::wstring EntryCaption(const std::u16string& name, const std::u16string& schedule) {
    // A lone "&" would turn into an underline under the next letter.
    std::u16string caption = ReplaceAll(name, u"&", u"&&");
    if (!schedule.empty()) {
        caption += u"  [" + ReplaceAll(schedule, u"&", u"&&") + u"]";
    }
    return win::ToWide(caption);
}

// A scheduled file's box wraps its caption, so the rule goes on a second line of the row rather than off
// the box's edge.
void ShowCaption(HWND box, const std::u16string& name, const std::u16string& schedule) {
    LONG_PTR style = GetWindowLongPtrW(box, GWL_STYLE);
    LONG_PTR wanted = schedule.empty() ? style & ~static_cast<LONG_PTR>(BS_MULTILINE) : style | BS_MULTILINE;
    if (wanted != style) {
        SetWindowLongPtrW(box, GWL_STYLE, wanted);
    }
    SetWindowTextW(box, EntryCaption(name, schedule).c_str());
}

// How long the window thread waits to learn whether the content folder is there.
constexpr unsigned long kFolderAnswerMs = 2000;
// How long the program's end waits, in all, for the watchers' threads.
constexpr unsigned long kWatchersEndMs = 2000;

// A folder on another machine (a UNC path or a mapped drive), which is never made when it is not there.
bool IsNetworkFolder(const std::u16string& folder) {
    if (folder.size() >= 2 && folder[0] == u'\\' && folder[1] == u'\\') {
        return true;
    }
    if (folder.size() >= 3 && folder[1] == u':') {
        return GetDriveTypeW(win::ToWide(folder.substr(0, 3)).c_str()) == DRIVE_REMOTE;
    }
    return false;
}

constexpr wchar_t kClassName[] = L"PlumwickContentManager";
constexpr wchar_t kPanelClassName[] = L"PlumwickContentList";
constexpr wchar_t kCaption[] = L" 选择要显示的内容卷";
constexpr wchar_t kFontName[] = L"宋体";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_APPWINDOW;

// Design sizes in twips.
constexpr int kClientWidthTwips = 6945;
constexpr int kClientHeightTwips = 1410;
constexpr int kEntryWidthTwips = 2415;
constexpr int kEntryHeightTwips = 420;

struct TwipsBox {
    int left, top, width, height;
};
constexpr TwipsBox kLabel1{240, 240, 3255, 375};
constexpr TwipsBox kText2{2280, 240, 735, 375};
constexpr TwipsBox kCommand2{3720, 200, 1335, 495};
constexpr TwipsBox kCheck2{5280, 240, 1695, 495};
// Beyond the right edge of the client area: it is pressed only by program.
constexpr TwipsBox kCommand1{7920, 120, 1335, 495};

// A wheel notch moves the list three rows.
constexpr int kWheelStepRows = 3;

HFONT MakeFont(double points, unsigned dpi) {
    // At the DPI its controls are placed at, so the text keeps to the boxes made for it.
    int height = -static_cast<int>(points * dpi / 72.0 + 0.5);
    return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, kFontName);
}

HWND MakeControl(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, DWORD exStyle, int x,
                 int y, int width, int height, int id, HFONT font) {
    HWND control =
        CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), win::ModuleInstance(), nullptr);
    if (control && font) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    return control;
}

// Moves a control to its box in twips, at the pixels of the window it lies in.
void PlaceControl(const win::Window& parent, HWND control, const TwipsBox& box) {
    if (control) {
        SetWindowPos(control, nullptr, parent.TwipsToPixels(box.left), parent.TwipsToPixels(box.top),
                     parent.TwipsToPixels(box.width), parent.TwipsToPixels(box.height),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// A control laid out in twips, at the pixels of the window it goes into.
HWND MakeControl(const win::Window& parent, const wchar_t* cls, const wchar_t* text, DWORD style,
                 DWORD exStyle, const TwipsBox& box, int id, HFONT font) {
    return MakeControl(parent.Handle(), cls, text, style, exStyle, parent.TwipsToPixels(box.left),
                       parent.TwipsToPixels(box.top), parent.TwipsToPixels(box.width),
                       parent.TwipsToPixels(box.height), id, font);
}

} // namespace

// The entries live in a child panel below the controls: when they outgrow the work area, the panel keeps
// the window on the screen and scrolls them.
class ContentWindow::EntryPanel : public win::Window {
  public:
    bool Create(HWND parent, int x, int y, int width, int height) {
        win::WindowClass cls{kPanelClassName};
        cls.background = GetSysColorBrush(COLOR_BTNFACE);
        return win::Window::Create(cls, WS_EX_CONTROLPARENT, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, L"", x,
                                   y, width, height, parent);
    }

    // The height the entries take; the scroll bar appears only when the panel is shorter.
    void SetContentHeight(int contentPx) {
        contentPx_ = std::max(contentPx, 0);
        UpdateScrollBar();
    }
    void UpdateScrollBar() {
        if (!Handle()) {
            return;
        }
        int visible = ClientHeightPx();
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_PAGE;
        info.nMin = 0;
        info.nMax = contentPx_ > visible ? contentPx_ - 1 : 0;
        info.nPage = contentPx_ > visible ? static_cast<UINT>(visible) : 0;
        SetScrollInfo(Handle(), SB_VERT, &info, TRUE);
        ScrollTo(position_);
    }
    int Position() const { return position_; }
    void ScrollTo(int position) {
        if (!Handle()) {
            return;
        }
        int limit = std::max(0, contentPx_ - ClientHeightPx());
        position = std::clamp(position, 0, limit);
        int delta = position_ - position;
        position_ = position;
        SetScrollPos(Handle(), SB_VERT, position_, TRUE);
        if (delta != 0) {
            ScrollWindowEx(Handle(), 0, delta, nullptr, nullptr, nullptr, nullptr,
                           SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
            UpdateWindow(Handle());
        }
    }
    // Brings an entry that took the focus (by keyboard, say) into view.
    void EnsureVisible(HWND child) {
        RECT rc{};
        if (!GetWindowRect(child, &rc)) {
            return;
        }
        MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&rc), 2);
        int visible = ClientHeightPx();
        if (rc.top < 0) {
            ScrollTo(position_ + rc.top);
        } else if (rc.bottom > visible) {
            ScrollTo(position_ + std::min(rc.bottom - visible, rc.top));
        }
    }
    void OnWheel(int delta) {
        wheelRemainder_ += delta;
        int notches = wheelRemainder_ / WHEEL_DELTA;
        wheelRemainder_ -= notches * WHEEL_DELTA;
        if (notches != 0) {
            ScrollTo(position_ - notches * kWheelStepRows * RowPx());
        }
    }

  protected:
    // Told by the form, which places it: only the scale changes.
    void OnDpiChanged(const RECT&) override {}

  private:
    // One row of the grid, in the pixels it is drawn at.
    int RowPx() const { return TwipsToPixels(kGridRowTwips); }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
        case WM_VSCROLL:
            OnVScroll(LOWORD(wParam));
            return 0;
        case WM_MOUSEWHEEL:
            // Handled here and not passed up: the form hands its wheel to this panel.
            OnWheel(GET_WHEEL_DELTA_WPARAM(wParam));
            return 0;
        case WM_SIZE:
            UpdateScrollBar();
            return 0;
        case WM_COMMAND:
            // Only one of the panel's own check boxes is scrolled to: another process can send any handle.
            if (HIWORD(wParam) == BN_SETFOCUS && IsChild(Handle(), reinterpret_cast<HWND>(lParam))) {
                EnsureVisible(reinterpret_cast<HWND>(lParam));
            }
            return 0; // the check boxes tick themselves
        default:
            return Default(message, wParam, lParam);
        }
    }

    void OnVScroll(int code) {
        int page = ClientHeightPx();
        switch (code) {
        case SB_LINEUP:
            ScrollTo(position_ - RowPx());
            break;
        case SB_LINEDOWN:
            ScrollTo(position_ + RowPx());
            break;
        case SB_PAGEUP:
            ScrollTo(position_ - page);
            break;
        case SB_PAGEDOWN:
            ScrollTo(position_ + page);
            break;
        case SB_TOP:
            ScrollTo(0);
            break;
        case SB_BOTTOM:
            ScrollTo(contentPx_);
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            SCROLLINFO info{};
            info.cbSize = sizeof info;
            info.fMask = SIF_TRACKPOS;
            if (GetScrollInfo(Handle(), SB_VERT, &info)) {
                ScrollTo(info.nTrackPos);
            }
            break;
        }
        default:
            break;
        }
    }

    int contentPx_ = 0;
    int position_ = 0;
    int wheelRemainder_ = 0;
};

ContentWindow::ContentWindow(ContentHost& host, MessageFeed& feed, std::u16string contentFolder,
                             const AnsiCodePage& codePage, Notifier& notifier)
    : host_(host), feed_(feed), contentFolder_(std::move(contentFolder)), codePage_(codePage),
      notifier_(notifier) {}

ContentWindow::~ContentWindow() {
    // The controls go before the fonts they use.
    Destroy();
    EndWatchers();
}

void ContentWindow::EndWatchers() {
    if (watcher_) {
        watcher_->Stop();
        retiredWatchers_.push_back(std::move(watcher_));
    }
    // A watcher inside a look at a share that hangs would hold the program's end for the network's
    // time-out: each gets what is left of a short wait, and one still inside a call keeps its memory (its
    // thread uses it) until the process ends.
    const std::uint64_t until = GetTickCount64() + kWatchersEndMs;
    for (std::unique_ptr<ContentWatcher>& watcher : retiredWatchers_) {
        const std::uint64_t now = GetTickCount64();
        if (!watcher->WaitEnded(until > now ? static_cast<unsigned long>(until - now) : 0)) {
            static_cast<void>(watcher.release());
        }
    }
    retiredWatchers_.clear();
}

void ContentWindow::StartWatcher() {
    if (watcher_) {
        return;
    }
    // Off the window thread: schedule.ini and the published files, which may lie on a share.
    watcher_ = std::make_unique<ContentWatcher>(
        contentFolder_, [this](std::optional<std::string> bytes) { ScheduleRead(std::move(bytes)); },
        [this](unsigned generation, std::vector<std::optional<std::string>> files) {
            FilesRebuilt(generation, std::move(files));
        },
        // Two looks a second apart that agree: the change shows within 5 s of the last write.
        SyncTiming{.settleMs = 1000});
    watcher_->OnReachability([this](bool reachable) { FolderReach(reachable); });
    watcher_->Start();
}

void ContentWindow::FolderReach(bool reachable) {
    if (reachable) {
        if (awaySince_) {
            notifier_.Cleared(NoticeCause::ContentFolderAway);
        }
        awaySince_.reset();
        return;
    }
    if (!awaySince_) {
        awaySince_ = WallTimeNow();
    }
    notifier_.Notify(NoticeCause::ContentFolderAway, FolderAwayNotice(*awaySince_));
}

ContentWindow::ContentState ContentWindow::State() const {
    ContentState state;
    state.folderReachable = !awaySince_;
    if (awaySince_) {
        state.awaySince = WhenText(*awaySince_);
    }
    state.lastRebuild = lastRebuild_;
    return state;
}

bool ContentWindow::Load() {
    if (Exists()) {
        ShowActive();
        return true;
    }
    entries_.clear();
    scrollRangePx_ = 0;
    lastFocus_ = nullptr;
    if (!CreateControls()) {
        Destroy();
        return false;
    }
    // Each step goes on whatever the one before achieved.
    std::u16string contentFolder = ContentFolder();
    // A share that does not answer is not listed: the window thread never waits for the network.
    bool there = FolderAnswers(contentFolder, kFolderAnswerMs);
    std::optional<RememberedPublication> remembered = ReadRememberedPublication();
    // A folder that held a publication is away, and is waited for rather than made anew and empty.
    bool away =
        awaySince_ || (remembered && std::any_of(remembered->files.begin(), remembered->files.end(),
                                                 [&](const std::u16string& file) {
                                                     return cache_.Find(contentFolder, file).has_value();
                                                 }));
    if (there) {
        Findfile(contentFolder);
    } else if (!away && !IsNetworkFolder(contentFolder)) {
        // After the scan, so the very first start shows an empty list.
        CreateDirectoryW(win::ToWide(contentFolder).c_str(), nullptr);
    }
    std::u16string interval = win::ReadValue(kIntervalKey);
    SetWindowTextW(text2_, win::ToWide(interval).c_str());
    StartWatcher();

    if (!loadedBefore_) {
        loadedBefore_ = true;
        if (!there && remembered) {
            // The folder is away: the publication comes back from its last good copy, and its ticks when
            // the folder is listed again.
            ticksToRestore_ = remembered->files;
            std::vector<std::optional<std::string>> copies = cache_.Read(contentFolder, remembered->files);
            std::optional<int> seconds = ParseInterval(interval);
            if (seconds && std::any_of(copies.begin(), copies.end(), [](const auto& copy) { return copy; })) {
                RestorePlan plan;
                plan.publish = true;
                plan.option = remembered->option;
                plan.intervalSeconds = *seconds;
                plan = SkipUnfinishedRestore(std::move(plan), win::ReadValue(kRestoreMarkKey));
                if (plan.skipped) {
                    notifier_.Notify(NoticeCause::RestoreSkipped, RestoreSkippedNotice());
                }
                SendMessageW(check2_, BM_SETCHECK,
                             plan.option == SplitOption::DoubleBreak ? BST_CHECKED : BST_UNCHECKED, 0);
                if (plan.publish) {
                    restoreFromCache_ = remembered->files;
                    pendingRestore_ = std::move(plan);
                    FitAndPlace();
                    return true; // hidden: the start publishes the cached copy
                }
            }
        }
        RestorePlan plan = SkipUnfinishedRestore(PlanRestore(contentFolder, Files(), remembered, interval),
                                                 win::ReadValue(kRestoreMarkKey));
        if (plan.skipped) {
            notifier_.Notify(NoticeCause::RestoreSkipped, RestoreSkippedNotice());
        }
        for (std::size_t i = 0; i < entries_.size() && i < plan.ticks.size(); ++i) {
            SendMessageW(entries_[i].box, BM_SETCHECK, plan.ticks[i] ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        SendMessageW(check2_, BM_SETCHECK,
                     plan.option == SplitOption::DoubleBreak ? BST_CHECKED : BST_UNCHECKED, 0);
        if (plan.publish) {
            pendingRestore_ = std::move(plan);
            ApplyAdministered();
            FitAndPlace();
            return true; // hidden: the start publishes it again
        }
    }
    ApplyAdministered();
    FitAndPlace();
    ShowActive();
    return true;
}

void ContentWindow::SetAdministered(Administered administered) {
    administered_ = administered;
    ApplyAdministered();
}

void ContentWindow::ApplyAdministered() {
    if (!Handle()) {
        return;
    }
    if (text2_) {
        if (administered_.interval) {
            SetWindowTextW(text2_, win::ToWide(win::ReadValue(kIntervalKey)).c_str());
        }
        EnableWindow(text2_, !administered_.interval);
    }
    if (check2_) {
        if (administered_.split) {
            SendMessageW(check2_, BM_SETCHECK,
                         DecodeSplitOption(win::ReadValue(kPublicationSplitKey)) == SplitOption::DoubleBreak
                             ? BST_CHECKED
                             : BST_UNCHECKED,
                         0);
        }
        EnableWindow(check2_, !administered_.split);
    }
    for (const Entry& entry : entries_) {
        EnableWindow(entry.box, !administered_.publication);
    }
}

bool ContentWindow::CreateControls() {
    // Sized before it exists, for the monitor it is made on; placed and laid out at its own DPI after.
    const DpiScale made = win::PrimaryScale();
    RECT frame{0, 0, made.TwipsToPixels(kClientWidthTwips), made.TwipsToPixels(kClientHeightTwips)};
    win::AdjustWindowRectForDpi(frame, kStyle, kExStyle, made.Dpi());
    win::WindowClass cls{kClassName};
    cls.background = GetSysColorBrush(COLOR_BTNFACE);
    cls.icon = LoadIconW(win::ModuleInstance(), MAKEINTRESOURCEW(1));
    if (!Create(cls, kExStyle, kStyle, kCaption, CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                frame.bottom - frame.top, nullptr)) {
        return false;
    }
    // The fonts of an earlier load may be of another DPI; no control of that load is left.
    MakeFonts();
    designHeightPx_ = frame.bottom - frame.top;
    HWND form = Handle();
    // The field lies over the blank gap of the label, so it is created first and stays above it.
    text2_ = MakeControl(*this, L"EDIT", L"20", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, kText2,
                         kText2Id, fieldFont_.get());
    label1_ = MakeControl(*this, L"STATIC", L"信息更换间隔：      秒", SS_LEFT | WS_CLIPSIBLINGS, 0, kLabel1,
                          kLabel1Id, labelFont_.get());
    // The default button: Enter publishes, wherever the focus is in the window.
    command2_ = MakeControl(*this, L"BUTTON", L"确定 ", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, kCommand2,
                            kCommand2Id, controlFont_.get());
    check2_ = MakeControl(*this, L"BUTTON", L"双回车符分列", WS_TABSTOP | BS_AUTOCHECKBOX, 0, kCheck2,
                          kCheck2Id, controlFont_.get());
    command1_ = MakeControl(*this, L"BUTTON", L"画文字 ", BS_PUSHBUTTON, 0, kCommand1, kCommand1Id,
                            controlFont_.get());
    if (text2_) {
        SetWindowPos(text2_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }

    panel_ = std::make_unique<EntryPanel>();
    int top = TwipsToPixels(kGridFirstTopTwips);
    if (!panel_->Create(form, 0, top, ClientWidthPx(), std::max(0, ClientHeightPx() - top))) {
        panel_.reset();
    }
    return true;
}

void ContentWindow::MakeFonts() {
    labelFont_.reset(MakeFont(14.25, Scale().Dpi()));
    fieldFont_.reset(MakeFont(12, Scale().Dpi()));
    controlFont_.reset(MakeFont(9, Scale().Dpi()));
}

void ContentWindow::OnDpiChanged(const RECT& suggested) {
    // The fonts at the new DPI first, handed to every control before the old ones go.
    win::UniqueFont oldLabel = std::move(labelFont_);
    win::UniqueFont oldField = std::move(fieldFont_);
    win::UniqueFont oldControl = std::move(controlFont_);
    MakeFonts();
    auto setFont = [](HWND control, HFONT font) {
        if (control && font) {
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        }
    };
    setFont(label1_, labelFont_.get());
    setFont(text2_, fieldFont_.get());
    for (HWND control : {command2_, check2_, command1_}) {
        setFont(control, controlFont_.get());
    }
    for (const Entry& entry : entries_) {
        setFont(entry.box, controlFont_.get());
    }
    // Every control to its box at the new DPI; the list from its top, at the new row height.
    PlaceControl(*this, text2_, kText2);
    PlaceControl(*this, label1_, kLabel1);
    PlaceControl(*this, command2_, kCommand2);
    PlaceControl(*this, check2_, kCheck2);
    PlaceControl(*this, command1_, kCommand1);
    if (panel_ && panel_->Handle()) {
        panel_->ScrollTo(0);
        // A child hears of no DPI change itself; its scroll steps are rows at the window's DPI.
        SendMessageW(panel_->Handle(), WM_DPICHANGED, MAKEWPARAM(Scale().Dpi(), Scale().Dpi()), 0);
        int panelTop = TwipsToPixels(kGridFirstTopTwips);
        for (std::size_t i = 0; i < entries_.size(); ++i) {
            EntryPlacement place = PlaceEntry(static_cast<int>(i) + 1);
            SetWindowPos(entries_[i].box, nullptr, TwipsToPixels(place.leftTwips),
                         TwipsToPixels(place.topTwips) - panelTop, TwipsToPixels(kEntryWidthTwips),
                         TwipsToPixels(kEntryHeightTwips), SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    // The frame at the design size for the new DPI, where the system suggests (under the pointer of a
    // drag to another monitor), as tall as the list wants and inside that monitor's work area.
    RECT frame{0, 0, TwipsToPixels(kClientWidthTwips), TwipsToPixels(kClientHeightTwips)};
    win::AdjustWindowRectForDpi(frame, kStyle, kExStyle, Scale().Dpi());
    designHeightPx_ = frame.bottom - frame.top;
    SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, frame.right - frame.left, designHeightPx_,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    FitAndPlace(POINT{suggested.left, suggested.top});
    // Everything drawn afresh: a control uncovered by a sibling's move keeps its old pixels otherwise.
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void ContentWindow::Findfile(const std::u16string& folder) {
    if (folder.empty() || !panel_) {
        return;
    }
    win::WinDirectoryLister lister;
    CreateEntries(ScanContentFolder(folder, lister, u'\\'), {});
}

std::u16string ContentWindow::ContentFolder() const {
    return contentFolder_;
}

std::vector<ContentEntry> ContentWindow::Scan() const {
    win::WinDirectoryLister lister;
    return ScanContentFolder(ContentFolder(), lister, u'\\');
}

void ContentWindow::CreateEntries(std::vector<ContentEntry> files, const std::vector<bool>& ticks) {
    if (!panel_) {
        return;
    }
    int panelTop = TwipsToPixels(kGridFirstTopTwips);
    for (std::size_t i = 0; i < files.size(); ++i) {
        ContentEntry& file = files[i];
        // The hidden template is element 0, so the first file is element 1.
        int n = static_cast<int>(entries_.size()) + 1;
        EntryPlacement place = PlaceEntry(n);
        std::u16string schedule;
        if (const std::optional<Schedule>& current = scheduled_.CurrentSchedule()) {
            schedule = ScheduleCaption(*current, RelativePath(file));
        }
        HWND box = MakeControl(panel_->Handle(), L"BUTTON", L"", WS_TABSTOP | BS_AUTOCHECKBOX | BS_NOTIFY, 0,
                               TwipsToPixels(place.leftTwips),
                               TwipsToPixels(place.topTwips) - panelTop - panel_->Position(),
                               TwipsToPixels(kEntryWidthTwips), TwipsToPixels(kEntryHeightTwips),
                               kFirstEntryId + n - 1, controlFont_.get());
        if (!box) {
            continue; // no window for it: the file is not offered
        }
        ShowCaption(box, file.caption, schedule);
        if (i < ticks.size() && ticks[i]) {
            SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0);
        }
        EnableWindow(box, !administered_.publication);
        entries_.push_back({box, std::move(file)});
    }
}

void ContentWindow::DestroyEntries() {
    for (const Entry& entry : entries_) {
        win::UniqueWindow(entry.box).reset();
    }
    entries_.clear();
}

std::vector<ContentEntry> ContentWindow::Files() const {
    std::vector<ContentEntry> files;
    files.reserve(entries_.size());
    for (const Entry& entry : entries_) {
        files.push_back(entry.file);
    }
    return files;
}

std::vector<bool> ContentWindow::Ticks() const {
    std::vector<bool> ticks;
    ticks.reserve(entries_.size());
    for (const Entry& entry : entries_) {
        ticks.push_back(SendMessageW(entry.box, BM_GETCHECK, 0, 0) == BST_CHECKED);
    }
    return ticks;
}

void ContentWindow::Rescan() {
    if (!FolderAnswers(contentFolder_, kFolderAnswerMs)) {
        return; // away or not answering: the list stays as it was, rather than the window thread waiting
    }
    std::vector<ContentEntry> files = Scan();
    std::vector<ContentEntry> before = Files();
    auto same = [](const ContentEntry& a, const ContentEntry& b) {
        return a.folder == b.folder && a.caption == b.caption;
    };
    if (std::equal(files.begin(), files.end(), before.begin(), before.end(), same)) {
        return; // nothing added or removed: the boxes, their ticks and the scroll stay as they are
    }
    std::vector<bool> ticks = KeepTicks(before, Ticks(), files);
    if (before.empty() && !ticksToRestore_.empty()) {
        // The folder was away when the window loaded: the publication running from the cache is ticked.
        ticks = RestoreTicks(contentFolder_, files, ticksToRestore_);
    }
    if (!files.empty()) {
        ticksToRestore_.clear();
    }
    HWND focus = GetFocus();
    bool focusInList = focus && panel_ && IsChild(panel_->Handle(), focus);
    if (panel_) {
        panel_->ScrollTo(0);
    }
    DestroyEntries();
    lastFocus_ = nullptr;
    CreateEntries(std::move(files), ticks);
    if (focusInList) {
        SetFocus(text2_);
    }
}

void ContentWindow::FitAndPlace(std::optional<POINT> corner) {
    RECT work = win::WorkArea();
    if (corner) {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        if (GetMonitorInfoW(MonitorFromPoint(*corner, MONITOR_DEFAULTTONEAREST), &monitor)) {
            work = monitor.rcWork;
        }
    }
    PixelRect workPx{work.left, work.top, work.right, work.bottom};
    RECT rc{};
    GetWindowRect(Handle(), &rc);
    int width = rc.right - rc.left;
    const int count = static_cast<int>(entries_.size());
    std::optional<int> wantedTwips = WindowHeightTwips(count);
    int wanted = wantedTwips ? TwipsToPixels(*wantedTwips) : designHeightPx_;

    // The rows the display takes: panel and toolbar around the main window's top, and the line below it.
    int lineTop = work.top;
    int lineBottom = work.top;
    if (std::optional<ScreenRows> rows = host_.DisplayRows()) {
        lineTop = rows->top;
        lineBottom = rows->bottom;
    }
    ManagerPlace place = PlaceContentManager(workPx, lineTop, lineBottom, width, wanted,
                                             TwipsToPixels(kGridOneRowWindowTwips));
    GridScroll grid = ComputeGrid(count, PixelsToTwips(place.height));
    scrollRangePx_ = grid.needsScroll ? TwipsToPixels(grid.scrollRangeTwips) : 0;
    if (corner) {
        place.x = std::clamp(static_cast<int>(corner->x), static_cast<int>(work.left),
                             std::max(static_cast<int>(work.left), static_cast<int>(work.right) - width));
        place.y =
            std::clamp(static_cast<int>(corner->y), static_cast<int>(work.top),
                       std::max(static_cast<int>(work.top), static_cast<int>(work.bottom) - place.height));
    }
    SetWindowPos(Handle(), nullptr, place.x, place.y, width, place.height, SWP_NOZORDER | SWP_NOACTIVATE);
    LayOutPanel();
}

void ContentWindow::LayOutPanel() {
    if (!panel_ || !panel_->Handle()) {
        return;
    }
    int top = TwipsToPixels(kGridFirstTopTwips);
    int visible = std::max(0, ClientHeightPx() - top);
    SetWindowPos(panel_->Handle(), nullptr, 0, top, ClientWidthPx(), visible, SWP_NOZORDER | SWP_NOACTIVATE);
    // Whatever the frame takes, the last row stays reachable.
    int lastBottom = 0;
    if (!entries_.empty()) {
        lastBottom = TwipsToPixels(PlaceEntry(static_cast<int>(entries_.size())).topTwips) - top +
                     TwipsToPixels(kEntryHeightTwips);
    }
    panel_->SetContentHeight(std::max(visible + scrollRangePx_, lastBottom));
}

void ContentWindow::ToggleVisible() {
    if (!Exists()) {
        Load();
    } else if (IsVisible()) {
        Hide();
    } else {
        ShowAgain();
    }
}

void ContentWindow::ShowAgain() {
    if (!Exists()) {
        Load();
        return;
    }
    Rescan();
    FitAndPlace();
    ShowActive();
}

void ContentWindow::ShowActive() {
    if (Handle()) {
        ShowWindow(Handle(), SW_SHOW);
        SetForegroundWindow(Handle());
    }
}

void ContentWindow::KeepAboveDisplay(bool active) {
    if (!Handle()) {
        return;
    }
    if (active) {
        SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SetTimer(Handle(), kKeepAboveTimer, kKeepAboveIntervalMs, nullptr);
    } else {
        KillTimer(Handle(), kKeepAboveTimer);
        SetWindowPos(Handle(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void ContentWindow::OnKeepAboveTimer() {
    // The hover panel and the toolbar are raised to the top of the topmost band whenever they come up;
    // while the operator works here they go back under this window.
    for (HWND above = GetWindow(Handle(), GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
        if (IsWindowVisible(above) && host_.PartOfDisplay(above)) {
            SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            return;
        }
    }
}

bool ContentWindow::PublishSources(const std::vector<SourceRead>& reads, SplitOption option,
                                   const std::vector<std::u16string>& leftOut, bool rebuilt) {
    std::vector<PublishedSource> next;
    std::vector<KeptSource> kept;
    std::vector<FeedRequest> feeds;
    for (const SourceRead& read : reads) {
        if (!IsFeedFileName(read.path)) {
            kept.push_back({read.path, read.bytes});
            next.push_back({read.path, DecodeContentBytes(read.bytes, codePage_)});
            continue;
        }
        WebAddressResult address = ParseInternetShortcut(read.bytes, codePage_);
        if (!address.address) {
            notifier_.Notify(NoticeCause::FeedFailed,
                             FeedFailedNotice(read.path, Utf8ToUtf16(address.error)));
            continue;
        }
        PublishedSource source{read.path, {}, true, FormatWebAddress(*address.address)};
        // The copy the display has: the one it showed before, else the cache's for the same address.
        for (const PublishedSource& before : published_) {
            if (before.feed && before.path == source.path && before.url == source.url) {
                source.body = before.body;
            }
        }
        std::optional<CachedSource> cached = cache_.Find(contentFolder_, read.path);
        bool cachedSame = cached && cached->url == Utf16ToUtf8(source.url);
        if (!source.body && cachedSame) {
            source.body = cache_.Read(contentFolder_, {read.path}).front();
        }
        FeedRequest request{read.path, *address.address};
        if (source.body && cachedSame) {
            request.etag = cached->etag;
            request.lastModified = cached->lastModified;
        }
        feeds.push_back(std::move(request));
        if (cachedSame) {
            kept.push_back({read.path, std::nullopt}); // the feed's copy stays until a fetch brings a new one
        }
        next.push_back(std::move(source));
    }
    published_ = std::move(next);
    publishedOption_ = option;
    // Best effort: without a copy the display still runs, it only cannot go on from it when the folder is
    // away.
    static_cast<void>(cache_.Keep(contentFolder_, kept, WhenText(WallTimeNow())));
    bool anyFeed = !feeds.empty();
    FetchFeeds(std::move(feeds));
    return Compose(option, leftOut, rebuilt) || anyFeed;
}

bool ContentWindow::Compose(SplitOption option, const std::vector<std::u16string>& leftOut, bool rebuilt) {
    std::vector<std::u16string> texts;
    std::vector<std::u16string> paths;
    for (const PublishedSource& source : published_) {
        std::u16string text = source.text;
        if (source.feed) {
            text = source.body ? FeedText(DecodeFeedBody(*source.body, codePage_), option) : u"";
        }
        if (text.empty()) {
            continue;
        }
        texts.push_back(std::move(text));
        paths.push_back(source.path);
    }
    return FeedLines(texts, std::move(paths), option, leftOut, rebuilt);
}

void ContentWindow::FetchFeeds(std::vector<FeedRequest> feeds) {
    if (feeds.empty() && !fetcher_) {
        return;
    }
    if (!fetcher_) {
        fetcher_ =
            std::make_unique<FeedFetcher>([this](FeedResult result) { FeedArrived(std::move(result)); });
    }
    fetcher_->Fetch(std::move(feeds));
}

void ContentWindow::FeedAnswered(const std::u16string& source) {
    // Once every feed answers again, a later failure is news and is told.
    if (failingFeeds_.erase(source) > 0 && failingFeeds_.empty()) {
        notifier_.Cleared(NoticeCause::FeedFailed);
    }
}

void ContentWindow::FeedArrived(FeedResult result) {
    auto source = std::find_if(published_.begin(), published_.end(), [&](const PublishedSource& s) {
        return s.feed && s.path == result.source && s.url == result.url;
    });
    if (source == published_.end()) {
        return; // published no more, or its .url names another address now
    }
    switch (result.outcome) {
    case FeedResult::Outcome::NotModified:
        FeedAnswered(result.source);
        return;
    case FeedResult::Outcome::Failed:
        failingFeeds_.insert(result.source);
        notifier_.Notify(NoticeCause::FeedFailed, FeedFailedNotice(result.source, result.error));
        return;
    case FeedResult::Outcome::Fresh:
        break;
    }
    FeedBody body = DecodeFeedBody(result.body, codePage_);
    if (!body.error.empty()) {
        failingFeeds_.insert(result.source);
        notifier_.Notify(NoticeCause::FeedFailed, FeedFailedNotice(result.source, Utf8ToUtf16(body.error)));
        return;
    }
    FeedAnswered(result.source);
    if (source->body == result.body) {
        return; // answered whole, yet the same: nothing to rebuild
    }
    source->body = result.body;
    CachedSource meta;
    meta.source = result.source;
    meta.savedAt = WhenText(WallTimeNow());
    meta.url = Utf16ToUtf8(result.url);
    meta.etag = result.etag;
    meta.lastModified = result.lastModified;
    static_cast<void>(cache_.Put(meta, result.body));
    // The rotation goes on: its next tick draws from the new lines.
    Compose(publishedOption_, {}, true);
}

std::u16string ContentWindow::RelativePath(const ContentEntry& file) const {
    std::u16string path = file.folder + file.caption;
    if (path.size() > contentFolder_.size() && path.compare(0, contentFolder_.size(), contentFolder_) == 0) {
        return path.substr(contentFolder_.size());
    }
    return file.caption;
}

bool ContentWindow::FeedLines(const std::vector<std::u16string>& texts, std::vector<std::u16string> paths,
                              SplitOption option, const std::vector<std::u16string>& filesLeftOut,
                              bool rebuilt) {
    buffer_ = BuildContentBuffer(texts, option);
    lastRebuild_ = WhenText(WallTimeNow());
    OriginatedMessages messages = BuildMessagesWithOrigins(texts, option, kPublishMaxLines);
    scheduled_.Publish(std::move(paths), std::move(messages.origins));
    bool anyLine = std::any_of(messages.lines.begin(), messages.lines.end(),
                               [](const std::u16string& line) { return !line.empty(); });
    if (rebuilt) {
        feed_.RebuildMessages(std::move(messages.lines));
    } else {
        feed_.ReplaceMessages(std::move(messages.lines));
    }
    if (!filesLeftOut.empty() || messages.leftOut > 0) {
        notifier_.Notify(NoticeCause::PublicationCut, PublicationCutNotice(filesLeftOut, messages.leftOut));
    }
    return anyLine;
}

void ContentWindow::ScheduleRead(std::optional<std::string> bytes) {
    std::optional<Schedule> schedule;
    if (bytes) {
        schedule = ParseScheduleFile(*bytes, codePage_);
        if (std::u16string notice = ScheduleErrorNotice(*schedule); !notice.empty()) {
            notifier_.Notify(NoticeCause::ScheduleUnreadable, std::move(notice));
        }
    }
    scheduled_.SetSchedule(std::move(schedule));
    ShowSchedules();
}

void ContentWindow::ShowSchedules() {
    const std::optional<Schedule>& schedule = scheduled_.CurrentSchedule();
    for (const Entry& entry : entries_) {
        std::u16string described = schedule ? ScheduleCaption(*schedule, RelativePath(entry.file)) : u"";
        ShowCaption(entry.box, entry.file.caption, described);
    }
}

void ContentWindow::FilesRebuilt(unsigned generation, std::vector<std::optional<std::string>> files) {
    if (generation != generation_ || files.size() != watchedPaths_.size()) {
        return; // a publication made since replaced the one these files belong to
    }
    std::vector<SourceRead> reads;
    std::vector<std::u16string> leftOut;
    PublicationBudget budget;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::u16string& full = watchedPaths_[i];
        std::u16string relative =
            full.size() > contentFolder_.size() ? full.substr(contentFolder_.size()) : full;
        if (!files[i] || files[i]->empty()) {
            continue; // removed or emptied: its lines go
        }
        if (!budget.Take(files[i]->size())) {
            leftOut.push_back(relative);
            continue;
        }
        reads.push_back({std::move(relative), std::move(*files[i])});
    }
    // The rotation goes on: its next tick draws from the new lines.
    PublishSources(reads, watchedOption_, leftOut, true);
}

TickGate::Choice ContentWindow::ChooseTick(const std::vector<std::u16string>& lines, double r) {
    std::optional<TickChoice> choice = scheduled_.Tick(lines, WallTimeNow(), r);
    if (!choice) {
        return {};
    }
    switch (choice->action) {
    case TickChoice::Action::Draw:
        return {Action::Draw, choice->index};
    case TickChoice::Action::Clear:
        return {Action::Clear, 0};
    case TickChoice::Action::Nothing:
        break;
    }
    return {Action::Nothing, 0};
}

SplitOption ContentWindow::ChosenSplit() const {
    return SendMessageW(check2_, BM_GETCHECK, 0, 0) == BST_CHECKED ? SplitOption::DoubleBreak
                                                                   : SplitOption::SingleBreak;
}

int ContentWindow::BuildList(SplitOption option, bool& anyLine) {
    std::vector<std::u16string> ticked;   // below the content folder, also those that cannot be read now
    std::vector<std::u16string> captions; // as the list shows them
    for (const Entry& entry : entries_) {
        if (SendMessageW(entry.box, BM_GETCHECK, 0, 0) == BST_CHECKED) {
            ticked.push_back(RelativePath(entry.file));
            captions.push_back(entry.file.caption);
        }
    }
    std::vector<std::u16string> filesLeftOut;
    anyLine = PublishSources(ReadSources(ticked, filesLeftOut, &captions), option, filesLeftOut, false);
    // From now on the publication follows its files as they change.
    Follow(ticked, option);
    return static_cast<int>(ticked.size());
}

void ContentWindow::Follow(const std::vector<std::u16string>& files, SplitOption option) {
    watchedPaths_.clear();
    for (const std::u16string& file : files) {
        watchedPaths_.push_back(contentFolder_ + file);
    }
    watchedOption_ = option;
    if (watcher_) {
        watcher_->Watch(++generation_, watchedPaths_);
    }
}

bool ContentWindow::PublishFromCache(SplitOption option) {
    std::vector<std::u16string> files = std::move(restoreFromCache_);
    restoreFromCache_.clear();
    std::vector<std::optional<std::string>> copies = cache_.Read(contentFolder_, files);
    std::vector<FeedRequest> feeds;
    std::string newest;
    published_.clear();
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::optional<CachedSource> entry = cache_.Find(contentFolder_, files[i]);
        if (!entry || !copies[i] || copies[i]->empty()) {
            continue;
        }
        newest = std::max(newest, entry->savedAt);
        if (!IsFeedFileName(files[i])) {
            published_.push_back({files[i], DecodeContentBytes(*copies[i], codePage_)});
            continue;
        }
        // A feed needs no folder: it is fetched from the address its copy came from.
        PublishedSource source{files[i], {}, true, Utf8ToUtf16(entry->url), std::move(copies[i])};
        if (WebAddressResult address = ParseWebAddress(source.url); address.address) {
            feeds.push_back({files[i], *address.address, entry->etag, entry->lastModified});
        }
        published_.push_back(std::move(source));
    }
    publishedOption_ = option;
    bool anyLine = Compose(option, {}, false);
    FetchFeeds(std::move(feeds));
    lastRebuild_ = newest; // the copy is as old as its last look at the folder
    // When the folder comes back, its files rebuild the publication.
    Follow(files, option);
    FolderReach(false);
    return anyLine;
}

void ContentWindow::RememberPublication(SplitOption option) {
    RememberedPublication remembered =
        plumwick::RememberPublication(ContentFolder(), Files(), Ticks(), option);
    // The option first: a list without its option would come back with the default split.
    win::Result written = win::WriteValue(kPublicationSplitKey, EncodeSplitOption(remembered.option));
    if (written) {
        written = win::WriteValue(kPublicationFilesKey, EncodeFileList(remembered.files));
    }
    if (written) {
        lastMemoryProblem_ = {};
        MarkRestore(kRestoreFinished); // the operator's own publication comes back at the next start
        return;
    }
    // The publication runs all the same; the operator hears once why it will not come back by itself.
    if (written == lastMemoryProblem_) {
        return;
    }
    lastMemoryProblem_ = written;
    std::wstring text = L"无法记住这次发布的内容，重新启动后不会自动显示：\r\n" + written.Text() +
                        L"\r\n\r\nThe publication could not be remembered; it will not come back by itself "
                        L"after a restart.";
    MessageBoxW(Handle(), text.c_str(), L"提醒", MB_OK | MB_ICONWARNING);
}

void ContentWindow::Publish() {
    if (publishing_ || !Handle()) {
        return;
    }
    publishing_ = true;
    pendingRestore_.reset();
    feed_.StopRotation();
    buffer_.clear();

    SplitOption option = ChosenSplit();
    bool anyLine = false;
    int ticked = BuildList(option, anyLine);

    if (ticked == 0) {
        MessageBoxW(Handle(), L"请选择要显示的内容卷", L"提醒", MB_ICONINFORMATION | MB_OK);
        publishing_ = false;
        return;
    }
    std::optional<int> seconds = ParseInterval(win::ToU16(win::WindowText(text2_)));
    if (!seconds) {
        SetWindowTextW(text2_, L"");
        MessageBoxW(Handle(), L"请输入60秒之内的数据", L"提醒'", MB_ICONINFORMATION | MB_OK);
        SetFocus(text2_);
        publishing_ = false;
        return;
    }
    std::u16string stored = Utf8ToUtf16(std::to_string(*seconds));
    // The read-back below copes with a value that was not kept. What the administrator set is not the
    // user's own choice and is not remembered as one.
    if (!administered_.interval) {
        static_cast<void>(win::WriteValue(kIntervalKey, stored));
    }
    if (!administered_.publication) {
        RememberPublication(option);
    }
    // The period is what the store now holds; should it not read back, the value just chosen is meant.
    std::optional<int> readBack = ParseInterval(win::ReadValue(kIntervalKey));
    // The first message goes up before the window hides: hiding can keep this thread for a while (Wine
    // waits up to 2 s for a window manager to withdraw the window), and the message must not wait for it.
    feed_.StartRotation(static_cast<unsigned>(readBack.value_or(*seconds)) * 1000u);
    Hide();
    publishing_ = false;
    win::RunWaitingMessages(); // the events waiting now run before the publish returns
}

void ContentWindow::RestoreRemembered() {
    if (!pendingRestore_ || !Handle() || publishing_) {
        return;
    }
    RestorePlan plan = std::move(*pendingRestore_);
    pendingRestore_.reset();
    // Should this never finish (the process dies in it, or it fails), the next start does not try again.
    MarkRestore(kRestoreUnderway);
    publishing_ = true;
    feed_.StopRotation();
    bool anyLine = false;
    try {
        if (!restoreFromCache_.empty()) {
            anyLine = PublishFromCache(plan.option);
        } else {
            BuildList(plan.option, anyLine);
        }
    } catch (...) {
        publishing_ = false;
        notifier_.Notify(NoticeCause::RestoreSkipped, RestoreSkippedNotice());
        ShowActive();
        return;
    }
    publishing_ = false;
    MarkRestore(kRestoreFinished);
    if (!anyLine) {
        // The files are there but give nothing now (emptied, locked): the operator picks again.
        ShowActive();
        return;
    }
    unsigned intervalMs = static_cast<unsigned>(plan.intervalSeconds) * 1000u;
    // The welcome line stays up for one interval, then the rotation goes on as before the restart. With an
    // interval of 0 no tick would ever come, so the one message it shows comes at once.
    if (intervalMs == 0) {
        feed_.StartRotation(0);
    } else {
        feed_.ResumeRotation(intervalMs);
    }
}

std::vector<ContentWindow::SourceRead> ContentWindow::ReadSources(const std::vector<std::u16string>& files,
                                                                  std::vector<std::u16string>& leftOut,
                                                                  const std::vector<std::u16string>* names) {
    std::vector<SourceRead> reads;
    PublicationBudget budget;
    // A folder that does not answer is not read from the window thread: the files' last good copies stand
    // in for them (a feed's shortcut has none, so a feed waits for the folder).
    const bool there = FolderAnswers(contentFolder_, kFolderAnswerMs);
    if (!there) {
        FolderReach(false);
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::u16string& file = files[i];
        // Missing, locked, not a regular file or far too large: the file gives nothing.
        std::optional<std::string> bytes;
        if (there) {
            bytes = ReadFileBytes(contentFolder_ + file, kContentFileMaxBytes);
        } else if (!IsFeedFileName(file)) {
            bytes = cache_.Read(contentFolder_, {file}).front();
        }
        if (!bytes || bytes->empty()) {
            continue;
        }
        // All files together stay within the publication's budget; one that does not fit is left out.
        if (!budget.Take(bytes->size())) {
            leftOut.push_back(names ? (*names)[i] : file);
            continue;
        }
        reads.push_back({file, std::move(*bytes)});
    }
    return reads;
}

void ContentWindow::ChangeFolder(std::u16string contentFolder) {
    if (contentFolder == contentFolder_) {
        return;
    }
    // The publication's files by their path below the old folder: the same paths are looked for below the
    // new one.
    std::vector<std::u16string> files;
    for (const std::u16string& full : watchedPaths_) {
        bool below = full.size() > contentFolder_.size() &&
                     full.compare(0, contentFolder_.size(), contentFolder_) == 0;
        files.push_back(below ? full.substr(contentFolder_.size()) : full);
    }
    // The old folder's watcher stops and hands over nothing more; it is not waited for here, as a share that
    // hangs must not hold the display.
    bool watching = watcher_ != nullptr;
    // Those of earlier folders that have ended are let go now, so that a program changing folders for months
    // does not keep them all.
    std::erase_if(retiredWatchers_,
                  [](const std::unique_ptr<ContentWatcher>& old) { return old->WaitEnded(0); });
    if (watcher_) {
        watcher_->Stop();
        retiredWatchers_.push_back(std::move(watcher_));
    }
    contentFolder_ = std::move(contentFolder);
    FolderReach(true); // the old folder's absence is no longer news; the new one's is told as it is found
    restoreFromCache_.clear();
    if (watching) {
        StartWatcher();
    }
    if (Exists()) {
        // The list shows the new folder, the publication's files ticked; a folder that does not answer is
        // listed (and ticked) when the window is shown again after it came back.
        ticksToRestore_ = files;
        if (panel_) {
            panel_->ScrollTo(0);
        }
        DestroyEntries();
        lastFocus_ = nullptr;
        if (FolderAnswers(contentFolder_, kFolderAnswerMs)) {
            std::vector<ContentEntry> listed = Scan();
            std::vector<bool> ticks = RestoreTicks(contentFolder_, listed, files);
            if (!listed.empty()) {
                ticksToRestore_.clear();
            }
            CreateEntries(std::move(listed), ticks);
        }
        if (IsVisible()) {
            FitAndPlace();
        }
    }
    if (files.empty()) {
        return;
    }
    // The rotation goes on with the new folder's files: its next tick draws from them.
    std::vector<std::u16string> leftOut;
    PublishSources(ReadSources(files, leftOut), watchedOption_, leftOut, true);
    Follow(files, watchedOption_);
}

void ContentWindow::PublishAdministered() {
    std::optional<RememberedPublication> remembered = ReadRememberedPublication();
    if (!remembered || publishing_) {
        return;
    }
    publishing_ = true;
    pendingRestore_.reset();
    restoreFromCache_.clear();
    // Ticked in the list now, or when the folder is listed again.
    ticksToRestore_ = remembered->files;
    if (Exists()) {
        std::vector<bool> ticks = RestoreTicks(contentFolder_, Files(), remembered->files);
        for (std::size_t i = 0; i < entries_.size() && i < ticks.size(); ++i) {
            SendMessageW(entries_[i].box, BM_SETCHECK, ticks[i] ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        if (!entries_.empty()) {
            ticksToRestore_.clear();
        }
        SendMessageW(check2_, BM_SETCHECK,
                     remembered->option == SplitOption::DoubleBreak ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    feed_.StopRotation();
    std::vector<std::u16string> leftOut;
    bool anyLine =
        PublishSources(ReadSources(remembered->files, leftOut), remembered->option, leftOut, false);
    Follow(remembered->files, remembered->option);
    publishing_ = false;
    if (!anyLine) {
        return; // nothing to show yet: the files are followed and rebuild it when they come
    }
    // Without a valid interval in force the first message stays up, as with an interval of 0.
    std::optional<int> seconds = ParseInterval(win::ReadValue(kIntervalKey));
    feed_.StartRotation(static_cast<unsigned>(seconds.value_or(0)) * 1000u);
}

void ContentWindow::MarkRestore(std::u16string_view mark) {
    // Best effort: the publication runs whether or not the mark is kept.
    static_cast<void>(win::WriteValue(kRestoreMarkKey, std::u16string(mark)));
}

void ContentWindow::DrawBuffer() {
    host_.DrawMainLine(buffer_);
    host_.StartKaraokeTimer();
}

void ContentWindow::OnCommand(int id, int code) {
    if (code != BN_CLICKED) {
        return;
    }
    // IDOK: Enter, passed on by the dialog navigation when no button has the focus.
    if (id == kCommand2Id || id == IDOK) {
        Publish();
    } else if (id == kCommand1Id) {
        DrawBuffer();
    }
}

void ContentWindow::OnSize() {
    LayOutPanel();
}

void ContentWindow::OnDestroy() {
    // The close box unloads the window: the entries go, the next use loads it afresh.
    KillTimer(Handle(), kKeepAboveTimer);
    entries_.clear();
    pendingRestore_.reset();
    label1_ = text2_ = command2_ = check2_ = command1_ = lastFocus_ = nullptr;
}

LRESULT ContentWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_SIZE:
        OnSize();
        return 0;
    case WM_MOUSEWHEEL:
        // The list is the only thing that scrolls, wherever the wheel is turned.
        if (panel_ && panel_->Handle()) {
            panel_->OnWheel(GET_WHEEL_DELTA_WPARAM(wParam));
        }
        return 0;
    case DM_GETDEFID:
        return MAKELRESULT(kCommand2Id, DC_HASDEFID);
    case WM_TIMER:
        if (wParam == kKeepAboveTimer) {
            OnKeepAboveTimer();
        }
        return 0;
    case WM_ACTIVATE:
        KeepAboveDisplay(LOWORD(wParam) != WA_INACTIVE);
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(Handle(), focus)) {
                lastFocus_ = focus;
            }
        } else if (!HIWORD(wParam)) {
            SetFocus(lastFocus_ && IsWindow(lastFocus_) ? lastFocus_ : text2_);
        }
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    default:
        return Default(message, wParam, lParam);
    }
}

} // namespace plumwick
