#include "sitegen/BlockGlyphs.h"

namespace sitegen {

namespace {

struct Glyph {
    char name;
    const char* rows[kGlyphRows];  // top row first
};

constexpr Glyph kGlyphs[] = {
    {'N', {"X...X", "XX..X", "XX..X", "X.X.X", "X..XX", "X..XX", "X...X"}},
    {'E', {"XXXXX", "X....", "X....", "XXXX.", "X....", "X....", "XXXXX"}},
    {'S', {".XXXX", "X....", "X....", ".XXX.", "....X", "....X", "XXXX."}},
    {'W', {"X...X", "X...X", "X...X", "X.X.X", "X.X.X", "XX.XX", "X...X"}},
    {'^', {"..X..", ".XXX.", "XXXXX", "..X..", "..X..", "..X..", "..X.."}},
};

}  // namespace

bool GlyphCovers(char glyph, double x, double y) {
    if (!(x >= 0.0 && x < 1.0 && y >= 0.0 && y < 1.0)) {
        return false;
    }
    const int col = static_cast<int>(x * kGlyphColumns);
    const int row = kGlyphRows - 1 - static_cast<int>(y * kGlyphRows);
    for (const auto& g : kGlyphs) {
        if (g.name == glyph) {
            return g.rows[row][col] == 'X';
        }
    }
    return false;
}

}  // namespace sitegen
