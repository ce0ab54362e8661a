#pragma once
// The desktop viewer is a loadable module of its own (panora_viewer.so): only
// `panora view` loads it, so no other command pays for loading and binding
// the Qt libraries. The module takes the system's code from the `panora`
// program that loads it (the program exports its symbols), so one process
// holds one copy of it. Plain C types cross the boundary; the number in the
// entry's name changes whenever PanoraViewerArgs does, so that a module of
// another build is refused by name instead of misreading the arguments.

extern "C" {

struct PanoraViewerArgs {
    const char* station;  // UTF-8 path (absolute) or URL; empty: start without one
    int width;            // of the view
    int height;
    int reportStartup;  // non-zero: print when the first frame of the station is shown
};

using PanoraViewerMain = int (*)(const PanoraViewerArgs* args);

// The module's one entry: runs the application and its window to the end and
// returns the exit code.
int panora_viewer_main_1(const PanoraViewerArgs* args);

}  // extern "C"

inline constexpr const char* kPanoraViewerEntry = "panora_viewer_main_1";
inline constexpr const char* kPanoraViewerModule = "panora_viewer.so";
