#include "sitegen/DescriptionWriter.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <pugixml.hpp>

#include "BuildVersion.h"

namespace sitegen {

namespace {

constexpr const char* kQvscanUri = "urn:panora:cubemap";
constexpr const char* kSxUri = "urn:panora:markup";

void Text(pugi::xml_node parent, const char* name, const std::string& text) {
    parent.append_child(name).text().set(text.c_str());
}

std::uint64_t Fnv1a(const std::string& text, std::uint64_t h) {
    for (unsigned char c : text) {
        h ^= c;
        h *= 0x100000001B3ull;
    }
    return h;
}

bool Save(const pugi::xml_document& doc, const std::string& path, std::string* error) {
    if (!doc.save_file(path.c_str(), "  ", pugi::format_default, pugi::encoding_utf8)) {
        if (error != nullptr) {
            *error = "cannot write '" + path + "'";
        }
        return false;
    }
    return true;
}

void WriteMetadata(pugi::xml_document& doc, const SitePlan& plan, int index) {
    const SiteOptions& o = plan.options;
    const StationFiles& st = plan.stations[index];
    auto root = doc.append_child("Qvscan:CubeMap");
    root.append_attribute("xmlns:Qvscan") = kQvscanUri;
    Text(root, "Qvscan:Uid", st.uid);

    Text(root.append_child("Qvscan:ScanMeta"), "Qvscan:scanName", st.pose.name);

    auto cs = root.append_child("Qvscan:CoordinateSystem");
    Text(cs, "Qvscan:UpDirection", std::to_string(st.pose.upDirection));
    Text(cs, "Qvscan:azimuth", FormatDouble(st.pose.azimuthDeg));
    Text(cs, "Qvscan:angularUnit", "degrees");
    Text(cs, "Qvscan:centerPointX", FormatDouble(st.pose.centre[0]));
    Text(cs, "Qvscan:centerPointY", FormatDouble(st.pose.centre[1]));
    Text(cs, "Qvscan:centerPointZ", FormatDouble(st.pose.centre[2]));
    Text(cs, "Qvscan:coordSysType", "NEEI");

    auto vd = root.append_child("Qvscan:ViewDefaults");
    Text(vd, "Qvscan:fieldOfView", "80");
    Text(vd, "Qvscan:azimuth", "0");
    Text(vd, "Qvscan:elevation", "0");
    Text(vd, "Qvscan:distanceUnit", o.unit.name);
    Text(vd, "Qvscan:angularUnit", "degrees");

    auto pm = root.append_child("Qvscan:PanoramaMeta");
    Text(pm, "Qvscan:version", o.version);
    Text(pm, "Qvscan:distanceUnit", o.unit.name);
    Text(pm, "Qvscan:angularUnit", "degrees");
    Text(pm, "Qvscan:hasPointData", st.hasPointData ? "TRUE" : "FALSE");
    // The coarsest level first, the finest (level 0) last.
    auto lods = pm.append_child(o.version == "1.0" ? "Qvscan:lods" : "Qvscan:lods2");
    for (int level = static_cast<int>(st.levels.size()) - 1; level >= 0; --level) {
        auto lod = lods.append_child("Qvscan:lod");
        Text(lod, "Qvscan:size", std::to_string(st.levels[level].size));
        const double error = st.levels[level].maxPointError >= 0.0
                                 ? st.levels[level].maxPointError
                                 : kMaxPointErrorMeters * st.levels[0].size / st.levels[level].size;
        Text(lod, "Qvscan:maxPointError", FormatDouble(error));
    }

    Text(root, "Qvscan:MaxVisibleNeighbors", "6");
    Text(root, "Qvscan:ShowNeighborLabels", "YES");
    Text(root, "Qvscan:StationIconRadius", "24");

    auto neighbours = root.append_child("Qvscan:Neighbors");
    for (int k = 0; k < static_cast<int>(plan.stations.size()); ++k) {
        if (k == index) {
            continue;
        }
        const StationFiles& other = plan.stations[k];
        // Rounded to 1e-9 units so that rounding noise does not show.
        Vec3 offset = st.pose.SiteToNeighborOffset(other.pose.centre);
        for (double& v : offset) {
            v = std::round(v * 1e9) / 1e9;
        }
        auto n = neighbours.append_child("Qvscan:Neighbor");
        n.append_attribute("Name") = other.pose.name.c_str();
        n.append_attribute("URL") =
            ("../" + other.pose.name + "/" + other.pose.name + ".xml").c_str();
        n.append_attribute("X") = FormatDouble(offset[0]).c_str();
        n.append_attribute("Y") = FormatDouble(offset[1]).c_str();
        n.append_attribute("Z") = FormatDouble(offset[2]).c_str();
    }
}

void WriteDataset(pugi::xml_document& doc, const SitePlan& plan, int index) {
    const SiteOptions& o = plan.options;
    const StationFiles& st = plan.stations[index];
    auto root = doc.append_child("sx:Dataset");
    root.append_attribute("xmlns:sx") = kSxUri;
    root.append_attribute("version") = o.version.c_str();
    root.append_attribute("name") = st.pose.name.c_str();
    auto camera = root.append_child("sx:Camera");
    camera.append_attribute("fieldOfView") = "80";

    static const char* const kFaceTags[6] = {"sx:Left", "sx:Front", "sx:Right",
                                             "sx:Back", "sx:Top",   "sx:Bottom"};
    static const char* const kDepthTags[6] = {"sx:DepthLeft", "sx:DepthFront", "sx:DepthRight",
                                              "sx:DepthBack", "sx:DepthTop",   "sx:DepthBottom"};
    static const int kFaceOrder[6] = {1, 3, 0, 2, 4, 5};  // front, back, left, right, top, bottom

    // A fresh reader looks for sx:Cubemaps (version "1.0"); one that read a
    // later version before looks for sx:Cubemaps2. Later versions carry both.
    std::vector<const char*> lists;
    if (o.version != "1.0") {
        lists.push_back("sx:Cubemaps2");
    }
    lists.push_back("sx:Cubemaps");
    for (const char* listName : lists) {
        auto cubes = root.append_child(listName);
        for (int level = static_cast<int>(st.levels.size()) - 1; level >= 0; --level) {
            const LevelFiles& lf = st.levels[level];
            auto cube = cubes.append_child("sx:Cube");
            cube.append_attribute("level") = level;
            cube.append_attribute("resolution") = lf.size;
            for (int face : kFaceOrder) {
                auto img = cube.append_child(kFaceTags[face]);
                img.append_attribute("border") = 0;
                img.text().set(TileName(TileKind::Colour, o.version, face, lf.size).c_str());
                if (st.hasPointData) {
                    cube.append_child(kDepthTags[face])
                        .text()
                        .set(TileName(TileKind::Points, o.version, face, lf.size).c_str());
                }
            }
        }
    }
}

}  // namespace

std::string FormatDouble(double value) {
    if (value == 0.0) {
        return "0";  // also for -0
    }
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, res.ptr);
}

std::string StationUid(const SiteOptions& options, const std::string& stationName) {
    return UidFromKey(stationName + "|" + CanonicalOptionText(options));
}

std::string UidFromKey(const std::string& key) {
    const std::uint64_t a = Fnv1a(key, 0xCBF29CE484222325ull);
    const std::uint64_t b = Fnv1a(key, a ^ 0x9E3779B97F4A7C15ull);
    char buf[64];
    std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%04X-%012llX}", static_cast<unsigned>(a >> 32),
                  static_cast<unsigned>((a >> 16) & 0xFFFF), static_cast<unsigned>(a & 0xFFFF),
                  static_cast<unsigned>(b >> 48),
                  static_cast<unsigned long long>(b & 0xFFFFFFFFFFFFull));
    return buf;
}

bool WriteStationDescription(const SitePlan& plan, int station, std::string* error) {
    pugi::xml_document doc;
    auto decl = doc.append_child(pugi::node_declaration);
    decl.append_attribute("version") = "1.0";
    decl.append_attribute("encoding") = "UTF-8";
    if (plan.options.format == DescriptionFormat::Metadata) {
        WriteMetadata(doc, plan, station);
    } else {
        WriteDataset(doc, plan, station);
    }
    return Save(doc, plan.stations[station].description, error);
}

bool WriteVersionIni(const std::string& path, std::string* error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "[Panora Information]\n"
        << "Build=" << PANORA_VERSION_TEXT << "\n";
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
