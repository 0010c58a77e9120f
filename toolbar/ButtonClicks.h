#pragma once
// How the second press of a quick pair on the toolbar counts. The window system reports it as a double
// click rather than a press.
#include "toolbar/ButtonPictures.h"

#include <optional>

namespace plumwick {

// `first` is the button the pair's first press clicked (none when it clicked nothing), `second` the
// button under the second press. Previous and next step through the history once per press, so their
// second press is a click of its own; on the toggles a second click would undo the first, and on the
// other buttons it would only repeat it, so there the pair counts as one click. A second press on another
// button is that button's own click.
bool SecondPressClicks(std::optional<ToolbarButton> first, ToolbarButton second);

} // namespace plumwick
