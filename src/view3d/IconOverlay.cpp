#include "view3d/IconOverlay.h"

#include <GL/gl.h>

#include "glcore/SX_OpenGLText.h"
#include "glcore/SX_OpenGLWorld.h"

void view3d::BeginIconOverlay(StraleLib::SX_OpenGLWorld& world) {
    world.BeginOverlay();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void view3d::StyleIconLabel(StraleLib::SX_OpenGLText& text, StraleLib::SX_OpenGLCamera* camera) {
    text.SetCamera(camera, nullptr);
    text.SetFont(0);
    text.SetPositionInPixels(true);
    text.SetOutlineColour(0.0, 0.25, 0.0);
    text.SetTextColour(1.0, 1.0, 0.0);
}
