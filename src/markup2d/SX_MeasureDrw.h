#pragma once
// What the two 2D measurement drawings share: a caption in a labelled box
// (the picking prompt while points are picked, the measured value after),
// the label position, font, text colours, unit label and the step of the
// interactive creation (0 done).
//
// Caption values follow measure::Units::FormatLength with the resolution of
// the station's maximum point error; the unit label is the display unit's
// short label ("" for an unknown unit). A drawing made interactively starts
// active at step 1; one made by script or read from a file is placed (step 0).

#include <array>

#include "markup2d/SX_DrawingBase.h"

namespace host {
class Resources;
}  // namespace host

class SX_MeasureDrw : public SX_DrawingBase {
  public:
    // The box follows the pointer at the current point plus this offset
    // while a distance's points are picked.
    static constexpr double kPickBoxOffsetX = 10.0;
    static constexpr double kPickBoxOffsetY = -10.0;
    static constexpr double kCrossHalf = 3.5;
    static constexpr double kMinArrow = 3.0;

    ~SX_MeasureDrw() override;

    int Step() const { return step_; }
    // The controller restarts an edit of a placed drawing at a picking step.
    void SetStep(int step) { step_ = step; }
    const std::u16string& Caption() const { return caption_; }
    const std::u16string& UnitLabel() const { return unitLabel_; }
    std::int32_t Decimals() const { return decimals_; }
    const std::u16string& FontName() const { return fontName_; }
    void SetFontName(std::u16string name) { fontName_ = std::move(name); }
    double LabelX() const { return labelX_; }
    double LabelY() const { return labelY_; }
    // The label box of the last Draw, in window pixels.
    platform::TextBox LabelBox() const { return labelBox_; }

    virtual void SetLabelPosition(double x, double y);

    bool SetFontSize(double size) override;
    double GetFontSize() const override { return fontSize_; }
    void SetUnit(int code) override;
    void SetInternalUnit(int code) override;
    void SetPropertiesAsDefault(SX_Defaults& defaults) const override;
    void ResetProperties(const SX_Defaults& defaults) override;
    // Inside the label box, edges included.
    bool HitTest(double x, double y) const override;
    bool HitTestOutline(const platform::Canvas& canvas, double x, double y,
                        bool withInterior) override;
    bool OnLeftDown(const SX_MouseStatus& mouse) override;
    void DrawFaded(platform::Canvas& canvas, double factor) override;
    // Also ends the interactive creation (step 0) and computes the caption.
    void Place() override;

    // The caption from the current values; nothing while they are not valid.
    virtual void UpdateCaption() = 0;

  protected:
    SX_MeasureDrw(int classCode, const SX_Defaults& defaults, int displayUnit);

    // The step a click on the placed label returns to (moving the label).
    virtual int LabelStep() const = 0;
    // value (internal units) -> FormatLength text in the display unit.
    std::u16string FormatValue(double internalValue) const;
    const host::Resources* StringSource() const;
    bool PickAt(double x, double y, std::array<double, 3>& point) const;
    void SetCursorHidden(bool hidden);

    // The label box with its fill, selection, shadowed caption.
    void DrawLabel(platform::Canvas& canvas, double x, double y, bool selected);
    // A leader from the box edge nearest to the target, with an arrow at
    // the target.
    void DrawLeader(platform::Canvas& canvas, double tx, double ty);
    void DrawCross(platform::Canvas& canvas, double x, double y) const;
    double ArrowSize() const;

    void WriteMeasureAttributes(StraleLib::SL_XMLWriter& writer) const;
    void ReadMeasureAttributes(const platform::XmlNode& element);
    static std::u16string Point3Text(const std::array<double, 3>& p);
    static bool ReadPoint3(const platform::XmlNode& element, std::u16string_view name,
                           std::array<double, 3>& p);

    std::int32_t decimals_ = 3;
    std::u16string unitLabel_;
    std::u16string caption_;
    double labelX_ = 0, labelY_ = 0;
    platform::TextBox labelBox_;
    std::u16string fontName_;
    double fontSize_ = 12.0;
    std::uint32_t textBrush_ = 0;
    std::uint32_t shadowBrush_ = 0;
    int step_ = 1;
    double lastX_ = 0, lastY_ = 0;
    bool cursorHidden_ = false;
};
