#include "content/ContentCache.h"

#include <gtest/gtest.h>

#include <map>

using namespace plumwick;

namespace {

class MemoryStore : public CacheStore {
  public:
    std::optional<std::string> Read(const std::string& name) override {
        auto it = files.find(name);
        return it == files.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
    bool Write(const std::string& name, const std::string& bytes) override {
        ++writes;
        if (refuse) {
            return false;
        }
        files[name] = bytes;
        return true;
    }
    void Remove(const std::string& name) override { files.erase(name); }
    std::vector<std::string> List() override {
        std::vector<std::string> names;
        for (const auto& [name, bytes] : files) {
            names.push_back(name);
        }
        return names;
    }

    std::map<std::string, std::string> files;
    bool refuse = false;
    int writes = 0;
};

const std::u16string kFolder = u"\\\\head\\office\\";

TEST(ContentCache, FileNamesFoldAsciiCaseAndHoldOnlySafeCharacters) {
    EXPECT_EQ(CacheFileName(u"Sub\\News.TXT"), CacheFileName(u"sub\\news.txt"));
    EXPECT_NE(CacheFileName(u"sub\\news.txt"), CacheFileName(u"sub\\news2.txt"));
    EXPECT_NE(CacheFileName(u"a\\b.txt"), CacheFileName(u"a\\B.url"));
    for (std::u16string source : {u"..\\..\\x", u"a:b*?\"<>|", u"菜单.txt", u""}) {
        std::string name = CacheFileName(source);
        EXPECT_EQ(name.size(), 1 + 16 + 4) << name;
        EXPECT_EQ(name.find_first_not_of("c0123456789abcdef.bin"), std::string::npos) << name;
    }
}

TEST(ContentCache, IndexRoundTripsAndAnythingTornOrForeignReadsEmpty) {
    CacheIndex index{kFolder,
                     {{u"sub\\菜单.txt", CacheFileName(u"sub\\菜单.txt"), 12, "2026-12-08 19:30"},
                      {u"news.url", CacheFileName(u"news.url"), 5, "2026-12-08 19:31", "http://x/feed",
                       "\"v1\"", "Tue, 08 Dec 2026 19:00:00 GMT"}}};
    std::string text = FormatCacheIndex(index);
    EXPECT_EQ(ParseCacheIndex(text), index);

    EXPECT_EQ(ParseCacheIndex(text.substr(0, text.size() - 10)), CacheIndex{}) << "cut off";
    EXPECT_EQ(ParseCacheIndex("plumwick-cache 2\n"), CacheIndex{});
    EXPECT_EQ(ParseCacheIndex(""), CacheIndex{});
    std::string wrongName = text;
    wrongName.replace(wrongName.find(CacheFileName(u"news.url")), 3, "c00");
    EXPECT_EQ(ParseCacheIndex(wrongName), CacheIndex{}) << "a file name the source does not give";

    // A validator that would break its line is dropped rather than kept broken.
    index.sources[1].etag = "\"a\r\nsource\tx\"";
    CacheIndex back = ParseCacheIndex(FormatCacheIndex(index));
    ASSERT_EQ(back.sources.size(), 2u);
    EXPECT_EQ(back.sources[1].etag, "");
    EXPECT_EQ(back.sources[1].url, "http://x/feed");
}

TEST(ContentCache, KeepsOnePublicationAndReadsItBackAfterARestart) {
    MemoryStore store;
    {
        ContentCache cache(store);
        ASSERT_TRUE(cache.Keep(kFolder, {{u"a.txt", "AAA"}, {u"sub\\b.txt", "BB"}}, "2026-12-08 19:30"));
    }
    ContentCache again(store); // a restart
    std::vector<std::optional<std::string>> copies = again.Read(kFolder, {u"SUB\\B.txt", u"a.txt", u"c.txt"});
    EXPECT_EQ(copies, (std::vector<std::optional<std::string>>{"BB", "AAA", std::nullopt}));
    EXPECT_EQ(again.Read(u"D:\\other\\", {u"a.txt"}).front(), std::nullopt) << "another folder's copy";

    // The next publication replaces it: the copies of files no longer published go.
    ASSERT_TRUE(again.Keep(kFolder, {{u"a.txt", "AAA2"}}, "2026-12-08 19:40"));
    EXPECT_EQ(store.files.size(), 2u); // the index and a.txt
    EXPECT_EQ(again.Read(kFolder, {u"sub\\b.txt"}).front(), std::nullopt);
    EXPECT_EQ(again.Index().sources.front().savedAt, "2026-12-08 19:40");
}

TEST(ContentCache, AMissingOrChangedCopyIsNeverServedAndStrayFilesGo) {
    MemoryStore store;
    ContentCache cache(store);
    ASSERT_TRUE(cache.Keep(kFolder, {{u"a.txt", "AAAA"}, {u"b.txt", "BBBB"}}, "t"));
    store.files.erase(CacheFileName(u"a.txt"));
    store.files[CacheFileName(u"b.txt")] = "BB"; // a write cut short by a power cut
    store.files["c0123456789abcdef.bin.tmp"] = "x";
    EXPECT_EQ(cache.Read(kFolder, {u"a.txt", u"b.txt"}),
              (std::vector<std::optional<std::string>>{std::nullopt, std::nullopt}));
    cache.RemoveStale();
    EXPECT_EQ(store.files.count("c0123456789abcdef.bin.tmp"), 0u);
    EXPECT_EQ(store.files.count(kCacheIndexName), 1u);
}

TEST(ContentCache, StaysWithinTheBudgetAndKeepsAFeedsCopyUntilItIsFetched) {
    MemoryStore store;
    ContentCache cache(store, 10);
    // Within the budget in publish order; a later, smaller one may still fit.
    ASSERT_TRUE(cache.Keep(kFolder, {{u"a.txt", "123456"}, {u"big.txt", "12345"}, {u"c.txt", "1234"}}, "t"));
    ASSERT_EQ(cache.Index().sources.size(), 2u);
    EXPECT_EQ(cache.Index().sources[1].source, u"c.txt");

    // A feed fetched joins the cache; past the budget it does not, and the copy it had stays.
    CachedSource feed{u"news.url", "", 0, "t1", "http://x/f", "\"e1\""};
    EXPECT_FALSE(cache.Put(feed, "12345"));
    ASSERT_TRUE(cache.Keep(kFolder, {{u"news.url", std::nullopt}, {u"a.txt", "1"}}, "t2"));
    EXPECT_TRUE(cache.Find(kFolder, u"news.url") == std::nullopt) << "a feed never fetched has no copy";
    ASSERT_TRUE(cache.Put(feed, "12345"));
    feed.etag = "\"e2\"";
    EXPECT_FALSE(cache.Put(feed, "1234567890")) << "past the budget with a.txt";
    std::optional<CachedSource> kept = cache.Find(kFolder, u"news.url");
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->etag, "\"e1\"");
    EXPECT_EQ(cache.Read(kFolder, {u"news.url"}).front(), "12345");

    // Published again without new bytes (not fetched yet at this start): the copy and validators stay.
    ASSERT_TRUE(cache.Keep(kFolder, {{u"a.txt", "1"}, {u"news.url", std::nullopt}}, "t3"));
    kept = cache.Find(kFolder, u"news.url");
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->savedAt, "t1");
    EXPECT_EQ(kept->url, "http://x/f");
}

TEST(ContentCache, AnUnchangedFileIsNotWrittenAgainAndARefusedWriteIsNotIndexed) {
    MemoryStore store;
    ContentCache cache(store);
    ASSERT_TRUE(cache.Keep(kFolder, {{u"a.txt", "AAA"}}, "t1"));
    int writes = store.writes;
    ASSERT_TRUE(cache.Keep(kFolder, {{u"a.txt", "AAA"}}, "t2"));
    EXPECT_EQ(store.writes, writes + 1) << "only the index is written";

    store.refuse = true;
    EXPECT_FALSE(cache.Keep(kFolder, {{u"a.txt", "AAA"}, {u"b.txt", "B"}}, "t3"));
    store.refuse = false;
    ContentCache again(store);
    EXPECT_EQ(again.Index().sources.size(), 1u) << "the index on the disk is the last one written";
    EXPECT_EQ(again.Read(kFolder, {u"a.txt"}).front(), "AAA");
}

} // namespace
