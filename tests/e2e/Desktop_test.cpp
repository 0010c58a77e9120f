// The test desktop is a shop PC's: a taskbar, Chinese font names, nothing left over from earlier runs; and
// the programs are made for it: a manifest each, and nothing imported that Windows 7 lacks.
#include "tests/e2e/Harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

using namespace plumwick::e2e;

namespace {

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The program folder's Windows programs, as the probe names them (it runs in that folder).
const char* const kPrograms[] = {"plumwick.exe", "plumwick-send.exe"};

} // namespace

TEST(TestDesktop, TaskbarAlongTheBottomShowsBelowTheDisplay) {
    Session session;
    ASSERT_TRUE(session.Start());
    ASSERT_TRUE(session.WaitForAboutToClose());
    Session::WorkArea work = session.GetWorkArea();
    ASSERT_LT(work.bottom, 1080);
    Session::Rect main = session.WindowRect("PlumwickMainText");
    EXPECT_EQ(main.y + main.h, work.bottom);
    // The pointer over the line brings up the panel and the toolbar, as a user first sees them.
    session.MovePointer(960, main.y + 20);
    SleepSeconds(1);
    Image shot = session.Screenshot();
    session.SaveScreenshot("desktop-taskbar");
    // The taskbar's strip is icewm's, not the desktop; the rows just above it are the desktop's again.
    int strip = 1920 * (1080 - work.bottom);
    EXPECT_GT(CountNotDesktop(shot, work.bottom, 1080), strip * 9 / 10);
    EXPECT_LT(CountNotDesktop(shot, work.bottom - 40, work.bottom), 1920 * 40 / 100);
}

TEST(TestDesktop, ChineseFontNamesAreMappedToTheInstalledFont) {
    Session session;
    for (const char* name : {"微软雅黑", "宋体", "Microsoft YaHei", "SimSun"}) {
        EXPECT_EQ(session.Probe({"fontsub", name}), "WenQuanYi Micro Hei") << name;
    }
}

TEST(TestDesktop, EachSessionStartsFromCleanPerUserState) {
    const std::string leftOver = "%USERPROFILE%\\plumwick-left-over.txt";
    {
        Session first;
        first.Probe({"regset", "7"});
        ASSERT_EQ(first.Probe({"regget"}), "7");
        Shell(first.Env() + " wine cmd /c 'echo left> " + leftOver + "' >/dev/null 2>&1");
        ASSERT_EQ(Shell(first.Env() + " wine cmd /c 'if exist " + leftOver + " echo there' 2>/dev/null")
                      .substr(0, 5),
                  "there");
    }
    Session second;
    EXPECT_EQ(second.Probe({"regget"}), "<none>");
    EXPECT_EQ(Shell(second.Env() + " wine cmd /c 'if exist " + leftOver + " echo there' 2>/dev/null"), "");
}

TEST(TestDesktop, BothProgramsCarryTheirManifest) {
    Session session;
    for (const char* program : kPrograms) {
        std::string manifest = session.Probe({"manifest", program});
        EXPECT_TRUE(Contains(manifest, "PerMonitorV2, PerMonitor")) << program;
        EXPECT_TRUE(Contains(manifest, "true/pm")) << program;
        EXPECT_TRUE(Contains(manifest, "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""))
            << program;
        EXPECT_TRUE(Contains(manifest, "level=\"asInvoker\"")) << program;
        EXPECT_TRUE(Contains(manifest, "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}")) << program << ": Windows 7";
        EXPECT_TRUE(Contains(manifest, "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"))
            << program << ": Windows 10 and 11";
    }
    // The manifest takes effect: the display's windows scale themselves instead of being stretched.
    ASSERT_TRUE(session.Start());
    std::string dpi = session.Probe({"dpi", "PlumwickMainText"});
    EXPECT_EQ(dpi.rfind("96 per-monitor", 0), 0u) << dpi;
}

// A call the program imports by name must exist on Windows 7, or the loader refuses to start it there; the
// newer DPI calls are looked up at run time instead.
TEST(TestDesktop, ProgramsImportNothingWindows7Lacks) {
    const char* const newer[] = {"GetDpiForWindow",
                                 "GetDpiForSystem",
                                 "GetDpiForMonitor",
                                 "AdjustWindowRectExForDpi",
                                 "GetSystemMetricsForDpi",
                                 "SystemParametersInfoForDpi",
                                 "SetProcessDpiAwareness",
                                 "SetProcessDpiAwarenessContext",
                                 "SetThreadDpiAwarenessContext",
                                 "GetThreadDpiAwarenessContext",
                                 "EnableNonClientDpiScaling",
                                 "GetProcessDpiAwareness"};
    for (const char* program : kPrograms) {
        int status = 0;
        std::string imports = Shell("x86_64-w64-mingw32-objdump -p '" +
                                        (WinBuildDir() / "stage" / program).string() + "' 2>/dev/null",
                                    &status);
        ASSERT_EQ(status, 0) << program;
        ASSERT_TRUE(Contains(imports, "DLL Name: USER32.dll") || Contains(imports, "DLL Name: user32.dll"))
            << program;
        EXPECT_FALSE(Contains(imports, "DLL Name: SHCORE.dll") || Contains(imports, "DLL Name: shcore.dll"))
            << program;
        for (const char* call : newer) {
            EXPECT_FALSE(Contains(imports, std::string(" ") + call + "\n")) << program << " imports " << call;
        }
    }
}

// The desktops the round's tests ask for: the taskbar on the top edge, a second monitor of another size,
// a mapped drive and a share, and a web server that answers as real ones do.
TEST(TestDesktop, TaskbarAtTheTopLeavesTheBottomOfTheScreenInTheWorkArea) {
    SessionOptions options;
    options.taskbarAtTop = true;
    Session session(options);
    Session::WorkArea work = session.GetWorkArea();
    EXPECT_GT(work.top, 0);
    EXPECT_LT(work.top, 60);
    EXPECT_EQ(work.bottom, 1080);
}

TEST(TestDesktop, TwoMonitorsOfDifferentSizesAreBothListed) {
    SessionOptions options;
    options.secondWidth = 1366;
    options.secondHeight = 768;
    Session session(options);
    std::string monitors = session.Probe({"monitors"});
    EXPECT_TRUE(Contains(monitors, "\\\\.\\DISPLAY1 0 0 1920 1080")) << monitors;
    EXPECT_TRUE(Contains(monitors, "1366")) << monitors;
    EXPECT_TRUE(Contains(monitors, "primary")) << monitors;
    EXPECT_EQ(std::count(monitors.begin(), monitors.end(), '\n'), 1) << monitors;
}

TEST(TestDesktop, AMappedDriveAndAShareReachALinuxFolder) {
    Session session;
    std::filesystem::path shared = session.Folder().parent_path() / "head-office";
    std::filesystem::create_directories(shared);
    std::ofstream(shared / "offers.txt") << "seen";
    session.MapDrive('n', shared);
    session.MapShare("headoffice", "content", shared);
    EXPECT_EQ(Shell(session.Env() + " wine cmd /c 'type N:\\offers.txt' 2>/dev/null"), "seen");
    EXPECT_EQ(Shell(session.Env() + " wine cmd /c 'type \\\\headoffice\\content\\offers.txt' 2>/dev/null"),
              "seen");
}

TEST(TestDesktop, TheWebServerSendsETagsAnswersConditionalRequestsAndCanHang) {
    std::filesystem::path site = std::filesystem::temp_directory_path() / "plumwick-e2e-site";
    std::filesystem::create_directories(site);
    std::ofstream(site / "feed.txt") << "one\ntwo\n";
    HttpServer server(site);
    ASSERT_GT(server.Port(), 0);
    std::string headers = Shell("curl -s -D - -o /dev/null " + server.Url("feed.txt"));
    std::size_t at = headers.find("ETag: ");
    ASSERT_NE(at, std::string::npos) << headers;
    std::string etag = headers.substr(at + 6, headers.find('\r', at) - at - 6);
    EXPECT_EQ(Shell("curl -s -o /dev/null -w '%{http_code}' -H 'If-None-Match: " + etag + "' " +
                    server.Url("feed.txt")),
              "304");
    EXPECT_EQ(Shell("curl -s -o /dev/null -w '%{http_code}' " + server.Url("missing.txt")), "404");
    EXPECT_EQ(Shell("curl -s -o /dev/null -w '%{http_code}' -m 1 " + server.Url("hang")), "000");
    EXPECT_TRUE(Contains(server.Log(), "GET /feed.txt 304")) << server.Log();
    std::filesystem::remove_all(site);
}
