#include "glcore/SX_OpenGLTexture.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>

#include "glcore/SX_OpenGLWorld.h"

namespace StraleLib {

SX_OpenGLTexture::SX_OpenGLTexture(SX_OpenGLWorld* world, std::uint32_t maxTileEdge)
    : world_(world), maxTileEdge_(maxTileEdge) {}

SX_OpenGLTexture::~SX_OpenGLTexture() {
    if (name_ != 0) {
        const GLuint name = name_;
        glDeleteTextures(1, &name);
    }
}

bool SX_OpenGLTexture::Load(const platform::RgbImage& colour, const platform::Mask* mask,
                            std::uint32_t border) {
    if (colour.width <= 0 || colour.height <= 0) {
        return false;
    }
    const auto pixelCount = static_cast<std::size_t>(colour.width) * colour.height;
    if (colour.rgb.size() < pixelCount * 3) {
        return false;  // a malformed image is as good as an empty one
    }
    width_ = static_cast<std::uint32_t>(colour.width);
    height_ = static_cast<std::uint32_t>(colour.height);
    border_ = border;
    // A reload starts over; an earlier texture name is replaced at upload.
    uploaded_ = false;
    tiled_ = false;
    hasAlpha_ = false;
    tiles_.clear();
    std::vector<std::uint8_t>(pixelCount * 4, 0).swap(pixels_);

    if (mask != nullptr) {
        hasAlpha_ = true;
        // The mask is read over the image's rectangle; one too small for it
        // cannot be read and leaves the pixels as allocated.
        if (mask->width >= colour.width && mask->height >= colour.height &&
            mask->opaque.size() >= static_cast<std::size_t>(mask->width) * mask->height) {
            for (int y = 0; y < colour.height; ++y) {
                const std::uint8_t* src =
                    colour.rgb.data() + static_cast<std::size_t>(y) * colour.width * 3;
                const std::uint8_t* bits =
                    mask->opaque.data() + static_cast<std::size_t>(y) * mask->width;
                std::uint8_t* dst = pixels_.data() + static_cast<std::size_t>(y) * colour.width * 4;
                for (int x = 0; x < colour.width; ++x, src += 3, dst += 4) {
                    dst[0] = src[2];
                    dst[1] = src[1];
                    dst[2] = src[0];
                    dst[3] = bits[x] != 0 ? kOpaqueAlpha : kClearAlpha;
                }
            }
        }
    } else {
        const std::uint8_t* src = colour.rgb.data();
        std::uint8_t* dst = pixels_.data();
        for (std::size_t i = 0; i < pixelCount; ++i, src += 3, dst += 4) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
            dst[3] = kOpaqueAlpha;
        }
    }

    CutTiles();
    return true;
}

bool SX_OpenGLTexture::LoadBgra(std::vector<std::uint8_t>& pixels, std::uint32_t width,
                                std::uint32_t height, bool hasAlpha, std::uint32_t border) {
    if (width == 0 || height == 0 || pixels.size() < static_cast<std::size_t>(width) * height * 4) {
        return false;
    }
    width_ = width;
    height_ = height;
    border_ = border;
    uploaded_ = false;
    tiled_ = false;
    hasAlpha_ = hasAlpha;
    tiles_.clear();
    pixels_.swap(pixels);
    pixels.clear();
    CutTiles();
    return true;
}

bool SX_OpenGLTexture::ApplyMask(std::vector<std::uint8_t>& bgra, int width, int height,
                                 const platform::Mask& mask) {
    const auto count = static_cast<std::size_t>(width) * height;
    if (width <= 0 || height <= 0 || bgra.size() < count * 4) {
        return false;
    }
    if (mask.width < width || mask.height < height ||
        mask.opaque.size() < static_cast<std::size_t>(mask.width) * mask.height) {
        std::fill(bgra.begin(), bgra.begin() + static_cast<std::ptrdiff_t>(count * 4), 0);
        return false;
    }
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* bits = mask.opaque.data() + static_cast<std::size_t>(y) * mask.width;
        std::uint8_t* alpha = bgra.data() + static_cast<std::size_t>(y) * width * 4 + 3;
        for (int x = 0; x < width; ++x, alpha += 4) {
            *alpha = bits[x] != 0 ? kOpaqueAlpha : kClearAlpha;
        }
    }
    return true;
}

void SX_OpenGLTexture::CutTiles() {
    const std::uint32_t edge = maxTileEdge_ != 0 ? maxTileEdge_ : std::max(width_, height_);
    tilesAcross_ = (width_ + edge - 1) / edge;
    tilesDown_ = (height_ + edge - 1) / edge;
    if (tilesAcross_ < 2 && tilesDown_ < 2) {
        return;
    }
    tiled_ = true;
    MakeTiles();
}

void SX_OpenGLTexture::MakeTiles() {
    tiles_.clear();
    const std::uint32_t edge = maxTileEdge_;
    for (std::uint32_t i = 0; i < tilesAcross_; ++i) {
        for (std::uint32_t j = 0; j < tilesDown_; ++j) {
            const std::uint32_t x = i * edge;
            const std::uint32_t y = j * edge;
            auto tile = std::make_unique<SX_OpenGLTextureTile>(
                world_, x, y, std::min(edge, width_ - x), std::min(edge, height_ - y));
            tile->Copy(pixels_.data(), width_);
            tiles_.push_back(std::move(tile));
        }
    }
}

std::uint32_t SX_OpenGLTexture::MakeGlTexture(const SX_OpenGLWorld* world, std::uint32_t width,
                                              std::uint32_t height, std::uint32_t border,
                                              const std::uint8_t* pixels) {
    glEnable(GL_TEXTURE_2D);
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    SX_OpenGLWorld::SetTextureParameters(world != nullptr && world->EdgeClampSupported());
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    // The unsized internal format lets the driver store the texture in the
    // B, G, R, A order it is given: llvmpipe then copies the rows as they
    // are, where GL_RGBA8 made it swap red and blue at every upload (about
    // ten times slower for a 2048-pixel face). The storage is made first and
    // the pixels go in as a sub-image: llvmpipe copies those straight, where
    // pixels handed to glTexImage2D took about three times as long.
    const bool subImage = border == 0 && pixels != nullptr;
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, static_cast<GLsizei>(width),
                 static_cast<GLsizei>(height), static_cast<GLint>(border), GL_BGRA,
                 GL_UNSIGNED_BYTE, subImage ? nullptr : pixels);
    if (subImage) {
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, static_cast<GLsizei>(width),
                        static_cast<GLsizei>(height), GL_BGRA, GL_UNSIGNED_BYTE, pixels);
    }
    // Errors of texture creation are read and ignored: the texture stays
    // as OpenGL left it.
    while (glGetError() != GL_NO_ERROR) {
    }
    return name;
}

void SX_OpenGLTexture::Upload(std::vector<std::uint8_t>* pixels) {
    const auto letGo = [this, pixels] {
        if (pixels != nullptr) {
            pixels->swap(pixels_);
        }
        std::vector<std::uint8_t>().swap(pixels_);
        uploaded_ = true;
    };
    if (tiled_) {
        for (auto& tile : tiles_) {
            tile->Upload();
        }
        letGo();
        return;
    }
    if (pixels_.empty()) {
        return;
    }
    if (name_ != 0) {
        const GLuint old = name_;
        glDeleteTextures(1, &old);
    }
    name_ = MakeGlTexture(world_, width_, height_, border_, pixels_.data());
    letGo();
}

void SX_OpenGLTexture::Draw() {
    if (tiled_) {
        return;
    }
    glBindTexture(GL_TEXTURE_2D, uploaded_ ? name_ : 0);
}

void SX_OpenGLTexture::DrawTiles(const double p0[3], const double p1[3], int plane) {
    if (width_ == 0 || height_ == 0) {
        return;
    }
    // Axes along which texture u and v run, by plane selector.
    int uAxis = 0;
    int vAxis = 1;
    switch (plane) {
        case 0:
            uAxis = 2;
            vAxis = 1;
            break;
        case 1:
            uAxis = 0;
            vAxis = 2;
            break;
        case 2:
            uAxis = 0;
            vAxis = 1;
            break;
        default:
            return;
    }
    const double du = (p1[uAxis] - p0[uAxis]) / width_;
    const double dv = (p1[vAxis] - p0[vAxis]) / height_;
    auto vertex = [&](double u, double v) {
        double p[3] = {p0[0], p0[1], p0[2]};
        p[uAxis] += u * du;
        p[vAxis] += v * dv;
        glVertex3dv(p);
    };
    for (auto& tile : tiles_) {
        tile->Draw();
        const double x = tile->X();
        const double y = tile->Y();
        const double w = tile->Width();
        const double h = tile->Height();
        glColor4d(1.0, 1.0, 1.0, 1.0);
        glBegin(GL_QUADS);
        glTexCoord2d(0.0, 0.0);
        vertex(x, y);
        glTexCoord2d(0.0, 1.0);
        vertex(x, y + h);
        glTexCoord2d(1.0, 1.0);
        vertex(x + w, y + h);
        glTexCoord2d(1.0, 0.0);
        vertex(x + w, y);
        glEnd();
    }
}

}  // namespace StraleLib
