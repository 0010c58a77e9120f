#include "command/Interpreter.h"
#include "common/TextUtil.h"

#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

using namespace plumwick;

namespace {

// Records every call as "Name(arguments)"; calls named in throwIn_ throw after being recorded.
class FakeTarget : public CommandTarget {
  public:
    std::vector<std::string> calls_;
    std::set<std::string> throwIn_;
    std::u16string lastText_; // the full text of the last text-taking call

    void StartKaraokeTimer() override { Record("StartKaraokeTimer"); }
    void StopKaraokeTimer() override { Record("StopKaraokeTimer"); }
    void KaraokeDrawKRC(const std::u16string& text, const std::u16string& duration,
                        std::int16_t textWidth) override {
        lastText_ = text;
        Record("KaraokeDrawKRC", Show(text) + "," + Show(duration) + "," + std::to_string(textWidth));
    }
    void KaraokeDrawText(const std::u16string& text) override { RecordText("KaraokeDrawText", text); }
    void DrawMainLine(const std::u16string& text) override { RecordText("MainDrawText", text); }
    void SetKaraokeText(const std::u16string& text) override { RecordText("SetKaraokeText", text); }
    void ClearKaraokeSurface() override { Record("ClearKaraokeSurface"); }
    void ClearMainSurface() override { Record("ClearMainSurface"); }
    void HideToolbar() override { Record("HideToolbar"); }
    void CloseToolbar() override { Record("CloseToolbar"); }
    void CloseCommandWindow() override { Record("CloseCommandWindow"); }
    void LockDisplay(bool clickThrough) override { Record("LockDisplay", clickThrough ? "true" : "false"); }
    void HoldLine(unsigned seconds) override { Record("HoldLine", std::to_string(seconds)); }
    void EndHold() override { Record("EndHold"); }

  private:
    static std::string Show(const std::u16string& text) {
        return text.size() <= 64 ? Utf16ToUtf8(text) : "<" + std::to_string(text.size()) + " units>";
    }
    void RecordText(const char* name, const std::u16string& text) {
        lastText_ = text;
        Record(name, Show(text));
    }
    void Record(const std::string& name) { RecordCall(name, name); }
    void Record(const std::string& name, const std::string& arguments) {
        RecordCall(name, name + "(" + arguments + ")");
    }
    void RecordCall(const std::string& name, const std::string& call) {
        calls_.push_back(call);
        if (throwIn_.count(name) != 0) {
            throw std::runtime_error(name);
        }
    }
};

using Calls = std::vector<std::string>;

Calls CallsFor(std::u16string_view command) {
    FakeTarget target;
    RunCommand(command, target);
    return target.calls_;
}

} // namespace

TEST(RunCommand, CarriesOutEachVerbsStepsInOrder) {
    struct Case {
        std::u16string_view command;
        Verb verb;
        Calls calls;
    };
    const Case cases[] = {
        {u"DKCSample Artist - Sample Song||1||8940",
         Verb::DKC,
         {"StartKaraokeTimer", "KaraokeDrawKRC(Sample Artist - Sample Song,1,8940)"}},
        {u"DKC||5||100", Verb::DKC, {"StartKaraokeTimer", "KaraokeDrawKRC(,5,100)"}},
        {u"DLThello", Verb::DLT, {"StartKaraokeTimer", "MainDrawText(hello)"}},
        {u"DLT", Verb::DLT, {"StartKaraokeTimer", "MainDrawText()"}},
        {u"DLTone DLT two", Verb::DLT, {"StartKaraokeTimer", "MainDrawText(one DLT two)"}},
        {u"END", Verb::END, {"CloseToolbar", "CloseCommandWindow"}},
        {u"TME", Verb::TME, {"StopKaraokeTimer"}},
        {u"TMEanything", Verb::TME, {"StopKaraokeTimer"}},
        {u"TMS", Verb::TMS, {"StartKaraokeTimer"}},
        {u"CKT",
         Verb::CKT,
         {"KaraokeDrawText( )", "MainDrawText( )", "SetKaraokeText( )", "StopKaraokeTimer",
          "ClearKaraokeSurface", "ClearMainSurface", "EndHold"}},
        {u"DKT歌词", Verb::DKT, {"StartKaraokeTimer", "KaraokeDrawText(歌词)"}},
        {u"HDE", Verb::HDE, {"HideToolbar"}},
        {u"ULK", Verb::ULK, {"LockDisplay(false)"}},
        {u"LOKxyz", Verb::LOK, {"LockDisplay(true)"}},
        {u"HLD30", Verb::HLD, {"HoldLine(30)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf16ToUtf8(c.command));
        FakeTarget target;
        EXPECT_EQ(RunCommand(c.command, target), c.verb);
        EXPECT_EQ(target.calls_, c.calls);
    }
}

TEST(RunCommand, DkcWithoutAUsableWidthOnlyStartsTheTimer) {
    for (std::u16string_view command : {u"DKC", u"DKCabc", u"DKCabc||2", u"DKCabc||2||x", u"DKCabc||||900",
                                        u"DKCabc|||2||900", u"DKCabc||2||40000"}) {
        EXPECT_EQ(CallsFor(command), Calls{"StartKaraokeTimer"}) << Utf16ToUtf8(command);
    }
}

TEST(RunCommand, HoldWithoutAValidNumberDoesNothingNotEvenEndAHold) {
    for (std::u16string_view command : {u"HLD", u"HLD0", u"HLD3601", u"HLDx", u"HLD-5", u"HLD 2.5"}) {
        FakeTarget target;
        EXPECT_EQ(RunCommand(command, target), Verb::HLD) << Utf16ToUtf8(command);
        EXPECT_TRUE(target.calls_.empty()) << Utf16ToUtf8(command);
    }
}

TEST(RunCommand, TextThatIsNoCommandDoesNothing) {
    for (std::u16string_view text : {u"", u"DK", u"dlt hello", u"KrcMessage", u"Krc", u"xDLT"}) {
        FakeTarget target;
        EXPECT_EQ(RunCommand(text, target), Verb::None) << Utf16ToUtf8(text);
        EXPECT_TRUE(target.calls_.empty()) << Utf16ToUtf8(text);
    }
    EXPECT_TRUE(CallsFor(kIdleText).empty());
}

TEST(RunCommand, AFailingStepDoesNotStopTheLaterOnes) {
    FakeTarget target;
    target.throwIn_ = {"KaraokeDrawText", "StopKaraokeTimer", "ClearKaraokeSurface"};
    EXPECT_EQ(RunCommand(u"CKT", target), Verb::CKT);
    EXPECT_EQ(target.calls_,
              (Calls{"KaraokeDrawText( )", "MainDrawText( )", "SetKaraokeText( )", "StopKaraokeTimer",
                     "ClearKaraokeSurface", "ClearMainSurface", "EndHold"}));

    FakeTarget starting;
    starting.throwIn_ = {"StartKaraokeTimer"};
    EXPECT_NO_THROW(RunCommand(u"DKCa||1||2", starting));
    EXPECT_EQ(starting.calls_, (Calls{"StartKaraokeTimer", "KaraokeDrawKRC(a,1,2)"}));

    FakeTarget ending;
    ending.throwIn_ = {"CloseToolbar"};
    RunCommand(u"END", ending);
    EXPECT_EQ(ending.calls_, (Calls{"CloseToolbar", "CloseCommandWindow"}));
}

TEST(RunCommand, HandlesAMegabyteOfAnyCharactersInLinearTime) {
    // NULs, lone surrogates of both kinds, control characters, bars and verb letters, repeated.
    const std::u16string pattern(u"\u0000\xD800x\xDC00\x0001|DLT||\r\n\xFFFF", 14);
    std::u16string body;
    while (body.size() < 1024 * 1024) {
        body += pattern;
    }
    const std::u16string bars(1024 * 1024, u'|');

    auto start = std::chrono::steady_clock::now();
    FakeTarget target;
    EXPECT_EQ(RunCommand(u"DLT" + body, target), Verb::DLT);
    EXPECT_EQ(target.lastText_, body);
    EXPECT_EQ(RunCommand(u"DKT" + body, target), Verb::DKT);
    EXPECT_EQ(target.lastText_, body);
    EXPECT_EQ(RunCommand(u"DKC" + body, target), Verb::DKC);
    EXPECT_EQ(RunCommand(u"DKC" + bars, target), Verb::DKC);
    EXPECT_EQ(RunCommand(u"DKC" + std::u16string(1024 * 1024, u'x') + u"||1||5", target), Verb::DKC);
    EXPECT_EQ(target.lastText_.size(), 1024u * 1024u);
    EXPECT_EQ(RunCommand(u"ABC" + body, target), Verb::None);
    // A quadratic scan of a megabyte would take minutes; linear work takes milliseconds.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}
