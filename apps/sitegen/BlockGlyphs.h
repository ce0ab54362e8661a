#pragma once
// Large block letters painted onto the generated room's walls and floor: a
// 5 x 7 cell font with the letters N, E, S, W and an upward arrow '^'.

namespace sitegen {

constexpr int kGlyphColumns = 5;
constexpr int kGlyphRows = 7;

// Whether the glyph covers the point (x, y) of its box, both 0..1 with x to
// the right and y upwards. Unknown glyphs and points outside cover nothing.
bool GlyphCovers(char glyph, double x, double y);

}  // namespace sitegen
