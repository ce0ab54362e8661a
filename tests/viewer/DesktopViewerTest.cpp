// `panora view` on a real X server: the test runs the viewer on a generated
// station, looks at the screen with `import` and drives it with xdotool as a
// person would.
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
#include "support/ScopedEnv.h"
#include "support/TempDir.h"
#include "support/WaitUntil.h"

namespace {

bool OnPath(const std::string& program) {
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

// A child in its own process group, output into `log`, with `lsanSuppressions`
// added to its leak-check options.
pid_t Spawn(const std::vector<std::string>& argv, const std::filesystem::path& log,
            const std::filesystem::path& lsanSuppressions) {
    const char* options = std::getenv("LSAN_OPTIONS");
    const std::string lsan =
        (options != nullptr && *options != '\0' ? options + std::string(":") : std::string()) +
        "suppressions=" + lsanSuppressions.string();
    const pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0);
        setenv("LSAN_OPTIONS", lsan.c_str(), 1);
        const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(fd, 1);
        dup2(fd, 2);
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

// One viewer on a generated station, on an X server of its own that
// xvfb-run starts on a free display number.
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
        const auto displayFile = tmp_ / "display";
        pid_ = Spawn({"xvfb-run", "-a", "-s", "-screen 0 1024x768x24 -nolisten tcp -ac", "sh", "-c",
                      "echo $DISPLAY >" + displayFile.string() + "; exec \"$0\" \"$@\"",
                      PANORA_COMMAND, "view", plan.stations[0].description, "--size", "400x300"},
                     tmp_ / "view.log", suppressions);
        testsupport::WaitUntil([&] { return !testsupport::ReadFile(displayFile).empty(); },
                               std::chrono::seconds(10));
        display_ = testsupport::ReadFile(displayFile);
        display_ = display_.substr(0, display_.find('\n'));
        const std::string window = Do("search --sync --name 'Panora - st1'", "timeout 15 ");
        if (window.empty()) {
            ADD_FAILURE() << "no viewer window; its output: " << Log();
            return false;
        }
        // The view: left of the docks, below the toolbar.
        std::sscanf(Do("getwindowgeometry --shell " + window.substr(0, window.find('\n'))).c_str(),
                    "WINDOW=%*d X=%d Y=%d WIDTH=%d HEIGHT=%d", &window_.x, &window_.y, &window_.w,
                    &window_.h);
        view = Rect{window_.x + 40, window_.y + 80, 320, 200};
        return true;
    }
    // xvfb-run stops its X server without waiting for it: the whole group
    // is let end, so that the server removes its lock file.
    ~ViewerSession() {
        if (pid_ > 0) {
            kill(-pid_, SIGTERM);
            const bool ended = testsupport::WaitUntil(
                [&] { return waitpid(pid_, nullptr, WNOHANG), kill(-pid_, 0) != 0; },
                std::chrono::seconds(3));
            if (!ended) {
                kill(-pid_, SIGKILL);
            }
        }
    }

    std::string Log() const { return testsupport::ReadFile(tmp_ / "view.log"); }
    // Runs xdotool on the session's display; its standard output.
    std::string Do(const std::string& args, const std::string& prefix = "") const {
        const auto out = tmp_ / "sh.out";
        std::system(("DISPLAY=" + display_ + " " + prefix + "xdotool " + args + " >" +
                     out.string() + " 2>/dev/null")
                        .c_str());
        return testsupport::ReadFile(out);
    }
    platform::RgbImage Shot(const std::string& name) const {
        const auto path = tmp_ / (name + ".png");
        std::system(("DISPLAY=" + display_ + " import -window root " + path.string()).c_str());
        platform::RgbImage image;
        platform::DecodeImageFile(path.string(), image);
        return image;
    }
    // Waits until the view shows a station (not one flat colour).
    bool WaitForStation() const {
        return testsupport::WaitUntil([&] { return Measure(Shot("wait"), view) > 12.0; },
                                      std::chrono::seconds(10));
    }
    std::string Centre() const {
        return std::to_string(view.x + view.w / 2) + " " + std::to_string(view.y + view.h / 2);
    }
    // Closes the window with Ctrl+Q; the viewer's exit code (-1: still running).
    int Close() {
        Do("mousemove " + std::to_string(window_.x + 5) + " " +
           std::to_string(window_.y + window_.h - 5) + " click 1");
        Do("key ctrl+q");
        return WaitExit(pid_, std::chrono::seconds(5));
    }

    Rect view;

  private:
    testsupport::TempDir tmp_;
    pid_t pid_ = -1;
    std::string display_;
    Rect window_;
};

}  // namespace

// Without a display the viewer says so. On X: Shift + left drag looks, the
// wheel zooms, Ctrl+Q ends the program.
TEST(DesktopViewer, DragAndWheelTurnTheViewAndCtrlQCloses) {
    testsupport::TempDir tmp;
    // The viewer's log and drawing defaults stay in the test's own folder.
    const testsupport::ScopedEnv data("XDG_DATA_HOME", (tmp / "data").string());
    const auto headless = testsupport::RunPanora({"view", (tmp / "none.xml").string()},
                                                 {"DISPLAY=", "WAYLAND_DISPLAY="});
    EXPECT_EQ(headless.exitCode, 1);
    EXPECT_EQ(headless.err, "panora view: no display; set DISPLAY or run it under xvfb-run\n");

    for (const char* tool : {"xvfb-run", "xdotool", "import"}) {
        if (!OnPath(tool)) {
            GTEST_SKIP() << tool << " is not installed: the desktop viewer is not tried on X";
        }
    }
    ViewerSession session;
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
    EXPECT_EQ(session.Close(), 0) << session.Log();
}
