#pragma once
// The command pipe, "\\.\pipe\plumwick.<session id>", for the senders window messages cannot reach: a
// service, another session, a process that UIPI keeps from the desktop. Worker threads own the pipe's
// instances and do every wait on a client, each with a bounded buffer and time-outs. A whole message goes
// through the program's task queue (win32/UiTask_win.h), so it is answered on the user-interface thread, in
// the order the messages arrive there, through the same interpreter as the box; that thread never waits on
// a client.
#include "command/DisplayStatus.h"
#include "command/Interpreter.h"
#include "command/PipeProtocol.h"
#include "win32/Handles_win.h"
#include "win32/Result_win.h"

#include <memory>
#include <string>
#include <vector>

namespace plumwick {

class PipeServer {
  public:
    // Clients served at once; more wait in the system's queue (WaitNamedPipe) for a free instance.
    static constexpr int kInstances = 4;
    // A client that sends nothing, or stops in the middle of a message, for this long is dropped.
    static constexpr DWORD kIdleTimeoutMs = 5000;
    // A client that does not take its reply within this long is dropped.
    static constexpr DWORD kWriteTimeoutMs = 5000;
    // How long END waits for its reply to be taken before the program ends.
    static constexpr DWORD kEndReplyTimeoutMs = 1500;

    PipeServer(CommandTarget& target, StatusSource& status);
    ~PipeServer();
    PipeServer(const PipeServer&) = delete;
    PipeServer& operator=(const PipeServer&) = delete;

    // On the user-interface thread: serves this process's session. False when the pipe cannot be served
    // (another process holds the name, the security descriptor cannot be built ...); Outcome() then names
    // the call and the system's error text.
    bool Start();
    // Serves the pipe of that name instead (tests).
    bool StartAs(const std::u16string& pipeName);
    const win::Result& Outcome() const { return outcome_; }

  private:
    struct Request;
    struct Instance;

    static DWORD WINAPI WorkerMain(LPVOID instance);
    void Serve(Instance& instance);
    void ServeClient(Instance& instance);
    enum class Received { Message, TooLong, Gone };
    // One whole message; a longer one than the limit is read to its end and dropped. Gone: the client
    // hung up or was silent for too long, or the server is stopping.
    Received ReadMessage(Instance& instance, std::string& message);
    // Has the user-interface thread answer the request (a full queue answers at once); false when the
    // server stops first.
    bool HandOver(const std::shared_ptr<Request>& request);
    // True when the client took the reply in time.
    bool WriteReply(Instance& instance, const std::string& line);
    void AwaitHangUp(Instance& instance);
    void Answer(Request& request);
    bool Fail(const wchar_t* call);

    CommandTarget& target_;
    StatusSource& status_;
    // Held by the user-interface thread's tasks: a task that runs after the server has gone finds it
    // expired and answers nothing.
    std::shared_ptr<char> alive_ = std::make_shared<char>();
    win::UniqueKernelHandle stop_;
    std::vector<std::unique_ptr<Instance>> instances_;
    win::Result outcome_;
};

} // namespace plumwick
