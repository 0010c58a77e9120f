#pragma once
// The show history: every line index the rotation has shown, as the text "3,7,1," plus the walk of the
// previous and next buttons through it. No UI here; the window shows the message boxes and draws.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plumwick {

inline constexpr char16_t kFirstMessageText[] = u"己处于第一条信息,是否显示新的信息";
inline constexpr char16_t kLastMessageText[] = u"己处于最后一新信息,是否显示新的信息";
inline constexpr char16_t kReminderTitle[] = u"提醒";
// OK and Cancel, information icon, Cancel as the default button.
inline constexpr unsigned kHistoryBoxFlags = 0x141;

class ShowHistory {
  public:
    // A day of ticks at one a second is 86400 entries. Past kMaxEntries the oldest kTrimEntries are
    // dropped in one go (cheap on average, and memory stays bounded for a run of any length); the walk
    // then simply starts at the oldest kept entry.
    static constexpr std::size_t kMaxEntries = 100000;
    static constexpr std::size_t kTrimEntries = 10000;

    struct WalkResult {
        bool atBoundary = false;               // nothing to step to: the window asks its question
        std::optional<long long> lineToDraw;   // index into the message list; may lie outside it
        std::optional<long long> newInfoIndex; // the message the walk is now at
    };

    ShowHistory() = default;
    // Restores a history from its text form; fields that are no number stay entries, and a step that
    // needs one of them is skipped.
    explicit ShowHistory(std::u16string_view text);

    // One rotation tick showed line `index`: appends "index," and moves to the newest entry.
    void Record(long long index);

    const std::u16string& Text() const { return text_; }
    std::size_t Count() const { return entries_.size(); }
    std::size_t Pos() const { return pos_; }
    // The entry as a whole number (rounded down), nothing when it is no number or out of range.
    std::optional<long long> EntryAt(std::size_t i) const;

    WalkResult Previous();
    WalkResult Next();
    // OK in the box that Next's boundary shows: the message index to take (the entry at the position).
    std::optional<long long> IndexOnNextBoundaryOk() const;

  private:
    void TrimOldest();

    std::u16string text_;
    std::vector<std::optional<long long>> entries_; // one per field of text_, parsed once
    std::size_t pos_ = 0;
};

} // namespace plumwick
