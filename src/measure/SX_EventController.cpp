#include "measure/SX_EventController.h"

SX_EventController::SX_EventController(measure::ControllerHost& host) : host_(host) {}

SX_EventController::~SX_EventController() = default;

StraleLib::SX_OpenGLCamera* SX_EventController::Camera() const {
    return host_.Camera();
}

void SX_EventController::StopTimer() {
    host_.StopViewTimer();
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
