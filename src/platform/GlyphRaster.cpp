#include "platform/GlyphRaster.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

namespace platform {

namespace {

void SetError(std::string* error, std::string text) {
    if (error != nullptr) {
        *error = std::move(text);
    }
}

// Faces the system names that are fixed-pitch: they fall back to fontconfig's
// monospace alias where no font of that name is installed; everything else to
// its sans-serif alias.
bool IsMonospaceFamily(const std::string& family) {
    std::string lower = family;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower == "lucida console" || lower == "courier new" || lower == "courier" ||
           lower == "consolas" || lower == "monospace";
}

struct MatchedFont {
    std::string file;
    int index = 0;
    bool embolden = false;
};

// The configuration is loaded once and kept for the process; matching names it
// explicitly rather than relying on fontconfig's implicit current one.
FcConfig* Configuration() {
    static FcConfig* const config = FcInitLoadConfigAndFonts();
    return config;
}

bool MatchFont(const GlyphFontRequest& request, MatchedFont& out, std::string* error) {
    FcConfig* config = Configuration();
    if (config == nullptr) {
        SetError(error, "fontconfig could not be initialised");
        return false;
    }
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr) {
        SetError(error, "out of memory");
        return false;
    }
    FcPatternAddString(pattern, FC_FAMILY,
                       reinterpret_cast<const FcChar8*>(request.family.c_str()));
    const char* generic = IsMonospaceFamily(request.family) ? "monospace" : "sans-serif";
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(generic));
    FcPatternAddInteger(pattern, FC_WEIGHT,
                        FcWeightFromOpenType(std::clamp(request.weight, 1, 1000)));
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcPatternAddDouble(pattern, FC_PIXEL_SIZE, request.cellHeight);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr) {
        SetError(error, "no font matches \"" + request.family + "\"");
        return false;
    }
    FcChar8* file = nullptr;
    bool ok = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file != nullptr;
    if (ok) {
        out.file = reinterpret_cast<const char*>(file);
        int index = 0;
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) {
            out.index = index;
        }
        FcBool embolden = FcFalse;
        if (FcPatternGetBool(match, FC_EMBOLDEN, 0, &embolden) == FcResultMatch) {
            out.embolden = embolden == FcTrue;
        }
    } else {
        SetError(error, "the font matched for \"" + request.family + "\" has no file");
    }
    FcPatternDestroy(match);
    return ok;
}

// A positive cell height is the font's ascent plus descent, as the Windows
// metrics of the OS/2 table give it (the hhea metrics where there is none).
bool SetCellHeight(FT_Face face, int cellHeight) {
    if (!FT_IS_SCALABLE(face)) {
        return face->num_fixed_sizes > 0 && FT_Select_Size(face, 0) == 0;
    }
    double cellUnits = static_cast<double>(face->ascender) - face->descender;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 != nullptr && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        cellUnits = static_cast<double>(os2->usWinAscent) + os2->usWinDescent;
    }
    if (cellUnits <= 0.0 || face->units_per_EM == 0) {
        return FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(cellHeight)) == 0;
    }
    const double ppem = cellHeight * static_cast<double>(face->units_per_EM) / cellUnits;
    return FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(ppem * 64.0)), 72, 72) ==
           0;
}

bool IsControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

GlyphBitmap Rasterise(FT_Face face, char32_t codePoint, bool embolden) {
    GlyphBitmap glyph;
    if (IsControl(codePoint)) {
        return glyph;
    }
    const FT_UInt index = FT_Get_Char_Index(face, codePoint);  // 0: the missing glyph
    if (FT_Load_Glyph(face, index, FT_LOAD_TARGET_MONO) != 0) {
        return glyph;
    }
    FT_GlyphSlot slot = face->glyph;
    if (embolden) {
        FT_GlyphSlot_Embolden(slot);
    }
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) {
        return glyph;
    }
    glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_MONO || bitmap.width == 0 || bitmap.rows == 0) {
        return glyph;
    }
    glyph.width = static_cast<int>(bitmap.width);
    glyph.rows = static_cast<int>(bitmap.rows);
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    const std::size_t rowBytes = (bitmap.width + 7) / 8;
    glyph.bits.resize(rowBytes * bitmap.rows);
    for (unsigned row = 0; row < bitmap.rows; ++row) {
        const unsigned char* src = bitmap.pitch >= 0
                                       ? bitmap.buffer + row * bitmap.pitch
                                       : bitmap.buffer + (bitmap.rows - 1 - row) * -bitmap.pitch;
        std::memcpy(glyph.bits.data() + row * rowBytes, src, rowBytes);
    }
    return glyph;
}

}  // namespace

bool RasteriseGlyphs(const GlyphFontRequest& request, const std::vector<char32_t>& codePoints,
                     GlyphFont& out, std::string* error) {
    out = GlyphFont{};
    if (request.cellHeight <= 0 || request.cellHeight > 1000) {
        SetError(error, "bad font height " + std::to_string(request.cellHeight));
        return false;
    }
    MatchedFont matched;
    if (!MatchFont(request, matched, error)) {
        return false;
    }
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        SetError(error, "FreeType could not be initialised");
        return false;
    }
    FT_Face face = nullptr;
    bool ok = FT_New_Face(library, matched.file.c_str(), matched.index, &face) == 0;
    if (!ok) {
        SetError(error, "cannot read font file " + matched.file);
    } else if (!SetCellHeight(face, request.cellHeight)) {
        SetError(error, "cannot size font file " + matched.file);
        ok = false;
    } else {
        FT_Select_Charmap(face, FT_ENCODING_UNICODE);
        out.file = matched.file;
        out.glyphs.reserve(codePoints.size());
        for (char32_t c : codePoints) {
            out.glyphs.push_back(Rasterise(face, c, matched.embolden));
        }
    }
    if (face != nullptr) {
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return ok;
}

}  // namespace platform
