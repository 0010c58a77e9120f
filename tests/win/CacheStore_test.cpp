// The content cache on a real disk: files replaced whole, the folder made on the first write, and the
// cache's own logic on top of it across a restart.
#include "content/CacheStore_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <windows.h>

using namespace plumwick;

namespace {

std::u16string TempFolder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"plumwick-cache-" + std::to_wstring(GetCurrentProcessId()) +
                          L"\\plumwick\\cache\\";
    return std::u16string(folder.begin(), folder.end());
}

void RemoveAll(const std::u16string& folder, FolderCacheStore& store) {
    for (const std::string& name : store.List()) {
        store.Remove(name);
    }
    std::wstring wide(folder.begin(), folder.end());
    RemoveDirectoryW(wide.c_str());
    RemoveDirectoryW(wide.substr(0, wide.find_last_of(L'\\', wide.size() - 2)).c_str());
    RemoveDirectoryW(
        wide.substr(0, wide.find_last_of(L'\\', wide.find_last_of(L'\\', wide.size() - 2) - 1)).c_str());
}

TEST(FolderCacheStore, MakesItsFolderAndReplacesFilesWholeLeavingNothingBeside) {
    std::u16string folder = TempFolder();
    FolderCacheStore store(folder);
    EXPECT_EQ(store.Read("index.txt"), std::nullopt);
    EXPECT_TRUE(store.List().empty());
    ASSERT_TRUE(store.Write("index.txt", "one"));
    ASSERT_TRUE(store.Write("index.txt", "two, longer"));
    ASSERT_TRUE(store.Write("c0.bin", std::string(3 << 20, 'x')));
    EXPECT_EQ(store.Read("index.txt"), "two, longer");
    EXPECT_EQ(store.Read("c0.bin")->size(), 3u << 20);
    std::vector<std::string> names = store.List();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"c0.bin", "index.txt"})) << "a side file was left";
    store.Remove("c0.bin");
    EXPECT_EQ(store.Read("c0.bin"), std::nullopt);

    // The cache across a restart, on the disk.
    {
        ContentCache cache(store);
        ASSERT_TRUE(cache.Keep(u"N:\\Text\\", {{u"菜单.txt", "MENU"}}, "2026-12-08 19:30"));
    }
    FolderCacheStore again(folder);
    ContentCache cache(again);
    EXPECT_EQ(cache.Read(u"N:\\Text\\", {u"菜单.txt"}).front(), "MENU");
    RemoveAll(folder, again);
}

TEST(FolderCacheStore, WithoutAFolderNothingIsKept) {
    FolderCacheStore store(u"");
    EXPECT_FALSE(store.Write("index.txt", "x"));
    EXPECT_EQ(store.Read("index.txt"), std::nullopt);
    EXPECT_FALSE(FolderCacheStore::DefaultFolder().empty());
}

} // namespace
