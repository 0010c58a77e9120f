#pragma once
// One stored value: where it lives, the largest size it may have, and the sources it may come from in
// order of precedence. Values are plain text; the subsystem that owns a value turns it into its own type.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plumwick {

struct StoreKey {
    std::u16string_view section; // below the program's key
    std::u16string_view name;
    // Anything larger was not written by this program and reads as missing. A file list of a few
    // thousand paths is the largest the program writes.
    std::size_t maxBytes = 4 * 1024 * 1024;
};

// The interval between messages in whole seconds, as a decimal string.
inline constexpr StoreKey kIntervalKey{u"InfoDir", u"time1"};
// The last successful publication: the files joined with '|' and the split option.
inline constexpr StoreKey kPublicationFilesKey{u"LastPublication", u"Files"};
inline constexpr StoreKey kPublicationSplitKey{u"LastPublication", u"Split"};
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

// The value from the strongest source that holds it, whatever order `sources` is given in.
std::optional<std::u16string> ReadByPrecedence(const std::vector<const ValueSource*>& sources,
                                               const StoreKey& key);

} // namespace plumwick
