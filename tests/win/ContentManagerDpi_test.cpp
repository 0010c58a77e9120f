// The content manager told of a new DPI by the system itself (on its own thread, with the rectangle it
// suggests), which another process cannot send: it takes the suggested place and lays itself out at the
// new DPI.
#include "content/ContentWindow_win.h"
#include "win32/Handles_win.h"
#include "win32/Strings_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace plumwick;

namespace {

class NoDisplay : public ContentHost {
  public:
    std::optional<ScreenRows> DisplayRows() const override { return std::nullopt; }
    bool PartOfDisplay(HWND) const override { return false; }
    void DrawMainLine(const std::u16string&) override {}
    void StartKaraokeTimer() override {}
};

class NoRotation : public MessageFeed {
  public:
    void StopRotation() override {}
    void ReplaceMessages(std::vector<std::u16string>) override {}
    void RebuildMessages(std::vector<std::u16string>) override {}
    void StartRotation(unsigned) override {}
    void ResumeRotation(unsigned) override {}
};

class Silent : public Notifier {
  public:
    void Notify(NoticeCause, std::u16string) override {}
};

// A content folder with two files, removed afterwards.
struct TwoFiles {
    TwoFiles() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder = std::wstring(temp) + L"plumwick-dpi-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(folder.c_str(), nullptr);
        for (const wchar_t* name : {L"a.txt", L"b.txt"}) {
            win::UniqueFile file(CreateFileW((folder + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        }
    }
    ~TwoFiles() {
        for (const wchar_t* name : {L"a.txt", L"b.txt"}) {
            DeleteFileW((folder + name).c_str());
        }
        RemoveDirectoryW(folder.c_str());
    }
    std::wstring folder;
};

int Width(const RECT& r) {
    return r.right - r.left;
}

} // namespace

TEST(ContentManagerDpi, TakesTheSuggestedPlaceAndLaysItselfOutAtTheNewDpi) {
    TwoFiles files;
    NoDisplay host;
    NoRotation feed;
    Silent notices;
    win::SystemAnsiCodePage codePage;
    ContentWindow window(host, feed, win::ToU16(files.folder), codePage, notices);
    ASSERT_TRUE(window.Load());
    ASSERT_TRUE(window.Handle());
    const unsigned dpi = window.Scale().Dpi() * 2;
    RECT suggested{40, 60, 40 + 1000, 60 + 400};
    SendMessageW(window.Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(window.Scale().Dpi(), dpi);

    RECT frame{};
    GetWindowRect(window.Handle(), &frame);
    EXPECT_EQ(frame.left, 40);
    EXPECT_EQ(frame.top, 60);
    RECT client{};
    GetClientRect(window.Handle(), &client);
    EXPECT_EQ(Width(client), window.TwipsToPixels(6945)); // the design's client width at the new DPI

    // The two entries are check boxes of the list at the new DPI's size, side by side in the first row.
    std::vector<RECT> boxes;
    EnumChildWindows(
        window.Handle(),
        [](HWND child, LPARAM found) -> BOOL {
            wchar_t text[64] = L"";
            GetWindowTextW(child, text, 64);
            if (std::wstring(text).rfind(L"a.txt", 0) == 0 || std::wstring(text).rfind(L"b.txt", 0) == 0) {
                RECT r{};
                GetWindowRect(child, &r);
                reinterpret_cast<std::vector<RECT>*>(found)->push_back(r);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&boxes));
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(Width(boxes[0]), window.TwipsToPixels(2415));
    EXPECT_EQ(boxes[0].top, boxes[1].top);
    EXPECT_EQ(std::abs(boxes[1].left - boxes[0].left), window.TwipsToPixels(2500));
    window.Destroy();
}
