#include "measure/Units.h"

#include <cmath>
#include <cstdio>

#include "host/Resources.h"
#include "platform/Text.h"
#include "resources/StringTable.h"

namespace {

struct UnitRow {
    int code;
    const char16_t* longName;
    int labelId;
    double toMeters;
    double perMeter;
};

constexpr UnitRow kUnits[] = {
    {measure::Units::kMeters, u"meters", 145, 1.0, 1.0},
    {measure::Units::kCentimeters, u"centimeters", 146, 0.01, 100.0},
    {measure::Units::kMillimeters, u"millimeters", 147, 0.001, 1000.0},
    {measure::Units::kFeet, u"feet", 148, 0.3048, 3.2808398950131235},
    {measure::Units::kInches, u"inches", 149, 0.0254, 39.37007874015748},
    {measure::Units::kSurveyFeet, u"feet(US-Survey)", 150, 0.3048006096012192, 3.2808333333333333},
    {measure::Units::kSurveyInches, u"inches(US-Survey)", 151, 0.0254000508001016, 39.37},
    {measure::Units::kYards, u"yards", 152, 0.9144018288036575, 1.093611111111111},
};

const UnitRow* Find(int code) {
    for (const UnitRow& row : kUnits) {
        if (row.code == code) {
            return &row;
        }
    }
    return nullptr;
}

constexpr int kMaxDecimals = 20;
constexpr std::size_t kTextBuffer = 256;

}  // namespace

bool measure::Units::IsKnown(int code) {
    return Find(code) != nullptr;
}

double measure::Units::UnitToMeters(int code) {
    const UnitRow* row = Find(code);
    return row != nullptr ? row->toMeters : 1.0;
}

double measure::Units::MetersToUnit(int code) {
    const UnitRow* row = Find(code);
    return row != nullptr ? row->perMeter : 1.0;
}

std::u16string measure::Units::UnitLabel(int code, const host::Resources* resources) {
    std::u16string label;
    UnitLabel(code, label, resources);
    return label;
}

void measure::Units::UnitLabel(int code, std::u16string& label, const host::Resources* resources) {
    const UnitRow* row = Find(code);
    if (row == nullptr) {
        return;
    }
    if (resources != nullptr) {
        label = resources->LoadStringWithFallback(row->labelId);
    } else {
        label = resources::BuiltInString(row->labelId).value_or(u"");
    }
}

std::u16string_view measure::Units::LongName(int code) {
    const UnitRow* row = Find(code);
    return row != nullptr ? std::u16string_view(row->longName) : std::u16string_view();
}

bool measure::Units::FromLongName(std::u16string_view name, int& code, std::u16string& label,
                                  const host::Resources* resources) {
    for (const UnitRow& row : kUnits) {
        if (name == row.longName) {
            code = row.code;
            UnitLabel(row.code, label, resources);
            return true;
        }
    }
    return false;
}

bool measure::Units::FromMetadataName(std::u16string_view name, int& code) {
    struct Name {
        const char16_t* text;
        int code;
    };
    static constexpr Name kNames[] = {
        {u"m", kMeters},
        {u"meters", kMeters},
        {u"cm", kCentimeters},
        {u"centimeters", kCentimeters},
        {u"mm", kMillimeters},
        {u"millimeters", kMillimeters},
        {u"feet", kFeet},
        {u"architectural", kFeet},
        {u"inches", kInches},
        {u"feet(US-Survey)", kSurveyFeet},
        {u"inches(US-Survey)", kSurveyInches},
        {u"yard", kYards},
        {u"yards", kYards},
    };
    for (const Name& n : kNames) {
        if (name == n.text) {
            code = n.code;
            return true;
        }
    }
    return false;
}

double measure::Units::Resolution(double maxPointError) {
    return (maxPointError + 0.006) / 10.0;
}

int measure::Units::Decimals(double resolutionMeters, int code) {
    const double x = -std::log10(resolutionMeters * MetersToUnit(code));
    if (std::isnan(x) || x > kMaxDecimals) {
        return kMaxDecimals;
    }
    if (x < 0.0) {
        return 0;
    }
    return static_cast<int>(std::ceil(x));
}

std::u16string measure::Units::FormatLength(double valueMeters, double resolutionMeters, int code) {
    char format[kTextBuffer];
    std::snprintf(format, sizeof format, "%%.%df", Decimals(resolutionMeters, code));
    char text[kTextBuffer];
    platform::FormatInCLocale(text, sizeof text, format, valueMeters * MetersToUnit(code));
    return platform::FromUtf8(text);
}

int measure::Units::ShapeDefaultUnit(int shapeType, int defaultUnit) {
    if (shapeType == -1 || shapeType == kPositionShape || shapeType == kDistanceShape) {
        return defaultUnit;
    }
    return 0;
}
