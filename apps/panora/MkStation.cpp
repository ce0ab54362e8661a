// `panora mkstation DIR [options]`: writes a generated site of stations.

#include <cstdio>
#include <string>
#include <vector>

#include "panora/Commands.h"
#include "sitegen/SiteGenerator.h"

int RunMkStation(int argc, char** argv) {
    const std::vector<std::string> args(argv, argv + argc);
    sitegen::SiteOptions options;
    std::string error;
    bool help = false;
    if (!sitegen::ParseSiteOptions(args, options, &error, &help)) {
        std::fprintf(stderr, "panora mkstation: %s\nTry 'panora mkstation --help'.\n",
                     error.c_str());
        return 2;
    }
    if (help) {
        std::fputs(sitegen::SiteOptionsUsage().c_str(), stdout);
        return 0;
    }
    sitegen::SitePlan plan;
    if (!sitegen::GenerateSite(options, &plan, &error)) {
        std::fprintf(stderr, "panora mkstation: %s\n", error.c_str());
        return 1;
    }
    for (const auto& st : plan.stations) {
        std::printf("%s: %s\n", st.pose.name.c_str(), st.description.c_str());
    }
    return 0;
}
