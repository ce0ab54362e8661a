// The cube map's drawing and picking on the window thread; loading lives in
// SX_CubeMap.cpp.
#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "glcore/CubeGeometry.h"
#include "glcore/SX_OpenGLCamera.h"
#include "glcore/SX_OpenGLContext.h"
#include "glcore/SX_OpenGLWorld.h"
#include "station/LoadControl.h"
#include "station/SX_CubeMap.h"

using StraleLib::AutoCriticalLock;

namespace {

bool ValidFace(int face) {
    return face >= 0 && face < SX_CubeMap::kFaceCount;
}

}  // namespace

// ---------------------------------------------------------------------------
// Drawing (window thread, OpenGL context held)

double SX_CubeMap::Threshold() const {
    switch (interactionState_.load()) {
        case 0:
            return 0.3;
        case 1:
            return 0.5;
        case 2:
            return 0.8;
        default:
            return 1.0;
    }
}

int SX_CubeMap::ChooseLevel(int face) {
    if (!ValidFace(face)) {
        return -1;
    }
    AutoCriticalLock lock(tileLock_);
    const auto& textures = faces_[face].textures;
    int coarsest = -1;
    for (int level = kMaxDrawnLevel; level >= 0; --level) {
        if (textures.count(level) != 0) {
            coarsest = level;
            break;
        }
    }
    if (coarsest < 0) {
        return -1;
    }
    double viewSide = 1.0;
    if (world_ != nullptr) {
        viewSide = std::max(1, std::min(world_->Width(), world_->Height()));
    }
    const double fov = camera_ != nullptr ? camera_->FieldOfView()
                                          : StraleLib::SX_OpenGLCamera::kInitialFieldOfView;
    const double threshold = Threshold();
    int finest = coarsest;
    for (int level = coarsest; level >= 0; --level) {
        const auto it = textures.find(level);
        if (it == textures.end()) {
            continue;
        }
        finest = level;
        const double density = it->second->Width() / viewSide * fov / 90.0;
        if (density > threshold) {
            if (level < WantedLevel()) {
                SetWantedLevel(level);
            }
            return level;
        }
    }
    SetWantedLevel(std::max(finest - 1, 0));
    return finest;
}

void SX_CubeMap::DrawFace(int face) {
    const int level = ChooseLevel(face);
    AutoCriticalLock lock(tileLock_);
    Face& record = faces_[face];
    record.drawnLevel = level;
    const StraleLib::CubeFaceCorners& corners = StraleLib::kCubeFaces[face];
    const auto it = level >= 0 ? record.textures.find(level) : record.textures.end();
    if (it == record.textures.end()) {
        glDisable(GL_TEXTURE_2D);
        StraleLib::SX_OpenGLWorld::DrawCubeFace(corners);
        return;
    }
    StraleLib::SX_OpenGLTexture& texture = *it->second;
    glEnable(GL_TEXTURE_2D);
    // The texel as it is: modulating it by the white vertex colour gave the
    // same pixels through a slower llvmpipe shader.
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glEnable(GL_BLEND);
    if (alphaMode_ && hasPointData_ && texture.HasAlpha()) {
        // Pixels without a mask bit show at 64/255 over the black background.
        glBlendFunc(GL_SRC_ALPHA, GL_ZERO);
    } else {
        glDisable(GL_BLEND);
    }
    if (texture.IsTiled()) {
        texture.DrawTiles(corners.tc00, corners.tc11, corners.plane);
    } else {
        texture.Draw();
        StraleLib::SX_OpenGLWorld::DrawCubeFace(corners);
    }
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
}

void SX_CubeMap::Draw() {
    const int highest = coarsestLevel_;
    frameAfterCoarsest_ =
        highest >= 0 && highest < kMaxLevels && facesTried_[highest] >= kFaceCount;
    if (glGetError() == GL_NO_ERROR) {
        for (const int face : StraleLib::kCubeFaceDrawOrder) {
            DrawFace(face);
        }
    }
    interactionState_ = kIdle;
}

void SX_CubeMap::NoteFrameShown() {
    if (frameAfterCoarsest_ && !coarsestShown_.exchange(true)) {
        if (LoadControl* control = loadControl_.load()) {
            control->Wake();
        }
    }
}

// ---------------------------------------------------------------------------
// Picking (window thread)

namespace {

// The pixel index for a position 0..1 across n pixels: truncated toward zero,
// the far edge (n) taken as the last pixel. False when the position gives no
// representable index (not finite or far outside the face).
bool PixelIndex(double position, std::uint32_t n, int& index) {
    const double scaled = std::trunc(static_cast<double>(n) * position);
    if (!(scaled > -2147483648.0 && scaled < 2147483647.0)) {
        return false;
    }
    index = static_cast<int>(scaled);
    if (index == static_cast<int>(n)) {
        index = static_cast<int>(n) - 1;
    }
    return true;
}

}  // namespace

bool SX_CubeMap::PointAt(int face, double u, double v, double& x, double& y, double& z) const {
    if (!hasPointData_ || !ValidFace(face)) {
        return false;
    }
    // The whole query runs under the tile lock: the loader may replace the
    // reader of this face and level meanwhile.
    AutoCriticalLock lock(tileLock_);
    const Face& record = faces_[face];
    const int level = record.drawnLevel;
    const auto texture = record.textures.find(level);
    if (level < 0 || texture == record.textures.end()) {
        return false;
    }
    // The point file has the pixel grid of the colour image of its level.
    int column = 0;
    int row = 0;
    if (!PixelIndex(u, texture->second->Width(), column) ||
        !PixelIndex(v, texture->second->Height(), row)) {
        return false;
    }
    const auto reader = record.points.find(level);
    if (reader == record.points.end() || !reader->second->HasPoint(column, row)) {
        return false;
    }
    reader->second->GetPoint(column, row, x, y, z, true);
    return true;
}
