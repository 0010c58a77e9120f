// The display's remembered place is read back from the user's registry at every start, and the screen may
// have changed since. Whatever was stored and whatever the work area is, the place is a plausible number
// that reads back as itself, and the display goes where all of it shows.
#include "display/DisplayPlace.h"
#include "fuzz/FuzzSupport.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace plumwick;
    // Four 16-bit numbers (work area top and height, reach above and below), then the stored text.
    std::int16_t numbers[4] = {};
    const std::size_t head = std::min(size, sizeof numbers);
    std::memcpy(numbers, data, head);
    const std::u16string stored = fuzz::Utf16Units(data + head, size - head);

    const std::optional<int> top = DecodeDisplayTop(stored);
    if (top) {
        FUZZ_CHECK(DecodeDisplayTop(EncodeDisplayTop(*top)) == top);
    }
    const int workTop = numbers[0];
    const int workBottom = workTop + (numbers[1] < 0 ? -numbers[1] : numbers[1]);
    DisplayReach reach;
    reach.abovePx = numbers[2] < 0 ? -numbers[2] : numbers[2];
    reach.belowPx = numbers[3] < 0 ? -numbers[3] : numbers[3];
    const int wanted = top.value_or(workTop);
    const int placed = ClampMainTopPx(wanted, workTop, workBottom, reach);
    if (reach.abovePx + reach.belowPx <= workBottom - workTop) {
        FUZZ_CHECK(placed - reach.abovePx >= workTop && placed + reach.belowPx <= workBottom);
        if (wanted - reach.abovePx >= workTop && wanted + reach.belowPx <= workBottom) {
            FUZZ_CHECK(placed == wanted); // a place that fits is kept
        }
    } else {
        FUZZ_CHECK(placed - reach.abovePx == workTop);
    }
    return 0;
}
