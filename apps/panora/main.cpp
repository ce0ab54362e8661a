// The `panora` command: one program, several sub-commands.

#include <unistd.h>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "BuildVersion.h"
#include "panora/Commands.h"
#include "platform/Heap.h"

namespace {

struct Command {
    const char* name;
    int (*run)(int, char**);
    const char* summary;
    bool quickExit = false;      // end without the libraries' tear-down
    bool showsStations = false;  // loads stations into a control
};

const Command kCommands[] = {
    {"mkstation", RunMkStation, "write a generated sample site of stations into a folder"},
    {"publish", RunPublish, "publish stations from PTX scans and 360-degree photos"},
    {"info", RunInfo, "print what a station description file holds"},
    {"run", RunPage, "run a page script (JavaScript) against a control", false, true},
    {"render", RunRender, "render one view of a station into a JPEG file", true, true},
    {"view", RunView, "show a station in a desktop window (needs a display)", false, true},
};

void PrintUsage(FILE* out) {
    std::fprintf(out, "Usage: panora COMMAND [ARGS...]\n\nCommands:\n");
    for (const auto& c : kCommands) {
        std::fprintf(out, "  %-10s %s\n", c.name, c.summary);
    }
    std::fprintf(out, "\n'panora COMMAND --help' describes one command.\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage(stderr);
        return 2;
    }
    const std::string_view name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        PrintUsage(stdout);
        return 0;
    }
    if (name == "--version") {
        std::printf("panora %s\n", PANORA_VERSION_TEXT);
        return 0;
    }
    for (const auto& c : kCommands) {
        if (name == c.name) {
            if (c.showsStations) {
                // Before any thread: decoded faces and the textures made from
                // them share the heap's memory (see platform/Heap.h).
                platform::TuneHeapForPixelBuffers();
            }
            const int code = c.run(argc - 2, argv + 2);
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
            // Everything the command made is closed and written by now; the
            // libraries' own tear-down (the OpenGL driver's compiler, Qt) adds
            // about 10 ms to every run and is left out. Sanitizer builds end
            // normally so that their leak check runs.
            if (c.quickExit) {
                std::fflush(nullptr);
                _exit(code);
            }
#endif
            return code;
        }
    }
    std::fprintf(stderr, "panora: unknown command '%s'\n", argv[1]);
    PrintUsage(stderr);
    return 2;
}
