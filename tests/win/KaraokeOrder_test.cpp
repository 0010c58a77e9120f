// Which line the karaoke window shows when commands and sweep ticks interleave. End to end a sender cannot
// choose whether a 10 ms tick falls between two of its commands; here the real interpreter drives a real
// karaoke window, and ticks come only while the test lets messages run, so every order is certain.
#include "command/Interpreter.h"
#include "display/KaraokeWindow_win.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>

using namespace plumwick;

namespace {

class NoGroup : public DisplayGroup {
  public:
    void DragStarted() override {}
    void DragEnded() override {}
    void Drag(DragSource, float, float) override {}
    void PointerOverText() override {}
    void PointerLeft() override {}
    bool PartOfDisplay(HWND) const override { return false; }
    void AlignKaraokeOverMain() override {}
    void PlaceAgain(unsigned) override {}
    std::vector<HWND> WindowsAbovePanel() const override { return {}; }
    std::optional<std::u16string> CurrentMessage() const override { return std::nullopt; }
    void FontMissing(const std::u16string&, const std::u16string&) override {}
};

// The karaoke commands reach the window; the rest have nothing to act on here.
class KaraokeOnly : public CommandTarget {
  public:
    explicit KaraokeOnly(KaraokeWindow& karaoke) : karaoke_(karaoke) {}
    void StartKaraokeTimer() override { karaoke_.StartTimer(); }
    void StopKaraokeTimer() override { karaoke_.StopTimer(); }
    void KaraokeDrawKRC(const std::u16string& text, const std::u16string& duration,
                        std::int16_t textWidth) override {
        karaoke_.DrawKRC(text, duration, textWidth);
    }
    void KaraokeDrawText(const std::u16string& text) override { karaoke_.DrawText(text); }
    void DrawMainLine(const std::u16string&) override {}
    void SetKaraokeText(const std::u16string& text) override { karaoke_.SetKaraokeText(text); }
    void ClearKaraokeSurface() override { karaoke_.ClearSurface(); }
    void ClearMainSurface() override {}
    void HideToolbar() override {}
    void CloseToolbar() override {}
    void CloseCommandWindow() override {}
    void LockDisplay(bool) override {}
    void HoldLine(unsigned) override {}
    void EndHold() override {}

  private:
    KaraokeWindow& karaoke_;
};

// Lets the window's timer messages run for a while, as the program's message loop would.
void RunMessagesFor(double seconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&msg);
        }
        Sleep(5);
    }
}

class KaraokeOrder : public ::testing::Test {
  protected:
    void SetUp() override {
        look.SetFont(u"Microsoft YaHei", 36);
        look.ApplyScheme(1);
        ASSERT_TRUE(karaoke.Create());
        // A short line sung whole, so that every later tick draws it again.
        RunCommand(u"DKC短句||1||1000", target);
        RunMessagesFor(0.8);
        ASSERT_EQ(karaoke.ShownText(), sung);
    }

    const std::u16string sung = u"短句";
    const std::u16string drawn = u"一二三四五六七八九十";
    Look look;
    NoGroup group;
    KaraokeWindow karaoke{look, group, LayeredTextRenderer::Mode::Cached};
    KaraokeOnly target{karaoke};
};

} // namespace

TEST_F(KaraokeOrder, DktIsReplacedByTheSungLineAtTheNextTick) {
    RunCommand(u"DKT" + drawn, target);
    EXPECT_EQ(karaoke.ShownText(), drawn);
    RunMessagesFor(0.3);
    EXPECT_EQ(karaoke.ShownText(), sung);
}

TEST_F(KaraokeOrder, TmeRightAfterDktKeepsDktsLineUntilTms) {
    // No tick between the two commands: the timer stops with DKT's line drawn, and it stays.
    RunCommand(u"DKT" + drawn, target);
    RunCommand(u"TME", target);
    RunMessagesFor(0.3);
    EXPECT_EQ(karaoke.ShownText(), drawn);
    // TMS starts the timer again, and its first tick draws the sung line back.
    RunCommand(u"TMS", target);
    RunMessagesFor(0.3);
    EXPECT_EQ(karaoke.ShownText(), sung);
}

TEST_F(KaraokeOrder, ATickBetweenDktAndTmeLeavesTheSungLine) {
    RunCommand(u"DKT" + drawn, target);
    RunMessagesFor(0.3);
    RunCommand(u"TME", target);
    RunMessagesFor(0.3);
    EXPECT_EQ(karaoke.ShownText(), sung);
}
