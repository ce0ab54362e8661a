#pragma once
// The drawing defaults: the look of new 2D drawings (pen, fill, selection box,
// handles, text) and the unit settings of measurements. The control owns one
// instance, read from the per-user "Defaults.xml" when the control is built
// and written back (by the control, with the XML writer) when it goes away.
// Problems met while reading are kept in the object's own message list.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "station/SX_ErrorLogger.h"

namespace host {
class Resources;
}  // namespace host
namespace platform {
class XmlDocument;
}  // namespace platform

// The system's own XML namespace, the "sx" prefix of its files.
inline constexpr std::u16string_view kSxNamespace = u"urn:panora:sx";

// Unit settings of one section (the text section's, or the measures').
struct SX_UnitSettings {
    std::int32_t frmtDec = 3;
    std::u16string frmtUnit = u"m";
    int unit = 0;
    int internalUnit = 0;
};

class SX_Defaults : public SX_ErrorLogger {
  public:
    static constexpr std::uint32_t Argb(std::uint32_t a, std::uint32_t r, std::uint32_t g,
                                        std::uint32_t b) {
        return (a << 24) | (r << 16) | (g << 8) | b;
    }

    // Drawing base section.
    std::uint32_t penColor = Argb(240, 255, 0, 255);
    float penWidth = 2.0f;
    std::uint32_t brushColor = Argb(32, 240, 240, 255);
    std::uint32_t bboxPenColor = Argb(48, 144, 144, 144);
    float bboxPenWidth = 3.0f;
    std::uint32_t handlePenColor = Argb(128, 0, 0, 0);
    float handlePenWidth = 1.0f;
    float selHandlePenWidth = 1.0f;
    std::uint32_t handleBrushColor = Argb(255, 255, 255, 255);
    // Drawing text section.
    std::uint32_t textBrushColor = Argb(255, 255, 2, 2);
    std::uint32_t textShadowBrushColor = Argb(128, 2, 2, 2);
    double fontSize = 12.0;
    std::u16string fontName = u"Tahoma";
    SX_UnitSettings text;  // text.unit is the control's default unit
    // Measures section, read by new 3D marks.
    SX_UnitSettings measures;

    // Built-in values; nothing read.
    SX_Defaults() = default;

    // Reads `path` over the current values. A file that does not parse (a
    // missing one too) logs one XML error and changes nothing; missing
    // sections and elements are logged and keep their values. True when the
    // file parsed (the loaded flag).
    bool Load(std::u16string_view path, const host::Resources& resources);
    bool Loaded() const { return loaded_; }
    const std::u16string& FilePath() const { return filePath_; }

    // Colour texts of the files: "R G B A", each 0..255. Reading keeps the
    // low 8 bits of each number; a missing number counts as 0 for red, green
    // and blue and 255 for alpha. Nullopt when no number is there at all.
    static std::u16string ColorText(std::uint32_t argb);
    static std::optional<std::uint32_t> ParseColorText(std::u16string_view text);

    // The automation members' view of the defaults.
    // "#rrggbb" in lower-case hex; alpha is not shown.
    static std::u16string HexColor(std::uint32_t argb);
    // "#rrggbb" -> opaque colour; nullopt for a text that does not parse.
    static std::optional<std::uint32_t> ParseHexColor(std::u16string_view text);
    // Fill transparency in percent, truncated.
    int FillTransparency() const;
    // Brush alpha = low byte of (int)((100 - percent) / 100 * 255).
    void SetFillTransparency(int percent);
    // fontSize for shape type -1, 13, 14 or 15; -1 for any other type.
    double FontSizeFor(int shapeType) const;
    // Sizes of 0 or less are ignored.
    void SetFontSize(double size);

  private:
    bool ReadSection(const platform::XmlDocument& doc, std::u16string_view section,
                     const host::Resources& resources);

    bool loaded_ = false;
    std::u16string filePath_;
};
