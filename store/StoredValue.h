#pragma once
// One stored value: where it lives, the largest size it may have, and the sources it may come from in
// order of precedence. Values are plain text; the subsystem that owns a value turns it into its own type.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace plumwick {

struct StoreKey {
    std::u16string_view section; // below the program's key
    std::u16string_view name;
    // Anything larger was not written by this program and reads as missing. A file list of a few
    // thousand paths is the largest the program writes.
    std::size_t maxBytes = 4 * 1024 * 1024;
    // The name an administrator sets this value by (store/ManagedValues.h); empty when only the user's
    // own memory holds it.
    std::u16string_view managed;
};

inline constexpr std::size_t kStoreMaxBytes = 4 * 1024 * 1024;

// A value only an administrator, shop.ini or the program's default gives: no user's memory holds it.
constexpr StoreKey ManagedKey(std::u16string_view managed) {
    return StoreKey{{}, {}, kStoreMaxBytes, managed};
}

// The interval between messages in whole seconds, as a decimal string.
inline constexpr StoreKey kIntervalKey{u"InfoDir", u"time1", kStoreMaxBytes, u"Interval"};
// The last successful publication: the files joined with '|' and the split option.
inline constexpr StoreKey kPublicationFilesKey{u"LastPublication", u"Files", kStoreMaxBytes, u"Publication"};
inline constexpr StoreKey kPublicationSplitKey{u"LastPublication", u"Split", kStoreMaxBytes, u"Split"};
// Beside the remembered publication: whether its restore at start finished.
inline constexpr StoreKey kRestoreMarkKey{u"LastPublication", u"Restoring"};
// The display's vertical place after a drag, in screen pixels.
inline constexpr StoreKey kDisplayTopKey{u"DisplayPlace", u"Top"};

// Where a value can come from, strongest first. A value one source holds hides it in every weaker
// source; writes always go to the user's own memory.
enum class ValueOrigin { Policy, User, Machine, ShopIni, Default };

class ValueSource {
  public:
    virtual ~ValueSource() = default;
    virtual ValueOrigin Origin() const = 0;
    // The value, or nothing when this source does not hold it (or holds it with the wrong type or size).
    virtual std::optional<std::u16string> Read(const StoreKey& key) const = 0;
};

// A source holding values by their administrable name (StoreKey::managed): the policy and machine values
// once checked, shop.ini's, the defaults. Keys without such a name read as missing.
class ValueTable : public ValueSource {
  public:
    explicit ValueTable(ValueOrigin origin) : origin_(origin) {}
    ValueOrigin Origin() const override { return origin_; }
    std::optional<std::u16string> Read(const StoreKey& key) const override;
    void Set(std::u16string_view managed, std::u16string value);
    bool Holds(std::u16string_view managed) const;
    // The names held, in the order first set.
    std::vector<std::u16string> Names() const;
    bool operator==(const ValueTable&) const = default;

  private:
    ValueOrigin origin_;
    std::vector<std::pair<std::u16string, std::u16string>> values_;
};

// The value from the strongest source that holds it, whatever order `sources` is given in.
std::optional<std::u16string> ReadByPrecedence(const std::vector<const ValueSource*>& sources,
                                               const StoreKey& key);

} // namespace plumwick
