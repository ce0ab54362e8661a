#pragma once
// The unit settings a new 3D mark starts from: the measures section of the
// drawing defaults. Until the defaults file is read, MeasureDefaults()
// answers the built-in values.

#include <string>

namespace measure {

struct MeasureDefaults {
    int decimals = 3;                // FrmtDec
    std::u16string unitText = u"m";  // FrmtUnit: the label shown after values
    int unit = 0;                    // display unit
    int internalUnit = 0;
};

}  // namespace measure

// The measures section in force.
inline measure::MeasureDefaults MeasureDefaults() {
    return measure::MeasureDefaults{};
}
