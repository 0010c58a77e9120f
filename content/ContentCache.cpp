#include "content/ContentCache.h"

#include "common/TextUtil.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace plumwick {

namespace {

constexpr std::string_view kIndexHeader = "plumwick-cache 1";

// A value goes on its line only when it cannot break the line up; a validator that could is not kept,
// which costs one full fetch.
std::string Field(std::string_view value) {
    if (value.find_first_of("\t\r\n") != std::string_view::npos) {
        return {};
    }
    return std::string(value);
}

std::vector<std::string_view> SplitOn(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        std::size_t at = text.find(separator, start);
        parts.push_back(
            text.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
        if (at == std::string_view::npos) {
            return parts;
        }
        start = at + 1;
    }
}

char16_t AsciiLower(char16_t unit) {
    return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit - u'A' + u'a') : unit;
}

bool SameName(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) {
               return AsciiLower(x) == AsciiLower(y);
           });
}

} // namespace

std::string WhenText(const LocalDateTime& when) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", when.date.year, when.date.month,
                  when.date.day, when.hour, when.minute);
    return text;
}

std::string CacheFileName(std::u16string_view source) {
    // FNV-1a over the UTF-16 units, ASCII letters folded.
    std::uint64_t hash = 14695981039346656037ull;
    for (char16_t unit : source) {
        char16_t folded = AsciiLower(unit);
        for (int shift : {0, 8}) {
            hash ^= static_cast<std::uint8_t>(folded >> shift);
            hash *= 1099511628211ull;
        }
    }
    static const char kHex[] = "0123456789abcdef";
    std::string name = "c";
    for (int shift = 60; shift >= 0; shift -= 4) {
        name += kHex[(hash >> shift) & 0xF];
    }
    return name + ".bin";
}

std::string FormatCacheIndex(const CacheIndex& index) {
    std::string text = std::string(kIndexHeader) + "\n";
    text += "folder\t" + Field(Utf16ToUtf8(index.folder)) + "\n";
    for (const CachedSource& source : index.sources) {
        text += "source\t" + Field(source.file) + "\t" + std::to_string(source.size) + "\t" +
                Field(source.savedAt) + "\t" + Field(Utf16ToUtf8(source.source)) + "\t" + Field(source.url) +
                "\t" + Field(source.etag) + "\t" + Field(source.lastModified) + "\n";
    }
    return text;
}

CacheIndex ParseCacheIndex(std::string_view text) {
    std::vector<std::string_view> lines = SplitOn(text, '\n');
    if (lines.empty() || lines[0] != kIndexHeader) {
        return {};
    }
    CacheIndex index;
    bool ended = false;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::string_view line = lines[i];
        if (line.empty()) {
            ended = i + 1 == lines.size(); // only the last line may be empty: the text ends in a line break
            continue;
        }
        std::vector<std::string_view> fields = SplitOn(line, '\t');
        if (fields[0] == "folder" && fields.size() == 2) {
            index.folder = Utf8ToUtf16(fields[1]);
            continue;
        }
        if (fields[0] != "source" || fields.size() != 8) {
            return {};
        }
        CachedSource source;
        source.file = std::string(fields[1]);
        auto [end, error] =
            std::from_chars(fields[2].data(), fields[2].data() + fields[2].size(), source.size);
        if (error != std::errc{} || end != fields[2].data() + fields[2].size() ||
            source.file != CacheFileName(Utf8ToUtf16(fields[4]))) {
            return {};
        }
        source.savedAt = std::string(fields[3]);
        source.source = Utf8ToUtf16(fields[4]);
        source.url = std::string(fields[5]);
        source.etag = std::string(fields[6]);
        source.lastModified = std::string(fields[7]);
        index.sources.push_back(std::move(source));
    }
    if (!ended) {
        return {}; // cut off before its end
    }
    return index;
}

ContentCache::ContentCache(CacheStore& store, std::size_t budgetBytes) : store_(store), budget_(budgetBytes) {
    Load();
}

void ContentCache::Load() {
    std::optional<std::string> text = store_.Read(kCacheIndexName);
    index_ = text ? ParseCacheIndex(*text) : CacheIndex{};
}

bool ContentCache::Save() {
    return store_.Write(kCacheIndexName, FormatCacheIndex(index_));
}

std::uint64_t ContentCache::Total() const {
    std::uint64_t total = 0;
    for (const CachedSource& source : index_.sources) {
        total += source.size;
    }
    return total;
}

bool ContentCache::Keep(std::u16string_view folder, const std::vector<KeptSource>& sources,
                        const std::string& savedAt) {
    bool sameFolder = SameName(folder, index_.folder);
    CacheIndex next;
    next.folder = std::u16string(folder);
    bool written = true;
    std::uint64_t total = 0;
    for (const KeptSource& kept : sources) {
        CachedSource entry;
        std::optional<CachedSource> before = sameFolder ? Find(folder, kept.source) : std::nullopt;
        if (kept.bytes) {
            if (total + kept.bytes->size() > budget_) {
                continue;
            }
            entry.source = kept.source;
            entry.file = CacheFileName(kept.source);
            entry.size = kept.bytes->size();
            entry.savedAt = savedAt;
            // A file unchanged since its last copy is not written again.
            bool same = before && before->size == entry.size && store_.Read(entry.file) == kept.bytes;
            if (same) {
                entry = *before;
                entry.savedAt = savedAt;
            } else if (!store_.Write(entry.file, *kept.bytes)) {
                written = false;
                continue;
            }
        } else {
            if (!before || total + before->size > budget_) {
                continue;
            }
            entry = *before;
        }
        total += entry.size;
        next.sources.push_back(std::move(entry));
    }
    index_ = std::move(next);
    written = Save() && written;
    RemoveStale();
    return written;
}

bool ContentCache::Put(const CachedSource& meta, const std::string& bytes) {
    auto it = std::find_if(index_.sources.begin(), index_.sources.end(),
                           [&](const CachedSource& entry) { return SameName(entry.source, meta.source); });
    const bool added = it == index_.sources.end();
    if (added) {
        // A feed not fetched yet has no entry: it joins at the end of the publication's sources.
        CachedSource entry;
        entry.source = meta.source;
        entry.file = CacheFileName(meta.source);
        index_.sources.push_back(std::move(entry));
        it = index_.sources.end() - 1;
    }
    std::uint64_t others = Total() - it->size;
    if (others + bytes.size() > budget_ || !store_.Write(it->file, bytes)) {
        if (added) {
            index_.sources.erase(it);
        }
        return false;
    }
    std::string file = it->file;
    *it = meta;
    it->file = file;
    it->size = bytes.size();
    return Save();
}

std::optional<CachedSource> ContentCache::Find(std::u16string_view folder, std::u16string_view source) const {
    if (!SameName(folder, index_.folder)) {
        return std::nullopt;
    }
    for (const CachedSource& entry : index_.sources) {
        if (SameName(entry.source, source)) {
            return entry;
        }
    }
    return std::nullopt;
}

std::vector<std::optional<std::string>> ContentCache::Read(std::u16string_view folder,
                                                           const std::vector<std::u16string>& sources) {
    std::vector<std::optional<std::string>> copies;
    copies.reserve(sources.size());
    for (const std::u16string& source : sources) {
        std::optional<CachedSource> entry = Find(folder, source);
        std::optional<std::string> bytes = entry ? store_.Read(entry->file) : std::nullopt;
        if (bytes && bytes->size() != entry->size) {
            bytes.reset();
        }
        copies.push_back(std::move(bytes));
    }
    return copies;
}

void ContentCache::RemoveStale() {
    for (const std::string& name : store_.List()) {
        if (name == kCacheIndexName) {
            continue;
        }
        bool named = std::any_of(index_.sources.begin(), index_.sources.end(),
                                 [&](const CachedSource& entry) { return entry.file == name; });
        if (!named) {
            store_.Remove(name);
        }
    }
}

} // namespace plumwick
