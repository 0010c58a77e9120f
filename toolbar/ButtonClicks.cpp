#include "toolbar/ButtonClicks.h"

namespace plumwick {

bool SecondPressClicks(std::optional<ToolbarButton> first, ToolbarButton second) {
    if (second == ToolbarButton::Delay1 || second == ToolbarButton::Delay2) {
        return true;
    }
    return first != second;
}

} // namespace plumwick
