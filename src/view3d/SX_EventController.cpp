#include "view3d/SX_EventController.h"

#include "control/SX_Control.h"

SX_EventController::SX_EventController(SX_Control& control, SX_GraphicWindow& view)
    : control_(control), view_(view) {}

SX_EventController::~SX_EventController() = default;

StraleLib::SX_OpenGLCamera* SX_EventController::Camera() const {
    return control_.Camera();
}

void SX_EventController::StopTimer() {
    control_.StopViewTimer();
}

bool SX_EventController::Cancel(const SX_MouseStatus&) {
    StopTimer();
    return false;
}

bool SX_EventController::Unused(const SX_MouseStatus&) {
    return false;
}

bool SX_EventController::Cancel() {
    StopTimer();
    return false;
}

bool SX_EventController::TimerTick(const SX_MouseStatus&) {
    return false;
}

void SX_EventController::DrawOverlay() {}
