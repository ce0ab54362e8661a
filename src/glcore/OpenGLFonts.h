#pragma once
// The two bitmap fonts of the 3D view, compiled into OpenGL display lists.
//
// Font A (index 0): "Arial", cell height 18, weight 700, lists 1000..1254.
// Font B (index 1): "Arial", cell height 22, weight 600, lists 1300..1554.
// List base + b draws the glyph of byte b of the single-byte code page the
// view's texts are converted to (Windows-1252: ASCII, Latin-1 and the
// typographic characters of 0x80..0x9F) with glBitmap, which also advances the
// raster position.
//
// The glyph bitmaps are rasterised once per process, the first time lists are
// built, and kept; building the lists (needed once per context, since each
// context has its own lists) then only compiles them. The built flag is
// process-wide, like the fonts.

#include <string>
#include <string_view>

namespace StraleLib {

class OpenGLFonts {
  public:
    static constexpr unsigned kFontABase = 1000;
    static constexpr unsigned kFontBBase = 1300;
    static constexpr int kGlyphCount = 255;  // bytes 0..254

    // With the context current: compiles both fonts into their list ranges.
    // True only when both fonts were compiled; sets the built flag then.
    static bool BuildFontLists();
    // Rasterises both fonts (once per process, on any thread, no context
    // needed), so that BuildFontLists only compiles the lists.
    static void PrepareGlyphs();
    // With the context current: deletes both list ranges; clears the flag.
    static void DeleteFontLists();
    static bool FontListsBuilt();
    // The list base of font 0 (A) or 1 (B); any other value is font A.
    static unsigned ListBase(int font);
    // The reason the last BuildFontLists failed, empty after a success.
    static std::string LastError();

    // One byte per character: the character's Windows-1252 byte, '?' for a
    // character that code page lacks (a surrogate pair is one character).
    static std::string ToFontBytes(std::u16string_view text);
    // The character a byte stands for in the font lists.
    static char32_t ByteToCodePoint(unsigned char byte);
};

}  // namespace StraleLib
