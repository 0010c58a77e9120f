#include "command/SendCommandLine.h"

#include "common/Numeric.h"
#include "common/TextUtil.h"
#include "content/ContentText.h"
#include "content/Schedule.h"

#include <array>
#include <cmath>

namespace plumwick::send {

namespace {

// A day: long enough for any wait a script means, short enough for a millisecond count in 32 bits.
constexpr double kMaxSeconds = 86400;

std::string Quoted(std::u16string_view text) {
    std::string quoted(1, '\'');
    quoted += Utf16ToUtf8(text);
    quoted += '\'';
    return quoted;
}

std::optional<std::string> Seconds(std::u16string_view value, double& out, bool zeroAllowed) {
    std::optional<double> seconds = ParseNumber(value);
    if (!seconds || !std::isfinite(*seconds) || *seconds < 0 || (*seconds == 0 && !zeroAllowed) ||
        *seconds > kMaxSeconds) {
        return Quoted(value) + " is not a number of seconds" + (zeroAllowed ? " from 0" : " above 0") +
               " to 86400";
    }
    out = *seconds;
    return std::nullopt;
}

// A whole number from `low` to `high`.
std::optional<std::string> Whole(std::u16string_view value, double low, double high, const char* what,
                                 double& out) {
    std::optional<double> number = ParseNumber(value);
    if (!number || *number != std::floor(*number) || *number < low || *number > high) {
        return Quoted(value) + " is not " + what;
    }
    out = *number;
    return std::nullopt;
}

std::optional<std::string> SetSource(Request& request, Source source, std::u16string_view value) {
    if (request.source != Source::None) {
        return std::string("only one command may be given");
    }
    request.source = source;
    (source == Source::Argument ? request.command : request.path) = std::u16string(value);
    return std::nullopt;
}

constexpr std::array kOptions{
    OptionSpec{u"--help", u"-h", "", "show this help and exit",
               [](Request& r, std::u16string_view) -> std::optional<std::string> {
                   r.help = true;
                   return std::nullopt;
               }},
    OptionSpec{u"--version", u"", "", "show the version and exit",
               [](Request& r, std::u16string_view) -> std::optional<std::string> {
                   r.version = true;
                   return std::nullopt;
               }},
    OptionSpec{u"--ansi", u"", "",
               "send in the system's ANSI code page, as older senders do (default: Unicode)",
               [](Request& r, std::u16string_view) -> std::optional<std::string> {
                   r.ansi = true;
                   return std::nullopt;
               }},
    OptionSpec{u"--file", u"", "FILE",
               "send the contents of FILE (UTF-8 with or without BOM, UTF-16 with BOM, or ANSI)",
               [](Request& r, std::u16string_view v) { return SetSource(r, Source::File, v); }},
    OptionSpec{u"--stdin", u"", "", "send standard input, read as --file reads FILE (also: -)",
               [](Request& r, std::u16string_view) { return SetSource(r, Source::Stdin, {}); }},
    OptionSpec{u"--batch", u"", "FILE",
               "send each command of FILE (UTF-8, NUL-separated) once the box is idle again; prints \"sent "
               "N, failed M\"",
               [](Request& r, std::u16string_view v) { return SetSource(r, Source::Batch, v); }},
    OptionSpec{
        u"--check-schedule", u"", "FILE",
        "check the schedule file FILE (schedule.ini) and print each line it cannot read; sends nothing",
        [](Request& r, std::u16string_view v) { return SetSource(r, Source::CheckSchedule, v); }},
    OptionSpec{u"--board", u"", "FOLDER",
               "print one table of the status files in FOLDER (the displays' StatusFolder), marking screens "
               "whose file is older than five minutes; sends nothing",
               [](Request& r, std::u16string_view v) { return SetSource(r, Source::Board, v); }},
    OptionSpec{u"--status", u"", "", "print the display's status line (JSON), through the command pipe",
               [](Request& r, std::u16string_view) { return SetSource(r, Source::Status, {}); }},
    OptionSpec{
        u"--pipe", u"", "",
        "send through the display's command pipe instead of the box (for services and other sessions); "
        "an ERR reply is printed on standard error",
        [](Request& r, std::u16string_view) -> std::optional<std::string> {
            r.pipe = true;
            return std::nullopt;
        }},
    OptionSpec{u"--session", u"", "N", "use the command pipe of session N (default: this session's)",
               [](Request& r, std::u16string_view v) -> std::optional<std::string> {
                   double id = 0;
                   if (auto error = Whole(v, 0, 4294967295.0, "a session id", id)) {
                       return error;
                   }
                   r.session = static_cast<unsigned long>(id);
                   r.pipe = true;
                   return std::nullopt;
               }},
    OptionSpec{u"--hold", u"", "SECONDS",
               "after the command send HLD SECONDS: the rotation leaves the line alone (1 to 3600)",
               [](Request& r, std::u16string_view v) -> std::optional<std::string> {
                   double seconds = 0;
                   if (auto error = Whole(v, 1, 3600, "a whole number of seconds from 1 to 3600", seconds)) {
                       return error;
                   }
                   r.holdSeconds = static_cast<int>(seconds);
                   return std::nullopt;
               }},
    OptionSpec{u"--wait", u"", "SECONDS",
               "wait up to SECONDS for the display to start or become idle (default 0)",
               [](Request& r, std::u16string_view v) { return Seconds(v, r.waitSeconds, true); }},
    OptionSpec{u"--timeout", u"", "SECONDS",
               "with --batch: wait up to SECONDS for the box and for each answer (default 10)",
               [](Request& r, std::u16string_view v) { return Seconds(v, r.timeoutSeconds, false); }},
};

const OptionSpec* FindOption(std::u16string_view name) {
    for (const OptionSpec& option : kOptions) {
        if (name == option.name || (!option.shortName.empty() && name == option.shortName)) {
            return &option;
        }
    }
    return nullptr;
}

ParseResult Error(std::string message) {
    return ParseResult{Request{}, std::move(message)};
}

} // namespace

std::span<const OptionSpec> Options() {
    return kOptions;
}

ParseResult ParseArguments(const std::vector<std::u16string>& args) {
    Request request;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::u16string_view arg = args[i];
        if (!optionsEnded && arg == u"--") {
            optionsEnded = true;
            continue;
        }
        bool looksLikeOption = !optionsEnded && arg.size() > 1 && arg[0] == u'-';
        if (!looksLikeOption) {
            if (std::optional<std::string> error =
                    SetSource(request, arg == u"-" && !optionsEnded ? Source::Stdin : Source::Argument,
                              arg == u"-" && !optionsEnded ? std::u16string_view() : arg)) {
                return Error("unexpected argument " + Quoted(arg) + ": " + *error +
                             " (quote a command that holds blanks)");
            }
            continue;
        }
        std::u16string_view name = arg;
        std::optional<std::u16string_view> inlineValue;
        if (std::size_t equals = arg.find(u'=');
            arg.starts_with(u"--") && equals != std::u16string_view::npos) {
            name = arg.substr(0, equals);
            inlineValue = arg.substr(equals + 1);
        }
        const OptionSpec* option = FindOption(name);
        if (!option) {
            return Error("unknown option " + Quoted(name));
        }
        std::u16string_view value;
        if (option->valueName.empty()) {
            if (inlineValue) {
                return Error("option " + Quoted(name) + " takes no value");
            }
        } else if (inlineValue) {
            value = *inlineValue;
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            return Error("option " + Quoted(name) + " needs a value (" + std::string(option->valueName) +
                         ")");
        }
        if (std::optional<std::string> error = option->apply(request, value)) {
            return Error("option " + Quoted(name) + ": " + *error);
        }
    }
    if (request.help || request.version) {
        return ParseResult{request, {}};
    }
    if (request.source == Source::None) {
        return Error("no command given");
    }
    if (request.holdSeconds > 0 &&
        (request.source == Source::Batch || request.source == Source::Status ||
         request.source == Source::CheckSchedule || request.source == Source::Board)) {
        return Error("option '--hold' needs a single command");
    }
    return ParseResult{request, {}};
}

std::string HelpText() {
    std::string text = "usage: plumwick-send [OPTIONS] COMMAND\n"
                       "       plumwick-send [OPTIONS] (--file FILE | --stdin | - | --batch FILE)\n"
                       "       plumwick-send [--session N] --status\n"
                       "       plumwick-send --check-schedule FILE\n"
                       "       plumwick-send --board FOLDER\n"
                       "\n"
                       "Writes a command into the running display's command box (with --pipe: its command\n"
                       "pipe), as any program may.\n"
                       "The command is one argument; \"--\" ends the options.\n"
                       "\n"
                       "options:\n";
    for (const OptionSpec& option : kOptions) {
        text += "  ";
        if (!option.shortName.empty()) {
            text.append(Utf16ToUtf8(option.shortName)).append(", ");
        }
        text += Utf16ToUtf8(option.name);
        if (!option.valueName.empty()) {
            text.append(" ").append(option.valueName);
        }
        text.append("\n      ").append(option.help).append("\n");
    }
    text += "\n"
            "exit codes:\n"
            "  0   handled (with --batch: every command; with --status: the line is printed)\n"
            "  2   the display is not running (through the pipe: in that session)\n"
            "  3   the input (FILE, FOLDER or standard input) cannot be read\n"
            "  4   the display did not answer\n"
            "  5   with --batch: some commands failed\n"
            "  6   the display is busy: its command box is not idle, or no pipe instance came free (earlier\n"
            "      builds gave 2)\n"
            "  7   the display refused the command (the box answered FALSE: too long or busy; the pipe\n"
            "      answered ERR, printed on standard error; --status: no status line came back); with\n"
            "      --hold, HLD is sent only after the command's OK\n"
            "  8   nothing was sent: the pipe's server or the box's window belongs to a process of another\n"
            "      user or session\n"
            "  64  usage error\n"
            "  65  with --check-schedule: the file has lines that cannot be read\n";
    return text;
}

bool IsHandledReply(std::string_view reply) {
    return reply == "OK";
}

bool IsStatusLine(std::string_view reply) {
    return reply.size() >= 2 && reply.front() == '{' && reply.back() == '}' &&
           reply.find_first_of("\r\n") == std::string_view::npos;
}

ScheduleCheck CheckScheduleFile(std::string_view bytes, const AnsiCodePage& codePage) {
    ScheduleCheck check;
    for (const ScheduleError& error : ParseScheduleFile(bytes, codePage).errors) {
        check.lines.push_back(FormatScheduleError(error));
    }
    check.exitCode = check.lines.empty() ? kExitHandled : kExitScheduleErrors;
    return check;
}

std::string VersionText() {
    return std::string("plumwick-send ") + PLUMWICK_VERSION;
}

std::u16string DecodeCommandInput(std::string_view bytes, const AnsiCodePage& codePage) {
    std::u16string text = DecodeContentBytes(bytes, codePage);
    if (text.ends_with(u"\r\n")) {
        text.resize(text.size() - 2);
    } else if (text.ends_with(u'\n') || text.ends_with(u'\r')) {
        text.pop_back();
    }
    return text;
}

std::vector<std::u16string> SplitBatch(std::string_view bytes) {
    std::vector<std::u16string> commands;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\0', start);
        if (end == std::string_view::npos) {
            end = bytes.size();
        }
        commands.push_back(Utf8ToUtf16(bytes.substr(start, end - start)));
        start = end + 1;
    }
    return commands;
}

} // namespace plumwick::send
