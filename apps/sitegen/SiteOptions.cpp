#include "sitegen/SiteOptions.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>

namespace sitegen {

namespace {

bool ParseInt(const std::string& text, long long lo, long long hi, long long& out) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || end == nullptr || *end != '\0' || v < lo || v > hi) {
        return false;
    }
    out = v;
    return true;
}

bool ParseDouble(const std::string& text, double& out) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(text.c_str(), &end);
    if (errno != 0 || end == nullptr || *end != '\0' || !std::isfinite(v)) {
        return false;
    }
    out = v;
    return true;
}

std::vector<std::string> SplitCommas(const std::string& text) {
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    while (true) {
        const auto comma = text.find(',', start);
        parts.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    return parts;
}

std::string Number(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

}  // namespace

std::string SiteOptionsUsage() {
    std::string units;
    for (const auto& n : LengthUnitNames()) {
        units += units.empty() ? n : "|" + n;
    }
    return "Usage: panora mkstation DIR [options]\n"
           "\n"
           "Writes a generated site of stations (a textured room traced from each\n"
           "station's centre) into DIR/st1, DIR/st2, ...\n"
           "\n"
           "Options:\n"
           "  --stations N        number of stations, 1.." +
           std::to_string(kMaxStations) +
           " (default 3)\n"
           "  --sizes A,B,...     face sizes of the levels in pixels, any order\n"
           "                      (default 256,512,1024)\n"
           "  --format F          description format: metadata (default) or dataset\n"
           "  --version TEXT      data set version (default 2.0; 1.0 names the tiles\n"
           "                      Rgb_/Point_, any other Img_/Pnt_)\n"
           "  --azimuth DEG       azimuth of the first station's coordinate system\n"
           "                      (default 0; each further station turns 100 more)\n"
           "  --center X,Y,Z      site position of the first station's centre in the\n"
           "                      internal unit (default: its place in the room)\n"
           "  --unit U            internal unit of the points and centres:\n"
           "                      " +
           units +
           "\n"
           "                      (default meters)\n"
           "  --up N              up direction written for the stations (default 0)\n"
           "  --quality Q         JPEG quality 1..100 (default 90)\n"
           "  --seed S            seed of the floor pattern and station placement\n"
           "                      (default 1)\n"
           "  --threads N         worker threads, 1 or 2 (default 2)\n"
           "  --ptx FILE          also write the scene as one PTX scan per station\n"
           "  --ptx-grid CxR      columns and rows of each scan (default 400x200)\n"
           "  --ptx-intensity     scan points carry an intensity but no colour\n"
           "  --help              this text\n";
}

bool ParseSiteOptions(const std::vector<std::string>& args, SiteOptions& options,
                      std::string* error, bool* help) {
    auto fail = [error](const std::string& text) {
        if (error != nullptr) {
            *error = text;
        }
        return false;
    };
    if (help != nullptr) {
        *help = false;
    }
    bool haveDir = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (arg == "--help" || arg == "-h") {
            if (help != nullptr) {
                *help = true;
            }
            return true;
        }
        if (arg == "--ptx-intensity") {
            options.ptxIntensityOnly = true;
            continue;
        }
        if (arg.rfind("--", 0) != 0 || arg.size() == 2) {
            if (!arg.empty() && arg[0] == '-' && arg != "-") {
                return fail("unknown option '" + arg + "'");
            }
            if (haveDir) {
                return fail("more than one folder given ('" + options.outputDir + "', '" + arg +
                            "')");
            }
            options.outputDir = arg;
            haveDir = true;
            continue;
        }
        std::string value;
        bool inlineValue = false;
        const auto eq = arg.find('=');
        if (eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
            inlineValue = true;
        }
        static const std::set<std::string> known = {
            "--stations", "--sizes",   "--format", "--version", "--azimuth", "--center",  "--unit",
            "--up",       "--quality", "--seed",   "--threads", "--ptx",     "--ptx-grid"};
        if (known.count(arg) == 0) {
            return fail("unknown option '" + arg + "'");
        }
        if (!inlineValue) {
            if (i + 1 >= args.size()) {
                return fail(arg + " needs a value");
            }
            value = args[++i];
        }
        long long n = 0;
        if (arg == "--stations") {
            if (!ParseInt(value, 1, kMaxStations, n)) {
                return fail("--stations wants a whole number from 1 to " +
                            std::to_string(kMaxStations) + ", got '" + value + "'");
            }
            options.stations = static_cast<int>(n);
        } else if (arg == "--sizes") {
            std::vector<int> sizes;
            for (const auto& part : SplitCommas(value)) {
                if (!ParseInt(part, 1, kMaxFaceSize, n)) {
                    return fail("--sizes wants face sizes from 1 to " +
                                std::to_string(kMaxFaceSize) + " separated by commas, got '" +
                                value + "'");
                }
                if (std::find(sizes.begin(), sizes.end(), n) != sizes.end()) {
                    return fail("--sizes lists the size " + std::to_string(n) + " twice");
                }
                sizes.push_back(static_cast<int>(n));
            }
            if (static_cast<int>(sizes.size()) > kMaxLevels) {
                return fail("--sizes allows at most " + std::to_string(kMaxLevels) + " levels");
            }
            options.sizes = sizes;
        } else if (arg == "--format") {
            if (value == "metadata") {
                options.format = DescriptionFormat::Metadata;
            } else if (value == "dataset") {
                options.format = DescriptionFormat::Dataset;
            } else {
                return fail("--format wants 'metadata' or 'dataset', got '" + value + "'");
            }
        } else if (arg == "--version") {
            const bool printable = std::all_of(value.begin(), value.end(), [](char c) {
                return c > ' ' && c < 127 && c != '<' && c != '&';
            });
            if (value.empty() || value.size() > 254 || !printable) {
                return fail("--version wants a version text such as 1.0 or 2.0, got '" + value +
                            "'");
            }
            options.version = value;
        } else if (arg == "--azimuth") {
            double a = 0.0;
            if (!ParseDouble(value, a)) {
                return fail("--azimuth wants an angle in degrees, got '" + value + "'");
            }
            options.azimuthDeg = a;
        } else if (arg == "--center") {
            const auto parts = SplitCommas(value);
            Vec3 c{};
            bool ok = parts.size() == 3;
            for (std::size_t k = 0; ok && k < 3; ++k) {
                ok = ParseDouble(parts[k], c[k]);
            }
            if (!ok) {
                return fail("--center wants three numbers X,Y,Z, got '" + value + "'");
            }
            options.centre = c;
        } else if (arg == "--unit") {
            const auto unit = FindLengthUnit(value);
            if (!unit) {
                return fail("--unit does not know the unit '" + value +
                            "' (see 'panora mkstation --help')");
            }
            options.unit = *unit;
        } else if (arg == "--up") {
            if (!ParseInt(value, -2147483647LL - 1, 2147483647LL, n)) {
                return fail("--up wants a whole number, got '" + value + "'");
            }
            options.upDirection = static_cast<int>(n);
        } else if (arg == "--quality") {
            if (!ParseInt(value, 1, 100, n)) {
                return fail("--quality wants a whole number from 1 to 100, got '" + value + "'");
            }
            options.quality = static_cast<int>(n);
        } else if (arg == "--seed") {
            if (!ParseInt(value, 0, 4294967295LL, n)) {
                return fail("--seed wants a whole number from 0 to 4294967295, got '" + value +
                            "'");
            }
            options.seed = static_cast<std::uint32_t>(n);
        } else if (arg == "--threads") {
            if (!ParseInt(value, 1, 2, n)) {
                return fail("--threads wants 1 or 2, got '" + value + "'");
            }
            options.threads = static_cast<int>(n);
        } else if (arg == "--ptx") {
            if (value.empty()) {
                return fail("--ptx wants a file name");
            }
            options.ptxPath = value;
        } else if (arg == "--ptx-grid") {
            const auto x = value.find('x');
            long long c = 0, r = 0;
            if (x == std::string::npos || !ParseInt(value.substr(0, x), 2, 100000, c) ||
                !ParseInt(value.substr(x + 1), 2, 100000, r)) {
                return fail("--ptx-grid wants COLUMNSxROWS, each from 2 to 100000, got '" + value +
                            "'");
            }
            options.ptxColumns = static_cast<int>(c);
            options.ptxRows = static_cast<int>(r);
        }
    }
    if (!haveDir) {
        return fail("no output folder given");
    }
    return true;
}

std::string CanonicalOptionText(const SiteOptions& o) {
    std::string text = "stations=" + std::to_string(o.stations) + ";sizes=";
    for (int s : o.sizes) {
        text += std::to_string(s) + ",";
    }
    text +=
        ";format=" + std::string(o.format == DescriptionFormat::Metadata ? "metadata" : "dataset");
    text += ";version=" + o.version + ";azimuth=" + Number(o.azimuthDeg);
    if (o.centre) {
        text += ";center=" + Number((*o.centre)[0]) + "," + Number((*o.centre)[1]) + "," +
                Number((*o.centre)[2]);
    }
    text += ";unit=" + o.unit.name + ";up=" + std::to_string(o.upDirection) +
            ";quality=" + std::to_string(o.quality) + ";seed=" + std::to_string(o.seed);
    return text;
}

}  // namespace sitegen
