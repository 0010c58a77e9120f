#pragma once
// Turning the ticked content files into message lines: decoding, line-break normalisation, splitting,
// and the check of the interval field.
#include "common/AnsiCodePage.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plumwick {

// A content file's bytes as text. A byte-order mark (UTF-8, UTF-16 LE or BE) decides the encoding and
// is not part of the text; without one, bytes that are valid UTF-8 are read as UTF-8 and anything else
// in the ANSI code page. An odd last byte of UTF-16 is dropped. The text ends at its first NUL: the
// message buffer was a text field that stops there, and cutting each file on its own keeps a NUL in one
// file from swallowing the files joined after it.
std::u16string DecodeContentBytes(std::string_view bytes, const AnsiCodePage& codePage);

// "双回车符分列": with DoubleBreak an empty line separates messages, so a message may span lines.
enum class SplitOption { SingleBreak, DoubleBreak };

// Every line end as CR LF: LF alone and CR alone end a line too (editors outside Notepad, Python and git
// write LF; old Mac files CR), and a CR LF stays one line end.
std::u16string UnifyLineBreaks(std::u16string_view text);

// The content buffer before normalising: each file with its line ends unified, a line break put between
// two files where the earlier one does not end with one (its last line must not run into the next file's
// first). Empty files add nothing.
std::u16string JoinContentFiles(const std::vector<std::u16string>& decodedFileTexts);

// Line breaks are CR LF exactly. SingleBreak: every run of two or more becomes one. DoubleBreak: every
// run of three or more becomes two. The same result as replacing pairs (triples) until none is left, in
// one pass.
std::u16string NormaliseLineBreaks(std::u16string_view buffer, SplitOption option);

// Cuts the normalised buffer at every separator (one CR LF, or two with DoubleBreak), left to right,
// keeping every piece, empty ones included. An empty buffer gives no lines.
std::vector<std::u16string> SplitMessages(std::u16string_view normalised, SplitOption option);

// As above, building at most maxLines lines; leftOut counts those past them.
std::vector<std::u16string> SplitMessages(std::u16string_view normalised, SplitOption option,
                                          std::size_t maxLines, std::size_t& leftOut);

// What one publication holds at most, all ticked files together: their bytes and the message lines.
// Each file is capped on its own as well; without a total, many large files would run out of memory.
inline constexpr std::size_t kPublishMaxBytes = std::size_t{64} << 20;
inline constexpr std::size_t kPublishMaxLines = 1'000'000;

// The bytes a publication has left to take, file by file.
class PublicationBudget {
  public:
    explicit PublicationBudget(std::size_t bytes = kPublishMaxBytes) : left_(bytes) {}
    // Takes a file of that size when it fits in what is left; false (and nothing taken) when it does not.
    bool Take(std::size_t bytes);

  private:
    std::size_t left_;
};

// Which files, of these sizes in list order, the publication takes: a file that would carry the total past
// the budget is left out whole (a cut file would end in half a line), and a later, smaller one may still fit.
std::vector<bool> FitPublicationBudget(const std::vector<std::size_t>& fileBytes, std::size_t budgetBytes);

// The notice naming what a publication left out: the files past the byte budget, the lines past the line
// limit.
std::u16string PublicationCutNotice(const std::vector<std::u16string>& filesLeftOut,
                                    std::size_t linesLeftOut);

// The content buffer a publish leaves: the files joined and normalised.
std::u16string BuildContentBuffer(const std::vector<std::u16string>& decodedFileTexts, SplitOption option);

// The message list of a publish: the content buffer split.
std::vector<std::u16string> BuildMessageList(const std::vector<std::u16string>& decodedFileTexts,
                                             SplitOption option);

// The files a message comes from, as indexes into the decoded file texts: a run, since files are joined
// in order. A message spans two files only with the blank-line split, when the first file's last
// paragraph runs into the next file's first. An empty message belongs to the file of the break before it.
struct MessageOrigin {
    std::size_t firstFile = 0;
    std::size_t lastFile = 0;
    bool operator==(const MessageOrigin&) const = default;
};

struct OriginatedMessages {
    std::vector<std::u16string> lines;  // as BuildMessageList gives them
    std::vector<MessageOrigin> origins; // one per line
    std::size_t leftOut = 0;            // lines past maxLines, counted and never built
};

OriginatedMessages BuildMessagesWithOrigins(const std::vector<std::u16string>& decodedFileTexts,
                                            SplitOption option,
                                            std::size_t maxLines = static_cast<std::size_t>(-1));

// The interval field: a number (blanks allowed) whose value rounded down lies in 0..60 seconds.
std::optional<int> ParseInterval(std::u16string_view field);

} // namespace plumwick
