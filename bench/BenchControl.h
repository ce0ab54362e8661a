#pragma once
// What the whole-load benchmarks share: a folder of their own for the run
// (the control's per-user files stay inside it), one generated station, and
// a headless control made ready with OpenGL.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "control/SX_Control.h"
#include "platform/MessageLoop.h"
#include "sitegen/SiteGenerator.h"
#include "view3d/SX_GraphicWindow.h"

namespace bench {

// A fresh folder below the temp folder; XDG_DATA_HOME and XDG_CACHE_HOME
// point inside it.
inline std::filesystem::path RunFolder(const std::string& name) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("panora-bench-" + name + "-" + std::to_string(getpid()));
    setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    setenv("XDG_CACHE_HOME", (dir / "cache").c_str(), 1);
    return dir;
}

// One station with these face sizes below dir/site; false (reported on
// standard error) when it cannot be made. version: the data set version
// written (a cube map of its own, which reads no description, names its
// files as for "1.0").
inline bool GenerateStation(const std::filesystem::path& dir, std::vector<int> sizes,
                            sitegen::SitePlan& plan, const std::string& version = "2.0") {
    sitegen::SiteOptions options;
    options.version = version;
    options.outputDir = (dir / "site").string();
    options.stations = 1;
    options.sizes = std::move(sizes);
    std::string error;
    if (!sitegen::GenerateSite(options, &plan, &error)) {
        std::fprintf(stderr, "cannot generate the station: %s\n", error.c_str());
        return false;
    }
    return true;
}

// Options of a control with no log and no browser.
inline SX_Control::Options HeadlessOptions() {
    SX_Control::Options options;
    options.logFolder = u"";
    options.openBrowser = [](const std::u16string&) { return false; };
    return options;
}

// Creates the control's windows and waits (real time, 10 s at most) for it
// to be complete with an OpenGL view; on failure the control is destroyed.
inline bool MakeReady(SX_Control& control, platform::MessageLoop& loop, int width, int height) {
    if (control.Create(width, height) &&
        loop.RunUntil([&] { return control.ReadyState() == 4; }, 10000) &&
        control.GraphicWindow() != nullptr && control.GraphicWindow()->HasOpenGL()) {
        return true;
    }
    control.Destroy();
    return false;
}

}  // namespace bench
