#include "publish/StationWriter.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <deque>
#include <filesystem>
#include <future>
#include <mutex>

#include "cubeface/CubeFaceWriter.h"
#include "platform/Thread.h"
#include "publish/EquirectReader.h"
#include "sitegen/SiteMath.h"

namespace publish {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kCoarsest = 256;
// Points buffered to measure the scan's angular step before the faces are sized.
constexpr long long kProbePoints = 200000;
// Point lines parsed together by one thread.
constexpr long long kBlockPoints = 32768;

// A point landing nowhere (at the scanner's centre).
constexpr std::uint8_t kSkipped = 254;

// Puts the points of a scan, in file order, into the sampler; the grid
// points without a return give their colour (a scanner may colour them)
// along the grid's direction: the elevation of the row's last measured
// point and the heading of the last measured point, which is this column's
// once it has one and the previous column's before.
class NoReturnColours {
  public:
    explicit NoReturnColours(long long rows)
        : rows_(rows), row_(static_cast<std::size_t>(rows), {0.0f, 0.0f, 0.0f}) {}

    void Take(const Landing& l, CubeSampler& sampler) {
        const auto r = static_cast<std::size_t>(rowIndex_);
        if (++rowIndex_ == rows_) {
            rowIndex_ = 0;
        }
        if (l.face < 6) {
            row_[r] = {l.view[0], l.view[1], l.view[2]};
            column_ = row_[r];
            sampler.Put(l);
            return;
        }
        if (l.face != kNoReturn) {
            return;
        }
        const auto& a = row_[r];
        const double heading = std::hypot(column_[0], column_[2]);
        const double flat = std::hypot(a[0], a[2]);
        if (heading == 0.0 || (flat == 0.0 && a[1] == 0.0f)) {
            return;  // no measured point to take the direction from yet
        }
        const double el = std::atan2(a[1], flat);
        sampler.PutColour({std::cos(el) * column_[0] / heading, std::sin(el),
                           std::cos(el) * column_[2] / heading},
                          l.rgb);
    }

  private:
    long long rows_;
    long long rowIndex_ = 0;                 // the row of the next point
    std::vector<std::array<float, 3>> row_;  // view frame
    std::array<float, 3> column_{};
};

double Angle(const Vec3& a, const Vec3& b) {
    const double la = std::sqrt(sitegen::Dot(a, a)), lb = std::sqrt(sitegen::Dot(b, b));
    const double c = std::clamp(sitegen::Dot(a, b) / (la * lb), -1.0, 1.0);
    return std::acos(c);
}

}  // namespace

ScanPose PoseFromMatrix(const std::array<std::array<double, 4>, 4>& m) {
    ScanPose pose;
    // site = A p + t, with A[j][i] = m[i][j] (the rows of m are the images of
    // the scanner's axes) and t the last row.
    double a[3][3];
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            a[j][i] = m[i][j];
        }
        pose.centre[i] = m[3][i];
    }
    // A = Rz(-azimuth) * tilt: the scanner's x axis turns to (cos, -sin) and its
    // y axis to (sin, cos) on the horizontal, whatever the tilt's small share.
    double az = std::atan2(a[0][1] - a[1][0], a[0][0] + a[1][1]) * 180.0 / kPi;
    if (az < 0.0) {
        az += 360.0;
    }
    // Rounded to a millionth of a degree, so that a registration written with
    // a few decimals gives back its round azimuth; the levelling below uses
    // the rounded value, so the points keep their site positions exactly.
    az = std::round(az * 1e6) / 1e6;
    if (az >= 360.0) {
        az -= 360.0;
    }
    pose.azimuthDeg = az;
    pose.tiltDeg = std::acos(std::clamp(a[2][2], -1.0, 1.0)) * 180.0 / kPi;
    const double r = az * kPi / 180.0, c = std::cos(r), s = std::sin(r);
    for (int j = 0; j < 3; ++j) {
        pose.level[0][j] = c * a[0][j] - s * a[1][j];
        pose.level[1][j] = s * a[0][j] + c * a[1][j];
        pose.level[2][j] = a[2][j];
    }
    return pose;
}

std::vector<int> LevelSizes(const std::vector<int>& given, double stepRadians) {
    if (!given.empty()) {
        return given;
    }
    // A face pixel spans 2/N radians at the face's centre and about 0.94/N at
    // its corners; 1.3/step puts the scan's step between the two.
    int finest = static_cast<int>(std::floor(1.3 / stepRadians));
    finest = std::clamp(finest, 16, sitegen::kMaxFaceSize);
    std::vector<int> sizes = {finest};
    while (sizes.back() / 2 >= kCoarsest && static_cast<int>(sizes.size()) < sitegen::kMaxLevels) {
        sizes.push_back(sizes.back() / 2);
    }
    return sizes;
}

bool WriteLevel(const SampledCube& cube, const LevelJob& job, sitegen::LevelFiles& lf,
                std::string* error) {
    const std::filesystem::path dir(job.dir);
    lf.size = cube.size;
    for (int f = 0; f < 6; ++f) {
        lf.image[f] =
            (dir / sitegen::TileName(sitegen::TileKind::Colour, "2.0", f, cube.size)).string();
        lf.mask[f] =
            (dir / sitegen::TileName(sitegen::TileKind::Mask, "2.0", f, cube.size)).string();
        lf.points[f] =
            (dir / sitegen::TileName(sitegen::TileKind::Points, "2.0", f, cube.size)).string();
        lf.masked[f] = false;
    }
    std::atomic<int> next{0};
    std::atomic<bool> failed{false};
    std::mutex mutex;
    double maxError = 0.0;
    std::string firstError;
    auto work = [&] {
        while (!failed) {
            const int f = next.fetch_add(1);
            if (f >= 6) {
                return;
            }
            const FaceOutput out = MakeFaceOutput(cube, f, job.withPoints);
            std::string why;
            const std::string* path = &lf.image[f];
            bool ok = platform::EncodeJpegFile(out.image, *path, job.quality, &why);
            double faceError = 0.0;
            if (ok && job.withPoints) {
                if (out.missingPoints) {
                    path = &lf.mask[f];
                    ok = platform::EncodeMaskPngFile(out.mask, *path, &why);
                }
                if (ok) {
                    path = &lf.points[f];
                    ok = cubeface::WriteFacePoints(*path, out.points, &why);
                }
                // The point file rounds the range to half its quantum.
                double farthest = 0.0;
                for (std::size_t i = 0; i < out.points.has.size(); ++i) {
                    if (out.points.has[i] != 0) {
                        farthest = std::max(farthest, static_cast<double>(cube.faces[f].range[i]));
                    }
                }
                faceError = out.maxRayDistance + farthest / 1048574.0 / 2.0;
            }
            std::lock_guard<std::mutex> lock(mutex);
            lf.masked[f] = ok && job.withPoints && out.missingPoints;
            maxError = std::max(maxError, faceError);
            if (!ok && firstError.empty()) {
                firstError = "cannot write '" + *path + "'" + (why.empty() ? "" : ": " + why);
                failed = true;
            }
        }
    };
    platform::RunOnThreads(std::clamp(job.threads, 1, 6), work);
    if (failed) {
        *error = firstError;
        return false;
    }
    lf.maxPointError = job.withPoints ? maxError : -1.0;
    return true;
}

namespace {

bool WriteLevels(SampledCube cube, const std::vector<int>& sizes, const LevelJob& job,
                 sitegen::StationFiles& station, std::string* error) {
    station.levels.clear();
    for (std::size_t level = 0; level < sizes.size(); ++level) {
        if (level > 0) {
            cube = Downsample(cube, sizes[level], job.threads);
        }
        sitegen::LevelFiles lf;
        lf.level = static_cast<int>(level);
        if (!WriteLevel(cube, job, lf, error)) {
            return false;
        }
        station.levels.push_back(lf);
    }
    return true;
}

}  // namespace

bool WriteScanStation(PtxReader& reader, const PtxScanHeader& header, const ScanPose& pose,
                      const std::vector<int>& givenSizes, const LevelJob& job,
                      sitegen::StationFiles& station, const ScanProgress& progress,
                      std::string* error) {
    // Buffer the first points and measure the angle between neighbouring
    // rows of a column.
    std::vector<PtxPoint> probe;
    std::vector<double> steps;
    PtxPoint p;
    const long long total = header.columns * header.rows;
    while (static_cast<long long>(probe.size()) < std::min(total, kProbePoints)) {
        if (!reader.NextPoint(p)) {
            *error = reader.Error();
            return false;
        }
        const long long k = static_cast<long long>(probe.size());
        if (k % header.rows != 0 && p.measured && probe.back().measured) {
            const PtxPoint& q = probe.back();
            steps.push_back(Angle({p.x, p.y, p.z}, {q.x, q.y, q.z}));
        }
        probe.push_back(p);
    }
    double step = kPi / static_cast<double>(header.rows);
    if (steps.size() >= 8) {
        std::nth_element(steps.begin(), steps.begin() + steps.size() / 2, steps.end());
        step = std::max(steps[steps.size() / 2], 1e-6);
    }
    const std::vector<int> sizes = LevelSizes(givenSizes, step);

    CubeSampler sampler(sizes[0], step);
    // Where a point lands (any thread).
    auto land = [&pose, &sampler](const PtxPoint& q, Landing& l) {
        if (!q.measured) {
            l.face = kNoReturn;
            const auto grey =
                static_cast<std::uint8_t>(std::lround(std::clamp(q.intensity, 0.0, 1.0) * 255.0));
            l.rgb[0] = q.hasColour ? q.r : grey;
            l.rgb[1] = q.hasColour ? q.g : grey;
            l.rgb[2] = q.hasColour ? q.b : grey;
            return true;
        }
        const Vec3 v = {pose.level[0][0] * q.x + pose.level[0][1] * q.y + pose.level[0][2] * q.z,
                        pose.level[1][0] * q.x + pose.level[1][1] * q.y + pose.level[1][2] * q.z,
                        pose.level[2][0] * q.x + pose.level[2][1] * q.y + pose.level[2][2] * q.z};
        if (q.hasColour) {
            return sampler.Land(v, q.r, q.g, q.b, l);
        }
        const auto grey =
            static_cast<std::uint8_t>(std::lround(std::clamp(q.intensity, 0.0, 1.0) * 255.0));
        return sampler.Land(v, grey, grey, grey, l);
    };
    NoReturnColours noReturn(header.rows);
    auto add = [&](const PtxPoint& q) {
        Landing l;
        if (!land(q, l)) {
            l.face = kSkipped;
        }
        noReturn.Take(l, sampler);
    };
    long long read = 0;
    for (const auto& q : probe) {
        add(q);
        ++read;
    }
    std::vector<PtxPoint>().swap(probe);

    // The rest in blocks: this thread reads them and resamples their points
    // in order while other threads parse the blocks ahead.
    struct Parsed {
        std::vector<Landing> landings;
        std::vector<PtxPoint> points;
        PtxPointBlock block;
        int fields = 0;
        bool ok = false;
        std::string error;
    };
    const std::size_t depth = static_cast<std::size_t>(std::max(2, 2 * job.threads));
    const std::string name = reader.Name();
    std::deque<std::future<Parsed>> pending;
    bool readFailed = false;
    // Blocks handed back once resampled: their buffers serve the next ones.
    std::vector<Parsed> spare;
    auto drain = [&] {
        while (!pending.empty()) {
            pending.front().wait();
            pending.pop_front();
        }
    };
    while (true) {
        while (!readFailed && pending.size() < depth && reader.PointsLeft() > 0) {
            Parsed job0;
            if (!spare.empty()) {
                job0 = std::move(spare.back());
                spare.pop_back();
            }
            if (!reader.ReadPointBlock(kBlockPoints, job0.block)) {
                readFailed = true;
                break;
            }
            pending.push_back(
                std::async(std::launch::async, [&name, &land, j = std::move(job0)]() mutable {
                    j.ok = ParsePointBlock(j.block, name, j.points, j.fields, &j.error);
                    j.landings.resize(j.ok ? j.points.size() : 0);
                    for (std::size_t k = 0; k < j.landings.size(); ++k) {
                        Landing& l = j.landings[k];
                        if (!land(j.points[k], l)) {
                            l.face = kSkipped;
                        }
                    }
                    return std::move(j);
                }));
        }
        if (pending.empty()) {
            break;
        }
        Parsed parsed = pending.front().get();
        pending.pop_front();
        // The earliest error first: the block's first line against the scan's
        // first point, then the block's own.
        if (parsed.fields != 0 && !reader.CheckFields(parsed.block, parsed.fields)) {
            *error = reader.Error();
            drain();
            return false;
        }
        if (!parsed.ok) {
            *error = parsed.error;
            drain();
            return false;
        }
        for (const auto& l : parsed.landings) {
            noReturn.Take(l, sampler);
        }
        read += parsed.block.count;
        if (progress) {
            progress(reader, read);
        }
        spare.push_back(std::move(parsed));
    }
    if (readFailed) {
        *error = reader.Error();
        return false;
    }
    return WriteLevels(sampler.Finish(job.threads), sizes, job, station, error);
}

bool WritePhotoStation(const platform::RgbImage& photo, const std::vector<int>& givenSizes,
                       const LevelJob& job, sitegen::StationFiles& station, std::string* error) {
    std::vector<int> sizes = givenSizes;
    if (sizes.empty()) {
        // A face of width / 4 pixels keeps the photo's resolution on average.
        sizes = {std::clamp(photo.width / 4, 16, sitegen::kMaxFaceSize)};
        while (sizes.back() / 2 >= kCoarsest) {
            sizes.push_back(sizes.back() / 2);
        }
    }
    station.hasPointData = false;
    station.levels.clear();
    // Each level straight from the photo, filtered to its own size.
    for (std::size_t level = 0; level < sizes.size(); ++level) {
        sitegen::LevelFiles lf;
        lf.level = static_cast<int>(level);
        if (!WriteLevel(ResampleEquirect(photo, sizes[level]), job, lf, error)) {
            return false;
        }
        station.levels.push_back(lf);
    }
    return true;
}

}  // namespace publish
