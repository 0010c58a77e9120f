#include "command/ReceiverCheck.h"

namespace plumwick::send {

std::optional<std::string> ReceiverProblem(const ProcessIdentity& receiver, const SenderIdentity& sender,
                                           unsigned long targetSession,
                                           const std::optional<std::string>& sessionUser) {
    if (!receiver.known || receiver.userSid.empty()) {
        return "cannot be identified (" +
               (receiver.problem.empty() ? std::string("no user") : receiver.problem) + ")";
    }
    if (receiver.session != targetSession) {
        return "runs in session " + std::to_string(receiver.session) + ", not in session " +
               std::to_string(targetSession);
    }
    if (!sender.userSid.empty() && receiver.userSid == sender.userSid) {
        return std::nullopt;
    }
    if (sender.privileged) {
        if (!sessionUser) {
            return "runs as " + receiver.userSid + ", and the user of session " +
                   std::to_string(targetSession) + " cannot be learned";
        }
        if (receiver.userSid == *sessionUser) {
            return std::nullopt;
        }
        return "runs as " + receiver.userSid + ", not as the user of session " +
               std::to_string(targetSession) + " (" + *sessionUser + ")";
    }
    return "runs as another user (" + receiver.userSid + ")";
}

} // namespace plumwick::send
