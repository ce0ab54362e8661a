#pragma once
// One saved view (ISxView): a camera direction and aperture with a name, a
// GUID, free texts and the 2D drawings made over it.
//
// IDs come from a process-wide counter that starts at 100 and is never
// reused, also for views read from a markup file; the name starts as
// "Snapshot#%03d" of the ID. A view is created unbound and works only once it
// is bound to a host (ViewCapture, ViewNew, the markup reader); an unbound
// view answers false or nothing, without error.
//
// Apply turns the camera to the view (animated when the host animates
// transitions), captures the final frame and shows it in the drawing overlay
// with the view's drawings, unlocked or locked for drawing. The shape
// methods (SxViewShapes.cpp) add, change, select and delete the view's
// drawings through the overlay's drawing controller; they act only while the
// view is the one on show and answer neutral results otherwise.
#include <cstdint>
#include <string>

#include "markup2d/SX_DrawingBase.h"
#include "persist/ViewsHost.h"
#include "platform/ComBstr.h"
#include "platform/DispatchTableBuilder.h"
#include "platform/Dispatchable.h"
#include "platform/XmlDocument.h"

namespace StraleLib {
class SL_XMLWriter;
}

class SxView final : public platform::Dispatchable {
  public:
    using Builder = platform::DispatchTableBuilder<SxView>;

    static constexpr double kDefaultAperture = 80.0;
    static constexpr double kMinAperture = 3.0;
    static constexpr double kMaxAperture = 120.0;
    static constexpr double kMaxLatitude = 89.9;
    // Retry interval of a frame that cannot be drawn yet.
    static constexpr int kRenderRetryMs = 100;

    SxView();
    ~SxView() override;

    const platform::DispatchTable& GetDispatchTable() const override { return Table(); }
    static const platform::DispatchTable& Table();
    // The ID the next view will take.
    static std::int32_t NextId();

    void Bind(persist::ViewsHostRef link) { link_ = std::move(link); }
    bool IsBound() const { return Host() != nullptr; }

    std::int32_t Id() const { return id_; }
    const std::u16string& Guid() const { return guid_; }
    const std::u16string& Name() const { return name_; }
    void SetName(std::u16string name) { name_ = std::move(name); }
    const std::u16string& CreatedOn() const { return createdOn_; }
    void SetCreatedOn(std::u16string text) { createdOn_ = std::move(text); }
    const std::u16string& UserName() const { return userName_; }
    void SetUserName(std::u16string text) { userName_ = std::move(text); }
    double Azimuth() const { return azimuth_; }
    double Latitude() const { return latitude_; }
    double Aperture() const { return aperture_; }
    // Stored unchanged; Apply clamps.
    void SetOrientation(double azimuth, double latitude, double aperture);
    SX_DrawingList& Drawings() { return drawings_; }
    const SX_DrawingList& Drawings() const { return drawings_; }

    // Copies the camera's azimuth, altitude and aperture; false unbound.
    bool Capture();
    // See the header comment; false unbound.
    bool Apply(bool lockForDrawing);
    // The sx:View element into the writer (nothing unbound): false when
    // nothing was written.
    bool WriteXml(StraleLib::SL_XMLWriter& writer) const;
    // The sx:View element built by a fragment writer of base indentation 1;
    // null unbound.
    platform::XmlNode XmlElement() const;
    // Reads a sx:View element; false unbound or when a drawing failed to
    // read (the drawing stays).
    bool ReadXml(const platform::XmlNode& element);

  private:
    friend struct SxViewShapes;
    // The look of the next drawing added interactively: filled from the
    // defaults by the first add, changed by the shape setters, emptied by
    // StopShapeAdd.
    struct NewShapeLook {
        bool filled = false;
        std::uint32_t penColor = 0;
        std::uint32_t fillColor = 0;
        double penWidth = 0.0;
        double fontSize = 0.0;
        int unit = 0;
    };

    static void AddShapeMembers(Builder& builder);
    persist::ViewsHost* Host() const { return link_ ? link_->host : nullptr; }
    // Draws a frame, retrying every kRenderRetryMs while the host cannot draw.
    static void RenderUntilDrawn(persist::ViewsHost& host, bool capture);
    // Turns the camera to the view; true when the turn was animated.
    bool TurnCamera(persist::ViewsHost& host);

    persist::ViewsHostRef link_;
    std::int32_t id_;
    std::u16string guid_;
    std::u16string name_;
    std::u16string createdOn_;
    std::u16string userName_;
    double aperture_ = kDefaultAperture;
    double azimuth_ = 0.0;
    double latitude_ = 0.0;
    SX_DrawingList drawings_;
    NewShapeLook newShape_;
    // GetFirstShape / GetNextShape: the index of the next drawing.
    std::size_t shapeCursor_ = 0;
};
