#include "command/PipeSecurity.h"

namespace plumwick {

namespace {

// "S-1-" and dash-separated decimal numbers: anything else could smuggle ACEs into the descriptor.
bool IsSidString(std::string_view sid) {
    constexpr std::string_view kPrefix = "S-1-";
    if (sid.substr(0, kPrefix.size()) != kPrefix || sid.size() > 256) {
        return false;
    }
    std::string_view rest = sid.substr(kPrefix.size());
    bool digitBefore = false;
    for (char c : rest) {
        if (c >= '0' && c <= '9') {
            digitBefore = true;
        } else if (c == '-' && digitBefore) {
            digitBefore = false;
        } else {
            return false;
        }
    }
    return digitBefore;
}

} // namespace

std::optional<std::string> PipeSecurityDescriptor(std::string_view userSid) {
    if (!IsSidString(userSid)) {
        return std::nullopt;
    }
    // GRGW gives the user what a client needs (read, write, message mode) and the server needs to add
    // instances; SY and BA get everything, so a service or an administrator can always reach it.
    return "D:P(A;;GA;;;SY)(A;;GA;;;BA)(A;;GRGW;;;" + std::string(userSid) + ")S:(ML;;NWNR;;;ME)";
}

} // namespace plumwick
