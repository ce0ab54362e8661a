#pragma once
// Glyph bitmaps for the OpenGL bitmap fonts. A font is asked for by family
// name, cell height and weight, the way a font is created for a window; the
// font file is the one fontconfig matches ("Arial" finds a metric-compatible
// sans, "Lucida Console" a monospace) and FreeType rasterises one 1-bit bitmap
// per code point. This is the only file that includes FreeType or fontconfig.

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// One glyph, placed relative to the pen on the baseline (y up).
struct GlyphBitmap {
    int width = 0;    // pixels
    int rows = 0;     // pixels
    int left = 0;     // pen to the bitmap's left edge
    int top = 0;      // baseline to the bitmap's top row
    int advance = 0;  // pen advance in whole pixels
    // 1 bit per pixel, rows top-down, most significant bit first,
    // (width + 7) / 8 bytes per row.
    std::vector<std::uint8_t> bits;

    bool Bit(int x, int row) const {
        return (bits[static_cast<std::size_t>(row) * ((width + 7) / 8) + x / 8] >> (7 - x % 8)) & 1;
    }
};

struct GlyphFontRequest {
    std::string family;  // e.g. "Arial"
    int cellHeight = 0;  // ascent + descent in pixels
    int weight = 400;    // 100..900, 400 regular, 700 bold
};

struct GlyphFont {
    std::string file;  // the font file fontconfig matched
    std::vector<GlyphBitmap> glyphs;
};

// Rasterises one glyph per code point (in order). A code point the font has
// no glyph for gets the font's missing-glyph shape; a control character
// (below U+0020, U+007F to U+009F) an empty glyph with no advance. False, with
// a reason, when no font matches or the font cannot be read.
bool RasteriseGlyphs(const GlyphFontRequest& request, const std::vector<char32_t>& codePoints,
                     GlyphFont& out, std::string* error = nullptr);

}  // namespace platform
