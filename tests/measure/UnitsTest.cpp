// The unit service: listed factors kept as given, unknown codes, labels and
// names, and the decimals that follow from the resolution.
#include <gtest/gtest.h>

#include "host/Resources.h"
#include "measure/Units.h"
#include "platform/Text.h"
#include "support/CommaLocale.h"
#include "support/TempDir.h"

using U = measure::Units;

TEST(UnitsTest, UnknownCodesNamesAndRewordedLabels) {
    EXPECT_NE(U::UnitToMeters(50) * U::MetersToUnit(50), 1.0);  // survey yard, listed factors
    for (int unknown : {3, 51}) {
        EXPECT_EQ(U::UnitToMeters(unknown), 1.0) << unknown;
        EXPECT_EQ(U::MetersToUnit(unknown), 1.0) << unknown;
        EXPECT_EQ(U::UnitLabel(unknown), u"") << unknown;
        EXPECT_EQ(U::LongName(unknown), u"") << unknown;
    }

    // File names: exact and case-sensitive; a miss changes neither value.
    std::u16string label = u"ft (US-Survey)";
    int code = 2;
    EXPECT_FALSE(U::FromLongName(u"Meters", code, label));
    EXPECT_EQ(code, 2);
    EXPECT_EQ(label, u"ft (US-Survey)");
    EXPECT_TRUE(U::FromLongName(u"inches(US-Survey)", code, label));
    EXPECT_EQ(code, 40);
    EXPECT_EQ(label, u"in (US-Survey)");

    EXPECT_EQ(U::ShapeDefaultUnit(12, 20), 0);
    EXPECT_EQ(U::ShapeDefaultUnit(-1, 20), 20);

    // Labels are string-table texts: a side module rewords them.
    testsupport::TempDir dir;
    dir.Write("PanoraResources.ini", "[Strings]\n145=metre\n");
    host::Resources resources;
    ASSERT_TRUE(resources.LoadSideModule(platform::FromUtf8(dir.path().string())));
    EXPECT_EQ(U::UnitLabel(0, &resources), u"metre");
    EXPECT_EQ(U::UnitLabel(2, &resources), u"mm");
}

TEST(UnitsTest, DecimalsFollowTheResolution) {
    const testsupport::CommaLocale comma;  // numbers keep "." under any locale
    ASSERT_TRUE(comma.Active());
    const double r = U::Resolution(0.0);  // 0.0006 m
    EXPECT_EQ(U::FormatLength(1.23456, r, 0), u"1.2346");
    EXPECT_EQ(U::FormatLength(1.23456, r, 2), u"1234.6");
    EXPECT_EQ(U::FormatLength(1.0, r, 20), u"39.37");
    EXPECT_EQ(U::Decimals(r, 10), 3);
    EXPECT_EQ(U::FormatLength(1.0, r, 3), u"1.0000");  // unknown code: factor 1
    const double coarse = U::Resolution(0.01);         // 0.0016 m
    EXPECT_EQ(U::Decimals(coarse, 0), 3);
    EXPECT_EQ(U::Decimals(coarse, 1), 1);
    EXPECT_EQ(U::FormatLength(0.0126, coarse, 2), u"13");
    // Nonsense resolutions stay finite.
    EXPECT_EQ(U::Decimals(0.0, 0), 20);
    EXPECT_EQ(U::Decimals(1000.0, 0), 0);
    EXPECT_LE(U::FormatLength(1e300, 0.0, 0).size(), 255u);
}
