#pragma once
// `panora publish`: turns PTX scans and equirectangular photos into a site
// of stations. Each scan of a PTX file becomes a station with point data;
// each photo a station without. The stations of one run list each other as
// neighbours. The site is written into a temporary folder beside SITE_DIR and
// renamed to SITE_DIR at the end, so that a failed run leaves no site.

#include <functional>
#include <string>
#include <vector>

#include "publish/PublishOptions.h"
#include "sitegen/SiteGenerator.h"

namespace publish {

struct PublishResult {
    std::vector<sitegen::StationFiles> stations;  // paths inside SITE_DIR
    std::vector<std::string> notes;               // "NAME:LINE: the scan is tilted ..."
};

// False with one line in *error ("NAME:LINE: message" for bad input). A
// progress bar goes to standard error when it is a terminal and
// `progressBar` is set.
bool Publish(const PublishOptions& options, PublishResult& result, std::string* error,
             bool progressBar = true);

}  // namespace publish
