#pragma once
// One piece of a tiled texture: a fixed pixel rectangle of the full image
// with its own pixel buffer (B, G, R, A) and its own OpenGL texture.

#include <cstdint>
#include <vector>

namespace StraleLib {

class SX_OpenGLWorld;

class SX_OpenGLTextureTile {
  public:
    SX_OpenGLTextureTile(SX_OpenGLWorld* world, std::uint32_t x, std::uint32_t y,
                         std::uint32_t width, std::uint32_t height);
    // Deletes the OpenGL texture (context current) and the pixel buffer.
    virtual ~SX_OpenGLTextureTile();
    SX_OpenGLTextureTile(const SX_OpenGLTextureTile&) = delete;
    SX_OpenGLTextureTile& operator=(const SX_OpenGLTextureTile&) = delete;

    // Copies the tile's rectangle out of a full B, G, R, A buffer whose rows
    // are fullWidth pixels long; the caller makes sure the rectangle lies
    // inside it.
    void Copy(const std::uint8_t* full, std::uint32_t fullWidth);
    // With the context current, while the tile still holds its pixels:
    // makes the texture (border 0) and frees the pixels.
    void Upload();
    // Binds the tile's texture, or texture 0 before it is uploaded.
    virtual void Draw();

    std::uint32_t X() const { return x_; }
    std::uint32_t Y() const { return y_; }
    std::uint32_t Width() const { return width_; }
    std::uint32_t Height() const { return height_; }
    bool IsUploaded() const { return uploaded_; }
    std::uint32_t TextureName() const { return name_; }
    const std::vector<std::uint8_t>& Pixels() const { return pixels_; }

  private:
    SX_OpenGLWorld* world_;
    const std::uint32_t x_;
    const std::uint32_t y_;
    const std::uint32_t width_;
    const std::uint32_t height_;
    std::vector<std::uint8_t> pixels_;
    std::uint32_t name_ = 0;
    bool uploaded_ = false;
};

}  // namespace StraleLib
