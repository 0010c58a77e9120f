#pragma once
// The face the display draws with. The chosen font (the settings file's line 1, the font dialog) may not
// be installed, or may have been removed since: a face that draws nothing leaves the text windows all
// transparent, beyond the pointer's reach, and the operator with no way back to the font dialog. Such a
// name draws in another face instead; the settings keep the chosen name, so installing the font brings it
// back.
#include <string>
#include <string_view>
#include <vector>

namespace plumwick {

// The face of the shipped settings file.
inline constexpr std::u16string_view kShippedFontName = u"Microsoft YaHei";

// The faces tried in turn: the chosen one, the shipped one, then the system's default interface faces
// (most wanted first); each once, empty names left out.
std::vector<std::u16string> FontCandidates(std::u16string_view chosen,
                                           const std::vector<std::u16string>& systemFaces);

// The notice naming the missing font and the face drawing in its place.
std::u16string MissingFontNotice(std::u16string_view missing, std::u16string_view drawnWith);

} // namespace plumwick
