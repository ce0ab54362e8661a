#include "view3d/HotlinkPainter.h"

#include <GL/gl.h>

#include <array>

#include "glcore/SX_OpenGLCamera.h"
#include "glcore/SX_OpenGLText.h"
#include "glcore/SX_OpenGLWorld.h"
#include "measure/SX_Mark.h"
#include "platform/Image.h"
#include "platform/Text.h"
#include "view3d/IconOverlay.h"
#include "view3d/SX_Hotlinks.h"

using view3d::HotlinkPainter;

namespace {

// Moves the raster position to a window pixel, also off the left or bottom
// edge (where glRasterPos would make it invalid and draw nothing).
void RasterAt(int x, int y) {
    glRasterPos2i(0, 0);
    glBitmap(0, 0, 0.0f, 0.0f, static_cast<GLfloat>(x), static_cast<GLfloat>(y), nullptr);
}

HotlinkPainter::Icon FromRgba(const platform::RgbaImage& image) {
    HotlinkPainter::Icon icon;
    icon.width = image.width;
    icon.height = image.height;
    icon.bgra.resize(image.rgba.size());
    for (int row = 0; row < image.height; ++row) {
        const std::uint8_t* src =
            image.rgba.data() + static_cast<std::size_t>(row) * image.width * 4;
        std::uint8_t* dst =
            icon.bgra.data() + static_cast<std::size_t>(image.height - 1 - row) * image.width * 4;
        for (int x = 0; x < image.width; ++x, src += 4, dst += 4) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
            dst[3] = src[3];
        }
    }
    return icon;
}

HotlinkPainter::Icon FromRgb(const platform::RgbImage& image) {
    platform::RgbaImage rgba;
    rgba.width = image.width;
    rgba.height = image.height;
    rgba.rgba.reserve(image.rgb.size() / 3 * 4);
    for (std::size_t i = 0; i + 2 < image.rgb.size(); i += 3) {
        rgba.rgba.insert(rgba.rgba.end(), {image.rgb[i], image.rgb[i + 1], image.rgb[i + 2], 255});
    }
    return FromRgba(rgba);
}

}  // namespace

HotlinkPainter::HotlinkPainter() : default_(BuiltInIcon()) {}

HotlinkPainter::Icon HotlinkPainter::BuiltInIcon() {
    // The hit octagon filled blue with a white rim and a white centre dot.
    constexpr int kHalf = 11;
    constexpr int kSide = 2 * kHalf + 1;
    Icon icon;
    icon.width = kSide;
    icon.height = kSide;
    icon.bgra.assign(static_cast<std::size_t>(kSide) * kSide * 4, 0);
    for (int row = 0; row < kSide; ++row) {
        const int dy = kHalf - row;  // rows are stored bottom first
        for (int col = 0; col < kSide; ++col) {
            const int dx = col - kHalf;
            if (!SX_Hotlink::InsideOctagon(dx, dy)) {
                continue;
            }
            const bool rim =
                !SX_Hotlink::InsideOctagon(dx - 1, dy) || !SX_Hotlink::InsideOctagon(dx + 1, dy) ||
                !SX_Hotlink::InsideOctagon(dx, dy - 1) || !SX_Hotlink::InsideOctagon(dx, dy + 1);
            const bool dot = dx * dx + dy * dy <= 9;
            std::uint8_t* p = icon.bgra.data() + (static_cast<std::size_t>(row) * kSide + col) * 4;
            if (rim || dot) {
                p[0] = p[1] = p[2] = 255;
            } else {
                p[0] = 200;  // blue
                p[1] = 90;
                p[2] = 0;
            }
            p[3] = 255;
        }
    }
    return icon;
}

HotlinkPainter::Icon HotlinkPainter::LoadIcon(const std::u16string& path) {
    const std::string file = platform::ToUtf8(path);
    platform::RgbaImage rgba;
    if (platform::DecodePngRgbaFile(file, rgba)) {
        return FromRgba(rgba);
    }
    platform::RgbImage rgb;
    if (platform::DecodeImageFile(file, rgb) || platform::DecodeBmpFile(file, rgb)) {
        return FromRgb(rgb);
    }
    return {};
}

bool HotlinkPainter::SetDefaultIconFile(const std::u16string& path) {
    Icon icon = LoadIcon(path);
    if (icon.Empty()) {
        return false;
    }
    default_ = std::move(icon);
    return true;
}

const HotlinkPainter::Icon& HotlinkPainter::IconFor(const std::u16string& imageFile) {
    if (imageFile.empty()) {
        return default_;
    }
    auto it = cache_.find(imageFile);
    if (it == cache_.end()) {
        it = cache_.emplace(imageFile, LoadIcon(imageFile)).first;
    }
    return it->second.Empty() ? default_ : it->second;
}

void HotlinkPainter::Draw(SX_Hotlinks& hotlinks, StraleLib::SX_OpenGLWorld& world,
                          StraleLib::SX_OpenGLCamera* camera, int upDirection) {
    const std::vector<SX_Hotlinks::Ref> all = hotlinks.All();
    std::vector<SX_Hotlink*> placed;
    const int width = world.Width();
    const int height = world.Height();
    for (const SX_Hotlinks::Ref& h : all) {
        h->screenX = SX_Hotlink::kNotDrawn;
        h->screenY = SX_Hotlink::kNotDrawn;
        int column = 0;
        int row = 0;
        // Positions are measured points of the scan frame, drawn where a
        // 3D mark at the same point is.
        const std::array<double, 3> p = ScanToViewFrame(upDirection, h->x, h->y, h->z);
        if (!h->visible || camera == nullptr ||
            !camera->Project(p[0], p[1], p[2], true, column, row)) {
            continue;
        }
        if (column < 0 || column > width || row < 0 || row > height) {
            continue;
        }
        h->screenX = column;
        h->screenY = row;
        placed.push_back(h.Get());
    }
    if (placed.empty()) {
        return;
    }
    BeginIconOverlay(world);
    StraleLib::SX_OpenGLText text(&world);
    StyleIconLabel(text, camera);
    for (SX_Hotlink* h : placed) {
        const int x = h->screenX;
        const int y = height - 1 - h->screenY;  // OpenGL rows count from the bottom
        const Icon& icon = IconFor(h->imageFile);
        if (!icon.Empty()) {
            RasterAt(x - icon.width / 2, y - icon.height / 2);
            glDrawPixels(icon.width, icon.height, GL_BGRA, GL_UNSIGNED_BYTE, icon.bgra.data());
        }
        if (h->label.empty()) {
            continue;
        }
        const double ex = x + kLabelOffset;
        const double ey = y + kLabelOffset;
        glLineWidth(3.0f);
        glColor4ub(0, 64, 0, 255);
        glBegin(GL_LINES);
        glVertex2d(x, y);
        glVertex2d(ex, ey);
        glEnd();
        glLineWidth(1.0f);
        glColor4ub(255, 255, 0, 255);
        glBegin(GL_LINES);
        glVertex2d(x, y);
        glVertex2d(ex, ey);
        glEnd();
        text.SetText(h->label);
        text.SetPosition(ex, ey, 0.0);
        text.Draw();
    }
    glDisable(GL_BLEND);
    world.EndOverlay();
}
