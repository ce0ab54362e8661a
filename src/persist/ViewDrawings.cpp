#include "persist/ViewDrawings.h"

#include "markup2d/SX_DrawingFactory.h"
#include "persist/ViewsHost.h"

namespace persist {

int DrawingTypeOf(std::u16string_view name) {
    if (name == u"sx:ShapeMark") {
        return SX_DrawingBase::kRectangleType;
    }
    if (name == u"sx:TextMark") {
        return SX_DrawingBase::kTextType;
    }
    if (name == u"sx:PositionMark") {
        return SX_DrawingBase::kPositionType;
    }
    if (name == u"sx:DistanceMark") {
        return SX_DrawingBase::kDistanceType;
    }
    return 0;
}

std::unique_ptr<SX_DrawingBase> MakeDrawing(std::u16string_view elementName, ViewsHost& host) {
    const int type = DrawingTypeOf(elementName);
    if (type == 0) {
        return nullptr;
    }
    std::unique_ptr<SX_DrawingBase> drawing =
        SX_CreateDrawing(type, host.DrawingDefaults(), host.DrawingUnit());
    if (drawing &&
        (type == SX_DrawingBase::kPositionType || type == SX_DrawingBase::kDistanceType)) {
        drawing->SetInternalUnit(host.StationInternalUnit());
    }
    return drawing;
}

}  // namespace persist
