#pragma once
// Who may open the command pipe, as an SDDL security descriptor. Only the text is built here; the Win32
// side turns it into a descriptor. Wine runs every process as one user at one integrity level, so these
// rules are checked by the unit tests, not end to end.
#include <optional>
#include <string>
#include <string_view>

namespace plumwick {

// The DACL, protected from inheritance, admits the given user (the session's interactive user, whose
// token the display runs with) to read and write, and SYSTEM and the Administrators group fully; nobody
// else, so no anonymous, network or other users' clients. The mandatory label refuses reading and
// writing to every client below medium integrity (sandboxed and low-integrity processes).
// Nothing when userSid is no SID in its "S-1-..." string form.
std::optional<std::string> PipeSecurityDescriptor(std::string_view userSid);

} // namespace plumwick
