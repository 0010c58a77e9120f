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

namespace plumwick {

std::optional<std::u16string> ValueTable::Read(const StoreKey& key) const {
    if (key.managed.empty()) {
        return std::nullopt;
    }
    for (const auto& [name, value] : values_) {
        if (name == key.managed) {
            return value;
        }
    }
    return std::nullopt;
}

void ValueTable::Set(std::u16string_view managed, std::u16string value) {
    for (auto& [name, held] : values_) {
        if (name == managed) {
            held = std::move(value);
            return;
        }
    }
    values_.emplace_back(std::u16string(managed), std::move(value));
}

bool ValueTable::Holds(std::u16string_view managed) const {
    return Read(ManagedKey(managed)).has_value();
}

std::vector<std::u16string> ValueTable::Names() const {
    std::vector<std::u16string> names;
    for (const auto& entry : values_) {
        names.push_back(entry.first);
    }
    return names;
}

} // namespace plumwick
