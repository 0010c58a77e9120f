#include "rotation/ShowHistory.h"

#include "common/Numeric.h"

#include <algorithm>
#include <cmath>

namespace plumwick {
namespace {

// int(x) of an entry: its text as a number, rounded down. Blanks around the number are allowed.
std::optional<long long> ParseEntry(std::u16string_view field) {
    std::optional<double> value = ParseNumber(field);
    if (!value) {
        return std::nullopt;
    }
    double whole = std::floor(*value);
    // 2^63 bounds the range a long long holds exactly.
    if (!(whole >= -0x1.0p63 && whole < 0x1.0p63)) {
        return std::nullopt;
    }
    return static_cast<long long>(whole);
}

std::u16string DecimalText(long long value) {
    std::string ascii = std::to_string(value);
    return std::u16string(ascii.begin(), ascii.end());
}

} // namespace

ShowHistory::ShowHistory(std::u16string_view text) : text_(text) {
    // Split at ","; the empty field after a final "," is not an entry, every other field is.
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t comma = text.find(u',', start);
        std::size_t end = comma == std::u16string_view::npos ? text.size() : comma;
        entries_.push_back(ParseEntry(text.substr(start, end - start)));
        start = end + 1;
        if (comma != std::u16string_view::npos && start == text.size()) {
            break;
        }
    }
    while (entries_.size() > kMaxEntries) {
        TrimOldest();
    }
    pos_ = entries_.empty() ? 0 : entries_.size() - 1;
}

void ShowHistory::Record(long long index) {
    if (!text_.empty() && text_.back() != u',') {
        // A restored text without its final comma: the new digits join its last field.
        std::size_t lastComma = text_.rfind(u',');
        std::size_t lastStart = lastComma == std::u16string::npos ? 0 : lastComma + 1;
        text_ += DecimalText(index);
        entries_.back() = ParseEntry(std::u16string_view(text_).substr(lastStart));
    } else {
        text_ += DecimalText(index);
        entries_.push_back(index);
    }
    text_ += u',';
    if (entries_.size() > kMaxEntries) {
        TrimOldest();
    }
    pos_ = entries_.size() - 1;
}

void ShowHistory::TrimOldest() {
    std::size_t drop = std::min(kTrimEntries, entries_.size());
    std::size_t cut = 0;
    for (std::size_t n = 0; n < drop; ++n) {
        std::size_t comma = text_.find(u',', cut);
        cut = comma == std::u16string::npos ? text_.size() : comma + 1;
    }
    text_.erase(0, cut);
    entries_.erase(entries_.begin(), entries_.begin() + static_cast<std::ptrdiff_t>(drop));
    pos_ = pos_ >= drop ? pos_ - drop : 0;
}

std::optional<long long> ShowHistory::EntryAt(std::size_t i) const {
    return i < entries_.size() ? entries_[i] : std::nullopt;
}

ShowHistory::WalkResult ShowHistory::Previous() {
    WalkResult result;
    if (entries_.empty() || pos_ == 0) {
        result.atBoundary = true;
        return result;
    }
    result.lineToDraw = entries_[pos_ - 1];
    --pos_;
    result.newInfoIndex = entries_[pos_];
    return result;
}

ShowHistory::WalkResult ShowHistory::Next() {
    WalkResult result;
    if (entries_.empty() || pos_ + 1 >= entries_.size()) {
        result.atBoundary = true;
        return result;
    }
    result.lineToDraw = entries_[pos_ + 1];
    ++pos_;
    result.newInfoIndex = entries_[pos_];
    return result;
}

std::optional<long long> ShowHistory::IndexOnNextBoundaryOk() const {
    return EntryAt(pos_);
}

} // namespace plumwick
