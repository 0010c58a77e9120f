#include "tests/e2e/Harness.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <thread>

#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

namespace plumwick::e2e {

namespace fs = std::filesystem;

namespace {

std::string Trim(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

// Starts a process in the background through the shell; returns its pid.
int Spawn(const std::string& command) {
    pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0);
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return static_cast<int>(pid);
}

bool Exited(int pid) {
    if (pid <= 0) {
        return true;
    }
    int status = 0;
    pid_t r = waitpid(pid, &status, WNOHANG);
    return r == pid || (r < 0 && errno == ECHILD);
}

std::string GetEnv(const std::string& name, const std::string& fallback) {
    const char* value = std::getenv(name.c_str());
    return value && *value ? value : fallback;
}

// icewm first announces the whole screen as the work area and takes the taskbar's strip off it once the
// taskbar is up.
bool TaskbarSetWorkArea(const std::string& display, int screenHeight) {
    std::string out = Shell("DISPLAY=" + display + " xprop -root _NET_WORKAREA 2>/dev/null");
    std::size_t equals = out.find('=');
    if (equals == std::string::npos) {
        return false;
    }
    std::istringstream in(out.substr(equals + 1));
    int left = 0, top = 0, width = 0, height = 0;
    char comma = 0;
    in >> left >> comma >> top >> comma >> width >> comma >> height;
    return in && height > 0 && height < screenHeight;
}

std::string ScreenSize(int width, int height) {
    return std::to_string(width) + "x" + std::to_string(height) + "x24";
}

} // namespace

std::string Quote(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'') {
            out += "'\\''";
        } else {
            out += c;
        }
    }
    return out + "'";
}

std::string TrimEnd(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    return text;
}

fs::path SourceDir() {
    return PLUMWICK_SOURCE_DIR;
}
fs::path WinBuildDir() {
    return PLUMWICK_WIN_BUILD;
}

void SleepSeconds(double seconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(static_cast<long long>(seconds * 1000)));
}

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string Shell(const std::string& command, int* status, double limitSeconds) {
    std::string output;
    // timeout signals the whole process group it makes: the shell, Wine and whatever they started.
    const std::string bounded =
        limitSeconds > 0
            ? "timeout -k 5 " + std::to_string(static_cast<int>(limitSeconds)) + " sh -c " + Quote(command)
            : command;
    FILE* pipe = popen(bounded.c_str(), "r");
    if (!pipe) {
        if (status) {
            *status = -1;
        }
        return output;
    }
    std::array<char, 4096> buffer;
    std::size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        output.append(buffer.data(), n);
    }
    int rc = pclose(pipe);
    int code = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    if (limitSeconds > 0 && (code == 124 || code == 137)) {
        std::cerr << "Killed after " << limitSeconds << " s, still running: " << command.substr(0, 300)
                  << std::endl;
    }
    if (status) {
        *status = code;
    }
    return output;
}

Rgb Image::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return {};
    }
    std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
}

int CountNotDesktop(const Image& image, int top, int bottom) {
    int count = 0;
    for (int y = std::max(top, 0); y < std::min(bottom, image.height); ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (!IsDesktop(image.At(x, y))) {
                ++count;
            }
        }
    }
    return count;
}

bool SameBand(const Image& a, const Image& b, int top, int bottom) {
    if (a.width != b.width || a.height != b.height || a.width == 0) {
        return false;
    }
    for (int y = std::max(top, 0); y < std::min(bottom, a.height); ++y) {
        for (int x = 0; x < a.width; ++x) {
            Rgb p = a.At(x, y), q = b.At(x, y);
            if (p.r != q.r || p.g != q.g || p.b != q.b) {
                return false;
            }
        }
    }
    return true;
}

bool Image::Save(const fs::path& png) const {
    fs::path ppm = png;
    ppm.replace_extension(".ppm");
    {
        std::ofstream out(ppm, std::ios::binary);
        out << "P6\n" << width << " " << height << "\n255\n";
        out.write(reinterpret_cast<const char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
    }
    int status = 0;
    Shell("/usr/bin/convert " + Quote(ppm.string()) + " " + Quote(png.string()) + " 2>/dev/null", &status);
    fs::remove(ppm);
    return status == 0;
}

Session::Session(const SessionOptions& options) {
    // Everything of this session lives in one folder of its own: its Wine prefix and its program folder.
    std::random_device random;
    root_ = fs::temp_directory_path() /
            ("plumwick-e2e-" + std::to_string(getpid()) + "-" + std::to_string(random()));
    prefix_ = root_ / "prefix";
    folder_ = root_ / "program";
    fs::create_directories(root_);

    // A private display for this test, started beside the prefix's making below.
    std::string screens = "-screen 0 " + ScreenSize(options.screenWidth, options.screenHeight);
    if (options.secondWidth > 0) {
        screens =
            "+xinerama " + screens + " -screen 1 " + ScreenSize(options.secondWidth, options.secondHeight);
    }
    StartXvfb(screens);

    // Meanwhile a Wine prefix of its own, made from the clean one: no session sees what another left, and
    // sessions run side by side.
    Shell("bash -c " +
              Quote("source " + (SourceDir() / "scripts/wine-env.sh").string() +
                    " && plumwick_wine_prefix && plumwick_wine_session_prefix " + Quote(prefix_.string()) +
                    " " + std::to_string(options.dpi)) +
              " >/dev/null 2>&1",
          nullptr, 0); // the first session of a run may wait here while the clean prefix is made
    if (options.secondWidth > 0) {
        // Wine asks XRandR for the monitors, which Xvfb answers with one; Xinerama tells both.
        std::ofstream(prefix_ / "user.reg", std::ios::app)
            << "\n[Software\\\\Wine\\\\X11 Driver] 0\n\"UseXRandR\"=\"N\"\n";
    }
    fs::create_directories(folder_);
    fs::copy(WinBuildDir() / "stage", folder_, fs::copy_options::recursive);
    fs::copy_file(WinBuildDir() / "plumwick-probe.exe", folder_ / "plumwick-probe.exe");
    // The window manager's preferences, with the taskbar on the edge asked for.
    windowManagerConfig_ = root_ / "icewm";
    fs::create_directories(windowManagerConfig_);
    std::string preferences = ReadAll(SourceDir() / "scripts/icewm/preferences");
    if (options.taskbarAtTop) {
        std::size_t at = preferences.find("TaskBarAtTop=0");
        if (at != std::string::npos) {
            preferences.replace(at, 14, "TaskBarAtTop=1");
        }
    }
    std::ofstream(windowManagerConfig_ / "preferences") << preferences;

    WaitForDisplay(screens);
    int fullHeight = std::max(options.screenHeight, options.secondWidth > 0 ? options.secondHeight : 0);
    StartWindowManager(fullHeight);
    // The prefix's server runs before the first program, so that the first programs do not race to start
    // it and to set the fresh prefix up.
    Shell(Env() + " wineserver -p >/dev/null 2>&1");
}

void Session::StartXvfb(const std::string& screens) {
    // Xvfb picks a free display number itself and writes it out once it accepts connections: choosing one
    // here and starting the server after would race with the other test runs on this machine. -noreset: by
    // default the server resets when its last client leaves and refuses whoever connects meanwhile (a
    // probe's xprop ending just as icewm or Wine connects).
    fs::path numberFile = root_ / "display";
    std::error_code ec;
    fs::remove(numberFile, ec);
    xvfbPid_ = Spawn("exec Xvfb -displayfd 3 " + screens + " -nolisten tcp -noreset 3>" +
                     Quote(numberFile.string()) + " >" + Quote((root_ / "xvfb.log").string()) + " 2>&1");
}

void Session::WaitForDisplay(const std::string& screens) {
    // A server that reports its number but does not take a client within 10 s (or dies) is replaced: the
    // test is about the program, not about the X server on a busy machine.
    for (int attempt = 1; attempt <= 3; ++attempt) {
        display_.clear();
        for (int i = 0; i < 300 && display_.empty() && !Exited(xvfbPid_); ++i) {
            std::ifstream in(root_ / "display");
            std::string number;
            if (std::getline(in, number) && !in.eof() && !number.empty()) {
                display_ = ":" + number;
            } else {
                SleepSeconds(0.1);
            }
        }
        for (int i = 0; i < 100 && !display_.empty() && !Exited(xvfbPid_); ++i) {
            int status = 1;
            Shell("DISPLAY=" + display_ + " xdpyinfo >/dev/null 2>&1", &status);
            if (status == 0) {
                return;
            }
            SleepSeconds(0.1);
        }
        std::cerr << "Xvfb (display " << (display_.empty() ? "none" : display_) << ", attempt " << attempt
                  << ") does not accept clients; its messages:\n"
                  << ReadAll(root_ / "xvfb.log") << std::endl;
        if (!Exited(xvfbPid_)) {
            kill(xvfbPid_, SIGTERM);
            waitpid(xvfbPid_, nullptr, 0);
        }
        xvfbPid_ = 0;
        if (attempt < 3) {
            StartXvfb(screens);
        }
    }
    display_.clear();
}

void Session::StartWindowManager(int fullHeight) {
    // A shop PC's desktop: icewm's taskbar sets the work area Wine reports. Wait for it, so that the program
    // never sees the bare screen; an icewm that has not set it in 20 s is started again.
    auto began = std::chrono::steady_clock::now();
    auto seconds = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    };
    for (int attempt = 1; attempt <= 3 && !display_.empty(); ++attempt) {
        windowManagerPid_ =
            Spawn("DISPLAY=" + display_ + " ICEWM_PRIVCFG=" + Quote(windowManagerConfig_.string()) +
                  " exec icewm >" + Quote((root_ / "icewm.log").string()) + " 2>&1");
        auto attemptBegan = std::chrono::steady_clock::now();
        while (std::chrono::steady_clock::now() - attemptBegan < std::chrono::seconds(20)) {
            if (TaskbarSetWorkArea(display_, fullHeight)) {
                if (seconds() > 5) {
                    std::cerr << "icewm set the work area after " << seconds() << " s" << std::endl;
                }
                // icewm clears the root window; the desktop colour goes on after it.
                Shell("DISPLAY=" + display_ + " xsetroot -solid '#3a6ea5' 2>/dev/null");
                return;
            }
            SleepSeconds(0.1);
        }
        std::cerr << "icewm did not set the work area on " << display_ << " in 20 s (attempt " << attempt
                  << (Exited(windowManagerPid_) ? ", it had ended" : "") << "); its messages:\n"
                  << ReadAll(root_ / "icewm.log") << std::endl;
        if (!Exited(windowManagerPid_)) {
            kill(windowManagerPid_, SIGTERM);
            waitpid(windowManagerPid_, nullptr, 0);
        }
        windowManagerPid_ = 0;
    }
    std::cerr << "The test desktop has no taskbar: the work area is the whole screen" << std::endl;
}

void Session::MapDrive(char letter, const fs::path& target) {
    fs::path link = prefix_ / "dosdevices" / (std::string(1, static_cast<char>(std::tolower(letter))) + ":");
    std::error_code ec;
    fs::remove(link, ec);
    fs::create_directory_symlink(fs::absolute(target), link);
}

void Session::MapShare(const std::string& server, const std::string& share, const fs::path& target) {
    fs::path unc = prefix_ / "dosdevices/unc" / server;
    fs::create_directories(unc);
    std::error_code ec;
    fs::remove(unc / share, ec);
    fs::create_directory_symlink(fs::absolute(target), unc / share);
}

HttpServer::HttpServer(const fs::path& folder) {
    std::random_device random;
    fs::path portFile = fs::temp_directory_path() /
                        ("plumwick-http-" + std::to_string(getpid()) + "-" + std::to_string(random()));
    log_ = portFile;
    log_ += ".log";
    pid_ = Spawn("exec python3 " + Quote((SourceDir() / "tests/e2e/http_server.py").string()) + " " +
                 Quote(folder.string()) + " " + Quote(portFile.string()) + " " + Quote(log_.string()) +
                 " >/dev/null 2>&1");
    for (int i = 0; i < 100 && port_ == 0; ++i) {
        std::ifstream in(portFile);
        std::string number;
        if (std::getline(in, number) && !in.eof() && !number.empty()) {
            port_ = std::stoi(number);
        } else {
            SleepSeconds(0.05);
        }
    }
    std::error_code ec;
    fs::remove(portFile, ec);
}

HttpServer::~HttpServer() {
    if (pid_ > 0) {
        kill(-pid_, SIGKILL);
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    std::error_code ec;
    fs::remove(log_, ec);
}

std::string HttpServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/" + path;
}

std::string HttpServer::Log() const {
    return ReadAll(log_);
}

Session::~Session() {
    Kill();
    Shell(Env() + " wineserver -k >/dev/null 2>&1");
    if (windowManagerPid_ > 0) {
        kill(windowManagerPid_, SIGTERM);
        waitpid(windowManagerPid_, nullptr, 0);
    }
    if (xvfbPid_ > 0) {
        kill(xvfbPid_, SIGTERM);
        waitpid(xvfbPid_, nullptr, 0);
    }
    std::error_code ec;
    // A test that locked the folder has unlocked it already; this is for one that stopped half-way.
    Shell("chattr -R -i " + Quote(folder_.string()) + " 2>/dev/null");
    fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add, ec);
    for (auto& entry : fs::recursive_directory_iterator(folder_, ec)) {
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(root_, ec);
}

fs::path Session::PerUserSettingsFolder() const {
    // Wine names the profile after the Unix account.
    const passwd* account = getpwuid(getuid());
    std::string name = account && account->pw_name ? account->pw_name : "root";
    return prefix_ / "drive_c/users" / name / "AppData/Roaming/plumwick";
}

std::string Session::Env() const {
    // `wine` is scripts/wine-bin's, which starts a program again when Wine itself could not.
    return "DISPLAY=" + display_ + " WINEPREFIX=" + Quote(prefix_.string()) +
           " PATH=" + Quote((SourceDir() / "scripts/wine-bin").string()) + ":\"$PATH\"" +
           " WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' LC_ALL=zh_CN.UTF-8 WINEARCH=win64" +
           extraEnvironment_;
}

std::string Session::InFolder() const {
    return "cd " + Quote(folder_.string()) + " && " + Env();
}

void Session::SetEnvironment(const std::string& name, const std::string& value) {
    extraEnvironment_ += " " + name + "=" + Quote(value);
}

bool Session::Start(double timeoutSeconds, bool waitForIdle, const std::string& program) {
    programPid_ = Spawn(InFolder() + " exec wine ./" + Quote(program) + " >/dev/null 2>&1");
    for (double waited = 0; waited < timeoutSeconds; waited += 0.25) {
        std::string box = Probe({"find-box"});
        if (box == "yes" || (!waitForIdle && box == "no")) {
            // Wine's start paints the root window over; the desktop colour goes on afterwards.
            Shell("DISPLAY=" + display_ + " xsetroot -solid '#3a6ea5' 2>/dev/null");
            return true;
        }
        if (Exited(programPid_)) {
            programPid_ = 0;
            return false;
        }
        SleepSeconds(0.25);
    }
    return false;
}

bool Session::WaitForAboutToClose(double timeoutSeconds) {
    for (double waited = 0; waited <= timeoutSeconds; waited += 0.25) {
        std::string visible = Probe({"visible", "PlumwickAbout"});
        if (visible == "0" || visible == "no window") {
            return true;
        }
        SleepSeconds(0.25);
    }
    return false;
}

bool Session::Running() {
    if (programPid_ <= 0) {
        return false;
    }
    if (Exited(programPid_)) {
        programPid_ = 0;
        return false;
    }
    return true;
}

bool Session::WaitForExit(double timeoutSeconds) {
    for (double waited = 0; waited <= timeoutSeconds; waited += 0.1) {
        if (!Running()) {
            return true;
        }
        SleepSeconds(0.1);
    }
    return false;
}

void Session::Kill() {
    if (programPid_ > 0 && !Exited(programPid_)) {
        kill(-programPid_, SIGKILL);
        kill(programPid_, SIGKILL);
        waitpid(programPid_, nullptr, 0);
    }
    programPid_ = 0;
}

int Session::Send(const std::string& command, bool ansi) {
    int status = 0;
    Shell(InFolder() + " wine ./plumwick-send.exe " + (ansi ? "--ansi " : "") + "-- " + Quote(command) +
              " >/dev/null 2>" + SenderErrors(),
          &status);
    return ReportUndocumented(status);
}

int Session::SendFile(const std::string& command) {
    fs::path file = folder_ / "command.txt";
    {
        std::ofstream out(file, std::ios::binary);
        out << command;
    }
    int status = 0;
    Shell(InFolder() + " wine ./plumwick-send.exe --file command.txt >/dev/null 2>" + SenderErrors(),
          &status);
    return ReportUndocumented(status);
}

int Session::SendBatch(const std::vector<std::string>& commands, std::string* report, double timeoutSeconds) {
    fs::path file = folder_ / "batch.bin";
    {
        std::ofstream out(file, std::ios::binary);
        for (const std::string& command : commands) {
            out << command << '\0';
        }
    }
    int status = 0;
    std::string out = Shell(InFolder() + " wine ./plumwick-send.exe --timeout " +
                                std::to_string(timeoutSeconds) + " --batch batch.bin 2>" + SenderErrors(),
                            &status, 0); // thousands of commands: the test's own time-out bounds it
    if (report) {
        *report = Trim(out);
    }
    return ReportUndocumented(status);
}

int Session::SendTool(const std::vector<std::string>& args, std::string* out, std::string* err) {
    std::string command = InFolder() + " wine ./plumwick-send.exe";
    for (const std::string& arg : args) {
        command += " " + Quote(arg);
    }
    fs::path errors = folder_ / "send-errors.txt";
    int status = 0;
    std::string printed = Shell(command + " 2>" + Quote(errors.string()), &status);
    if (out) {
        *out = TrimEnd(printed);
    }
    if (err) {
        *err = TrimEnd(ReadAll(errors));
    }
    return status;
}

std::string Session::Status() {
    std::string json;
    SendTool({"--status"}, &json);
    return json;
}

std::string Session::SenderErrors() const {
    return Quote((root_ / "sender-errors.txt").string());
}

int Session::ReportUndocumented(int status) const {
    // Codes the sender never gives come from Wine starting or ending it: what it said goes with the test's
    // output, so that such a failure can be understood from a CI log.
    static const int documented[] = {0, 2, 3, 4, 5, 6, 7, 8, 64};
    if (std::find(std::begin(documented), std::end(documented), status) == std::end(documented)) {
        std::cerr << "plumwick-send exited " << status << "; what Wine and the sender wrote:\n"
                  << ReadAll(root_ / "sender-errors.txt") << std::endl;
    }
    return status;
}

std::string Session::Probe(const std::vector<std::string>& args) {
    std::string command = InFolder() + " wine ./plumwick-probe.exe";
    for (const std::string& arg : args) {
        command += " " + Quote(arg);
    }
    // The probe prints an answer to every command it runs, or exits 0 when the answer is "nothing". No
    // output and a failure code is no answer: what Wine said goes to the test's output. (Wine's own failure
    // to start a process is met by scripts/wine-bin/wine.)
    const fs::path errors = root_ / "probe-errors.txt";
    // A probe answers in a second or two; one that sends thousands of commands may take minutes. A probe
    // still running after a minute is hung, and killed.
    const double limit = !args.empty() && args.front().starts_with("send-") ? 0 : 60;
    int status = 0;
    std::string out = Trim(Shell(command + " 2>" + Quote(errors.string()), &status, limit));
    if (out.empty() && status != 0) {
        std::cerr << "plumwick-probe gave no answer (exit " << status << "); what Wine wrote:\n"
                  << ReadAll(errors) << std::endl;
    }
    return out;
}

std::string Session::WindowLine(const std::string& cls) {
    std::istringstream lines(Probe({"list"}));
    std::string line;
    while (std::getline(lines, line)) {
        std::size_t space = line.find(' ');
        std::size_t bar = line.find('|');
        if (space != std::string::npos && bar != std::string::npos &&
            line.substr(space + 1, bar - space - 1) == cls) {
            return line;
        }
    }
    return {};
}

long long Session::ExStyle(const std::string& cls) {
    std::string out = Probe({"exstyle", cls});
    if (out.rfind("0x", 0) != 0) {
        return -1;
    }
    return std::stoll(out, nullptr, 16);
}

Session::Rect Session::WindowRect(const std::string& cls) {
    Rect r;
    std::istringstream in(Probe({"rect", cls}));
    in >> r.x >> r.y >> r.w >> r.h;
    return r;
}

Session::WorkArea Session::GetWorkArea() {
    WorkArea area;
    int width = 0, height = 0;
    std::istringstream in(Probe({"screen"}));
    in >> width >> height >> area.left >> area.top >> area.right >> area.bottom;
    return area;
}

bool Session::Visible(const std::string& cls) {
    return Probe({"visible", cls}) == "1";
}

void Session::MovePointer(int x, int y) {
    Shell("DISPLAY=" + display_ + " xdotool mousemove " + std::to_string(x) + " " + std::to_string(y));
}

bool Session::PointAtLine(int left, int right) {
    // The layered window takes the pointer only where it has drawn. The skin panel lies under the line
    // and stays up while the pointer is over it, and its pixels would pass for glyphs, so the pointer
    // first leaves the display and the panel is let go before the screenshot.
    MovePointer(2, 2);
    WaitFor(
        {"visible", "PlumwickSkinPanel"}, [](const std::string& out) { return out == "0"; }, 5);
    Rect main = WindowRect("PlumwickMainText");
    Image shot = Screenshot();
    if (right < 0) {
        right = shot.width;
    }
    // A pixel whose neighbours are drawn too: the pointer lands inside a stroke, not on its edge.
    auto solid = [&](int x, int y) {
        for (int d = -2; d <= 2; ++d) {
            if (IsDesktop(shot.At(x + d, y)) || IsDesktop(shot.At(x, y + d))) {
                return false;
            }
        }
        return true;
    };
    int middle = (left + right) / 2;
    for (int y = main.y + 5; y < main.y + std::min(main.h, 80); ++y) {
        for (int dx = 0; dx < (right - left) / 2; ++dx) {
            for (int x : {middle + dx, middle - dx - 1}) {
                if (x - 2 >= left && x + 2 < right && solid(x, y)) {
                    MovePointer(x, y);
                    MovePointer(x + 1, y);
                    return true;
                }
            }
        }
    }
    return false;
}

void Session::PressKeys(const std::string& keys) {
    Shell(Env() + " xdotool search --name '选择要显示的内容卷' windowfocus --sync >/dev/null 2>&1");
    Shell(Env() + " xdotool key " + Quote(keys));
}

namespace {

// P6\n<w> <h>\n255\n<data>
Image ParsePpm(const std::string& out) {
    Image image;
    std::istringstream header(out);
    std::string magic;
    int maxValue = 0;
    header >> magic >> image.width >> image.height >> maxValue;
    if (magic != "P6" || image.width <= 0 || maxValue != 255) {
        return {};
    }
    std::size_t offset = static_cast<std::size_t>(header.tellg()) + 1;
    std::size_t size = static_cast<std::size_t>(image.width) * image.height * 3;
    if (out.size() < offset + size) {
        return {};
    }
    image.rgb.assign(out.begin() + static_cast<std::ptrdiff_t>(offset),
                     out.begin() + static_cast<std::ptrdiff_t>(offset + size));
    return image;
}

} // namespace

Image LoadPicture(const std::filesystem::path& file, const std::string& operations) {
    return ParsePpm(
        Shell("/usr/bin/convert " + Quote(file.string()) + " " + operations + " -depth 8 ppm:- 2>/dev/null"));
}

Image Session::Screenshot() {
    return ParsePpm(Shell("DISPLAY=" + display_ + " import -window root -depth 8 ppm:- 2>/dev/null"));
}

fs::path Session::SaveScreenshot(const std::string& name) {
    fs::path dir = WinBuildDir().parent_path() / "e2e-shots";
    fs::create_directories(dir);
    fs::path file = dir / (name + ".png");
    Screenshot().Save(file);
    return file;
}

} // namespace plumwick::e2e
