#pragma once
// The common base of every 2D markup object: rectangles, circles and lines
// (SX_DrawingShape), free text (SX_DrawingText) and the measurement drawings
// (SX_PositionDrw, SX_DistanceDrw).
//
// Identity. Every drawing takes its ID from one process-wide counter that
// starts at 100 (apart from the 3D marks' counter); IDs are never reused.
//
// Look. Pen, fill, selection box, handle pen and brush come from the
// drawing defaults when the drawing is made; the selected-handle pen uses the
// pen colour with the defaults' selHandlePenWidth.
//
// Reference coordinates. Coordinates are held relative to the client size
// they were last normalised to (Wr x Hr). Shown in a window of W x H:
//   x' = (H / Hr) (x - Wr / 2) + W / 2,   y' = H y / Hr,
// so a drawing scales with the window height and stays centred. The mapping
// applies only when Wr > 0 and the drawing has a host. Normalising stores
// the mapped values and the current size as the new reference.
//
// Input. The overlay forwards the mouse as SX_MouseStatus (X(), Y() are the
// pointer in overlay pixels) and keys as codes. The mouse operations return
// true when the drawing changed in a way that needs a repaint.
//
// Virtual operations keep the order of the control's operation table
// (destructor first, Place last); measurement drawings add their own after.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "measure/SX_MouseStatus.h"
#include "platform/Canvas.h"
#include "platform/SL_XMLWriter.h"
#include "platform/XmlDocument.h"

class SX_Defaults;

namespace markup2d {
class DrawingHost;
}  // namespace markup2d

class SX_DrawingBase {
  public:
    // Class codes (ShapeGetType).
    static constexpr int kShapeClass = 1;
    static constexpr int kTextClass = 2;
    static constexpr int kPositionClass = 3;
    static constexpr int kDistanceClass = 4;
    // Drawing type codes of the automation interface.
    static constexpr int kLineType = 10;
    static constexpr int kCircleType = 11;
    static constexpr int kRectangleType = 12;
    static constexpr int kTextType = 13;
    static constexpr int kPositionType = 14;
    static constexpr int kDistanceType = 15;
    // Sizes in pixels of the selection drawing.
    static constexpr double kHandleDiameter = 7.0;
    static constexpr double kCurrentHandleDiameter = 9.0;
    static constexpr double kHandleTolerance = 3.5;
    // Tooltip text of placed shapes.
    static constexpr int kTooltipString = 189;

    // 0 (destructor)
    virtual ~SX_DrawingBase();

    std::uint32_t ID() const { return id_; }
    int ClassCode() const { return classCode_; }
    // Automation type code: 10 line, 11 circle, 12 rectangle, 13 text,
    // 14 position, 15 distance.
    virtual int TypeCode() const;
    // The overlay the drawing is attached to; null detaches.
    void SetHost(markup2d::DrawingHost* host) { host_ = host; }
    markup2d::DrawingHost* Host() const { return host_; }
    void SetReferenceSize(float w, float h) {
        refWidth_ = w;
        refHeight_ = h;
    }
    float ReferenceWidth() const { return refWidth_; }
    float ReferenceHeight() const { return refHeight_; }

    bool IsVisible() const { return visible_; }
    bool IsActive() const { return active_; }
    bool IsHot() const { return hot_; }
    void SetVisible(bool on) { visible_ = on; }
    void SetActive(bool on) { active_ = on; }
    void SetHot(bool on) { hot_ = on; }

    const std::u16string& Href() const { return href_; }
    void SetHref(std::u16string href) { href_ = std::move(href); }
    int GetInternalUnit() const { return internalUnit_; }
    const platform::CanvasPen& Pen() const { return pen_; }

    // 1..6: colours, opacity and width.
    virtual void SetPenColor(std::uint32_t argb);
    // "#rrggbb"; the pen becomes opaque. False (unchanged) when it does not parse.
    virtual bool SetPenColorText(std::u16string_view text);
    virtual void SetFillColor(std::uint32_t argb);
    // "#rrggbb"; the fill keeps its alpha.
    virtual bool SetFillColorText(std::u16string_view text);
    // Fill alpha = percent / 100 x 255, rounded half down (191.25 -> 191).
    virtual void SetFillOpacity(double percent);
    virtual void SetPenWidth(double width);
    // 7..10: no effect here.
    virtual bool SetPosition(double x, double y);
    virtual bool SetSize(double w, double h);
    virtual bool SetText(std::u16string_view text);
    virtual bool SetFontSize(double size);
    // 11, 12
    virtual void SetUserName(std::u16string_view name);
    virtual void SetTime(std::u16string_view time);
    // 13..20
    virtual std::u16string GetPenColorText() const;
    virtual std::uint32_t GetPenColor() const;
    virtual std::u16string GetFillColorText() const;
    virtual std::uint32_t GetFillColor() const;
    virtual std::u16string GetUserName() const;
    virtual std::u16string GetTime() const;
    // round(alpha / 255 x 100), a fraction above one half rounding up.
    virtual int GetFillOpacity() const;
    virtual double GetPenWidth() const;
    // 21..25: -1 here.
    virtual double GetPositionX() const;
    virtual double GetPositionY() const;
    virtual double GetWidth() const;
    virtual double GetHeight() const;
    virtual double GetFontSize() const;
    // 26: a slot with no effect in any class.
    virtual bool Reserved();
    // 27..31
    virtual void Draw(platform::Canvas& canvas) = 0;
    // Draws with pen and fill alpha multiplied by the factor, then restores them.
    virtual void DrawFaded(platform::Canvas& canvas, double factor) = 0;
    virtual void WriteXml(StraleLib::SL_XMLWriter& writer) = 0;
    // False when the element lacks usable positions.
    virtual bool ReadXml(const platform::XmlNode& element) = 0;
    virtual std::u16string GetTypeName() const = 0;
    // 32, 33: the look copied into / taken back from the defaults.
    virtual void SetPropertiesAsDefault(SX_Defaults& defaults) const;
    virtual void ResetProperties(const SX_Defaults& defaults) = 0;
    // 34..39: input.
    virtual bool OnMouseMove(const SX_MouseStatus& mouse) = 0;
    virtual bool OnLeftUp(const SX_MouseStatus& mouse) = 0;
    virtual bool EndEdit();
    virtual bool OnLeftDown(const SX_MouseStatus& mouse) = 0;
    virtual bool OnChar(char16_t code);
    virtual bool OnKeyDown(int key);
    // 40, 41: hit tests in window pixels.
    virtual bool HitTestOutline(const platform::Canvas& canvas, double x, double y,
                                bool withInterior) = 0;
    virtual bool HitTest(double x, double y) const = 0;
    // 42..45: units and prompt.
    virtual int GetUnit() const;
    virtual void SetUnit(int code);
    virtual void SetInternalUnit(int code);
    virtual void GetPrompt();
    // 46, 47: colour text, transparency 0..1 (alpha = (int)((1 - t) x 255)).
    virtual bool SetPen(std::u16string_view colorText, double transparency, double width, int dash);
    virtual bool SetBrush(std::u16string_view colorText, double transparency);
    // 48: visible, not active, not hot.
    virtual void Place();

    // Window position of a stored point (identity without a host or
    // reference size).
    double MapX(double x) const;
    double MapY(double y) const;
    // Stored position of a window point (the inverse mapping).
    double UnmapX(double x) const;
    double UnmapY(double y) const;

    // Tests only: the counter's next ID.
    static std::uint32_t PeekNextId();

  protected:
    // Look from the defaults; the
    // display unit is the control's current drawing unit.
    SX_DrawingBase(int classCode, const SX_Defaults& defaults, int displayUnit);

    // Pen and brush of the look.
    void TakeLook(const SX_Defaults& defaults);
    // Replaces every stored coordinate by its mapped value and sets the
    // reference size to the host's client size.
    void Normalize();
    virtual void NormalizePoints() = 0;

    // Elements shared by all drawings: Created, User, Pen, Brush, HREF.
    void WriteCommonXml(StraleLib::SL_XMLWriter& writer) const;
    void ReadCommonXml(const platform::XmlNode& element);
    // The selection box with 7 px handles at the given points.
    void DrawSelection(platform::Canvas& canvas, double x, double y, double w, double h,
                       const std::vector<std::pair<double, double>>& handles) const;
    // The message of the key, else string `id`; with an empty key, string `id`.
    std::u16string Message(std::u16string_view key, int id) const;

    // An element holding text.
    static void WriteTextElement(StraleLib::SL_XMLWriter& writer, std::u16string_view name,
                                 std::u16string_view text);
    // A 2D point as "%5.4f %5.4f".
    static std::u16string PointText(double x, double y);
    // The child `name` parsed with "%lf %lf"; false when absent or unparsable.
    static bool ReadPoint(const platform::XmlNode& element, std::u16string_view name, double& x,
                          double& y);

    // Pen and fill alpha scaled for DrawFaded; restored by the destructor.
    class FadeGuard {
      public:
        FadeGuard(SX_DrawingBase& drawing, double factor);
        ~FadeGuard();
        FadeGuard(const FadeGuard&) = delete;
        FadeGuard& operator=(const FadeGuard&) = delete;

      private:
        SX_DrawingBase& drawing_;
        std::uint32_t pen_;
        std::uint32_t brush_;
    };

    int unit_ = 0;
    int internalUnit_ = 0;
    markup2d::DrawingHost* host_ = nullptr;
    int classCode_ = 0;
    std::uint32_t id_ = 0;
    bool visible_ = false;
    bool active_ = false;
    bool hot_ = false;
    platform::CanvasPen pen_;
    std::uint32_t brush_ = 0;
    float refWidth_ = -1.0f;
    float refHeight_ = -1.0f;
    platform::CanvasPen bboxPen_;
    platform::CanvasPen handlePen_;
    platform::CanvasPen selHandlePen_;
    std::uint32_t handleBrush_ = 0;
    std::u16string href_;
    std::u16string userName_;
    std::u16string time_;
    bool tooltipShown_ = false;

  private:
    static std::atomic<std::uint32_t> nextId_;
};

using SX_DrawingList = std::vector<std::unique_ptr<SX_DrawingBase>>;
