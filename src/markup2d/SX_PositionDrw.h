#pragma once
// A 2D position annotation: one picked point marked with a cross, and its
// coordinates in the project frame (the station's registration applied to
// the scan-frame point) in a label box: "X Y Z unit".
//
// Interactive creation: step 1 picks the point (the pointer carries the
// mark, the system cursor is hidden; while picking the box sits 25 px right
// of the pointer with its bottom 30 px above it), step 2 moves the label,
// which starts at the mark. Reading refuses an element without both mark
// positions; a missing label position puts the label at the mark.

#include "markup2d/SX_MeasureDrw.h"
#include "measure/SX_Mark.h"

class SX_PositionDrw : public SX_MeasureDrw {
  public:
    static constexpr int kPromptString = 191;
    static constexpr double kPickBoxLeft = 25.0;
    static constexpr double kPickBoxBottom = -30.0;

    SX_PositionDrw(const SX_Defaults& defaults, int displayUnit);

    double MarkX() const { return markX_; }
    double MarkY() const { return markY_; }
    // The point in the project frame.
    const std::array<double, 3>& ProjectPoint() const { return point3_; }
    const SX_Mark::Transform& Transform() const { return transform_; }

    // 49..52
    virtual void SetTransform(const SX_Mark::Transform& transform);
    virtual void SetMarkPoint2D(double x, double y);
    void SetLabelPosition(double x, double y) override;
    // A point already in the project frame.
    virtual void SetMarkPoint3D(double x, double y, double z);
    // Picks the point under the mark (window pixels), takes it into the
    // project frame and recomputes the caption; false, and nothing changed,
    // without point data there.
    bool PickMark();

    void Draw(platform::Canvas& canvas) override;
    void WriteXml(StraleLib::SL_XMLWriter& writer) override;
    bool ReadXml(const platform::XmlNode& element) override;
    // "Position (" + the whole caption + ")".
    std::u16string GetTypeName() const override;
    void GetPrompt() override;
    void UpdateCaption() override;

    bool OnMouseMove(const SX_MouseStatus& mouse) override;
    bool OnLeftUp(const SX_MouseStatus& mouse) override;

  protected:
    int LabelStep() const override { return 2; }
    void NormalizePoints() override;

  private:
    double markX_ = 0, markY_ = 0;
    std::array<double, 3> point3_{};
    bool valid_ = false;
    SX_Mark::Transform transform_;
};
