#include "display/FontChoice.h"

#include <algorithm>

namespace plumwick {

std::vector<std::u16string> FontCandidates(std::u16string_view chosen,
                                           const std::vector<std::u16string>& systemFaces) {
    std::vector<std::u16string> candidates;
    auto add = [&](std::u16string_view face) {
        if (!face.empty() && std::find(candidates.begin(), candidates.end(), face) == candidates.end()) {
            candidates.emplace_back(face);
        }
    };
    add(chosen);
    add(kShippedFontName);
    for (const std::u16string& face : systemFaces) {
        add(face);
    }
    return candidates;
}

std::u16string MissingFontNotice(std::u16string_view missing, std::u16string_view drawnWith) {
    std::u16string name = missing.empty() ? u"(empty)" : std::u16string(missing);
    return u"字体 “" + name + u"” 没有安装，现以 “" + std::u16string(drawnWith) +
           u"” 显示。安装该字体后即恢复，或在工具栏中选择其他字体。\r\nThe font \"" + name +
           u"\" is not installed; the display draws in \"" + std::u16string(drawnWith) +
           u"\" until it is, or until another font is chosen in the toolbar.";
}

} // namespace plumwick
