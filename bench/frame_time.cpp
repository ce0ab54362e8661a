// Frame time of a headless control on the software rasteriser at 1280 x 720
// and 1920 x 1080, at rest and while spinning, with a station generated here
// (faces of 512, 1024 and 2048 pixels). A spinning frame is what a spin tick
// draws: the azimuth moves by the step and the cube map is in interaction
// state 2, which accepts a coarser level; a frame at rest is drawn in the
// idle state with the camera still. Every level a frame asks for is loaded
// before timing. Prints milliseconds per frame, the level drawn on the front
// face, and the ratio spinning / rest; beside each time the CPU time of the
// whole process per frame (llvmpipe's threads included), which moves less
// than the wall time when other work shares the cores. The reference, in the same run: a
// context of its own that clears the colour and draws one 2048-pixel texture
// over the whole view per frame with the sampling the faces use (bilinear,
// the texel replacing the colour), the least a textured frame of that size
// costs on this rasteriser; frames are also printed as ratios to it. Targets
// at 1920 x 1080: 16 ms at rest, 12 ms spinning.
//
//   bench/bench_frame_time [frames]

#include <GL/gl.h>
#include <GL/glext.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "BenchControl.h"
#include "control/HostContainer.h"
#include "control/SX_Control.h"
#include "glcore/SX_OpenGLCamera.h"
#include "glcore/SX_OpenGLContext.h"
#include "host/ScriptedHostUi.h"
#include "platform/ComBstr.h"
#include "platform/MessageLoop.h"
#include "platform/Text.h"
#include "sitegen/SiteGenerator.h"
#include "station/SX_CubeMap.h"
#include "station/SX_PanoramaDataSet.h"
#include "view3d/SX_GraphicWindow.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kSpinning = 2;
constexpr double kSpinStep = 2.0;  // degrees per frame

double MsSince(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Milliseconds per frame: wall clock and CPU time of the process.
struct PerFrame {
    double ms = -1.0;
    double cpuMs = -1.0;
};

struct Timing {
    PerFrame rest;
    PerFrame spin;
    int restLevel = -1;
    int spinLevel = -1;
    std::string renderer;
};

void Frame(SX_Control& control, SX_CubeMap& cube, bool spinning) {
    if (spinning) {
        control.DataSet().Camera()->AddAzimuth(kSpinStep);
        cube.SetInteractionState(kSpinning);
    }
    while (!control.RenderFrame()) {
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
}

// Mean frame time over `frames` frames, after one untimed frame.
PerFrame TimeFrames(SX_Control& control, SX_CubeMap& cube, bool spinning, int frames) {
    Frame(control, cube, spinning);
    const double cpu0 = CpuMs();
    const auto t0 = Clock::now();
    for (int i = 0; i < frames; ++i) {
        Frame(control, cube, spinning);
    }
    return {MsSince(t0) / frames, (CpuMs() - cpu0) / frames};
}

// Mean time of a frame that clears the colour and draws one 2048-pixel
// texture over the whole view, sampled as the faces are; -1 without a
// context.
PerFrame ReferenceFrame(int width, int height, int frames) {
    StraleLib::SX_OpenGLContext gl;
    if (!gl.Create(width, height) || !gl.Acquire()) {
        return {};
    }
    constexpr int kSide = 2048;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kSide) * kSide * 4);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = static_cast<std::uint8_t>((i * 7) ^ (i >> 13));
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, kSide, kSide, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                 pixels.data());
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    const auto frame = [] {
        glClear(GL_COLOR_BUFFER_BIT);
        glBegin(GL_QUADS);
        glTexCoord2d(0, 0);
        glVertex2d(-1, -1);
        glTexCoord2d(1, 0);
        glVertex2d(1, -1);
        glTexCoord2d(1, 1);
        glVertex2d(1, 1);
        glTexCoord2d(0, 1);
        glVertex2d(-1, 1);
        glEnd();
        glFinish();
    };
    frame();
    const double cpu0 = CpuMs();
    const auto t0 = Clock::now();
    for (int i = 0; i < frames; ++i) {
        frame();
    }
    const PerFrame perFrame{MsSince(t0) / frames, (CpuMs() - cpu0) / frames};
    glDeleteTextures(1, &name);
    gl.Release();
    gl.Destroy();
    return perFrame;
}

Timing Measure(const std::string& description, int width, int height, int frames) {
    Timing timing;
    platform::MessageLoop loop;
    ScriptedHostUi ui;
    SX_Control control(loop, ui, nullptr, bench::HeadlessOptions());
    if (!bench::MakeReady(control, loop, width, height)) {
        return timing;
    }
    timing.renderer = control.GraphicWindow()->Context()->Renderer();
    control.put_src(platform::Bstr(platform::FromUtf8(description)));
    StraleLib::SX_OpenGLCamera& camera = *control.DataSet().Camera();

    // Draw at rest and spinning until every face holds the level wanted.
    const auto t0 = Clock::now();
    bool ready = false;
    while (!ready && MsSince(t0) < 30000.0) {
        loop.ProcessPending();
        SX_CubeMap* cube = control.DataSet().CubeMap();
        if (cube == nullptr) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        for (const bool spinning : {true, false}) {
            Frame(control, *cube, spinning);
        }
        const int wanted = cube->WantedLevel();
        ready = wanted != SX_CubeMap::kNoWantedLevel;
        for (int f = 0; ready && f < SX_CubeMap::kFaceCount; ++f) {
            ready = cube->HasImage(f, wanted);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (ready) {
        SX_CubeMap& cube = *control.DataSet().CubeMap();
        camera.SetAzimuth(0.0);
        camera.SetAltitude(0.0);
        timing.rest = TimeFrames(control, cube, false, frames);
        timing.restLevel = cube.DrawnLevel(1);
        camera.SetAzimuth(0.0);
        timing.spin = TimeFrames(control, cube, true, frames);
        camera.SetAzimuth(0.0);
        Frame(control, cube, true);
        timing.spinLevel = cube.DrawnLevel(1);
    }
    control.Destroy();
    return timing;
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    const auto dir = bench::RunFolder("frame");

    sitegen::SitePlan plan;
    if (!bench::GenerateStation(dir, {512, 1024, 2048}, plan)) {
        return 1;
    }
    const std::string description = plan.stations.at(0).description;

    int status = 0;
    const struct { int width, height; } sizes[] = {{1280, 720}, {1920, 1080}};
    for (const auto& size : sizes) {
        const Timing t = Measure(description, size.width, size.height, frames);
        const PerFrame reference = ReferenceFrame(size.width, size.height, frames);
        if (t.rest.ms < 0 || t.spin.ms < 0) {
            std::printf("%4d x %4d: FAILED (no view or levels not loaded)\n", size.width,
                        size.height);
            status = 1;
            continue;
        }
        std::printf("%4d x %4d on %s, mean of %d frames\n", size.width, size.height,
                    t.renderer.c_str(), frames);
        std::printf("  at rest   %8.2f ms per frame, CPU %6.2f ms (front face at level %d)\n",
                    t.rest.ms, t.rest.cpuMs, t.restLevel);
        std::printf("  spinning  %8.2f ms per frame, CPU %6.2f ms (front face at level %d)\n",
                    t.spin.ms, t.spin.cpuMs, t.spinLevel);
        std::printf("  ratio spinning / rest  %6.3f\n", t.spin.ms / t.rest.ms);
        if (reference.ms > 0) {
            std::printf(
                "  reference: one texture over the view  %8.2f ms per frame, CPU %6.2f ms\n",
                reference.ms, reference.cpuMs);
            std::printf("  ratio at rest / reference   %6.2f\n", t.rest.ms / reference.ms);
            std::printf("  ratio spinning / reference  %6.2f\n", t.spin.ms / reference.ms);
        }
    }
    std::filesystem::remove_all(dir);
    return status;
}
