#pragma once
// The texture of one cube-face level: an image (with an optional mask as its
// alpha) kept as a B, G, R, A pixel buffer until it is uploaded to OpenGL.
//
// An image wider or taller than the maximum tile edge (the OpenGL maximum
// texture size) is cut into tiles of at most that edge, column by column,
// each its own texture; DrawTiles puts them over the face quad so that they
// show exactly the image of the whole texture. A texture that fits stays
// whole and is bound by Draw.

#include <cstdint>
#include <memory>
#include <vector>

#include "glcore/SX_OpenGLTextureTile.h"
#include "platform/Image.h"

namespace StraleLib {

class SX_OpenGLWorld;

class SX_OpenGLTexture {
  public:
    // alpha of a pixel whose mask bit is clear, and of one whose bit is set
    static constexpr std::uint8_t kClearAlpha = 64;
    static constexpr std::uint8_t kOpaqueAlpha = 255;

    // maxTileEdge: the OpenGL maximum texture size (0: no limit).
    SX_OpenGLTexture(SX_OpenGLWorld* world, std::uint32_t maxTileEdge);
    // Deletes the OpenGL texture (context current), the tiles and the pixels.
    virtual ~SX_OpenGLTexture();
    SX_OpenGLTexture(const SX_OpenGLTexture&) = delete;
    SX_OpenGLTexture& operator=(const SX_OpenGLTexture&) = delete;

    // Builds the pixel buffer from a colour image and, when given, a mask
    // (set: alpha 255, clear: 64; without a mask every alpha is 255) and cuts
    // the tiles. A mask smaller than the image cannot be read: the pixels then
    // stay zero. False for an empty image.
    bool Load(const platform::RgbImage& colour, const platform::Mask* mask, std::uint32_t border);
    // Takes a buffer of width x height B, G, R, A pixels as the texture's
    // pixels without copying it (pixels is left empty), alpha as the caller
    // set it (hasAlpha: from a mask), and cuts the tiles. False, pixels
    // untouched, when the size is 0 or the buffer is shorter than the image.
    bool LoadBgra(std::vector<std::uint8_t>& pixels, std::uint32_t width, std::uint32_t height,
                  bool hasAlpha, std::uint32_t border);
    // Sets the alpha of B, G, R, A pixels from a mask read over the image's
    // rectangle (set: 255, clear: 64). A mask smaller than the image cannot
    // be read: the pixels are then all zero, as Load leaves them. False then.
    static bool ApplyMask(std::vector<std::uint8_t>& bgra, int width, int height,
                          const platform::Mask& mask);
    // With the context current: uploads the whole texture or every tile and
    // lets go of the pixels; with `pixels`, the pixel buffer is handed there
    // (for the caller to free when it suits) instead of being freed.
    void Upload(std::vector<std::uint8_t>* pixels = nullptr);
    // Binds the whole texture (texture 0 before it is uploaded); nothing for a
    // tiled texture.
    virtual void Draw();
    // Draws every tile as its own white quad. p0 is where texture coordinate
    // (0, 0) lies, p1 where (1, 1) lies; plane 0: constant x, u along z, v
    // along y; 1: constant y, u along x, v along z; 2: constant z, u along x,
    // v along y.
    void DrawTiles(const double p0[3], const double p1[3], int plane);

    bool IsUploaded() const { return uploaded_; }
    std::uint32_t Width() const { return width_; }
    std::uint32_t Height() const { return height_; }
    std::uint32_t Border() const { return border_; }
    std::uint32_t MaxTileEdge() const { return maxTileEdge_; }
    std::uint32_t TextureName() const { return name_; }
    bool IsTiled() const { return tiled_; }
    bool HasAlpha() const { return hasAlpha_; }
    std::uint32_t TilesAcross() const { return tilesAcross_; }
    std::uint32_t TilesDown() const { return tilesDown_; }
    const std::vector<std::unique_ptr<SX_OpenGLTextureTile>>& Tiles() const { return tiles_; }
    // Empty once uploaded.
    const std::vector<std::uint8_t>& Pixels() const { return pixels_; }

    // Makes one 2D texture from a B, G, R, A buffer with the parameters every
    // face texture and tile uses and returns its name (context current).
    static std::uint32_t MakeGlTexture(const SX_OpenGLWorld* world, std::uint32_t width,
                                       std::uint32_t height, std::uint32_t border,
                                       const std::uint8_t* pixels);

  private:
    void CutTiles();
    void MakeTiles();

    SX_OpenGLWorld* world_;
    bool uploaded_ = false;
    std::uint32_t width_ = 0;
    std::uint32_t height_ = 0;
    std::vector<std::uint8_t> pixels_;
    std::uint32_t name_ = 0;
    bool tiled_ = false;
    std::uint32_t border_ = 0;
    std::uint32_t maxTileEdge_;
    bool hasAlpha_ = false;
    std::vector<std::unique_ptr<SX_OpenGLTextureTile>> tiles_;
    std::uint32_t tilesAcross_ = 0;
    std::uint32_t tilesDown_ = 0;
};

}  // namespace StraleLib
