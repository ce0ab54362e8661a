#include "glcore/SX_OpenGLText.h"

#include <GL/gl.h>

#include <cmath>

#include "glcore/OpenGLFonts.h"
#include "glcore/SX_OpenGLWorld.h"

namespace StraleLib {

namespace {

bool ToPixel(double value, int& out) {
    if (!std::isfinite(value) || std::fabs(value) > 1.0e9) {
        return false;
    }
    out = static_cast<int>(value);  // truncated toward zero
    return true;
}

}  // namespace

bool SX_OpenGLText::WindowPosition(int& x, int& y) const {
    double wx = x_;
    double wy = y_;
    if (!inPixels_) {
        if (!projector_ || !projector_(camera_, x_, y_, z_, wx, wy)) {
            return false;
        }
    }
    return ToPixel(wx, x) && ToPixel(wy, y);
}

void SX_OpenGLText::Draw() {
    int x = 0;
    int y = 0;
    if (world_ == nullptr || !WindowPosition(x, y)) {
        return;
    }
    const std::string bytes = OpenGLFonts::ToFontBytes(text_);
    const auto count = static_cast<GLsizei>(bytes.size());

    world_->BeginOverlay();
    glPushAttrib(GL_LIST_BIT);
    glDisable(GL_DEPTH_TEST);
    // Bitmap fragments would otherwise take the texel of whatever is bound.
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glListBase(OpenGLFonts::ListBase(font_));

    // The raster colour is latched by glRasterPos, so the colour comes first.
    glColor4d(outline_[0], outline_[1], outline_[2], 1.0);
    static constexpr int kOutline[4][2] = {{1, -1}, {-1, 1}, {1, 1}, {-1, -1}};
    for (const auto& offset : kOutline) {
        glRasterPos2i(x + offset[0], y + offset[1]);
        glCallLists(count, GL_UNSIGNED_BYTE, bytes.data());
    }
    glColor4d(colour_[0], colour_[1], colour_[2], 1.0);
    glRasterPos2i(x, y);
    glCallLists(count, GL_UNSIGNED_BYTE, bytes.data());

    glDisable(GL_BLEND);
    glPopAttrib();
    world_->EndOverlay();
}

}  // namespace StraleLib
