#pragma once
// The image buttons drawn over the 3D view: zoom in and out, a four-way pan
// pad, the buttons that hide and show these controls, the company logo and
// the product logo. The buttons never move the camera: presses and releases
// are reported to the host with PanZoomControls, showing and hiding with
// NavigationControlsVisible.
//
// Fifteen slots, each an image (B, G, R, A, bottom row first, ready for
// glDrawPixels), an anchor, offsets and a visible flag:
//   0/1 zoom in (pressed)        2/3 zoom out (pressed)
//   4 pan pad, 5..8 pad with down, up, left, right highlighted
//   9/10 show button (hovered)   11/12 hide button (hovered)
//   13 company logo (LoadCompanyLogo)   14 product logo (top-left corner)
// Anchor 0 measures the x offset from the right edge and the y offset from
// the top edge of the view; anchor 1 is the top-left corner.
//
// A slot is hit where its image has a pixel with alpha above 0: each stored
// row keeps the first and last such column, and a point hits when its row has
// such a span and the point's column lies within it. Transparent corners
// therefore fall through to the view. Slots without pixels are never drawn or
// hit.
//
// Input protocol (the graphic window offers every left press and release here
// first and runs the hover test on moves with no button held; a true answer
// means the input was taken or the look changed, and the window renders):
//   zoom buttons: press shows the pressed image (PanZoomControls 9 / 11),
//                 release the normal one (10 / 12);
//   pan pad:      press fires the direction under the pointer (0..7) and
//                 highlights the pad for 0..3; release fires 8;
//   hide / show:  press is taken without effect; release hides or shows the
//                 controls, renders a frame with a capture request and fires
//                 NavigationControlsVisible.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/ComVariant.h"
#include "platform/DispatchTable.h"
#include "platform/Image.h"

namespace StraleLib {
class SX_OpenGLWorld;
}

namespace view3d {

class NavigationControls {
  public:
    enum Slot {
        kZoomIn = 0,
        kZoomInPressed = 1,
        kZoomOut = 2,
        kZoomOutPressed = 3,
        kPad = 4,
        kPadDown = 5,
        kPadUp = 6,
        kPadLeft = 7,
        kPadRight = 8,
        kShow = 9,
        kShowHovered = 10,
        kHide = 11,
        kHideHovered = 12,
        kCompanyLogo = 13,
        kProductLogo = 14,
        kSlotCount = 15,
    };
    struct Image {
        int width = 0;
        int height = 0;
        std::vector<std::uint8_t> bgra;  // bottom row first
        // Per stored row: first and last column with alpha above 0, or -1.
        std::vector<std::pair<int, int>> extents;
        int anchor = 0;
        int xOffset = 0;
        int yOffset = 0;
        bool visible = false;
        bool HasPixels() const { return width > 0 && height > 0 && !bgra.empty(); }
    };
    using EventSink = std::function<void(platform::DISPID, const std::vector<platform::Variant>&)>;

    // With loadImages false (an installation with its own customisation
    // file) the slots stay without images.
    explicit NavigationControls(bool loadImages = true);

    void SetEventSink(EventSink sink) { sink_ = std::move(sink); }
    // Renders one frame with a capture request (after hide and show).
    void SetRenderer(std::function<void()> render) { render_ = std::move(render); }
    // The view's client size in pixels; Draw records it as well.
    void SetViewSize(int width, int height);

    // Decodes a PNG file into slot 13 (offsets 0, 0, visible); on failure the
    // slot is emptied and false returned.
    bool LoadCompanyLogo(const std::u16string& file);
    void SetProductLogoVisible(bool visible) { slots_[kProductLogo].visible = visible; }
    // As a release of the show (true) or hide (false) button.
    void ShowHide(bool show);
    // Leaves every slot, buttons and both logos, out of the view (for still
    // images without them); nothing is fired or rendered.
    void HideAll();

    // With the context current: slot 13, slots 0..12, slot 14, each visible
    // slot with pixels, in the world's overlay projection.
    void Draw(StraleLib::SX_OpenGLWorld& world);

    // Pointer in the view's client pixels, top-down.
    bool OnLButtonDown(int x, int y);
    bool OnLButtonUp(int x, int y);
    bool OnMouseMove(int x, int y);

    const Image& SlotImage(int slot) const { return slots_.at(slot); }
    bool IsVisible(int slot) const { return slots_.at(slot).visible; }
    // Whether a visible slot's opaque pixels lie under the pointer.
    bool HitSlot(int slot, int x, int y) const;
    // The pad direction (0..7) at pixel (column, row from the top) of a pad
    // image of the given size; -1 for the dead zone.
    static int PadDirection(int column, int row, int width, int height);
    // RGBA rows top-down to a slot image with its per-row extents.
    static Image MakeImage(const platform::RgbaImage& rgba);

  private:
    // The first visible slot of 0..12 under the pointer, or -1; column and
    // row (from the top) inside its image.
    int HitButton(int x, int y, int& column, int& row) const;
    bool SlotPixel(int slot, int x, int y, int& column, int& row) const;
    void Show(std::initializer_list<int> slots, bool visible);
    void Fire(platform::DISPID id, platform::Variant arg);

    std::array<Image, kSlotCount> slots_;
    EventSink sink_;
    std::function<void()> render_;
    int viewWidth_ = 0;
    int viewHeight_ = 0;
};

}  // namespace view3d
