// `panora publish INPUT... -o SITE_DIR [options]`: stations from PTX scans and
// equirectangular photos.

#include <cstdio>
#include <string>
#include <vector>

#include "panora/Commands.h"
#include "publish/Publisher.h"

int RunPublish(int argc, char** argv) {
    const std::vector<std::string> args(argv, argv + argc);
    publish::PublishOptions options;
    std::string error;
    bool help = false;
    if (!publish::ParsePublishOptions(args, options, &error, &help)) {
        std::fprintf(stderr, "panora publish: %s\nTry 'panora publish --help'.\n", error.c_str());
        return 2;
    }
    if (help) {
        std::fputs(publish::PublishUsage().c_str(), stdout);
        return 0;
    }
    publish::PublishResult result;
    if (!publish::Publish(options, result, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    for (const auto& note : result.notes) {
        std::fprintf(stderr, "%s\n", note.c_str());
    }
    for (const auto& st : result.stations) {
        std::printf("%s: %s\n", st.pose.name.c_str(), st.description.c_str());
    }
    return 0;
}
