#include "command/CommandWindow_win.h"

#include "notice/EventLog.h"
#include "win32/Strings_win.h"

namespace plumwick {

namespace {
constexpr wchar_t kBoxClass[] = L"ThunderRT6TextBox";
constexpr int kButton1Id = 101;
constexpr int kButton2Id = 102;
constexpr int kBoxId = 100;
constexpr char16_t kSampleSong[] = u"DKCSample Artist - Sample Song||1||8940";

WNDPROC g_editProc = nullptr; // the system EDIT procedure our box class is built on

// Where a sender's verb would be: at most the first three units, never read past the text's end.
std::u16string_view VerbPart(const char16_t* text) {
    std::size_t length = 0;
    while (text && length < 3 && text[length] != u'\0') {
        ++length;
    }
    return {text, length};
}

// The box is an EDIT control under the class name senders look for. Its text is also stored through
// DefWindowProc, which is what FindWindowEx in another process compares with.
} // namespace

CommandWindow::CommandWindow(CommandTarget& target, std::function<void()> closed)
    : target_(target), closed_(std::move(closed)) {}

CommandWindow::~CommandWindow() = default;

bool CommandWindow::Create() {
    // The superclass of EDIT carrying the box.
    WNDCLASSEXW existing{sizeof existing};
    if (!GetClassInfoExW(win::ModuleInstance(), kBoxClass, &existing)) {
        WNDCLASSEXW edit{sizeof edit};
        if (!GetClassInfoExW(nullptr, L"EDIT", &edit)) {
            return false;
        }
        g_editProc = edit.lpfnWndProc;
        edit.cbSize = sizeof edit;
        edit.hInstance = win::ModuleInstance();
        edit.lpszClassName = kBoxClass;
        edit.lpfnWndProc = &CommandWindow::BoxProc;
        if (!RegisterClassExW(&edit)) {
            return false;
        }
    }

    // 320 x 240 pixels, no frame, not in the taskbar; shown only by hand for testing.
    win::WindowClass cls{L"PlumwickCommandWindow"};
    cls.background = GetSysColorBrush(COLOR_BTNFACE);
    if (!win::Window::Create(cls, WS_EX_TOOLWINDOW, WS_POPUP | WS_CLIPCHILDREN, L"FrmKrcMessage", 100, 100,
                             320, 240, nullptr)) {
        return false;
    }
    uiFont_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HINSTANCE instance = win::ModuleInstance();
    // The box starts empty: senders find it (holding "KrcMessage") once the start-up command has been
    // handled, so nothing they send can overtake the settings and the welcome line.
    box_ = CreateWindowExW(WS_EX_CLIENTEDGE, kBoxClass, L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 16, 16,
                           288, 24, Handle(), reinterpret_cast<HMENU>(kBoxId), instance, nullptr);
    if (box_) {
        SetWindowLongPtrW(box_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SendMessageW(box_, WM_SETFONT, reinterpret_cast<WPARAM>(uiFont_), FALSE);
    }
    HWND button1 = CreateWindowExW(0, L"BUTTON", L"Command1", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 16, 56,
                                   136, 30, Handle(), reinterpret_cast<HMENU>(kButton1Id), instance, nullptr);
    HWND button2 = CreateWindowExW(0, L"BUTTON", L"Command2", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 168, 56,
                                   136, 30, Handle(), reinterpret_cast<HMENU>(kButton2Id), instance, nullptr);
    label_ = CreateWindowExW(0, L"STATIC", L"这个是接收消息的窗口,不隐藏为了方便测试", WS_CHILD | WS_VISIBLE,
                             16, 104, 288, 40, Handle(), nullptr, instance, nullptr);
    for (HWND child : {button1, button2, label_}) {
        if (child) {
            SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(uiFont_), FALSE);
        }
    }
    return true;
}

void CommandWindow::SetBoxText(const std::u16string& text) {
    if (box_) {
        SendMessageW(box_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
}

LRESULT CALLBACK CommandWindow::BoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto self = reinterpret_cast<CommandWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if ((message == WM_NCDESTROY || message == WM_DESTROY) && (InSendMessageEx(nullptr) & ISMEX_SEND)) {
        return 0; // another process's: the box lives on
    }
    if (message == WM_SETTEXT && self) {
        // The sender's whole text is the command, read from the sender's own buffer. It never reaches the
        // control: laying out arbitrary scripts is the control's business, and a control that faults on
        // one (Wine's EDIT does on some, and then unwinds past this procedure) must cost neither this
        // command nor the next. The answer tells the sender whether the command was taken.
        return win::Guarded([&] { return self->OnSetText(reinterpret_cast<const char16_t*>(lParam)); });
    }
    return win::Guarded([&] { return CallWindowProcW(g_editProc, hwnd, message, wParam, lParam); });
}

LRESULT CommandWindow::OnSetText(const char16_t* sent) {
    // A command arriving while another runs (a step that let waiting messages in) waits its turn in no
    // queue: it is refused, and the sender knows it was not shown. So is a text too long to be a command;
    // the box stays idle for the next one.
    if (running_) {
        LogEvent("refused", RefusalLogText(u"box", VerbPart(sent), "the display is running another command"));
        return FALSE;
    }
    std::optional<std::u16string_view> command = BoundedCommand(sent);
    if (!command) {
        LogEvent("refused",
                 RefusalLogText(u"box", VerbPart(sent),
                                "longer than " + std::to_string(kMaxCommandUnits) + " characters"));
        return FALSE;
    }
    OnBoxChanged(std::u16string(*command));
    return TRUE;
}

void CommandWindow::OnBoxChanged(const std::u16string& text) {
    // A fault inside an earlier change may have unwound past this function without running the rest of
    // it, so nothing an earlier change raised is trusted: every change starts from a clean state.
    handling_ = 0;
    if (closing_) {
        return;
    }
    if (text != kIdleText) {
        handling_ = 1;
        Verb verb = Verb::None;
        {
            Running running(running_);
            verb = RunCommand(text, target_);
        }
        if (verb == Verb::None) {
            LogEvent("refused",
                     RefusalLogText(u"box", u"", "no command (the first three characters are no verb)"));
        }
        handling_ = 0;
        if (verb == Verb::END || closing_) {
            return;
        }
    }
    // The reset. The idle text is the only text the control is ever given; the window text beside it is
    // what FindWindowEx in a sender compares with. The control's own change notification is ignored.
    const std::u16string idle(kIdleText);
    handling_ = 1;
    CallWindowProcW(g_editProc, box_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(idle.c_str()));
    DefWindowProcW(box_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(idle.c_str()));
    handling_ = 0;
}

LRESULT CommandWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        int code = HIWORD(wParam);
        if (id == kBoxId && code == EN_CHANGE && handling_ == 0) {
            // Typed into by hand: the first keystroke already makes a text that is no command.
            OnBoxChanged(win::ToU16(win::WindowText(box_)));
            return 0;
        }
        if (id == kButton1Id && code == BN_CLICKED) {
            SetBoxText(u"CKT");
            return 0;
        }
        if (id == kButton2Id && code == BN_CLICKED) {
            SetBoxText(kSampleSong);
            return 0;
        }
        break;
    }
    case WM_CTLCOLORSTATIC: {
        // Only a label of this window drawing on its own DC: another process can send any handles here.
        HWND control = reinterpret_cast<HWND>(lParam);
        HDC dc = reinterpret_cast<HDC>(wParam);
        if (!IsChild(Handle(), control) || WindowFromDC(dc) != control) {
            return 0;
        }
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_CLOSE:
        Close();
        return 0;
    case WM_ENDSESSION:
        if (wParam) {
            Close();
        }
        return 0;
    default:
        break;
    }
    return Default(message, wParam, lParam);
}

void CommandWindow::Close() {
    if (closing_) {
        return;
    }
    closing_ = true;
    if (closed_) {
        closed_();
    }
}

} // namespace plumwick
