// The show history's text form may come from anywhere a history was kept. Whatever it holds, restoring it
// and walking it with any mix of ticks and previous / next presses keeps the walk inside the history, the
// history bounded, and the text a faithful record of the entries.
#include "fuzz/FuzzSupport.h"
#include "rotation/ShowHistory.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

using namespace plumwick;

void CheckConsistent(const ShowHistory& history) {
    FUZZ_CHECK(history.Count() <= ShowHistory::kMaxEntries);
    FUZZ_CHECK(history.Count() == 0 ? history.Pos() == 0 : history.Pos() < history.Count());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first half is the stored text, the second the presses.
    const std::size_t half = size / 2 & ~std::size_t{1};
    ShowHistory history(fuzz::Utf16Units(data, half));
    CheckConsistent(history);
    for (std::size_t i = half; i < size; ++i) {
        const std::uint8_t press = data[i];
        switch (press % 4) {
        case 0: {
            // A restored text without its final comma takes the digits into its last field, as the
            // history's text always did; otherwise the index is a new entry of its own.
            const bool closed = history.Text().empty() || history.Text().back() == u',';
            history.Record(static_cast<long long>(press) - 8);
            if (closed) {
                FUZZ_CHECK(history.EntryAt(history.Pos()) == static_cast<long long>(press) - 8);
            }
            FUZZ_CHECK(history.Text().back() == u',');
            break;
        }
        case 1: {
            ShowHistory::WalkResult result = history.Previous();
            FUZZ_CHECK(!(result.atBoundary && result.lineToDraw));
            break;
        }
        case 2: {
            ShowHistory::WalkResult result = history.Next();
            FUZZ_CHECK(!(result.atBoundary && result.lineToDraw));
            break;
        }
        default:
            history.IndexOnNextBoundaryOk();
            break;
        }
        CheckConsistent(history);
    }
    // The text says what the entries are: a history restored from it holds the same ones.
    const ShowHistory restored(history.Text());
    FUZZ_CHECK(restored.Count() == history.Count());
    for (std::size_t i = 0; i < history.Count(); ++i) {
        FUZZ_CHECK(restored.EntryAt(i) == history.EntryAt(i));
    }
    return 0;
}
