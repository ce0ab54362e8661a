#include "view3d/NavigationControls.h"

#include <GL/gl.h>

#include "glcore/SX_OpenGLWorld.h"
#include "host/SX_EventIds.h"
#include "platform/Text.h"
#include "resources/NavigationImages.h"

namespace {

struct SlotSetup {
    int resource;
    int xOffset;
    int yOffset;
    bool visible;
};

// Resource image, offsets (x from the right, y from the top) and start
// visibility of slots 0..12.
constexpr SlotSetup kButtons[13] = {
    {234, 50, 117, true}, {235, 50, 117, false}, {236, 50, 147, true}, {237, 50, 147, false},
    {242, 40, 57, true},  {243, 40, 57, false},  {244, 40, 57, false}, {245, 40, 57, false},
    {246, 40, 57, false}, {238, 0, 69, false},   {239, 0, 69, false},  {240, 0, 69, true},
    {241, 0, 69, false},
};

// PanZoomControls action ids.
enum Action {
    kActionUp = 0,
    kActionDown = 1,
    kActionLeft = 2,
    kActionRight = 3,
    kActionPadReleased = 8,
    kActionZoomInPressed = 9,
    kActionZoomInReleased = 10,
    kActionZoomOutPressed = 11,
    kActionZoomOutReleased = 12,
};

bool LoadResource(int id, view3d::NavigationControls::Image& slot) {
    const auto png = resources::ImageResource(id);
    platform::RgbaImage rgba;
    if (!platform::DecodePngRgba(png.data(), png.size(), rgba)) {
        return false;
    }
    view3d::NavigationControls::Image image = view3d::NavigationControls::MakeImage(rgba);
    image.anchor = slot.anchor;
    image.xOffset = slot.xOffset;
    image.yOffset = slot.yOffset;
    image.visible = slot.visible;
    slot = std::move(image);
    return true;
}

}  // namespace

view3d::NavigationControls::NavigationControls(bool loadImages) {
    for (int i = 0; i < 13; ++i) {
        slots_[i].anchor = 0;
        slots_[i].xOffset = kButtons[i].xOffset;
        slots_[i].yOffset = kButtons[i].yOffset;
        slots_[i].visible = kButtons[i].visible;
    }
    slots_[kCompanyLogo].anchor = 0;
    slots_[kProductLogo].anchor = 1;
    if (loadImages) {
        for (int i = 0; i < 13; ++i) {
            LoadResource(kButtons[i].resource, slots_[i]);
        }
        LoadResource(resources::kProductLogoImage, slots_[kProductLogo]);
    }
}

view3d::NavigationControls::Image view3d::NavigationControls::MakeImage(
    const platform::RgbaImage& rgba) {
    Image image;
    const int w = rgba.width;
    const int h = rgba.height;
    if (w <= 0 || h <= 0 || rgba.rgba.size() < static_cast<std::size_t>(w) * h * 4) {
        return image;
    }
    image.width = w;
    image.height = h;
    image.bgra.resize(static_cast<std::size_t>(w) * h * 4);
    image.extents.assign(h, {-1, -1});
    for (int row = 0; row < h; ++row) {
        const std::uint8_t* src = rgba.rgba.data() + static_cast<std::size_t>(row) * w * 4;
        const int stored = h - 1 - row;
        std::uint8_t* dst = image.bgra.data() + static_cast<std::size_t>(stored) * w * 4;
        auto& extent = image.extents[stored];
        for (int x = 0; x < w; ++x, src += 4, dst += 4) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
            dst[3] = src[3];
            if (src[3] != 0) {
                if (extent.first < 0) {
                    extent.first = x;
                }
                extent.second = x;
            }
        }
    }
    return image;
}

void view3d::NavigationControls::SetViewSize(int width, int height) {
    viewWidth_ = width;
    viewHeight_ = height;
}

bool view3d::NavigationControls::LoadCompanyLogo(const std::u16string& file) {
    Image& slot = slots_[kCompanyLogo];
    slot = Image{};
    platform::RgbaImage rgba;
    if (file.empty() || !platform::DecodePngRgbaFile(platform::ToUtf8(file), rgba)) {
        return false;
    }
    slot = MakeImage(rgba);
    slot.anchor = 0;
    slot.visible = true;
    return true;
}

void view3d::NavigationControls::Show(std::initializer_list<int> slots, bool visible) {
    for (int s : slots) {
        slots_[s].visible = visible;
    }
}

void view3d::NavigationControls::HideAll() {
    for (Image& slot : slots_) {
        slot.visible = false;
    }
}

void view3d::NavigationControls::ShowHide(bool show) {
    if (show) {
        Show({kZoomIn, kZoomOut, kPad, kHide}, true);
        Show({kShow, kShowHovered}, false);
    } else {
        Show({kZoomIn, kZoomOut, kPad, kHide, kHideHovered}, false);
        Show({kShow}, true);
    }
    if (render_) {
        render_();
    }
    Fire(SX_ControlEvents::kNavigationControlsVisible, platform::Variant(show));
}

// ---------------------------------------------------------------------------
// Drawing

void view3d::NavigationControls::Draw(StraleLib::SX_OpenGLWorld& world) {
    viewWidth_ = world.Width();
    viewHeight_ = world.Height();
    static constexpr int kOrder[kSlotCount] = {13, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 14};
    bool begun = false;
    for (int s : kOrder) {
        const Image& image = slots_[s];
        if (!image.visible || !image.HasPixels()) {
            continue;
        }
        if (!begun) {
            world.BeginOverlay();
            glDisable(GL_DEPTH_TEST);
            glDisable(GL_TEXTURE_2D);
            glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            begun = true;
        }
        const int x = image.anchor == 1 ? 0 : viewWidth_ - image.xOffset - image.width;
        const int y = image.anchor == 1 ? viewHeight_ - image.height
                                        : viewHeight_ - image.yOffset - image.height;
        // Placed through a bitmap move, so an image partly off the left or
        // bottom edge still shows its visible part.
        glRasterPos2i(0, 0);
        glBitmap(0, 0, 0.0f, 0.0f, static_cast<GLfloat>(x), static_cast<GLfloat>(y), nullptr);
        glDrawPixels(image.width, image.height, GL_BGRA, GL_UNSIGNED_BYTE, image.bgra.data());
    }
    if (begun) {
        glDisable(GL_BLEND);
        world.EndOverlay();
    }
}

// ---------------------------------------------------------------------------
// Hit testing and input

bool view3d::NavigationControls::SlotPixel(int slot, int x, int y, int& column, int& row) const {
    const Image& image = slots_[slot];
    if (!image.visible || !image.HasPixels()) {
        return false;
    }
    const int left = image.anchor == 1 ? 0 : viewWidth_ - image.xOffset - image.width;
    const int top = image.anchor == 1 ? 0 : image.yOffset;
    column = x - left;
    row = y - top;
    if (column < 0 || column >= image.width || row < 0 || row >= image.height) {
        return false;
    }
    const auto& extent = image.extents[image.height - 1 - row];
    return extent.first >= 0 && column >= extent.first && column <= extent.second;
}

bool view3d::NavigationControls::HitSlot(int slot, int x, int y) const {
    int column = 0;
    int row = 0;
    return slot >= 0 && slot < kSlotCount && SlotPixel(slot, x, y, column, row);
}

int view3d::NavigationControls::HitButton(int x, int y, int& column, int& row) const {
    for (int s = 0; s <= kHideHovered; ++s) {
        if (SlotPixel(s, x, y, column, row)) {
            return s;
        }
    }
    return -1;
}

int view3d::NavigationControls::PadDirection(int px, int py, int width, int height) {
    const int w3 = width / 3;
    const int h3 = height / 3;
    if (px < w3) {
        return py < h3 ? 4 : py > 2 * h3 ? 6 : kActionLeft;
    }
    if (px > 2 * w3) {
        return py < h3 ? 5 : py > 2 * h3 ? 7 : kActionRight;
    }
    if (py < h3) {
        return kActionUp;
    }
    const bool centreBand = 12 < px && px < 20;
    if (centreBand && py < 16) {
        return kActionUp;
    }
    if (centreBand && py > 16) {
        return kActionDown;
    }
    if (py > 2 * h3) {
        return kActionDown;
    }
    if (!(12 < py && py < 20)) {
        return -1;
    }
    return px > 16 ? kActionRight : kActionLeft;
}

bool view3d::NavigationControls::OnLButtonDown(int x, int y) {
    int column = 0;
    int row = 0;
    const int slot = HitButton(x, y, column, row);
    if (slot < 0) {
        return false;
    }
    if (slot == kZoomIn || slot == kZoomInPressed) {
        Show({kZoomIn}, false);
        Show({kZoomInPressed}, true);
        Fire(SX_ControlEvents::kPanZoomControls,
             platform::Variant(std::int32_t{kActionZoomInPressed}));
    } else if (slot == kZoomOut || slot == kZoomOutPressed) {
        Show({kZoomOut}, false);
        Show({kZoomOutPressed}, true);
        Fire(SX_ControlEvents::kPanZoomControls,
             platform::Variant(std::int32_t{kActionZoomOutPressed}));
    } else if (slot >= kPad && slot <= kPadRight) {
        const Image& image = slots_[slot];
        const int direction = PadDirection(column, row, image.width, image.height);
        static constexpr int kHighlight[4] = {kPadUp, kPadDown, kPadLeft, kPadRight};
        if (direction >= 0 && direction <= 3) {
            Show({kPad}, false);
            Show({kHighlight[direction]}, true);
        }
        if (direction >= 0) {
            Fire(SX_ControlEvents::kPanZoomControls, platform::Variant(std::int32_t{direction}));
        }
    }
    // The show and hide buttons act on release only.
    return true;
}

bool view3d::NavigationControls::OnLButtonUp(int x, int y) {
    int column = 0;
    int row = 0;
    const int slot = HitButton(x, y, column, row);
    if (slot < 0) {
        return false;
    }
    if (slot == kZoomIn || slot == kZoomInPressed) {
        Show({kZoomInPressed}, false);
        Show({kZoomIn}, true);
        Fire(SX_ControlEvents::kPanZoomControls,
             platform::Variant(std::int32_t{kActionZoomInReleased}));
    } else if (slot == kZoomOut || slot == kZoomOutPressed) {
        Show({kZoomOutPressed}, false);
        Show({kZoomOut}, true);
        Fire(SX_ControlEvents::kPanZoomControls,
             platform::Variant(std::int32_t{kActionZoomOutReleased}));
    } else if (slot >= kPad && slot <= kPadRight) {
        Show({kPadDown, kPadUp, kPadLeft, kPadRight}, false);
        Show({kPad}, true);
        Fire(SX_ControlEvents::kPanZoomControls,
             platform::Variant(std::int32_t{kActionPadReleased}));
    } else if (slot == kHide || slot == kHideHovered) {
        ShowHide(false);
    } else if (slot == kShow || slot == kShowHovered) {
        ShowHide(true);
    }
    return true;
}

bool view3d::NavigationControls::OnMouseMove(int x, int y) {
    bool changed = false;
    const auto hover = [&](int normal, int hovered) {
        if (IsVisible(normal) && HitSlot(normal, x, y)) {
            Show({normal}, false);
            Show({hovered}, true);
            changed = true;
        } else if (IsVisible(hovered) && !HitSlot(hovered, x, y)) {
            Show({hovered}, false);
            Show({normal}, true);
            changed = true;
        }
    };
    hover(kHide, kHideHovered);
    hover(kShow, kShowHovered);
    return changed;
}

void view3d::NavigationControls::Fire(platform::DISPID id, platform::Variant arg) {
    if (sink_) {
        sink_(id, {std::move(arg)});
    }
}
