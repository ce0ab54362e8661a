// `panora view` on a real X server: the test starts its own Xvfb on a free
// display number, runs the viewer on a generated station, looks at the
// screen with `import` and drives it with xdotool as a person would.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Image.h"
#include "sitegen/SiteGenerator.h"
#include "support/RunCommand.h"
#include "support/TempDir.h"
#include "support/WaitUntil.h"

namespace {

bool OnPath(const std::string& program) {
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

// A child process with DISPLAY set, standard output and error into `log`;
// `lsanSuppressions` (when given) is added to its leak-check options.
pid_t Spawn(const std::vector<std::string>& argv, const std::string& display,
            const std::filesystem::path& log, const std::filesystem::path& lsanSuppressions = {}) {
    std::string lsan;
    if (!lsanSuppressions.empty()) {
        const char* options = std::getenv("LSAN_OPTIONS");
        lsan = (options != nullptr && *options != '\0' ? std::string(options) + ":" : "") +
               "suppressions=" + lsanSuppressions.string();
    }
    const pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0);
        if (!display.empty()) {
            setenv("DISPLAY", display.c_str(), 1);
        }
        if (!lsan.empty()) {
            setenv("LSAN_OPTIONS", lsan.c_str(), 1);
        }
        const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            dup2(fd, 1);
            dup2(fd, 2);
            close(fd);
        }
        std::vector<char*> args;
        for (const auto& a : argv) {
            args.push_back(const_cast<char*>(a.c_str()));
        }
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    return pid;
}

// Waits for the child up to `timeout`; its exit code, or -1 while it runs.
int WaitExit(pid_t pid, std::chrono::milliseconds timeout) {
    int code = -1;
    testsupport::WaitUntil(
        [&] {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) != pid) {
                return false;
            }
            code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            return true;
        },
        timeout);
    return code;
}

void Stop(pid_t pid) {
    if (pid > 0 && WaitExit(pid, std::chrono::milliseconds(0)) == -1) {
        kill(pid, SIGTERM);
        if (WaitExit(pid, std::chrono::seconds(3)) == -1) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
}

// An X server of our own on the first free display number from 91.
class Xvfb {
  public:
    Xvfb() {
        for (int n = 91; n < 140 && pid_ <= 0; ++n) {
            const std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
            if (std::filesystem::exists(socket) ||
                std::filesystem::exists("/tmp/.X" + std::to_string(n) + "-lock")) {
                continue;
            }
            const std::string display = ":" + std::to_string(n);
            const pid_t pid =
                Spawn({"Xvfb", display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"}, "",
                      tmp_ / "xvfb.log");
            testsupport::WaitUntil(
                [&] {
                    return std::filesystem::exists(socket) ||
                           WaitExit(pid, std::chrono::milliseconds(0)) != -1;
                },
                std::chrono::seconds(5));
            if (std::filesystem::exists(socket)) {
                pid_ = pid;
                display_ = display;
            } else {
                Stop(pid);  // lost the race for that number: try the next
            }
        }
    }
    ~Xvfb() { Stop(pid_); }
    bool Running() const { return pid_ > 0; }
    const std::string& Display() const { return display_; }

    // Runs a shell command on this display; its standard output.
    std::string Sh(const std::string& command) const {
        const auto out = tmp_ / "sh.out";
        std::system(
            ("DISPLAY=" + display_ + " " + command + " >" + out.string() + " 2>/dev/null").c_str());
        return testsupport::ReadFile(out);
    }

    platform::RgbImage Screenshot(const std::string& name) const {
        const auto path = tmp_ / (name + ".png");
        Sh("import -window root " + path.string());
        platform::RgbImage image;
        platform::DecodeImageFile(path.string(), image);
        return image;
    }

  private:
    testsupport::TempDir tmp_;
    pid_t pid_ = -1;
    std::string display_;
};

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
};

// Standard deviation of the grey values inside the rectangle, or with `other`
// the mean absolute channel difference of the two screenshots there.
double Measure(const platform::RgbImage& a, Rect r, const platform::RgbImage* other = nullptr) {
    if (other != nullptr && (other->width != a.width || other->height != a.height)) {
        return 255.0;
    }
    double sum = 0.0, sum2 = 0.0;
    int n = 0;
    for (int y = r.y; y < r.y + r.h && y < a.height; ++y) {
        for (int x = r.x; x < r.x + r.w && x < a.width; ++x) {
            const std::size_t i = (static_cast<std::size_t>(y) * a.width + x) * 3;
            double v = 0.0;
            for (int c = 0; c < 3; ++c) {
                v += other != nullptr ? std::abs(a.rgb[i + c] - other->rgb[i + c]) / 3.0
                                      : a.rgb[i + c] / 3.0;
            }
            sum += v;
            sum2 += v * v;
            ++n;
        }
    }
    if (n == 0) {
        return 0.0;
    }
    return other != nullptr ? sum / n : std::sqrt(std::max(0.0, sum2 / n - (sum / n) * (sum / n)));
}

double Difference(const platform::RgbImage& a, const platform::RgbImage& b, Rect r) {
    return Measure(a, r, &b);
}

// One viewer on a generated station, shown on its own X server.
class ViewerSession {
  public:
    bool Start() {
        sitegen::SiteOptions o;
        o.outputDir = (tmp_ / "site").string();
        o.stations = 2;
        o.sizes = {64, 128};
        sitegen::SitePlan plan;
        std::string error;
        if (!sitegen::GenerateSite(o, &plan, &error)) {
            ADD_FAILURE() << error;
            return false;
        }
        // Under the leak checker: the D-Bus library Qt's desktop integration
        // uses keeps one connection buffer until exit.
        const auto suppressions = tmp_.Write("lsan.supp", "leak:libdbus-1.so\n");
        pid_ = Spawn({PANORA_COMMAND, "view", plan.stations[0].description, "--size", "400x300"},
                     x_.Display(), tmp_ / "view.log", suppressions);
        window_ = x_.Sh("timeout 15 xdotool search --sync --name 'Panora - st1'");
        window_ = window_.substr(0, window_.find('\n'));
        if (window_.empty()) {
            ADD_FAILURE() << "no viewer window; its output: " << Log();
            return false;
        }
        // The view: left of the docks, below the toolbar.
        const std::string geometry = x_.Sh("xdotool getwindowgeometry --shell " + window_);
        std::sscanf(geometry.c_str(), "WINDOW=%*d X=%d Y=%d WIDTH=%d HEIGHT=%d", &window.x,
                    &window.y, &window.w, &window.h);
        view = Rect{window.x + 40, window.y + 80, 320, 200};
        return true;
    }
    ~ViewerSession() { Stop(pid_); }

    std::string Log() const { return testsupport::ReadFile(tmp_ / "view.log"); }
    // Waits until the view shows a station (not one flat colour).
    bool WaitForStation() {
        return testsupport::WaitUntil([&] { return Measure(x_.Screenshot("wait"), view) > 12.0; },
                                      std::chrono::seconds(10));
    }
    std::string Do(const std::string& xdotoolArgs) { return x_.Sh("xdotool " + xdotoolArgs); }
    platform::RgbImage Shot(const std::string& name) { return x_.Screenshot(name); }
    std::string Centre() const {
        return std::to_string(view.x + view.w / 2) + " " + std::to_string(view.y + view.h / 2);
    }
    // Closes the window with Ctrl+Q; the viewer's exit code (-1: still running).
    int Close() {
        Do("mousemove " + std::to_string(window.x + 5) + " " +
           std::to_string(window.y + window.h - 5) + " click 1");
        Do("key ctrl+q");
        return WaitExit(pid_, std::chrono::seconds(5));
    }

    Xvfb x_;
    Rect window;
    Rect view;

  private:
    testsupport::TempDir tmp_;
    pid_t pid_ = -1;
    std::string window_;
};

}  // namespace

// Without a display the viewer says so. On X: Shift + left drag looks, the
// wheel zooms, a right click opens the view's menu, Escape closes it, Ctrl+Q
// ends the program.
TEST(DesktopViewer, DragWheelAndMenuTurnTheViewAndCtrlQCloses) {
    testsupport::TempDir tmp;
    const auto headless = testsupport::RunPanora({"view", (tmp / "none.xml").string()},
                                                 {"DISPLAY=", "WAYLAND_DISPLAY="});
    EXPECT_EQ(headless.exitCode, 1);
    EXPECT_EQ(headless.err, "panora view: no display; set DISPLAY or run it under xvfb-run\n");

    for (const char* tool : {"Xvfb", "xdotool", "import"}) {
        if (!OnPath(tool)) {
            GTEST_SKIP() << tool << " is not installed: the desktop viewer is not tried on X";
        }
    }
    ViewerSession session;
    ASSERT_TRUE(session.x_.Running()) << "Xvfb did not start";
    ASSERT_TRUE(session.Start());
    ASSERT_TRUE(session.WaitForStation()) << session.Log();
    const Rect view = session.view;
    const int cx = view.x + view.w / 2;
    const int cy = view.y + view.h / 2;
    const platform::RgbImage before = session.Shot("before");

    session.Do("mousemove --sync " + session.Centre() +
               " keydown shift mousedown 1 mousemove --sync " + std::to_string(cx + 60) + " " +
               std::to_string(cy + 20) + " mouseup 1 keyup shift click 4 click 4");
    platform::RgbImage turned;
    EXPECT_TRUE(testsupport::WaitUntil(
        [&] {
            turned = session.Shot("turned");
            return Difference(before, turned, view) > 4.0;
        },
        std::chrono::seconds(5)))
        << "the view did not change after a drag and a wheel turn";
    EXPECT_GT(Measure(turned, view), 12.0) << "the turned view is blank";

    // The menu opens below and right of the pointer, over the view.
    const Rect menu{cx, cy, 60, 40};
    session.Do("mousemove --sync " + session.Centre() + " click 3");
    EXPECT_TRUE(
        testsupport::WaitUntil([&] { return Difference(turned, session.Shot("menu"), menu) > 8.0; },
                               std::chrono::seconds(5)))
        << "no context menu appeared";
    session.Do("key Escape");
    EXPECT_TRUE(testsupport::WaitUntil(
        [&] { return Difference(turned, session.Shot("closed"), menu) < 2.0; },
        std::chrono::seconds(5)))
        << "the context menu did not close";
    EXPECT_EQ(session.Close(), 0) << session.Log();
}
