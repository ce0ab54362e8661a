#include "viewer/ViewerText.h"

namespace viewer {

QString ToQt(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::u16string FromQt(const QString& text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                          static_cast<std::size_t>(text.size()));
}

namespace {

QString Number(double value) {
    // -0.0004 shows as "0.000", not "-0.000".
    QString text = QString::number(value, 'f', 3);
    if (text == QLatin1String("-0.000")) {
        text.remove(0, 1);
    }
    return text;
}

QString WithUnit(const QString& text, int unit) {
    const QString label = UnitLabel(unit);
    return label.isEmpty() ? text : text + QLatin1Char(' ') + label;
}

}  // namespace

QString UnitLabel(int unit) {
    switch (unit) {
        case 0:
            return QStringLiteral("m");
        case 1:
            return QStringLiteral("cm");
        case 2:
            return QStringLiteral("mm");
        case 10:
            return QStringLiteral("ft");
        case 20:
            return QStringLiteral("in");
        case 30:
            return QStringLiteral("ft (US-Survey)");
        case 40:
            return QStringLiteral("in (US-Survey)");
        case 50:
            return QStringLiteral("yd");
        default:
            return QString();
    }
}

QString FormatLength(double value, int unit) {
    return WithUnit(Number(value), unit);
}

QString FormatPoint(double x, double y, double z, int unit) {
    return WithUnit(Number(x) + QStringLiteral(", ") + Number(y) + QStringLiteral(", ") + Number(z),
                    unit);
}

}  // namespace viewer
