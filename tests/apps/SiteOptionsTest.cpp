// Parsing the options of `panora mkstation`.

#include <gtest/gtest.h>

#include "sitegen/SiteOptions.h"

using namespace sitegen;

namespace {

struct Parsed {
    bool ok = false;
    bool help = false;
    SiteOptions options;
    std::string error;
};

Parsed Parse(std::vector<std::string> args) {
    Parsed p;
    p.ok = ParseSiteOptions(args, p.options, &p.error, &p.help);
    return p;
}

}  // namespace

TEST(SiteOptions, EveryOptionInBothSpellings) {
    const Parsed d = Parse({"out"});
    ASSERT_TRUE(d.ok) << d.error;
    const Parsed p =
        Parse({"--stations", "5", "--sizes=64,16,32", "--format", "dataset", "--version=1.0",
               "--azimuth", "-12.5", "--center=1e5,-2.5,0.25", "--unit", "architectural", "--up",
               "1", "--quality=75", "--seed", "4294967295", "--threads", "1", "site dir"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.outputDir, "site dir");
    EXPECT_EQ(p.options.stations, 5);
    EXPECT_EQ(p.options.sizes, (std::vector<int>{64, 16, 32}));  // order kept, any is fine
    EXPECT_EQ(p.options.format, DescriptionFormat::Dataset);
    EXPECT_EQ(p.options.version, "1.0");
    EXPECT_DOUBLE_EQ(p.options.azimuthDeg, -12.5);
    ASSERT_TRUE(p.options.centre.has_value());
    EXPECT_DOUBLE_EQ((*p.options.centre)[0], 1e5);
    EXPECT_DOUBLE_EQ((*p.options.centre)[2], 0.25);
    EXPECT_EQ(p.options.unit.code, 10);
    EXPECT_EQ(p.options.unit.name, "feet");
    EXPECT_EQ(p.options.upDirection, 1);
    EXPECT_EQ(p.options.quality, 75);
    EXPECT_EQ(p.options.seed, 4294967295u);
    EXPECT_EQ(p.options.threads, 1);
}

TEST(SiteOptions, MistypedOptionsAreRefusedWithTheReason) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, "no output folder given"},
        {{"a", "b"}, "more than one folder given ('a', 'b')"},
        {{"d", "--stations"}, "--stations needs a value"},
        {{"d", "--station", "2"}, "unknown option '--station'"},
        {{"d", "--stations", "0"}, "--stations wants a whole number from 1 to 24, got '0'"},
        {{"d", "--stations", "25"}, "--stations wants a whole number from 1 to 24, got '25'"},
        {{"d", "--sizes", "8193"},
         "--sizes wants face sizes from 1 to 8192 separated by commas, got '8193'"},
        {{"d", "--sizes", "32,64,32"}, "--sizes lists the size 32 twice"},
        {{"d", "--format", "xml"}, "--format wants 'metadata' or 'dataset', got 'xml'"},
    };
    for (const auto& [args, message] : cases) {
        const Parsed p = Parse(args);
        EXPECT_FALSE(p.ok) << message;
        EXPECT_EQ(p.error, message);
    }
}

TEST(SiteOptions, CanonicalTextChangesWithEveryOptionButTheFolder) {
    SiteOptions base;
    base.outputDir = "a";
    SiteOptions elsewhere = base;
    elsewhere.outputDir = "b";
    EXPECT_EQ(CanonicalOptionText(base), CanonicalOptionText(elsewhere));
    std::vector<SiteOptions> variants(9, base);
    variants[0].stations = 4;
    variants[1].sizes = {512, 256, 1024};
    variants[2].format = DescriptionFormat::Dataset;
    variants[3].version = "1.0";
    variants[4].azimuthDeg = 0.5;
    variants[5].centre = Vec3{0, 0, 0};
    variants[6].unit = *FindLengthUnit("mm");
    variants[7].upDirection = 2;
    variants[8].seed = 9;
    for (const auto& v : variants) {
        EXPECT_NE(CanonicalOptionText(v), CanonicalOptionText(base));
    }
}
