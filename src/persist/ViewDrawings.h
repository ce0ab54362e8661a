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

enum class DrawingElement { kNone, kShape, kText, kPosition, kDistance };

DrawingElement DrawingElementOf(std::u16string_view elementName);

// An empty drawing of the element's class, ready to read the element; null
// for an element of none. The concrete drawing classes are not in yet, so
// for now every drawing element gives null too (and the reader reports it as
// a drawing that failed to read).
std::unique_ptr<SX_DrawingBase> MakeDrawing(DrawingElement element, ViewsHost& host);

}  // namespace persist
