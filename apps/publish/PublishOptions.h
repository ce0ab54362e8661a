#pragma once
// What `panora publish` is asked for, and its command-line parser.

#include <string>
#include <vector>

#include "sitegen/LengthUnit.h"
#include "sitegen/SiteOptions.h"

namespace publish {

struct PublishOptions {
    std::vector<std::string> inputs;  // PTX scans and equirectangular photos
    std::string siteDir;
    std::vector<int> sizes;  // face sizes of the levels; empty: chosen from each input
    int quality = 90;        // JPEG quality 1..100
    sitegen::LengthUnit unit = {0, "meters", 1.0};  // the unit the scans' numbers are in
    int threads = 0;                                // 0: one per core
    sitegen::DescriptionFormat format = sitegen::DescriptionFormat::Metadata;
};

// Parses the arguments after "publish". False with a one-line reason in
// *error; `--help` sets *help and succeeds.
bool ParsePublishOptions(const std::vector<std::string>& args, PublishOptions& options,
                         std::string* error, bool* help);

std::string PublishUsage();

}  // namespace publish
