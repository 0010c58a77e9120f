// plumwick-send's command line and input. The input cut at NUL bytes is the argument list (UTF-8); the
// whole input is also a --file (or standard input) and a --batch file.
#include "command/SendCommandLine.h"
#include "common/TextUtil.h"
#include "content/ContentText.h"
#include "fuzz/FuzzSupport.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace plumwick;
using namespace plumwick::send;

constexpr std::size_t kMaxArguments = 16;

void CheckArguments(std::string_view input) {
    std::vector<std::u16string> args;
    for (std::size_t start = 0; start <= input.size() && args.size() < kMaxArguments;) {
        std::size_t end = std::min(input.find('\0', start), input.size());
        args.push_back(Utf8ToUtf16(input.substr(start, end - start)));
        start = end + 1;
    }
    const ParseResult result = ParseArguments(args);
    const Request& request = result.request;
    if (!result.error.empty()) {
        // Nothing is sent on a usage error.
        FUZZ_CHECK(request.source == Source::None);
        return;
    }
    FUZZ_CHECK(request.help || request.version || request.source != Source::None);
    if (request.source == Source::Argument) {
        FUZZ_CHECK(std::find(args.begin(), args.end(), request.command) != args.end());
    }
    FUZZ_CHECK(request.waitSeconds >= 0 && request.waitSeconds <= 86400);
    FUZZ_CHECK(request.timeoutSeconds > 0 && request.timeoutSeconds <= 86400);
    // The same arguments parse the same way again.
    const ParseResult again = ParseArguments(args);
    FUZZ_CHECK(again.error.empty() && again.request.source == request.source &&
               again.request.command == request.command && again.request.path == request.path);
}

void CheckInput(std::string_view input, const AnsiCodePage& codePage) {
    const std::u16string decoded = DecodeContentBytes(input, codePage);
    const std::u16string command = DecodeCommandInput(input, codePage);
    // At most one line break is taken off the end, and only a line break.
    FUZZ_CHECK(decoded.starts_with(command));
    const std::u16string_view dropped = std::u16string_view(decoded).substr(command.size());
    FUZZ_CHECK(dropped.empty() || dropped == u"\r\n" || dropped == u"\n" || dropped == u"\r");
    if (!dropped.empty() && dropped != u"\r\n" && command.ends_with(u'\r')) {
        FUZZ_CHECK(dropped == u"\r"); // a CR LF is never split
    }

    const std::vector<std::u16string> batch = SplitBatch(input);
    const std::size_t nuls = static_cast<std::size_t>(std::count(input.begin(), input.end(), '\0'));
    FUZZ_CHECK(batch.size() == (input.empty() ? 0 : nuls + (input.back() == '\0' ? 0 : 1)));
    for (const std::u16string& one : batch) {
        FUZZ_CHECK(one.find(u'\0') == std::u16string::npos);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fuzz::FuzzCodePage codePage;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    CheckArguments(input);
    CheckInput(input, codePage);
    return 0;
}
