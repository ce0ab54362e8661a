#include "sitegen/PtxWriter.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>

namespace sitegen {

namespace {

void Put(std::string& line, double v, int decimals) {
    char buf[48];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    line.append(buf, r.ptr);
    line.push_back(' ');
}

void PutRow(std::string& out, const Vec3& v, double w, bool withW) {
    Put(out, v[0], 9);
    Put(out, v[1], 9);
    Put(out, v[2], 9);
    if (withW) {
        Put(out, w, 9);
    }
    out.back() = '\n';
}

}  // namespace

bool WriteSitePtx(const SitePlan& plan, const std::string& path, std::string* error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const SiteOptions& o = plan.options;
    const double pi = 3.14159265358979323846;
    std::string text;
    for (const auto& st : plan.stations) {
        // Registration: a scanner point p is the site point (p 1) M, so the
        // rows of M are the images of the scanner's axes and its centre.
        const Vec3 ex = RotateZ({1, 0, 0}, -st.pose.azimuthDeg);
        const Vec3 ey = RotateZ({0, 1, 0}, -st.pose.azimuthDeg);
        const Vec3 ez = {0, 0, 1};
        text = std::to_string(o.ptxColumns) + "\n" + std::to_string(o.ptxRows) + "\n";
        PutRow(text, st.pose.centre, 0, false);
        PutRow(text, ex, 0, false);
        PutRow(text, ey, 0, false);
        PutRow(text, ez, 0, false);
        PutRow(text, ex, 0, true);
        PutRow(text, ey, 0, true);
        PutRow(text, ez, 0, true);
        PutRow(text, st.pose.centre, 1, true);
        out << text;
        for (int c = 0; c < o.ptxColumns; ++c) {
            text.clear();
            const double az = 2.0 * pi * (c + 0.5) / o.ptxColumns;
            for (int r = 0; r < o.ptxRows; ++r) {
                const double el = -pi / 2 + pi * (r + 0.5) / o.ptxRows;
                const Vec3 scanDir = {std::cos(el) * std::cos(az), std::cos(el) * std::sin(az),
                                      std::sin(el)};
                const Vec3 siteDir = st.pose.ScanToSite(scanDir);
                const SceneHit hit = plan.scene.Trace(st.pose.centre, Sub(siteDir, st.pose.centre));
                const Vec3 p = hit.hasPoint ? st.pose.SiteToScan(hit.point) : Vec3{0, 0, 0};
                Put(text, p[0], 6);
                Put(text, p[1], 6);
                Put(text, p[2], 6);
                const double grey =
                    (0.299 * hit.colour.r + 0.587 * hit.colour.g + 0.114 * hit.colour.b) / 255.0;
                Put(text, hit.hasPoint ? grey : 0.0, 4);
                if (!o.ptxIntensityOnly) {
                    char buf[32];
                    std::snprintf(buf, sizeof buf, "%d %d %d ", hit.colour.r, hit.colour.g,
                                  hit.colour.b);
                    text += buf;
                }
                text.back() = '\n';
            }
            out << text;
        }
    }
    out.close();
    if (!out) {
        if (error != nullptr) {
            *error = "cannot write '" + path + "'";
        }
        return false;
    }
    return true;
}

}  // namespace sitegen
