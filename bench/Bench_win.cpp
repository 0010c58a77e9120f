// plumwick-bench: what drawing costs with the kept-image renderer against the straightforward one that
// rebuilds everything on every call, and how the staged program behaves under load (CPU during a karaoke
// sweep and at idle, start-up time, memory and GDI objects over many commands).
//
//   plumwick-bench [--quick] [--exe PATH\plumwick.exe] [--no-process]
//   plumwick-bench --week [--days N] [--hour-ticks N]     (scripts/bench-week.sh)
//
// --quick runs fewer iterations, a 3 s sweep and 1,000 commands, for a smoke run. Without --exe the
// program beside this one (or in stage\) is used; --no-process measures the drawing only.
#include "display/ColorSchemes.h"
#include "display/KaraokeSweep.h"
#include "display/LayeredTextRenderer_win.h"
#include "display/RenderPasses.h"
#include "display/SweepPainter_win.h"
#include "win32/Layered_win.h"
#include "win32/Windows_win.h"

#include <psapi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

using plumwick::LayeredTextRenderer;
using plumwick::LineStyle;
using Mode = LayeredTextRenderer::Mode;

constexpr int kMainHeight = 646;
constexpr int kKaraokeHeight = 111;
constexpr int kTwipsPerPixel = 15;

// Two realistic shop lines of Chinese and Latin text, about 1,600 px wide at the default 36 px.
const std::u16string kLineA =
    u"欢迎光临 Plumwick 商店 — 今日特价：新鲜水果 8 折，会员积分双倍！Open 9:00-21:00";
const std::u16string kLineB =
    u"本店推荐：精选咖啡 Espresso ¥18、拿铁 Latte ¥22，欢迎品尝 www.plumwick.example";

struct Options {
    bool quick = false;
    bool process = true;
    bool drawing = true;
    bool sweepOnly =
        false; // only the sweep figures, in process and of the program (another screen or setting)
    bool shapesOff = false; // Wine's shape emulation of per-pixel alpha is off: the targets apply
    int runs = 3;           // the sweep figures are the median of this many runs
    std::string label;      // added to the sweep rows' names, e.g. " (shapes off)"
    std::wstring exe;
};

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// ---------------------------------------------------------------------------------------------------
// Output

void Row(const std::string& figure, const std::string& cached, const std::string& straight,
         const std::string& ratio = {}, const std::string& note = {}) {
    std::printf("%-38s cached %-12s straightforward %-12s %s%s%s\n", figure.c_str(), cached.c_str(),
                straight.c_str(), ratio.empty() ? "" : "ratio ", ratio.c_str(),
                note.empty() ? "" : ("   " + note).c_str());
    std::fflush(stdout);
}

std::string Fixed(double value, const char* unit, int decimals = 2) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f %s", decimals, value, unit);
    return buffer;
}

std::string Ratio(double a, double b) {
    if (b <= 0) {
        return "n/a";
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", a / b);
    return buffer;
}

std::string Verdict(bool met, const char* target) {
    return std::string(met ? "[met: " : "[MISSED: ") + target + "]";
}

// ---------------------------------------------------------------------------------------------------
// Drawing cost, in this process

// A shown, non-activating layered window of the given size at the screen's top left (wider than the
// screen works as well: the window system keeps and presents the whole image).
class BenchWindow {
  public:
    BenchWindow(int width, int height) {
        static bool registered = [] {
            WNDCLASSW cls{};
            cls.lpfnWndProc = DefWindowProcW;
            cls.hInstance = GetModuleHandleW(nullptr);
            cls.lpszClassName = L"BenchSurface";
            return RegisterClassW(&cls) != 0;
        }();
        (void)registered;
        hwnd_ = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST,
                                L"BenchSurface", L"bench", WS_POPUP, 0, 0, width, height, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        if (hwnd_) {
            ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
        }
        Pump();
    }
    ~BenchWindow() {
        if (hwnd_) {
            DestroyWindow(hwnd_);
        }
        Pump();
    }
    BenchWindow(const BenchWindow&) = delete;
    BenchWindow& operator=(const BenchWindow&) = delete;
    HWND get() const { return hwnd_; }

  private:
    HWND hwnd_ = nullptr;
};

LineStyle MainStyle(int screenWidth) {
    plumwick::MainColors colors = *plumwick::MainColorsFor(1);
    LineStyle style;
    style.fontName = u"Microsoft YaHei";
    style.fontSize = 36;
    style.passes = plumwick::MainWindowPasses(colors.color1, colors.color2);
    style.layoutWidth = plumwick::LayoutWidthPixels(screenWidth * kTwipsPerPixel);
    return style;
}

LineStyle KaraokeStyle(int screenWidth) {
    LineStyle style = MainStyle(screenWidth);
    style.passes = {plumwick::KaraokePass(1)};
    return style;
}

// Milliseconds per call of `step(i)`, after two calls of warm-up; messages are handled between calls as
// the program's own loop would.
double MsPerCall(int iterations, const std::function<void(int)>& step) {
    step(0);
    step(1);
    Pump();
    double start = Now();
    for (int i = 0; i < iterations; ++i) {
        step(i);
        Pump();
    }
    return (Now() - start) * 1000.0 / iterations;
}

struct Pair {
    double cached = 0;
    double straight = 0;
};

Pair MainDraw(int width, int iterations, bool sameLine) {
    BenchWindow window(width, kMainHeight);
    LineStyle style = MainStyle(width);
    Pair result;
    for (Mode mode : {Mode::Cached, Mode::Straightforward}) {
        LayeredTextRenderer renderer;
        renderer.SetMode(mode);
        double ms = MsPerCall(iterations, [&](int i) {
            const std::u16string& line = sameLine || i % 2 == 0 ? kLineA : kLineB;
            renderer.Draw(window.get(), line, style, width, kMainHeight);
        });
        (mode == Mode::Cached ? result.cached : result.straight) = ms;
    }
    return result;
}

// Karaoke ticks through the program's own sweep painter. A growing tick widens the window by two pixels
// from `visible` - 2, as a sweep does; a tick at the screen's width leaves it as it is, as every tick does
// once a sweep has passed the line's end (the timer runs on until the next command).
Pair KaraokeTick(int screenWidth, int visible, int iterations, bool growing) {
    BenchWindow window(screenWidth, kKaraokeHeight);
    LineStyle style = KaraokeStyle(screenWidth);
    Pair result;
    for (Mode mode : {Mode::Cached, Mode::Straightforward}) {
        LayeredTextRenderer renderer;
        renderer.SetMode(mode);
        plumwick::SweepPainter painter(renderer);
        painter.Arm(window.get(), visible, kKaraokeHeight);
        painter.Tick(window.get(), kLineA, style, visible, screenWidth, kKaraokeHeight, Now());
        int width = visible;
        // Growing ticks alternate between two widths: the way back costs the same as the way out.
        double ms = MsPerCall(iterations, [&](int) {
            int next = growing && width == visible ? visible - 2 : visible;
            painter.Tick(window.get(), kLineA, style, next, screenWidth, kKaraokeHeight, Now());
            width = next;
        });
        (mode == Mode::Cached ? result.cached : result.straight) = ms;
    }
    return result;
}

// A full-width line swept over 3 s through the program's own sweep painter, in real time: a 10 ms
// timer, the time-driven edge, the window's messages handled between ticks, as the program runs it.
struct SweepRun {
    double msPerTick = 0;           // the painter's own time per tick
    double pixelsPerMovingTick = 0; // handed over, arming excluded
    double presentsPerSecond = 0;
    double stepPx = 0; // how far the edge moves in 10 ms
    long ticks = 0;
};

SweepRun RealTimeSweep(int screenWidth, Mode mode, double seconds) {
    BenchWindow window(screenWidth, kKaraokeHeight);
    LineStyle style = KaraokeStyle(screenWidth);
    LayeredTextRenderer renderer;
    renderer.SetMode(mode);
    plumwick::SweepPainter painter(renderer,
                                   plumwick::RefreshPeriodSeconds(plumwick::win::ScreenRefreshHz()));
    int screenTwips = screenWidth * kTwipsPerPixel;
    int textWidth = std::min(32767, screenTwips - 20 * kTwipsPerPixel);
    auto duration = static_cast<std::int32_t>(std::lround(seconds / plumwick::kSweepSecondsPerDurationUnit));
    plumwick::SweepLine line{plumwick::InitialSweepWidthTwips(screenTwips, textWidth), textWidth, duration};
    plumwick::SweepTimeline timeline;

    SweepRun run;
    run.stepPx =
        static_cast<double>(textWidth) / duration / plumwick::kSweepTicksPerDurationUnit / kTwipsPerPixel;
    double start = Now();
    timeline.Arm(start);
    timeline.Start(start);
    int edge = plumwick::SweepEdgePixels(line, 0, screenTwips);
    painter.Arm(window.get(), edge, kKaraokeHeight);
    painter.Tick(window.get(), kLineA, style, edge, screenWidth, kKaraokeHeight,
                 start); // arming: not counted
    plumwick::SweepPainter::Counts armed = painter.GetCounts();
    double painting = 0;
    SetTimer(window.get(), 1, plumwick::kSweepTimerMs, nullptr);
    MSG msg;
    while (Now() - start < seconds && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.hwnd == window.get()) {
            double t0 = Now();
            edge = plumwick::SweepEdgePixels(line, timeline.Elapsed(t0), screenTwips);
            painter.Tick(window.get(), kLineA, style, edge, screenWidth, kKaraokeHeight, t0);
            painting += Now() - t0;
            ++run.ticks;
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    KillTimer(window.get(), 1);
    double elapsed = Now() - start;
    const plumwick::SweepPainter::Counts& counts = painter.GetCounts();
    run.msPerTick = run.ticks > 0 ? painting * 1000.0 / static_cast<double>(run.ticks) : 0;
    std::int64_t moves = counts.moves - armed.moves;
    run.pixelsPerMovingTick =
        moves > 0 ? static_cast<double>(counts.pixels - armed.pixels) / static_cast<double>(moves) : 0;
    run.presentsPerSecond = static_cast<double>(counts.presents - armed.presents) / elapsed;
    return run;
}

std::string Median(std::vector<double> values, const char* unit, int decimals) {
    if (values.empty()) {
        return "n/a";
    }
    std::sort(values.begin(), values.end());
    return Fixed(values[values.size() / 2], unit, decimals);
}

double MedianOf(std::vector<double> values) {
    if (values.empty()) {
        return -1;
    }
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Microseconds per call of `step`, a tight loop (a tick's parts at rest, where they are all it costs).
double MicrosecondsPerCall(int iterations, const std::function<void()>& step) {
    double start = Now();
    for (int i = 0; i < iterations; ++i) {
        step();
    }
    return (Now() - start) * 1e6 / iterations;
}

// A tick at rest (the edge at the screen's width, the line unchanged) through the sweep painter, and the
// one Win32 call that used to cost more than all of it under Wine.
void RestTick(const Options& options) {
    int width = GetSystemMetrics(SM_CXSCREEN);
    BenchWindow window(width, kKaraokeHeight);
    LineStyle style = KaraokeStyle(width);
    double us[2] = {0, 0};
    for (Mode mode : {Mode::Cached, Mode::Straightforward}) {
        LayeredTextRenderer renderer;
        renderer.SetMode(mode);
        plumwick::SweepPainter painter(renderer);
        painter.Arm(window.get(), width, kKaraokeHeight);
        painter.Tick(window.get(), kLineA, style, width, width, kKaraokeHeight, Now());
        int iterations = mode == Mode::Cached ? 20000 : (options.quick ? 10 : 50);
        us[mode == Mode::Cached ? 0 : 1] = MicrosecondsPerCall(iterations, [&] {
            painter.Tick(window.get(), kLineA, style, width, width, kKaraokeHeight, Now());
        });
    }
    volatile int sink = 0;
    double metrics = MicrosecondsPerCall(2000, [&] { sink = sink + GetSystemMetrics(SM_CXSCREEN); });
    char note[96];
    std::snprintf(note, sizeof note, "(GetSystemMetrics(SM_CXSCREEN) alone: %.1f us)", metrics);
    Row("sweep at rest: own time per tick " + std::to_string(width) + " px" + options.label,
        Fixed(us[0], "us", 2), Fixed(us[1], "us", 0), Ratio(us[0], us[1]), note);
}

// What the window system's part costs, apart from the program: handing over the same few columns of a
// narrow and of a screen-wide window (a window system that copies only the dirty rectangle costs the
// same for both), and the process's own CPU for a 10 ms timer whose ticks do nothing.
void WindowSystemFloor(const Options& options) {
    int width = GetSystemMetrics(SM_CXSCREEN);
    double us[2] = {0, 0};
    int i = 0;
    for (int windowWidth : {width, 240}) {
        BenchWindow window(windowWidth, kKaraokeHeight);
        plumwick::win::LayeredSurface surface;
        plumwick::win::WindowDc screen(window.get());
        if (!surface.Create(screen.get(), windowWidth, kKaraokeHeight)) {
            return;
        }
        std::fill(surface.pixels(), surface.pixels() + windowWidth * kKaraokeHeight, 0x80402010u);
        surface.Present(window.get());
        RECT dirty{100, 0, 106, kKaraokeHeight};
        us[i++] = MicrosecondsPerCall(options.quick ? 200 : 1000,
                                      [&] { surface.PresentDirty(window.get(), dirty); });
    }
    Row("present of 6 x 111 px, window " + std::to_string(width) + " / 240 px" + options.label,
        Fixed(us[0], "us", 1), Fixed(us[1], "us", 1), Ratio(us[0], us[1]),
        "(the columns are the cached figure, the narrow window the other)");

    BenchWindow window(64, 64);
    FILETIME created, exited, kernel0, user0, kernel1, user1;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel0, &user0);
    double start = Now();
    SetTimer(window.get(), 1, plumwick::kSweepTimerMs, nullptr);
    long ticks = 0;
    MSG msg;
    while (Now() - start < 3.0 && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ticks += msg.message == WM_TIMER ? 1 : 0;
        DispatchMessageW(&msg);
    }
    KillTimer(window.get(), 1);
    double elapsed = Now() - start;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel1, &user1);
    auto seconds = [](const FILETIME& t) {
        return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
    };
    double cpu = seconds(kernel1) + seconds(user1) - seconds(kernel0) - seconds(user0);
    char note[64];
    std::snprintf(note, sizeof note, "(%.0f ticks a second)", static_cast<double>(ticks) / elapsed);
    Row("CPU of a bare 10 ms timer" + options.label, Fixed(cpu / elapsed * 100.0, "%", 2), "-", {}, note);
}

void SweepFigures(const Options& options) {
    WindowSystemFloor(options);
    RestTick(options);
    for (int width : {GetSystemMetrics(SM_CXSCREEN)}) {
        std::string px = " " + std::to_string(width) + " px" + options.label;
        std::vector<double> ms[2], pixels[2], presents[2];
        double step = 0;
        for (int run = 0; run < options.runs; ++run) {
            for (Mode mode : {Mode::Cached, Mode::Straightforward}) {
                SweepRun r = RealTimeSweep(width, mode, 3.0);
                int i = mode == Mode::Cached ? 0 : 1;
                ms[i].push_back(r.msPerTick);
                pixels[i].push_back(r.pixelsPerMovingTick);
                presents[i].push_back(r.presentsPerSecond);
                step = r.stepPx;
            }
        }
        Row("sweep: own time per tick" + px, Median(ms[0], "ms", 3), Median(ms[1], "ms", 3),
            Ratio(MedianOf(ms[0]), MedianOf(ms[1])));
        double limit = (step + 2) * kKaraokeHeight;
        char target[64];
        std::snprintf(target, sizeof target, "<= (%.1f + 2) x 111 = %.0f", step, limit);
        Row("sweep: pixels per moving tick" + px, Median(pixels[0], "px", 0), Median(pixels[1], "px", 0),
            Ratio(MedianOf(pixels[0]), MedianOf(pixels[1])),
            width == 1920 ? Verdict(MedianOf(pixels[0]) <= limit, target) : "");
        Row("sweep: presents per second" + px, Median(presents[0], "/s", 1), Median(presents[1], "/s", 1),
            Ratio(MedianOf(presents[0]), MedianOf(presents[1])),
            Verdict(MedianOf(presents[0]) <=
                        1.02 / plumwick::RefreshPeriodSeconds(plumwick::win::ScreenRefreshHz()),
                    "at most one per refresh"));
    }
}

// The kept image and the straightforward one must look the same, up to the rounding of the kept image's
// own blending (a channel level or two).
std::optional<bool> SamePicture(int width) {
    BenchWindow window(width, kMainHeight);
    LineStyle style = MainStyle(width);
    LayeredTextRenderer cached;
    LayeredTextRenderer straight;
    straight.SetMode(Mode::Straightforward);
    cached.Draw(window.get(), kLineB, style, width, kMainHeight);
    cached.Draw(window.get(), kLineA, style, width, kMainHeight);
    straight.Draw(window.get(), kLineA, style, width, kMainHeight);
    if (cached.Surface().empty() || straight.Surface().empty()) {
        return std::nullopt;
    }
    GdiFlush();
    std::size_t count = static_cast<std::size_t>(width) * kMainHeight;
    std::size_t differing = 0;
    int worst = 0;
    for (std::size_t i = 0; i < count; ++i) {
        std::uint32_t a = cached.Surface().pixels()[i];
        std::uint32_t b = straight.Surface().pixels()[i];
        if (a != b) {
            ++differing;
            for (int shift = 0; shift < 32; shift += 8) {
                worst = std::max(worst, std::abs(static_cast<int>((a >> shift) & 0xFF) -
                                                 static_cast<int>((b >> shift) & 0xFF)));
            }
        }
    }
    std::printf("%-38s %zu of %zu pixels differ between the two paths (largest channel difference %d)\n",
                ("picture check " + std::to_string(width) + " px").c_str(), differing, count, worst);
    return differing == 0;
}

void DrawingFigures(const Options& options) {
    int mainIterations = options.quick ? 6 : 40;
    int tickIterations = options.quick ? 50 : 500;
    for (int width : {1920, 3840}) {
        std::string px = " " + std::to_string(width) + " px";
        Pair draw = MainDraw(width, mainIterations, false);
        Row("main DrawText" + px, Fixed(draw.cached, "ms"), Fixed(draw.straight, "ms"),
            Ratio(draw.cached, draw.straight),
            width == 1920 ? Verdict(draw.cached <= draw.straight / 2, "ratio <= 0.5") : "");
        Pair same = MainDraw(width, mainIterations, true);
        Row("main RefreshText (same line)" + px, Fixed(same.cached, "ms"), Fixed(same.straight, "ms"),
            Ratio(same.cached, same.straight));
        Pair full = KaraokeTick(width, width, tickIterations, false);
        Row("karaoke tick at full width" + px, Fixed(full.cached, "ms", 3), Fixed(full.straight, "ms", 3),
            Ratio(full.cached, full.straight),
            width == 1920 ? Verdict(full.cached <= full.straight / 4, "ratio <= 0.25") : "");
        Pair nearFull = KaraokeTick(width, width, tickIterations, true);
        Row("karaoke tick growing, full width" + px, Fixed(nearFull.cached, "ms", 3),
            Fixed(nearFull.straight, "ms", 3), Ratio(nearFull.cached, nearFull.straight));
        Pair half = KaraokeTick(width, width / 2, tickIterations, true);
        Row("karaoke tick growing, half width" + px, Fixed(half.cached, "ms", 3),
            Fixed(half.straight, "ms", 3), Ratio(half.cached, half.straight));
    }
    SamePicture(1920);
}

// ---------------------------------------------------------------------------------------------------
// The staged program as a child process

HWND FindIdleBox() {
    HWND window = FindWindowW(nullptr, L"FrmKrcMessage");
    return window ? FindWindowExW(window, nullptr, L"ThunderRT6TextBox", L"KrcMessage") : nullptr;
}

bool MainWindowShown() {
    HWND main = FindWindowW(L"PlumwickMainText", nullptr);
    return main && IsWindowVisible(main);
}

std::string Utf8(const std::wstring& text) {
    int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                     nullptr, nullptr);
    std::string out(static_cast<std::size_t>(std::max(length, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), length, nullptr,
                        nullptr);
    return out;
}

std::string ReadWholeFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        bytes.append(buffer, got);
    }
    CloseHandle(file);
    return bytes;
}

// Under Wine, GetProcessTimes and the private bytes of another process read as 0. The Linux process
// behind the child is then read from /proc through drive Z:: the newest process of this Wine prefix
// whose command line is the program's path.
class LinuxProcess {
  public:
    static std::optional<LinuxProcess> Find(const std::wstring& exe) {
        std::string wanted = Utf8(exe) + '\0';
        wchar_t prefix[MAX_PATH] = L"";
        GetEnvironmentVariableW(L"WINEPREFIX", prefix, MAX_PATH);
        std::string prefixVariable = "WINEPREFIX=" + Utf8(prefix) + '\0';
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW(L"Z:\\proc\\*", &found);
        if (search == INVALID_HANDLE_VALUE) {
            return std::nullopt;
        }
        std::optional<LinuxProcess> newest;
        double newestStart = -1;
        do {
            std::wstring name = found.cFileName;
            if (name.empty() || !std::all_of(name.begin(), name.end(), iswdigit)) {
                continue;
            }
            LinuxProcess candidate(L"Z:\\proc\\" + name);
            std::string commandLine = ReadWholeFile(candidate.dir_ + L"\\cmdline");
            if (lstrcmpiA(commandLine.c_str(), wanted.c_str()) != 0 ||
                ReadWholeFile(candidate.dir_ + L"\\environ").find(prefixVariable) == std::string::npos) {
                continue;
            }
            std::vector<std::string> fields = candidate.StatFields();
            double start = fields.size() > 19 ? std::stod(fields[19]) : 0; // field 22, start time
            if (start > newestStart) {
                newestStart = start;
                newest = candidate;
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
        return newest;
    }

    // User plus system time, from /proc/PID/stat (fields 14 and 15, in clock ticks of 1/100 s).
    std::optional<double> CpuSeconds() const {
        std::vector<std::string> fields = StatFields();
        if (fields.size() < 13) {
            return std::nullopt;
        }
        return (std::stod(fields[11]) + std::stod(fields[12])) / 100.0;
    }

    // A field of /proc/PID/status in kB ("VmData", "RssAnon").
    std::optional<double> StatusMb(const char* field) const {
        std::string status = ReadWholeFile(dir_ + L"\\status");
        std::size_t at = status.find(std::string("\n") + field + ":");
        if (at == std::string::npos) {
            return std::nullopt;
        }
        return std::strtod(status.c_str() + at + std::strlen(field) + 2, nullptr) / 1024.0;
    }

    static LinuxProcess FromPid(const std::wstring& pid) { return LinuxProcess(L"Z:\\proc\\" + pid); }

    // The open file descriptors (/proc/PID/fd): under Wine the nearest figure to a handle count, as files,
    // events and sections the process holds open keep descriptors of their own.
    std::optional<long> OpenDescriptors() const {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((dir_ + L"\\fd\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) {
            return std::nullopt;
        }
        long count = 0;
        do {
            count += found.cFileName[0] != L'.' ? 1 : 0;
        } while (FindNextFileW(search, &found));
        FindClose(search);
        return count;
    }

  private:
    explicit LinuxProcess(std::wstring dir) : dir_(std::move(dir)) {}
    // The fields of /proc/PID/stat after the command name: index 0 is field 3 (the state).
    std::vector<std::string> StatFields() const {
        std::string stat = ReadWholeFile(dir_ + L"\\stat");
        std::vector<std::string> fields;
        std::size_t paren = stat.rfind(')');
        if (paren == std::string::npos) {
            return fields;
        }
        for (std::size_t at = paren + 2; at < stat.size();) {
            std::size_t space = stat.find_first_of(" \n", at);
            fields.push_back(stat.substr(at, space == std::string::npos ? std::string::npos : space - at));
            at = space == std::string::npos ? stat.size() : space + 1;
        }
        return fields;
    }
    std::wstring dir_;
};

class Child {
  public:
    Child(const std::wstring& exe, bool straightforward, const std::wstring& moreArguments = {}) {
        exe_ = exe;
        std::wstring folder = exe.substr(0, exe.find_last_of(L"\\/"));
        std::wstring commandLine =
            L"\"" + exe + L"\"" + (straightforward ? L" --render=straightforward" : L"") + moreArguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        started_ = Now();
        if (CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           folder.c_str(), &startup, &info_)) {
            CloseHandle(info_.hThread);
            running_ = true;
        }
    }

    const LinuxProcess* Linux() {
        if (!linux_ && running_) {
            linux_ = LinuxProcess::Find(exe_);
        }
        return linux_ ? &*linux_ : nullptr;
    }
    ~Child() { End(); }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool Running() const { return running_ && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
    HANDLE Process() const { return info_.hProcess; }

    // Seconds from CreateProcess until the box is idle and the main window shows its first line.
    std::optional<double> WaitUntilReady(double timeoutSeconds) {
        while (Now() - started_ < timeoutSeconds && Running()) {
            if (FindIdleBox() && MainWindowShown()) {
                return Now() - started_;
            }
            Sleep(2);
        }
        return std::nullopt;
    }

    // The about window fades in and out after the start; idle figures wait until it has gone.
    void WaitForAboutToClose(double timeoutSeconds) {
        double start = Now();
        while (Now() - start < timeoutSeconds) {
            HWND about = FindWindowW(L"PlumwickAbout", nullptr);
            if (!about || !IsWindowVisible(about)) {
                return;
            }
            Sleep(100);
        }
    }

    // Seconds of processor time (user + kernel) used so far. Under Wine the times of another process do
    // not advance, so the Linux process's are read when it can be found.
    double CpuSeconds() {
        if (const LinuxProcess* linux = Linux()) {
            if (std::optional<double> seconds = linux->CpuSeconds()) {
                return *seconds;
            }
        }
        FILETIME created, exited, kernel, user;
        if (!GetProcessTimes(info_.hProcess, &created, &exited, &kernel, &user)) {
            return 0;
        }
        auto seconds = [](const FILETIME& t) {
            return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) /
                   1e7;
        };
        return seconds(kernel) + seconds(user);
    }

    void End() {
        if (!running_) {
            return;
        }
        running_ = false;
        if (HWND box = FindIdleBox()) {
            DWORD_PTR result;
            SendMessageTimeoutW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"END"), SMTO_NORMAL, 2000,
                                &result);
        }
        if (WaitForSingleObject(info_.hProcess, 5000) != WAIT_OBJECT_0) {
            TerminateProcess(info_.hProcess, 1);
            WaitForSingleObject(info_.hProcess, 5000);
        }
        CloseHandle(info_.hProcess);
    }

  private:
    PROCESS_INFORMATION info_{};
    std::wstring exe_;
    std::optional<LinuxProcess> linux_;
    double started_ = 0;
    bool running_ = false;
};

// Writes one command into the idle box, as plumwick-send does; false when the box did not become idle or
// the display did not answer.
bool SendCommand(const std::wstring& command, DWORD timeoutMs = 10000) {
    DWORD deadline = GetTickCount() + timeoutMs;
    HWND box = FindIdleBox();
    while (!box && static_cast<LONG>(deadline - GetTickCount()) > 0) {
        Sleep(1);
        box = FindIdleBox();
    }
    if (!box) {
        return false;
    }
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(command.c_str()), SMTO_NORMAL,
                               timeoutMs, &result) != 0;
}

struct Memory {
    double workingSetMb = 0;
    double privateMb = 0;
    long gdiObjects = -1;          // -1: not reported by this system
    bool privateFromLinux = false; // Wine: the Linux process's committed data (VmData) instead
};

Memory MeasureMemory(Child& child) {
    HANDLE process = child.Process();
    // Trimmed first, as the skin panel does every 5 s, so the working set shows what stays in use.
    EmptyWorkingSet(process);
    SetProcessWorkingSetSize(process, static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
    Sleep(200);
    Memory memory;
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                             sizeof counters)) {
        memory.workingSetMb = static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0);
        memory.privateMb = static_cast<double>(counters.PrivateUsage) / (1024.0 * 1024.0);
    }
    if (memory.privateMb == 0) {
        if (const LinuxProcess* linux = child.Linux()) {
            memory.privateMb = linux->StatusMb("VmData").value_or(0);
            memory.privateFromLinux = true;
        }
    }
    SetLastError(0);
    DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS);
    if (gdi != 0 || GetLastError() == 0) {
        memory.gdiObjects = static_cast<long>(gdi);
    }
    return memory;
}

// A mix of every verb, valid and invalid, that never ends the program (no text starts with "END").
std::vector<std::wstring> CommandMix(int count) {
    std::mt19937 random(20240601);
    std::vector<std::wstring> commands;
    commands.reserve(static_cast<std::size_t>(count));
    const wchar_t* simple[] = {L"TMS",
                               L"TME",
                               L"CKT",
                               L"LOK",
                               L"ULK",
                               L"HDE",
                               L"KrcMessage",
                               L"dlt lower case",
                               L"end",
                               L"",
                               L"DK",
                               L"DKC",
                               L"DKC||||",
                               L"DKCx||abc||100",
                               L"DKCx||1||99999",
                               L"XYZ unknown verb",
                               L"DKT"};
    for (int i = 0; i < count; ++i) {
        std::wstring n = std::to_wstring(i);
        switch (random() % 10) {
        case 0:
        case 1:
            commands.push_back(L"DLT 第 " + n + L" 行 line " + n + L" 欢迎光临");
            break;
        case 2:
        case 3:
            commands.push_back(L"DKC歌词 " + n + L" lyric||" + std::to_wstring(1 + random() % 3) + L"||" +
                               std::to_wstring(3000 + random() % 25000));
            break;
        case 4:
            commands.push_back(L"DKT 高亮 " + n);
            break;
        default:
            commands.push_back(simple[random() % (sizeof simple / sizeof simple[0])]);
            break;
        }
    }
    commands.push_back(L"ULK");
    commands.push_back(L"DLT 最后一行 last line");
    return commands;
}

struct ProcessFigures {
    std::optional<double> startup; // seconds, the median of the runs
    double idleShare = -1;         // CPU share of one core, 0..1
    double sweepShare = -1;
    double fullWidthShare = -1; // after the sweep, the timer still running at the screen's width
    double xSweepShare = -1;    // the X server's, where it can be read
    double xRestShare = -1;
    Memory before;
    Memory after;
    int sent = 0;
    int failed = 0;
    double commandSeconds = 0;
};

struct Shares {
    double process = -1;
    double xServer = -1;
};

// The Linux process of the X server, from PLUMWICK_XVFB_PID (set by scripts/bench.sh).
std::optional<LinuxProcess> XServer() {
    wchar_t pid[32] = L"";
    if (GetEnvironmentVariableW(L"PLUMWICK_XVFB_PID", pid, 32) == 0 || pid[0] == 0) {
        return std::nullopt;
    }
    return LinuxProcess::FromPid(pid);
}

Shares SharesOver(Child& child, double seconds) {
    std::optional<LinuxProcess> x = XServer();
    std::optional<double> x0 = x ? x->CpuSeconds() : std::nullopt;
    double cpu0 = child.CpuSeconds();
    double t0 = Now();
    Sleep(static_cast<DWORD>(seconds * 1000));
    Shares shares;
    double elapsed = Now() - t0;
    shares.process = (child.CpuSeconds() - cpu0) / elapsed;
    std::optional<double> x1 = x ? x->CpuSeconds() : std::nullopt;
    if (x0 && x1) {
        shares.xServer = (*x1 - *x0) / elapsed;
    }
    return shares;
}

double CpuShareOver(Child& child, double seconds) {
    double cpu0 = child.CpuSeconds();
    double t0 = Now();
    Sleep(static_cast<DWORD>(seconds * 1000));
    return (child.CpuSeconds() - cpu0) / (Now() - t0);
}

ProcessFigures RunProgram(const Options& options, bool straightforward) {
    ProcessFigures figures;
    std::vector<double> startups;
    int starts = options.quick || options.sweepOnly ? 1 : 3;
    for (int i = 0; i < starts; ++i) {
        Child child(options.exe, straightforward);
        if (std::optional<double> ready = child.WaitUntilReady(60)) {
            startups.push_back(*ready);
        }
        if (i + 1 < starts) {
            continue;
        }
        if (!child.Running() || startups.empty()) {
            break;
        }
        std::sort(startups.begin(), startups.end());
        figures.startup = startups[startups.size() / 2];

        child.WaitForAboutToClose(20);
        Sleep(1000);
        if (!options.sweepOnly) {
            figures.idleShare = CpuShareOver(child, options.quick ? 3 : 10);
        }

        // A line almost as wide as the screen, swept over 3 s (duration 6), then the display at rest with
        // the timer running on (the state a sung line leaves it in); each the median of several runs, a
        // different line each time so that DKC does not ignore it.
        int screenTwips = GetSystemMetrics(SM_CXSCREEN) * kTwipsPerPixel;
        int textWidth = std::min(32767, screenTwips - 20 * kTwipsPerPixel);
        SendCommand(L"DLT " + std::wstring(kLineA.begin(), kLineA.end()));
        Sleep(300);
        std::vector<double> sweep, rest, xSweep, xRest;
        for (int run = 0; run < options.runs; ++run) {
            const std::u16string& line = run % 2 == 0 ? kLineA : kLineB;
            SendCommand(L"DKC" + std::wstring(line.begin(), line.end()) + L"||6||" +
                        std::to_wstring(textWidth));
            Shares during = SharesOver(child, 3.0);
            Sleep(200);
            Shares after = SharesOver(child, 3.0);
            sweep.push_back(during.process);
            rest.push_back(after.process);
            xSweep.push_back(during.xServer);
            xRest.push_back(after.xServer);
        }
        figures.sweepShare = MedianOf(sweep);
        figures.fullWidthShare = MedianOf(rest);
        figures.xSweepShare = MedianOf(xSweep);
        figures.xRestShare = MedianOf(xRest);
        SendCommand(L"TME");
        if (options.sweepOnly) {
            break;
        }

        figures.before = MeasureMemory(child);
        std::vector<std::wstring> commands = CommandMix(options.quick ? 1000 : 10000);
        double t0 = Now();
        for (const std::wstring& command : commands) {
            (SendCommand(command) ? figures.sent : figures.failed)++;
        }
        figures.commandSeconds = Now() - t0;
        SendCommand(L"TME");
        Sleep(500);
        figures.after = MeasureMemory(child);
        if (!child.Running()) {
            figures.failed = -1;
        }
    }
    return figures;
}

std::string Percent(double share) {
    return share < 0 ? "n/a" : Fixed(share * 100.0, "%", 1);
}

std::string Mb(double mb) {
    return Fixed(mb, "MB", 1);
}

std::string Gdi(long count) {
    return count < 0 ? "n/a" : std::to_string(count);
}

void ProgramFigures(const Options& options) {
    if (FindWindowW(nullptr, L"FrmKrcMessage")) {
        std::printf("another display is running on this desktop; the program figures are skipped\n");
        return;
    }
    if (GetFileAttributesW(options.exe.c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::printf("no program at %ls; the program figures are skipped\n", options.exe.c_str());
        return;
    }
    ProcessFigures cached = RunProgram(options, false);
    ProcessFigures straight = RunProgram(options, true);

    auto ratio = [](double a, double b) { return a >= 0 && b > 0 ? Ratio(a, b) : std::string("n/a"); };
    int screen = GetSystemMetrics(SM_CXSCREEN);
    std::string px = " " + std::to_string(screen) + " px" + options.label;
    bool judged = screen == 1920;
    std::string sweepVerdict;
    std::string restVerdict;
    if (judged && options.shapesOff) {
        bool met = cached.sweepShare >= 0 && cached.sweepShare <= 0.05 && straight.sweepShare > 0 &&
                   cached.sweepShare <= straight.sweepShare / 8;
        sweepVerdict = Verdict(met, "<= 5 % and <= 1/8 of straightforward");
        restVerdict = Verdict(cached.fullWidthShare >= 0 && cached.fullWidthShare < 0.005, "< 0.5 %");
    } else if (judged) {
        sweepVerdict = Verdict(cached.sweepShare >= 0 && cached.sweepShare <= 0.15, "<= 15 %");
    }
    Row("CPU during a 3 s sweep" + px, Percent(cached.sweepShare), Percent(straight.sweepShare),
        ratio(cached.sweepShare, straight.sweepShare), sweepVerdict);
    Row("CPU at rest, timer running" + px, Percent(cached.fullWidthShare), Percent(straight.fullWidthShare),
        ratio(cached.fullWidthShare, straight.fullWidthShare), restVerdict);
    Row("X server CPU during the sweep" + px, Percent(cached.xSweepShare), Percent(straight.xSweepShare),
        ratio(cached.xSweepShare, straight.xSweepShare));
    Row("X server CPU at rest" + px, Percent(cached.xRestShare), Percent(straight.xRestShare),
        ratio(cached.xRestShare, straight.xRestShare));
    if (options.sweepOnly) {
        return;
    }
    auto seconds = [](const std::optional<double>& s) { return s ? Fixed(*s * 1000.0, "ms", 0) : "n/a"; };
    Row("start-up to the first line", seconds(cached.startup), seconds(straight.startup),
        cached.startup && straight.startup ? Ratio(*cached.startup, *straight.startup) : "n/a");
    Row("CPU idle, display shown", Percent(cached.idleShare), Percent(straight.idleShare), {},
        Verdict(cached.idleShare >= 0 && cached.idleShare < 0.01, "< 1 %"));
    Row("working set, trimmed, before", Mb(cached.before.workingSetMb), Mb(straight.before.workingSetMb));
    Row("working set, trimmed, after", Mb(cached.after.workingSetMb), Mb(straight.after.workingSetMb));
    std::string privateName = cached.before.privateFromLinux ? "private bytes (VmData)" : "private bytes";
    Row(privateName + " before", Mb(cached.before.privateMb), Mb(straight.before.privateMb));
    Row(privateName + " after", Mb(cached.after.privateMb), Mb(straight.after.privateMb), {},
        Verdict(cached.after.privateMb - cached.before.privateMb < 1.0, "growth < 1 MB"));
    Row("GDI objects before", Gdi(cached.before.gdiObjects), Gdi(straight.before.gdiObjects));
    Row("GDI objects after", Gdi(cached.after.gdiObjects), Gdi(straight.after.gdiObjects), {},
        cached.after.gdiObjects < 0
            ? "[GetGuiResources not available here]"
            : Verdict(cached.after.gdiObjects <= cached.before.gdiObjects, "no growth"));
    auto commandsText = [](const ProcessFigures& f) {
        return f.failed < 0 ? std::string("ended!") : std::to_string(f.sent) + "/" + std::to_string(f.failed);
    };
    Row("commands sent/failed", commandsText(cached), commandsText(straight), {},
        "(" + Fixed(cached.commandSeconds, "s", 1) + " / " + Fixed(straight.commandSeconds, "s", 1) + ")");
}

// ---------------------------------------------------------------------------------------------------
// A compressed week: the program left running while everything a shop PC does to it comes far faster
// than in life. The rotation ticks every 100 ms (the program's --rotation-ms), a command arrives every
// 20 ms, a line is sung every 2 s, and every simulated hour, a fixed number of 20 ms ticks, the desktop
// changes: a work-area change, a display change and a DPI change (to 144 in even hours, back to 96 in odd
// ones, so every day ends at 96) reach the program's windows as the system sends them.

constexpr double kWeekTickSeconds = 0.020;
constexpr int kWeekRotationMs = 100;
constexpr int kWeekSweepTicks = 100; // 2 s
constexpr int kWeekWarmUpHours = 2;

struct LifeFigures {
    long handles = -1;                  // -1: not available
    bool handlesAreDescriptors = false; // Wine: the Linux process's open file descriptors instead
    long gdiObjects = -1;
    long userObjects = -1;
    double privateMb = 0;
    bool privateFromLinux = false;
    double workingSetMb = 0;
    bool workingSetFromLinux = false;
};

bool UnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

LifeFigures MeasureLife(Child& child) {
    HANDLE process = child.Process();
    EmptyWorkingSet(process); // as the skin panel's trim does every 5 s
    Sleep(200);
    LifeFigures figures;
    DWORD handles = 0;
    if (GetProcessHandleCount(process, &handles) && handles > 0) {
        figures.handles = static_cast<long>(handles);
    }
    // Wine answers 0 for both counts: not available there.
    if (DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS); gdi > 0) {
        figures.gdiObjects = static_cast<long>(gdi);
    }
    if (DWORD user = GetGuiResources(process, GR_USEROBJECTS); user > 0) {
        figures.userObjects = static_cast<long>(user);
    }
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                             sizeof counters)) {
        figures.workingSetMb = static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0);
        figures.privateMb = static_cast<double>(counters.PrivateUsage) / (1024.0 * 1024.0);
    }
    // Under Wine another process's figures read as 0: the Linux process's instead.
    if (const LinuxProcess* linux = child.Linux()) {
        if (figures.privateMb == 0) {
            figures.privateMb = linux->StatusMb("VmData").value_or(0);
            figures.privateFromLinux = true;
        }
        if (figures.workingSetMb == 0) {
            figures.workingSetMb = linux->StatusMb("VmRSS").value_or(0);
            figures.workingSetFromLinux = true;
        }
        if (figures.handles < 0) {
            if (std::optional<long> descriptors = linux->OpenDescriptors()) {
                figures.handles = *descriptors;
                figures.handlesAreDescriptors = true;
            }
        }
    }
    return figures;
}

// The per-user values the program starts from: a remembered publication of the shipped content files
// (restored at start, so the rotation runs without a box), a 1 s interval and no dragged place. The
// script gives the run a prefix of its own, so nothing here reaches the tests' prefix.
bool PrepareUserValues() {
    const wchar_t* root = L"Software\\VB and VBA Program Settings\\plumwick";
    RegDeleteTreeW(HKEY_CURRENT_USER, root);
    auto set = [root](const wchar_t* section, const wchar_t* name, const std::wstring& value) {
        std::wstring key = std::wstring(root) + L"\\" + section;
        return RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name, REG_SZ, value.c_str(),
                               static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    };
    return set(L"InfoDir", L"time1", L"1") &&
           set(L"LastPublication", L"Files", L"\u5e97\u5185\u516c\u544a.txt|English\\welcome.txt") &&
           set(L"LastPublication", L"Split", L"0") && set(L"LastPublication", L"Restoring", L"0");
}

// The status line from the command pipe ("?status"), empty when it does not answer.
std::string PipeStatus() {
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    std::wstring name = L"\\\\.\\pipe\\plumwick." + std::to_wstring(session);
    char reply[4096];
    DWORD got = 0;
    char request[] = "?status";
    if (!CallNamedPipeW(name.c_str(), request, sizeof request - 1, reply, sizeof reply - 1, &got, 5000)) {
        return {};
    }
    return std::string(reply, got);
}

struct ProgramWindows {
    std::vector<HWND> dpiAware; // every window that lays itself out at its DPI
    HWND systemEvents = nullptr;
    HWND karaoke = nullptr;
};

ProgramWindows FindProgramWindows(DWORD processId) {
    ProgramWindows found;
    struct Search {
        DWORD processId;
        ProgramWindows* found;
    } search{processId, &found};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto* s = reinterpret_cast<Search*>(context);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t name[64] = L"";
            if (owner != s->processId || !GetClassNameW(window, name, 64)) {
                return TRUE;
            }
            std::wstring cls = name;
            if (cls == L"PlumwickSystemEvents") {
                s->found->systemEvents = window;
            } else if (cls == L"PlumwickKaraoke") {
                s->found->karaoke = window;
            }
            if (cls == L"PlumwickMainText" || cls == L"PlumwickKaraoke" || cls == L"PlumwickSkinPanel" ||
                cls == L"PlumwickToolbar" || cls == L"PlumwickContentManager") {
                s->found->dpiAware.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return found;
}

// One simulated hour's desktop changes, sent (not posted) as the system sends them; the DPI change's
// rectangle is the program's own, as a message from another process carries none.
void DesktopChanges(const ProgramWindows& windows, unsigned dpi) {
    DWORD_PTR result = 0;
    auto send = [&result](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (window) {
            SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, 5000, &result);
        }
    };
    send(windows.systemEvents, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    LPARAM size = MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    send(windows.systemEvents, WM_DISPLAYCHANGE, 32, size);
    send(windows.karaoke, WM_DISPLAYCHANGE, 32, size);
    for (HWND window : windows.dpiAware) {
        send(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), 0);
    }
}

std::string Count(long value) {
    return value < 0 ? "n/a" : std::to_string(value);
}

void PrintLife(const char* when, const LifeFigures& f, const LifeFigures* previous) {
    std::printf("%-10s %s %-6s GDI %-5s USER %-5s private %8.2f MiB  working set %8.2f MiB", when,
                f.handlesAreDescriptors ? "fds" : "handles", Count(f.handles).c_str(),
                Count(f.gdiObjects).c_str(), Count(f.userObjects).c_str(), f.privateMb, f.workingSetMb);
    if (previous) {
        double grown = f.privateMb - previous->privateMb;
        std::printf("   private %+.2f MiB %s", grown, Verdict(grown <= 1.0, "<= 1 MiB a day").c_str());
        if (f.handles >= 0 && previous->handles >= 0) {
            long moved = f.handles - previous->handles;
            std::printf("  %s %+ld %s", f.handlesAreDescriptors ? "fds" : "handles", moved,
                        Verdict(std::labs(moved) <= 10, "|moved| <= 10").c_str());
        }
    }
    std::printf("\n");
    std::fflush(stdout);
}

struct WeekPlan {
    int days = 7;
    int hourTicks = 100;
};

int RunWeek(const Options& options, const WeekPlan& plan) {
    std::printf(
        "compressed week: %d days of 24 simulated hours; a simulated hour is %d ticks of %.0f ms (%.1f s);"
        " rotation every %d ms, a command every tick, a sweep every %d ticks (%.0f s); every hour a"
        " work-area, display and DPI change (144 in even hours, 96 in odd ones)\n",
        plan.days, plan.hourTicks, kWeekTickSeconds * 1000, plan.hourTicks * kWeekTickSeconds,
        kWeekRotationMs, kWeekSweepTicks, kWeekSweepTicks * kWeekTickSeconds);
    if (FindWindowW(nullptr, L"FrmKrcMessage")) {
        std::printf("another display is running on this desktop\n");
        return 1;
    }
    if (!PrepareUserValues()) {
        std::printf("the per-user values could not be written\n");
        return 1;
    }
    Child child(options.exe, false, L" --rotation-ms=" + std::to_wstring(kWeekRotationMs));
    if (!child.WaitUntilReady(60)) {
        std::printf("the program did not start\n");
        return 1;
    }
    child.WaitForAboutToClose(20);
    DWORD processId = GetProcessId(child.Process());
    ProgramWindows windows = FindProgramWindows(processId);
    std::printf("windows told of DPI changes: %zu; status at start: %s\n", windows.dpiAware.size(),
                PipeStatus().c_str());
    if (UnderWine()) {
        std::printf("under Wine: GDI and USER object counts are not available (GetGuiResources reads 0)%s\n",
                    child.Linux()
                        ? "; GetProcessHandleCount reads 0 too, so \"fds\" counts the Linux process's"
                          " open file descriptors instead; private bytes are its VmData, working set"
                          " its VmRSS"
                        : "");
    }

    std::vector<std::wstring> commands = CommandMix(10000);
    commands.pop_back(); // the mix ends with a last line and ULK for the other benchmark; here it cycles
    std::size_t next = 0;
    int screenTwips = GetSystemMetrics(SM_CXSCREEN) * kTwipsPerPixel;
    int textWidth = std::min(32767, screenTwips - 20 * kTwipsPerPixel);
    long sent = 0, failed = 0, sweeps = 0, late = 0;
    long hour = 0;
    long ticks = 0;
    double start = Now();
    double deadline = start;
    // One simulated hour: its desktop changes, then a tick every 20 ms.
    auto runHour = [&] {
        DesktopChanges(windows, hour % 2 == 0 ? 144 : 96);
        ++hour;
        for (int tick = 0; tick < plan.hourTicks; ++tick) {
            if (ticks++ % kWeekSweepTicks == 0) {
                const std::u16string& line = (sweeps++ % 2 == 0) ? kLineA : kLineB;
                std::wstring sweep =
                    L"DKC" + std::wstring(line.begin(), line.end()) + L"||4||" + std::to_wstring(textWidth);
                (SendCommand(sweep) ? sent : failed)++;
            } else {
                (SendCommand(commands[next++ % commands.size()]) ? sent : failed)++;
            }
            deadline += kWeekTickSeconds;
            double wait = deadline - Now();
            if (wait > 0) {
                Sleep(static_cast<DWORD>(wait * 1000));
            } else {
                ++late;
                deadline = Now(); // behind: the next tick comes at once, the cadence from then on
            }
        }
    };
    for (int h = 0; h < kWeekWarmUpHours; ++h) {
        runHour();
    }
    std::printf("start: after a warm-up of %d simulated hours, not counted\n", kWeekWarmUpHours);
    LifeFigures first = MeasureLife(child);
    PrintLife("start", first, nullptr);
    LifeFigures previous = first;
    bool met = true;
    for (int day = 1; day <= plan.days && child.Running(); ++day) {
        for (int h = 0; h < 24 && child.Running(); ++h) {
            runHour();
        }
        if (!child.Running()) {
            break;
        }
        LifeFigures now = MeasureLife(child);
        char when[16];
        std::snprintf(when, sizeof when, "day %d", day);
        PrintLife(when, now, &previous);
        met = met && now.privateMb - previous.privateMb <= 1.0 &&
              (now.handles < 0 || previous.handles < 0 || std::labs(now.handles - previous.handles) <= 10);
        previous = now;
    }
    double elapsed = Now() - start;
    bool running = child.Running();
    std::printf("status at the end: %s\n", running ? PipeStatus().c_str() : "(the program has ended!)");
    std::printf(
        "%ld commands sent, %ld failed, %ld sweeps, %ld simulated hours in %.0f s; %ld ticks came late"
        " (%.1f commands a second achieved)\n",
        sent, failed, sweeps, hour, elapsed, late, static_cast<double>(sent + failed) / elapsed);
    double perDay = plan.days > 0 ? (previous.privateMb - first.privateMb) / plan.days : 0;
    std::printf(
        "over the run: private bytes %+.2f MiB (%+.2f MiB a day), %s %s -> %s %s\n",
        previous.privateMb - first.privateMb, perDay, first.handlesAreDescriptors ? "fds" : "handles",
        Count(first.handles).c_str(), Count(previous.handles).c_str(),
        Verdict(met && running, "every day: handles moved <= 10, private bytes grew <= 1 MiB").c_str());
    return met && running ? 0 : 2;
}

std::wstring DefaultExe() {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    folder = folder.substr(0, folder.find_last_of(L"\\/"));
    for (const wchar_t* tail : {L"\\plumwick.exe", L"\\stage\\plumwick.exe"}) {
        if (GetFileAttributesW((folder + tail).c_str()) != INVALID_FILE_ATTRIBUTES) {
            return folder + tail;
        }
    }
    return folder + L"\\stage\\plumwick.exe";
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    Options options;
    bool week = false;
    WeekPlan plan;
    for (int i = 1; i < argc; ++i) {
        std::wstring arg = argv[i];
        if (arg == L"--quick") {
            options.quick = true;
        } else if (arg == L"--no-drawing") {
            options.drawing = false;
        } else if (arg == L"--no-process") {
            options.process = false;
        } else if (arg == L"--exe" && i + 1 < argc) {
            options.exe = argv[++i];
        } else if (arg == L"--sweep-only") {
            options.sweepOnly = true;
        } else if (arg == L"--shapes-off") {
            options.shapesOff = true;
        } else if (arg == L"--week") {
            week = true;
        } else if (arg == L"--days" && i + 1 < argc) {
            plan.days = std::max(1, _wtoi(argv[++i]));
        } else if (arg == L"--hour-ticks" && i + 1 < argc) {
            plan.hourTicks = std::max(1, _wtoi(argv[++i]));
        } else if (arg == L"--runs" && i + 1 < argc) {
            options.runs = std::max(1, _wtoi(argv[++i]));
        } else {
            std::printf(
                "usage: plumwick-bench [--quick] [--exe PATH\\plumwick.exe] [--no-process] [--no-drawing]\n"
                "                      [--sweep-only] [--shapes-off] [--runs N]\n"
                "       plumwick-bench --week [--days N] [--hour-ticks N] [--exe PATH\\plumwick.exe]\n");
            return arg == L"--help" ? 0 : 64;
        }
    }
    if (options.exe.empty()) {
        options.exe = DefaultExe();
    }
    if (week) {
        return RunWeek(options, plan);
    }
    options.label = options.shapesOff ? " (shapes off)" : " (shapes on)";
    std::printf("plumwick-bench (%s run; screen %d x %d, %d Hz reported; Wine's shape emulation %s)\n",
                options.quick ? "quick" : "full", GetSystemMetrics(SM_CXSCREEN),
                GetSystemMetrics(SM_CYSCREEN), plumwick::win::ScreenRefreshHz(),
                options.shapesOff ? "off" : "on (where it applies)");
    if (options.drawing && !options.sweepOnly) {
        DrawingFigures(options);
    }
    if (options.drawing) {
        SweepFigures(options);
    }
    if (options.process) {
        ProgramFigures(options);
    }
    return 0;
}
