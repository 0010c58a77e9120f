#include "command/PipeServer_win.h"

#include "command/PipeSecurity.h"
#include "win32/Strings_win.h"

#include <sddl.h>

#include <new>

namespace plumwick {

namespace {

constexpr UINT kRequestMessage = WM_APP + 19;
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
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return {};
    }
    std::string sid;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size > 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
        wchar_t* text = nullptr;
        if (ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) {
            for (const wchar_t* c = text; *c; ++c) {
                sid += static_cast<char>(*c < 0x80 ? *c : '?');
            }
            LocalFree(text);
        }
    }
    CloseHandle(token);
    return sid;
}

} // namespace

struct PipeServer::Request {
    std::string message;
    PipeReply reply;
    HANDLE answered = CreateEventW(nullptr, TRUE, FALSE, nullptr);  // the reply is set
    HANDLE delivered = CreateEventW(nullptr, TRUE, FALSE, nullptr); // the reply has left (END waits)
    ~Request() {
        for (HANDLE event : {answered, delivered}) {
            if (event) {
                CloseHandle(event);
            }
        }
    }
};

struct PipeServer::Instance {
    PipeServer* server = nullptr;
    HANDLE pipe = INVALID_HANDLE_VALUE;
    HANDLE event = nullptr; // the overlapped operations' event
    HANDLE thread = nullptr;
    std::vector<char> chunk = std::vector<char>(kReadChunk);
};

PipeServer::PipeServer(CommandTarget& target, StatusSource& status)
    : target_(target), status_(status), mailbox_(*this) {}

PipeServer::~PipeServer() {
    if (stop_) {
        SetEvent(stop_);
    }
    std::vector<HANDLE> threads;
    for (const auto& instance : instances_) {
        if (instance->thread) {
            threads.push_back(instance->thread);
        }
    }
    bool ended = threads.empty() || WaitForMultipleObjects(static_cast<DWORD>(threads.size()), threads.data(),
                                                           TRUE, 2000) != WAIT_TIMEOUT;
    if (ended) {
        // A worker still inside a wait would use these; then the process is ending anyway.
        for (const auto& instance : instances_) {
            for (HANDLE handle : {instance->thread, instance->event}) {
                if (handle) {
                    CloseHandle(handle);
                }
            }
            if (instance->pipe != INVALID_HANDLE_VALUE) {
                CloseHandle(instance->pipe);
            }
        }
        if (stop_) {
            CloseHandle(stop_);
        }
    }
    mailbox_.Destroy();
}

bool PipeServer::Fail(const wchar_t* call) {
    problem_ = win::LastErrorText(call);
    OutputDebugStringW((L"plumwick command pipe: " + problem_ + L"\n").c_str());
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
    if (!mailbox_.Create()) {
        return Fail(L"CreateWindowEx (message-only window)");
    }
    stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!stop_) {
        return Fail(L"CreateEvent");
    }
    std::optional<std::string> sddl = PipeSecurityDescriptor(UserSid());
    if (!sddl) {
        return Fail(L"GetTokenInformation (the user's SID)");
    }
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    std::wstring wideSddl(sddl->begin(), sddl->end());
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(wideSddl.c_str(), SDDL_REVISION_1, &descriptor,
                                                              nullptr)) {
        return Fail(L"ConvertStringSecurityDescriptorToSecurityDescriptor");
    }
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
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
                LocalFree(descriptor);
                return Fail(L"CreateNamedPipe");
            }
            break; // fewer instances still serve
        }
        auto instance = std::make_unique<Instance>();
        instance->server = this;
        instance->pipe = pipe;
        instance->event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        if (!instance->event) {
            CloseHandle(pipe);
            break;
        }
        instances_.push_back(std::move(instance));
    }
    LocalFree(descriptor);
    for (const auto& instance : instances_) {
        instance->thread = CreateThread(nullptr, 0, &PipeServer::WorkerMain, instance.get(), 0, nullptr);
        if (!instance->thread) {
            Fail(L"CreateThread");
        }
    }
    return instances_.front()->thread != nullptr;
}

DWORD WINAPI PipeServer::WorkerMain(LPVOID parameter) {
    auto& instance = *static_cast<Instance*>(parameter);
    instance.server->Serve(instance);
    return 0;
}

void PipeServer::Serve(Instance& instance) {
    while (WaitForSingleObject(stop_, 0) == WAIT_TIMEOUT) {
        OVERLAPPED overlapped{};
        overlapped.hEvent = instance.event;
        BOOL connected = ConnectNamedPipe(instance.pipe, &overlapped);
        DWORD error = connected ? 0 : GetLastError();
        if (!connected && error == ERROR_IO_PENDING) {
            DWORD bytes = 0;
            if (Finish(instance.pipe, overlapped, stop_, INFINITE, bytes, error) != Wait::Done) {
                return;
            }
        }
        if (error == 0 || error == ERROR_PIPE_CONNECTED) {
            ServeClient(instance);
        } else if (WaitForSingleObject(stop_, 100) != WAIT_TIMEOUT) {
            return; // a failed connection is tried again, without spinning
        }
        DisconnectNamedPipe(instance.pipe);
    }
}

void PipeServer::ServeClient(Instance& instance) {
    OVERLAPPED overlapped{};
    overlapped.hEvent = instance.event;
    DWORD bytes = 0;
    DWORD error = 0;
    while (true) {
        // One whole message; a longer one than the limit is read to its end and dropped.
        std::string message;
        bool tooLong = false;
        while (true) {
            BOOL read = ReadFile(instance.pipe, instance.chunk.data(), kReadChunk, nullptr, &overlapped);
            if (!Started(read) ||
                Finish(instance.pipe, overlapped, stop_, kIdleTimeoutMs, bytes, error) != Wait::Done) {
                return; // gone, silent for too long, or stopping
            }
            if (error != 0 && error != ERROR_MORE_DATA) {
                return;
            }
            if (!tooLong && message.size() + bytes <= kPipeMessageLimit) {
                message.append(instance.chunk.data(), bytes);
            } else if (!tooLong) {
                tooLong = true;
                std::string().swap(message);
            }
            if (error == 0) {
                break;
            }
        }

        auto request = std::make_shared<Request>();
        if (!request->answered || !request->delivered) {
            return;
        }
        if (tooLong) {
            request->reply.line = TooLongReply();
        } else {
            request->message = std::move(message);
            auto* posted = new (std::nothrow) std::shared_ptr<Request>(request);
            if (!posted ||
                !PostMessageW(mailbox_.Handle(), kRequestMessage, 0, reinterpret_cast<LPARAM>(posted))) {
                delete posted;
                request->reply.line = "ERR the display is too busy";
            } else {
                HANDLE events[2] = {request->answered, stop_};
                if (WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0) {
                    return;
                }
            }
        }

        std::string line = request->reply.line + std::string(kReplyLineEnd);
        BOOL written =
            WriteFile(instance.pipe, line.data(), static_cast<DWORD>(line.size()), nullptr, &overlapped);
        bool sent = Started(written) &&
                    Finish(instance.pipe, overlapped, stop_, kWriteTimeoutMs, bytes, error) == Wait::Done &&
                    error == 0;
        if (request->reply.endsProgram) {
            // The program ends once this is set: give the client the time to take its reply and hang up
            // (the read then fails), so the reply is not lost with the pipe.
            if (sent) {
                BOOL read = ReadFile(instance.pipe, instance.chunk.data(), kReadChunk, nullptr, &overlapped);
                if (Started(read)) {
                    Finish(instance.pipe, overlapped, stop_, kEndReplyTimeoutMs - 500, bytes, error);
                }
            }
            SetEvent(request->delivered);
            return;
        }
        if (!sent) {
            return;
        }
    }
}

bool PipeServer::Mailbox::Create() {
    win::WindowClass cls{L"PlumwickCommandPipe"};
    return win::Window::Create(cls, 0, 0, L"", 0, 0, 0, 0, HWND_MESSAGE);
}

LRESULT PipeServer::Mailbox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kRequestMessage) {
        return Default(message, wParam, lParam);
    }
    std::unique_ptr<std::shared_ptr<Request>> posted(reinterpret_cast<std::shared_ptr<Request>*>(lParam));
    server_.Answer(**posted);
    return 0;
}

void PipeServer::Answer(Request& request) {
    try {
        request.reply = AnswerPipeMessage(request.message, target_, status_);
    } catch (...) {
        request.reply = {"ERR the display could not run it"};
    }
    SetEvent(request.answered);
    if (request.reply.endsProgram) {
        // END has asked the program to end; the reply leaves first, or the wait gives up.
        WaitForSingleObject(request.delivered, kEndReplyTimeoutMs);
    }
}

} // namespace plumwick
