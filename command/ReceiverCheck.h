#pragma once
// Whether plumwick-send may hand its command to the process that holds the pipe's name or the box's
// window. A name or a window caption can be taken by anyone; who runs the process cannot be forged. What
// this establishes is the user and the session, not the program: a process of the sender's own user
// could do anything the user can, so no check on the user's own desktop can tell such a decoy apart.
#include <optional>
#include <string>

namespace plumwick::send {

// A process as the sender could learn it from the system.
struct ProcessIdentity {
    bool known = false;  // its token could be read; else `problem` says why not
    std::string userSid; // "S-1-5-21-..."
    unsigned long session = 0;
    std::string problem; // the failing call and the system's text, when not known
};

struct SenderIdentity {
    std::string userSid;
    bool privileged = false; // runs as SYSTEM or as an elevated administrator
};

// The system account; a service's sender runs as it.
inline constexpr char kSystemSid[] = "S-1-5-18";

// Empty when `receiver` may have the command: it runs in `targetSession` under the sender's own user, or,
// when the sender is privileged (a service passing --session), under `sessionUser`, the user logged on
// to that session (nothing when that could not be learned). Otherwise why not, as a clause that follows
// the name of the process ("runs as another user (S-1-5-...)").
std::optional<std::string> ReceiverProblem(const ProcessIdentity& receiver, const SenderIdentity& sender,
                                           unsigned long targetSession,
                                           const std::optional<std::string>& sessionUser);

} // namespace plumwick::send
