#pragma once
// The length units every shown length passes through: eight sparse integer
// codes, their factors to and from meters, their long names (files) and short
// labels (screen), and the formatting of a length with as many decimals as
// the station's accuracy warrants.
//
//   code  long name            label             m per unit          units per m
//      0  meters               m                 1.0                 1.0
//      1  centimeters          cm                0.01                100.0
//      2  millimeters          mm                0.001               1000.0
//     10  feet                 ft                0.3048              3.2808398950131235
//     20  inches               ''                0.0254              39.37007874015748
//     30  feet(US-Survey)      ft (US-Survey)    0.3048006096012192  3.2808333333333333
//     40  inches(US-Survey)    in (US-Survey)    0.0254000508001016  39.37
//     50  yards                yd                0.9144018288036575  1.093611111111111
//
// The factors are the listed constants, not computed from each other (the
// yard is the survey yard, and its two factors do not multiply to exactly 1).
// Any other code has the factor 1.0 both ways, no long name and the empty
// label. -1 is not a unit: callers taking a unit argument read it as "the
// default unit". Labels are string-table texts 145..152, so a translated
// table rewords them; the long names are fixed.

#include <string>
#include <string_view>

namespace host {
class Resources;
}  // namespace host

namespace measure {

class Units {
  public:
    static constexpr int kMeters = 0;
    static constexpr int kCentimeters = 1;
    static constexpr int kMillimeters = 2;
    static constexpr int kFeet = 10;
    static constexpr int kInches = 20;
    static constexpr int kSurveyFeet = 30;
    static constexpr int kSurveyInches = 40;
    static constexpr int kYards = 50;
    // As a unit argument: use the default unit.
    static constexpr int kDefaultUnit = -1;
    // Shape types whose default unit is the default unit (the position and
    // distance drawings; -1 for "any").
    static constexpr int kPositionShape = 14;
    static constexpr int kDistanceShape = 15;

    static bool IsKnown(int code);
    static double UnitToMeters(int code);
    static double MetersToUnit(int code);

    // The short label; "" for an unknown code. With resources, the current
    // string source answers, else the control's own table.
    static std::u16string UnitLabel(int code, const host::Resources* resources = nullptr);
    // Assigns the short label to `label`; an unknown code leaves it as it was.
    static void UnitLabel(int code, std::u16string& label,
                          const host::Resources* resources = nullptr);

    // The long name written to files; "" for an unknown code.
    static std::u16string_view LongName(int code);
    // A `Unit` attribute's text: exact, case-sensitive match against the long
    // names in table order. On a match sets the code and its label and
    // returns true; otherwise both stay.
    static bool FromLongName(std::u16string_view name, int& code, std::u16string& label,
                             const host::Resources* resources = nullptr);
    // A distance unit of the station metadata: "m"/"meters", "cm"/
    // "centimeters", "mm"/"millimeters", "feet"/"architectural", "inches",
    // "feet(US-Survey)", "inches(US-Survey)", "yard"/"yards". False (code
    // unchanged) for any other text.
    static bool FromMetadataName(std::u16string_view name, int& code);

    // The resolution every caller formats with: (maxPointError + 0.006) / 10
    // meters, so never below 0.0006 m for a sane error.
    static double Resolution(double maxPointError);
    // Decimals for a resolution in `code`: ceil(-log10(resolution x units
    // per meter)), at least 0. A resolution that is not positive or not a
    // number gives the most decimals, 20.
    static int Decimals(double resolutionMeters, int code);
    // valueMeters in `code` with Decimals(...) decimals ("%.Nf"), cut to
    // 255 characters; no label.
    static std::u16string FormatLength(double valueMeters, double resolutionMeters, int code);

    // The default unit of a shape type: `defaultUnit` for -1, 14 and 15,
    // 0 for every other type.
    static int ShapeDefaultUnit(int shapeType, int defaultUnit);
};

}  // namespace measure
