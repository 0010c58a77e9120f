#pragma once
// The named-pipe channel apart from the pipe: each message is one command in UTF-8 or a query (a message
// beginning with "?", which no verb does), and each gets one ASCII reply line, "OK" or "ERR " and a reason.
#include "command/DisplayStatus.h"
#include "command/Interpreter.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace plumwick {

// A longer message is read to its end and refused, never run.
inline constexpr std::size_t kPipeMessageLimit = std::size_t{1} << 20;
inline constexpr std::string_view kStatusQuery = "?status";
inline constexpr std::string_view kReplyLineEnd = "\r\n";

// "\\.\pipe\plumwick.<session id>": one pipe per session, so a service reaches the console's display by
// the console's session id.
std::u16string PipeName(unsigned long sessionId);

struct PipeReply {
    std::string line;         // without the line end
    bool endsProgram = false; // END: the reply must leave before the program ends
};

// Answers one whole message, on the user-interface thread: "?status" from `status`, any other query with
// an error, and everything else run through the interpreter exactly as the box runs it. A line end after
// a query is allowed, as scripts write one; a command keeps every character.
PipeReply AnswerPipeMessage(std::string_view message, CommandTarget& target, StatusSource& status);

// The log line for a reply that refused the message ("ERR ..."): the verb and the reason, never the
// message's text; nothing for a reply that took it.
std::optional<std::u16string> PipeRefusalLogText(std::string_view message, std::string_view replyLine);

// The reply to a message over kPipeMessageLimit bytes.
std::string TooLongReply();

// What the operator is told when the pipe cannot be served: senders on this desktop still reach the box,
// services and other sessions do not. `reason` names the failed call and the system's error text.
std::u16string PipeUnavailableNotice(std::u16string_view reason);

} // namespace plumwick
