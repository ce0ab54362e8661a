#include "glcore/SX_OpenGLContext.h"

#include "platform/Text.h"

namespace StraleLib {

SX_OpenGLContext::~SX_OpenGLContext() {
    if (egl_.IsCreated()) {
        Destroy();
    }
    Release();
}

bool SX_OpenGLContext::Create(int width, int height) {
    AutoCriticalLock lock(section_);
    if (!egl_.Create(width, height)) {
        colourBits_ = depthBits_ = 0;
        return false;
    }
    colourBits_ = egl_.ColorBits();
    depthBits_ = egl_.DepthBits();
    return true;
}

bool SX_OpenGLContext::MakeCurrentAfterEnter() {
    if (egl_.MakeCurrent()) {
        owner_.store(std::this_thread::get_id());
        released_.store(false);
        return true;
    }
    released_.store(true);
    section_.Leave();
    return false;
}

bool SX_OpenGLContext::Acquire() {
    section_.Enter();
    return MakeCurrentAfterEnter();
}

bool SX_OpenGLContext::TryAcquire() {
    if (!section_.TryEnter()) {
        return false;
    }
    return MakeCurrentAfterEnter();
}

bool SX_OpenGLContext::HeldHere() const {
    return !released_.load() && owner_.load() == std::this_thread::get_id();
}

void SX_OpenGLContext::Release() {
    // Only the holder releases; anyone else (or a second call) does nothing.
    if (!HeldHere()) {
        return;
    }
    egl_.ReleaseCurrent();
    owner_.store(std::thread::id());
    released_.store(true);
    section_.Leave();
}

void SX_OpenGLContext::Destroy() {
    AutoCriticalLock lock(section_);
    egl_.Destroy();
    colourBits_ = depthBits_ = 0;
}

bool SX_OpenGLContext::Resize(int width, int height) {
    return HeldHere() && egl_.Resize(width, height);
}

bool SX_OpenGLContext::ReadPixels(platform::RgbImage& out) {
    return HeldHere() && egl_.ReadPixels(out);
}

std::u16string SX_OpenGLContext::GraphicsRecord() const {
    std::string line;
    if (egl_.IsCreated()) {
        line = "\tOpenGL renderer \"" + egl_.Renderer() + "\", version \"" + egl_.Version() +
               "\", colour bits " + std::to_string(colourBits_) + ", depth bits " +
               std::to_string(depthBits_) + ", maximum texture size " +
               std::to_string(egl_.MaxTextureSize()) + "\n";
    } else {
        line = "\tOpenGL context not created: " +
               (egl_.LastError().empty() ? std::string("not attempted") : egl_.LastError()) + "\n";
    }
    return platform::FromUtf8(line);
}

}  // namespace StraleLib
