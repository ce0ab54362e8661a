// Under AddressSanitizer, LeakSanitizer reads its default suppressions from
// this hook; every test program, and the panora program in sanitizer builds,
// links this file (object library panora_leaksupp). Mesa's EGL and
// software rasteriser keep per-process and per-thread allocations (driver
// screens, LLVM's JIT, dispatch tables) that are never freed before exit, and
// fontconfig (2.14 on Debian 12) loses one small pattern while it parses its
// configuration. Only those libraries' own allocations are suppressed, so
// leaks in the system's code are still reported.
extern "C" __attribute__((used)) const char* __lsan_default_suppressions() {
    return "leak:libEGL_mesa.so\n"
           "leak:libGLX_mesa.so\n"
           "leak:libEGL.so\n"
           "leak:libGLdispatch.so\n"
           "leak:libglapi.so\n"
           "leak:swrast_dri.so\n"
           "leak:kms_swrast_dri.so\n"
           "leak:libgallium\n"
           "leak:libLLVM\n"
           "leak:libfontconfig.so\n";
}

// The list of suppressions used is not printed: programs whose standard error
// is checked by tests stay quiet when nothing leaked.
extern "C" __attribute__((used)) const char* __lsan_default_options() {
    return "print_suppressions=0";
}
