#pragma once
// The base of everything drawn into the 3D view (camera, cube map, textures,
// tiles, text). A drawable belongs to one world, given at construction and
// never owned; the world supplies the view size.

namespace StraleLib {

class SX_OpenGLWorld;

class SX_OpenGLDrawable {
  public:
    explicit SX_OpenGLDrawable(SX_OpenGLWorld* world) : world_(world) {}
    virtual ~SX_OpenGLDrawable();
    SX_OpenGLDrawable(const SX_OpenGLDrawable&) = delete;
    SX_OpenGLDrawable& operator=(const SX_OpenGLDrawable&) = delete;

    // Draws with the OpenGL context current on the calling thread.
    virtual void Draw() = 0;

    SX_OpenGLWorld* World() const { return world_; }

  protected:
    SX_OpenGLWorld* world_ = nullptr;
};

}  // namespace StraleLib
