// The module's entry: `panora view` has checked its arguments and the display.
#include "viewer/ViewerEntry.h"

#include "platform/Text.h"
#include "viewer/ViewerWindow.h"

extern "C" __attribute__((visibility("default"))) int panora_viewer_main_1(
    const PanoraViewerArgs* args) {
    viewer::ViewerOptions options;
    options.station = platform::FromUtf8(args->station != nullptr ? args->station : "");
    options.width = args->width;
    options.height = args->height;
    options.reportStartup = args->reportStartup != 0;
    // Qt reads its own options (-platform, ...) from the program's arguments.
    int qtArgc = 1;
    char* qtArgv[] = {const_cast<char*>("panora"), nullptr};
    return viewer::RunViewer(qtArgc, qtArgv, options);
}
