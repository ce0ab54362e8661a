#include "sitegen/FaceRenderer.h"

#include <cstddef>

namespace sitegen {

FaceRender RenderFace(const SiteScene& scene, const StationPose& pose, int face, int size) {
    FaceRender out;
    const std::size_t n = static_cast<std::size_t>(size) * static_cast<std::size_t>(size);
    out.image.width = out.image.height = size;
    out.image.rgb.resize(n * 3);
    out.mask.width = out.mask.height = size;
    out.mask.opaque.resize(n);
    out.points.face = face;
    out.points.size = size;
    out.points.upDirection = pose.upDirection;
    out.points.has.resize(n);
    out.points.xyz.resize(n * 3);
    for (int row = 0; row < size; ++row) {
        for (int col = 0; col < size; ++col) {
            const std::size_t i = static_cast<std::size_t>(row) * size + col;
            const SceneHit hit = scene.Trace(pose.centre, pose.PixelRay(face, col, row, size));
            out.image.rgb[i * 3 + 0] = hit.colour.r;
            out.image.rgb[i * 3 + 1] = hit.colour.g;
            out.image.rgb[i * 3 + 2] = hit.colour.b;
            out.mask.opaque[i] = hit.hasPoint ? 1 : 0;
            out.points.has[i] = hit.hasPoint ? 1 : 0;
            if (hit.hasPoint) {
                const Vec3 scan = pose.SiteToScan(hit.point);
                out.points.xyz[i * 3 + 0] = scan[0];
                out.points.xyz[i * 3 + 1] = scan[1];
                out.points.xyz[i * 3 + 2] = scan[2];
            } else {
                out.missingPoints = true;
            }
        }
    }
    return out;
}

}  // namespace sitegen
