#include "panora/ViewerModule.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Duplicates (a program installed where it was configured to be) are dropped.
std::vector<fs::path> ViewerModuleCandidates(const fs::path& programFolder) {
    std::vector<fs::path> places;
    const auto add = [&](const fs::path& folder) {
        const fs::path file = (folder / kPanoraViewerModule).lexically_normal();
        if (std::find(places.begin(), places.end(), file) == places.end()) {
            places.push_back(file);
        }
    };
    if (!programFolder.empty()) {
        add(programFolder);
        add(programFolder / PANORA_VIEWER_MODULE_RELDIR);
    }
    add(PANORA_VIEWER_MODULE_DIR);
    return places;
}

}  // namespace

int RunViewerModule(const PanoraViewerArgs& args) {
    std::error_code ec;
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    const std::vector<fs::path> places =
        ViewerModuleCandidates(ec ? fs::path() : program.parent_path());
    // The first that exists is the one: a broken module is reported, never
    // passed over for an older one further down the list.
    const auto found = std::find_if(places.begin(), places.end(), [](const fs::path& p) {
        std::error_code missing;
        return fs::exists(p, missing);
    });
    const fs::path& file = found != places.end() ? *found : places.front();
    void* module = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        std::fprintf(stderr, "panora view: cannot load the desktop viewer module %s: %s\n",
                     file.c_str(), dlerror());
        if (found == places.end() && places.size() > 1) {
            std::string others;
            for (std::size_t i = 1; i < places.size(); ++i) {
                others += (i > 1 ? ", " : "") + places[i].string();
            }
            std::fprintf(stderr, "panora view: no module at %s either\n", others.c_str());
        }
        return 1;
    }
    dlerror();
    const auto entry = reinterpret_cast<PanoraViewerMain>(dlsym(module, kPanoraViewerEntry));
    if (entry == nullptr) {
        const char* why = dlerror();
        std::fprintf(stderr, "panora view: %s is not this panora's desktop viewer module: %s\n",
                     file.c_str(), why != nullptr ? why : "its entry is null");
        dlclose(module);
        return 1;
    }
    // The module stays loaded until the process ends: Qt's libraries
    // register exit handlers of their own.
    return entry(&args);
}
