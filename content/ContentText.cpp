#include "content/ContentText.h"

#include "common/Numeric.h"
#include "common/TextUtil.h"

#include <cmath>
#include <cstddef>

namespace plumwick {

namespace {
constexpr std::u16string_view kLineBreak = u"\r\n";
constexpr std::u16string_view kDoubleBreak = u"\r\n\r\n";
} // namespace

std::u16string DecodeContentBytes(std::string_view bytes, const AnsiCodePage& codePage) {
    std::u16string text = DecodeTextBytes(bytes, codePage);
    std::size_t nul = text.find(u'\0');
    if (nul != std::u16string::npos) {
        text.resize(nul);
    }
    return text;
}

std::u16string NormaliseLineBreaks(std::u16string_view buffer, SplitOption option) {
    // CR LF cannot overlap itself, and a replacement starts with CR and ends with LF like the run it
    // shortens, so repeated replacement never joins or splits runs: each maximal run of k line breaks
    // simply ends up as min(k, keep).
    const std::size_t keep = option == SplitOption::DoubleBreak ? 2 : 1;
    std::u16string out;
    out.reserve(buffer.size());
    std::size_t i = 0;
    while (i < buffer.size()) {
        if (buffer.substr(i, 2) != kLineBreak) {
            out.push_back(buffer[i]);
            ++i;
            continue;
        }
        std::size_t run = 0;
        while (buffer.substr(i, 2) == kLineBreak) {
            ++run;
            i += 2;
        }
        for (std::size_t k = 0; k < run && k < keep; ++k) {
            out.append(kLineBreak);
        }
    }
    return out;
}

std::vector<std::u16string> SplitMessages(std::u16string_view normalised, SplitOption option) {
    std::size_t leftOut = 0;
    return SplitMessages(normalised, option, static_cast<std::size_t>(-1), leftOut);
}

std::vector<std::u16string> SplitMessages(std::u16string_view normalised, SplitOption option,
                                          std::size_t maxLines, std::size_t& leftOut) {
    std::vector<std::u16string> lines;
    leftOut = 0;
    if (normalised.empty()) {
        return lines;
    }
    const std::u16string_view separator = option == SplitOption::DoubleBreak ? kDoubleBreak : kLineBreak;
    std::size_t start = 0;
    while (true) {
        std::size_t hit = normalised.find(separator, start);
        if (lines.size() == maxLines) {
            ++leftOut; // counted, never built
        } else {
            lines.emplace_back(
                normalised.substr(start, hit == std::u16string_view::npos ? hit : hit - start));
        }
        if (hit == std::u16string_view::npos) {
            return lines;
        }
        start = hit + separator.size();
    }
}

std::vector<bool> FitPublicationBudget(const std::vector<std::size_t>& fileBytes, std::size_t budgetBytes) {
    std::vector<bool> fits;
    fits.reserve(fileBytes.size());
    std::size_t used = 0;
    for (std::size_t bytes : fileBytes) {
        bool fit = bytes <= budgetBytes - used;
        fits.push_back(fit);
        if (fit) {
            used += bytes;
        }
    }
    return fits;
}

std::u16string PublicationCutNotice(const std::vector<std::u16string>& filesLeftOut,
                                    std::size_t linesLeftOut) {
    constexpr std::size_t kNamed = 5; // a notice is a few lines; the rest are counted
    std::u16string text = u"发布的内容超出上限（共 64 MiB、1000000 行），以下部分未显示：\r\n"
                          u"The publication is over the display's limit (64 MiB, 1000000 lines in all); "
                          u"left out:";
    for (std::size_t i = 0; i < filesLeftOut.size() && i < kNamed; ++i) {
        text += u"\r\n" + filesLeftOut[i];
    }
    if (filesLeftOut.size() > kNamed) {
        std::u16string more = Utf8ToUtf16(std::to_string(filesLeftOut.size() - kNamed));
        text += u"\r\n… " + more + u" 个文件 / more files";
    }
    if (linesLeftOut > 0) {
        std::u16string count = Utf8ToUtf16(std::to_string(linesLeftOut));
        text += u"\r\n" + count + u" 行 / lines after the first 1000000";
    }
    return text;
}

std::u16string UnifyLineBreaks(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c == u'\r') {
            out.append(kLineBreak);
            if (i + 1 < text.size() && text[i + 1] == u'\n') {
                ++i;
            }
        } else if (c == u'\n') {
            out.append(kLineBreak);
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::u16string JoinContentFiles(const std::vector<std::u16string>& decodedFileTexts) {
    std::u16string buffer;
    std::size_t total = 0;
    for (const std::u16string& text : decodedFileTexts) {
        total += text.size() + kLineBreak.size();
    }
    buffer.reserve(total);
    for (const std::u16string& text : decodedFileTexts) {
        if (text.empty()) {
            continue;
        }
        // Unified, a buffer that ends a line ends in LF.
        if (!buffer.empty() && buffer.back() != u'\n') {
            buffer.append(kLineBreak);
        }
        buffer += UnifyLineBreaks(text);
    }
    return buffer;
}

std::u16string BuildContentBuffer(const std::vector<std::u16string>& decodedFileTexts, SplitOption option) {
    return NormaliseLineBreaks(JoinContentFiles(decodedFileTexts), option);
}

std::vector<std::u16string> BuildMessageList(const std::vector<std::u16string>& decodedFileTexts,
                                             SplitOption option) {
    return SplitMessages(BuildContentBuffer(decodedFileTexts, option), option);
}

std::optional<int> ParseInterval(std::u16string_view field) {
    std::optional<double> value = ParseNumber(field);
    if (!value) {
        return std::nullopt;
    }
    double seconds = std::floor(*value);
    if (!(seconds >= 0.0 && seconds <= 60.0)) {
        return std::nullopt;
    }
    return static_cast<int>(seconds);
}

} // namespace plumwick
