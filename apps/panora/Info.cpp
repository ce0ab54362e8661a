// `panora info FILE`: prints what a station description file holds, read
// directly with pugixml: the format, version, coordinate system, view
// defaults, levels and neighbours of a cube-map metadata file, or the cubes
// and their files of a data set file.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <pugixml.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "panora/Commands.h"
#include "sitegen/DescriptionWriter.h"

namespace {

using sitegen::FormatDouble;

std::string ChildText(pugi::xml_node parent, const char* name, const char* fallback = "-") {
    const auto child = parent.child(name);
    return child ? std::string(child.text().get()) : std::string(fallback);
}

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

std::string Trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) {
        return {};
    }
    const auto e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

// "Build" of section "Panora Information" in the Version.ini beside the file.
std::string ReadBuild(const std::filesystem::path& descriptionPath) {
    std::ifstream in(descriptionPath.parent_path() / "Version.ini");
    if (!in) {
        return "none (no Version.ini; 1.0.48.0 assumed)";
    }
    std::string line;
    bool inSection = false;
    while (std::getline(in, line)) {
        line = Trim(line);
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            inSection = Lower(Trim(line.substr(1, line.size() - 2))) == "panora information";
        } else if (inSection) {
            const auto eq = line.find('=');
            if (eq != std::string::npos && Lower(Trim(line.substr(0, eq))) == "build") {
                return Trim(line.substr(eq + 1));
            }
        }
    }
    return "none in Version.ini (1.0.48.0 assumed)";
}

void PrintMetadata(pugi::xml_node root, const std::filesystem::path& path) {
    const auto meta = root.child("Qvscan:PanoramaMeta");
    const std::string version = ChildText(meta, "Qvscan:version", "1.0");
    std::printf("format: cube-map metadata (Qvscan:CubeMap)\n");
    std::printf("data set version: %s\n", version.c_str());
    std::printf("build (Version.ini): %s\n", ReadBuild(path).c_str());
    std::printf("unique id: %s\n", ChildText(root, "Qvscan:Uid").c_str());
    std::printf("scan name: %s\n",
                ChildText(root.child("Qvscan:ScanMeta"), "Qvscan:scanName").c_str());

    const auto views = root.child("Qvscan:ViewDefaults");
    const std::string angular = ChildText(views, "Qvscan:angularUnit", "degrees");
    const auto cs = root.child("Qvscan:CoordinateSystem");
    std::printf("coordinate system: up direction %s, azimuth %s %s, centre %s %s %s, type %s\n",
                ChildText(cs, "Qvscan:UpDirection", "0").c_str(),
                ChildText(cs, "Qvscan:azimuth", "0").c_str(),
                angular == "radians" ? "radians" : "degrees",
                ChildText(cs, "Qvscan:centerPointX", "0").c_str(),
                ChildText(cs, "Qvscan:centerPointY", "0").c_str(),
                ChildText(cs, "Qvscan:centerPointZ", "0").c_str(),
                ChildText(cs, "Qvscan:coordSysType").c_str());
    std::printf("internal unit: %s, angles %s, point data %s\n",
                ChildText(meta, "Qvscan:distanceUnit").c_str(),
                ChildText(meta, "Qvscan:angularUnit").c_str(),
                ChildText(meta, "Qvscan:hasPointData").c_str());
    std::printf(
        "view defaults: field of view %s, azimuth %s, elevation %s, distance unit %s, "
        "angular unit %s\n",
        ChildText(views, "Qvscan:fieldOfView").c_str(), ChildText(views, "Qvscan:azimuth").c_str(),
        ChildText(views, "Qvscan:elevation").c_str(),
        ChildText(views, "Qvscan:distanceUnit").c_str(),
        ChildText(views, "Qvscan:angularUnit").c_str());

    // The first lod is the coarsest level, the last level 0.
    const char* lodsName = version == "1.0" ? "Qvscan:lods" : "Qvscan:lods2";
    std::vector<pugi::xml_node> lods;
    for (auto lod : meta.child(lodsName).children("Qvscan:lod")) {
        lods.push_back(lod);
    }
    std::printf("levels: %zu (from %s)\n", lods.size(), lodsName);
    for (std::size_t level = 0; level < lods.size(); ++level) {
        const auto lod = lods[lods.size() - 1 - level];
        std::printf("  level %zu: face size %s, max point error %s\n", level,
                    ChildText(lod, "Qvscan:size").c_str(),
                    ChildText(lod, "Qvscan:maxPointError").c_str());
    }

    struct Neighbour {
        std::string name, url;
        double x, y, z, d2;
    };
    std::vector<Neighbour> list;
    const auto neighbours = root.child("Qvscan:Neighbors");
    for (auto n : neighbours.children("Qvscan:Neighbor")) {
        Neighbour nb{n.attribute("Name").value(),  n.attribute("URL").value(),
                     n.attribute("X").as_double(), n.attribute("Y").as_double(),
                     n.attribute("Z").as_double(), 0.0};
        nb.d2 = nb.x * nb.x + nb.y * nb.y + nb.z * nb.z;
        // Before the first one not nearer, as the viewer orders them.
        auto at = std::find_if(list.begin(), list.end(),
                               [&](const Neighbour& o) { return o.d2 >= nb.d2; });
        list.insert(at, nb);
    }
    std::printf("neighbours: %zu, nearest first (max visible %s, labels %s, icon radius %s)\n",
                list.size(), ChildText(root, "Qvscan:MaxVisibleNeighbors").c_str(),
                ChildText(root, "Qvscan:ShowNeighborLabels").c_str(),
                ChildText(root, "Qvscan:StationIconRadius").c_str());
    for (const auto& n : list) {
        std::printf("  %s  %s  X %s Y %s Z %s  distance %.3f\n", n.name.c_str(), n.url.c_str(),
                    FormatDouble(n.x).c_str(), FormatDouble(n.y).c_str(), FormatDouble(n.z).c_str(),
                    std::sqrt(n.d2));
    }
}

void PrintDataset(pugi::xml_node root, const std::filesystem::path& path) {
    std::printf("format: data set (sx:Dataset)\n");
    std::printf("build (Version.ini): %s\n", ReadBuild(path).c_str());
    std::printf("camera: %s\n", root.child("sx:Camera") ? "present" : "missing");
    static const char* const kFaces[6][3] = {
        {"front", "sx:Front", "sx:DepthFront"}, {"back", "sx:Back", "sx:DepthBack"},
        {"left", "sx:Left", "sx:DepthLeft"},    {"right", "sx:Right", "sx:DepthRight"},
        {"top", "sx:Top", "sx:DepthTop"},       {"bottom", "sx:Bottom", "sx:DepthBottom"}};
    for (const char* listName : {"sx:Cubemaps", "sx:Cubemaps2"}) {
        const auto list = root.child(listName);
        if (!list) {
            continue;
        }
        std::vector<pugi::xml_node> cubes;
        for (auto c : list.children("sx:Cube")) {
            cubes.push_back(c);
        }
        std::printf("cubes (%s, read for data set version %s): %zu\n", listName,
                    std::string(listName) == "sx:Cubemaps" ? "1.0" : "other than 1.0",
                    cubes.size());
        for (std::size_t i = 0; i < cubes.size(); ++i) {
            std::printf("  cube %zu: level %s, resolution %s\n", i,
                        cubes[i].attribute("level").value(),
                        cubes[i].attribute("resolution").value());
            for (const auto& f : kFaces) {
                const auto img = cubes[i].child(f[1]);
                const auto pts = cubes[i].child(f[2]);
                std::printf("    %-6s  %s (border %d)  points %s\n", f[0],
                            img ? img.text().get() : "-", img.attribute("border").as_int(0),
                            pts ? pts.text().get() : "-");
            }
        }
    }
}

}  // namespace

int RunInfo(int argc, char** argv) {
    std::vector<std::string> files;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::printf(
                "Usage: panora info FILE\n\nPrints what a station description file "
                "(Qvscan:CubeMap or sx:Dataset) holds.\n");
            return 0;
        }
        if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "panora info: unknown option '%s'\n", arg.c_str());
            return 2;
        }
        files.push_back(arg);
    }
    if (files.size() != 1) {
        std::fprintf(stderr, "panora info: give one description file (see 'panora info --help')\n");
        return 2;
    }
    const std::filesystem::path path(files[0]);
    std::ifstream in(path, std::ios::binary);
    std::error_code ec;
    if (!in || std::filesystem::is_directory(path, ec)) {
        std::fprintf(stderr, "panora info: file not found: %s\n", files[0].c_str());
        return 1;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const std::string data = bytes.str();
    pugi::xml_document doc;
    const auto result = doc.load_buffer(data.data(), data.size());
    if (!result) {
        const auto upTo = data.begin() + std::min<std::ptrdiff_t>(result.offset, data.size());
        const long line = 1 + std::count(data.begin(), upTo, '\n');
        std::fprintf(stderr, "panora info: %s is not well-formed XML: %s (line %ld)\n",
                     files[0].c_str(), result.description(), line);
        return 1;
    }
    if (const auto root = doc.child("sx:Dataset")) {
        std::printf("file: %s\n", files[0].c_str());
        PrintDataset(root, path);
    } else if (const auto root = doc.child("Qvscan:CubeMap")) {
        std::printf("file: %s\n", files[0].c_str());
        PrintMetadata(root, path);
    } else {
        std::fprintf(stderr,
                     "panora info: %s is not a station description (root element '%s', "
                     "expected Qvscan:CubeMap or sx:Dataset)\n",
                     files[0].c_str(), doc.document_element().name());
        return 1;
    }
    return 0;
}
