#pragma once
// Rectangles, circles (ellipses in their box) and lines with an arrowhead at
// the start point.
//
// Handles (x1, y1 start; x2, y2 end; mx, my midpoints) and what dragging
// them moves:
//   0 (x1, y1): x1, y1    1 (x2, y1): x2, y1    2 (x2, y2): x2, y2
//   3 (x1, y2): x1, y2    4 (x2, my): x2        5 (mx, y1): y1
//   6 (x1, my): x1        7 (mx, y2): y2       10 inside: all four
// A line has only handles 0 and 2. Handles are hit within 3.5 px per axis,
// tried in the order 0, 3, 2, 1, 5, 7, 6, 4.
//
// Outline hit tests widen the outline by kOutlineTolerance pixels and also
// try the four neighbours kNeighbourDistance pixels away in x and y.

#include "markup2d/SX_DrawingBase.h"

class SX_DrawingShape : public SX_DrawingBase {
  public:
    enum Kind { kRectangle = 0, kCircle = 1, kLine = 2 };
    static constexpr int kNoHandle = -1;
    static constexpr int kMoveHandle = 10;
    static constexpr double kOutlineTolerance = 6.0;
    static constexpr double kNeighbourDistance = 2.0;
    // The arrowhead's width and height, in pen widths, are
    // max(kArrowSize, pen width).
    static constexpr double kArrowSize = 4.5;

    SX_DrawingShape(int kind, const SX_Defaults& defaults, int displayUnit);

    int Kind() const { return kind_; }
    // 12 rectangle, 11 circle, 10 line.
    int TypeCode() const override;
    int DragHandle() const { return handle_; }
    // The handle drawn as current: the one dragged, else the one under the
    // pointer of a hot shape; -1 for none.
    int CurrentHandle() const;
    float X1() const { return x1_; }
    float Y1() const { return y1_; }
    float X2() const { return x2_; }
    float Y2() const { return y2_; }
    void SetPoints(float x1, float y1, float x2, float y2);

    bool SetPosition(double x, double y) override;
    bool SetSize(double w, double h) override;
    double GetPositionX() const override { return x1_; }
    double GetPositionY() const override { return y1_; }
    double GetWidth() const override { return x2_ - x1_; }
    double GetHeight() const override { return y2_ - y1_; }

    void Draw(platform::Canvas& canvas) override;
    void DrawFaded(platform::Canvas& canvas, double factor) override;
    void WriteXml(StraleLib::SL_XMLWriter& writer) override;
    bool ReadXml(const platform::XmlNode& element) override;
    // "Rectangle", "Circle" or "Line".
    std::u16string GetTypeName() const override;
    void ResetProperties(const SX_Defaults& defaults) override;

    bool OnMouseMove(const SX_MouseStatus& mouse) override;
    bool OnLeftUp(const SX_MouseStatus& mouse) override;
    bool OnLeftDown(const SX_MouseStatus& mouse) override;

    bool HitTestOutline(const platform::Canvas& canvas, double x, double y,
                        bool withInterior) override;
    // Inside the box of the two mapped points, edges included.
    bool HitTest(double x, double y) const override;
    // The handle under the window point, -1 for none.
    int HandleAt(double x, double y) const;

  protected:
    void NormalizePoints() override;

  private:
    struct Box {
        double x, y, w, h;
    };
    Box MappedBox() const;
    // Window positions of the handles 0..7.
    std::pair<double, double> HandlePosition(int handle) const;
    bool OutlineContains(const platform::Canvas& canvas, double x, double y) const;

    int kind_;
    int handle_ = kNoHandle;
    int hoverHandle_ = kNoHandle;
    float x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
    double lastX_ = 0, lastY_ = 0;
};
