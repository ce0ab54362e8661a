#pragma once
// The desktop viewer's side of saved views and 2D drawings: the calls a page
// makes for them (control.Views, ViewCapture, ViewApply, ViewUnlock,
// ViewGetCurrent, StopShapeAdd and the view objects' own members), made by
// name through the automation interface. A member that is missing or fails
// gives the neutral result (no view, false, -1).
//
// The Views panel and the drawing tools share one client; it keeps no state
// of its own besides the control it calls.

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/ComObject.h"
#include "platform/ComVariant.h"
#include "platform/DispatchTable.h"
#include "platform/Dispatchable.h"

namespace viewer {

using ViewRef = platform::ComPtr<platform::Dispatchable>;

// One row of the collection as the panel lists it.
struct ViewInfo {
    ViewRef view;
    std::int32_t id = -1;
    QString name;
    double azimuth = 0.0;
    double latitude = 0.0;
    double aperture = 0.0;
};

// The drawing tools a view can start: the name AddShape takes (empty for a
// text, which AddShapeText starts).
enum class DrawingTool { kRectangle, kCircle, kLine, kText, kDistance, kPosition };
std::u16string_view ShapeName(DrawingTool tool);

class ViewsClient {
  public:
    // Calls a member of `target` by name (kind PropertyPut puts; the others
    // call a method or get a property); nothing when it is missing or failed.
    using Invoke = std::function<std::optional<platform::Variant>(
        platform::Dispatchable& target, std::u16string_view name, platform::DispatchKind kind,
        std::vector<platform::Variant> args)>;

    ViewsClient(platform::Dispatchable& control, Invoke invoke);

    // The collection in order (Item counts from 1); empty while it is pending.
    std::vector<ViewInfo> List();
    // A new view of the camera's direction, not yet in the collection; null
    // before a station is in.
    ViewRef Capture();
    bool Add(const ViewRef& view);
    // Remove counts from 0.
    bool Remove(int index);
    bool Rename(const ViewRef& view, const QString& name);
    // ViewApply: shown (lock false) or locked for drawing.
    bool Apply(const ViewRef& view, bool lockForDrawing);
    // ViewUnlock(true): back to the live view.
    void Unlock();
    // The view on show; null when none is (or it left the collection).
    ViewRef Current();

    // The view the drawing tools draw on, locked for drawing: the view on
    // show, or a new view of the camera added to the collection. Null when
    // there is no station to capture.
    ViewRef LockedView();
    // Starts an interactive add on the view: its new drawing's ID, -1 when it
    // declined.
    std::int32_t StartDrawing(const ViewRef& view, DrawingTool tool);
    bool DeleteDrawing(const ViewRef& view, std::int32_t id);
    // The control's StopShapeAdd: ends an add in progress.
    void StopDrawing();
    bool MeasureEnabled();

  private:
    std::optional<platform::Variant> Call(
        platform::Dispatchable& target, std::u16string_view name,
        std::vector<platform::Variant> args = {},
        platform::DispatchKind kind = platform::DispatchKind::Method);
    ViewRef Object(std::optional<platform::Variant> result);
    ViewRef Views();

    platform::Dispatchable& control_;
    Invoke invoke_;
};

}  // namespace viewer
