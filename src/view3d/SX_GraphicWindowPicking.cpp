// Picking: a client pixel of the view becomes a viewing ray (unprojected with
// the matrices of the last frame, holding the context) and then, unless the
// view picks directions (mode 4), the measured point of the face pixel that
// the ray meets, at the level last drawn on that face.

#include "cubeface/CubeFaceGeometry.h"
#include "glcore/SX_OpenGLCamera.h"
#include "station/SX_CubeMap.h"
#include "station/SX_PanoramaDataSet.h"
#include "view3d/SX_GraphicWindow.h"

namespace {

constexpr int kDirectionMode = 4;

}  // namespace

bool SX_GraphicWindow::PickPoint(int x, int y, double& X, double& Y, double& Z) {
    SX_CubeMap* cube = dataSet_.CubeMap();
    StraleLib::SX_OpenGLCamera* camera = dataSet_.Camera();
    if (cube == nullptr || camera == nullptr || !HasOpenGL()) {
        return false;
    }
    // The viewport and the matrices are OpenGL state: wait for the context
    // (the loader may be uploading) and give it back whatever the outcome.
    if (!context_->Acquire()) {
        return false;
    }
    double dx = 0.0;
    double dy = 0.0;
    double dz = 0.0;
    const bool unprojected = camera->Unproject(x, y, dx, dy, dz);
    context_->Release();
    if (!unprojected) {
        return false;
    }
    if (Mode() == kDirectionMode) {
        X = dx;
        Y = dy;
        Z = dz;
        return true;
    }
    const cubeface::FaceHit hit = cubeface::FaceOfDirection(dx, dy, dz);
    return cube->PointAt(hit.face, hit.u, hit.v, X, Y, Z);
}
