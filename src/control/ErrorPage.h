#pragma once
// The control's error page: shown instead of the view when the system is not
// fit, the station reported errors or the load failed. Its lines: the
// product notice, the heading, then the messages of each error list in turn
// (or, on an unfit system, the not-fit text).
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/Image.h"

class SX_ErrorLogger;
namespace host {
class Resources;
}  // namespace host

namespace control {

std::vector<std::u16string> ErrorPageLines(const host::Resources& resources, bool systemFit,
                                           std::initializer_list<const SX_ErrorLogger*> lists);
// The lines, each followed by "\n".
std::u16string JoinLines(const std::vector<std::u16string>& lines);

// Where the page's text sits: inside the control's area inset by this many
// pixels on every side, left-aligned, its last line at the bottom.
constexpr int kErrorPageInset = 10;
// Lucida Console at 8 points (96 dpi): cells of 11 pixels, one per line.
constexpr int kErrorPageLineHeight = 11;

// The page as the control draws it over its area of width x height: white,
// the lines (a line holding "\n" is several) in black Lucida Console 8 pt,
// nothing clipped but the area itself; then the view's frame, when there is
// one, at (viewX, viewY) on top, as a child window covers its parent.
platform::RgbImage DrawErrorPage(const std::vector<std::u16string>& lines, int width, int height,
                                 const platform::RgbImage* view, int viewX, int viewY);

}  // namespace control
