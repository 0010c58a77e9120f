// plumwick-send: writes commands into the display's command box, exactly as any outside program does
// (FindWindow "FrmKrcMessage", FindWindowEx "ThunderRT6TextBox" / "KrcMessage", WM_SETTEXT), or with --pipe
// through its command pipe. Its options, input decoding and exit codes are in command/SendCommandLine.h;
// `plumwick-send --help` lists them.
#include "command/SendCommandLine.h"
#include "command/StatusBoard.h"
#include "common/FileBytes.h"
#include "common/TextUtil.h"
#include "tools/PipeClient_win.h"
#include "tools/ReceiverIdentity_win.h"
#include "win32/Handles_win.h"
#include "win32/LocalTime_win.h"
#include "win32/Result_win.h"
#include "win32/Strings_win.h"
#include "win32/Windows_win.h"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace plumwick;
using namespace plumwick::send;

// Text for the console in UTF-16, so that any script shows; redirected output gets UTF-8 bytes.
void Write(FILE* stream, DWORD handleId, const std::string& utf8) {
    HANDLE handle = GetStdHandle(handleId);
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
        std::wstring wide = win::ToWide(Utf8ToUtf16(utf8));
        DWORD written = 0;
        std::fflush(stream);
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
    std::fflush(stream);
}

void Print(const std::string& utf8) {
    Write(stdout, STD_OUTPUT_HANDLE, utf8 + "\n");
}
void Fail(const std::string& utf8) {
    Write(stderr, STD_ERROR_HANDLE, "plumwick-send: " + utf8 + "\n");
}

// The boxes found so far whose owner may not have a command, and why the first was refused.
struct Refused {
    std::vector<HWND> boxes;
    std::string reason;
};

// An idle box of a command window whose process may have the command. Every window captioned
// "FrmKrcMessage" is looked at: a decoy of another user found first neither gets the command nor keeps it
// from the display.
HWND FindIdleBox(Refused& refused) {
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, nullptr, L"FrmKrcMessage"));) {
        HWND box = FindWindowExW(window, nullptr, L"ThunderRT6TextBox", L"KrcMessage");
        if (!box || std::find(refused.boxes.begin(), refused.boxes.end(), box) != refused.boxes.end()) {
            continue;
        }
        DWORD owner = 0;
        // A box already found fit in this run (a --batch) is not looked into again while it lives.
        static HWND acceptedBox = nullptr;
        static DWORD acceptedOwner = 0;
        if (box == acceptedBox && GetWindowThreadProcessId(box, &owner) && owner == acceptedOwner) {
            return box;
        }
        std::optional<std::string> refusal =
            GetWindowThreadProcessId(box, &owner)
                ? ReceiverRefusal(owner, CurrentSessionId(), "the command box")
                : std::optional<std::string>(
                      Utf16ToUtf8(win::ToU16(win::Result::LastError(L"GetWindowThreadProcessId").Text())));
        if (!refusal) {
            acceptedBox = box;
            acceptedOwner = owner;
            return box;
        }
        refused.boxes.push_back(box);
        if (refused.reason.empty()) {
            refused.reason = *refusal;
        }
    }
    return nullptr;
}

HWND WaitForIdleBox(double seconds, Refused& refused) {
    DWORD deadline = GetTickCount() + static_cast<DWORD>(seconds * 1000);
    HWND box = FindIdleBox(refused);
    while (!box && static_cast<LONG>(deadline - GetTickCount()) > 0) {
        Sleep(FindWindowW(nullptr, L"FrmKrcMessage") ? 1 : 50); // quick while the display is busy
        box = FindIdleBox(refused);
    }
    return box;
}

enum class Outcome { Sent, Ended, NotRunning, Busy, NoAnswer, Refused, Untrusted };

bool IsEnd(const std::u16string& command) {
    return command.starts_with(u"END");
}

// Where commands go: the box, or the command pipe of a session.
struct Channel {
    bool pipe = false;
    unsigned long session = 0;
};

// The pipe's server must be a process of the session's user before anything is written to it.
PipeVetting VetServer(const Channel& channel) {
    return [session = channel.session](HANDLE pipe) -> std::optional<std::string> {
        ULONG server = 0;
        if (!GetNamedPipeServerProcessId(pipe, &server)) {
            return Utf16ToUtf8(win::ToU16(win::Result::LastError(L"GetNamedPipeServerProcessId").Text()));
        }
        return ReceiverRefusal(server, session, "the command pipe's server");
    };
}

Outcome SendThroughPipe(const Channel& channel, const std::u16string& command, double waitSeconds,
                        UINT answerMs) {
    PipeResult result =
        plumwick::SendThroughPipe(channel.session, Utf16ToUtf8(command),
                                  static_cast<DWORD>(waitSeconds * 1000), answerMs, VetServer(channel));
    switch (result.outcome) {
    case PipeOutcome::Answered:
        if (!IsHandledReply(result.reply)) {
            Write(stderr, STD_ERROR_HANDLE, result.reply + "\n");
            return Outcome::Refused;
        }
        return Outcome::Sent;
    case PipeOutcome::Untrusted:
        Fail(result.untrusted);
        return Outcome::Untrusted;
    case PipeOutcome::Ended:
        return Outcome::Ended;
    case PipeOutcome::NotRunning:
        return Outcome::NotRunning;
    case PipeOutcome::Busy:
        return Outcome::Busy;
    case PipeOutcome::NoAnswer:
    case PipeOutcome::Failed:
        break;
    }
    if (!result.failure.Ok()) {
        Fail(Utf16ToUtf8(win::ToU16(result.failure.Text())));
    }
    return Outcome::NoAnswer;
}

// One command into the idle box: waits up to waitSeconds for the box, then up to answerMs for the display
// to handle it.
Outcome SendOne(const Channel& channel, const std::u16string& command, bool ansi, double waitSeconds,
                UINT answerMs) {
    if (channel.pipe) {
        return SendThroughPipe(channel, command, waitSeconds, answerMs); // always UTF-8
    }
    Refused refused;
    HWND box = WaitForIdleBox(waitSeconds, refused);
    if (!box) {
        if (!refused.reason.empty()) {
            Fail(refused.reason);
            return Outcome::Untrusted;
        }
        return FindWindowW(nullptr, L"FrmKrcMessage") ? Outcome::Busy : Outcome::NotRunning;
    }
    std::wstring wide = win::ToWide(command);
    DWORD_PTR result = 0;
    LRESULT sent;
    if (ansi) {
        int length = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
        std::string bytes(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
        WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, bytes.data(), length, nullptr, nullptr);
        sent = SendMessageTimeoutA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(bytes.c_str()), SMTO_NORMAL,
                                   answerMs, &result);
    } else {
        sent = SendMessageTimeoutW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()), SMTO_NORMAL,
                                   answerMs, &result);
    }
    if (sent) {
        // The box answers FALSE for a text it refuses (too long, or busy with another command).
        return result ? Outcome::Sent : Outcome::Refused;
    }
    // "END" ends the display while it handles the command, which is no failure.
    return IsEnd(command) ? Outcome::Ended : Outcome::NoAnswer;
}

int SendBatch(const Channel& channel, const std::vector<std::u16string>& commands, bool ansi,
              double timeoutSeconds) {
    int sent = 0;
    int failed = 0;
    UINT answerMs = static_cast<UINT>(timeoutSeconds * 1000);
    for (std::size_t i = 0; i < commands.size(); ++i) {
        Outcome outcome = SendOne(channel, commands[i], ansi, timeoutSeconds, answerMs);
        if (outcome == Outcome::Sent || outcome == Outcome::Ended) {
            ++sent;
            if (IsEnd(commands[i])) {
                break; // the display ends; what follows has nobody to go to
            }
            continue;
        }
        ++failed;
        if (outcome == Outcome::NotRunning || outcome == Outcome::Untrusted) {
            Fail((outcome == Outcome::NotRunning ? "the display is not running at command "
                                                 : "nothing more is sent after command ") +
                 std::to_string(i + 1));
            failed += static_cast<int>(commands.size() - i - 1);
            break;
        }
        Fail("command " + std::to_string(i + 1) +
             (outcome == Outcome::Busy      ? " found the box busy"
              : outcome == Outcome::Refused ? " was refused"
                                            : " got no answer"));
    }
    Print("sent " + std::to_string(sent) + ", failed " + std::to_string(failed));
    return failed == 0 ? kExitHandled : kExitBatchFailed;
}

std::optional<std::string> ReadStandardInput() {
    _setmode(_fileno(stdin), _O_BINARY);
    std::string bytes;
    char chunk[64 * 1024];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, stdin)) > 0) {
        bytes.append(chunk, got);
        if (bytes.size() > kContentFileMaxBytes) {
            return std::nullopt;
        }
    }
    if (std::ferror(stdin)) {
        return std::nullopt;
    }
    return bytes;
}

// --status: the status line through the pipe.
int AskStatus(const Channel& channel, double waitSeconds) {
    PipeResult result = plumwick::SendThroughPipe(
        channel.session, "?status", static_cast<DWORD>(waitSeconds * 1000), 30000, VetServer(channel));
    switch (result.outcome) {
    case PipeOutcome::Answered:
        if (!IsStatusLine(result.reply)) {
            Write(stderr, STD_ERROR_HANDLE, result.reply + "\n");
            Fail("the display gave no status line");
            return kExitRefused;
        }
        Print(result.reply);
        return kExitHandled;
    case PipeOutcome::Untrusted:
        Fail(result.untrusted);
        return kExitUntrusted;
    case PipeOutcome::NotRunning:
        Fail("the display is not running (no command pipe in that session)");
        return kExitNotRunning;
    case PipeOutcome::Busy:
        Fail("every instance of the command pipe stayed taken");
        return kExitBusy;
    default:
        Fail(result.failure.Ok() ? std::string("the display did not answer")
                                 : Utf16ToUtf8(win::ToU16(result.failure.Text())));
        return kExitNoAnswer;
    }
}

// The exit code and message for how sending one command ended.
int ExitFor(Outcome outcome, const Channel& channel) {
    switch (outcome) {
    case Outcome::Sent:
    case Outcome::Ended:
        return kExitHandled;
    case Outcome::NotRunning:
        Fail(channel.pipe ? "the display is not running (no command pipe in that session)"
                          : "the display is not running (no window \"FrmKrcMessage\" on this desktop)");
        return kExitNotRunning;
    case Outcome::Busy:
        Fail(channel.pipe ? "every instance of the command pipe stayed taken"
                          : "the display's command box is busy or missing (no \"ThunderRT6TextBox\" holding "
                            "\"KrcMessage\")");
        return kExitBusy;
    case Outcome::Refused:
        if (!channel.pipe) {
            Fail("the display refused the command (too long, or its box was busy)");
        }
        return kExitRefused;
    case Outcome::Untrusted:
        return kExitUntrusted;
    case Outcome::NoAnswer:
        break;
    }
    Fail("the display did not answer within 30 s");
    return kExitNoAnswer;
}

// The bytes of --file, --batch or standard input; nothing (after saying why) when they cannot be read.
std::optional<std::string> ReadInput(const Request& request) {
    std::optional<std::string> bytes = request.source == Source::Stdin
                                           ? ReadStandardInput()
                                           : ReadFileBytes(request.path, kContentFileMaxBytes);
    if (!bytes) {
        Fail(request.source == Source::Stdin ? std::string("cannot read standard input")
                                             : "cannot read " + Utf16ToUtf8(request.path));
    }
    return bytes;
}

// --check-schedule: each line the file cannot read, named by the file and its number.
int CheckSchedule(const Request& request) {
    std::optional<std::string> bytes = ReadInput(request);
    if (!bytes) {
        return kExitInputUnreadable;
    }
    ScheduleCheck check = CheckScheduleFile(*bytes, win::SystemAnsiCodePage());
    for (const std::string& line : check.lines) {
        Print(Utf16ToUtf8(request.path) + ": " + line);
    }
    return check.exitCode;
}

UnixSeconds UnixFromFileTime(const FILETIME& time) {
    ULARGE_INTEGER ticks{};
    ticks.LowPart = time.dwLowDateTime;
    ticks.HighPart = time.dwHighDateTime;
    // 100 ns ticks since 1601-01-01.
    return static_cast<UnixSeconds>(ticks.QuadPart / 10000000ull) - 11644473600ll;
}

// A status file whole, read beside a writer that may replace it meanwhile.
std::optional<std::string> ReadStatusFile(const std::wstring& path) {
    win::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return std::nullopt;
    }
    constexpr DWORD kLimit = 1 << 20; // a status file is a few kilobytes
    std::string bytes;
    char chunk[16384];
    DWORD read = 0;
    while (ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr) && read > 0) {
        bytes.append(chunk, read);
        if (bytes.size() > kLimit) {
            return std::nullopt;
        }
    }
    return bytes;
}

// --board: the table of every <computer>.json in the folder.
int ShowBoard(const Request& request) {
    std::wstring folder = win::ToWide(request.path);
    while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) {
        folder.pop_back();
    }
    FILETIME nowTime{};
    GetSystemTimeAsFileTime(&nowTime);
    const UnixSeconds now = UnixFromFileTime(nowTime);
    const int offset = win::LocalUtcOffsetMinutes();
    std::vector<BoardRow> rows;
    WIN32_FIND_DATAW found{};
    win::UniqueFind find(FindFirstFileW((folder + L"\\*.json").c_str(), &found));
    if (!find) {
        DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND) {
            Fail("cannot read the folder " + Utf16ToUtf8(request.path) + ": " +
                 Utf16ToUtf8(win::ToU16(win::Result::Failed(L"FindFirstFileW", error).Text())));
            return kExitInputUnreadable;
        }
    } else {
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                continue;
            }
            std::wstring name = found.cFileName;
            std::optional<std::string> bytes = ReadStatusFile(folder + L"\\" + name);
            rows.push_back(ReadBoardRow(win::ToU16(name), bytes ? *bytes : std::string(),
                                        UnixFromFileTime(found.ftLastWriteTime), now, offset));
        } while (FindNextFileW(find.get(), &found));
    }
    std::string table = BoardTable(std::move(rows));
    table.pop_back(); // Print ends the line
    Print(table);
    return kExitHandled;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::u16string> args;
    for (int i = 1; i < argc; ++i) {
        args.push_back(win::ToU16(argv[i]));
    }
    ParseResult parsed = ParseArguments(args);
    if (!parsed.error.empty()) {
        Fail(parsed.error + "; see plumwick-send --help");
        return kExitUsage;
    }
    const Request& request = parsed.request;
    if (request.help) {
        Write(stdout, STD_OUTPUT_HANDLE, HelpText());
        return kExitHandled;
    }
    if (request.version) {
        Print(VersionText());
        return kExitHandled;
    }

    if (request.source == Source::CheckSchedule) {
        return CheckSchedule(request);
    }
    if (request.source == Source::Board) {
        return ShowBoard(request);
    }

    Channel channel{request.pipe, request.session ? *request.session : CurrentSessionId()};
    if (request.source == Source::Status) {
        return AskStatus(channel, request.waitSeconds);
    }
    std::u16string command = request.command;
    if (request.source != Source::Argument) {
        std::optional<std::string> bytes = ReadInput(request);
        if (!bytes) {
            return kExitInputUnreadable;
        }
        if (request.source == Source::Batch) {
            return SendBatch(channel, SplitBatch(*bytes), request.ansi, request.timeoutSeconds);
        }
        command = DecodeCommandInput(*bytes, win::SystemAnsiCodePage());
    }
    Outcome outcome = SendOne(channel, command, request.ansi, request.waitSeconds, 30000);
    if (outcome == Outcome::Sent && request.holdSeconds > 0) {
        outcome = SendOne(channel, u"HLD" + Utf8ToUtf16(std::to_string(request.holdSeconds)), request.ansi,
                          10, 30000);
    }
    return ExitFor(outcome, channel);
}
