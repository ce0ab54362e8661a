#include "control/ErrorPage.h"

#include <map>
#include <mutex>

#include "host/Resources.h"
#include "platform/GlyphRaster.h"
#include "resources/StringTable.h"
#include "station/SX_ErrorLogger.h"

namespace control {

namespace {

// Pixels from a line's top to its baseline in the page's font.
constexpr int kAscent = 9;

// The page font's glyphs, rasterised once per process as characters first
// appear; a font that cannot be had leaves the glyphs empty.
const platform::GlyphBitmap& Glyph(char32_t c) {
    static std::mutex lock;
    static std::map<char32_t, platform::GlyphBitmap> glyphs;
    std::lock_guard<std::mutex> guard(lock);
    auto it = glyphs.find(c);
    if (it == glyphs.end()) {
        platform::GlyphFont font;
        platform::RasteriseGlyphs({"Lucida Console", kErrorPageLineHeight, 400}, {c}, font);
        it =
            glyphs.emplace(c, font.glyphs.empty() ? platform::GlyphBitmap{} : font.glyphs[0]).first;
    }
    return it->second;
}

std::vector<std::u32string> SplitLines(const std::vector<std::u16string>& lines) {
    std::vector<std::u32string> out(1);
    for (const std::u16string& line : lines) {
        for (std::size_t i = 0; i < line.size(); ++i) {
            char32_t c = line[i];
            if (c >= 0xD800 && c < 0xDC00 && i + 1 < line.size() && line[i + 1] >= 0xDC00 &&
                line[i + 1] < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (line[i + 1] - 0xDC00);
                ++i;
            }
            if (c == U'\n') {
                out.emplace_back();
            } else if (c != U'\r') {
                out.back() += c;
            }
        }
        out.emplace_back();
    }
    out.pop_back();  // after the last line's "\n"
    return out;
}

void SetBlack(platform::RgbImage& image, int x, int y) {
    if (x >= 0 && y >= 0 && x < image.width && y < image.height) {
        const std::size_t at = (static_cast<std::size_t>(y) * image.width + x) * 3;
        image.rgb[at] = image.rgb[at + 1] = image.rgb[at + 2] = 0;
    }
}

}  // namespace

std::vector<std::u16string> ErrorPageLines(const host::Resources& resources, bool systemFit,
                                           std::initializer_list<const SX_ErrorLogger*> lists) {
    std::vector<std::u16string> lines;
    lines.push_back(resources.Text(u"sx:Resource/sx:CopyRight", resources::IDS_COPYRIGHT));
    lines.push_back(resources.Text(u"sx:Resource/sx:Errors", resources::IDS_ERRORS));
    if (!systemFit) {
        lines.push_back(
            resources.Text(u"sx:Resource/sx:SystemNotMeet", resources::IDS_SYSTEM_NOT_MEET));
        return lines;
    }
    for (const SX_ErrorLogger* list : lists) {
        if (list->HasError()) {
            for (std::u16string& message : list->Messages()) {
                lines.push_back(std::move(message));
            }
        }
    }
    return lines;
}

std::u16string JoinLines(const std::vector<std::u16string>& lines) {
    std::u16string text;
    for (const std::u16string& line : lines) {
        text += line;
        text += u'\n';
    }
    return text;
}

platform::RgbImage DrawErrorPage(const std::vector<std::u16string>& lines, int width, int height,
                                 const platform::RgbImage* view, int viewX, int viewY) {
    platform::RgbImage page;
    if (width <= 0 || height <= 0) {
        return page;
    }
    page.width = width;
    page.height = height;
    page.rgb.assign(static_cast<std::size_t>(width) * height * 3, 255);
    const std::vector<std::u32string> text = SplitLines(lines);
    const int count = static_cast<int>(text.size());
    for (int i = 0; i < count; ++i) {
        const int baseline =
            height - kErrorPageInset - (count - i) * kErrorPageLineHeight + kAscent;
        int pen = kErrorPageInset;
        for (const char32_t c : text[i]) {
            const platform::GlyphBitmap& g = Glyph(c);
            for (int row = 0; row < g.rows; ++row) {
                for (int x = 0; x < g.width; ++x) {
                    if (g.Bit(x, row)) {
                        SetBlack(page, pen + g.left + x, baseline - g.top + row);
                    }
                }
            }
            pen += g.advance;
        }
    }
    if (view != nullptr && view->width > 0 && view->height > 0) {
        for (int y = 0; y < view->height; ++y) {
            for (int x = 0; x < view->width; ++x) {
                const int px = viewX + x;
                const int py = viewY + y;
                if (px >= 0 && py >= 0 && px < width && py < height) {
                    const std::size_t from = (static_cast<std::size_t>(y) * view->width + x) * 3;
                    const std::size_t to = (static_cast<std::size_t>(py) * width + px) * 3;
                    for (int k = 0; k < 3; ++k) {
                        page.rgb[to + k] = view->rgb[from + k];
                    }
                }
            }
        }
    }
    return page;
}

}  // namespace control
