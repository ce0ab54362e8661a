#include <gtest/gtest.h>

#include <string>

#include "glcore/StraleError.h"

using StraleLib::StraleError;

TEST(StraleError, TranslatedFaultsCarryTheirCodeNameAndRecord) {
    const int record = 7;
    try {
        StraleLib::TranslateFault(0xC0000005u, &record);
        FAIL() << "returned";
    } catch (const StraleError& e) {
        EXPECT_EQ(e.Name(), u"EXCEPTION_ACCESS_VIOLATION");
        EXPECT_EQ(e.Code(), 0xC0000005u);
        EXPECT_EQ(e.ExceptionInfo(), &record);
        EXPECT_TRUE(e.Detail().empty());
    }
    // Ends of the table, and codes that look like faults but are not in it.
    EXPECT_EQ(StraleError::NameOfCode(0xC0000095u), u"EXCEPTION_INT_OVERFLOW");
    EXPECT_EQ(StraleError::NameOfCode(0xC00000FDu), u"EXCEPTION_UNKNOWN");
    EXPECT_EQ(StraleError::NameOfCode(0xC0000096u), u"EXCEPTION_UNKNOWN");
}

TEST(StraleError, TextsAreCutTo4093CharactersAndCopiesKeepEverything) {
    const std::u16string name(5000, u'n');
    const std::u16string detail = std::u16string(4093, u'd') + u"XY";
    const StraleError e(0x1234u, nullptr, name, detail);
    EXPECT_EQ(e.Name(), name.substr(0, 4093));
    EXPECT_EQ(e.Detail(), std::u16string(4093, u'd'));
    const StraleError copy(e);
    EXPECT_EQ(copy.Name(), e.Name());
    EXPECT_EQ(copy.Detail(), e.Detail());
    EXPECT_EQ(copy.Code(), 0x1234u);
}
