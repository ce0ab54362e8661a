// The first complete view from process start: `panora render --zoom 1.3626
// --size 1280x720` (a horizontal field of view of 90 degrees) run as a new
// process on a station generated here (six faces of 2048 pixels with their
// 1024 and 512 levels, JPEG quality 90, a fixed seed), once with its point
// files and once on a copy that declares no point data and has none. The
// reference, in the same run: decoding the same 18 JPEG files once on one
// core with libturbojpeg (read from the page cache as the loader reads them).
// Prints medians, the processor time and peak resident memory of the render
// process (on a busy machine the processor time moves less than the wall
// time), and the ratios
// (targets: first view <= 3.5 x the decode, with point files <= 1.1 x without).
// A station of 64-pixel faces, run alike, gives the cost of a first view
// without imagery and the memory of the process without textures; the peak
// memory above it is compared with the bytes of the textures drawn.
//
//   bench/bench_first_view [runs]
//
// PANORA_RENDER_EXE names another panora program to run (an earlier build).

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include "DecodeReference.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "BenchControl.h"
#include "sitegen/SiteGenerator.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

double MsSince(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Reads and decodes the files to RGB on this thread; -1 on error. *cpuMs:
// the processor time it took.
double DecodeOnce(const std::vector<std::string>& files, double* cpuMs) {
    const double cpu0 = ThreadCpuMs();
    const double ms = bench::DecodeJpegFiles(files, 0);
    *cpuMs = ThreadCpuMs() - cpu0;
    return ms;
}

struct RunResult {
    double ms = -1.0;
    double cpuMs = 0.0;  // user and system time of all its threads
    double peakMiB = 0.0;
};

// Runs `panora render` on the station as a new process, its output to
// /dev/null; -1 ms when it did not exit with 0.
RunResult RenderOnce(const std::string& panora, const std::string& station,
                     const std::string& out) {
    RunResult result;
    const auto t0 = Clock::now();
    const pid_t pid = fork();
    if (pid < 0) {
        return result;
    }
    if (pid == 0) {
        std::freopen("/dev/null", "w", stdout);
        execl(panora.c_str(), panora.c_str(), "render", station.c_str(), "-o", out.c_str(),
              "--zoom", "1.3626", "--size", "1280x720", static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    if (wait4(pid, &status, 0, &usage) != pid) {
        return result;
    }
    const double ms = MsSince(t0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        result.ms = ms;
    }
    result.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
    const auto toMs = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_usec) / 1000.0;
    };
    result.cpuMs = toMs(usage.ru_utime) + toMs(usage.ru_stime);
    return result;
}

// A copy of the station without point files whose description says so.
bool CopyWithoutPoints(const fs::path& from, const fs::path& to, const std::string& name) {
    std::error_code ec;
    fs::create_directories(to, ec);
    for (const auto& entry : fs::directory_iterator(from, ec)) {
        if (entry.path().extension() != ".DAT") {
            fs::copy_file(entry.path(), to / entry.path().filename(),
                          fs::copy_options::overwrite_existing, ec);
        }
    }
    const fs::path xml = to / name;
    std::ifstream in(xml);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string on = "<Qvscan:hasPointData>TRUE</Qvscan:hasPointData>";
    const auto at = text.find(on);
    if (at == std::string::npos) {
        return false;
    }
    text.replace(at, on.size(), "<Qvscan:hasPointData>FALSE</Qvscan:hasPointData>");
    std::ofstream(xml) << text;
    return !ec;
}

void PrintRuns(const char* label, const std::vector<RunResult>& runs, double reference,
               double referenceCpu) {
    std::vector<double> ms, cpu, mib;
    for (const RunResult& r : runs) {
        ms.push_back(r.ms);
        cpu.push_back(r.cpuMs);
        mib.push_back(r.peakMiB);
    }
    const double median = Median(ms);
    std::printf("%-30s %8.1f ms median (%.1f .. %.1f), peak %.0f MiB\n", label, median,
                *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()),
                Median(mib));
    std::printf("  processor time (all threads)       %8.1f ms, ratio to the decode's %.2f\n",
                Median(cpu), Median(cpu) / referenceCpu);
    std::printf("  ratio to the decode                %6.2f  (target <= 3.5)\n",
                median / reference);
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    const auto dir = bench::RunFolder("first");
    sitegen::SitePlan plan;
    if (!bench::GenerateStation(dir, {512, 1024, 2048}, plan)) {
        return 1;
    }
    // A station of 16, 32 and 64 pixels: what a first view costs without
    // imagery to speak of (start-up, the first frames), and the memory of
    // the process without textures.
    sitegen::SitePlan tinyPlan;
    if (!bench::GenerateStation(dir / "tiny", {16, 32, 64}, tinyPlan)) {
        return 1;
    }
    const std::string tiny = tinyPlan.stations.at(0).description;
    const sitegen::StationFiles& st = plan.stations.at(0);
    std::vector<std::string> files;
    for (const sitegen::LevelFiles& level : st.levels) {
        files.insert(files.end(), level.image.begin(), level.image.end());
    }
    const fs::path withPoints = st.description;
    const fs::path bare = dir / "bare";
    if (!CopyWithoutPoints(withPoints.parent_path(), bare, withPoints.filename().string())) {
        std::fprintf(stderr, "cannot copy the station without its point files\n");
        return 1;
    }
    const std::string out = (dir / "view.jpg").string();
    const char* other = std::getenv("PANORA_RENDER_EXE");
    const std::string panora = other != nullptr ? other : PANORA_EXECUTABLE;

    // Runs alternate between the two stations and the reference, so that
    // whatever else the machine does falls on all three alike.
    std::vector<RunResult> pointRuns, bareRuns, tinyRuns;
    std::vector<double> decode, decodeCpu;
    RenderOnce(panora, withPoints.string(), out);  // warms the page cache
    for (int i = 0; i < runs; ++i) {
        double cpu = 0.0;
        decode.push_back(DecodeOnce(files, &cpu));
        decodeCpu.push_back(cpu);
        bareRuns.push_back(RenderOnce(panora, (bare / withPoints.filename()).string(), out));
        pointRuns.push_back(RenderOnce(panora, withPoints.string(), out));
        tinyRuns.push_back(RenderOnce(panora, tiny, out));
    }
    fs::remove_all(dir);

    const auto failed = [](const std::vector<RunResult>& v) {
        return std::any_of(v.begin(), v.end(), [](const RunResult& r) { return r.ms < 0; });
    };
    if (failed(pointRuns) || failed(bareRuns) || failed(tinyRuns) ||
        std::any_of(decode.begin(), decode.end(), [](double d) { return d < 0; })) {
        std::printf("first view: FAILED (panora render or the reference decode)\n");
        return 1;
    }
    const double reference = Median(decode);
    std::printf("median of %d runs, 1280 x 720, faces of 2048 + 1024 + 512 pixels\n", runs);
    const double referenceCpu = Median(decodeCpu);
    std::printf("reference: decode the 18 JPEG files on one core  %8.1f ms (processor %.1f ms)\n",
                reference, referenceCpu);
    PrintRuns("first view without point files", bareRuns, reference, referenceCpu);
    PrintRuns("first view with point files", pointRuns, reference, referenceCpu);
    std::vector<double> a, b;
    for (std::size_t i = 0; i < pointRuns.size(); ++i) {
        a.push_back(pointRuns[i].ms);
        b.push_back(bareRuns[i].ms);
    }
    std::printf("ratio with / without point files         %6.2f  (target <= 1.1)\n",
                Median(a) / Median(b));
    PrintRuns("first view of a 64-pixel station", tinyRuns, reference, referenceCpu);
    // Textures drawn: six faces of 2048, 1024 and 512 pixels, 4 bytes each.
    const double textureMiB = 6.0 * (2048.0 * 2048 + 1024.0 * 1024 + 512.0 * 512) * 4 / 1048576;
    std::vector<double> bareMiB, tinyMiB;
    for (std::size_t i = 0; i < bareRuns.size(); ++i) {
        bareMiB.push_back(bareRuns[i].peakMiB);
        tinyMiB.push_back(tinyRuns[i].peakMiB);
    }
    const double above = Median(bareMiB) - Median(tinyMiB);
    std::printf("peak memory above the 64-pixel station's, without points  %6.0f MiB\n", above);
    std::printf("  ratio to the %.0f MiB of textures drawn               %6.2f  (target <= 1.3)\n",
                textureMiB, above / textureMiB);
    return 0;
}
