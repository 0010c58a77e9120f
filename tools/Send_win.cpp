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
//   plumwick-send --pipe [--session N] ...     send through the display's command pipe instead of the box
//                                               (for services and other sessions; default: this session);
//                                               an "ERR ..." reply is printed on standard error
//   plumwick-send [--session N] --status       print the display's status line (JSON), through the pipe
//   plumwick-send --hold N COMMAND             send the command, then "HLD" N: the rotation leaves the
//                                               line alone for N seconds (1 to 3600)
#include "tools/PipeClient_win.h"
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

// Set by --pipe or --session: commands go through the command pipe of that session.
bool g_pipe = false;
unsigned long g_session = 0;

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                     nullptr, nullptr);
    std::string out(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), length, nullptr,
                        nullptr);
    return out;
}

Outcome SendThroughPipe(const std::wstring& command, double waitSeconds, UINT answerMs) {
    plumwick::PipeResult result = plumwick::SendThroughPipe(g_session, ToUtf8(command),
                                                            static_cast<DWORD>(waitSeconds * 1000), answerMs);
    switch (result.outcome) {
    case plumwick::PipeOutcome::Answered:
        if (result.reply != "OK") {
            std::fprintf(stderr, "%s\n", result.reply.c_str());
        }
        return Outcome::Sent;
    case plumwick::PipeOutcome::Ended:
        return Outcome::Ended;
    case plumwick::PipeOutcome::NotRunning:
        return Outcome::NotRunning;
    case plumwick::PipeOutcome::Busy:
        return Outcome::Busy;
    case plumwick::PipeOutcome::NoAnswer:
    case plumwick::PipeOutcome::Failed:
        break;
    }
    if (!result.problem.empty()) {
        std::fprintf(stderr, "plumwick-send: %s\n", ToUtf8(result.problem).c_str());
    }
    return Outcome::NoAnswer;
}

// One command into the idle box: waits up to waitSeconds for the box, then up to answerMs for the display
// to handle it.
Outcome SendOne(const std::wstring& command, bool ansi, double waitSeconds, UINT answerMs) {
    if (g_pipe) {
        return SendThroughPipe(command, waitSeconds, answerMs); // always UTF-8
    }
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
        sent = SendMessageTimeoutA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(bytes.c_str()), SMTO_NORMAL,
                                   answerMs, &result);
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
    bool status = false;
    int holdSeconds = 0;
    g_session = plumwick::CurrentSessionId();
    for (int i = 1; i < argc; ++i) {
        std::wstring arg = argv[i];
        if (arg == L"--ansi") {
            ansi = true;
        } else if (arg == L"--pipe") {
            g_pipe = true;
        } else if (arg == L"--session" && i + 1 < argc) {
            g_session = wcstoul(argv[++i], nullptr, 10);
            g_pipe = true;
        } else if (arg == L"--status") {
            status = true;
        } else if (arg == L"--hold" && i + 1 < argc) {
            wchar_t* end = nullptr;
            long seconds = wcstol(argv[++i], &end, 10);
            if (!end || *end != L'\0' || seconds < 1 || seconds > 3600) {
                Fail("--hold takes a whole number of seconds from 1 to 3600");
                return 64;
            }
            holdSeconds = static_cast<int>(seconds);
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
            std::printf(
                "usage: plumwick-send [--ansi] [--wait SECONDS] [--hold SECONDS] (COMMAND | --file FILE)\n"
                "       plumwick-send [--ansi] [--timeout SECONDS] --batch FILE\n"
                "       plumwick-send --pipe [--session N] ...   (through the command pipe)\n"
                "       plumwick-send [--session N] --status     (prints the status line)\n");
            return 0;
        } else {
            command = arg;
            haveCommand = true;
        }
    }
    if (status) {
        plumwick::PipeResult result =
            plumwick::SendThroughPipe(g_session, "?status", static_cast<DWORD>(waitSeconds * 1000), 30000);
        if (result.outcome == plumwick::PipeOutcome::Answered) {
            std::printf("%s\n", result.reply.c_str());
            return 0;
        }
        if (result.outcome == plumwick::PipeOutcome::NotRunning) {
            Fail("the display is not running (no command pipe in this session)");
            return 2;
        }
        if (!result.problem.empty()) {
            std::fprintf(stderr, "plumwick-send: %s\n", ToUtf8(result.problem).c_str());
        }
        return result.outcome == plumwick::PipeOutcome::Busy ? 2 : 4;
    }
    if (haveBatch) {
        return SendBatch(batch, ansi, timeoutSeconds);
    }
    if (!haveCommand) {
        Fail("no command given (usage: plumwick-send [--ansi] [--wait SECONDS] COMMAND)");
        return 64;
    }

    Outcome outcome = SendOne(command, ansi, waitSeconds, 30000);
    if (outcome == Outcome::Sent && holdSeconds > 0) {
        outcome = SendOne(L"HLD" + std::to_wstring(holdSeconds), ansi, 10, 30000);
    }
    switch (outcome) {
    case Outcome::Sent:
    case Outcome::Ended:
        return 0;
    case Outcome::NotRunning:
        Fail(g_pipe ? "the display is not running (no command pipe in that session)"
                    : "the display is not running (no window \"FrmKrcMessage\" on this desktop)");
        return 2;
    case Outcome::Busy:
        Fail(
            "the display's command box is busy or missing (no \"ThunderRT6TextBox\" holding \"KrcMessage\")");
        return 2;
    case Outcome::NoAnswer:
        break;
    }
    Fail("the display did not answer within 30 s");
    return 4;
}
