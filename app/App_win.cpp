#include "app/App_win.h"

#include "about/AboutWindow_win.h"
#include "app/ShopConfig.h"
#include "app/SingleInstance_win.h"
#include "command/CommandWindow_win.h"
#include "command/SettingsStore_win.h"
#include "content/ContentWindow_win.h"
#include "content/FileBytes.h"
#include "display/KaraokeWindow_win.h"
#include "display/MainTextWindow_win.h"
#include "display/SkinPanel_win.h"
#include "hotkey/HotkeyHook_win.h"
#include "notice/NoticeBoard_win.h"
#include "toolbar/ToolbarWindow_win.h"

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
} // namespace

App::App() : programFolder_(FolderOfProgram()) {}

App::~App() = default;

const ShopConfig& App::Shop() {
    if (!shop_) {
        std::wstring path = ProgramPath(L"\\data\\system\\shop.ini");
        std::optional<std::string> bytes = ReadFileBytes(win::ToU16(path), 1 << 20);
        shop_ =
            std::make_unique<ShopConfig>(bytes ? ParseShopConfig(*bytes, codePage_) : DefaultShopConfig());
    }
    return *shop_;
}

int App::Run() {
    instance_ = std::make_unique<win::InstanceWindow>([this] {
        ContentWindow& content = Content();
        if (content.Exists()) {
            content.ShowActive();
        } else {
            content.Load();
        }
    });
    instance_->Create();
    if (!Command().Exists()) {
        return 1;
    }
    MSG msg;
    while (!quitting_ && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        // Tab and the arrow keys move between the content manager's controls, as in any dialog.
        if (content_ && content_->Exists() && IsDialogMessageW(content_->Handle(), &msg)) {
            closedAbouts_.clear();
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        closedAbouts_.clear();
    }
    // The program ends at once: no other window's unload steps run.
    ExitProcess(0);
}

void App::Quit(int exitCode) {
    quitting_ = true;
    PostQuitMessage(exitCode);
}

// Each window is created on first use, and its load runs then; the object is reachable during its own
// load, since load steps ask for other windows that may ask back.
CommandWindow& App::Command() {
    if (!command_) {
        command_ = std::make_unique<CommandWindow>(*this);
        command_->Load();
    }
    return *command_;
}

MainTextWindow& App::Main() {
    if (!main_) {
        main_ = std::make_unique<MainTextWindow>(*this);
        main_->Load();
    }
    return *main_;
}

KaraokeWindow& App::Karaoke() {
    if (!karaoke_) {
        karaoke_ = std::make_unique<KaraokeWindow>(*this);
        karaoke_->Load();
    }
    return *karaoke_;
}

SkinPanel& App::Panel() {
    if (!panel_) {
        panel_ = std::make_unique<SkinPanel>(*this);
        panel_->Load();
    }
    return *panel_;
}

ToolbarWindow& App::Toolbar() {
    if (!toolbar_) {
        toolbar_ = std::make_unique<ToolbarWindow>(*this);
        toolbar_->Load();
    }
    return *toolbar_;
}

ContentWindow& App::Content() {
    if (!content_) {
        content_ = std::make_unique<ContentWindow>(*this);
        content_->Load();
    }
    return *content_;
}

HotkeyHook& App::Hotkey() {
    if (!hotkey_) {
        hotkey_ = std::make_unique<HotkeyHook>(*this);
    }
    return *hotkey_;
}

SettingsStore& App::Settings() {
    if (!settings_) {
        settings_ = std::make_unique<SettingsStore>(*this, Notices());
    }
    return *settings_;
}

Notifier& App::Notices() {
    if (!notices_) {
        notices_ = std::make_unique<NoticeBoard>();
    }
    return *notices_;
}

void App::ShowAbout() {
    if (about_ && about_->Exists()) {
        about_->Show();
        return;
    }
    about_ = std::make_unique<AboutWindow>(*this);
    about_->Load();
}

void App::AboutClosed(AboutWindow* closed) {
    // Called from the about window's own procedure: free it once that procedure has returned.
    if (about_ && about_.get() == closed) {
        closedAbouts_.push_back(std::move(about_));
    }
}

DisplayWindows App::ReadDisplayWindows() {
    auto rect = [](const win::Window& w) {
        return TwipsRect{w.LeftTwips(), w.TopTwips(), w.WidthTwips(), w.HeightTwips()};
    };
    DisplayWindows windows;
    windows.show = rect(Main());
    windows.krc = rect(Karaoke());
    windows.back = rect(Panel());
    windows.set = rect(Toolbar());
    windows.screenWidthTwips = win::ScreenWidthTwips();
    return windows;
}

void App::ApplyDisplayWindows(const DisplayWindows& windows) {
    auto place = [](win::Window& w, const TwipsRect& r) {
        if (w.LeftTwips() != r.left || w.TopTwips() != r.top) {
            w.MoveTwips(r.left, r.top);
        }
    };
    // The order of the drags: the dragged window first, its companions after.
    place(Main(), windows.show);
    place(Karaoke(), windows.krc);
    place(Panel(), windows.back);
    place(Toolbar(), windows.set);
}

std::int16_t App::TaskbarHeightTwips() const {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen) {
        ReleaseDC(nullptr, screen);
    }
    int twipsPerPixel = dpi > 0 ? 1440 / dpi : 15;
    return plumwick::TaskbarHeightTwips(GetSystemMetrics(SM_CYSCREEN) * twipsPerPixel, twipsPerPixel,
                                        work.bottom);
}

void App::CriticalMessage(const wchar_t* text, const wchar_t* title) {
    MessageBoxW(nullptr, text, title, MB_OK | MB_ICONHAND | MB_SYSTEMMODAL);
}

} // namespace plumwick
