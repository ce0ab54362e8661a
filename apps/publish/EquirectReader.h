#pragma once
// A 360-degree photo in the equirectangular projection (JPEG or PNG, twice as
// wide as high) and its resampling onto cube faces.
//
// Column x of a W-pixel-wide photo looks at the azimuth (x + 0.5) * 360 / W -
// 180 degrees, clockwise from the station's front; row y of an H-pixel-high
// photo at the elevation 90 - (y + 0.5) * 180 / H degrees. So the photo's
// centre is the front face's centre and its top row the zenith.

#include <string>

#include "platform/Image.h"
#include "publish/CubeSampler.h"

namespace publish {

// Decodes the photo. False with "NAME: message" in *error when it cannot be
// read or is not twice as wide as high.
bool ReadEquirect(const std::string& path, platform::RgbImage& out, std::string* error);

// The six faces of `size` pixels: each face pixel is the mean of k x k
// bilinear samples spread over it, k being the number of photo pixels across
// the face pixel (at least 1, at most 8), so a face smaller than the photo's
// resolution is filtered rather than aliased. No points.
SampledCube ResampleEquirect(const platform::RgbImage& photo, int size);

}  // namespace publish
