// A station whose files are damaged one at a time (cut at ten places, bytes
// flipped) loads or fails with messages, never crashes or hangs, and the same
// control then loads an intact station as if nothing had happened.
#include <filesystem>
#include <fstream>

#include "support/ControlFixture.h"

using platform::Bstr;
using testsupport::U;

namespace {

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// The damaged versions of a file of n bytes: cut to ten lengths from 0 to
// n - 1, then three kinds of flipped bytes (a byte inverted, a run of eight
// scrambled, one bit of a byte near the end).
std::vector<std::pair<std::string, std::string>> Damaged(const std::string& bytes) {
    std::vector<std::pair<std::string, std::string>> out;
    const std::size_t n = bytes.size();
    for (std::size_t k = 0; k < 10; ++k) {
        const std::size_t cut = k == 9 ? n - 1 : n * k / 10;
        out.emplace_back("cut at " + std::to_string(cut), bytes.substr(0, cut));
    }
    std::string flipped = bytes;
    flipped[n / 3] = static_cast<char>(~flipped[n / 3]);
    out.emplace_back("byte inverted at " + std::to_string(n / 3), flipped);
    flipped = bytes;
    for (std::size_t i = n / 2; i < std::min(n, n / 2 + 8); ++i) {
        flipped[i] = static_cast<char>(flipped[i] ^ 0x55);
    }
    out.emplace_back("run scrambled at " + std::to_string(n / 2), flipped);
    flipped = bytes;
    flipped[n * 2 / 3] = static_cast<char>(flipped[n * 2 / 3] ^ 0x01);
    out.emplace_back("bit flipped at " + std::to_string(n * 2 / 3), flipped);
    return out;
}

}  // namespace

TEST_F(ControlFixture, DamagedFilesLoadOrFailWithMessagesAndTheControlGoesOn) {
    plan_ = testsupport::MakeSite(dir_ / "site", 2, {16});  // the smallest faces with a mask
    ASSERT_FALSE(HasFailure());
    const sitegen::StationFiles& st = plan_.stations[0];
    const sitegen::LevelFiles& level = st.levels[0];
    int masked = 0;
    while (masked < 5 && !level.masked[masked]) {
        ++masked;
    }
    ASSERT_TRUE(level.masked[masked]);
    // One file of each kind: faces differ only in their bytes.
    const std::vector<std::string> files = {st.description, st.versionIni, level.image[1],
                                            level.mask[masked], level.points[2]};

    SX_Control& c = ReadyControl(MakeOptions());
    const Bstr damagedSrc(U(st.description));
    const Bstr intact(U(plan_.stations[1].description));
    const auto load = [&](const Bstr& src) {
        c.put_src(src);
        return Tick([&] { return c.LoadFinished(); });
    };
    std::vector<int> failed;
    int loads = 0;
    for (const std::string& file : files) {
        failed.push_back(0);
        const std::string good = testsupport::ReadFile(file);
        ASSERT_FALSE(good.empty()) << file;
        for (const auto& [how, bytes] : Damaged(good)) {
            SCOPED_TRACE(std::filesystem::path(file).filename().string() + ", " + how);
            WriteFile(file, bytes);
            ASSERT_TRUE(load(damagedSrc));
            ++loads;
            if (c.LoadFailed()) {
                ++failed.back();
                // The error page names at least one cause.
                EXPECT_TRUE(c.ShowsErrorPage());
                EXPECT_GE(c.ErrorPageLines().size(), 3u);
            }
            // The next station is not disturbed by what the last one left.
            ASSERT_TRUE(load(intact));
            EXPECT_FALSE(c.LoadFailed()) << platform::ToUtf8(c.DataSet().GetMessages());
            EXPECT_EQ(c.DataSet().UniqueId(), U(plan_.stations[1].uid));
            for (int f = 0; f < 6; ++f) {
                EXPECT_TRUE(c.DataSet().CubeMap()->HasImage(f, 0)) << f;
            }
        }
        WriteFile(file, good);
    }
    EXPECT_EQ(loads, 65);
    // A cut description, image or point file fails the load (the description
    // cut one byte short has lost only its last line feed); a damaged
    // "Version.ini" or mask never does: the first gives the default data
    // version, the second leaves the face opaque.
    EXPECT_GE(failed[0], 9);
    EXPECT_EQ(failed[1], 0);
    EXPECT_GE(failed[2], 10);
    EXPECT_EQ(failed[3], 0);
    EXPECT_GE(failed[4], 10);
}
