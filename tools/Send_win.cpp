// plumwick-send: writes one command into the display's command box, exactly as any outside program does
// (FindWindow "FrmKrcMessage", FindWindowEx "ThunderRT6TextBox" / "KrcMessage", WM_SETTEXT).
//
//   plumwick-send [--ansi] "DLT 欢迎光临"     send the command (Unicode by default; --ansi sends it in the
//                                               system's ANSI code page, as older senders do)
//   plumwick-send [--ansi] --file command.txt send the contents of a UTF-8 file (for very long commands)
//   plumwick-send --wait 5 ...                 wait up to 5 s for the display to start or become idle
#include "win32/Windows_win.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

void Fail(const char* message) {
    std::fprintf(stderr, "plumwick-send: %s\n", message);
}

std::wstring FromUtf8(const std::string& bytes) {
    if (bytes.empty()) {
        return {};
    }
    int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), length);
    return out;
}

HWND FindIdleBox() {
    HWND window = FindWindowW(nullptr, L"FrmKrcMessage");
    if (!window) {
        return nullptr;
    }
    return FindWindowExW(window, nullptr, L"ThunderRT6TextBox", L"KrcMessage");
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    bool ansi = false;
    double waitSeconds = 0;
    std::wstring command;
    bool haveCommand = false;
    for (int i = 1; i < argc; ++i) {
        std::wstring arg = argv[i];
        if (arg == L"--ansi") {
            ansi = true;
        } else if (arg == L"--wait" && i + 1 < argc) {
            waitSeconds = _wtof(argv[++i]);
        } else if (arg == L"--file" && i + 1 < argc) {
            std::ifstream in(argv[++i], std::ios::binary);
            if (!in) {
                Fail("cannot read the command file");
                return 3;
            }
            std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            command = FromUtf8(bytes);
            haveCommand = true;
        } else if (arg == L"--help" || arg == L"-h") {
            std::printf("usage: plumwick-send [--ansi] [--wait SECONDS] (COMMAND | --file FILE)\n");
            return 0;
        } else {
            command = arg;
            haveCommand = true;
        }
    }
    if (!haveCommand) {
        Fail("no command given (usage: plumwick-send [--ansi] [--wait SECONDS] COMMAND)");
        return 64;
    }

    DWORD deadline = GetTickCount() + static_cast<DWORD>(waitSeconds * 1000);
    HWND box = FindIdleBox();
    while (!box && static_cast<LONG>(deadline - GetTickCount()) > 0) {
        Sleep(50);
        box = FindIdleBox();
    }
    if (!box) {
        if (!FindWindowW(nullptr, L"FrmKrcMessage")) {
            Fail("the display is not running (no window \"FrmKrcMessage\" on this desktop)");
        } else {
            Fail("the display's command box is busy or missing (no \"ThunderRT6TextBox\" holding \"KrcMessage\")");
        }
        return 2;
    }

    DWORD_PTR result = 0;
    LRESULT sent;
    if (ansi) {
        int length = WideCharToMultiByte(CP_ACP, 0, command.c_str(), -1, nullptr, 0, nullptr, nullptr);
        std::string bytes(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
        WideCharToMultiByte(CP_ACP, 0, command.c_str(), -1, bytes.data(), length, nullptr, nullptr);
        sent = SendMessageTimeoutA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(bytes.c_str()), SMTO_NORMAL, 30000,
                                   &result);
    } else {
        sent = SendMessageTimeoutW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(command.c_str()), SMTO_NORMAL,
                                   30000, &result);
    }
    if (!sent) {
        // "END" ends the display while it handles the command, which is no failure.
        if (command.rfind(L"END", 0) == 0) {
            return 0;
        }
        Fail("the display did not answer within 30 s");
        return 4;
    }
    return 0;
}
