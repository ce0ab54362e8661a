#include <gtest/gtest.h>

#include "host/SX_Format.h"
#include "support/CommaLocale.h"

TEST(SX_Format, PlaceholdersOfTheMessageTexts) {
    const testsupport::CommaLocale comma;  // numbers keep "." under any locale
    EXPECT_EQ(SX_Format(u"Error: File %s not found.", {u"/a/Img_0_512.JPG"}),
              u"Error: File /a/Img_0_512.JPG not found.");
    EXPECT_EQ(SX_Format(u"XML Error: %X - Line[%d] Pos[%d] - %s.",
                        {0xC0DE001Au, 3, 17, u"end tag mismatch"}),
              u"XML Error: C0DE001A - Line[3] Pos[17] - end tag mismatch.");
    EXPECT_EQ(SX_Format(u"v%2.1f|%5.2f|%-4d|%04d|%x", {1.0, 3.14159, 7, -7, 255}),
              u"v1.0| 3.14|7   |-007|ff");
    // A negative value through %X prints its 32-bit pattern.
    EXPECT_EQ(SX_Format(u"%X", {-2147467259}), u"80004005");
    EXPECT_EQ(SX_Format(u"100%% of %s", {u"\u00e9t\u00e9"}), u"100% of \u00e9t\u00e9");
    EXPECT_EQ(SX_Format(u"[%6s][%-6s][%.2s]", {u"ab", u"ab", u"abcdef"}), u"[    ab][ab    ][ab]");
}

TEST(SX_Format, StrayPlaceholdersStayAsWritten) {
    // Too few arguments, a wrong kind, an unknown conversion, a trailing "%".
    EXPECT_EQ(SX_Format(u"%s and %s", {u"one"}), u"one and %s");
    EXPECT_EQ(SX_Format(u"%d then %s", {u"text", u"x"}), u"%d then x");
    EXPECT_EQ(SX_Format(u"50%q done %", {1}), u"50%q done %");
    EXPECT_EQ(SX_Format(u"no placeholders", {1, 2}), u"no placeholders");
    EXPECT_EQ(SX_Format(u"%99999d", {1}), u"%99999d");
}
