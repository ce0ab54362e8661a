#pragma once
// The work behind the shape methods of ISxView (SxViewShapes.cpp holds
// their dispatch table): interactive adds through the overlay's drawing
// controller, drawings made by script, selection and deletion. Included by
// that file only.
//
// Every method acts only while its view is the one on show (its drawings
// are the overlay's); otherwise it succeeds with the neutral result: false,
// -1, -1.0, "" ("Unknown" for a type name). ID -1 names no drawing: setters
// then change only the drawing being added and the look cached for the next
// one, and ShapeGetAlpha / ShapeGetLineWidth report that cached look.
// Drawings made by the Create methods fire Shape2DAdded with their ID when
// asked to raise an event.
#include <cmath>
#include <cstdint>
#include <memory>

#include "host/SX_EventIds.h"
#include "markup2d/SX_2DDrawingWindow.h"
#include "markup2d/SX_Defaults.h"
#include "markup2d/SX_DistanceDrw.h"
#include "markup2d/SX_DrawingController.h"
#include "markup2d/SX_DrawingFactory.h"
#include "markup2d/SX_DrawingShape.h"
#include "markup2d/SX_DrawingText.h"
#include "markup2d/SX_PositionDrw.h"
#include "persist/SxView.h"

namespace sxview_shapes {

using Long = std::int32_t;
using Double = double;
using Bool = platform::VARIANT_BOOL;
using Str = const platform::Bstr&;

// ShapeSelected's tool code of a drawing type code (10..15).
inline int ToolCode(int typeCode) {
    switch (typeCode) {
        case SX_DrawingBase::kLineType:
            return 0;
        case SX_DrawingBase::kCircleType:
            return 1;
        case SX_DrawingBase::kTextType:
            return 2;
        case SX_DrawingBase::kRectangleType:
            return 3;
        case SX_DrawingBase::kPositionType:
            return 4;
        case SX_DrawingBase::kDistanceType:
            return 5;
        default:
            return -1;
    }
}

// The overlay's add mode of a drawing type code.
inline int AddMode(int typeCode) {
    switch (typeCode) {
        case SX_DrawingBase::kLineType:
            return 1;
        case SX_DrawingBase::kCircleType:
            return 2;
        case SX_DrawingBase::kRectangleType:
            return 3;
        case SX_DrawingBase::kTextType:
            return 4;
        case SX_DrawingBase::kPositionType:
            return 5;
        case SX_DrawingBase::kDistanceType:
            return 6;
        default:
            return 0;
    }
}

inline int TypeOfName(std::u16string_view name) {
    if (name == u"Rectangle") {
        return SX_DrawingBase::kRectangleType;
    }
    if (name == u"Circle") {
        return SX_DrawingBase::kCircleType;
    }
    if (name == u"Line") {
        return SX_DrawingBase::kLineType;
    }
    if (name == u"Position2D") {
        return SX_DrawingBase::kPositionType;
    }
    if (name == u"Distance2D") {
        return SX_DrawingBase::kDistanceType;
    }
    return -1;
}

// Alpha of a fill opacity in percent, a half rounding down (191.25 -> 191).
inline std::uint32_t OpacityAlpha(double percent) {
    return static_cast<std::uint32_t>(std::ceil(percent / 100.0 * 255.0 - 0.5));
}

inline std::uint32_t WithAlpha(std::uint32_t argb, std::uint32_t alpha) {
    return (argb & 0x00FFFFFFu) | ((alpha & 0xFFu) << 24);
}

// Transparency in percent of a fill colour.
inline int Transparency(std::uint32_t argb) {
    const double opacity = static_cast<double>(argb >> 24) / 255.0 * 100.0;
    return 100 - static_cast<int>(std::ceil(opacity - 0.5));
}

// Pen, brush, author and time of a drawing made by script.
struct Look {
    std::u16string penColor;
    double penTransparency;
    double penWidth;
    double penDash;
    std::u16string brushColor;
    double brushTransparency;
    std::u16string createdBy;
    std::u16string createdOn;
};

}  // namespace sxview_shapes

// The view's shape work; a friend of SxView.
struct SxViewShapes {
    using Look = sxview_shapes::Look;
    // The overlay's controller while `view` is the one on show; else null.
    static SX_DrawingController* Active(SxView& view) {
        persist::ViewsHost* host = view.Host();
        if (host == nullptr || host->ShownViewId() != view.Id()) {
            return nullptr;
        }
        SX_2DDrawingWindow* overlay = host->Overlay();
        if (overlay == nullptr || overlay->Drawings() != &view.drawings_) {
            return nullptr;
        }
        return overlay->Controller();
    }
    static SX_2DDrawingWindow& Overlay(SxView& view) { return *view.Host()->Overlay(); }

    static SX_DrawingBase* Find(SxView& view, std::int32_t id) {
        if (id < 0) {
            return nullptr;
        }
        for (const auto& drawing : view.drawings_) {
            if (drawing->ID() == static_cast<std::uint32_t>(id)) {
                return drawing.get();
            }
        }
        return nullptr;
    }

    // Runs `change` on the drawing with the ID and on the drawing being
    // added; true when the drawing with the ID exists. Redraws.
    template <class F>
    static bool OnBoth(SxView& view, std::int32_t id, F change) {
        SX_DrawingController* controller = Active(view);
        if (controller == nullptr) {
            return false;
        }
        SX_DrawingBase* shape = Find(view, id);
        if (SX_DrawingBase* adding = Overlay(view).AddingDrawing()) {
            change(*adding);
        }
        if (shape != nullptr) {
            change(*shape);
        }
        controller->Redraw();
        return shape != nullptr;
    }

    // Runs `change` on the drawing with the ID only; redraws.
    template <class F>
    static bool OnShape(SxView& view, std::int32_t id, F change) {
        SX_DrawingController* controller = Active(view);
        SX_DrawingBase* shape = controller != nullptr ? Find(view, id) : nullptr;
        if (shape == nullptr) {
            return false;
        }
        change(*shape);
        controller->Redraw();
        return true;
    }

    // A value of the drawing with the ID, or `none`.
    template <class T, class F>
    static T Get(SxView& view, std::int32_t id, T none, F get) {
        SX_DrawingBase* shape = Active(view) != nullptr ? Find(view, id) : nullptr;
        return shape != nullptr ? get(*shape) : none;
    }

    static void FillLookFromDefaults(SxView& view, SX_DrawingController& controller) {
        const SX_Defaults& d = controller.Host().Defaults();
        view.newShape_.filled = true;
        view.newShape_.penColor = d.penColor;
        view.newShape_.penWidth = d.penWidth;
        view.newShape_.fillColor = d.brushColor;
        view.newShape_.fontSize = d.fontSize;
        view.newShape_.unit = controller.Host().CurrentDrawingUnit();
    }

    static std::int32_t StartAdd(SxView& view, int typeCode, std::u16string_view text) {
        SX_DrawingController* controller = Active(view);
        if (controller == nullptr) {
            return -1;
        }
        persist::ViewsHost& host = *view.Host();
        if (!host.LockedForDrawing()) {
            host.LockForDrawing();
        }
        markup2d::OverlayHost& owner = controller->Host();
        std::unique_ptr<SX_DrawingBase> drawing =
            SX_CreateDrawing(typeCode, owner.Defaults(), owner.CurrentDrawingUnit());
        if (!drawing) {
            return -1;
        }
        if (!text.empty()) {
            drawing->SetText(text);
        }
        if (auto* position = dynamic_cast<SX_PositionDrw*>(drawing.get())) {
            position->SetInternalUnit(owner.InternalUnit());
            position->SetTransform(owner.RegistrationTransform());
        } else if (auto* distance = dynamic_cast<SX_DistanceDrw*>(drawing.get())) {
            distance->SetInternalUnit(owner.InternalUnit());
        }
        SX_DrawingBase* added = drawing.get();
        controller->StartAdd(std::move(drawing), sxview_shapes::AddMode(typeCode));
        SxView::NewShapeLook& look = view.newShape_;
        if (look.filled) {
            added->SetPenWidth(look.penWidth);
            added->SetPenColor(look.penColor);
            added->SetFillColor(look.fillColor);
            added->SetFontSize(look.fontSize);
            added->SetUnit(look.unit);
        } else {
            FillLookFromDefaults(view, *controller);
        }
        // A measuring drawing shows its first picking prompt from the start.
        added->GetPrompt();
        controller->Redraw();
        return static_cast<std::int32_t>(added->ID());
    }

    static std::int32_t AddShape(SxView& view, std::u16string_view name) {
        const int type = sxview_shapes::TypeOfName(name);
        if (Active(view) == nullptr) {
            return -1;
        }
        const std::int32_t id = StartAdd(view, type, {});
        if (id >= 0) {
            view.Host()->FireEvent(
                SX_ControlEvents::kShapeSelected,
                {platform::Variant(std::int32_t{sxview_shapes::ToolCode(type)})});
        }
        return id;
    }

    static std::int32_t AddShapeText(SxView& view, std::u16string_view text) {
        if (Active(view) == nullptr) {
            return -1;
        }
        const std::int32_t id = StartAdd(view, SX_DrawingBase::kTextType, text);
        if (id >= 0) {
            view.Host()->FireEvent(SX_ControlEvents::kShapeSelected,
                                   {platform::Variant(std::int32_t{
                                       sxview_shapes::ToolCode(SX_DrawingBase::kTextType)})});
        }
        return id;
    }

    static void RestoreDefaultShape(SxView& view) {
        SX_DrawingController* controller = Active(view);
        if (controller == nullptr) {
            return;
        }
        switch (Overlay(view).AddMode()) {
            case 1:
                AddShape(view, u"Line");
                break;
            case 2:
                AddShape(view, u"Circle");
                break;
            case 3:
                AddShape(view, u"Rectangle");
                break;
            case 4:
                AddShapeText(view, u"");
                break;
            case 5:
                AddShape(view, u"Position2D");
                break;
            case 6:
                AddShape(view, u"Distance2D");
                break;
            default:
                break;
        }
    }

    static bool Select(SxView& view, std::int32_t id, bool raiseEvent) {
        SX_DrawingController* controller = Active(view);
        SX_DrawingBase* shape = controller != nullptr ? Find(view, id) : nullptr;
        if (shape == nullptr) {
            return false;
        }
        controller->Select(shape, raiseEvent);
        SxView::NewShapeLook& look = view.newShape_;
        if (look.filled) {
            look.penColor = shape->GetPenColor();
            look.penWidth = shape->GetPenWidth();
            look.fillColor = shape->GetFillColor();
            if (shape->ClassCode() != SX_DrawingBase::kShapeClass) {
                look.fontSize = shape->GetFontSize();
            }
            look.unit = shape->GetUnit();
        }
        controller->Redraw();
        return true;
    }

    static bool Delete(SxView& view, std::int32_t id, bool raiseEvent) {
        SX_DrawingController* controller = Active(view);
        SX_DrawingBase* shape = controller != nullptr ? Find(view, id) : nullptr;
        if (shape == nullptr || !controller->Remove(shape)) {
            return false;
        }
        controller->Select(nullptr, false);
        if (raiseEvent) {
            view.Host()->FireEvent(SX_ControlEvents::kShape2DRemoved, {platform::Variant(id)});
        }
        controller->Redraw();
        return true;
    }

    static bool ResetProperties(SxView& view, std::int32_t id) {
        SX_DrawingController* controller = Active(view);
        if (controller == nullptr) {
            return false;
        }
        const SX_Defaults& defaults = controller->Host().Defaults();
        SX_DrawingBase* shape = Find(view, id);
        if (shape != nullptr) {
            shape->ResetProperties(defaults);
        }
        if (SX_DrawingBase* adding = Overlay(view).AddingDrawing()) {
            adding->ResetProperties(defaults);
        }
        FillLookFromDefaults(view, *controller);
        controller->Redraw();
        return shape != nullptr;
    }

    // Attaches a drawing made by script, places it and adds it to the view.
    static std::int32_t AddMade(SxView& view, SX_DrawingController& controller,
                                std::unique_ptr<SX_DrawingBase> drawing, bool raiseEvent) {
        drawing->Place();
        const auto id = static_cast<std::int32_t>(drawing->ID());
        view.drawings_.push_back(std::move(drawing));
        if (raiseEvent) {
            view.Host()->FireEvent(SX_ControlEvents::kShape2DAdded, {platform::Variant(id)});
        }
        controller.Redraw();
        return id;
    }

    // A new drawing for a Create method: any add ended, the look applied,
    // attached at the control's current size; null when the view is not on
    // show or the type is unknown.
    static std::unique_ptr<SX_DrawingBase> Make(SxView& view, int typeCode, const Look& look,
                                                SX_DrawingController*& controller) {
        controller = Active(view);
        if (controller == nullptr) {
            return nullptr;
        }
        controller->FinishAdd(false);
        markup2d::OverlayHost& owner = controller->Host();
        std::unique_ptr<SX_DrawingBase> drawing =
            SX_CreateDrawing(typeCode, owner.Defaults(), owner.CurrentDrawingUnit());
        if (!drawing) {
            return nullptr;
        }
        drawing->SetHost(&owner);
        drawing->SetReferenceSize(static_cast<float>(owner.ClientWidth()),
                                  static_cast<float>(owner.ClientHeight()));
        drawing->SetPen(look.penColor, look.penTransparency, look.penWidth,
                        static_cast<int>(look.penDash));
        drawing->SetBrush(look.brushColor, look.brushTransparency);
        drawing->SetUserName(look.createdBy);
        drawing->SetTime(look.createdOn);
        drawing->SetInternalUnit(owner.InternalUnit());
        return drawing;
    }

    static std::int32_t CreateShape(SxView& view, std::int32_t type, std::int32_t x0,
                                    std::int32_t y0, std::int32_t x1, std::int32_t y1,
                                    const Look& look, bool raiseEvent) {
        // Kinds: 0 rectangle, 1 circle, 2 line; anything else is refused.
        static constexpr int kTypes[] = {SX_DrawingBase::kRectangleType,
                                         SX_DrawingBase::kCircleType, SX_DrawingBase::kLineType};
        if (type < 0 || type > 2) {
            return -1;
        }
        SX_DrawingController* controller = nullptr;
        std::unique_ptr<SX_DrawingBase> drawing = Make(view, kTypes[type], look, controller);
        if (!drawing) {
            return -1;
        }
        drawing->SetPosition(x0, y0);
        drawing->SetSize(x1 - x0, y1 - y0);
        return AddMade(view, *controller, std::move(drawing), raiseEvent);
    }

    static std::int32_t CreateText(SxView& view, std::int32_t x, std::int32_t y,
                                   std::u16string_view text, double fontSize, const Look& look,
                                   bool raiseEvent) {
        SX_DrawingController* controller = nullptr;
        std::unique_ptr<SX_DrawingBase> drawing =
            Make(view, SX_DrawingBase::kTextType, look, controller);
        if (!drawing) {
            return -1;
        }
        drawing->SetPosition(x, y);
        drawing->SetText(text);
        drawing->SetFontSize(fontSize);
        return AddMade(view, *controller, std::move(drawing), raiseEvent);
    }

    static std::int32_t CreatePosition(SxView& view, double fontSize, std::int32_t lx,
                                       std::int32_t ly, std::int32_t mx, std::int32_t my,
                                       const Look& look, bool raiseEvent) {
        SX_DrawingController* controller = nullptr;
        std::unique_ptr<SX_DrawingBase> made =
            Make(view, SX_DrawingBase::kPositionType, look, controller);
        auto* drawing = dynamic_cast<SX_PositionDrw*>(made.get());
        if (drawing == nullptr) {
            return -1;
        }
        drawing->SetTransform(controller->Host().RegistrationTransform());
        drawing->SetFontSize(fontSize);
        drawing->SetMarkPoint2D(mx, my);
        drawing->SetLabelPosition(lx, ly);
        drawing->PickMark();
        return AddMade(view, *controller, std::move(made), raiseEvent);
    }

    static std::int32_t CreateDistance(SxView& view, double fontSize, std::int32_t lx,
                                       std::int32_t ly, std::int32_t x1, std::int32_t y1,
                                       std::int32_t x2, std::int32_t y2, const Look& look,
                                       bool raiseEvent) {
        SX_DrawingController* controller = nullptr;
        std::unique_ptr<SX_DrawingBase> made =
            Make(view, SX_DrawingBase::kDistanceType, look, controller);
        auto* drawing = dynamic_cast<SX_DistanceDrw*>(made.get());
        if (drawing == nullptr) {
            return -1;
        }
        drawing->SetFontSize(fontSize);
        drawing->SetFirstPoint2D(x1, y1);
        drawing->SetSecondPoint2D(x2, y2);
        drawing->SetLabelPosition(lx, ly);
        drawing->PickBoth();
        return AddMade(view, *controller, std::move(made), raiseEvent);
    }
};
