#pragma once
// Making drawings by automation type code and by markup element name.

#include <memory>

#include "markup2d/SX_DrawingBase.h"

class SX_Defaults;

// A new drawing of type code 10 (line), 11 (circle), 12 (rectangle),
// 13 (text), 14 (position) or 15 (distance) with the look of the defaults and
// the display unit; null for any other code.
std::unique_ptr<SX_DrawingBase> SX_CreateDrawing(int typeCode, const SX_Defaults& defaults,
                                                 int displayUnit);

// Reads one element of a view's drawings ("sx:ShapeMark", "sx:TextMark",
// "sx:PositionMark", "sx:DistanceMark"); null for another element or one the
// drawing refuses. A shape without a known Type is a rectangle.
std::unique_ptr<SX_DrawingBase> SX_ReadDrawing(const platform::XmlNode& element,
                                               const SX_Defaults& defaults, int displayUnit);
