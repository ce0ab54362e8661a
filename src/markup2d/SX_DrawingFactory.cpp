#include "markup2d/SX_DrawingFactory.h"

#include "markup2d/SX_DistanceDrw.h"
#include "markup2d/SX_DrawingShape.h"
#include "markup2d/SX_DrawingText.h"
#include "markup2d/SX_PositionDrw.h"

std::unique_ptr<SX_DrawingBase> SX_CreateDrawing(int typeCode, const SX_Defaults& defaults,
                                                 int displayUnit) {
    switch (typeCode) {
        case SX_DrawingBase::kLineType:
            return std::make_unique<SX_DrawingShape>(SX_DrawingShape::kLine, defaults, displayUnit);
        case SX_DrawingBase::kCircleType:
            return std::make_unique<SX_DrawingShape>(SX_DrawingShape::kCircle, defaults,
                                                     displayUnit);
        case SX_DrawingBase::kRectangleType:
            return std::make_unique<SX_DrawingShape>(SX_DrawingShape::kRectangle, defaults,
                                                     displayUnit);
        case SX_DrawingBase::kTextType:
            return std::make_unique<SX_DrawingText>(defaults, displayUnit);
        case SX_DrawingBase::kPositionType:
            return std::make_unique<SX_PositionDrw>(defaults, displayUnit);
        case SX_DrawingBase::kDistanceType:
            return std::make_unique<SX_DistanceDrw>(defaults, displayUnit);
        default:
            return nullptr;
    }
}

std::unique_ptr<SX_DrawingBase> SX_ReadDrawing(const platform::XmlNode& element,
                                               const SX_Defaults& defaults, int displayUnit) {
    const std::u16string name = element.Name();
    int type = 0;
    if (name == u"sx:ShapeMark") {
        type = SX_DrawingBase::kRectangleType;
    } else if (name == u"sx:TextMark") {
        type = SX_DrawingBase::kTextType;
    } else if (name == u"sx:PositionMark") {
        type = SX_DrawingBase::kPositionType;
    } else if (name == u"sx:DistanceMark") {
        type = SX_DrawingBase::kDistanceType;
    } else {
        return nullptr;
    }
    std::unique_ptr<SX_DrawingBase> drawing = SX_CreateDrawing(type, defaults, displayUnit);
    if (!drawing->ReadXml(element)) {
        return nullptr;
    }
    return drawing;
}
