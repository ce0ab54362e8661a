#pragma once
// The length units a generated station can store its points and centre in:
// the unit code, the long name written into the description file and the
// number of units per meter.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sitegen {

struct LengthUnit {
    int code = 0;
    std::string name;  // long name, as written to the description file
    double unitsPerMeter = 1.0;
};

// Finds a unit by any of the names a description file accepts ("m",
// "meters", "cm", ..., "architectural", "yard"); exact, case-sensitive.
std::optional<LengthUnit> FindLengthUnit(std::string_view name);

// Every accepted name, in table order (for help texts).
const std::vector<std::string>& LengthUnitNames();

}  // namespace sitegen
