#pragma once
// The OpenGL rendering context of one graphic window and its lock.
//
// Lock discipline: the context's critical section is held for exactly as long
// as the context is current on some thread.
// - Acquire (blocking) enters the section and makes the context current; on
//   success `released` becomes false and the section stays held, on failure
//   `released` becomes true and the section is left again.
// - TryAcquire does the same but returns false at once when another thread
//   holds the context.
// - Release, only while `released` is false and by the thread that acquired:
//   the context is made not current, `released` becomes true, the section is
//   left.
// The station loader acquires (blocking) to upload textures and to answer 3D
// location queries; the window thread's renderer only tries and skips the
// frame when the loader is busy, so the window thread never waits on a load.
// Each Acquire is paired with one Release; acquires do not nest.

#include <atomic>
#include <string>
#include <thread>

#include "glcore/AutoCriticalSection.h"
#include "platform/EglContext.h"
#include "platform/Image.h"

namespace StraleLib {

class SX_OpenGLContext {
  public:
    SX_OpenGLContext() = default;
    // Destroys the context when one exists.
    ~SX_OpenGLContext();
    SX_OpenGLContext(const SX_OpenGLContext&) = delete;
    SX_OpenGLContext& operator=(const SX_OpenGLContext&) = delete;

    // Creates the context with a framebuffer of width x height pixels; the
    // context is not current afterwards. False on any failure (LastError).
    bool Create(int width, int height);
    bool Acquire();
    bool TryAcquire();
    void Release();
    // Frees the context (waiting for the section when another thread holds
    // it). A caller that held the context still calls Release afterwards.
    void Destroy();

    bool IsCreated() const { return egl_.IsCreated(); }
    // True while the context is not current on any thread.
    bool IsReleased() const { return released_.load(); }

    // Of the framebuffer actually obtained.
    int ColorBits() const { return colourBits_; }
    int DepthBits() const { return depthBits_; }
    int MaxTextureSize() const { return egl_.MaxTextureSize(); }
    const std::string& Renderer() const { return egl_.Renderer(); }
    const std::string& Version() const { return egl_.Version(); }
    const std::string& LastError() const { return egl_.LastError(); }

    // While held by the calling thread: the framebuffer's size and contents.
    bool Resize(int width, int height);
    bool ReadPixels(platform::RgbImage& out);
    int Width() const { return egl_.Width(); }
    int Height() const { return egl_.Height(); }

    // The log entry of a graphics initialisation: one tab-indented line with
    // the renderer, the version, the colour and depth bits and the maximum
    // texture size, ending in a line feed. Names the failure reason when the
    // context was not created.
    std::u16string GraphicsRecord() const;

  private:
    bool HeldHere() const;
    bool MakeCurrentAfterEnter();

    platform::EglContext egl_;
    AutoCriticalSection section_;
    std::atomic<bool> released_{true};
    // The thread that holds the context while released_ is false.
    std::atomic<std::thread::id> owner_{};
    int colourBits_ = 0;
    int depthBits_ = 0;
};

}  // namespace StraleLib
