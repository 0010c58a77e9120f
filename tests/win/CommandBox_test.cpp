// The command box inside one process, where a sender's text of any length reaches it (Wine cannot carry
// 2 MiB of text to another process): what it takes, what it refuses, and what it answers.
#include "command/CommandWindow_win.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <string>
#include <vector>

using namespace plumwick;

namespace {

class RecordingTarget : public CommandTarget {
  public:
    void StartKaraokeTimer() override {}
    void StopKaraokeTimer() override {}
    void KaraokeDrawKRC(const std::u16string&, const std::u16string&, std::int16_t) override {}
    void KaraokeDrawText(const std::u16string&) override {}
    void DrawMainLine(const std::u16string& text) override {
        lines.push_back(text.size());
        if (duringDraw) {
            duringDraw();
        }
    }
    void SetKaraokeText(const std::u16string&) override {}
    void ClearKaraokeSurface() override {}
    void ClearMainSurface() override {}
    void HideToolbar() override {}
    void CloseToolbar() override {}
    void CloseCommandWindow() override {}
    void LockDisplay(bool) override {}
    void HoldLine(unsigned) override {}
    void EndHold() override {}

    std::vector<std::size_t> lines; // the length of each line drawn
    std::function<void()> duringDraw;
};

class CommandBoxTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(window.Create());
        window.SetBoxText(u"CKT"); // the first command makes the box idle
        box = FindWindowExW(window.Handle(), nullptr, L"ThunderRT6TextBox", L"KrcMessage");
        ASSERT_NE(box, nullptr);
        target.lines.clear(); // CKT draws a blank
    }
    LRESULT Send(const std::u16string& text) {
        return SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    bool Idle() {
        return FindWindowExW(window.Handle(), nullptr, L"ThunderRT6TextBox", L"KrcMessage") == box;
    }

    RecordingTarget target;
    CommandWindow window{target, [] {}};
    HWND box = nullptr;
};

} // namespace

TEST_F(CommandBoxTest, TakesAMebiUnitAndRefusesOneMoreLeavingTheBoxIdle) {
    std::u16string longest = u"DLT" + std::u16string(kMaxCommandUnits - 3, u'a');
    EXPECT_EQ(Send(longest), TRUE);
    ASSERT_EQ(target.lines.size(), 1u);
    EXPECT_EQ(target.lines.back(), kMaxCommandUnits - 3);
    EXPECT_TRUE(Idle());

    EXPECT_EQ(Send(longest + u"b"), FALSE);
    EXPECT_EQ(Send(u"DKC" + std::u16string(50'000'000, u'x') + u"||2000000000||8940"), FALSE);
    EXPECT_EQ(target.lines.size(), 1u) << "a refused text was carried out";
    EXPECT_TRUE(Idle());

    EXPECT_EQ(Send(u"DLTnext"), TRUE);
    EXPECT_EQ(target.lines.size(), 2u);
}

TEST_F(CommandBoxTest, ACommandArrivingWhileAnotherRunsIsRefusedAsBusy) {
    LRESULT inner = -1;
    target.duringDraw = [&] {
        target.duringDraw = nullptr;
        inner = Send(u"DLTsecond");
    };
    EXPECT_EQ(Send(u"DLTfirst"), TRUE);
    EXPECT_EQ(inner, FALSE);
    EXPECT_EQ(target.lines.size(), 1u);
    EXPECT_TRUE(Idle());
    EXPECT_EQ(Send(u"DLTthird"), TRUE) << "the box stayed busy";
}

TEST_F(CommandBoxTest, AStepThatRunsOutOfMemoryCostsNeitherTheProcessNorTheNextCommand) {
    target.duringDraw = [] { throw std::bad_alloc(); };
    EXPECT_EQ(Send(u"DLTfirst"), TRUE);
    EXPECT_TRUE(Idle());
    target.duringDraw = nullptr;
    EXPECT_EQ(Send(u"DLTsecond"), TRUE);
    EXPECT_EQ(target.lines.size(), 2u);
}
