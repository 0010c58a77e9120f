// Content files are whatever the operator drops into the folder. The input holds one or more files,
// separated by two 0x1E bytes; each is decoded, and the files are joined and split with both options.
#include "common/Numeric.h"
#include "common/TextUtil.h"
#include "content/ContentText.h"
#include "fuzz/FuzzSupport.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace plumwick;
using fuzz::FuzzCodePage;

constexpr std::string_view kFileSeparator = "\x1E\x1E";
constexpr std::size_t kMaxFiles = 8;
constexpr std::u16string_view kLineBreak = u"\r\n";

std::u16string Repeat(std::u16string_view text, std::size_t count) {
    std::u16string out;
    for (std::size_t i = 0; i < count; ++i) {
        out += text;
    }
    return out;
}

// Normalisation by repeated replacement, which is how the rule is stated.
std::u16string NormaliseByReplacing(std::u16string_view buffer, SplitOption option) {
    const std::size_t keep = option == SplitOption::DoubleBreak ? 2 : 1;
    const std::u16string from = Repeat(kLineBreak, keep + 1);
    const std::u16string to = Repeat(kLineBreak, keep);
    std::u16string text(buffer);
    while (text.find(from) != std::u16string::npos) {
        text = ReplaceAll(text, from, to);
    }
    return text;
}

void CheckDecoded(std::string_view bytes, const std::u16string& text) {
    FUZZ_CHECK(text.find(u'\0') == std::u16string::npos);
    FUZZ_CHECK(text.size() <= bytes.size());
    // Text read as UTF-8 (behind its mark or without one) is the bytes up to the first NUL. A UTF-16
    // mark is never valid UTF-8, so those files drop out here.
    std::string_view body = bytes;
    if (body.starts_with("\xEF\xBB\xBF")) {
        body.remove_prefix(3);
    }
    if (IsValidUtf8(body)) {
        FUZZ_CHECK(Utf16ToUtf8(text) == body.substr(0, body.find('\0')));
    }
}

void CheckInterval(std::u16string_view field) {
    const std::optional<int> seconds = ParseInterval(field);
    const std::optional<double> number = ParseNumber(field);
    if (!seconds) {
        FUZZ_CHECK(!number || !(std::floor(*number) >= 0.0 && std::floor(*number) <= 60.0));
        return;
    }
    FUZZ_CHECK(*seconds >= 0 && *seconds <= 60);
    FUZZ_CHECK(number && static_cast<double>(*seconds) == std::floor(*number));
}

void CheckMessages(const std::vector<std::u16string>& texts, const std::u16string& joined,
                   SplitOption option) {
    const std::u16string normalised = NormaliseLineBreaks(joined, option);
    FUZZ_CHECK(NormaliseLineBreaks(normalised, option) == normalised);
    FUZZ_CHECK(normalised.size() <= joined.size());
    FUZZ_CHECK(normalised == NormaliseByReplacing(joined, option));

    const std::u16string separator = option == SplitOption::DoubleBreak ? Repeat(kLineBreak, 2) : u"\r\n";
    const std::vector<std::u16string> lines = BuildMessageList(texts, option);
    FUZZ_CHECK(lines == SplitMessages(normalised, option));

    // Each message comes from a run of files, in order, and a file that added nothing is no message's.
    const OriginatedMessages originated = BuildMessagesWithOrigins(texts, option);
    FUZZ_CHECK(originated.lines == lines && originated.origins.size() == lines.size());
    for (std::size_t i = 0; i < originated.origins.size(); ++i) {
        const MessageOrigin& origin = originated.origins[i];
        FUZZ_CHECK(origin.firstFile <= origin.lastFile && origin.lastFile < texts.size());
        FUZZ_CHECK(!texts[origin.firstFile].empty() && !texts[origin.lastFile].empty());
        FUZZ_CHECK(i == 0 || originated.origins[i - 1].lastFile <= origin.firstFile);
    }
    FUZZ_CHECK(lines.empty() == normalised.empty());

    // The pieces hold no separator and, joined with it again, give the normalised buffer back.
    std::u16string rejoined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        FUZZ_CHECK(lines[i].find(separator) == std::u16string::npos);
        if (i > 0) {
            rejoined += separator;
        }
        rejoined += lines[i];
    }
    FUZZ_CHECK(rejoined == normalised);

    // Pasted into the interval box, a message must not upset its check either.
    for (std::size_t i = 0; i < lines.size() && i < 4; ++i) {
        CheckInterval(lines[i]);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const FuzzCodePage codePage;
    std::string_view input(reinterpret_cast<const char*>(data), size);

    std::vector<std::u16string> texts;
    while (texts.size() < kMaxFiles) {
        const std::size_t cut = texts.size() + 1 < kMaxFiles ? input.find(kFileSeparator) : input.npos;
        const std::string_view file = input.substr(0, cut);
        std::u16string text = DecodeContentBytes(file, codePage);
        CheckDecoded(file, text);
        CheckInterval(text);
        texts.push_back(std::move(text));
        if (cut == std::string_view::npos) {
            break;
        }
        input.remove_prefix(cut + kFileSeparator.size());
    }

    const std::u16string joined = JoinContentFiles(texts);
    // Only CR LF is left, and every non-empty file's text is in it in order.
    for (std::size_t i = 0; i < joined.size(); ++i) {
        FUZZ_CHECK((joined[i] == u'\r') == (i + 1 < joined.size() && joined[i + 1] == u'\n'));
        FUZZ_CHECK(joined[i] != u'\n' || (i > 0 && joined[i - 1] == u'\r'));
    }
    CheckMessages(texts, joined, SplitOption::SingleBreak);
    CheckMessages(texts, joined, SplitOption::DoubleBreak);
    return 0;
}
