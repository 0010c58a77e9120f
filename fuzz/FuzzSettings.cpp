// The settings file may have been edited by hand or damaged. Whatever it holds, reading it must give
// usable settings, and writing those and reading them again must give them back.
#include "common/AnsiCodePage.h"
#include "common/Numeric.h"
#include "fuzz/FuzzSupport.h"
#include "store/SettingsFile.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace {

using namespace plumwick;
using fuzz::FuzzCodePage;

bool SameSettings(const Settings& a, const Settings& b) {
    return a.fontName == b.fontName && a.fontSize == b.fontSize && a.colorScheme == b.colorScheme;
}

// Writing usable settings and reading them again must give them back. The size line holds at most 7
// significant digits, so a size read from a longer number (" 0.515555555 ") comes back as the single
// nearest to its 7-digit form; everything else comes back unchanged, and from then on the file stays
// as it is.
void CheckRoundTrip(const Settings& settings, const AnsiCodePage& codePage) {
    const std::string written = FormatSettings(settings, codePage);
    const SettingsReadResult read = ParseSettings(written, codePage);
    FUZZ_CHECK(read.wellFormed);
    const std::optional<double> sevenDigits = ParseNumber(FormatFontSize(settings.fontSize));
    FUZZ_CHECK(sevenDigits.has_value());
    Settings expected = settings;
    expected.fontSize = static_cast<float>(*sevenDigits);
    expected.colorScheme = EffectiveSavedScheme(settings.colorScheme);
    FUZZ_CHECK(std::fabs(expected.fontSize - settings.fontSize) <= 6e-7f * settings.fontSize + 1e-44f);
    if (!SameSettings(read.settings, expected)) {
        std::fprintf(stderr, "round trip changed the settings: size %.9g -> %.9g, scheme %d -> %d, name %s\n",
                     static_cast<double>(settings.fontSize), static_cast<double>(read.settings.fontSize),
                     settings.colorScheme, read.settings.colorScheme,
                     settings.fontName == read.settings.fontName ? "kept" : "changed");
        std::abort();
    }
    FUZZ_CHECK(FormatSettings(read.settings, codePage) == written);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const FuzzCodePage codePage;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const SettingsReadResult first = ParseSettings(bytes, codePage);
    FUZZ_CHECK(first.wellFormed == first.problem.empty());
    const Settings& read = first.settings;
    // Whatever could not be read has its default, so the size is always one that can be drawn.
    FUZZ_CHECK(read.fontSize >= kMinFontSize && read.fontSize <= kMaxFontSize);
    FUZZ_CHECK(read.fontName.find_first_of(u"\r\n") == std::u16string::npos);

    // The rewrite after a read, damaged input or not.
    CheckRoundTrip(read, codePage);

    // A name as the font dialog may hand it over: the first line's bytes in the code page, without
    // the reader's look at a byte-order mark.
    Settings chosen = read;
    chosen.fontName = codePage.ToUtf16(bytes.substr(0, bytes.find_first_of("\r\n")));
    CheckRoundTrip(chosen, codePage);
    return 0;
}
