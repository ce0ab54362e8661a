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
