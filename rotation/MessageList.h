#pragma once
// The published message list and the index of the message last shown, owned by the rotation.
#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace plumwick {

struct MessageList {
    std::vector<std::u16string> lines; // replaced as a whole by a publication
    double index = 0;                  // a whole number; kept in double precision as it always was

    // The line at the index (what a double click on the text copies); nothing when the index lies outside
    // the list, as after a publication of a shorter one.
    std::optional<std::u16string> Current() const {
        double at = std::floor(index);
        if (at >= 0 && at < static_cast<double>(lines.size())) {
            return lines[static_cast<std::size_t>(at)];
        }
        return std::nullopt;
    }
};

} // namespace plumwick
