#include "command/PipeServer_win.h"

#include "command/PipeSecurity.h"
#include "notice/EventLog.h"
#include "win32/Handles_win.h"
#include "win32/Strings_win.h"
#include "win32/UiTask_win.h"

#include <sddl.h>

namespace plumwick {

namespace {

constexpr DWORD kReadChunk = 64 * 1024;
constexpr DWORD kOutBufferSize = 4096;
constexpr DWORD kInBufferSize = 64 * 1024;

enum class Wait { Done, TimedOut, Stopped };

// Waits for an overlapped operation on `pipe` to finish, for at most `timeoutMs` or until `stop`. An
// operation that does not finish in time is cancelled, and its cancellation waited for, so its buffer
// is free again when this returns. For Done, `error` is 0 or the operation's error code.
Wait Finish(HANDLE pipe, OVERLAPPED& overlapped, HANDLE stop, DWORD timeoutMs, DWORD& bytes, DWORD& error) {
    HANDLE events[2] = {overlapped.hEvent, stop};
    DWORD waited = WaitForMultipleObjects(2, events, FALSE, timeoutMs);
    if (waited == WAIT_OBJECT_0) {
        error = GetOverlappedResult(pipe, &overlapped, &bytes, FALSE) ? 0 : GetLastError();
        return Wait::Done;
    }
    CancelIoEx(pipe, &overlapped);
    GetOverlappedResult(pipe, &overlapped, &bytes, TRUE);
    return waited == WAIT_OBJECT_0 + 1 ? Wait::Stopped : Wait::TimedOut;
}

// The started operation's outcome: pending or finished at once, both end in Finish.
bool Started(BOOL result) {
    if (result) {
        return true;
    }
    DWORD error = GetLastError();
    return error == ERROR_IO_PENDING || error == ERROR_MORE_DATA;
}

std::string UserSid() {
    win::UniqueKernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) {
        return {};
    }
    std::string sid;
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size > 0 && GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) {
        win::UniqueLocal<wchar_t*> text;
        if (ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, text.put())) {
            for (const wchar_t* c = text.get(); *c; ++c) {
                sid += static_cast<char>(*c < 0x80 ? *c : '?');
            }
        }
    }
    return sid;
}

} // namespace

struct PipeServer::Request {
    std::string message;
    PipeReply reply;
    win::UniqueKernelHandle answered{CreateEventW(nullptr, TRUE, FALSE, nullptr)};  // the reply is set
    win::UniqueKernelHandle delivered{CreateEventW(nullptr, TRUE, FALSE, nullptr)}; // it has left (END waits)
};

struct PipeServer::Instance {
    PipeServer* server = nullptr;
    win::UniqueFile pipe;
    win::UniqueKernelHandle event; // the overlapped operations' event
    win::UniqueKernelHandle thread;
    std::vector<char> chunk = std::vector<char>(kReadChunk);
};

PipeServer::PipeServer(CommandTarget& target, StatusSource& status) : target_(target), status_(status) {}

PipeServer::~PipeServer() {
    if (stop_) {
        SetEvent(stop_.get());
    }
    std::vector<HANDLE> threads;
    for (const auto& instance : instances_) {
        if (instance->thread) {
            threads.push_back(instance->thread.get());
        }
    }
    if (!threads.empty() && WaitForMultipleObjects(static_cast<DWORD>(threads.size()), threads.data(), TRUE,
                                                   2000) == WAIT_TIMEOUT) {
        // A worker still inside a call would use its instance and the stop event: leave them to the
        // process's end, which is near when this happens.
        for (auto& instance : instances_) {
            instance.release();
        }
        stop_.release();
    }
}

bool PipeServer::Fail(const wchar_t* call) {
    outcome_ = win::Result::LastError(call);
    OutputDebugStringW((L"plumwick command pipe: " + outcome_.Text() + L"\n").c_str());
    return false;
}

bool PipeServer::Start() {
    DWORD sessionId = 0;
    if (!ProcessIdToSessionId(GetCurrentProcessId(), &sessionId)) {
        return Fail(L"ProcessIdToSessionId");
    }
    return StartAs(PipeName(sessionId));
}

bool PipeServer::StartAs(const std::u16string& pipeName) {
    if (!win::uitask::Initialize()) {
        return Fail(L"CreateWindowEx (the task queue's message-only window)");
    }
    stop_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!stop_) {
        return Fail(L"CreateEvent");
    }
    std::optional<std::string> sddl = PipeSecurityDescriptor(UserSid());
    if (!sddl) {
        return Fail(L"GetTokenInformation (the user's SID)");
    }
    win::UniqueLocal<PSECURITY_DESCRIPTOR> descriptor;
    std::wstring wideSddl(sddl->begin(), sddl->end());
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(wideSddl.c_str(), SDDL_REVISION_1,
                                                              descriptor.put(), nullptr)) {
        return Fail(L"ConvertStringSecurityDescriptorToSecurityDescriptor");
    }
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor.get(), FALSE};
    const std::wstring name = win::ToWide(pipeName);
    for (int i = 0; i < kInstances; ++i) {
        // The first instance must be ours: a name someone else created first is never shared.
        DWORD openMode =
            PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | (i == 0 ? FILE_FLAG_FIRST_PIPE_INSTANCE : 0);
        HANDLE pipe = CreateNamedPipeW(name.c_str(), openMode,
                                       PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT |
                                           PIPE_REJECT_REMOTE_CLIENTS,
                                       kInstances, kOutBufferSize, kInBufferSize, 0, &attributes);
        if (pipe == INVALID_HANDLE_VALUE) {
            if (i == 0) {
                return Fail(L"CreateNamedPipe");
            }
            break; // fewer instances still serve
        }
        auto instance = std::make_unique<Instance>();
        instance->server = this;
        instance->pipe.reset(pipe);
        instance->event.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        if (!instance->event) {
            Fail(L"CreateEvent");
            break;
        }
        instances_.push_back(std::move(instance));
    }
    descriptor.reset(); // each pipe instance has its own copy
    for (const auto& instance : instances_) {
        instance->thread.reset(CreateThread(nullptr, 0, &PipeServer::WorkerMain, instance.get(), 0, nullptr));
        if (!instance->thread) {
            Fail(L"CreateThread");
        }
    }
    return !instances_.empty() && instances_.front()->thread;
}

DWORD WINAPI PipeServer::WorkerMain(LPVOID parameter) {
    auto& instance = *static_cast<Instance*>(parameter);
    instance.server->Serve(instance);
    return 0;
}

void PipeServer::Serve(Instance& instance) {
    const HANDLE pipe = instance.pipe.get();
    const HANDLE stop = stop_.get();
    while (WaitForSingleObject(stop, 0) == WAIT_TIMEOUT) {
        OVERLAPPED overlapped{};
        overlapped.hEvent = instance.event.get();
        BOOL connected = ConnectNamedPipe(pipe, &overlapped);
        DWORD error = connected ? 0 : GetLastError();
        if (!connected && error == ERROR_IO_PENDING) {
            DWORD bytes = 0;
            if (Finish(pipe, overlapped, stop, INFINITE, bytes, error) != Wait::Done) {
                return;
            }
        }
        if (error == 0 || error == ERROR_PIPE_CONNECTED) {
            ServeClient(instance);
        } else if (WaitForSingleObject(stop, 100) != WAIT_TIMEOUT) {
            return; // a failed connection is tried again, without spinning
        }
        DisconnectNamedPipe(pipe);
    }
}

void PipeServer::ServeClient(Instance& instance) {
    while (true) {
        std::string message;
        Received received = ReadMessage(instance, message);
        if (received == Received::Gone) {
            return; // gone, silent for too long, or stopping
        }
        auto request = std::make_shared<Request>();
        if (!request->answered || !request->delivered) {
            return;
        }
        if (received == Received::TooLong) {
            request->reply.line = TooLongReply();
        } else {
            request->message = std::move(message);
            if (!HandOver(request)) {
                return;
            }
        }
        if (std::optional<std::u16string> refused =
                PipeRefusalLogText(request->message, request->reply.line)) {
            LogEvent("refused", *refused);
        }
        bool sent = WriteReply(instance, request->reply.line + std::string(kReplyLineEnd));
        if (request->reply.endsProgram) {
            if (sent) {
                AwaitHangUp(instance);
            }
            SetEvent(request->delivered.get());
            return;
        }
        if (!sent) {
            return;
        }
    }
}

PipeServer::Received PipeServer::ReadMessage(Instance& instance, std::string& message) {
    OVERLAPPED overlapped{};
    overlapped.hEvent = instance.event.get();
    bool tooLong = false;
    while (true) {
        DWORD bytes = 0;
        DWORD error = 0;
        BOOL read = ReadFile(instance.pipe.get(), instance.chunk.data(), kReadChunk, nullptr, &overlapped);
        if (!Started(read) ||
            Finish(instance.pipe.get(), overlapped, stop_.get(), kIdleTimeoutMs, bytes, error) !=
                Wait::Done ||
            (error != 0 && error != ERROR_MORE_DATA)) {
            return Received::Gone;
        }
        if (!tooLong && message.size() + bytes <= kPipeMessageLimit) {
            message.append(instance.chunk.data(), bytes);
        } else if (!tooLong) {
            tooLong = true;
            std::string().swap(message);
        }
        if (error == 0) {
            return tooLong ? Received::TooLong : Received::Message;
        }
    }
}

bool PipeServer::HandOver(const std::shared_ptr<Request>& request) {
    std::weak_ptr<char> alive = alive_;
    bool posted = false;
    try {
        posted = win::uitask::Post([this, alive, request] {
            if (!alive.expired()) {
                Answer(*request);
            }
        });
    } catch (...) {
    }
    if (!posted) {
        request->reply.line = "ERR the display is too busy";
        return true;
    }
    HANDLE events[2] = {request->answered.get(), stop_.get()};
    return WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0;
}

bool PipeServer::WriteReply(Instance& instance, const std::string& line) {
    OVERLAPPED overlapped{};
    overlapped.hEvent = instance.event.get();
    DWORD bytes = 0;
    DWORD error = 0;
    BOOL written =
        WriteFile(instance.pipe.get(), line.data(), static_cast<DWORD>(line.size()), nullptr, &overlapped);
    return Started(written) &&
           Finish(instance.pipe.get(), overlapped, stop_.get(), kWriteTimeoutMs, bytes, error) ==
               Wait::Done &&
           error == 0;
}

void PipeServer::AwaitHangUp(Instance& instance) {
    // The program ends once END's reply is delivered: the client is given the time to take it and hang up
    // (the read then fails), so the reply is not lost with the pipe.
    OVERLAPPED overlapped{};
    overlapped.hEvent = instance.event.get();
    DWORD bytes = 0;
    DWORD error = 0;
    BOOL read = ReadFile(instance.pipe.get(), instance.chunk.data(), kReadChunk, nullptr, &overlapped);
    if (Started(read)) {
        Finish(instance.pipe.get(), overlapped, stop_.get(), kEndReplyTimeoutMs - 500, bytes, error);
    }
}

void PipeServer::Answer(Request& request) {
    try {
        request.reply = AnswerPipeMessage(request.message, target_, status_);
    } catch (...) {
        request.reply = {"ERR the display could not run it"};
    }
    SetEvent(request.answered.get());
    if (request.reply.endsProgram) {
        // END has asked the program to end; the reply leaves first, or the wait gives up.
        WaitForSingleObject(request.delivered.get(), kEndReplyTimeoutMs);
    }
}

} // namespace plumwick
