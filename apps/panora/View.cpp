// `panora view [STATION|URL] [--size WxH] [--report-startup]`: the desktop
// viewer. It needs a display (X11 or Wayland); without one it says so and
// exits 1 before any window system is touched. The viewer itself is a module
// (panora_viewer.so) loaded only here; a missing or broken module is reported
// with its file and exit code 1. A panora built without Qt says that instead.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "panora/Commands.h"
#ifdef PANORA_HAS_VIEWER
#include "panora/ViewerModule.h"
#include "platform/Path.h"
#include "platform/Text.h"
#endif

namespace {

constexpr const char* kUsage = "Usage: panora view [STATION|URL] [--size WxH] [--report-startup]\n";

int BadArguments(const std::string& message) {
    std::fprintf(stderr, "panora view: %s\n%s", message.c_str(), kUsage);
    return 2;
}

[[maybe_unused]] bool HasDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return true;
        }
    }
    return false;
}

}  // namespace

int RunView(int argc, char** argv) {
    std::string station;
    int width = 1024;
    int height = 640;
    bool reportStartup = false;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::printf(
                "%s\nShows a station in a desktop window: drag to look around, turn the wheel "
                "to zoom,\nright-click for the view's menu. The toolbar opens stations, "
                "switches between\nnavigating and measuring, spins and zooms; the docks list "
                "the neighbour stations\n(double-click opens one) and the 3D marks made from "
                "picks.\n\n"
                "  --size WxH          size of the view (default 1024x640)\n"
                "  --report-startup    print when the station's first frame is shown\n\n"
                "Needs a display (DISPLAY or WAYLAND_DISPLAY); without one, run it under "
                "xvfb-run\nor use `panora render` for still images.\n",
                kUsage);
            return 0;
        }
        if (arg == "--report-startup") {
            reportStartup = true;
        } else if (arg == "--size" || arg.rfind("--size=", 0) == 0) {
            std::string value;
            if (arg == "--size") {
                if (i + 1 >= argc) {
                    return BadArguments("--size needs a value");
                }
                value = argv[++i];
            } else {
                value = arg.substr(7);
            }
            char extra = 0;
            if (std::sscanf(value.c_str(), "%dx%d%c", &width, &height, &extra) != 2 || width < 64 ||
                height < 48 || width > 16384 || height > 16384) {
                return BadArguments("--size wants WIDTHxHEIGHT (at least 64x48), got '" + value +
                                    "'");
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            return BadArguments("unknown option '" + arg + "'");
        } else if (!station.empty()) {
            return BadArguments("give one station (got '" + station + "' and '" + arg + "')");
        } else {
            station = arg;
        }
    }
#ifndef PANORA_HAS_VIEWER
    (void)reportStartup;
    std::fprintf(stderr, "panora view: this panora was built without the desktop viewer (Qt 6)\n");
    return 1;
#else
    if (!HasDisplay()) {
        std::fprintf(stderr, "panora view: no display; set DISPLAY or run it under xvfb-run\n");
        return 1;
    }
    std::string location = station;
    if (!station.empty() && !platform::IsUrl(platform::FromUtf8(station))) {
        std::error_code ec;
        location = std::filesystem::absolute(station, ec).string();
    }
    PanoraViewerArgs args{};
    args.station = location.c_str();
    args.width = width;
    args.height = height;
    args.reportStartup = reportStartup ? 1 : 0;
    return RunViewerModule(args);
#endif
}
