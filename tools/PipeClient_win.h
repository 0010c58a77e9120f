#pragma once
// The client side of the display's command pipe, "\\.\pipe\plumwick.<session id>": one message out, one
// ASCII reply line back.
#include "win32/Result_win.h"
#include "win32/Windows_win.h"

#include <functional>
#include <optional>
#include <string>

namespace plumwick {

enum class PipeOutcome {
    Answered,   // the reply is in `reply`
    Ended,      // END was sent and the display ended before its reply could be read
    NotRunning, // no such pipe: no display runs in that session
    Busy,       // every instance stayed taken for the whole wait
    NoAnswer,   // no reply within the time
    Failed,     // the pipe could not be used (access refused, ...): see `failure`
    Untrusted,  // the check before sending refused the pipe's server: see `untrusted`; nothing was sent
};

struct PipeResult {
    PipeOutcome outcome = PipeOutcome::Failed;
    std::string reply;     // the reply line without its line end
    win::Result failure;   // the failing call and the system's error text
    std::string untrusted; // why the pipe's server may not have the message (UTF-8)
};

// Looks at the connected pipe before anything is written: empty when the message may go, else why not.
using PipeVetting = std::function<std::optional<std::string>(HANDLE pipe)>;

// The session this process runs in (a service passes the console session's id instead).
unsigned long CurrentSessionId();

// Sends `message` (bytes sent as they are; the display takes UTF-8) and reads the reply. Waits up to
// waitMs for the pipe to appear and for a free instance, then up to answerMs for the reply.
// `vet`, when given, decides after the connection whether anything is sent.
PipeResult SendThroughPipe(unsigned long sessionId, const std::string& message, DWORD waitMs, DWORD answerMs,
                           const PipeVetting& vet = {});
// The same through the pipe of that name.
PipeResult SendToPipe(const std::wstring& pipeName, const std::string& message, DWORD waitMs, DWORD answerMs,
                      const PipeVetting& vet = {});

// Connects and sends nothing for up to holdMs; true when the display dropped the connection meanwhile.
// For the tests of a silent client.
bool DroppedWhileSilent(unsigned long sessionId, DWORD holdMs, PipeResult& result);

} // namespace plumwick
