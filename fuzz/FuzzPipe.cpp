// The command pipe takes any bytes a client sends. Whatever they are, the reply is one line of printable
// ASCII, bytes that are not UTF-8 run nothing, and the status line stays printable ASCII JSON with the
// input as its lines.
#include "command/PipeProtocol.h"
#include "common/TextUtil.h"
#include "fuzz/FuzzSupport.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using namespace plumwick;

class CountingTarget : public CommandTarget {
  public:
    int calls = 0;
    void StartKaraokeTimer() override { ++calls; }
    void StopKaraokeTimer() override { ++calls; }
    void KaraokeDrawKRC(const std::u16string&, const std::u16string&, std::int16_t) override { ++calls; }
    void KaraokeDrawText(const std::u16string&) override { ++calls; }
    void DrawMainLine(const std::u16string&) override { ++calls; }
    void SetKaraokeText(const std::u16string&) override { ++calls; }
    void ClearKaraokeSurface() override { ++calls; }
    void ClearMainSurface() override { ++calls; }
    void HideToolbar() override { ++calls; }
    void CloseToolbar() override { ++calls; }
    void CloseCommandWindow() override { ++calls; }
    void LockDisplay(bool) override { ++calls; }
    void HoldLine(unsigned seconds) override {
        FUZZ_CHECK(seconds >= 1 && seconds <= kMaxHoldSeconds);
        ++calls;
    }
    void EndHold() override { ++calls; }
};

// The status shows the input wherever text goes.
class EchoStatus : public StatusSource {
  public:
    explicit EchoStatus(std::u16string text) : text_(std::move(text)) {}
    DisplayStatus Status() override {
        DisplayStatus status;
        status.mainLine = text_;
        status.karaokeLine = text_;
        status.fontName = text_;
        return status;
    }

  private:
    std::u16string text_;
};

// Printable ASCII only, with every string literal closed: quotes outside escapes pair up.
// Strict JSON parsers take a \\u escape of a surrogate only as half of a pair, high then low.
void CheckSurrogatesPaired(const std::string& line) {
    bool highOpen = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '\\') {
            FUZZ_CHECK(!highOpen);
            continue;
        }
        FUZZ_CHECK(i + 1 < line.size());
        if (line[++i] != 'u') {
            FUZZ_CHECK(!highOpen);
            continue; // a one-letter escape
        }
        FUZZ_CHECK(i + 4 < line.size());
        const unsigned unit = static_cast<unsigned>(std::stoul(line.substr(i + 1, 4), nullptr, 16));
        i += 4;
        const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
        FUZZ_CHECK(highOpen == low);
        highOpen = unit >= 0xD800 && unit <= 0xDBFF;
    }
    FUZZ_CHECK(!highOpen);
}

void CheckAsciiLine(const std::string& line, bool json) {
    bool inString = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        FUZZ_CHECK(c >= 0x20 && c < 0x7F);
        if (json && inString && c == '\\') {
            ++i; // the escaped character
            continue;
        }
        if (json && c == '"') {
            inString = !inString;
        }
    }
    FUZZ_CHECK(!inString);
    if (json) {
        CheckSurrogatesPaired(line);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CountingTarget target;
    EchoStatus status(fuzz::Utf16Units(data, size));
    const PipeReply reply = AnswerPipeMessage(bytes, target, status);
    const bool json = !reply.line.empty() && reply.line.front() == '{';
    CheckAsciiLine(reply.line, json);
    FUZZ_CHECK(json || reply.line == "OK" || reply.line.rfind("ERR ", 0) == 0);
    if (!IsValidUtf8(bytes)) {
        FUZZ_CHECK(target.calls == 0);
        FUZZ_CHECK(reply.line == "ERR message is not UTF-8");
    }
    FUZZ_CHECK(!reply.endsProgram || reply.line == "OK");
    // The status line over any text, lone surrogates and controls included.
    CheckAsciiLine(StatusJson(status.Status()), true);
    return 0;
}
