#include "glcore/OpenGLFonts.h"

#include <GL/gl.h>

#include <array>
#include <atomic>
#include <mutex>
#include <vector>

#include "platform/GlyphRaster.h"

namespace StraleLib {

namespace {

// Windows-1252 bytes 0x80..0x9F; 0 where the code page leaves a byte unused.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

struct FontSpec {
    unsigned base;
    int height;
    int weight;
};
constexpr std::array<FontSpec, 2> kFonts = {
    {{OpenGLFonts::kFontABase, 18, 700}, {OpenGLFonts::kFontBBase, 22, 600}}};

// The rasterised glyphs, made once per process.
struct FontCache {
    std::once_flag once;
    bool ok = false;
    std::string error;
    std::array<platform::GlyphFont, 2> fonts;
};

FontCache& Cache() {
    static FontCache cache;
    return cache;
}

std::atomic<bool> g_built{false};
std::mutex g_errorMutex;
std::string g_lastError;

void SetLastError(std::string text) {
    std::lock_guard<std::mutex> lock(g_errorMutex);
    g_lastError = std::move(text);
}

const FontCache& RasterisedFonts() {
    FontCache& cache = Cache();
    std::call_once(cache.once, [&cache] {
        std::vector<char32_t> codes(OpenGLFonts::kGlyphCount);
        for (int b = 0; b < OpenGLFonts::kGlyphCount; ++b) {
            codes[b] = OpenGLFonts::ByteToCodePoint(static_cast<unsigned char>(b));
        }
        cache.ok = true;
        for (std::size_t i = 0; i < kFonts.size(); ++i) {
            platform::GlyphFontRequest request{"Arial", kFonts[i].height, kFonts[i].weight};
            std::string error;
            if (!platform::RasteriseGlyphs(request, codes, cache.fonts[i], &error)) {
                cache.ok = false;
                cache.error = error;
            }
        }
    });
    return cache;
}

// glBitmap wants rows bottom-up; the glyph holds them top-down.
void CompileGlyph(const platform::GlyphBitmap& glyph) {
    const int rowBytes = (glyph.width + 7) / 8;
    std::vector<GLubyte> flipped(glyph.bits.size());
    for (int row = 0; row < glyph.rows; ++row) {
        const auto* src = glyph.bits.data() + static_cast<std::size_t>(row) * rowBytes;
        std::copy(src, src + rowBytes,
                  flipped.begin() + static_cast<std::ptrdiff_t>(glyph.rows - 1 - row) * rowBytes);
    }
    const GLfloat xorig = static_cast<GLfloat>(-glyph.left);
    const GLfloat yorig = static_cast<GLfloat>(glyph.rows - glyph.top);
    glBitmap(glyph.width, glyph.rows, xorig, yorig, static_cast<GLfloat>(glyph.advance), 0.0f,
             flipped.empty() ? nullptr : flipped.data());
}

bool CompileFont(const platform::GlyphFont& font, unsigned base) {
    if (font.glyphs.size() != static_cast<std::size_t>(OpenGLFonts::kGlyphCount)) {
        return false;
    }
    for (int b = 0; b < OpenGLFonts::kGlyphCount; ++b) {
        glNewList(base + static_cast<unsigned>(b), GL_COMPILE);
        CompileGlyph(font.glyphs[b]);
        glEndList();
    }
    return glIsList(base) == GL_TRUE;
}

}  // namespace

char32_t OpenGLFonts::ByteToCodePoint(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) {
        const char16_t c = kHighControls[byte - 0x80];
        return c != 0 ? c : byte;
    }
    return byte;
}

std::string OpenGLFonts::ToFontBytes(std::u16string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            ++i;  // a pair is one character, and no code-page character
            bytes.push_back('?');
            continue;
        }
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            bytes.push_back(static_cast<char>(c));
            continue;
        }
        char out = '?';
        for (std::size_t k = 0; k < kHighControls.size(); ++k) {
            if (kHighControls[k] == c) {
                out = static_cast<char>(0x80 + k);
                break;
            }
        }
        bytes.push_back(out);
    }
    return bytes;
}

void OpenGLFonts::PrepareGlyphs() {
    RasterisedFonts();
}

bool OpenGLFonts::BuildFontLists() {
    const FontCache& cache = RasterisedFonts();
    if (!cache.ok) {
        SetLastError(cache.error);
        return false;
    }
    // Pixel data of glBitmap is unpacked when the list is compiled.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
    bool ok = true;
    for (std::size_t i = 0; i < kFonts.size(); ++i) {
        ok = CompileFont(cache.fonts[i], kFonts[i].base) && ok;
    }
    glPopClientAttrib();
    if (!ok) {
        SetLastError("the font display lists could not be compiled");
        return false;
    }
    SetLastError({});
    g_built.store(true);
    return true;
}

void OpenGLFonts::DeleteFontLists() {
    glDeleteLists(kFontABase, kGlyphCount);
    glDeleteLists(kFontBBase, kGlyphCount);
    g_built.store(false);
}

bool OpenGLFonts::FontListsBuilt() {
    return g_built.load();
}

unsigned OpenGLFonts::ListBase(int font) {
    return font == 1 ? kFontBBase : kFontABase;
}

std::string OpenGLFonts::LastError() {
    std::lock_guard<std::mutex> lock(g_errorMutex);
    return g_lastError;
}

}  // namespace StraleLib
