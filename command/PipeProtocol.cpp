#include "command/PipeProtocol.h"

#include "common/TextUtil.h"

namespace plumwick {

std::u16string PipeName(unsigned long sessionId) {
    std::string digits = std::to_string(sessionId);
    return u"\\\\.\\pipe\\plumwick." + std::u16string(digits.begin(), digits.end());
}

std::string TooLongReply() {
    return "ERR message longer than " + std::to_string(kPipeMessageLimit) + " bytes";
}

std::u16string PipeUnavailableNotice(std::u16string_view reason) {
    return u"命令管道无法开启：服务和其他会话中的程序无法控制显示屏，本桌面上的程序仍可使用命令框。\r\n"
           u"The command pipe cannot be opened: services and programs in other sessions cannot drive the "
           u"display; programs on this desktop still reach the command box.\r\n(" +
           std::u16string(reason) + u")";
}

std::optional<std::u16string> PipeRefusalLogText(std::string_view message, std::string_view replyLine) {
    constexpr std::string_view kRefused = "ERR ";
    if (replyLine.substr(0, kRefused.size()) != kRefused) {
        return std::nullopt;
    }
    // Three characters are at most twelve bytes; a cut sequence only spoils what lies past the verb.
    return RefusalLogText(u"pipe", Utf8ToUtf16(message.substr(0, 12)), replyLine.substr(kRefused.size()));
}

PipeReply AnswerPipeMessage(std::string_view message, CommandTarget& target, StatusSource& status) {
    if (!IsValidUtf8(message)) {
        return {"ERR message is not UTF-8"};
    }
    if (!message.empty() && message.front() == '?') {
        std::string_view query = message;
        while (!query.empty() && (query.back() == '\n' || query.back() == '\r')) {
            query.remove_suffix(1);
        }
        if (query == kStatusQuery) {
            return {StatusJson(status.Status())};
        }
        return {"ERR unknown query"};
    }
    const std::u16string command = Utf8ToUtf16(message);
    const Verb verb = ParseVerb(command);
    if (verb == Verb::HLD && !ParseHoldSeconds(command)) {
        // Checked before the run, which does nothing with it either.
        return {"ERR HLD takes a whole number of seconds from 1 to " + std::to_string(kMaxHoldSeconds)};
    }
    RunCommand(command, target);
    if (verb == Verb::None) {
        return {"ERR no command (the first three characters are no verb)"};
    }
    return {"OK", verb == Verb::END};
}

} // namespace plumwick
