#pragma once
// Finding and entering the desktop viewer's module (panora_viewer.so) for
// `panora view`. See viewer/ViewerEntry.h for why it is a module.
#include "viewer/ViewerEntry.h"

// The places tried, in order: beside the program (the build tree), the
// installed module folder relative to the program's folder, then the one
// this panora was configured to install into.
// Loads the first of them that exists and runs its entry. A module that is
// missing, does not load or lacks the entry is reported on standard error
// with the file and the loader's text; the result is then 1.
int RunViewerModule(const PanoraViewerArgs& args);
