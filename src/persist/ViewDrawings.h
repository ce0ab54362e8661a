#pragma once
// The drawings of a view's sx:Marks element, created by element name:
// "sx:ShapeMark" a shape, "sx:TextMark" a text, "sx:PositionMark" a 2D
// position measure and "sx:DistanceMark" a 2D distance measure (names
// compared exactly). Each drawing then reads its own element.
#include <memory>
#include <string_view>

#include "markup2d/SX_DrawingBase.h"

namespace persist {

class ViewsHost;

// The drawing type code of the element (SX_DrawingBase::k*Type); 0 for an
// element that is no drawing. A shape's own kind comes from its element.
int DrawingTypeOf(std::u16string_view elementName);

// An empty drawing of the element's class with the host's defaults and
// display unit, the measures with the station's internal unit; null for an
// element that is no drawing.
std::unique_ptr<SX_DrawingBase> MakeDrawing(std::u16string_view elementName, ViewsHost& host);

}  // namespace persist
