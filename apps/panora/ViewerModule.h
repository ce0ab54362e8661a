#pragma once
// Finding and entering the desktop viewer's module (panora_viewer.so) for
// `panora view`. See viewer/ViewerEntry.h for why it is a module.
#include <filesystem>
#include <vector>

#include "viewer/ViewerEntry.h"

// The places tried, in order: beside the program (the build tree), the
// installed module folder relative to the program's folder, then the one
// this panora was configured to install into. Duplicates are dropped.
std::vector<std::filesystem::path> ViewerModuleCandidates(
    const std::filesystem::path& programFolder);

// Loads the first candidate that exists and runs its entry. A module that is
// missing, does not load or lacks the entry is reported on standard error
// with the file and the loader's text; the result is then 1.
int RunViewerModule(const PanoraViewerArgs& args);
