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
    // Both spellings, a negative number as a value, the folder after the options.
    EXPECT_EQ(p.options.outputDir, "site dir");
    EXPECT_EQ(p.options.sizes, (std::vector<int>{64, 16, 32}));  // order kept, any is fine
    EXPECT_DOUBLE_EQ(p.options.azimuthDeg, -12.5);
    ASSERT_TRUE(p.options.centre.has_value());
    EXPECT_DOUBLE_EQ((*p.options.centre)[0], 1e5);
    EXPECT_EQ(p.options.unit.name, "feet");
    EXPECT_EQ(p.options.seed, 4294967295u);
}

TEST(SiteOptions, MistypedOptionsAreRefusedWithTheReason) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, "no output folder given"},
        {{"a", "b"}, "more than one folder given ('a', 'b')"},
        {{"d", "--stations"}, "--stations needs a value"},
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
