#include "tools/PipeClient_win.h"

#include "win32/Result_win.h"

#include "win32/Handles_win.h"

#include <vector>

namespace plumwick {

namespace {

std::wstring PipeNameFor(unsigned long sessionId) {
    return L"\\\\.\\pipe\\plumwick." + std::to_wstring(sessionId);
}

DWORD Remaining(DWORD deadline) {
    LONG left = static_cast<LONG>(deadline - GetTickCount());
    return left > 0 ? static_cast<DWORD>(left) : 0;
}

// Runs one overlapped operation to its end within timeoutMs; cancels it otherwise. Returns the
// operation's error (0 for success, WAIT_TIMEOUT when it was cancelled).
DWORD Complete(HANDLE pipe, BOOL started, OVERLAPPED& overlapped, DWORD timeoutMs, DWORD& bytes) {
    if (!started) {
        DWORD error = GetLastError();
        if (error != ERROR_IO_PENDING && error != ERROR_MORE_DATA) {
            return error;
        }
    }
    if (WaitForSingleObject(overlapped.hEvent, timeoutMs) != WAIT_OBJECT_0) {
        CancelIoEx(pipe, &overlapped);
        GetOverlappedResult(pipe, &overlapped, &bytes, TRUE);
        return WAIT_TIMEOUT;
    }
    return GetOverlappedResult(pipe, &overlapped, &bytes, FALSE) ? 0 : GetLastError();
}

// Every instance can be taken for a moment by other senders, even without --wait.
constexpr DWORD kBusyWaitMs = 5000;

// Opens the pipe in message mode, waiting up to waitMs for it to appear and at least kBusyWaitMs for a
// free instance.
HANDLE Open(const std::wstring& name, DWORD waitMs, PipeResult& result) {
    const DWORD deadline = GetTickCount() + waitMs;
    const DWORD busyDeadline = GetTickCount() + (waitMs > kBusyWaitMs ? waitMs : kBusyWaitMs);
    while (true) {
        // Identification only: whoever serves the name may learn who we are, never act as us.
        HANDLE pipe =
            CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                        FILE_FLAG_OVERLAPPED | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
        if (pipe != INVALID_HANDLE_VALUE) {
            DWORD mode = PIPE_READMODE_MESSAGE;
            if (!SetNamedPipeHandleState(pipe, &mode, nullptr, nullptr)) {
                result.failure = win::Result::Failed(L"SetNamedPipeHandleState", GetLastError());
                win::UniqueFile(pipe).reset();
                result.outcome = PipeOutcome::Failed;
                return INVALID_HANDLE_VALUE;
            }
            return pipe;
        }
        DWORD error = GetLastError();
        if (error == ERROR_PIPE_BUSY) {
            DWORD left = Remaining(busyDeadline);
            if (left == 0) {
                result.outcome = PipeOutcome::Busy;
                return INVALID_HANDLE_VALUE;
            }
            WaitNamedPipeW(name.c_str(), left < 1000 ? left : 1000);
        } else if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            if (Remaining(deadline) == 0) {
                result.outcome = PipeOutcome::NotRunning;
                return INVALID_HANDLE_VALUE;
            }
            Sleep(50);
        } else {
            result.failure = win::Result::Failed(L"CreateFile", error);
            result.outcome = PipeOutcome::Failed;
            return INVALID_HANDLE_VALUE;
        }
    }
}

} // namespace

unsigned long CurrentSessionId() {
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    return session;
}

PipeResult SendThroughPipe(unsigned long sessionId, const std::string& message, DWORD waitMs, DWORD answerMs,
                           const PipeVetting& vet) {
    return SendToPipe(PipeNameFor(sessionId), message, waitMs, answerMs, vet);
}

PipeResult SendToPipe(const std::wstring& pipeName, const std::string& message, DWORD waitMs, DWORD answerMs,
                      const PipeVetting& vet) {
    PipeResult result;
    win::UniqueFile pipe(Open(pipeName, waitMs, result));
    if (!pipe) {
        return result;
    }
    if (vet) {
        if (std::optional<std::string> refusal = vet(pipe.get())) {
            result.outcome = PipeOutcome::Untrusted;
            result.untrusted = *refusal;
            return result;
        }
    }
    win::UniqueKernelHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!event.get()) {
        result.failure = win::Result::Failed(L"CreateEvent", GetLastError());
        return result;
    }
    const DWORD deadline = GetTickCount() + answerMs;
    OVERLAPPED overlapped{};
    overlapped.hEvent = event.get();
    DWORD bytes = 0;
    BOOL started =
        WriteFile(pipe.get(), message.data(), static_cast<DWORD>(message.size()), nullptr, &overlapped);
    DWORD error = Complete(pipe.get(), started, overlapped, Remaining(deadline), bytes);
    if (error != 0) {
        result.outcome = error == WAIT_TIMEOUT ? PipeOutcome::NoAnswer : PipeOutcome::Failed;
        result.failure = win::Result::Failed(L"WriteFile", error);
        return result;
    }
    std::vector<char> buffer(4096);
    std::string reply;
    do {
        overlapped = OVERLAPPED{};
        overlapped.hEvent = event.get();
        started =
            ReadFile(pipe.get(), buffer.data(), static_cast<DWORD>(buffer.size()), nullptr, &overlapped);
        error = Complete(pipe.get(), started, overlapped, Remaining(deadline), bytes);
        if (error == 0 || error == ERROR_MORE_DATA) {
            reply.append(buffer.data(), bytes);
        }
    } while (error == ERROR_MORE_DATA && reply.size() < (1u << 20));
    if (error != 0) {
        bool ending = message.compare(0, 3, "END") == 0 && error != WAIT_TIMEOUT;
        result.outcome = ending ? PipeOutcome::Ended : PipeOutcome::NoAnswer;
        result.failure = win::Result::Failed(L"ReadFile", error);
        return result;
    }
    while (!reply.empty() && (reply.back() == '\n' || reply.back() == '\r')) {
        reply.pop_back();
    }
    result.outcome = PipeOutcome::Answered;
    result.reply = reply;
    return result;
}

bool DroppedWhileSilent(unsigned long sessionId, DWORD holdMs, PipeResult& result) {
    win::UniqueFile pipe(Open(PipeNameFor(sessionId), 5000, result));
    if (!pipe) {
        return false;
    }
    win::UniqueKernelHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    OVERLAPPED overlapped{};
    overlapped.hEvent = event.get();
    char byte = 0;
    DWORD bytes = 0;
    BOOL started = ReadFile(pipe.get(), &byte, 1, nullptr, &overlapped);
    DWORD error = Complete(pipe.get(), started, overlapped, holdMs, bytes);
    result.outcome = PipeOutcome::Answered;
    return error != WAIT_TIMEOUT;
}

} // namespace plumwick
