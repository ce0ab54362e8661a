#pragma once
// A 3D mark: a measurement placed in the station's space and drawn over the
// panorama. Two kinds derive from it, the position mark (SX_VertexMark,
// "Vertex") and the distance mark (SX_DistanceMark, "Distance").
//
// Identifiers come from one process-wide counter shared by both kinds: the
// first mark of a process is 100, every mark takes the next number, none is
// reused. A mark is named "Mark3D#%03d" after its identifier.
//
// Units: points are given in the station's scan frame and internal unit; the
// values a mark shows are in its display unit, formatted with the decimals
// the station's maximum point error allows (measure::Units). Setting either unit
// recomputes the values (Update); the label unit text follows the display
// unit through the assigning form of UnitLabel, so an unknown code keeps the
// previous text.
//
// Drawing happens with depth testing off: crosses in window pixels (overlay
// projection) at the projected points, halo first, larger when selected. The
// label text is held for GetLabelText and not drawn.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "glcore/SX_OpenGLDrawable.h"
#include "linalg/Quaternion.h"
#include "measure/MeasureDefaults.h"

namespace host {
class Resources;
}  // namespace host
namespace StraleLib {
class SX_OpenGLCamera;
class SX_OpenGLText;
}  // namespace StraleLib

class SX_Mark : public StraleLib::SX_OpenGLDrawable {
  public:
    // The station's registration: site = rotation(scan) + translation.
    struct Transform {
        std::array<double, 3> translation{0.0, 0.0, 0.0};
        Quaternion rotation;
    };

    static constexpr float kNormalLineWidth = 1.0f;
    static constexpr float kSelectedLineWidth = 3.0f;
    static constexpr std::size_t kMaxNameLength = 255;

    // What a mark takes from its station: the string source of the unit
    // labels (may be null: built-in texts) and the maximum point error that
    // sets the decimals shown.
    struct StationInfo {
        const host::Resources* resources = nullptr;
        double maxPointError = 0.0;
    };

    // The camera projects the points.
    SX_Mark(StraleLib::SX_OpenGLCamera* camera, const StationInfo& station,
            const measure::MeasureDefaults& defaults);
    ~SX_Mark() override;

    void Draw() override = 0;
    // Recomputes the display values and the label text.
    virtual void Update() = 0;
    // A position mark's site coordinates, a distance mark's differences
    // (first minus second), in the display unit.
    virtual double GetX() const = 0;
    virtual double GetY() const = 0;
    virtual double GetZ() const = 0;
    // A distance mark's distance; 0 for a position mark.
    virtual double GetValue() const = 0;
    virtual std::u16string GetLabelText() const;
    virtual std::u16string GetTypeName() const = 0;
    // Altitude and azimuth (degrees) looking at the mark from the station's
    // centre; false for a mark at the centre.
    virtual bool GetDirection(double& altitude, double& azimuth) const = 0;
    // Only a position mark uses the station's registration.
    virtual void SetTransform(const Transform& transform);

    std::uint32_t Id() const { return id_; }
    const std::u16string& Name() const { return name_; }
    // 1 to 255 characters; false (name unchanged) otherwise.
    bool SetName(const std::u16string& name);

    void GetColor(double& r, double& g, double& b) const;
    void SetColor(double r, double g, double b);
    // "#rrggbb" of each component times 255, truncated, lower-case hex.
    std::u16string ColorText() const;
    // Parses "#rrggbb" (hex digits of either case). A text that does not
    // hold three components leaves the colour as it was and returns false.
    bool SetColorText(const std::u16string& text);

    int Unit() const { return unit_; }
    void SetUnit(int unit);
    int InternalUnit() const { return internalUnit_; }
    void SetInternalUnit(int unit);
    const std::u16string& UnitText() const { return unitText_; }

    bool IsSelected() const { return selected_; }
    void SetSelected(bool selected);
    float LineWidth() const { return lineWidth_; }

    StraleLib::SX_OpenGLCamera* Camera() const { return camera_; }
    const StraleLib::SX_OpenGLText& Label() const { return *label_; }

    // The identifier the next mark will take (for tests and diagnostics).
    static std::uint32_t PeekNextId();

  protected:
    // Internal unit to display unit.
    double Factor() const;
    // The formatting resolution in meters from the station's maximum point
    // error.
    double Resolution() const;
    // A length in internal units as display text (no label).
    std::u16string FormatInternal(double internalLength) const;
    StraleLib::SX_OpenGLText& MutableLabel() { return *label_; }
    // Window pixel (origin bottom left) of a view-frame point; false when it
    // is not visible or there is no camera.
    bool ProjectPoint(const std::array<double, 3>& p, double& x, double& y) const;
    // The halo and main cross at a view-frame point (nothing when it does not
    // project).
    void DrawCross(const std::array<double, 3>& p) const;

    Transform transform_;
    StationInfo station_;
    double colour_[3] = {1.0, 1.0, 0.8};

  private:
    std::uint32_t id_ = 0;
    std::u16string name_;
    std::u16string unitText_;
    int unit_ = 0;
    int internalUnit_ = 0;
    float lineWidth_ = kSelectedLineWidth;
    bool selected_ = true;
    StraleLib::SX_OpenGLCamera* camera_ = nullptr;
    std::unique_ptr<StraleLib::SX_OpenGLText> label_;
};

// The up-direction rule between the scan frame and the renderer's view frame:
// with a nonzero up direction they coincide, with 0 the scan point (x, y, z)
// is the view point (x, z, -y).
std::array<double, 3> ScanToViewFrame(int upDirection, double x, double y, double z);
