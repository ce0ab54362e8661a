#pragma once
// Texts the viewer shows: lengths with three decimals and the short label of
// their unit code (the codes of the automation interface: 0 m, 1 cm, 2 mm,
// 10 ft, 20 in, 30 and 40 the US-survey foot and inch, 50 yd).

#include <QString>
#include <string>
#include <string_view>

namespace viewer {

// UTF-16 texts of the control to and from Qt.
QString ToQt(std::u16string_view text);
std::u16string FromQt(const QString& text);

// The short label of a unit code; "" for an unknown code.
QString UnitLabel(int unit);
// "1.235 m"; the bare number for an unknown unit.
QString FormatLength(double value, int unit);
// "1.235, -2.000, 0.500 m".
QString FormatPoint(double x, double y, double z, int unit);

}  // namespace viewer
