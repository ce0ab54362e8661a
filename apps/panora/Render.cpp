// `panora render STATION -o OUT.jpg [--size WxH] [--azimuth A] [--altitude A]
// [--zoom F | --fov DEG] [--no-controls] [--wait-level L] [--timeout S]`: loads
// a station (path or URL) into a headless control, lets the view ask for finer
// levels until the level it wants is drawn on every face (or level L, or the
// load ends), renders one more frame and writes it as a JPEG. --fov sets the
// vertical field of view as SetZoom does; --no-controls leaves the navigation
// controls and logos out of the image. The station's error list goes to
// standard error; the image is still written when any face could be drawn,
// as the control's error page (the view on it) when the station has errors.
// Exit codes: 0 written without errors, 1 failure or errors, 2 bad arguments.
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "control/HostContainer.h"
#include "control/SX_Control.h"
#include "glcore/SX_OpenGLCamera.h"
#include "host/ScriptedHostUi.h"
#include "panora/Commands.h"
#include "platform/Image.h"
#include "platform/MessageLoop.h"
#include "platform/Path.h"
#include "platform/Text.h"
#include "station/SX_CubeMap.h"
#include "station/SX_PanoramaDataSet.h"
#include "view3d/NavigationControls.h"
#include "view3d/SX_GraphicWindow.h"

namespace {

constexpr const char* kUsage =
    "Usage: panora render STATION -o OUT.jpg [--size WxH] [--azimuth A] [--altitude A]\n"
    "                     [--zoom F | --fov DEG] [--no-controls] [--wait-level L]\n"
    "                     [--timeout S]\n";

int BadArguments(const std::string& message) {
    std::fprintf(stderr, "panora render: %s\n%s", message.c_str(), kUsage);
    return 2;
}

struct Arguments {
    std::string station;
    std::string output;
    int width = 640;
    int height = 480;
    double azimuth = 0.0;
    double altitude = 0.0;
    double zoom = 1.0;
    double fieldOfView = 0.0;  // 0: the initial field of view divided by zoom
    bool zoomGiven = false;
    bool controls = true;
    int waitLevel = -1;  // -1: the level the view wants
    double timeoutSeconds = 60.0;
};

bool ParseNumber(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && end != nullptr && *end == '\0' && std::isfinite(value);
}

int Parse(int argc, char** argv, Arguments& args, bool& help) {
    help = false;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            help = true;
            return 0;
        }
        if (arg == "--no-controls") {
            args.controls = false;
            continue;
        }
        if (arg == "-o" || (arg.size() > 2 && arg.compare(0, 2, "--") == 0)) {
            if (i + 1 >= argc) {
                return BadArguments(arg + " needs a value");
            }
            const std::string value = argv[++i];
            double number = 0.0;
            if (arg == "-o" || arg == "--output") {
                args.output = value;
            } else if (arg == "--size") {
                char extra = 0;
                if (std::sscanf(value.c_str(), "%dx%d%c", &args.width, &args.height, &extra) != 2 ||
                    args.width <= 0 || args.height <= 0 || args.width > 16384 ||
                    args.height > 16384) {
                    return BadArguments("--size wants WIDTHxHEIGHT, got '" + value + "'");
                }
            } else if (!ParseNumber(value, number)) {
                return BadArguments(arg + " wants a number, got '" + value + "'");
            } else if (arg == "--azimuth") {
                args.azimuth = number;
            } else if (arg == "--altitude") {
                args.altitude = number;
            } else if (arg == "--zoom") {
                if (number <= 0.0) {
                    return BadArguments("--zoom wants a factor above 0");
                }
                args.zoom = number;
                args.zoomGiven = true;
            } else if (arg == "--fov") {
                if (number <= 0.0 || number >= 180.0) {
                    return BadArguments("--fov wants degrees above 0 and below 180");
                }
                args.fieldOfView = number;
            } else if (arg == "--wait-level") {
                if (number < 0 || number > 19 || number != static_cast<int>(number)) {
                    return BadArguments("--wait-level wants a level from 0 to 19");
                }
                args.waitLevel = static_cast<int>(number);
            } else if (arg == "--timeout") {
                if (number <= 0.0) {
                    return BadArguments("--timeout wants seconds above 0");
                }
                args.timeoutSeconds = number;
            } else {
                return BadArguments("unknown option '" + arg + "'");
            }
            continue;
        }
        if (!args.station.empty()) {
            return BadArguments("give one station (got '" + args.station + "' and '" + arg + "')");
        }
        args.station = arg;
    }
    if (args.station.empty()) {
        return BadArguments("no station given");
    }
    if (args.output.empty()) {
        return BadArguments("no output file given (-o OUT.jpg)");
    }
    if (args.zoomGiven && args.fieldOfView > 0.0) {
        return BadArguments("give --zoom or --fov, not both");
    }
    return 0;
}

// The coarsest level has been tried on every face, and every face that has
// any level drew the level asked for: `level`, or (with -1) the one the view
// wants.
bool Settled(const SX_CubeMap& cube, int level) {
    int coarsest = cube.HighestLevel();
    while (coarsest >= 0 && !cube.LevelSize(coarsest)) {
        --coarsest;
    }
    if (coarsest < 0 || cube.FacesTried(coarsest) < SX_CubeMap::kFaceCount) {
        return false;
    }
    const int wanted = level >= 0 ? level : cube.WantedLevel();
    bool any = false;
    for (int f = 0; f < SX_CubeMap::kFaceCount; ++f) {
        if (cube.LoadedLevel(f) < 0) {
            continue;
        }
        any = true;
        const int drawn = cube.DrawnLevel(f);
        if (drawn < 0 || drawn > wanted) {
            return false;
        }
    }
    return any;
}

// How many levels have been tried on every face.
int LevelsTried(const SX_CubeMap& cube) {
    int levels = 0;
    for (int level = 0; level <= cube.HighestLevel(); ++level) {
        levels += cube.FacesTried(level) >= SX_CubeMap::kFaceCount ? 1 : 0;
    }
    return levels;
}

}  // namespace

int RunRender(int argc, char** argv) {
    Arguments args;
    bool help = false;
    if (const int code = Parse(argc, argv, args, help); code != 0 || help) {
        if (help) {
            std::printf(
                "%s\nRenders one view of a station into a JPEG file, without a display.\n\n"
                "  -o OUT.jpg        the image to write\n"
                "  --size WxH        size of the view (default 640x480)\n"
                "  --azimuth A       degrees, 0 looks at the front face, 90 to the right\n"
                "  --altitude A      degrees above the horizon\n"
                "  --zoom F          magnification of the 80-degree field of view\n"
                "  --fov DEG         vertical field of view in degrees (as SetZoom takes it)\n"
                "  --no-controls     leave the navigation controls and logos out\n"
                "  --wait-level L    wait until level L (0 finest) is drawn on every face\n"
                "  --timeout S       give up waiting after S seconds (default 60)\n\n"
                "Exit code: 0 written, 1 failed or the station reported errors, 2 bad "
                "arguments.\n",
                kUsage);
        }
        return code;
    }
    std::u16string src = platform::FromUtf8(args.station);
    if (!platform::IsUrl(src)) {
        std::error_code ec;
        src = platform::FromUtf8(std::filesystem::absolute(args.station, ec).string());
    }

    platform::MessageLoop loop;
    ScriptedHostUi ui;
    SX_Control::Options options;
    options.logFolder = u"";
    options.openBrowser = [](const std::u16string&) { return false; };
    SX_Control control(loop, ui, nullptr, std::move(options));
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(static_cast<long>(args.timeoutSeconds * 1000));
    const auto timeLeft = [&] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   deadline - std::chrono::steady_clock::now())
            .count();
    };
    // The station is set the moment the control reports itself complete, as
    // a page's ready-state handler would, so that the load runs beside the
    // control's first paint.
    const auto hasView = [&] {
        return control.GraphicWindow() != nullptr && control.GraphicWindow()->HasOpenGL();
    };
    bool srcSet = false;
    const auto setSrc = [&] {
        if (srcSet || control.ReadyState() != 4 || !hasView()) {
            return;
        }
        srcSet = true;
        if (!args.controls) {
            control.NavigationControls().HideAll();
        }
        control.put_src(platform::Bstr(src));
    };
    const std::uint32_t readySink = control.PropertyNotify().Advise(
        [&](platform::DISPID id, const std::vector<platform::Variant>&) {
            if (id == SX_Control::kDispIdReadyState) {
                setSrc();
            }
            return platform::S_OK;
        });
    const bool ready = control.Create(args.width, args.height) &&
                       loop.RunUntil([&] { return control.ReadyState() == 4; }, timeLeft()) &&
                       hasView();
    control.PropertyNotify().Unadvise(readySink);
    if (!ready) {
        std::fprintf(stderr, "panora render: no OpenGL view could be made\n");
        control.Destroy();
        return 1;
    }
    setSrc();

    SX_PanoramaDataSet& dataSet = control.DataSet();
    const auto aim = [&] {
        StraleLib::SX_OpenGLCamera* camera = dataSet.Camera();
        SX_CubeMap* cube = dataSet.CubeMap();
        if (camera == nullptr || cube == nullptr) {
            return false;
        }
        camera->SetAzimuth(args.azimuth);
        camera->SetAltitude(args.altitude);
        camera->SetFieldOfView(args.fieldOfView > 0.0
                                   ? args.fieldOfView
                                   : StraleLib::SX_OpenGLCamera::kInitialFieldOfView / args.zoom);
        return true;
    };
    // Every frame is read back (a little next to drawing it), so the frame
    // that settles the view is the image and needs no second drawing.
    const auto frame = [&] {
        if (!aim()) {
            return false;
        }
        if (SX_GraphicWindow* window = control.GraphicWindow()) {
            window->RequestCapture();
        }
        return control.RenderFrame();
    };
    // A frame is drawn once every face of a further level has been tried: the
    // view then shows that level and asks for the next finer one, which wakes
    // the loader. Frames in between would only compete with the decoding.
    // Between frames this waits on the load's progress, handles the control's
    // messages every few milliseconds, and draws anyway after 140 ms.
    constexpr int kMessageWaitMs = 4;
    constexpr auto kFrameAnyway = std::chrono::milliseconds(140);
    bool settled = false;
    // Nothing is drawn before the coarsest level has been tried on every face
    // (or 140 ms have passed): a frame of the empty cube would only delay it.
    int drawnLevels = 0;
    auto lastFrame = std::chrono::steady_clock::now();
    while (timeLeft() > 0) {
        loop.ProcessPending();
        const bool ended = control.LoadFinished() || control.LoadFailed();
        SX_CubeMap* cube = dataSet.CubeMap();
        const std::uint64_t progress = cube != nullptr ? cube->Progress() : 0;
        const int levels = cube != nullptr ? LevelsTried(*cube) : 0;
        const auto now = std::chrono::steady_clock::now();
        const bool due = ended || levels != drawnLevels || now - lastFrame >= kFrameAnyway;
        bool drawn = false;
        if (due) {
            drawn = frame();
            if (drawn) {
                drawnLevels = levels;
                lastFrame = now;
            }
            if (drawn && cube != nullptr && Settled(*cube, args.waitLevel)) {
                settled = true;
                break;
            }
        }
        if (ended) {
            break;
        }
        // A frame refused (the loader holds the context) is tried again soon.
        if (cube == nullptr || (due && !drawn)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        } else {
            cube->WaitForProgress(progress, kMessageWaitMs);
        }
    }
    if (!settled) {
        std::fprintf(stderr, "panora render: the view did not reach its level\n");
    }

    // The view's capture (waiting for the loader to let go of the context);
    // a station with errors shows the control's error page, the view on it.
    platform::RgbImage image;
    bool captured = false;
    const SX_GraphicWindow* window = control.GraphicWindow();
    if (settled && window != nullptr && !window->CaptureRequested() &&
        window->Captured().width > 0) {
        image = window->Captured();
        captured = true;
    } else {
        captured = aim() && control.CaptureView(image);
    }
    if (control.ShowsErrorPage()) {
        control.Redraw();
        image = control.ErrorPageImage();
    } else if (!captured) {
        image = platform::RgbImage();
    }
    const std::u16string errors = dataSet.GetMessages();
    if (!errors.empty()) {
        std::fprintf(stderr, "%s\n", platform::ToUtf8(errors).c_str());
    }
    bool drawn = false;
    if (const SX_CubeMap* cube = dataSet.CubeMap()) {
        for (int f = 0; f < SX_CubeMap::kFaceCount; ++f) {
            drawn = drawn || cube->DrawnLevel(f) >= 0;
        }
    }
    control.Destroy();
    if (!drawn || image.width == 0) {
        std::fprintf(stderr, "panora render: nothing of the station could be drawn\n");
        return 1;
    }
    std::string error;
    if (!platform::EncodeJpegFile(image, args.output, 90, &error)) {
        std::fprintf(stderr, "panora render: cannot write %s: %s\n", args.output.c_str(),
                     error.c_str());
        return 1;
    }
    return settled && errors.empty() ? 0 : 1;
}
