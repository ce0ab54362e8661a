#include "measure/SX_VertexMark.h"

#include "glcore/SX_OpenGLCamera.h"
#include "glcore/SX_OpenGLText.h"
#include "host/SX_Format.h"

SX_VertexMark::SX_VertexMark(double x, double y, double z, int upDirection,
                             StraleLib::SX_OpenGLCamera* camera, const StationInfo& station,
                             const measure::MeasureDefaults& defaults)
    : SX_Mark(camera, station, defaults),
      raw_{x, y, z},
      worldPoint_{x, y, z},
      view_(ScanToViewFrame(upDirection, x, y, z)),
      upDirection_(upDirection) {
    MutableLabel().SetPosition(view_[0], view_[1], view_[2]);
    Update();
}

void SX_VertexMark::Update() {
    const double k = Factor();
    std::u16string text[3];
    for (int i = 0; i < 3; ++i) {
        display_[i] = worldPoint_[i] * k;
        text[i] = FormatInternal(worldPoint_[i]);
    }
    MutableLabel().SetText(SX_Format(u"%s %s %s %s", {text[0], text[1], text[2], UnitText()}));
}

void SX_VertexMark::SetTransform(const Transform& transform) {
    transform_ = transform;
    const Pnt3Dbl p = transform_.rotation.RotatePoint(Pnt3Dbl(raw_[0], raw_[1], raw_[2]));
    worldPoint_ = {p.x + transform_.translation[0], p.y + transform_.translation[1],
                   p.z + transform_.translation[2]};
    Update();
}

bool SX_VertexMark::GetDirection(double& altitude, double& azimuth) const {
    return StraleLib::SX_OpenGLCamera::DirectionAngles(view_[0], view_[1], view_[2], altitude,
                                                       azimuth);
}

void SX_VertexMark::Draw() {
    DrawCross(view_);
}
