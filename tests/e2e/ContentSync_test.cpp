// Content that runs itself: schedule.ini edited while the display runs, and files of the running
// publication changed under it, whole or by a writer caught half way.
#include "tests/e2e/Harness.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

using namespace plumwick::e2e;
namespace fs = std::filesystem;

namespace {

constexpr char kForm[] = "PlumwickContentManager";
constexpr char kPublish[] = "确定 ";

void WriteFile(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    // Written to a side file and renamed in, as editors and sync engines do: the program never sees the
    // file half written by this process.
    fs::path side = file;
    side += ".part";
    {
        std::ofstream out(side, std::ios::binary);
        out << bytes;
    }
    fs::rename(side, file);
}

class ContentSync : public ::testing::Test {
  protected:
    void StartWith(const std::string& fileName, const std::string& text, const std::string& schedule = "") {
        fs::remove_all(session.Folder() / "Text");
        WriteFile(session.Folder() / "Text" / fileName, text);
        if (!schedule.empty()) {
            WriteFile(session.Folder() / "Text" / "schedule.ini", schedule);
        }
        StartDisplay();
    }
    // Starts with Text\ as it is, nothing remembered, and waits for the content manager.
    void StartDisplay() {
        session.Probe({"regdel"});
        ASSERT_TRUE(session.Start()) << "the display did not start";
        session.MovePointer(2, 2);
        std::string list = session.WaitFor({"list"}, [](const std::string& out) {
            return out.find(std::string(kForm) + "| 选择要显示的内容卷|1|") != std::string::npos;
        });
        ASSERT_NE(list.find(std::string(kForm) + "| 选择要显示的内容卷|1|"), std::string::npos) << list;
    }
    void PublishEverySecond(const std::string& caption) {
        ASSERT_EQ(session.Probe({"check-child", kForm, caption}), "clicked");
        ASSERT_EQ(session.Probe({"set-child-text", kForm, "0", "1"}), "set");
        ASSERT_EQ(session.Probe({"click-child", kForm, kPublish}), "clicked");
        session.WaitFor(
            {"visible", kForm}, [](const std::string& out) { return out == "0"; }, 5);
    }
    // The main line as the status line tells it (still JSON-escaped; the tests use ASCII lines).
    // The program's log: %LOCALAPPDATA%\plumwick\log\plumwick.log in the session's prefix.
    std::string ProgramLog() {
        return ReadAll(session.PerUserSettingsFolder().parent_path().parent_path() / "Local" / "plumwick" /
                       "log" / "plumwick.log");
    }

    std::string Main() {
        std::string json = session.Status();
        std::size_t at = json.find("\"main\":\"");
        if (at == std::string::npos) {
            return "<no status: " + json + ">";
        }
        std::size_t start = at + 8;
        std::size_t end = start;
        while (end < json.size() && json[end] != '"') {
            end += json[end] == '\\' ? 2 : 1;
        }
        return json.substr(start, end - start);
    }
    // Polls the main line until it is `wanted`; the seconds it took, or -1.
    double WaitForMain(const std::string& wanted, double seconds, std::string* last = nullptr) {
        auto start = std::chrono::steady_clock::now();
        std::string main;
        while (true) {
            main = Main();
            double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            if (main == wanted) {
                return waited;
            }
            if (waited > seconds) {
                break;
            }
            SleepSeconds(0.3);
        }
        if (last) {
            *last = main;
        }
        return -1;
    }

    Session session;
};

} // namespace

TEST_F(ContentSync, EditingScheduleIniOpensAndClosesAFileAtTheNextTick) {
    // An offer that ended long ago: the content manager says so, and its publish puts nothing up.
    ASSERT_NO_FATAL_FAILURE(
        StartWith("offer.txt", "OFFER LINE\r\n", "[offer.txt]\r\nuntil = 2000-01-01\r\n"));
    const std::string closedCaption = "offer.txt  [until 2000-01-01]";
    std::string children = session.WaitFor({"children", kForm}, [&](const std::string& out) {
        return out.find(closedCaption) != std::string::npos;
    });
    ASSERT_NE(children.find(closedCaption), std::string::npos) << children;
    session.SaveScreenshot("schedule-in-content-manager");
    session.WaitForAboutToClose();
    ASSERT_NO_FATAL_FAILURE(PublishEverySecond(closedCaption));
    std::string last;
    EXPECT_GE(WaitForMain("", 5, &last), 0) << "the closed offer's publish left " << last << " up";
    SleepSeconds(2);
    EXPECT_EQ(Main(), "") << "a closed offer was drawn";
    int top = session.WindowRect("PlumwickMainText").y;
    EXPECT_EQ(CountNotDesktop(session.Screenshot(), top, top + 90), 0) << "the welcome line is still up";

    // Head office opens it: shown within a tick or two of the edit.
    WriteFile(session.Folder() / "Text" / "schedule.ini", "[offer.txt]\r\nfrom = 2000-01-01\r\n");
    double opened = WaitForMain("OFFER LINE", 10, &last);
    EXPECT_GE(opened, 0) << "the opened offer never came: " << last;
    std::printf("schedule opened: shown %.1f s after the edit\n", opened);
    SleepSeconds(0.5);
    EXPECT_GT(CountNotDesktop(session.Screenshot(), top, top + 90), 0)
        << "the opened offer is not on the screen";

    // And closes it again: the line goes down.
    WriteFile(session.Folder() / "Text" / "schedule.ini", "[*]\r\ndays = Mon-Sun\r\nuntil = 2001-01-01\r\n");
    double closed = WaitForMain("", 10, &last);
    EXPECT_GE(closed, 0) << "the closed offer stayed up: " << last;
    std::printf("schedule closed: taken down %.1f s after the edit\n", closed);
    SleepSeconds(0.5);
    EXPECT_EQ(CountNotDesktop(session.Screenshot(), top, top + 90), 0)
        << "the closed offer is still on the screen";

    // A line it cannot read keeps the file off the screen too.
    WriteFile(session.Folder() / "Text" / "schedule.ini", "[offer.txt]\r\ndays = Funday\r\n");
    SleepSeconds(3);
    EXPECT_EQ(Main(), "") << "a file under a broken section was drawn";
    EXPECT_EQ(CountNotDesktop(session.Screenshot(), top, top + 90), 0)
        << "a file under a broken section is shown";
    std::string list = session.Probe({"list"});
    EXPECT_NE(list.find("PlumwickNotice"), std::string::npos) << "no notice names the broken line: " << list;
    session.SaveScreenshot("schedule-broken-line");
}

TEST_F(ContentSync, AFileChangedUnderARunningPublicationIsShown) {
    ASSERT_NO_FATAL_FAILURE(StartWith("news.txt", "OLD NEWS\r\n"));
    session.WaitForAboutToClose();
    ASSERT_NO_FATAL_FAILURE(PublishEverySecond("news.txt"));
    std::string last;
    ASSERT_GE(WaitForMain("OLD NEWS", 5, &last), 0) << last;

    WriteFile(session.Folder() / "Text" / "news.txt", "FRESH NEWS\r\n");
    double delay = WaitForMain("FRESH NEWS", 15, &last);
    EXPECT_GE(delay, 0) << "the changed file never showed: " << last;
    std::printf("changed file shown %.1f s after it was written\n", delay);
    // About 4 s: 2 s of gathering, two looks a second apart, the next tick. A rescan would take a minute.
    EXPECT_LE(delay, 8.0) << "slower than the folder's report allows";

    // A writer that holds the file open without sharing, half written, for a while: never shown half.
    std::string command = session.InFolder() +
                          " wine ./plumwick-probe.exe write-held 'Text\\news.txt' 8 'HALF WRITTEN' ' AND "
                          "DONE' >/dev/null 2>&1 &";
    ASSERT_EQ(std::system(command.c_str()), 0);
    auto start = std::chrono::steady_clock::now();
    bool sawHalf = false;
    std::string done = "HALF WRITTEN AND DONE";
    double shownAfter = -1;
    while (std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() < 25) {
        std::string main = Main();
        sawHalf = sawHalf || main == "HALF WRITTEN";
        if (main == done) {
            shownAfter = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            break;
        }
        SleepSeconds(0.3);
    }
    EXPECT_FALSE(sawHalf) << "the half-written file was shown";
    EXPECT_GE(shownAfter, 8.0) << "shown before its writer let go";
    std::printf("held file shown %.1f s after its writer opened it (held 8 s)\n", shownAfter);
}

TEST_F(ContentSync, AFolderRenamedAwayKeepsTheRotationWithANoticeAndBackBringsTheNewLines) {
    ASSERT_NO_FATAL_FAILURE(StartWith("news.txt", "BEFORE\r\n"));
    session.WaitForAboutToClose();
    ASSERT_NO_FATAL_FAILURE(PublishEverySecond("news.txt"));
    std::string last;
    ASSERT_GE(WaitForMain("BEFORE", 5, &last), 0) << last;

    // The share goes away: no report comes, the program asks for the folder every few seconds.
    fs::path text = session.Folder() / "Text";
    fs::path away = session.Folder() / "Text.away";
    fs::rename(text, away);
    std::string list = session.WaitFor(
        {"list"}, [](const std::string& out) { return out.find("PlumwickNotice") != std::string::npos; }, 75);
    EXPECT_NE(list.find("PlumwickNotice"), std::string::npos) << "no notice that the folder is away";
    EXPECT_EQ(Main(), "BEFORE") << "the rotation did not go on while the folder was away";
    session.SaveScreenshot("content-folder-away");

    // Changed while away, then back: the new line comes.
    WriteFile(away / "news.txt", "AFTER\r\n");
    fs::rename(away, text);
    double back = WaitForMain("AFTER", 75, &last);
    EXPECT_GE(back, 0) << "the folder came back but its new line did not: " << last;
    std::printf("folder back: new line shown %.1f s later\n", back);

    // A second outage is news again: once the first notice has closed by itself, a new one comes.
    auto noticeOpen = [](const std::string& out) { return out.find("PlumwickNotice") != std::string::npos; };
    session.WaitFor(
        {"list"}, [&](const std::string& out) { return !noticeOpen(out); }, 25);
    ASSERT_FALSE(noticeOpen(session.Probe({"list"}))) << "the first notice did not close by itself";
    fs::rename(text, away);
    list = session.WaitFor({"list"}, noticeOpen, 30);
    EXPECT_TRUE(noticeOpen(list)) << "the second outage was not told";
    EXPECT_EQ(Main(), "AFTER");
}

TEST_F(ContentSync, ARestartWhileTheFolderIsAwayShowsTheCachedPublicationAndBackBringsTheNewLines) {
    ASSERT_NO_FATAL_FAILURE(StartWith("news.txt", "CACHED\r\n"));
    session.WaitForAboutToClose();
    ASSERT_NO_FATAL_FAILURE(PublishEverySecond("news.txt"));
    std::string last;
    ASSERT_GE(WaitForMain("CACHED", 5, &last), 0) << last;
    EXPECT_NE(session.Status().find("\"folderReachable\":true,\"folderAwaySince\":null,\"lastRebuild\":\"20"),
              std::string::npos)
        << session.Status();

    // The share goes away while the display is off; it starts again without it.
    session.Send("END");
    ASSERT_TRUE(session.WaitForExit(20)) << "the display did not end";
    fs::path text = session.Folder() / "Text";
    fs::path away = session.Folder() / "Text.away";
    fs::rename(text, away);
    ASSERT_TRUE(session.Start()) << "the display did not start without its folder";
    double shown = WaitForMain("CACHED", 20, &last);
    EXPECT_GE(shown, 0) << "the cached publication did not come back: " << last;
    std::printf("cached line shown %.1f s after the start\n", shown);
    std::string list = session.WaitFor(
        {"list"}, [](const std::string& out) { return out.find("PlumwickNotice") != std::string::npos; }, 10);
    EXPECT_NE(list.find("PlumwickNotice"), std::string::npos) << "no notice that the folder is away";
    std::string status = session.Status();
    EXPECT_NE(status.find("\"folderReachable\":false,\"folderAwaySince\":\"20"), std::string::npos) << status;
    EXPECT_EQ(session.Probe({"visible", kForm}), "0") << "the content manager came up instead";
    session.SaveScreenshot("content-cached-after-restart");

    // Back, with a new line: the publication is brought up to date.
    WriteFile(away / "news.txt", "FRESH\r\n");
    fs::rename(away, text);
    double back = WaitForMain("FRESH", 30, &last);
    EXPECT_GE(back, 0) << "the folder came back but its new line did not: " << last;
    std::printf("folder back: new line shown %.1f s later\n", back);
    EXPECT_NE(session.Status().find("\"folderReachable\":true"), std::string::npos) << session.Status();
}

namespace {

std::string Shortcut(const std::string& url) {
    return "[InternetShortcut]\r\nURL=" + url + "\r\n";
}

std::string Rss(const std::string& title) {
    return "<?xml version=\"1.0\"?>\n<rss version=\"2.0\"><channel><title>Shop</title>\n<item><title>" +
           title + "</title></item>\n</channel></rss>\n";
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

} // namespace

TEST_F(ContentSync, AFeedsItemsJoinTheRotationARestartAsksWithItsValidatorsAndAFailedFetchKeepsTheCopy) {
    fs::path web = session.Folder() / "web";
    WriteFile(web / "feed.xml", Rss("FEEDONE"));
    HttpServer server(web);
    // Through a redirect, which the program follows by hand.
    ASSERT_NO_FATAL_FAILURE(
        StartWith("news.url", Shortcut(server.Url("redirect?to=" + server.Url("feed.xml")))));
    session.WaitForAboutToClose();
    ASSERT_NO_FATAL_FAILURE(PublishEverySecond("news.url"));
    std::string last;
    double shown = WaitForMain("FEEDONE", 15, &last);
    EXPECT_GE(shown, 0) << "the feed's item did not come: " << last << "\n" << server.Log();
    std::printf("feed item shown %.1f s after the publish\n", shown);
    EXPECT_EQ(Count(server.Log(), "GET /feed.xml 200"), 1u) << server.Log();
    EXPECT_EQ(Count(server.Log(), " 302"), 1u) << server.Log();

    // The next start fetches again, asking with the cached copy's validators: unchanged, 304.
    session.Send("END");
    ASSERT_TRUE(session.WaitForExit(20)) << "the display did not end";
    ASSERT_TRUE(session.Start());
    std::string log;
    for (int i = 0; i < 60 && Count(log, "GET /feed.xml 304") == 0; ++i) {
        SleepSeconds(0.25);
        log = server.Log();
    }
    EXPECT_EQ(Count(log, "GET /feed.xml 304"), 1u) << log;
    EXPECT_EQ(Count(log, "GET /feed.xml 200"), 1u) << log;
    EXPECT_GE(WaitForMain("FEEDONE", 15, &last), 0) << "the cached item did not come back: " << last;

    // The feed gone from the server: the fetch fails, the cached item stays, a notice says so.
    session.Send("END");
    ASSERT_TRUE(session.WaitForExit(20)) << "the display did not end";
    fs::remove(web / "feed.xml");
    ASSERT_TRUE(session.Start());
    std::string list = session.WaitFor(
        {"list"}, [](const std::string& out) { return out.find("PlumwickNotice") != std::string::npos; }, 20);
    EXPECT_NE(list.find("PlumwickNotice"), std::string::npos) << "no notice that the feed failed";
    EXPECT_NE(server.Log().find("GET /feed.xml 404"), std::string::npos) << server.Log();
    EXPECT_GE(WaitForMain("FEEDONE", 15, &last), 0) << "the failed fetch took the cached item away: " << last;
}

TEST_F(ContentSync, AFeedServerThatNeverAnswersLeavesTheDisplayRunningAndIsTold) {
    fs::path web = session.Folder() / "web";
    fs::create_directories(web);
    HttpServer server(web);
    fs::remove_all(session.Folder() / "Text");
    WriteFile(session.Folder() / "Text" / "local.txt", "LOCAL\r\n");
    WriteFile(session.Folder() / "Text" / "slow.url", Shortcut(server.Url("hang/feed.xml")));
    ASSERT_NO_FATAL_FAILURE(StartDisplay());
    ASSERT_EQ(session.Probe({"check-child", kForm, "slow.url"}), "clicked") << "the .url is not offered";
    session.WaitForAboutToClose();
    ASSERT_NO_FATAL_FAILURE(PublishEverySecond("local.txt"));
    std::string last;
    ASSERT_GE(WaitForMain("LOCAL", 5, &last), 0) << last;
    for (int i = 0; i < 40 && server.Log().find("hang") == std::string::npos; ++i) {
        SleepSeconds(0.25);
    }
    ASSERT_NE(server.Log().find("GET /hang/feed.xml hang"), std::string::npos) << server.Log();

    // While the server holds the request, the window thread answers at once.
    auto start = std::chrono::steady_clock::now();
    std::string status = session.Status();
    double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_NE(status.find("\"main\":\"LOCAL\""), std::string::npos) << status;
    std::printf("?status answered in %.2f s during the hanging fetch\n", took);
    EXPECT_LT(took, 5.0);

    // The fetch gives up after 10 s and says so; the rotation goes on.
    std::string list = session.WaitFor(
        {"list"}, [](const std::string& out) { return out.find("PlumwickNotice") != std::string::npos; }, 25);
    EXPECT_NE(list.find("PlumwickNotice"), std::string::npos) << "no notice that the feed failed";
    EXPECT_EQ(Main(), "LOCAL");
    EXPECT_TRUE(session.Running());
    // The administrator's log names the WinHTTP call that gave up, as it does every failed call.
    std::string log = ProgramLog();
    EXPECT_NE(log.find("failure"), std::string::npos) << log;
    EXPECT_NE(log.find("WinHttp"), std::string::npos) << log;
}
