// embed_render STATION.xml OUT.jpg: loads a station into a control without a
// display (OpenGL over EGL, Mesa's software rasteriser will do), lets it load
// until the load ends, draws one 640 x 480 view and writes it as a JPEG.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "control/HostContainer.h"
#include "control/SX_Control.h"
#include "host/ScriptedHostUi.h"
#include "platform/Image.h"
#include "platform/MessageLoop.h"
#include "platform/Text.h"
#include "view3d/SX_GraphicWindow.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: embed_render STATION.xml OUT.jpg\n");
        return 2;
    }
    const std::string station = std::filesystem::absolute(argv[1]).string();

    platform::MessageLoop loop;  // this thread is the control's window thread
    ScriptedHostUi ui;           // message boxes and menus answered by script
    SX_Control::Options options;
    options.logFolder = u"";  // no log file
    SX_Control control(loop, ui, nullptr, std::move(options));
    if (!control.Create(640, 480) ||
        !loop.RunUntil([&] { return control.ReadyState() == 4; }, 10000) ||
        control.GraphicWindow() == nullptr || !control.GraphicWindow()->HasOpenGL()) {
        std::fprintf(stderr, "embed_render: no OpenGL view\n");
        return 1;
    }
    control.put_src(platform::Bstr(platform::FromUtf8(station)));

    // Frames drawn while the station loads ask the loader for finer levels.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!control.LoadFinished() && !control.LoadFailed() &&
           std::chrono::steady_clock::now() < deadline) {
        loop.ProcessPending();
        control.RenderFrame();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    control.GraphicWindow()->RequestCapture();
    while (!control.RenderFrame() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));  // the loader holds OpenGL
    }
    const platform::RgbImage image = control.GraphicWindow()->Captured();
    control.Destroy();

    std::string error;
    if (control.LoadFailed() || image.width == 0 ||
        !platform::EncodeJpegFile(image, argv[2], 90, &error)) {
        std::fprintf(stderr, "embed_render: no view written %s\n", error.c_str());
        return 1;
    }
    std::printf("embed_render: %dx%d view written to %s\n", image.width, image.height, argv[2]);
    return 0;
}
