// `panora view` loads the desktop viewer from a module of its own; the other
// commands never need it. A copy of the program in a folder of its own has no
// module beside it, so the test arranges missing and broken ones there.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

struct Result {
    int exitCode = -1;
    std::string out, err;
};

// Runs `program args` with a (never contacted) display set.
Result RunProgram(const fs::path& program, const std::string& args,
                  const testsupport::TempDir& tmp) {
    const std::string cmd = "DISPLAY=:97 XDG_DATA_HOME='" + (tmp / "data").string() + "' '" +
                            program.string() + "' " + args + " 2>'" + (tmp / "err").string() + "'";
    Result r;
    FILE* pipe = popen(cmd.c_str(), "r");
    char buf[4096];
    for (std::size_t n = 0; pipe != nullptr && (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) {
        r.out.append(buf, n);
    }
    const int status = pipe != nullptr ? pclose(pipe) : -1;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.err = testsupport::ReadFile(tmp / "err");
    return r;
}

std::string LoadFailure(const fs::path& file, const std::string& reason) {
    return "panora view: cannot load the desktop viewer module " + file.string() + ": " +
           file.string() + ": " + reason + "\n";
}

}  // namespace

TEST(ViewerModule, ViewWithoutAWorkingModuleNamesTheFileAndOtherCommandsRun) {
    testsupport::TempDir tmp;
    const fs::path program = tmp / "bin" / "panora";
    fs::create_directories(program.parent_path());
    fs::copy_file(PANORA_COMMAND, program);
    const fs::path beside = tmp / "bin" / "panora_viewer.so";
    const fs::path installed = tmp / "lib" / "panora" / "panora_viewer.so";

    const auto missing = RunProgram(program, "view st1.xml", tmp);
    if (missing.err.find("built without the desktop viewer") != std::string::npos) {
        GTEST_SKIP() << "this panora has no desktop viewer";
    }
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err.rfind(LoadFailure(beside,
                                            "cannot open shared object file: No such "
                                            "file or directory"),
                                0),
              0u)
        << missing.err;
    EXPECT_NE(missing.err.find("no module at " + installed.string()), std::string::npos)
        << missing.err;

    // Every other command does without it.
    const auto version = RunProgram(program, "--version", tmp);
    EXPECT_EQ(version.exitCode, 0) << version.err;
    const auto site =
        RunProgram(program, "mkstation '" + (tmp / "site").string() + "' --sizes 8", tmp);
    ASSERT_EQ(site.exitCode, 0) << site.err;
    const auto info =
        RunProgram(program, "info '" + (tmp / "site/st1/st1.xml").string() + "'", tmp);
    EXPECT_EQ(info.exitCode, 0) << info.err;
    EXPECT_NE(info.out.find("levels: 1\n"), std::string::npos) << info.out;

    // The installed layout (lib/panora beside bin) is found; a file that is no
    // shared object is reported with the loader's reason.
    const std::string junk(256, 'x');
    tmp.Write("lib/panora/panora_viewer.so", junk);
    const auto broken = RunProgram(program, "view", tmp);
    EXPECT_EQ(broken.exitCode, 1);
    EXPECT_EQ(broken.err, LoadFailure(installed, "invalid ELF header")) << broken.err;

    // One beside the program comes first, even when it too is broken.
    tmp.Write("bin/panora_viewer.so", "");
    const auto empty = RunProgram(program, "view", tmp);
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_EQ(empty.err, LoadFailure(beside, "file too short")) << empty.err;
}
