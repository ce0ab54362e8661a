// `panora run PAGE.js [--size WxH] [--timeout S] [--base LOCATION]`: the
// page as a browser would run it. One control is created in a container whose
// base location is the page's folder (a "file://" URL) or --base, at the
// given size, and exposed to the page as `control` with its events; message
// boxes are answered by the page (host.answerMessageBox) and logged on
// standard error. The loop runs on real time until the page calls host.quit
// (its code is the exit code), fails (3) or runs out of time (4); bad
// arguments exit with 2. The control is torn down (Destroying fires) before
// the program ends. The time-out counts from the start of the page; a page
// that has not given the loop back 3 s after it (stuck in its own code, or in
// a control call that does not return) ends the process with 4 at once.

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "control/Automation.h"
#include "control/HostContainer.h"
#include "control/SX_Control.h"
#include "control/SX_ControlEvents.h"
#include "host/HostUi.h"
#include "host/ScriptedHostUi.h"
#include "panora/Commands.h"
#include "panora/PageInput.h"
#include "panora/PageScreenshot.h"
#include "platform/MessageLoop.h"
#include "platform/Text.h"
#include "scripthost/ScriptHost.h"

namespace {

constexpr const char* kUsage =
    "Usage: panora run PAGE.js [--size WxH] [--timeout S] [--base LOCATION]\n";

int BadArguments(const std::string& message) {
    std::fprintf(stderr, "panora run: %s\n%s", message.c_str(), kUsage);
    return 2;
}

// Message boxes of the control, answered by the page's queued answers. The
// loader thread shows boxes too, so calls are serialised. Popup menus take
// the page's queued answers (host.answerMenu) and are logged on standard
// error, one "menu: ID LABEL" line per item (" grayed" appended where it is),
// separators skipped; the cursor and the capture are recorded. Save-file
// dialogs take the page's queued paths (host.answerFileDialog; none queued
// cancels) and are logged as "filedialog: TITLE | FILTER | save"; print
// dialogs take host.answerPrintDialog's targets and log "printdialog: shown".
// The clipboard is the text the page sets (host.setClipboard); every tooltip
// shown is logged as "tooltip: TEXT".
class PageUi final : public HostUi {
  public:
    explicit PageUi(scripthost::ScriptedMessageBoxes& boxes) : boxes_(boxes) {}
    int MessageBox(const std::u16string& text, const std::u16string& caption,
                   unsigned type) override {
        std::lock_guard<std::mutex> lock(mutex_);
        return boxes_.Show(caption, text, type);
    }
    int PopupMenu(const std::vector<MenuItem>& items, int x, int y) override {
        for (const MenuItem& item : items) {
            if (!item.separator) {
                std::cerr << "menu: " << item.command << ' ' << platform::ToUtf8(item.label)
                          << (item.grayed ? " grayed" : "") << '\n';
            }
        }
        std::cerr.flush();
        return scripted_.PopupMenu(items, x, y);
    }
    void SetCursor(Cursor cursor) override { scripted_.SetCursor(cursor); }
    void CaptureMouse(bool capture) override { scripted_.CaptureMouse(capture); }
    std::u16string SaveFileDialog(const FileDialog& dialog) override {
        std::cerr << "filedialog: " << platform::ToUtf8(dialog.title) << " | "
                  << platform::ToUtf8(dialog.filterLabel) << " | save" << std::endl;
        return scripted_.SaveFileDialog(dialog);
    }
    bool PrintDialog(PrintTarget& target) override {
        std::cerr << "printdialog: shown" << std::endl;
        return scripted_.PrintDialog(target);
    }
    std::u16string ClipboardText() override { return scripted_.ClipboardText(); }
    void SetClipboardText(const std::u16string& text) override { scripted_.SetClipboardText(text); }
    void ShowTooltip(const std::u16string& text, const Rect& box) override {
        std::cerr << "tooltip: " << platform::ToUtf8(text) << std::endl;
        scripted_.ShowTooltip(text, box);
    }
    void HideTooltip() override { scripted_.HideTooltip(); }
    ScriptedHostUi& Scripted() { return scripted_; }

  private:
    std::mutex mutex_;
    scripthost::ScriptedMessageBoxes& boxes_;
    ScriptedHostUi scripted_;
};

scripthost::EventTable ControlEventTable() {
    scripthost::EventTable table;
    for (const auto& e : SX_ControlEvents::Table()) {
        scripthost::EventInfo info;
        info.name = platform::FromUtf8(e.name);
        info.id = e.id;
        for (std::size_t i = 0; i < e.paramCount; ++i) {
            info.params.push_back(platform::FromUtf8(e.params[i]));
        }
        table.push_back(std::move(info));
    }
    return table;
}

// Ends the process with the time-out's exit code unless disarmed within
// `limit`: the page's time-out is checked by the loop, which cannot check it
// while the page's code or a call into the control holds the thread. The
// grace after the time-out covers the longest stop of a load (2.4 s).
class Watchdog {
  public:
    static constexpr std::chrono::milliseconds kGrace{3000};

    Watchdog(std::chrono::milliseconds limit, double seconds)
        : thread_([this, limit, seconds] {
              std::unique_lock lock(mutex_);
              if (!disarmedChanged_.wait_for(lock, limit, [this] { return disarmed_; })) {
                  std::fflush(stdout);
                  std::fprintf(stderr,
                               "panora run: time-out after %g s (the page did not return)\n",
                               seconds);
                  std::_Exit(scripthost::ScriptHost::kExitTimeout);
              }
          }) {}
    ~Watchdog() {
        Disarm();
        thread_.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    void Disarm() {
        std::lock_guard lock(mutex_);
        disarmed_ = true;
        disarmedChanged_.notify_all();
    }

  private:
    std::mutex mutex_;
    std::condition_variable disarmedChanged_;
    bool disarmed_ = false;
    std::thread thread_;  // last: starts once the members above exist
};

struct Arguments {
    std::string page;
    int width = 800;
    int height = 600;
    double timeoutSeconds = 60.0;
    std::string base;
};

bool ParseSize(const std::string& text, int& width, int& height) {
    char extra = 0;
    return std::sscanf(text.c_str(), "%dx%d%c", &width, &height, &extra) == 2 && width > 0 &&
           height > 0 && width <= 16384 && height <= 16384;
}

bool ParseSeconds(const std::string& text, double& seconds) {
    char* end = nullptr;
    seconds = std::strtod(text.c_str(), &end);
    return !text.empty() && end != nullptr && *end == '\0' && seconds > 0.0 && seconds <= 86400.0;
}

// 0 when parsed, otherwise the exit code (help: 0 printed, bad: 2).
int Parse(int argc, char** argv, Arguments& args, bool& help) {
    help = false;
    for (int i = 0; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            help = true;
            return 0;
        }
        if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
            std::string name = arg;
            std::string value;
            const auto eq = arg.find('=');
            if (eq != std::string::npos) {
                name = arg.substr(0, eq);
                value = arg.substr(eq + 1);
            } else if (name == "--size" || name == "--timeout" || name == "--base") {
                if (i + 1 >= argc) {
                    return BadArguments(name + " needs a value");
                }
                value = argv[++i];
            }
            if (name == "--size") {
                if (!ParseSize(value, args.width, args.height)) {
                    return BadArguments("--size wants WIDTHxHEIGHT, got '" + value + "'");
                }
            } else if (name == "--timeout") {
                if (!ParseSeconds(value, args.timeoutSeconds)) {
                    return BadArguments("--timeout wants a number of seconds, got '" + value + "'");
                }
            } else if (name == "--base") {
                if (value.empty()) {
                    return BadArguments("--base needs a value");
                }
                args.base = value;
            } else {
                return BadArguments("unknown option '" + name + "'");
            }
            continue;
        }
        if (!args.page.empty()) {
            return BadArguments("give one page (got '" + args.page + "' and '" + arg + "')");
        }
        args.page = arg;
    }
    if (args.page.empty()) {
        return BadArguments("no page given");
    }
    return 0;
}

// The page's folder as a browser names it: "file://" + absolute path + "/".
std::string PageFolderUrl(const std::string& page) {
    std::error_code ec;
    std::string folder = std::filesystem::absolute(page, ec).parent_path().string();
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return "file://" + folder;
}

}  // namespace

int RunPage(int argc, char** argv) {
    Arguments args;
    bool help = false;
    if (const int code = Parse(argc, argv, args, help); code != 0 || help) {
        if (help) {
            std::printf(
                "%s\nRuns a page script (JavaScript) against one control: `control` is the "
                "control's\nautomation object with its events (attachEvent), `host` ends the run "
                "(host.quit(code)),\nlogs, runs timers and answers message boxes.\n\n"
                "  --size WxH        size of the control's window (default 800x600)\n"
                "  --timeout S       exit with 4 after S seconds (default 60)\n"
                "  --base LOCATION   the page's base location (default: its folder as a "
                "file:// URL)\n\n"
                "Exit code: the page's host.quit code; 3 on a script error; 4 on the "
                "time-out.\n",
                kUsage);
        }
        return code;
    }
    std::error_code ec;
    if (!std::filesystem::is_regular_file(args.page, ec)) {
        std::fprintf(stderr, "panora run: cannot read the page %s\n", args.page.c_str());
        return scripthost::ScriptHost::kExitScriptError;
    }
    const std::string base = args.base.empty() ? PageFolderUrl(args.page) : args.base;

    using Clock = std::chrono::steady_clock;
    const auto timeout =
        std::chrono::milliseconds(static_cast<std::int64_t>(args.timeoutSeconds * 1000.0));
    const Clock::time_point start = Clock::now();
    Watchdog watchdog(timeout + Watchdog::kGrace, args.timeoutSeconds);

    platform::MessageLoop loop;
    auto host = std::make_unique<scripthost::ScriptHost>(loop, std::cout, std::cerr);
    PageUi ui(host->MessageBoxes());
    auto control = std::make_unique<SX_Control>(
        loop, ui, std::make_unique<control::HostContainer>(platform::FromUtf8(base)),
        SX_Control::Options());
    if (!control->Create(args.width, args.height)) {
        std::fprintf(stderr, "panora run: the control could not be created\n");
    }
    auto automation = platform::MakeRef<control::Automation>(control.get());
    host->AddObject("control", automation,
                    scripthost::EventSource{&control->Events(), ControlEventTable()});
    AddPageInput(*host, *control, ui.Scripted());
    AddPageScreenshot(*host, *control);

    int code = scripthost::ScriptHost::kExitScriptError;
    if (host->LoadFile(args.page)) {
        const auto spent =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
        code = host->Run(std::max<std::int64_t>((timeout - spent).count(), 0));
    } else {
        code = host->ExitCode();
    }
    watchdog.Disarm();
    if (code == scripthost::ScriptHost::kExitTimeout) {
        std::fprintf(stderr, "panora run: time-out after %g s\n", args.timeoutSeconds);
    }
    // Tear-down: the control's window goes first (Destroying, the loader
    // stops), then the page's connections, then the control itself.
    control->Destroy();
    automation->Detach();
    host.reset();
    control.reset();
    std::cout.flush();
    return code;
}
