// plumwick-send: writes one command into the display's command box, exactly as any outside program does
// (FindWindow "FrmKrcMessage", FindWindowEx "ThunderRT6TextBox" / "KrcMessage", WM_SETTEXT).
//
//   plumwick-send [--ansi] "DLT 欢迎光临"     send the command (Unicode by default; --ansi sends it in the
//                                               system's ANSI code page, as older senders do)
//   plumwick-send [--ansi] --file command.txt send the contents of a UTF-8 file (for very long commands)
//   plumwick-send --wait 5 ...                 wait up to 5 s for the display to start or become idle
//   plumwick-send [--ansi] [--timeout 10] --batch commands.bin
//                                               send every command of a UTF-8 file, commands separated by
//                                               NUL bytes, each once the box is idle again (waiting up to
//                                               the timeout for it and for the answer); prints
//                                               "sent N, failed M" and fails when any command failed. An
//                                               "END" that ends the display is no failure.
#include "win32/Windows_win.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

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

HWND WaitForIdleBox(double seconds) {
    DWORD deadline = GetTickCount() + static_cast<DWORD>(seconds * 1000);
    HWND box = FindIdleBox();
    while (!box && static_cast<LONG>(deadline - GetTickCount()) > 0) {
        Sleep(FindWindowW(nullptr, L"FrmKrcMessage") ? 1 : 50); // quick while the display is busy
        box = FindIdleBox();
    }
    return box;
}

enum class Outcome { Sent, Ended, NotRunning, Busy, NoAnswer };

// One command into the idle box: waits up to waitSeconds for the box, then up to answerMs for the display
// to handle it.
Outcome SendOne(const std::wstring& command, bool ansi, double waitSeconds, UINT answerMs) {
    HWND box = WaitForIdleBox(waitSeconds);
    if (!box) {
        return FindWindowW(nullptr, L"FrmKrcMessage") ? Outcome::Busy : Outcome::NotRunning;
    }
    DWORD_PTR result = 0;
    LRESULT sent;
    if (ansi) {
        int length = WideCharToMultiByte(CP_ACP, 0, command.c_str(), -1, nullptr, 0, nullptr, nullptr);
        std::string bytes(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
        WideCharToMultiByte(CP_ACP, 0, command.c_str(), -1, bytes.data(), length, nullptr, nullptr);
        sent = SendMessageTimeoutA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(bytes.c_str()), SMTO_NORMAL, answerMs,
                                   &result);
    } else {
        sent = SendMessageTimeoutW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(command.c_str()), SMTO_NORMAL,
                                   answerMs, &result);
    }
    if (sent) {
        return Outcome::Sent;
    }
    // "END" ends the display while it handles the command, which is no failure.
    return command.rfind(L"END", 0) == 0 ? Outcome::Ended : Outcome::NoAnswer;
}

// The commands of a batch file: UTF-8 text split at NUL bytes; a NUL at the very end closes the last
// command rather than starting an empty one.
std::vector<std::wstring> SplitBatch(const std::string& bytes) {
    std::vector<std::wstring> commands;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\0', start);
        if (end == std::string::npos) {
            end = bytes.size();
        }
        commands.push_back(FromUtf8(bytes.substr(start, end - start)));
        start = end + 1;
    }
    return commands;
}

int SendBatch(const std::vector<std::wstring>& commands, bool ansi, double timeoutSeconds) {
    int sent = 0;
    int failed = 0;
    UINT answerMs = static_cast<UINT>(timeoutSeconds * 1000);
    for (std::size_t i = 0; i < commands.size(); ++i) {
        Outcome outcome = SendOne(commands[i], ansi, timeoutSeconds, answerMs);
        bool ends = commands[i].rfind(L"END", 0) == 0;
        if (outcome == Outcome::Sent || outcome == Outcome::Ended) {
            ++sent;
            if (ends) {
                break; // the display ends; what follows has nobody to go to
            }
            continue;
        }
        ++failed;
        if (outcome == Outcome::NotRunning) {
            std::fprintf(stderr, "plumwick-send: the display is not running at command %zu\n", i + 1);
            failed += static_cast<int>(commands.size() - i - 1);
            break;
        }
        std::fprintf(stderr, "plumwick-send: command %zu %s\n", i + 1,
                     outcome == Outcome::Busy ? "found the box busy" : "got no answer");
    }
    std::printf("sent %d, failed %d\n", sent, failed);
    return failed == 0 ? 0 : 5;
}

bool ReadFileBytes(const wchar_t* path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    bytes.assign((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return true;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    bool ansi = false;
    double waitSeconds = 0;
    double timeoutSeconds = 10;
    std::wstring command;
    bool haveCommand = false;
    std::vector<std::wstring> batch;
    bool haveBatch = false;
    for (int i = 1; i < argc; ++i) {
        std::wstring arg = argv[i];
        if (arg == L"--ansi") {
            ansi = true;
        } else if (arg == L"--wait" && i + 1 < argc) {
            waitSeconds = _wtof(argv[++i]);
        } else if (arg == L"--timeout" && i + 1 < argc) {
            timeoutSeconds = _wtof(argv[++i]);
        } else if ((arg == L"--file" || arg == L"--batch") && i + 1 < argc) {
            std::string bytes;
            if (!ReadFileBytes(argv[++i], bytes)) {
                Fail("cannot read the command file");
                return 3;
            }
            if (arg == L"--batch") {
                batch = SplitBatch(bytes);
                haveBatch = true;
            } else {
                command = FromUtf8(bytes);
                haveCommand = true;
            }
        } else if (arg == L"--help" || arg == L"-h") {
            std::printf("usage: plumwick-send [--ansi] [--wait SECONDS] (COMMAND | --file FILE)\n"
                        "       plumwick-send [--ansi] [--timeout SECONDS] --batch FILE\n");
            return 0;
        } else {
            command = arg;
            haveCommand = true;
        }
    }
    if (haveBatch) {
        return SendBatch(batch, ansi, timeoutSeconds);
    }
    if (!haveCommand) {
        Fail("no command given (usage: plumwick-send [--ansi] [--wait SECONDS] COMMAND)");
        return 64;
    }

    switch (SendOne(command, ansi, waitSeconds, 30000)) {
    case Outcome::Sent:
    case Outcome::Ended:
        return 0;
    case Outcome::NotRunning:
        Fail("the display is not running (no window \"FrmKrcMessage\" on this desktop)");
        return 2;
    case Outcome::Busy:
        Fail("the display's command box is busy or missing (no \"ThunderRT6TextBox\" holding \"KrcMessage\")");
        return 2;
    case Outcome::NoAnswer:
        break;
    }
    Fail("the display did not answer within 30 s");
    return 4;
}
