// Loading a station against decoding its JPEG files with libturbojpeg alone,
// both in this run, on a station generated here with 2048-pixel faces and a
// coarse level:
//  (i)  from setting `src` on a headless control to the end of the first
//       frame that shows the coarsest level on all six faces, against
//       decoding the six coarse JPEG files;
//  (ii) loading and uploading one level of six 2048-pixel faces through the
//       cube map, uploading into an OpenGL context: one face after another
//       (LoadFaceImage) and as the loader does it (LoadLevel: two workers
//       decoding, uploads in face order), against decoding the same six JPEG
//       files on one core (target <= 1.3, stretch 0.7 for LoadLevel).
// Each file is read from disk (the page cache) in both the measurement and
// the reference. Prints medians and the ratios (target <= 1.3).
//
//   bench/bench_load_level [fine size] [coarse size] [repetitions]

#include <unistd.h>
#include "DecodeReference.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "BenchControl.h"
#include "control/HostContainer.h"
#include "control/SX_Control.h"
#include "glcore/SX_OpenGLContext.h"
#include "host/Resources.h"
#include "host/ScriptedHostUi.h"
#include "platform/ComBstr.h"
#include "platform/Heap.h"
#include "platform/Image.h"
#include "platform/MessageLoop.h"
#include "platform/Text.h"
#include "sitegen/SiteGenerator.h"
#include "station/SX_CubeMap.h"
#include "station/SX_LoadingContext.h"
#include "station/SX_PanoramaDataSet.h"
#include "view3d/SX_GraphicWindow.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// Reads and decodes the files to RGB as the image decoder does; -1 on error.
double DecodeWithTurboJpeg(const std::vector<std::string>& files) {
    return bench::DecodeJpegFiles(files, TJFLAG_STOPONWARNING | TJFLAG_LIMITSCANS);
}

// The same through the image layer the cube map decodes with, a fresh image
// per file as the loader has it.
double DecodeWithImageLayer(const std::vector<std::string>& files) {
    const auto t0 = Clock::now();
    for (const std::string& file : files) {
        platform::RgbImage image;
        if (!platform::DecodeImageFile(file, image)) {
            return -1.0;
        }
    }
    return MsSince(t0);
}

// (i): a control of 640 x 480 on real time; -1 when the frame never came.
// *imagesIn: when the six coarse images were in (before the frame).
double FirstCoarseFrame(const std::string& description, int coarseLevel, double* imagesIn) {
    platform::MessageLoop loop;
    ScriptedHostUi ui;
    SX_Control control(loop, ui, nullptr, bench::HeadlessOptions());
    if (!bench::MakeReady(control, loop, 640, 480)) {
        return -1.0;
    }
    double ms = -1.0;
    const auto t0 = Clock::now();
    control.put_src(platform::Bstr(platform::FromUtf8(description)));
    while (MsSince(t0) < 20000.0) {
        loop.ProcessPending();
        const SX_CubeMap* cube = control.DataSet().CubeMap();
        bool loaded = cube != nullptr;
        for (int f = 0; loaded && f < SX_CubeMap::kFaceCount; ++f) {
            loaded = cube->HasImage(f, coarseLevel);
        }
        if (!loaded) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            continue;
        }
        if (*imagesIn < 0) {
            *imagesIn = MsSince(t0);
        }
        while (!control.RenderFrame()) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        bool complete = true;
        for (int f = 0; f < SX_CubeMap::kFaceCount; ++f) {
            complete = complete && cube->DrawnLevel(f) == coarseLevel;
        }
        if (complete) {
            ms = MsSince(t0);
            break;
        }
    }
    control.Destroy();
    return ms;
}

// (ii): six faces of one level loaded and uploaded by a cube map of its own,
// through LoadLevel (points left out) or one LoadFaceImage after another.
double LoadAndUploadLevel(const sitegen::LevelFiles& level, const std::string& description,
                          StraleLib::SX_OpenGLContext& gl, bool wholeLevel) {
    host::Resources resources;
    SX_PanoramaDataSet dataSet(resources);
    SX_LoadingContext context(platform::FromUtf8(description));
    context.SetOpenGLContext(&gl);
    SX_CubeMap cube;
    cube.SetLevel(level.level, level.size, !wholeLevel, gl.MaxTextureSize());
    bool ok = true;
    const auto t0 = Clock::now();
    if (wholeLevel) {
        ok = cube.LoadLevel(context, level.level, dataSet, ok) && ok;
    }
    for (int f = 0; !wholeLevel && f < SX_CubeMap::kFaceCount; ++f) {
        const std::u16string colour = platform::FromUtf8(level.image[f]);
        ok = ok && cube.LoadFaceImage(context, f, colour, platform::FromUtf8(level.mask[f]), colour,
                                      level.level, dataSet, 0);
    }
    const double ms = MsSince(t0);
    ok = ok && !cube.Image(0, level.level).has_value();  // uploaded, pixels freed
    if (!ok) {
        std::fprintf(stderr, "%s\n", platform::ToUtf8(dataSet.GetMessages()).c_str());
    }
    if (gl.Acquire()) {
        cube.DropContent();
        gl.Release();
    }
    return ok ? ms : -1.0;
}

}  // namespace

int main(int argc, char** argv) {
    // The heap as the panora program sets it up (platform/Heap.h).
    platform::TuneHeapForPixelBuffers();
    const int fine = argc > 1 ? std::atoi(argv[1]) : 2048;
    const int coarse = argc > 2 ? std::atoi(argv[2]) : 256;
    const int reps = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
    const auto dir = bench::RunFolder("load");

    sitegen::SitePlan plan;
    const auto generated = Clock::now();
    if (!bench::GenerateStation(dir, {coarse, fine}, plan, "1.0")) {
        return 1;
    }
    std::printf("station generated in %.1f s: faces of %d and %d pixels\n",
                MsSince(generated) / 1000.0, fine, coarse);
    const sitegen::StationFiles& st = plan.stations.at(0);
    const sitegen::LevelFiles& fineLevel = st.levels.at(0);
    const sitegen::LevelFiles& coarseLevel = st.levels.at(1);
    const std::vector<std::string> fineFiles(fineLevel.image.begin(), fineLevel.image.end());
    const std::vector<std::string> coarseFiles(coarseLevel.image.begin(), coarseLevel.image.end());

    int status = 0;
    std::vector<double> firstFrame, imagesIn, coarseDecode;
    for (int i = 0; i < reps; ++i) {
        double in = -1.0;
        firstFrame.push_back(FirstCoarseFrame(st.description, coarseLevel.level, &in));
        imagesIn.push_back(in);
        coarseDecode.push_back(DecodeWithTurboJpeg(coarseFiles));
    }
    StraleLib::SX_OpenGLContext gl;
    std::vector<double> levelLoad, pooledLoad, fineDecode, platformDecode;
    if (gl.Create(64, 64)) {
        for (int i = 0; i < reps; ++i) {
            levelLoad.push_back(LoadAndUploadLevel(fineLevel, st.description, gl, false));
            pooledLoad.push_back(LoadAndUploadLevel(fineLevel, st.description, gl, true));
            fineDecode.push_back(DecodeWithTurboJpeg(fineFiles));
            platformDecode.push_back(DecodeWithImageLayer(fineFiles));
        }
        gl.Destroy();
    } else {
        std::fprintf(stderr, "no OpenGL context: %s\n", gl.LastError().c_str());
    }
    std::filesystem::remove_all(dir);

    const auto failed = [](const std::vector<double>& v) {
        return v.empty() || std::any_of(v.begin(), v.end(), [](double x) { return x < 0; });
    };
    std::printf("median of %d runs\n", reps);
    if (failed(firstFrame) || failed(coarseDecode)) {
        std::printf("(i) first frame of the coarsest level: FAILED\n");
        status = 1;
    } else {
        const double a = Median(firstFrame), b = Median(coarseDecode);
        std::printf("(i)  src to first complete frame of level %d (6 x %d)   %8.2f ms\n",
                    coarseLevel.level, coarse, a);
        std::printf("     of which until the six images were in               %8.2f ms\n",
                    Median(imagesIn));
        std::printf("     reference: decode the 6 JPEG files (libturbojpeg)   %8.2f ms\n", b);
        std::printf(
            "     ratio                                               %8.2f  (target "
            "<= 1.3)\n",
            a / b);
    }
    if (failed(levelLoad) || failed(pooledLoad) || failed(fineDecode)) {
        std::printf("(ii) load and upload of one level: FAILED\n");
        status = 1;
    } else {
        const double a = Median(levelLoad), b = Median(fineDecode);
        const double c = Median(pooledLoad);
        std::printf("(ii) load + upload of level 0 (6 x %d), face by face  %8.2f ms\n", fine, a);
        std::printf("     the same as the loader does it (two workers)       %8.2f ms\n", c);
        std::printf("     reference: decode the 6 JPEG files (libturbojpeg)   %8.2f ms\n", b);
        std::printf("     (image layer decode alone, fresh images: %.2f ms)\n",
                    Median(platformDecode));
        std::printf(
            "     ratio face by face                                  %8.2f  (target "
            "<= 1.3)\n",
            a / b);
        std::printf(
            "     ratio as the loader does it                         %8.2f  (target "
            "<= 1.3, stretch 0.7)\n",
            c / b);
    }
    return status;
}
