#pragma once
// The last good copy of every published file and feed, kept on the local disk so that the display goes on
// (and comes back after a restart) while the content folder or a feed's server cannot be reached. The
// cache holds one file per source and an index naming them, the publication's order and the folder it
// came from; the files of sources no longer published are removed, so the cache never holds more than
// one publication's budget.
#include "content/ContentText.h"
#include "content/Schedule.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plumwick {

// Where the cache's files are kept (on Windows a folder under the user's local application data). Write
// replaces a file whole or leaves it as it was.
class CacheStore {
  public:
    virtual ~CacheStore() = default;
    virtual std::optional<std::string> Read(const std::string& name) = 0;
    virtual bool Write(const std::string& name, const std::string& bytes) = 0;
    virtual void Remove(const std::string& name) = 0;
    virtual std::vector<std::string> List() = 0;
};

struct CachedSource {
    std::u16string source; // below the content folder: "sub\a.txt", "news.url"
    std::string file;      // the cache file holding its bytes
    std::uint64_t size = 0;
    std::string savedAt; // when this copy was last good, local time "YYYY-MM-DD HH:MM"
    // A feed's address and the validators of the answer the copy came from.
    std::string url;
    std::string etag;
    std::string lastModified;
    bool operator==(const CachedSource&) const = default;
};

struct CacheIndex {
    std::u16string folder; // the content folder the publication came from
    std::vector<CachedSource> sources;
    bool operator==(const CacheIndex&) const = default;
};

// A time as the cache and the status tell it: "YYYY-MM-DD HH:MM".
std::string WhenText(const LocalDateTime& when);

inline constexpr char kCacheIndexName[] = "index.txt";

// A source's cache file: the same for names Windows takes for the same file (ASCII letters in either
// case), and only letters and digits whatever the source's name.
std::string CacheFileName(std::u16string_view source);

// The index as text, one source a line; anything unreadable (another version, a torn write) reads as an
// empty index, which only costs the copies.
std::string FormatCacheIndex(const CacheIndex& index);
CacheIndex ParseCacheIndex(std::string_view text);

// A source of a publication to keep: its bytes as just read, or nothing to keep the copy the cache has
// (a feed not fetched yet).
struct KeptSource {
    std::u16string source;
    std::optional<std::string> bytes;
};

class ContentCache {
  public:
    ContentCache(CacheStore& store, std::size_t budgetBytes = kPublishMaxBytes);

    // The cache becomes this publication of `folder`: the sources in this order, within the budget (a
    // source past it is not kept); the copies of sources no longer in it go. False when the store refused
    // a write (what could be written is kept).
    bool Keep(std::u16string_view folder, const std::vector<KeptSource>& sources, const std::string& savedAt);
    // A new copy of one source (a feed fetched); a source the cache has no copy of yet joins the end of the
    // index. False when the copy would carry the cache past its budget or the store refused; the copy it
    // had is kept then.
    bool Put(const CachedSource& meta, const std::string& bytes);

    // The source's entry, when the publication of `folder` holds it.
    std::optional<CachedSource> Find(std::u16string_view folder, std::u16string_view source) const;
    // The copy of each source, in the order asked: nothing for one the cache does not hold for `folder`,
    // or whose file has gone or does not have the size the index says (a copy is never half).
    std::vector<std::optional<std::string>> Read(std::u16string_view folder,
                                                 const std::vector<std::u16string>& sources);
    // The files in the store that the index does not name (left by an earlier publication, or by a write
    // cut short) are removed.
    void RemoveStale();

    const CacheIndex& Index() const { return index_; }

  private:
    void Load();
    bool Save();
    std::uint64_t Total() const;

    CacheStore& store_;
    std::size_t budget_;
    CacheIndex index_;
};

} // namespace plumwick
