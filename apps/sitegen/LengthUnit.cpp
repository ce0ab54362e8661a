#include "sitegen/LengthUnit.h"

namespace sitegen {

namespace {

struct UnitRow {
    const char* alias;
    int code;
    const char* name;
    double unitsPerMeter;
};

// The factors are the decimal constants the viewer uses, so that a length
// converted here and back there lands on the same number.
constexpr UnitRow kUnits[] = {
    {"m", 0, "meters", 1.0},
    {"meters", 0, "meters", 1.0},
    {"cm", 1, "centimeters", 100.0},
    {"centimeters", 1, "centimeters", 100.0},
    {"mm", 2, "millimeters", 1000.0},
    {"millimeters", 2, "millimeters", 1000.0},
    {"feet", 10, "feet", 3.2808398950131235},
    {"architectural", 10, "feet", 3.2808398950131235},
    {"inches", 20, "inches", 39.37007874015748},
    {"feet(US-Survey)", 30, "feet(US-Survey)", 3.2808333333333333},
    {"inches(US-Survey)", 40, "inches(US-Survey)", 39.37},
    {"yard", 50, "yards", 1.093611111111111},
    {"yards", 50, "yards", 1.093611111111111},
};

}  // namespace

std::optional<LengthUnit> FindLengthUnit(std::string_view name) {
    for (const auto& row : kUnits) {
        if (name == row.alias) {
            return LengthUnit{row.code, row.name, row.unitsPerMeter};
        }
    }
    return std::nullopt;
}

const std::vector<std::string>& LengthUnitNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> out;
        for (const auto& row : kUnits) {
            out.emplace_back(row.alias);
        }
        return out;
    }();
    return names;
}

}  // namespace sitegen
