#include "glcore/SX_OpenGLWorld.h"

#include <GL/gl.h>
#include <GL/glext.h>

namespace StraleLib {

void SX_OpenGLWorld::Initialise() {
    const GLubyte* list = glGetString(GL_EXTENSIONS);
    extensions_ = list != nullptr ? reinterpret_cast<const char*>(list) : "";
    edgeClamp_ = extensions_.find(kEdgeClampExtension) != std::string::npos;
}

void SX_OpenGLWorld::BeginFrame() {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClearDepth(1.0);
    // Off screen the "back buffer" is the colour attachment of the bound
    // framebuffer object; GL_BACK is only valid for the default framebuffer.
    GLint framebuffer = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &framebuffer);
    glDrawBuffer(framebuffer != 0 ? GL_COLOR_ATTACHMENT0 : GL_BACK);
    glDisable(GL_LIGHTING);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glViewport(0, 0, width_, height_);
    glEnable(GL_TEXTURE_2D);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    const GLint wrap = edgeClamp_ ? GL_CLAMP_TO_EDGE : GL_REPEAT;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    if (glGetError() != GL_NO_ERROR) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
}

void SX_OpenGLWorld::BeginOverlay() {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glViewport(0, 0, width_, height_);
    if (width_ > 0 && height_ > 0) {  // an empty window keeps the identity
        glOrtho(0.0, width_, 0.0, height_, -1.0, 1.0);
    }
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

void SX_OpenGLWorld::EndOverlay() {
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
}

}  // namespace StraleLib
