#pragma once
// plumwick-send's command line and input decoding, kept apart from Windows so that scripts' contract
// (options, usage errors, exit codes, how --file and --stdin are read) is tested natively.
#include "common/AnsiCodePage.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace plumwick::send {

// The exit codes scripts test. 2 meant "busy" as well before 6 existed.
enum ExitCode : int {
    kExitHandled = 0,
    kExitNotRunning = 2,
    kExitInputUnreadable = 3,
    kExitNoAnswer = 4,
    kExitBatchFailed = 5,
    kExitBusy = 6,
    kExitRefused = 7,   // the display refused the command (ERR through the pipe, FALSE from the box)
    kExitUntrusted = 8, // the pipe's server or the box's window is not the session user's: nothing sent
    kExitUsage = 64,
    kExitScheduleErrors = 65, // --check-schedule found lines it cannot read
};

// A pipe reply that means the command was handled; any other ("ERR ...", or anything else) refused it.
bool IsHandledReply(std::string_view reply);
// --status's answer: one JSON object on one line.
bool IsStatusLine(std::string_view reply);

// Where the command comes from; exactly one source per run. Status asks for the status line instead.
// CheckSchedule reads a schedule file instead of sending anything; Board prints the table of a folder of
// status files.
enum class Source { None, Argument, File, Stdin, Batch, Status, CheckSchedule, Board };

struct Request {
    Source source = Source::None;
    std::u16string command; // Source::Argument
    std::u16string path;    // Source::File, Source::Batch, Source::CheckSchedule and Source::Board
    bool ansi = false;
    bool pipe = false;                    // through the command pipe instead of the box
    std::optional<unsigned long> session; // the pipe of that session (default: the sender's own)
    int holdSeconds = 0;                  // then "HLD" with these seconds (0: none)
    double waitSeconds = 0;
    double timeoutSeconds = 10;
    bool help = false;
    bool version = false;
};

// One option of the table the parser and --help are both made from. A new option is one row here and,
// when it carries something new, one field in Request.
struct OptionSpec {
    std::u16string_view name;      // "--wait"
    std::u16string_view shortName; // "-h", or empty
    std::string_view valueName;    // "SECONDS" for an option that takes a value; empty for a switch
    std::string_view help;         // one line for --help
    // Stores the option into the request (value empty for a switch). A message saying what is wrong with
    // the value, or nothing.
    std::optional<std::string> (*apply)(Request& request, std::u16string_view value);
};

std::span<const OptionSpec> Options();

struct ParseResult {
    Request request;
    // Empty when the arguments were good; else the usage error (UTF-8), naming the argument at fault.
    std::string error;
};

// The arguments after the program name. "--name value" and "--name=value" both work; "-" reads the
// command from standard input; "--" ends the options, so the next argument is the command even when it
// begins with "-". The command is one argument: anything left over is an error, never sent.
ParseResult ParseArguments(const std::vector<std::u16string>& args);

// --help's text (UTF-8): usage, the options from the table, and the exit codes.
std::string HelpText();
// --version's line, "plumwick-send <version>".
std::string VersionText();

// The contents of --file or --stdin as one command: a byte-order mark (UTF-8, UTF-16 LE or BE) decides
// the encoding, else valid UTF-8 is UTF-8 and anything else is in the ANSI code page, as the content
// files are read; the text stops at a NUL, and one trailing line break (CR LF, LF or CR) is dropped, since
// editors and `echo` add one.
std::u16string DecodeCommandInput(std::string_view bytes, const AnsiCodePage& codePage);

// What --check-schedule prints for a schedule file's bytes (one line per error, "line N: ...") and the
// exit code: kExitHandled when every line can be read, else kExitScheduleErrors.
struct ScheduleCheck {
    std::vector<std::string> lines;
    int exitCode = kExitHandled;
};
ScheduleCheck CheckScheduleFile(std::string_view bytes, const AnsiCodePage& codePage);

// The commands of a --batch file: UTF-8 text cut at NUL bytes. A NUL at the very end closes the last
// command rather than starting an empty one.
std::vector<std::u16string> SplitBatch(std::string_view bytes);

} // namespace plumwick::send
