#pragma once
// A generated site for one test, and the geometry that aims the camera at
// its targets.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <numbers>
#include <vector>

#include "sitegen/SiteGenerator.h"
#include "sitegen/SiteMath.h"

namespace testsupport {

// `stations` stations with the given face sizes below `dir`, the other options
// as `adjust` sets them; a site that cannot be made is a test failure.
inline sitegen::SitePlan MakeSite(const std::filesystem::path& dir, int stations,
                                  std::vector<int> sizes,
                                  const std::function<void(sitegen::SiteOptions&)>& adjust = {}) {
    sitegen::SiteOptions o;
    o.outputDir = dir.string();
    o.stations = stations;
    o.sizes = std::move(sizes);
    if (adjust) {
        adjust(o);
    }
    sitegen::SitePlan plan;
    std::string error;
    EXPECT_TRUE(sitegen::GenerateSite(o, &plan, &error)) << error;
    return plan;
}

// The centres of the targets a station sees unobstructed, in the scene's order.
inline std::vector<sitegen::Vec3> SeenTargets(const sitegen::SitePlan& plan,
                                              const sitegen::StationPose& pose) {
    std::vector<sitegen::Vec3> seen;
    for (const auto& target : plan.scene.Targets()) {
        const auto hit = plan.scene.Trace(pose.centre, sitegen::Sub(target.centre, pose.centre));
        if (hit.surface == sitegen::Surface::Target) {
            seen.push_back(target.centre);
        }
    }
    return seen;
}

// The camera's altitude and azimuth (degrees) that look at a site point from
// the station, and the point's distance.
struct Aim {
    double altitude = 0.0;
    double azimuth = 0.0;
    double distance = 0.0;
};
inline Aim AimAt(const sitegen::StationPose& pose, const sitegen::Vec3& site) {
    const sitegen::Vec3 v = pose.SiteToViewDirection(sitegen::Sub(site, pose.centre));
    const double r = std::sqrt(sitegen::Dot(v, v));
    const double deg = 180.0 / std::numbers::pi;
    return {std::asin(v[1] / r) * deg, std::atan2(v[2] / r, v[0] / r) * deg + 90.0, r};
}

}  // namespace testsupport
