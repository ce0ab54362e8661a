#include <cstdio>

#include "panora/Commands.h"

int RunMkStation(int, char**) {
    std::fprintf(stderr, "panora mkstation: not built yet\n");
    return 1;
}

int RunInfo(int, char**) {
    std::fprintf(stderr, "panora info: not built yet\n");
    return 1;
}
