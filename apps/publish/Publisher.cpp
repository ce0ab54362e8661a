#include "publish/Publisher.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include "publish/EquirectReader.h"
#include "publish/Progress.h"
#include "publish/PtxReader.h"
#include "publish/StationWriter.h"
#include "sitegen/DescriptionWriter.h"

namespace fs = std::filesystem;

namespace publish {

namespace {

// Scans tilted less than this are not reported (they are levelled all the same).
constexpr double kReportedTiltDeg = 0.01;

std::string Lower(std::string s) {
    for (char& c : s) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return s;
}

std::string SafeName(const std::string& stem) {
    std::string name;
    for (char c : stem) {
        name += std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' ? c : '_';
    }
    return name.empty() ? "station" : name;
}

void SetPaths(sitegen::StationFiles& st, const fs::path& root, const std::string& name) {
    const fs::path dir = root / name;
    st.pose.name = name;
    st.dir = dir.string();
    st.description = (dir / (name + ".xml")).string();
    st.versionIni = (dir / "Version.ini").string();
    for (auto& lf : st.levels) {
        for (int f = 0; f < 6; ++f) {
            lf.image[f] = (dir / fs::path(lf.image[f]).filename()).string();
            lf.mask[f] = (dir / fs::path(lf.mask[f]).filename()).string();
            lf.points[f] = (dir / fs::path(lf.points[f]).filename()).string();
        }
    }
}

class SiteBuilder {
  public:
    SiteBuilder(const PublishOptions& options, fs::path temp, bool progressBar)
        : options_(options), temp_(std::move(temp)), progress_(progressBar) {
        threads_ = options.threads > 0
                       ? options.threads
                       : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    }

    bool AddPtx(const std::string& path, std::string* error) {
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            *error = path + ": cannot open the file";
            return false;
        }
        std::error_code ec;
        const auto size = fs::is_regular_file(path, ec) ? fs::file_size(path, ec) : 0;
        PtxReader reader(in, path);
        PtxScanHeader header;
        const std::string stem = SafeName(fs::path(path).stem().string());
        int scans = 0;
        std::size_t first = stations_.size();
        while (reader.NextScan(header)) {
            ++scans;
            if (scans == 2) {
                // A file of several scans numbers them all.
                Rename(stations_[first], stem + "-1");
            }
            const std::string name = Unique(scans == 1 ? stem : stem + "-" + std::to_string(scans));
            sitegen::StationFiles st;
            const ScanPose pose = PoseFromMatrix(header.matrix);
            st.pose.centre = pose.centre;
            st.pose.azimuthDeg = pose.azimuthDeg;
            st.pose.upDirection = 0;
            st.uid = sitegen::UidFromKey("publish|" + fs::absolute(path).string() + "|" +
                                         std::to_string(scans) + "|" + name);
            SetPaths(st, temp_, name);
            if (pose.tiltDeg > kReportedTiltDeg) {
                char text[160];
                std::snprintf(text, sizeof text,
                              ":%lld: the scan is tilted by %.3f degrees; it is levelled",
                              header.line, pose.tiltDeg);
                notes_.push_back(path + text);
            }
            std::error_code mk;
            fs::create_directories(st.dir, mk);
            if (mk) {
                *error = "cannot create the folder '" + st.dir + "'";
                return false;
            }
            LevelJob job{st.dir, options_.quality, threads_, true};
            const int written = static_cast<int>(stations_.size());
            const std::string label =
                fs::path(path).filename().string() + " scan " + std::to_string(scans);
            auto progress = [&](const PtxReader& r, long long points) {
                progress_.Update(label, r.BytesRead(), size, written, points);
            };
            if (!WriteScanStation(reader, header, pose, options_.sizes, job, st, progress, error)) {
                return false;
            }
            stations_.push_back(std::move(st));
            progress_.Update(label, reader.BytesRead(), size, written + 1, 0);
        }
        progress_.Finish();
        if (!reader.Error().empty()) {
            *error = reader.Error();
            return false;
        }
        if (scans == 0) {
            *error = path + ":1: no scan in the file";
            return false;
        }
        return true;
    }

    bool AddPhoto(const std::string& path, std::string* error) {
        platform::RgbImage photo;
        if (!ReadEquirect(path, photo, error)) {
            return false;
        }
        sitegen::StationFiles st;
        const std::string name = Unique(SafeName(fs::path(path).stem().string()));
        st.uid = sitegen::UidFromKey("publish|" + fs::absolute(path).string() + "|" + name);
        SetPaths(st, temp_, name);
        std::error_code mk;
        fs::create_directories(st.dir, mk);
        if (mk) {
            *error = "cannot create the folder '" + st.dir + "'";
            return false;
        }
        LevelJob job{st.dir, options_.quality, threads_, false};
        if (!WritePhotoStation(photo, options_.sizes, job, st, error)) {
            return false;
        }
        stations_.push_back(std::move(st));
        return true;
    }

    // Descriptions (each station lists all others as neighbours) and Version.ini.
    bool Finish(std::string* error) {
        sitegen::SitePlan plan;
        plan.options.outputDir = temp_.string();
        plan.options.unit = options_.unit;
        plan.options.format = options_.format;
        plan.options.quality = options_.quality;
        plan.options.version = "2.0";
        plan.stations = stations_;
        for (int s = 0; s < static_cast<int>(plan.stations.size()); ++s) {
            if (!sitegen::WriteStationDescription(plan, s, error) ||
                !sitegen::WriteVersionIni(plan.stations[s].versionIni, error)) {
                return false;
            }
        }
        return true;
    }

    std::vector<sitegen::StationFiles>& Stations() { return stations_; }
    std::vector<std::string>& Notes() { return notes_; }

  private:
    std::string Unique(const std::string& name) {
        std::string n = name;
        for (int k = 2; used_.count(Lower(n)) != 0; ++k) {
            n = name + "-" + std::to_string(k);
        }
        used_.insert(Lower(n));
        return n;
    }

    void Rename(sitegen::StationFiles& st, const std::string& wanted) {
        used_.erase(Lower(st.pose.name));
        const std::string name = Unique(wanted);
        std::error_code ec;
        fs::rename(st.dir, temp_ / name, ec);
        SetPaths(st, temp_, name);
    }

    const PublishOptions& options_;
    fs::path temp_;
    Progress progress_;
    int threads_ = 1;
    std::vector<sitegen::StationFiles> stations_;
    std::vector<std::string> notes_;
    std::set<std::string> used_;
};

}  // namespace

bool Publish(const PublishOptions& options, PublishResult& result, std::string* error,
             bool progressBar) {
    fs::path site = fs::path(options.siteDir);
    if (!site.has_filename()) {
        site = site.parent_path();  // "out/site/"
    }
    const fs::path parent = site.has_parent_path() ? site.parent_path() : fs::path(".");
    std::error_code ec;
    if (!fs::is_directory(parent, ec)) {
        *error = "the folder '" + parent.string() + "' does not exist";
        return false;
    }
    if (fs::exists(site, ec) && !fs::is_directory(site, ec)) {
        *error = "'" + site.string() + "' exists and is not a folder";
        return false;
    }
    const std::string tag = "." + site.filename().string() + ".publish-" + std::to_string(getpid());
    const fs::path temp = parent / tag;
    fs::remove_all(temp, ec);
    fs::create_directory(temp, ec);
    if (ec) {
        *error = "cannot create the folder '" + temp.string() + "'";
        return false;
    }
    bool ok = true;
    {
        SiteBuilder builder(options, temp, progressBar);
        for (const auto& input : options.inputs) {
            const std::string ext = Lower(fs::path(input).extension().string());
            if (ext == ".ptx") {
                ok = builder.AddPtx(input, error);
            } else if (ext == ".jpg" || ext == ".jpeg" || ext == ".png") {
                ok = builder.AddPhoto(input, error);
            } else {
                *error = input + ": not a PTX scan (.ptx) nor a photo (.jpg, .jpeg, .png)";
                ok = false;
            }
            if (!ok) {
                break;
            }
        }
        ok = ok && builder.Finish(error);
        if (ok) {
            result.stations = builder.Stations();
            result.notes = builder.Notes();
        }
    }
    if (ok) {
        // Swap the new site in; an older one is removed only once the new one is in place.
        const fs::path old = parent / (tag + ".old");
        const bool hadOld = fs::exists(site, ec);
        if (hadOld) {
            fs::rename(site, old, ec);
        }
        if (!ec) {
            fs::rename(temp, site, ec);
        }
        if (ec) {
            *error =
                "cannot rename '" + temp.string() + "' to '" + site.string() + "': " + ec.message();
            if (hadOld) {
                fs::rename(old, site, ec);
            }
            ok = false;
        } else if (hadOld) {
            fs::remove_all(old, ec);
        }
    }
    if (!ok) {
        fs::remove_all(temp, ec);
        return false;
    }
    for (auto& st : result.stations) {
        SetPaths(st, site, st.pose.name);
    }
    return true;
}

}  // namespace publish
