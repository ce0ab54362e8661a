#pragma once
// Traces one cube face of one station at one face size: the colour image, the
// mask of pixels that have a point, and the points in the station's scan
// frame and internal unit.

#include "cubeface/CubeFaceWriter.h"
#include "platform/Image.h"
#include "sitegen/SiteScene.h"
#include "sitegen/StationPose.h"

namespace sitegen {

struct FaceRender {
    platform::RgbImage image;
    platform::Mask mask;         // 1 where the pixel has a point
    bool missingPoints = false;  // some pixel has no point
    cubeface::FacePoints points;
};

// One ray per pixel, through the pixel's centre.
FaceRender RenderFace(const SiteScene& scene, const StationPose& pose, int face, int size);

}  // namespace sitegen
