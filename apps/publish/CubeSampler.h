#pragma once
// Resamples measured points onto the six faces of a cube map and turns the
// result into the files of one level: the face images, the masks and the
// point files.
//
// A point lands on the face pixel its direction meets. Each pixel keeps the
// measured point whose direction is nearest its centre, among the points of
// a footprint of about three quarters of the scan's angular step (at least the
// pixel itself, at most one pixel around it, so that a face pixel smaller
// than the scan's step still finds its point); its colour is the mean of the
// points whose direction lies inside it, or else the nearest point's. A
// coarser level takes, for each of its pixels, the mean colour of the finer
// pixels whose centres lie inside it and the point nearest its centre.
//
// Points are in the station's levelled scan frame (z up, up direction 0).

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "cubeface/CubeFaceGeometry.h"
#include "cubeface/CubeFaceWriter.h"
#include "platform/Image.h"

namespace publish {

using Vec3 = cubeface::Vec3;

// One face of one level.
struct SampledFace {
    std::vector<float> range;        // per pixel, 0: no point
    std::vector<std::int8_t> du;     // the point's offset from the pixel's centre,
    std::vector<std::int8_t> dv;     // in 1/63 of a pixel, -63 .. 63
    std::vector<std::uint8_t> rgb;   // 3 per pixel
    std::vector<std::uint8_t> seen;  // per pixel, non-zero: it has a colour
};

struct SampledCube {
    int size = 0;
    std::array<SampledFace, 6> faces;
};

// Where one point lands: computed on any thread, put on the sampler's.
struct Landing {
    float view[3];      // direction in the view frame, its length the range
    float x, y;         // on the face, in pixels, pixel centres at whole numbers
    float radius;       // of the footprint, in pixels
    std::uint8_t face;  // 0..5, or kNoReturn
    std::uint8_t rgb[3];
};

// The face of a Landing for a grid point without a return (its colour only).
constexpr std::uint8_t kNoReturn = 255;

class CubeSampler {
  public:
    // stepRadians: the angle between neighbouring points of the scan.
    CubeSampler(int size, double stepRadians);

    // False for a point at the centre. Const: may run on any thread.
    bool Land(const Vec3& scanPoint, std::uint8_t r, std::uint8_t g, std::uint8_t b,
              Landing& out) const;
    void Put(const Landing& landing);
    // A colour seen along a direction (view frame) without a measured point:
    // it counts towards its pixel's mean colour only.
    void PutColour(const Vec3& view, const std::uint8_t* rgb);
    void Add(const Vec3& scanPoint, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        Landing l;
        if (Land(scanPoint, r, g, b, l)) {
            Put(l);
        }
    }
    // The cube, with the colours averaged, its faces on up to `threads`
    // threads; the sampler is spent.
    SampledCube Finish(int threads = 1);

  private:
    void AddColour(int face, double x, double y, const std::uint8_t* rgb);
    void Splat(int face, double x, double y, double radius, float range, const std::uint8_t* rgb);

    // What a pixel gathers while the points arrive, in one place so that a
    // point touches one cache line per pixel row.
    struct Cell {
        float range;  // 0: no point yet
        std::int8_t du, dv;
        std::uint8_t rgb[3];   // the nearest point's colour
        std::uint8_t count;    // of the colours summed, at most 255
        std::uint16_t sum[3];  // colours of the points whose direction lies in the pixel
    };

    int size_;
    double step_;
    std::array<std::vector<Cell>, 6> cells_;
};

// The same cube at a smaller face size, its faces on up to `threads` threads.
SampledCube Downsample(const SampledCube& fine, int size, int threads = 1);

// The files of one face of a level, ready for the encoders.
struct FaceOutput {
    platform::RgbImage image;
    platform::Mask mask;
    bool missingPoints = false;
    cubeface::FacePoints points;
    // The largest distance, over the face's measured pixels, between a
    // pixel's point and any ray through the pixel (before the point file's
    // range rounding).
    double maxRayDistance = 0.0;
};

FaceOutput MakeFaceOutput(const SampledCube& cube, int face, bool withPoints);

// Whether a direction (view frame) of face f: face coordinates (x, y) in
// pixels of a face of `size`, pixel centres at whole numbers. False when the
// direction does not point into the face's half-space.
bool ProjectOnFace(int face, const Vec3& view, int size, double& x, double& y);

}  // namespace publish
