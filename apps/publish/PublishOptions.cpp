#include "publish/PublishOptions.h"

#include <algorithm>
#include <charconv>

namespace publish {

namespace {

bool ParseInt(const std::string& text, long long lo, long long hi, long long& out) {
    long long v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size() || v < lo ||
        v > hi) {
        return false;
    }
    out = v;
    return true;
}

}  // namespace

std::string PublishUsage() {
    return "Usage: panora publish INPUT... -o SITE_DIR [options]\n"
           "\n"
           "Publishes stations from structured laser scans (PTX: one station per scan,\n"
           "several scans per file) and 360-degree photos (equirectangular JPEG or PNG,\n"
           "2:1: a station without points) into SITE_DIR, one folder per station, the\n"
           "stations listed as each other's neighbours.\n"
           "\n"
           "Options:\n"
           "  -o, --output DIR     the site folder (replaced when it exists)\n"
           "  --sizes A,B,...|auto face sizes of the levels (default auto: the finest\n"
           "                       matches the input's angular resolution, the coarser\n"
           "                       ones halve it down to 256)\n"
           "  --quality Q          JPEG quality 1..100 (default 90)\n"
           "  --unit U             the unit of the scans' coordinates (default m)\n"
           "  --threads N          threads encoding the faces (default: one per core)\n"
           "  --format F           description format: metadata (default) or dataset\n"
           "  --help               this text\n";
}

bool ParsePublishOptions(const std::vector<std::string>& args, PublishOptions& options,
                         std::string* error, bool* help) {
    auto fail = [error](const std::string& text) {
        *error = text;
        return false;
    };
    *help = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (arg == "--help" || arg == "-h") {
            *help = true;
            return true;
        }
        if (arg.empty() || arg[0] != '-' || arg == "-") {
            options.inputs.push_back(arg);
            continue;
        }
        std::string value;
        bool inlineValue = false;
        const auto eq = arg.find('=');
        if (arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
            inlineValue = true;
        }
        static const char* const kKnown[] = {"-o",     "--output",  "--sizes", "--quality",
                                             "--unit", "--threads", "--format"};
        if (std::find_if(std::begin(kKnown), std::end(kKnown),
                         [&](const char* k) { return arg == k; }) == std::end(kKnown)) {
            return fail("unknown option '" + arg + "'");
        }
        if (!inlineValue) {
            if (i + 1 >= args.size()) {
                return fail(arg + " needs a value");
            }
            value = args[++i];
        }
        long long n = 0;
        if (arg == "-o" || arg == "--output") {
            if (value.empty()) {
                return fail(arg + " needs a folder");
            }
            options.siteDir = value;
        } else if (arg == "--sizes") {
            options.sizes.clear();
            if (value == "auto") {
                continue;
            }
            std::string::size_type start = 0;
            while (true) {
                const auto comma = value.find(',', start);
                const std::string part = value.substr(start, comma - start);
                if (!ParseInt(part, 1, sitegen::kMaxFaceSize, n)) {
                    return fail("--sizes wants 'auto' or face sizes from 1 to " +
                                std::to_string(sitegen::kMaxFaceSize) +
                                " separated by commas, got '" + value + "'");
                }
                if (std::find(options.sizes.begin(), options.sizes.end(), n) !=
                    options.sizes.end()) {
                    return fail("--sizes lists the size " + std::to_string(n) + " twice");
                }
                options.sizes.push_back(static_cast<int>(n));
                if (comma == std::string::npos) {
                    break;
                }
                start = comma + 1;
            }
            if (static_cast<int>(options.sizes.size()) > sitegen::kMaxLevels) {
                return fail("--sizes allows at most " + std::to_string(sitegen::kMaxLevels) +
                            " levels");
            }
            std::sort(options.sizes.begin(), options.sizes.end(), std::greater<int>());
        } else if (arg == "--quality") {
            if (!ParseInt(value, 1, 100, n)) {
                return fail("--quality wants a whole number from 1 to 100, got '" + value + "'");
            }
            options.quality = static_cast<int>(n);
        } else if (arg == "--unit") {
            const auto unit = sitegen::FindLengthUnit(value);
            if (!unit) {
                return fail("--unit does not know the unit '" + value + "'");
            }
            options.unit = *unit;
        } else if (arg == "--threads") {
            if (!ParseInt(value, 1, 256, n)) {
                return fail("--threads wants a whole number from 1 to 256, got '" + value + "'");
            }
            options.threads = static_cast<int>(n);
        } else if (arg == "--format") {
            if (value == "metadata") {
                options.format = sitegen::DescriptionFormat::Metadata;
            } else if (value == "dataset") {
                options.format = sitegen::DescriptionFormat::Dataset;
            } else {
                return fail("--format wants 'metadata' or 'dataset', got '" + value + "'");
            }
        }
    }
    if (options.inputs.empty()) {
        return fail("no input given");
    }
    if (options.siteDir.empty()) {
        return fail("no site folder given (-o SITE_DIR)");
    }
    return true;
}

}  // namespace publish
