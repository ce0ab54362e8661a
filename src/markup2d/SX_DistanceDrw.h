#pragma once
// A 2D distance annotation: two picked points joined by a measure line, and
// their 3D distance in a label box.
//
// Interactive creation: step 1 picks the first point (the pointer carries
// both 2D points, the system cursor is hidden), step 2 the second (it must
// differ from the first in all three coordinates), step 3 places the label;
// the caption reads "Pick the first point", "Pick the second point", then
// the value and unit label ("12.3456 m"). A pixel without point data is
// ignored. A placed drawing re-entering step 1 or 2 ends the edit at the
// next release.
//
// Reading refuses an element without both 2D and both 3D points; a missing
// label position puts the label at the first 2D point.

#include "markup2d/SX_MeasureDrw.h"

class SX_DistanceDrw : public SX_MeasureDrw {
  public:
    static constexpr int kFirstPromptString = 140;
    static constexpr int kSecondPromptString = 188;
    static constexpr std::size_t kTypeNameChars = 20;

    SX_DistanceDrw(const SX_Defaults& defaults, int displayUnit);

    bool ValuesValid() const { return valid_; }
    const std::array<double, 3>& FirstPoint3D() const { return first3_; }
    const std::array<double, 3>& SecondPoint3D() const { return second3_; }
    double FirstX() const { return x1_; }
    double FirstY() const { return y1_; }
    double SecondX() const { return x2_; }
    double SecondY() const { return y2_; }
    // The distance in internal units.
    double Distance() const;

    // 49..53
    virtual void SetFirstPoint2D(double x, double y);
    virtual void SetSecondPoint2D(double x, double y);
    void SetLabelPosition(double x, double y) override;
    virtual void SetFirstPoint3D(double x, double y, double z);
    virtual void SetSecondPoint3D(double x, double y, double z);
    // Picks the 3D points under both 2D points (window pixels); false, and
    // nothing changed, when either has no point data.
    bool PickBoth();

    void Draw(platform::Canvas& canvas) override;
    void WriteXml(StraleLib::SL_XMLWriter& writer) override;
    bool ReadXml(const platform::XmlNode& element) override;
    // "Distance (" + the first 20 characters of the caption + ")".
    std::u16string GetTypeName() const override;
    void GetPrompt() override;
    void UpdateCaption() override;

    bool OnMouseMove(const SX_MouseStatus& mouse) override;
    bool OnLeftUp(const SX_MouseStatus& mouse) override;

  protected:
    int LabelStep() const override { return 3; }
    void NormalizePoints() override;

  private:
    void EndEditAtOnce();

    double x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
    std::array<double, 3> first3_{};
    std::array<double, 3> second3_{};
    bool valid_ = false;
};
