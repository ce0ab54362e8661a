#include "viewer/ViewsClient.h"
#include "viewer/ViewerText.h"

#include <utility>

namespace viewer {

using platform::Variant;

namespace {

bool IsTrue(const std::optional<Variant>& result) {
    bool value = false;
    return result && platform::SUCCEEDED(result->ToBool(value)) && value;
}

std::int32_t IntOr(const std::optional<Variant>& result, std::int32_t fallback) {
    std::int32_t value = fallback;
    if (!result || result->IsEmpty() || platform::FAILED(result->ToInt32(value))) {
        return fallback;
    }
    return value;
}

double DoubleOr(const std::optional<Variant>& result, double fallback) {
    double value = fallback;
    if (!result || platform::FAILED(result->ToDouble(value))) {
        return fallback;
    }
    return value;
}

}  // namespace

std::u16string_view ShapeName(DrawingTool tool) {
    switch (tool) {
        case DrawingTool::kRectangle:
            return u"Rectangle";
        case DrawingTool::kCircle:
            return u"Circle";
        case DrawingTool::kLine:
            return u"Line";
        case DrawingTool::kDistance:
            return u"Distance2D";
        case DrawingTool::kPosition:
            return u"Position2D";
        case DrawingTool::kText:
            break;
    }
    return u"";
}

ViewsClient::ViewsClient(platform::Dispatchable& control, Invoke invoke)
    : control_(control), invoke_(std::move(invoke)) {}

std::optional<Variant> ViewsClient::Call(platform::Dispatchable& target, std::u16string_view name,
                                         std::vector<Variant> args, platform::DispatchKind kind) {
    return invoke_ ? invoke_(target, name, kind, std::move(args)) : std::nullopt;
}

ViewRef ViewsClient::Object(std::optional<Variant> result) {
    ViewRef object;
    if (result && platform::FAILED(result->ToObject(object))) {
        object.Reset();
    }
    return object;
}

ViewRef ViewsClient::Views() {
    return Object(Call(control_, u"Views", {}, platform::DispatchKind::PropertyGet));
}

std::vector<ViewInfo> ViewsClient::List() {
    std::vector<ViewInfo> rows;
    const ViewRef views = Views();
    if (!views) {
        return rows;
    }
    const std::int32_t count =
        IntOr(Call(*views, u"count", {}, platform::DispatchKind::PropertyGet), 0);
    for (std::int32_t i = 1; i <= count; ++i) {
        ViewInfo row;
        row.view = Object(Call(*views, u"Item", {Variant(i)}, platform::DispatchKind::PropertyGet));
        if (!row.view) {
            continue;
        }
        platform::Dispatchable& view = *row.view;
        row.id = IntOr(Call(view, u"ID", {}, platform::DispatchKind::PropertyGet), -1);
        std::u16string name;
        if (const auto text = Call(view, u"Name", {}, platform::DispatchKind::PropertyGet)) {
            text->ToString(name);
        }
        row.name = ToQt(name);
        row.azimuth = DoubleOr(Call(view, u"GetHorizAngle"), 0.0);
        row.latitude = DoubleOr(Call(view, u"GetVertAngle"), 0.0);
        row.aperture = DoubleOr(Call(view, u"GetZoomAngle"), 0.0);
        rows.push_back(std::move(row));
    }
    return rows;
}

ViewRef ViewsClient::Capture() {
    return Object(Call(control_, u"ViewCapture"));
}

bool ViewsClient::Add(const ViewRef& view) {
    const ViewRef views = Views();
    return views && view && Call(*views, u"Add", {Variant(view)}).has_value();
}

bool ViewsClient::Remove(int index) {
    const ViewRef views = Views();
    return views && Call(*views, u"Remove", {Variant(std::int32_t{index})}).has_value();
}

bool ViewsClient::Rename(const ViewRef& view, const QString& name) {
    return view &&
           Call(*view, u"Name", {Variant(FromQt(name))}, platform::DispatchKind::PropertyPut)
               .has_value();
}

bool ViewsClient::Apply(const ViewRef& view, bool lockForDrawing) {
    return view && IsTrue(Call(control_, u"ViewApply", {Variant(view), Variant(lockForDrawing)}));
}

void ViewsClient::Unlock() {
    Call(control_, u"ViewUnlock", {Variant(true)});
}

ViewRef ViewsClient::Current() {
    return Object(Call(control_, u"ViewGetCurrent"));
}

ViewRef ViewsClient::LockedView() {
    ViewRef view = Current();
    if (!view) {
        view = Capture();
        if (!view || !Add(view)) {
            return nullptr;
        }
    }
    // Applying the view on show locked is quick: the camera stays and the
    // still image is kept (already locked: nothing changes).
    return Apply(view, true) ? view : nullptr;
}

std::int32_t ViewsClient::StartDrawing(const ViewRef& view, DrawingTool tool) {
    if (!view) {
        return -1;
    }
    if (tool == DrawingTool::kText) {
        return IntOr(Call(*view, u"AddShapeText", {Variant(u"")}), -1);
    }
    return IntOr(Call(*view, u"AddShape", {Variant(ShapeName(tool))}), -1);
}

bool ViewsClient::DeleteDrawing(const ViewRef& view, std::int32_t id) {
    return view && IsTrue(Call(*view, u"ShapeDelete", {Variant(id), Variant(true)}));
}

void ViewsClient::StopDrawing() {
    Call(control_, u"StopShapeAdd");
}

bool ViewsClient::MeasureEnabled() {
    // The control answers a plain 1 for true.
    return IsTrue(Call(control_, u"MeasureEnabled", {}, platform::DispatchKind::PropertyGet));
}

}  // namespace viewer
