#include <gtest/gtest.h>

#include "platform/Text.h"

using platform::FromUtf8;
using platform::ToUtf8;

TEST(Text, MalformedInputBecomesReplacementCharacters) {
    EXPECT_EQ(FromUtf8("a\xff"
                       "b"),
              u"a\ufffdb");
    EXPECT_EQ(FromUtf8("\xc3"), u"\ufffd");                      // truncated sequence at the end
    EXPECT_EQ(FromUtf8("\xc0\xaf"), u"\ufffd\ufffd");            // overlong '/'
    EXPECT_EQ(FromUtf8("\xed\xa0\x80"), u"\ufffd\ufffd\ufffd");  // encoded surrogate
    const std::u16string lone{u'x', char16_t(0xD800), u'y'};
    EXPECT_EQ(ToUtf8(lone), "x\xef\xbf\xbdy");
}
