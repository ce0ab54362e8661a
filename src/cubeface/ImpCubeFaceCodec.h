#pragma once
// Per-pixel point queries of one cube face at one level. ImpCubeFaceReader
// is the implementation that reads a point file; callers query it through
// this interface.

class ImpCubeFaceCodec {
  public:
    virtual ~ImpCubeFaceCodec() = default;

    // Whether pixel (col, row) has a measured point. False outside the face.
    virtual bool HasPoint(int col, int row) const = 0;

    // The point of pixel (col, row): in the station's scan frame and internal
    // unit when inScanFrame is true, otherwise in the view frame (see
    // CubeFaceGeometry.h). False, leaving x, y, z untouched, when the pixel
    // has no point or lies outside the face.
    virtual bool GetPoint(int col, int row, double& x, double& y, double& z,
                          bool inScanFrame) const = 0;
};
