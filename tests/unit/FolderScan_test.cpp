#include "common/FileBytes.h"
#include "content/DirectoryLister.h"
#include "content/FolderScan.h"

#include "common/TextUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace plumwick;
namespace fs = std::filesystem;

namespace {

// A fresh folder under the system's temporary folder, removed with everything in it afterwards.
class TempFolder {
  public:
    TempFolder() {
        static std::atomic<int> counter{0};
        std::random_device random;
        path_ = fs::temp_directory_path() /
                ("plumwick-scan-" + std::to_string(random()) + "-" + std::to_string(counter++));
        fs::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }
    // The folder as the scan takes it, with its trailing separator.
    std::u16string root() const { return (path_ / "").u16string(); }

    void File(const fs::path& relative, const std::string& bytes = "x") const {
        fs::create_directories((path_ / relative).parent_path());
        std::ofstream(path_ / relative, std::ios::binary) << bytes;
    }
    void Folder(const fs::path& relative) const { fs::create_directories(path_ / relative); }

  private:
    fs::path path_;
};

constexpr char16_t kSep = static_cast<char16_t>(fs::path::preferred_separator);

// A tree in memory; also records which folders were listed, in order.
class FakeLister : public DirectoryLister {
  public:
    std::map<std::u16string, std::vector<Item>> tree;
    std::vector<std::u16string> listed;

    std::vector<Item> List(const std::u16string& folder) override {
        listed.push_back(folder);
        auto it = tree.find(folder);
        return it == tree.end() ? std::vector<Item>{} : it->second;
    }
};

// An endless tree: every folder holds one subfolder and one file.
class EndlessLister : public DirectoryLister {
  public:
    int calls = 0;
    std::vector<Item> List(const std::u16string&) override {
        ++calls;
        return {{u"deeper", true}, {u"f.txt", false}};
    }
};

std::vector<std::u16string> Paths(const std::vector<ContentEntry>& entries) {
    std::vector<std::u16string> paths;
    for (const ContentEntry& e : entries) {
        paths.push_back(e.folder + e.caption);
    }
    return paths;
}

std::set<std::u16string> PathSet(const std::vector<ContentEntry>& entries) {
    auto paths = Paths(entries);
    return {paths.begin(), paths.end()};
}

} // namespace

TEST(IsContentFileName, TrimsBlanksAndIgnoresCaseOfTheExtension) {
    const std::pair<const char16_t*, bool> cases[] = {
        {u"a.txt", true},    {u"a.TXT", true},      {u"b.txt ", true},    {u"  c.Txt  ", true},
        {u".txt", true},     {u"c.txt.bak", false}, {u"readme", false},   {u"a.txt\t", false},
        {u"atxt", false},    {u"", false},          {u"   ", false},      {u"说明.txt", true},
        {u"news.url", true}, {u"News.URL ", true},  {u"a.url.txt", true}, {u"a.txt.url.bak", false},
        {u"aurl", false},
    };
    for (auto [name, offered] : cases) {
        EXPECT_EQ(IsContentFileName(name), offered) << Utf16ToUtf8(name);
    }
    EXPECT_TRUE(IsFeedFileName(u" 菜单.Url"));
    EXPECT_FALSE(IsFeedFileName(u"a.url.txt"));
}

TEST(ScanContentFolder, OffersRootFilesBeforeSubfoldersBreadthFirst) {
    FakeLister lister;
    lister.tree[u"R\\"] = {{u"sub", true}, {u"b.txt", false}, {u"other", true}, {u"a.txt", false}};
    lister.tree[u"R\\sub\\"] = {{u"deep", true}, {u"c.txt", false}};
    lister.tree[u"R\\other\\"] = {{u"d.txt", false}};
    lister.tree[u"R\\sub\\deep\\"] = {{u"e.txt", false}};

    auto entries = ScanContentFolder(u"R\\", lister, u'\\');

    EXPECT_EQ(Paths(entries), (std::vector<std::u16string>{u"R\\b.txt", u"R\\a.txt", u"R\\sub\\c.txt",
                                                           u"R\\other\\d.txt", u"R\\sub\\deep\\e.txt"}));
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[2].caption, u"c.txt");
    EXPECT_EQ(entries[2].folder, u"R\\sub\\");
    EXPECT_EQ(lister.listed,
              (std::vector<std::u16string>{u"R\\", u"R\\sub\\", u"R\\other\\", u"R\\sub\\deep\\"}));
}

TEST(ScanContentFolder, AddsTheSeparatorToARootWithoutOne) {
    FakeLister lister;
    lister.tree[u"/r/"] = {{u"a.txt", false}};
    auto entries = ScanContentFolder(u"/r", lister, u'/');
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].folder, u"/r/");
}

TEST(ScanContentFolder, EmptyRootListsNothing) {
    FakeLister lister;
    EXPECT_TRUE(ScanContentFolder(u"", lister, u'\\').empty());
    EXPECT_TRUE(lister.listed.empty());
}

TEST(ScanContentFolder, StopsAtTheFolderAndEntryLimits) {
    EndlessLister folders;
    auto entries = ScanContentFolder(u"R\\", folders, u'\\', {25, 1000});
    EXPECT_EQ(folders.calls, 25);
    EXPECT_EQ(entries.size(), 25u);

    EndlessLister files;
    entries = ScanContentFolder(u"R\\", files, u'\\', {1000, 7});
    EXPECT_EQ(entries.size(), 7u);
    EXPECT_EQ(files.calls, 7);
}

TEST(ScanContentFolder, FiltersRealFilesAndWalksAFolderNamedLikeAFile) {
    TempFolder temp;
    temp.File("a.TXT");
    temp.File("b.txt ");
    temp.File("c.txt.bak");
    temp.File("readme");
    temp.File(".hidden.txt");
    temp.File(".hiddenDir/h.txt");
    temp.File("x.txt/inner.txt");
    temp.File("sub/deep/d.txt");

    StdDirectoryLister lister;
    auto entries = ScanContentFolder(temp.root(), lister, kSep);

    const std::u16string root = temp.root();
    const std::u16string sep(1, kSep);
    EXPECT_EQ(PathSet(entries), (std::set<std::u16string>{root + u"a.TXT", root + u"b.txt ",
                                                          root + u"x.txt" + sep + u"inner.txt",
                                                          root + u"sub" + sep + u"deep" + sep + u"d.txt"}));
    // Breadth-first: the root's two files first, whatever the listing order inside a level.
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].folder, root);
    EXPECT_EQ(entries[1].folder, root);
    EXPECT_EQ(entries[2].folder, root + u"x.txt" + sep);
    EXPECT_EQ(entries[3].caption, u"d.txt");
}

TEST(ScanContentFolder, MissingRootGivesNothing) {
    TempFolder temp;
    StdDirectoryLister lister;
    EXPECT_TRUE(ScanContentFolder((temp.path() / "Text" / "").u16string(), lister, kSep).empty());
}

TEST(StdDirectoryLister, DoesNotWalkLinkedFoldersSoALoopEnds) {
    TempFolder temp;
    temp.File("a.txt");
    temp.File("sub/b.txt");
    std::error_code ec;
    fs::create_directory_symlink(temp.path(), temp.path() / "sub" / "loop", ec);
    fs::create_directory_symlink(temp.path() / "sub", temp.path() / "linked.txt", ec);
    if (ec) {
        GTEST_SKIP() << "no folder links here: " << ec.message();
    }
    fs::create_symlink(temp.path() / "a.txt", temp.path() / "alias.txt", ec);

    StdDirectoryLister lister;
    auto start = std::chrono::steady_clock::now();
    auto entries = ScanContentFolder(temp.root(), lister, kSep);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));

    // Each file once: nothing was reached again through the loop.
    std::vector<std::u16string> captions;
    for (const ContentEntry& e : entries) {
        captions.push_back(e.caption);
    }
    std::sort(captions.begin(), captions.end());
    std::vector<std::u16string> expected{u"a.txt", u"b.txt"};
    if (!ec) {
        expected.push_back(u"alias.txt"); // a link to a file reads like the file
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(captions, expected);
}

#ifndef _WIN32
TEST(StdDirectoryLister, LeavesOutPipesNamedLikeTextFiles) {
    TempFolder temp;
    temp.File("a.txt");
    ASSERT_EQ(mkfifo((temp.path() / "pipe.txt").c_str(), 0600), 0);
    StdDirectoryLister lister;
    auto items = lister.List(temp.root());
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].name, u"a.txt");
    // Reading it would block until a writer appears.
    EXPECT_FALSE(ReadFileBytes((temp.path() / "pipe.txt").u16string(), kContentFileMaxBytes).has_value());
}
#endif

TEST(ReadFileBytes, ReturnsEveryByteUntranslated) {
    TempFolder temp;
    const std::string bytes("A\r\nB\0C\n\xFF\xFE", 9);
    temp.File("f.txt", bytes);
    temp.File("empty.txt", "");
    EXPECT_EQ(ReadFileBytes((temp.path() / "f.txt").u16string(), kContentFileMaxBytes), bytes);
    EXPECT_EQ(ReadFileBytes((temp.path() / "empty.txt").u16string(), kContentFileMaxBytes), "");
}

TEST(ReadFileBytes, RefusesMissingFilesFoldersAndFilesOverTheCap) {
    TempFolder temp;
    temp.Folder("dir.txt");
    std::string big(200000, 'x'); // larger than one read chunk
    temp.File("big.txt", big);
    const auto path = [&](const char* name) { return (temp.path() / name).u16string(); };

    EXPECT_FALSE(ReadFileBytes(path("missing.txt"), 100).has_value());
    EXPECT_FALSE(ReadFileBytes(path("dir.txt"), 100).has_value());
    EXPECT_FALSE(ReadFileBytes(path("big.txt"), big.size() - 1).has_value());
    EXPECT_EQ(ReadFileBytes(path("big.txt"), big.size()), big);
}

TEST(ReadFileBytes, OpensNamesOutsideAscii) {
    TempFolder temp;
    temp.File(fs::path(u"公告 一.txt"), "\xB9\xAB");
    EXPECT_EQ(ReadFileBytes((temp.path() / fs::path(u"公告 一.txt")).u16string(), 10), "\xB9\xAB");
}

TEST(Grid, PlacesSevenEntriesInThreeColumns) {
    const EntryPlacement expected[] = {{120, 960},   {2620, 960},  {5120, 960}, {120, 1410},
                                       {2620, 1410}, {5120, 1410}, {120, 1860}};
    for (int n = 1; n <= 7; ++n) {
        EntryPlacement p = PlaceEntry(n);
        EXPECT_EQ(p.leftTwips, expected[n - 1].leftTwips) << n;
        EXPECT_EQ(p.topTwips, expected[n - 1].topTwips) << n;
    }
}

TEST(Grid, WindowGrowsOneRowAtATime) {
    EXPECT_FALSE(WindowHeightTwips(0).has_value());
    const std::pair<int, int> cases[] = {{1, 1905}, {3, 1905}, {4, 2355}, {6, 2355}, {7, 2805}};
    for (auto [count, height] : cases) {
        EXPECT_EQ(WindowHeightTwips(count), height) << count;
    }
}

TEST(Grid, StopsGrowingAtTheWorkAreaAndScrollsTheRest) {
    GridScroll none = ComputeGrid(0, 10000);
    EXPECT_TRUE(none.keepDesignHeight);
    EXPECT_FALSE(none.needsScroll);

    GridScroll fits = ComputeGrid(7, 10000);
    EXPECT_FALSE(fits.keepDesignHeight);
    EXPECT_EQ(fits.windowHeightTwips, 2805);
    EXPECT_FALSE(fits.needsScroll);
    EXPECT_EQ(fits.scrollRangeTwips, 0);

    GridScroll tall = ComputeGrid(300, 10000); // 100 rows: 99 * 450 + 1905 = 46455
    EXPECT_EQ(tall.windowHeightTwips, 10000);
    EXPECT_EQ(tall.contentHeightTwips, 46455);
    EXPECT_TRUE(tall.needsScroll);
    EXPECT_EQ(tall.scrollRangeTwips, 36455);

    EXPECT_EQ(ClampWindowHeight(46455, 0), 46455); // work area unknown
    EXPECT_EQ(ComputeGrid(kMaxScanEntries, 10000).windowHeightTwips, 10000);
}
