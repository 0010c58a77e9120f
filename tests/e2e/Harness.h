#pragma once
// End-to-end tests: the staged Windows program runs under Wine in a private Xvfb display, driven through
// its real external interface by separate Windows processes (plumwick-send, plumwick-probe), and looked
// at through screenshots of the X root window.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace plumwick::e2e {

struct Rgb {
    int r = 0, g = 0, b = 0;
};

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb; // row-major, 3 bytes a pixel
    Rgb At(int x, int y) const;
    bool Save(const std::filesystem::path& png) const; // through ImageMagick
};

// The desktop colour every session sets on the X root window.
inline constexpr Rgb kDesktopColour{0x3a, 0x6e, 0xa5};
inline bool IsDesktop(Rgb c) {
    return c.r == kDesktopColour.r && c.g == kDesktopColour.g && c.b == kDesktopColour.b;
}
// Pixels of the rows top..bottom (exclusive) that differ from the desktop colour.
int CountNotDesktop(const Image& image, int top, int bottom);
// The rows top..bottom (exclusive) of two screenshots are equal pixel for pixel.
bool SameBand(const Image& a, const Image& b, int top, int bottom);

// A small HTTP server on 127.0.0.1 for the tests of content fetched from the web, serving the files of a
// folder: an ETag (from the file's bytes) and Last-Modified with each file, 304 for a matching
// If-None-Match or If-Modified-Since, 404 for a missing file, and a path beginning "/hang" that is
// accepted and never answered. It logs one line per request ("GET /feed.xml 200") for the test to read.
class HttpServer {
  public:
    explicit HttpServer(const std::filesystem::path& folder);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;
    int Port() const { return port_; }
    // "http://127.0.0.1:<port>/<path>"
    std::string Url(const std::string& path) const;
    // The requests so far, one a line.
    std::string Log() const;

  private:
    std::filesystem::path log_;
    int pid_ = 0;
    int port_ = 0;
};

// A picture file as ImageMagick reads it, after `operations` (its command-line options, e.g.
// "-filter point -resize 150%").
Image LoadPicture(const std::filesystem::path& file, const std::string& operations = "");

// Runs `command` through the shell and returns what it printed. A command still running after
// `limitSeconds` (0: no limit) is killed with everything it started, reported on the test's output, and
// returns 124: a hung Wine process or X tool fails its test visibly instead of holding it until ctest
// kills it silently.
std::string Shell(const std::string& command, int* status = nullptr, double limitSeconds = 120);
// A file's whole contents as bytes (empty when it cannot be read).
std::string ReadAll(const std::filesystem::path& file);

// What a session's desktop is like. The defaults are a shop PC's: one 1920x1080 monitor at 100 %, the
// taskbar along the bottom.
struct SessionOptions {
    int dpi = 96; // LogPixels: 96 = 100 %, 120, 144, 168, 192
    int screenWidth = 1920;
    int screenHeight = 1080;
    bool taskbarAtTop = false;
    // A second monitor of this size beside the first (Xinerama; Wine then lists two monitors). 0: none.
    int secondWidth = 0;
    int secondHeight = 0;
};

// One test's world: a fresh Xvfb display (1920x1080 unless told, desktop colour kDesktop) with icewm's
// taskbar along its bottom edge, a Wine prefix of its own made from the clean one, with its own wineserver,
// and a private copy of the staged program folder that the test may change before Start(). Sessions share
// nothing, so tests run side by side.
class Session {
  public:
    static constexpr Rgb kDesktop = kDesktopColour;

    explicit Session(const SessionOptions& options);
    // dpi: the desktop's scaling for this session (LogPixels, 96 = 100 %); the screen's size in pixels.
    explicit Session(int dpi = 96, int screenWidth = 1920, int screenHeight = 1080)
        : Session(SessionOptions{dpi, screenWidth, screenHeight}) {}
    ~Session(); // ends the program, the wineserver and the display

    // The program folder copy (holds plumwick.exe, data/system, Text).
    const std::filesystem::path& Folder() const { return folder_; }
    // The per-user settings folder (%APPDATA%\plumwick) in this session's prefix.
    std::filesystem::path PerUserSettingsFolder() const;
    // The Linux path of a Windows path of this session's drive C: ("C:\\users\\Public" and the like).
    std::filesystem::path DriveC() const { return prefix_ / "drive_c"; }
    // Makes a Linux folder reachable from Windows programs as drive `letter` ('n' gives N:\), as a mapped
    // network drive is, or as \\server\share (Wine serves UNC paths from the prefix's dosdevices/unc).
    // Call before Start().
    void MapDrive(char letter, const std::filesystem::path& target);
    void MapShare(const std::string& server, const std::string& share, const std::filesystem::path& target);
    // Starts plumwick.exe; true once the command box is idle (found by FindWindowEx), within timeout.
    // Without waitForIdle, true once the command window exists (start-up may still be showing a message).
    // `program` names another build of the display placed in Folder() beforehand.
    bool Start(double timeoutSeconds = 30, bool waitForIdle = true,
               const std::string& program = "plumwick.exe");
    // The about window greets every start for about 6 s over the middle of the screen; tests that look at
    // the text underneath wait for it to close by itself.
    bool WaitForAboutToClose(double timeoutSeconds = 20);
    bool Running();
    // Waits until the program has ended; true when it did within the timeout.
    bool WaitForExit(double timeoutSeconds);
    void Kill();

    // plumwick-send with the UTF-8 command (ansi: in the ANSI code page). Returns its exit code.
    int Send(const std::string& command, bool ansi = false);
    // plumwick-send --file for very long commands.
    int SendFile(const std::string& command);
    // plumwick-send --batch: the UTF-8 commands one after the other, each once the box is idle again,
    // waiting up to timeoutSeconds for the box and for each answer. Its exit code; its report ("sent N,
    // failed M") in *report.
    int SendBatch(const std::vector<std::string>& commands, std::string* report = nullptr,
                  double timeoutSeconds = 10);
    // plumwick-send with the arguments (each quoted for the shell), from the program folder. Its exit code;
    // what it printed to standard output and to standard error, without their line ends at the end.
    int SendTool(const std::vector<std::string>& args, std::string* out = nullptr,
                 std::string* err = nullptr);
    // The status line plumwick-send --status prints (empty when the display does not answer).
    std::string Status();
    // plumwick-probe with the arguments (each argument quoted for the shell); its standard output, trimmed.
    std::string Probe(const std::vector<std::string>& args);
    // Lines of "plumwick-probe list" whose class is `cls`.
    std::string WindowLine(const std::string& cls);
    // The extended style of the first window of that class, or -1.
    long long ExStyle(const std::string& cls);
    struct Rect {
        int x = 0, y = 0, w = 0, h = 0;
    };
    Rect WindowRect(const std::string& cls);
    bool Visible(const std::string& cls);

    // Pointer moves through xdotool (the X server's own pointer, which Wine follows).
    void MovePointer(int x, int y);
    // Puts the pointer on a glyph of the main line, as a user does to bring up the panel and the toolbar;
    // false when no glyph is found. The spot is looked for between columns left and right (-1: the
    // screen's width), e.g. to keep clear of the about window's splash.
    bool PointAtLine(int left = 0, int right = -1);
    // A key press through the X server (xdotool key syntax, e.g. "ctrl+alt+w"). Wine hears keys only while
    // one of its windows has the X focus, which the window manager gives on a click; the content manager
    // gets it first.
    void PressKeys(const std::string& keys);
    Image Screenshot();
    // Saves a screenshot under build/e2e-shots/<name>.png for people to look at; returns the path.
    std::filesystem::path SaveScreenshot(const std::string& name);

    // Polls `probe` until `predicate(output)` holds or the timeout passes; returns the last output.
    template <typename Predicate>
    std::string WaitFor(const std::vector<std::string>& probeArgs, Predicate predicate,
                        double timeoutSeconds = 10);

    std::string Env() const; // the environment prefix for shell commands (DISPLAY, WINEPREFIX, ...)
    // "cd" to the program folder, then the environment prefix: what a command on the session's programs
    // starts with.
    std::string InFolder() const;
    // A variable every Windows program of the session is started with from now on.
    void SetEnvironment(const std::string& name, const std::string& value);

    // The work area Wine reports (left, top, right, bottom in pixels): the screen above the taskbar.
    struct WorkArea {
        int left = 0, top = 0, right = 0, bottom = 0;
    };
    WorkArea GetWorkArea();

  private:
    std::string SenderErrors() const; // where the sender's error output goes, quoted for the shell
    int ReportUndocumented(int status) const;

    void StartXvfb(const std::string& screens);
    void WaitForDisplay(const std::string& screens);
    void StartWindowManager(int fullHeight);

    std::filesystem::path root_;
    std::filesystem::path prefix_;
    std::filesystem::path windowManagerConfig_;
    std::filesystem::path folder_;
    std::string display_;
    int xvfbPid_ = 0;
    int windowManagerPid_ = 0;
    int programPid_ = 0;
    std::string extraEnvironment_;
};

// `text` as one word for the shell, in single quotes.
std::string Quote(const std::string& text);
// `text` without the line ends at its end.
std::string TrimEnd(std::string text);

std::filesystem::path SourceDir();
std::filesystem::path WinBuildDir();
void SleepSeconds(double seconds);

template <typename Predicate>
std::string Session::WaitFor(const std::vector<std::string>& probeArgs, Predicate predicate,
                             double timeoutSeconds) {
    std::string out;
    for (double waited = 0; waited <= timeoutSeconds; waited += 0.2) {
        out = Probe(probeArgs);
        if (predicate(out)) {
            return out;
        }
        SleepSeconds(0.2);
    }
    return out;
}

} // namespace plumwick::e2e
