#include <gtest/gtest.h>

#include <string>

#include "glcore/StraleError.h"

using StraleLib::StraleError;

// (A translated fault through the control: the load fault test.)
TEST(StraleError, TableEndsAndTextsCutTo4093Characters) {
    EXPECT_EQ(StraleError::NameOfCode(0xC0000095u), u"EXCEPTION_INT_OVERFLOW");
    EXPECT_EQ(StraleError::NameOfCode(0xC00000FDu), u"EXCEPTION_UNKNOWN");
    EXPECT_EQ(StraleError::NameOfCode(0xC0000096u), u"EXCEPTION_UNKNOWN");
    const std::u16string name(5000, u'n');
    const std::u16string detail = std::u16string(4093, u'd') + u"XY";
    const StraleError e(0x1234u, nullptr, name, detail);
    EXPECT_EQ(e.Name(), name.substr(0, 4093));
    EXPECT_EQ(e.Detail(), std::u16string(4093, u'd'));
}
