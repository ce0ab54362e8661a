#include "glcore/SX_OpenGLTextureTile.h"

#include <GL/gl.h>

#include <cstring>

#include "glcore/SX_OpenGLTexture.h"

namespace StraleLib {

SX_OpenGLTextureTile::SX_OpenGLTextureTile(SX_OpenGLWorld* world, std::uint32_t x, std::uint32_t y,
                                           std::uint32_t width, std::uint32_t height)
    : world_(world), x_(x), y_(y), width_(width), height_(height) {}

SX_OpenGLTextureTile::~SX_OpenGLTextureTile() {
    if (name_ != 0) {
        const GLuint name = name_;
        glDeleteTextures(1, &name);
    }
}

void SX_OpenGLTextureTile::Copy(const std::uint8_t* full, std::uint32_t fullWidth) {
    const std::size_t rowBytes = static_cast<std::size_t>(width_) * 4;
    const std::size_t stride = static_cast<std::size_t>(fullWidth) * 4;
    pixels_.assign(rowBytes * height_, 0);
    for (std::uint32_t row = 0; row < height_; ++row) {
        std::memcpy(pixels_.data() + row * rowBytes,
                    full + (static_cast<std::size_t>(y_) + row) * stride + x_ * std::size_t{4},
                    rowBytes);
    }
}

void SX_OpenGLTextureTile::Upload() {
    if (pixels_.empty()) {
        return;
    }
    name_ = SX_OpenGLTexture::MakeGlTexture(world_, width_, height_, 0, pixels_.data());
    std::vector<std::uint8_t>().swap(pixels_);
    uploaded_ = true;
}

void SX_OpenGLTextureTile::Draw() {
    glBindTexture(GL_TEXTURE_2D, uploaded_ ? name_ : 0);
}

}  // namespace StraleLib
