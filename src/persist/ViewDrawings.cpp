#include "persist/ViewDrawings.h"

#include "persist/ViewsHost.h"

namespace persist {

DrawingElement DrawingElementOf(std::u16string_view name) {
    if (name == u"sx:ShapeMark") {
        return DrawingElement::kShape;
    }
    if (name == u"sx:TextMark") {
        return DrawingElement::kText;
    }
    if (name == u"sx:PositionMark") {
        return DrawingElement::kPosition;
    }
    if (name == u"sx:DistanceMark") {
        return DrawingElement::kDistance;
    }
    return DrawingElement::kNone;
}

std::unique_ptr<SX_DrawingBase> MakeDrawing(DrawingElement element, ViewsHost& host) {
    (void)host;
    switch (element) {
        case DrawingElement::kShape:
        case DrawingElement::kText:
        case DrawingElement::kPosition:
        case DrawingElement::kDistance:
            // The shape, text and measurement classes come with the drawings.
            return nullptr;
        case DrawingElement::kNone:
            break;
    }
    return nullptr;
}

}  // namespace persist
