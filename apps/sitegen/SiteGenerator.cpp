#include "sitegen/SiteGenerator.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <mutex>

#include "cubeface/CubeFaceWriter.h"
#include "platform/Image.h"
#include "platform/Thread.h"
#include "sitegen/DescriptionWriter.h"
#include "sitegen/FaceRenderer.h"
#include "sitegen/PtxWriter.h"

namespace sitegen {

namespace {

// Fixed places first; further stations come from a grid.
constexpr Vec3 kPreferredPlaces[] = {
    {4.0, 3.5, 1.6}, {8.5, 6.0, 1.4}, {2.5, 5.5, 1.8}, {10.3, 3.2, 1.5},
    {6.5, 7.6, 1.6}, {3.2, 1.6, 1.7}, {7.0, 3.4, 1.5}, {10.5, 7.8, 1.6},
};

// Each further station's coordinate system turns this much more.
constexpr double kAzimuthStep = 100.0;

std::uint32_t Mix(std::uint32_t seed, std::uint32_t k) {
    std::uint32_t h = seed ^ (k * 0x9E3779B1u);
    h = (h ^ (h >> 16)) * 0x7FEB352Du;
    h = (h ^ (h >> 15)) * 0x846CA68Bu;
    return h ^ (h >> 16);
}

bool FarFromAll(const Vec3& p, const std::vector<Vec3>& chosen, double minDistance) {
    for (const auto& q : chosen) {
        const double dx = p[0] - q[0], dy = p[1] - q[1];
        if (dx * dx + dy * dy < minDistance * minDistance) {
            return false;
        }
    }
    return true;
}

struct Job {
    int station;
    int level;
    int face;
    long long pixels;
};

}  // namespace

std::string TileName(TileKind kind, const std::string& version, int face, int size) {
    const bool v1 = version == "1.0";
    const char* format = nullptr;
    switch (kind) {
        case TileKind::Colour:
            format = v1 ? "Rgb_%d_%d.JPG" : "Img_%d_%d.JPG";
            break;
        case TileKind::Mask:
            format = v1 ? "Rgb_%d_%d.PNG" : "Img_%d_%d.PNG";
            break;
        case TileKind::Points:
            format = v1 ? "Point_%d_%d.DAT" : "Pnt_%d_%d.DAT";
            break;
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, format, face, size);
    return buf;
}

std::vector<Vec3> StationRoomPositions(int count, std::uint32_t seed) {
    std::vector<Vec3> places;
    for (const auto& p : kPreferredPlaces) {
        if (static_cast<int>(places.size()) >= count) {
            break;
        }
        places.push_back(p);
    }
    for (int j = 0; static_cast<int>(places.size()) < count && j < 6; ++j) {
        for (int i = 0; static_cast<int>(places.size()) < count && i < 7; ++i) {
            const Vec3 p = {1.25 + 1.5 * i, 1.25 + 1.5 * j, 1.3 + 0.1 * ((i + j) % 6)};
            if (SiteScene::IsFreeRoomPosition(p) && FarFromAll(p, places, 0.9)) {
                places.push_back(p);
            }
        }
    }
    // Every station but the first moves by up to 0.2 m each way, by the seed.
    for (std::size_t k = 1; k < places.size(); ++k) {
        const std::uint32_t h = Mix(seed, static_cast<std::uint32_t>(k));
        const double dx = ((h & 0xFFFF) / 65535.0 - 0.5) * 0.4;
        const double dy = ((h >> 16) / 65535.0 - 0.5) * 0.4;
        const Vec3 moved = {places[k][0] + dx, places[k][1] + dy, places[k][2]};
        if (SiteScene::IsFreeRoomPosition(moved)) {
            places[k] = moved;
        }
    }
    return places;
}

SitePlan PlanSite(const SiteOptions& options) {
    SitePlan plan;
    plan.options = options;
    const double f = options.unit.unitsPerMeter;
    const auto places = StationRoomPositions(options.stations, options.seed);
    Vec3 origin = {0.0, 0.0, 0.0};
    if (options.centre && !places.empty()) {
        origin = Sub(*options.centre, Scale(places[0], f));
    }
    plan.scene = SiteScene(origin, f, options.seed);

    std::vector<int> sizes = options.sizes;
    std::sort(sizes.begin(), sizes.end(), std::greater<int>());  // level 0 is the finest

    const std::filesystem::path root(options.outputDir);
    for (std::size_t k = 0; k < places.size(); ++k) {
        StationFiles st;
        st.pose.name = "st" + std::to_string(k + 1);
        st.pose.centre = plan.scene.RoomToSite(places[k]);
        if (k == 0 && options.centre) {
            st.pose.centre = *options.centre;  // exactly as given
        }
        double azimuth = options.azimuthDeg + kAzimuthStep * static_cast<double>(k);
        if (k > 0) {
            azimuth = std::fmod(azimuth, 360.0);
            if (azimuth < 0.0) {
                azimuth += 360.0;
            }
        }
        st.pose.azimuthDeg = azimuth;
        st.pose.upDirection = options.upDirection;
        st.uid = StationUid(options, st.pose.name);
        const auto dir = root / st.pose.name;
        st.dir = dir.string();
        st.description = (dir / (st.pose.name + ".xml")).string();
        st.versionIni = (dir / "Version.ini").string();
        for (std::size_t level = 0; level < sizes.size(); ++level) {
            LevelFiles lf;
            lf.level = static_cast<int>(level);
            lf.size = sizes[level];
            for (int face = 0; face < 6; ++face) {
                lf.image[face] =
                    (dir / TileName(TileKind::Colour, options.version, face, lf.size)).string();
                lf.mask[face] =
                    (dir / TileName(TileKind::Mask, options.version, face, lf.size)).string();
                lf.points[face] =
                    (dir / TileName(TileKind::Points, options.version, face, lf.size)).string();
            }
            st.levels.push_back(lf);
        }
        plan.stations.push_back(std::move(st));
    }
    return plan;
}

bool GenerateSite(const SiteOptions& options, SitePlan* planOut, std::string* error) {
    auto fail = [error](const std::string& text) {
        if (error != nullptr) {
            *error = text;
        }
        return false;
    };
    if (options.outputDir.empty()) {
        return fail("no output folder given");
    }
    if (options.stations < 1 || options.stations > kMaxStations) {
        return fail("the number of stations must be from 1 to " + std::to_string(kMaxStations));
    }
    if (options.sizes.empty() || static_cast<int>(options.sizes.size()) > kMaxLevels) {
        return fail("between 1 and " + std::to_string(kMaxLevels) + " face sizes are needed");
    }
    for (std::size_t i = 0; i < options.sizes.size(); ++i) {
        const int s = options.sizes[i];
        if (s < 1 || s > kMaxFaceSize) {
            return fail("face size " + std::to_string(s) + " is out of range");
        }
        if (std::count(options.sizes.begin(), options.sizes.end(), s) > 1) {
            return fail("face size " + std::to_string(s) + " is listed twice");
        }
    }
    if (options.quality < 1 || options.quality > 100) {
        return fail("the JPEG quality must be from 1 to 100");
    }
    if (!(options.unit.unitsPerMeter > 0.0)) {
        return fail("the length unit has no factor");
    }

    SitePlan plan = PlanSite(options);
    for (const auto& st : plan.stations) {
        std::error_code ec;
        std::filesystem::create_directories(st.dir, ec);
        if (ec || !std::filesystem::is_directory(st.dir)) {
            return fail("cannot create the folder '" + st.dir + "'");
        }
    }

    // One job per station, level and face; the largest first so that two
    // workers finish together.
    std::vector<Job> jobs;
    for (int s = 0; s < static_cast<int>(plan.stations.size()); ++s) {
        for (const auto& lf : plan.stations[s].levels) {
            for (int face = 0; face < 6; ++face) {
                jobs.push_back({s, lf.level, face, static_cast<long long>(lf.size) * lf.size});
            }
        }
    }
    std::stable_sort(jobs.begin(), jobs.end(),
                     [](const Job& a, const Job& b) { return a.pixels > b.pixels; });

    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    std::mutex errorMutex;
    std::string firstError;
    auto work = [&] {
        while (!failed.load()) {
            const std::size_t j = next.fetch_add(1);
            if (j >= jobs.size()) {
                return;
            }
            const Job& job = jobs[j];
            StationFiles& st = plan.stations[job.station];
            LevelFiles& lf = st.levels[job.level];
            const FaceRender r = RenderFace(plan.scene, st.pose, job.face, lf.size);
            std::string why;
            const std::string* path = &lf.image[job.face];
            bool ok = platform::EncodeJpegFile(r.image, *path, options.quality, &why);
            if (ok && r.missingPoints) {
                path = &lf.mask[job.face];
                ok = platform::EncodeMaskPngFile(r.mask, *path, &why);
                lf.masked[job.face] = ok;
            } else if (ok) {
                std::error_code ec;
                std::filesystem::remove(lf.mask[job.face], ec);  // from an earlier run
            }
            if (ok) {
                path = &lf.points[job.face];
                ok = cubeface::WriteFacePoints(*path, r.points, &why);
            }
            if (!ok) {
                std::lock_guard<std::mutex> lock(errorMutex);
                if (firstError.empty()) {
                    firstError = "cannot write '" + *path + "'" + (why.empty() ? "" : ": " + why);
                }
                failed = true;
            }
        }
    };
    platform::RunOnThreads(std::clamp(options.threads, 1, 2), work);
    if (failed) {
        return fail(firstError);
    }

    for (int s = 0; s < static_cast<int>(plan.stations.size()); ++s) {
        std::string why;
        if (!WriteStationDescription(plan, s, &why) ||
            !WriteVersionIni(plan.stations[s].versionIni, &why)) {
            return fail(why);
        }
    }
    if (!options.ptxPath.empty()) {
        std::string why;
        if (!WriteSitePtx(plan, options.ptxPath, &why)) {
            return fail(why);
        }
    }
    if (planOut != nullptr) {
        *planOut = std::move(plan);
    }
    return true;
}

}  // namespace sitegen
