#include "store/StoredValue.h"

#include <algorithm>

namespace plumwick {

std::optional<std::u16string> ReadByPrecedence(const std::vector<const ValueSource*>& sources,
                                               const StoreKey& key) {
    std::vector<const ValueSource*> ordered;
    for (const ValueSource* source : sources) {
        if (source) {
            ordered.push_back(source);
        }
    }
    std::stable_sort(ordered.begin(), ordered.end(), [](const ValueSource* a, const ValueSource* b) {
        return static_cast<int>(a->Origin()) < static_cast<int>(b->Origin());
    });
    for (const ValueSource* source : ordered) {
        if (std::optional<std::u16string> value = source->Read(key)) {
            return value;
        }
    }
    return std::nullopt;
}

} // namespace plumwick
