#include "glcore/SX_OpenGLWorld.h"

#include <cstdint>

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
    // Off screen the "back buffer" is the colour attachment of the bound
    // framebuffer object; GL_BACK is only valid for the default framebuffer.
    GLint framebuffer = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &framebuffer);
    glDrawBuffer(framebuffer != 0 ? GL_COLOR_ATTACHMENT0 : GL_BACK);
    glDisable(GL_LIGHTING);
    // Nothing in a frame draws with the depth test: the faces go down in
    // their order and every overlay on top. Clearing a 1920 x 1080 depth
    // buffer (8 bytes a pixel) took llvmpipe about a seventh of the frame.
    glDisable(GL_DEPTH_TEST);
    glClear(GL_COLOR_BUFFER_BIT);
    glViewport(0, 0, width_, height_);
    glEnable(GL_TEXTURE_2D);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    SetTextureParameters(edgeClamp_);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
}

void SX_OpenGLWorld::SetTextureParameters(bool edgeClamp) {
    const GLint wrap = edgeClamp ? GL_CLAMP_TO_EDGE : GL_REPEAT;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    if (glGetError() != GL_NO_ERROR) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
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

void SX_OpenGLWorld::DrawCubeFace(const CubeFaceCorners& c) {
    glColor4d(1.0, 1.0, 1.0, 1.0);
    glBegin(GL_QUADS);
    glTexCoord2d(0.0, 0.0);
    glVertex3dv(c.tc00);
    glTexCoord2d(1.0, 0.0);
    glVertex3dv(c.tc10);
    glTexCoord2d(1.0, 1.0);
    glVertex3dv(c.tc11);
    glTexCoord2d(0.0, 1.0);
    glVertex3dv(c.tc01);
    glEnd();
}

void SX_OpenGLWorld::WarmUp() {
    // What every station's first frames draw the same way, drawn once here so
    // that llvmpipe makes their shaders (and touches the framebuffer's pages)
    // before the first frame: the cube around the eye in perspective, its
    // faces first without images, then with a face texture as the loader
    // makes them (BGRA storage, then the pixels as a sub-image); then the
    // navigation controls' blended pixel images. The first frame before any
    // face took 11 ms longer without, the first with faces 6 ms.
    BeginFrame();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    const double aspect = height_ > 0 ? static_cast<double>(width_) / height_ : 1.0;
    glFrustum(-aspect, aspect, -1.0, 1.0, 1.0, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    for (const CubeFaceCorners& face : kCubeFaces) {
        DrawCubeFace(face);
    }
    {
        const std::uint8_t texels[2 * 2 * 4] = {255, 0, 0,   255, 0,   255, 0,   255,
                                                0,   0, 255, 255, 255, 255, 255, 255};
        GLuint texture = 0;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        SetTextureParameters(edgeClamp_);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 2, 2, GL_BGRA, GL_UNSIGNED_BYTE, texels);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        glEnable(GL_TEXTURE_2D);
        for (const CubeFaceCorners& face : kCubeFaces) {
            DrawCubeFace(face);
        }
        glDisable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, 0);
        glDeleteTextures(1, &texture);
    }
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    BeginOverlay();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    const std::uint8_t pixels[2 * 2 * 4] = {255, 0, 0,   255, 0,   255, 0,   255,
                                            0,   0, 255, 255, 255, 255, 255, 128};
    glRasterPos2i(0, 0);
    glDrawPixels(2, 2, GL_BGRA, GL_UNSIGNED_BYTE, pixels);
    glDisable(GL_BLEND);
    EndOverlay();
    glFinish();
    while (glGetError() != GL_NO_ERROR) {
    }
}

}  // namespace StraleLib
