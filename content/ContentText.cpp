#include "content/ContentText.h"

#include "common/Numeric.h"
#include "common/TextUtil.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <iterator>

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

bool PublicationBudget::Take(std::size_t bytes) {
    if (bytes > left_) {
        return false;
    }
    left_ -= bytes;
    return true;
}

std::vector<bool> FitPublicationBudget(const std::vector<std::size_t>& fileBytes, std::size_t budgetBytes) {
    PublicationBudget budget(budgetBytes);
    std::vector<bool> fits;
    fits.reserve(fileBytes.size());
    for (std::size_t bytes : fileBytes) {
        fits.push_back(budget.Take(bytes));
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

namespace {

// The joined buffer and, for every non-empty file, where its text begins in it.
struct JoinedFiles {
    std::u16string buffer;
    std::vector<std::pair<std::size_t, std::size_t>> starts; // (offset, file index), offsets rising
};

JoinedFiles JoinTracked(const std::vector<std::u16string>& decodedFileTexts) {
    JoinedFiles joined;
    std::size_t total = 0;
    for (const std::u16string& text : decodedFileTexts) {
        total += text.size() + kLineBreak.size();
    }
    joined.buffer.reserve(total);
    for (std::size_t i = 0; i < decodedFileTexts.size(); ++i) {
        const std::u16string& text = decodedFileTexts[i];
        if (text.empty()) {
            continue;
        }
        // Unified, a buffer that ends a line ends in LF.
        if (!joined.buffer.empty() && joined.buffer.back() != u'\n') {
            joined.buffer.append(kLineBreak);
        }
        joined.starts.emplace_back(joined.buffer.size(), i);
        joined.buffer += UnifyLineBreaks(text);
    }
    return joined;
}

} // namespace

std::u16string JoinContentFiles(const std::vector<std::u16string>& decodedFileTexts) {
    return JoinTracked(decodedFileTexts).buffer;
}

std::u16string BuildContentBuffer(const std::vector<std::u16string>& decodedFileTexts, SplitOption option) {
    return NormaliseLineBreaks(JoinContentFiles(decodedFileTexts), option);
}

std::vector<std::u16string> BuildMessageList(const std::vector<std::u16string>& decodedFileTexts,
                                             SplitOption option) {
    return BuildMessagesWithOrigins(decodedFileTexts, option).lines;
}

OriginatedMessages BuildMessagesWithOrigins(const std::vector<std::u16string>& decodedFileTexts,
                                            SplitOption option, std::size_t maxLines) {
    const JoinedFiles joined = JoinTracked(decodedFileTexts);
    const std::u16string_view buffer = joined.buffer;
    OriginatedMessages messages;
    if (buffer.empty()) {
        return messages;
    }
    // The file a buffer offset lies in; the break put between two files belongs to the earlier one.
    auto fileAt = [&](std::size_t offset) {
        auto after = std::upper_bound(joined.starts.begin(), joined.starts.end(), offset,
                                      [](std::size_t at, const auto& start) { return at < start.first; });
        return after == joined.starts.begin() ? joined.starts.front().second : std::prev(after)->second;
    };
    // Normalising and cutting in one pass: a run of line breaks as long as the separator or longer is
    // one separator (normalising shortens it to exactly that); a shorter run stays inside the message.
    const std::size_t keep = option == SplitOption::DoubleBreak ? 2 : 1;
    std::u16string piece;
    std::size_t pieceStart = 0; // buffer offset of the piece's first character
    auto endPiece = [&](std::size_t end) {
        if (messages.lines.size() == maxLines) {
            ++messages.leftOut;
            piece.clear();
            return;
        }
        const std::size_t first = end > pieceStart ? pieceStart : (pieceStart > 0 ? pieceStart - 1 : 0);
        const std::size_t last = end > pieceStart ? end - 1 : first;
        messages.origins.push_back({fileAt(first), fileAt(last)});
        messages.lines.push_back(std::move(piece));
        piece.clear();
    };
    std::size_t i = 0;
    while (i < buffer.size()) {
        if (buffer.substr(i, 2) != kLineBreak) {
            piece.push_back(buffer[i]);
            ++i;
            continue;
        }
        const std::size_t runStart = i;
        std::size_t run = 0;
        while (buffer.substr(i, 2) == kLineBreak) {
            ++run;
            i += 2;
        }
        if (run < keep) {
            piece.append(kLineBreak);
        } else {
            endPiece(runStart);
            pieceStart = i;
        }
    }
    endPiece(buffer.size());
    return messages;
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
