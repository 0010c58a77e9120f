// clang-format off
// plumwick-probe: looks at and pokes the running display from another process, for the end-to-end tests.
// Prints UTF-8, one record per line. Windows are named by class or caption:
//   list                         every visible or hidden top-level window of the display's classes
//                                "hwnd class|caption|visible|x y w h|exstyle|topmost|owner"
//   box                          the command box: "hwnd|text" (text through WM_GETTEXT)
//   find-box                     "yes" when FindWindowEx finds the idle box, else "no"
//   exstyle CLASS                the extended style of the first window of CLASS, hex
//   rect CLASS                   "x y w h"
//   visible CLASS                "1" or "0"
//   alpha CLASS                  the constant alpha of a layered window ("none" when it has no attributes)
//   post CLASS MSG WPARAM LPARAM PostMessage to the first window of CLASS (numbers decimal or 0x hex)
//   send CLASS MSG WPARAM LPARAM SendMessage, prints the result
//   children CLASS               "hwnd class|text|x y w h|visible|checked" for every child (screen coords)
//   click-child CLASS TEXT       BM_CLICK on the child button of CLASS whose text is TEXT
//   check-child CLASS TEXT       ticks the child check box whose text is TEXT (as a click would)
//   set-child-text CLASS INDEX TEXT  WM_SETTEXT to the INDEX-th child edit control of CLASS
//   dialogs                      message boxes: "hwnd caption|static texts joined by ' / '"
//   press DIALOGCAPTION BUTTON   presses a button of the message box with that caption
//   mouse X Y [down|up|move|click|dblclick|rdown|rup]  a real input event at screen X Y
//   clipboard                    the clipboard's text
//   regget                       the stored interval under
//                                HKCU\Software\VB and VBA Program Settings\plumwick\InfoDir
//   regset VALUE                 stores the interval there
//   regdel                       removes it
//   memget SECTION VALUE         a value of the per-user memory beside it ("<none>" when missing)
//   memset SECTION VALUE TEXT    stores one
//   forget                       removes the remembered publication and place (a fresh user's state)
//   screen                       "w h" and the work area "l t r b"
//   dpi [CLASS]                  "dpi awareness" of the first window of CLASS, or the system DPI and
//                                the probe's own awareness
//   fontsub NAME                 the font Wine's font replacements put in place of NAME ("<none>")
//   manifest FILE                the manifest embedded in the program FILE ("<none>")
//   foreground                   the class of the foreground window ("none" when there is none)
//   pipe-raw FILE                the file's bytes, unchanged, as one message into this session's command
//                                pipe: "reply|<line>", or the outcome ("not running", "no answer", ...)
//   pipe-silent SECONDS          connects to the command pipe and sends nothing: "dropped" when the
//                                display hangs up within SECONDS, else "still connected"
//   hold-hotkey MODS KEY SECONDS owns that hotkey for some seconds, as another program on the PC would
//   set-box HEAD UNIT COUNT TAIL WM_SETTEXT of HEAD, COUNT copies of UNIT and TAIL into the idle box: the
//                                box's answer ("TRUE", "FALSE", "no answer") and whether it is idle again
//                                afterwards ("|idle", "|not idle"); "no idle box" when none turned up
//   set-box-ansi HEAD UNIT COUNT TAIL  the same in the ANSI code page (ASCII text: one byte a character)
//   type-box TEXT                posts the characters of TEXT to the command box as keystrokes (WM_CHAR)
//   write-held PATH SECONDS FIRST REST  writes FIRST to PATH opened without sharing, prints "held", waits,
//                                writes REST and closes it (a writer caught half way)
//   send-each FILE               the commands of FILE (UTF-16 LE, each ended by a NUL code unit) one after
//                                the other into the idle box, every fifth in the ANSI code page; after each
//                                the box must be idle again (found by FindWindowEx, "KrcMessage" through
//                                WM_GETTEXT) and after LOK and ULK the main window's click-through must
//                                follow. Prints the first failures, then "sent N, failed M".
// clang-format on
#include "tools/PipeClient_win.h"
#include "win32/Dpi_win.h"
#include "win32/Handles_win.h"
#include "win32/Windows_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string Utf8(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                     nullptr, nullptr);
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), length, nullptr,
                        nullptr);
    return out;
}

std::wstring TextOf(HWND hwnd) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) {
        return L"<no answer>";
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                        5000, &copied);
    text.resize(copied);
    return text;
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[256] = {};
    GetClassNameW(hwnd, name, 256);
    return name;
}

std::wstring CaptionOf(HWND hwnd) {
    wchar_t text[512] = {};
    InternalGetWindowText(hwnd, text, 512);
    return text;
}

struct Collected {
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectTop(HWND hwnd, LPARAM lParam) {
    reinterpret_cast<Collected*>(lParam)->windows.push_back(hwnd);
    return TRUE;
}

bool IsDisplayWindow(HWND hwnd) {
    std::wstring cls = ClassOf(hwnd);
    return cls.starts_with(L"Plumwick");
}

// CLASS may be a window class or a caption.
HWND FindNamed(const std::wstring& name) {
    HWND hwnd = FindWindowW(name.c_str(), nullptr);
    if (!hwnd) {
        hwnd = FindWindowW(nullptr, name.c_str());
    }
    if (!hwnd) {
        hwnd = FindWindowExW(HWND_MESSAGE, nullptr, name.c_str(), nullptr);
    }
    return hwnd;
}

UINT_PTR Number(const wchar_t* text) {
    return static_cast<UINT_PTR>(wcstoull(text, nullptr, 0));
}

void Print(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

std::string Hex(LONG_PTR value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "0x%llx", static_cast<unsigned long long>(value));
    return buffer;
}

std::string RectText(HWND hwnd) {
    RECT rc{};
    GetWindowRect(hwnd, &rc);
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%ld %ld %ld %ld", rc.left, rc.top, rc.right - rc.left,
                  rc.bottom - rc.top);
    return buffer;
}

std::vector<HWND> Children(HWND parent) {
    Collected c;
    EnumChildWindows(parent, CollectTop, reinterpret_cast<LPARAM>(&c));
    return c.windows;
}

HWND ChildWithText(HWND parent, const std::wstring& text) {
    for (HWND child : Children(parent)) {
        if (TextOf(child) == text) {
            return child;
        }
    }
    return nullptr;
}

void Mouse(int x, int y, const std::wstring& action) {
    SetCursorPos(x, y);
    auto send = [](DWORD flags) {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = flags;
        SendInput(1, &input, sizeof input);
        Sleep(30);
    };
    if (action == L"move") {
        INPUT input{};
        input.type = INPUT_MOUSE;
        int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
        input.mi.dx = static_cast<LONG>((x * 65535LL) / (cx - 1));
        input.mi.dy = static_cast<LONG>((y * 65535LL) / (cy - 1));
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &input, sizeof input);
    } else if (action == L"down") {
        send(MOUSEEVENTF_LEFTDOWN);
    } else if (action == L"up") {
        send(MOUSEEVENTF_LEFTUP);
    } else if (action == L"rdown") {
        send(MOUSEEVENTF_RIGHTDOWN);
    } else if (action == L"rup") {
        send(MOUSEEVENTF_RIGHTUP);
    } else if (action == L"click") {
        send(MOUSEEVENTF_LEFTDOWN);
        send(MOUSEEVENTF_LEFTUP);
    } else if (action == L"dblclick") {
        send(MOUSEEVENTF_LEFTDOWN);
        send(MOUSEEVENTF_LEFTUP);
        send(MOUSEEVENTF_LEFTDOWN);
        send(MOUSEEVENTF_LEFTUP);
    }
}

HWND FindBox(const wchar_t* text) {
    HWND window = FindWindowW(nullptr, L"FrmKrcMessage");
    return window ? FindWindowExW(window, nullptr, L"ThunderRT6TextBox", text) : nullptr;
}

// What is wrong after one command, or nothing.
std::string CheckAfter(const std::wstring& command) {
    HWND box = FindBox(nullptr);
    if (!box) {
        return "the box is gone";
    }
    if (!FindBox(L"KrcMessage")) {
        return "FindWindowEx finds no idle box";
    }
    std::wstring text = TextOf(box);
    if (text != L"KrcMessage") {
        return "the box reads \"" + Utf8(text.substr(0, 40)) + "\"";
    }
    bool lock = command.rfind(L"LOK", 0) == 0;
    if (lock || command.rfind(L"ULK", 0) == 0) {
        HWND main = FindWindowW(L"PlumwickMainText", nullptr);
        bool clickThrough = main && (GetWindowLongPtrW(main, GWL_EXSTYLE) & WS_EX_TRANSPARENT) != 0;
        if (clickThrough != lock) {
            return lock ? "LOK was not carried out" : "ULK was not carried out";
        }
    }
    return {};
}

// The file's NUL-separated UTF-16 commands; false when it cannot be read.
bool ReadCommands(const std::wstring& path, std::vector<std::wstring>& commands) {
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file) {
        return false;
    }
    std::wstring all;
    wchar_t unit;
    while (std::fread(&unit, sizeof unit, 1, file) == 1) {
        all.push_back(unit);
    }
    std::fclose(file);
    for (std::size_t start = 0; start < all.size();) {
        std::size_t end = std::min(all.find(L'\0', start), all.size());
        commands.push_back(all.substr(start, end - start));
        start = end + 1;
    }
    return true;
}

// Writes one command into the idle box, every fifth as ANSI bytes (as older senders do); what went
// wrong, or nothing. `box` is left null when no idle box turned up within 10 s.
std::string SendOne(const std::wstring& command, int index, HWND& box) {
    box = FindBox(L"KrcMessage");
    for (int waited = 0; !box && waited < 10000; waited += 5) {
        Sleep(5);
        box = FindBox(L"KrcMessage");
    }
    if (!box) {
        return "no idle box to send it to";
    }
    DWORD_PTR result = 0;
    if (index % 5 == 0) {
        int length = WideCharToMultiByte(CP_ACP, 0, command.c_str(), -1, nullptr, 0, nullptr, nullptr);
        std::string bytes(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
        WideCharToMultiByte(CP_ACP, 0, command.c_str(), -1, bytes.data(), length, nullptr, nullptr);
        if (!SendMessageTimeoutA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(bytes.c_str()), SMTO_NORMAL,
                                 20000, &result)) {
            return "no answer";
        }
    } else if (!SendMessageTimeoutW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(command.c_str()),
                                    SMTO_NORMAL, 20000, &result)) {
        return "no answer";
    }
    return {};
}

int SendEach(const std::wstring& path) {
    std::vector<std::wstring> commands;
    if (!ReadCommands(path, commands)) {
        Print("cannot read the command file");
        return 1;
    }
    int sent = 0, failed = 0, unreachable = 0;
    for (std::size_t i = 0; i < commands.size(); ++i) {
        int index = static_cast<int>(i) + 1;
        HWND box = nullptr;
        std::string failure = SendOne(commands[i], index, box);
        if (failure.empty()) {
            ++sent;
            failure = CheckAfter(commands[i]);
        }
        if (!failure.empty() && ++failed <= 20) {
            Print("command " + std::to_string(index) + " (" + Utf8(commands[i].substr(0, 24)) +
                  "): " + failure);
        }
        // A display that no longer takes commands is not waited for command after command.
        unreachable = box ? 0 : unreachable + 1;
        if (unreachable == 3) {
            Print("giving up after command " + std::to_string(index));
            failed += static_cast<int>(commands.size() - i - 1);
            break;
        }
    }
    Print("sent " + std::to_string(sent) + ", failed " + std::to_string(failed));
    return failed == 0 ? 0 : 1;
}

constexpr wchar_t kIntervalKey[] = L"Software\\VB and VBA Program Settings\\plumwick\\InfoDir";

// The arguments of one probe command: argv[1] is the command, arg(i) the i-th word (empty past the end).
struct Args {
    int argc;
    wchar_t** argv;
    std::wstring command;
    std::wstring arg(int i) const { return i < argc ? argv[i] : L""; }
};

int CmdList(const Args& a) {
    Collected c;
    EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&c));
    for (HWND hwnd : c.windows) {
        if (!IsDisplayWindow(hwnd)) {
            continue;
        }
        LONG_PTR ex = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
        HWND owner = GetWindow(hwnd, GW_OWNER);
        Print(Hex(reinterpret_cast<LONG_PTR>(hwnd)) + " " + Utf8(ClassOf(hwnd)) + "|" +
              Utf8(CaptionOf(hwnd)) + "|" + (IsWindowVisible(hwnd) ? "1" : "0") + "|" + RectText(hwnd) + "|" +
              Hex(ex) + "|" + ((ex & WS_EX_TOPMOST) ? "1" : "0") + "|" + (owner ? Utf8(ClassOf(owner)) : ""));
    }
    return 0;
}

int CmdPipeRaw(const Args& a) {
    std::ifstream in(a.arg(2).c_str(), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    plumwick::PipeResult result = plumwick::SendThroughPipe(plumwick::CurrentSessionId(), bytes, 5000, 30000);
    switch (result.outcome) {
    case plumwick::PipeOutcome::Answered:
        Print("reply|" + result.reply);
        break;
    case plumwick::PipeOutcome::Ended:
        Print("ended");
        break;
    case plumwick::PipeOutcome::NotRunning:
        Print("not running");
        break;
    case plumwick::PipeOutcome::Busy:
        Print("busy");
        break;
    case plumwick::PipeOutcome::NoAnswer:
        Print("no answer");
        break;
    case plumwick::PipeOutcome::Failed:
        Print("failed|" + Utf8(result.failure.Text()));
        break;
    }
    return 0;
}

int CmdPipeSilent(const Args& a) {
    plumwick::PipeResult result;
    bool dropped = plumwick::DroppedWhileSilent(plumwick::CurrentSessionId(),
                                                static_cast<DWORD>(_wtof(a.arg(2).c_str()) * 1000), result);
    Print(result.outcome != plumwick::PipeOutcome::Answered ? "not connected"
                                                            : (dropped ? "dropped" : "still connected"));
    return 0;
}

// decoy-pipe SESSION SECONDS: holds "\\.\pipe\plumwick.SESSION" as a decoy would, for up to SECONDS,
// answers "OK" to whatever one client sends and prints how many bytes it was sent ("ready" first, once the
// name is held).
int CmdDecoyPipe(const Args& a) {
    const std::wstring name = L"\\\\.\\pipe\\plumwick." + a.arg(2);
    const DWORD waitMs = static_cast<DWORD>(_wtof(a.arg(3).c_str()) * 1000);
    HANDLE pipe =
        CreateNamedPipeW(name.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                         PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr);
    if (pipe == INVALID_HANDLE_VALUE) {
        Print("cannot hold the name");
        return 1;
    }
    Print("ready");
    std::fflush(stdout);
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    OVERLAPPED overlapped{};
    overlapped.hEvent = event;
    DWORD got = 0;
    BOOL connected = ConnectNamedPipe(pipe, &overlapped);
    if (connected || GetLastError() == ERROR_PIPE_CONNECTED ||
        (GetLastError() == ERROR_IO_PENDING && WaitForSingleObject(event, waitMs) == WAIT_OBJECT_0)) {
        char buffer[4096];
        overlapped = OVERLAPPED{};
        overlapped.hEvent = event;
        ResetEvent(event);
        BOOL read = ReadFile(pipe, buffer, sizeof buffer, nullptr, &overlapped);
        if ((read || GetLastError() == ERROR_IO_PENDING || GetLastError() == ERROR_MORE_DATA) &&
            WaitForSingleObject(event, 3000) == WAIT_OBJECT_0) {
            GetOverlappedResult(pipe, &overlapped, &got, FALSE);
            overlapped = OVERLAPPED{};
            overlapped.hEvent = event;
            ResetEvent(event);
            if (WriteFile(pipe, "OK\r\n", 4, nullptr, &overlapped) || GetLastError() == ERROR_IO_PENDING) {
                WaitForSingleObject(event, 3000); // the forged success a decoy would give
            }
        } else {
            CancelIoEx(pipe, &overlapped);
        }
    }
    Print("got " + std::to_string(got) + " bytes");
    plumwick::win::UniqueKernelHandle(event).reset();
    plumwick::win::UniqueFile(pipe).reset();
    return 0;
}

int CmdBox(const Args& a) {
    HWND window = FindWindowW(nullptr, L"FrmKrcMessage");
    if (!window) {
        Print("no window");
        return 1;
    }
    if (a.command == L"find-box") {
        Print(FindWindowExW(window, nullptr, L"ThunderRT6TextBox", L"KrcMessage") ? "yes" : "no");
        return 0;
    }
    HWND box = FindWindowExW(window, nullptr, L"ThunderRT6TextBox", nullptr);
    if (!box) {
        Print("no box");
        return 1;
    }
    Print(Hex(reinterpret_cast<LONG_PTR>(box)) + "|" + Utf8(TextOf(box)));
    return 0;
}

int CmdSetBox(const Args& a) {
    HWND box = nullptr;
    for (int waited = 0; !box && waited < 10000; waited += 20) {
        box = FindBox(L"KrcMessage");
        if (!box) {
            Sleep(20);
        }
    }
    if (!box) {
        Print("no idle box");
        return 1;
    }
    std::wstring unit = a.arg(3);
    std::size_t count = static_cast<std::size_t>(_wtoi64(a.arg(4).c_str()));
    std::wstring text = a.arg(2);
    text.reserve(text.size() + unit.size() * count + a.arg(5).size());
    for (std::size_t i = 0; i < count; ++i) {
        text += unit;
    }
    text += a.arg(5);
    DWORD_PTR result = 0;
    std::string answer = "no answer";
    bool answered = false;
    if (a.command == L"set-box-ansi") {
        std::string bytes(text.size(), '\0');
        std::transform(text.begin(), text.end(), bytes.begin(),
                       [](wchar_t c) { return static_cast<char>(c); });
        answered = SendMessageTimeoutA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(bytes.c_str()),
                                       SMTO_NORMAL, 60000, &result);
    } else {
        answered = SendMessageTimeoutW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                                       SMTO_NORMAL, 60000, &result);
    }
    if (answered) {
        answer = result ? "TRUE" : "FALSE";
    }
    Print(answer + (FindBox(L"KrcMessage") ? "|idle" : "|not idle"));
    return 0;
}

int CmdForeground(const Args& a) {
    HWND foreground = GetForegroundWindow();
    Print(foreground ? Utf8(ClassOf(foreground)) : "none");
    return 0;
}

int CmdScreen(const Args& a) {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "%d %d %ld %ld %ld %ld", GetSystemMetrics(SM_CXSCREEN),
                  GetSystemMetrics(SM_CYSCREEN), work.left, work.top, work.right, work.bottom);
    Print(buffer);
    return 0;
}

// One line a monitor, primary first: device name, its rectangle, its work area (left top right bottom)
// and "primary" where it is.
int CmdMonitors(const Args& a) {
    std::vector<std::string> lines;
    auto each = [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
        MONITORINFOEXW info{};
        info.cbSize = sizeof info;
        if (GetMonitorInfoW(monitor, &info)) {
            char buffer[160];
            std::snprintf(buffer, sizeof buffer, " %ld %ld %ld %ld %ld %ld %ld %ld", info.rcMonitor.left,
                          info.rcMonitor.top, info.rcMonitor.right, info.rcMonitor.bottom, info.rcWork.left,
                          info.rcWork.top, info.rcWork.right, info.rcWork.bottom);
            bool primary = info.dwFlags & MONITORINFOF_PRIMARY;
            auto* lines = reinterpret_cast<std::vector<std::string>*>(data);
            std::string line = Utf8(info.szDevice) + buffer + (primary ? " primary" : "");
            lines->insert(primary ? lines->begin() : lines->end(), line);
        }
        return TRUE;
    };
    EnumDisplayMonitors(nullptr, nullptr, each, reinterpret_cast<LPARAM>(&lines));
    for (const std::string& line : lines) {
        Print(line);
    }
    return 0;
}

int CmdDpi(const Args& a) {
    HWND window = a.arg(2).empty() ? nullptr : FindNamed(a.arg(2));
    if (!a.arg(2).empty() && !window) {
        Print("no window");
        return 1;
    }
    unsigned dpi = window ? plumwick::win::DpiForWindow(window) : plumwick::win::SystemDpi();
    Print(std::to_string(dpi) + " " + plumwick::win::DpiAwareness(window));
    return 0;
}

int CmdFontsub(const Args& a) {
    wchar_t value[256] = {};
    DWORD size = sizeof value - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Wine\\Fonts\\Replacements", a.arg(2).c_str(),
                     RRF_RT_REG_SZ, nullptr, value, &size) == ERROR_SUCCESS) {
        Print(Utf8(value));
    } else {
        Print("<none>");
    }
    return 0;
}

int CmdManifest(const Args& a) {
    HMODULE module = LoadLibraryExW(a.arg(2).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = module ? FindResourceW(module, CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST) : nullptr;
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const char* text = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    Print(text ? std::string(text, SizeofResource(module, found)) : "<none>");
    if (module) {
        FreeLibrary(module);
    }
    return 0;
}

int CmdClipboard(const Args& a) {
    std::wstring text;
    if (OpenClipboard(nullptr)) {
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            if (auto p = static_cast<const wchar_t*>(GlobalLock(data))) {
                text = p;
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
    }
    Print(Utf8(text));
    return 0;
}

int CmdMemget(const Args& a) {
    const std::wstring base = L"Software\\VB and VBA Program Settings\\plumwick\\";
    if (a.command == L"forget") {
        RegDeleteKeyW(HKEY_CURRENT_USER, (base + L"LastPublication").c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, (base + L"DisplayPlace").c_str());
        return 0;
    }
    plumwick::win::UniqueKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, (base + a.arg(2)).c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE,
                        nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
        Print("<no key>");
        return 1;
    }
    std::wstring name = a.arg(3);
    if (a.command == L"memset") {
        std::wstring value = a.arg(4);
        RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    } else {
        std::wstring value(4096, L'\0');
        DWORD size = static_cast<DWORD>((value.size() - 1) * sizeof(wchar_t));
        DWORD type = 0;
        if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value.data()),
                             &size) == ERROR_SUCCESS) {
            Print(Utf8(value.c_str()));
        } else {
            Print("<none>");
        }
    }
    return 0;
}

int CmdRegget(const Args& a) {
    plumwick::win::UniqueKey key;
    if (a.command == L"regdel") {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kIntervalKey, L"time1");
        return 0;
    }
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kIntervalKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                        key.put(), nullptr) != ERROR_SUCCESS) {
        Print("<no key>");
        return 1;
    }
    if (a.command == L"regset") {
        std::wstring value = a.arg(2);
        RegSetValueExW(key.get(), L"time1", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    } else {
        wchar_t value[256] = {};
        DWORD size = sizeof value - sizeof(wchar_t);
        DWORD type = 0;
        if (RegQueryValueExW(key.get(), L"time1", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
            ERROR_SUCCESS) {
            Print(Utf8(value));
        } else {
            Print("<none>");
        }
    }
    return 0;
}

int CmdDialogs(const Args& a) {
    Collected c;
    EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&c));
    for (HWND hwnd : c.windows) {
        if (ClassOf(hwnd) != L"#32770" || !IsWindowVisible(hwnd)) {
            continue;
        }
        std::wstring texts;
        for (HWND child : Children(hwnd)) {
            if (ClassOf(child) == L"Static") {
                std::wstring t = TextOf(child);
                if (!t.empty()) {
                    texts += (texts.empty() ? L"" : L" / ") + t;
                }
            }
        }
        Print(Hex(reinterpret_cast<LONG_PTR>(hwnd)) + " " + Utf8(CaptionOf(hwnd)) + "|" + Utf8(texts));
    }
    return 0;
}

int CmdPress(const Args& a) {
    Collected c;
    EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&c));
    for (HWND hwnd : c.windows) {
        if (ClassOf(hwnd) == L"#32770" && CaptionOf(hwnd) == a.arg(2)) {
            if (HWND button = ChildWithText(hwnd, a.arg(3))) {
                PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                             reinterpret_cast<LPARAM>(button));
                Print("pressed");
                return 0;
            }
        }
    }
    Print("not found");
    return 1;
}

int CmdTypeBox(const Args& a) {
    HWND box = FindBox(nullptr);
    if (!box) {
        Print("no box");
        return 1;
    }
    for (wchar_t c : a.arg(2)) {
        PostMessageW(box, WM_CHAR, c, 1);
    }
    Print("typed");
    return 0;
}

int CmdSendEach(const Args& a) {
    return SendEach(a.arg(2));
}

int CmdHoldHotkey(const Args& a) {
    // Owns a hotkey (modifier mask, key code) for some seconds, as another program on the PC would.
    if (!RegisterHotKey(nullptr, 1, static_cast<UINT>(_wtoi(a.arg(2).c_str())),
                        static_cast<UINT>(_wtoi(a.arg(3).c_str())))) {
        Print("refused");
        return 1;
    }
    Print("held");
    std::fflush(stdout);
    Sleep(static_cast<DWORD>(_wtoi(a.arg(4).c_str())) * 1000);
    return 0;
}

int CmdWriteHeld(const Args& a) {
    // Writes a file as a slow writer does: opened without sharing, the first part, a pause, the rest.
    // Arguments: path, seconds of pause, first part, rest (UTF-8 on disk).
    plumwick::win::UniqueFile file(CreateFileW(a.arg(2).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        Print("cannot open");
        return 1;
    }
    auto write = [&](const std::wstring& text) {
        std::string bytes = Utf8(text);
        DWORD written = 0;
        return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
               FlushFileBuffers(file.get());
    };
    if (!write(a.arg(4))) {
        Print("cannot write");
        return 1;
    }
    Print("held");
    std::fflush(stdout);
    Sleep(static_cast<DWORD>(_wtof(a.arg(3).c_str()) * 1000));
    return write(a.arg(5)) ? 0 : 1;
}

int CmdMouse(const Args& a) {
    Mouse(_wtoi(a.arg(2).c_str()), _wtoi(a.arg(3).c_str()), a.arg(4).empty() ? L"move" : a.arg(4));
    return 0;
}

// The commands that act on a window named by its class or caption (argument 2).
void PrintChildren(HWND target) {
    for (HWND child : Children(target)) {
        DWORD_PTR checked = 0;
        std::wstring cls = ClassOf(child);
        if (cls == L"Button") {
            SendMessageTimeoutW(child, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &checked);
        }
        Print(Hex(reinterpret_cast<LONG_PTR>(child)) + " " + Utf8(cls) + "|" + Utf8(TextOf(child)) + "|" +
              RectText(child) + "|" + (IsWindowVisible(child) ? "1" : "0") + "|" + std::to_string(checked));
    }
}

int ClickChild(HWND target, const std::wstring& text, bool check) {
    HWND child = ChildWithText(target, text);
    if (!child) {
        Print("no child");
        return 1;
    }
    if (check) {
        SendMessageW(child, BM_SETCHECK, BST_CHECKED, 0);
    }
    // A click as the user makes it: the parent hears BN_CLICKED.
    PostMessageW(GetParent(child), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child), BN_CLICKED),
                 reinterpret_cast<LPARAM>(child));
    Print("clicked");
    return 0;
}

// The text of the target's wanted-th edit control (0 first).
int SetChildText(HWND target, int wanted, const std::wstring& text) {
    int index = 0;
    for (HWND child : Children(target)) {
        if (ClassOf(child) == L"Edit" && index++ == wanted) {
            SendMessageW(child, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
            Print("set");
            return 0;
        }
    }
    Print("no edit");
    return 1;
}

void PrintAlpha(HWND target) {
    BYTE alpha = 0;
    DWORD flags = 0;
    COLORREF key = 0;
    if (GetLayeredWindowAttributes(target, &key, &alpha, &flags) && (flags & LWA_ALPHA)) {
        Print(std::to_string(alpha));
    } else {
        Print("none");
    }
}

// forge: what any process on the desktop can put into the display's windows' messages. Every window of
// the display's process (top-level, message-only and their children) gets posted each private message
// WM_APP .. WM_APP+63 and the messages only the system sends, with parameters that point nowhere, and is
// sent (the program's own windows only) the handle-carrying ones with handles that are not its own. Prints
// how many went out.
int CmdForge(const Args&) {
    HWND box = FindBox(L"KrcMessage");
    DWORD display = 0;
    if (!box || !GetWindowThreadProcessId(box, &display)) {
        Print("no display");
        return 1;
    }
    Collected c;
    EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&c));
    for (HWND message = nullptr; (message = FindWindowExW(HWND_MESSAGE, message, nullptr, nullptr));) {
        c.windows.push_back(message);
    }
    std::vector<HWND> targets;
    for (HWND hwnd : c.windows) {
        DWORD process = 0;
        GetWindowThreadProcessId(hwnd, &process);
        if (process != display) {
            continue;
        }
        targets.push_back(hwnd);
        for (HWND child : Children(hwnd)) {
            targets.push_back(child);
        }
    }
    constexpr LPARAM kNowhere = 0x4141;
    int posted = 0;
    for (HWND hwnd : targets) {
        for (UINT message = WM_APP; message < WM_APP + 64; ++message) {
            if (message != WM_APP + 1) { // the second start's "show the content manager"
                posted += PostMessageW(hwnd, message, kNowhere, kNowhere) ? 1 : 0;
            }
        }
        for (UINT message : {WM_DPICHANGED, WM_NCDESTROY, WM_DESTROY, WM_CREATE, WM_NCCREATE}) {
            posted += PostMessageW(hwnd, message, 0x00600060, kNowhere) ? 1 : 0;
        }
        if (ClassOf(hwnd) == L"tooltips_class32") {
            // A tooltip's own messages carry pointers the system does not carry across processes.
            for (UINT message : {TTM_GETTOOLINFOW, TTM_GETTEXTW, TTM_ADDTOOLW, TTM_ENUMTOOLSW}) {
                posted += PostMessageW(hwnd, message, 0, kNowhere) ? 1 : 0;
                DWORD_PTR ignored = 0;
                SendMessageTimeoutW(hwnd, message, 0, kNowhere, SMTO_NORMAL, 5000, &ignored);
            }
            continue;
        }
        if (!IsDisplayWindow(hwnd) && ClassOf(hwnd) != L"ThunderRT6TextBox") {
            continue; // the system's own controls: their messages are the system's business
        }
        DWORD_PTR result = 0;
        SendMessageTimeoutW(hwnd, WM_DPICHANGED, 0x00600060, kNowhere, SMTO_NORMAL, 5000, &result);
        SendMessageTimeoutW(hwnd, WM_NCDESTROY, 0, 0, SMTO_NORMAL, 5000, &result);
        SendMessageTimeoutW(hwnd, WM_ERASEBKGND, kNowhere, 0, SMTO_NORMAL, 5000, &result);
        SendMessageTimeoutW(hwnd, WM_CTLCOLORSTATIC, kNowhere, kNowhere, SMTO_NORMAL, 5000, &result);
        SendMessageTimeoutW(hwnd, WM_COMMAND, MAKEWPARAM(0, BN_SETFOCUS), kNowhere, SMTO_NORMAL, 5000,
                            &result);
        CREATESTRUCTW create{};
        create.lpCreateParams = reinterpret_cast<void*>(kNowhere);
        SendMessageTimeoutW(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create), SMTO_NORMAL, 5000,
                            &result);
    }
    Print("windows " + std::to_string(targets.size()) + ", posted " + std::to_string(posted));
    return 0;
}

int CmdOnWindow(const Args& a) {
    HWND target = FindNamed(a.arg(2));
    if (!target) {
        Print("no window");
        return 1;
    }
    // A number, or the name of a registered message ("TaskbarCreated").
    auto message = [&] {
        const std::wstring& name = a.arg(3);
        bool named = !name.empty() && !iswdigit(name[0]);
        return named ? RegisterWindowMessageW(name.c_str()) : static_cast<UINT>(Number(name.c_str()));
    };
    auto wParam = [&] { return static_cast<WPARAM>(Number(a.arg(4).c_str())); };
    auto lParam = [&] { return static_cast<LPARAM>(Number(a.arg(5).c_str())); };
    if (a.command == L"exstyle") {
        Print(Hex(GetWindowLongPtrW(target, GWL_EXSTYLE)));
    } else if (a.command == L"rect") {
        Print(RectText(target));
    } else if (a.command == L"visible") {
        Print(IsWindowVisible(target) ? "1" : "0");
    } else if (a.command == L"alpha") {
        PrintAlpha(target);
    } else if (a.command == L"post") {
        Print(PostMessageW(target, message(), wParam(), lParam()) ? "posted" : "failed");
    } else if (a.command == L"send") {
        DWORD_PTR result = 0;
        SendMessageTimeoutW(target, message(), wParam(), lParam(), SMTO_NORMAL, 10000, &result);
        Print(std::to_string(static_cast<long long>(result)));
    } else if (a.command == L"children") {
        PrintChildren(target);
    } else if (a.command == L"enabled-children") {
        // class|text|enabled, one child a line
        for (HWND child : Children(target)) {
            Print(Utf8(ClassOf(child)) + "|" + Utf8(TextOf(child)) + "|" +
                  (IsWindowEnabled(child) ? "1" : "0"));
        }
    } else if (a.command == L"click-child" || a.command == L"check-child") {
        return ClickChild(target, a.arg(3), a.command == L"check-child");
    } else if (a.command == L"set-child-text") {
        return SetChildText(target, _wtoi(a.arg(3).c_str()), a.arg(4));
    } else {
        std::fprintf(stderr, "plumwick-probe: unknown command\n");
        return 64;
    }
    return 0;
}

int Run(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: plumwick-probe COMMAND ...\n");
        return 64;
    }
    const Args args{argc, argv, argv[1]};
    static const std::pair<const wchar_t*, int (*)(const Args&)> kCommands[] = {
        {L"list", CmdList},
        {L"pipe-raw", CmdPipeRaw},
        {L"pipe-silent", CmdPipeSilent},
        {L"box", CmdBox},
        {L"find-box", CmdBox},
        {L"foreground", CmdForeground},
        {L"screen", CmdScreen},
        {L"monitors", CmdMonitors},
        {L"dpi", CmdDpi},
        {L"fontsub", CmdFontsub},
        {L"manifest", CmdManifest},
        {L"clipboard", CmdClipboard},
        {L"memget", CmdMemget},
        {L"memset", CmdMemget},
        {L"forget", CmdMemget},
        {L"regget", CmdRegget},
        {L"regset", CmdRegget},
        {L"regdel", CmdRegget},
        {L"dialogs", CmdDialogs},
        {L"press", CmdPress},
        {L"set-box", CmdSetBox},
        {L"set-box-ansi", CmdSetBox},
        {L"type-box", CmdTypeBox},
        {L"send-each", CmdSendEach},
        {L"hold-hotkey", CmdHoldHotkey},
        {L"mouse", CmdMouse},
        {L"write-held", CmdWriteHeld},
        {L"forge", CmdForge},
        {L"decoy-pipe", CmdDecoyPipe},
    };
    for (const auto& [name, handler] : kCommands) {
        if (args.command == name) {
            return handler(args);
        }
    }
    return CmdOnWindow(args);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    return Run(argc, argv);
}
