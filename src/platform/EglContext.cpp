#include "platform/EglContext.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

namespace platform {

namespace {

bool HasToken(const char* list, std::string_view token) {
    if (list == nullptr) {
        return false;
    }
    std::string_view all(list);
    std::size_t pos = 0;
    while (pos < all.size()) {
        std::size_t end = all.find(' ', pos);
        if (end == std::string_view::npos) {
            end = all.size();
        }
        if (all.substr(pos, end - pos) == token) {
            return true;
        }
        pos = end + 1;
    }
    return false;
}

std::string EglErrorText(const char* step) {
    char code[32];
    std::snprintf(code, sizeof code, "0x%04X", static_cast<unsigned>(eglGetError()));
    return std::string(step) + " failed (EGL error " + code + ")";
}

std::string GlString(GLenum name) {
    const GLubyte* text = glGetString(name);
    return text != nullptr ? std::string(reinterpret_cast<const char*>(text)) : std::string();
}

// Framebuffer object entry points: GL 3.0 names, else the ARB names (same),
// else EXT_framebuffer_object.
struct FboFunctions {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
    PFNGLGETRENDERBUFFERPARAMETERIVPROC getRenderbufferParameteriv = nullptr;

    template <typename F>
    static bool Load(F& fn, const char* name, bool ext) {
        std::string full(name);
        if (ext) {
            full += "EXT";
        }
        fn = reinterpret_cast<F>(eglGetProcAddress(full.c_str()));
        return fn != nullptr;
    }

    bool LoadAll(bool ext) {
        return Load(genFramebuffers, "glGenFramebuffers", ext) &&
               Load(deleteFramebuffers, "glDeleteFramebuffers", ext) &&
               Load(bindFramebuffer, "glBindFramebuffer", ext) &&
               Load(framebufferRenderbuffer, "glFramebufferRenderbuffer", ext) &&
               Load(checkFramebufferStatus, "glCheckFramebufferStatus", ext) &&
               Load(genRenderbuffers, "glGenRenderbuffers", ext) &&
               Load(deleteRenderbuffers, "glDeleteRenderbuffers", ext) &&
               Load(bindRenderbuffer, "glBindRenderbuffer", ext) &&
               Load(renderbufferStorage, "glRenderbufferStorage", ext) &&
               Load(getRenderbufferParameteriv, "glGetRenderbufferParameteriv", ext);
    }
};

}  // namespace

struct EglContext::State {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLContext context = EGL_NO_CONTEXT;
    EGLSurface surface = EGL_NO_SURFACE;  // 1x1 pbuffer, only without surfaceless support
    FboFunctions fbo;
    GLuint framebuffer = 0;
    GLuint colourBuffer = 0;
    GLuint depthBuffer = 0;
    GLenum depthFormat = 0;
    int width = 0;
    int height = 0;
    int colourBits = 0;
    int depthBits = 0;
    int stencilBits = 0;
    int maxTextureSize = 0;
    bool fixedFunction = false;
    int maxRenderbufferSize = 0;
    std::string renderer;
    std::string vendor;
    std::string version;
    std::string displayKind;
    std::string error;

    bool Fail(std::string reason) {
        error = std::move(reason);
        return false;
    }

    bool OpenDisplay();
    bool CreateContext();
    bool AllocateBuffers(int w, int h);
    void FreeBuffers();
    void ReadLimits();
};

bool EglContext::State::OpenDisplay() {
    // Test switch: behave as a machine without any EGL display.
    if (const char* off = std::getenv("PANORA_EGL_UNAVAILABLE");
        off != nullptr && std::string_view(off) == "1") {
        return Fail("cannot open an EGL display: EGL is unavailable (PANORA_EGL_UNAVAILABLE=1)");
    }
    const char* wanted = std::getenv("PANORA_EGL_PLATFORM");
    std::string_view only = wanted != nullptr ? std::string_view(wanted) : std::string_view();
    // Client extensions (NULL when EGL_EXT_client_extensions is missing).
    const char* client = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    eglGetError();
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    std::string tried;

    auto initialise = [&](EGLDisplay dpy, const char* kind) {
        if (dpy == EGL_NO_DISPLAY) {
            tried += std::string(tried.empty() ? "" : "; ") + kind + ": no display";
            return false;
        }
        EGLint major = 0;
        EGLint minor = 0;
        if (eglInitialize(dpy, &major, &minor) != EGL_TRUE) {
            tried += std::string(tried.empty() ? "" : "; ") + EglErrorText(kind);
            return false;
        }
        display = dpy;
        displayKind = kind;
        return true;
    };

    if ((only.empty() || only == "surfaceless") && getPlatformDisplay != nullptr &&
        HasToken(client, "EGL_MESA_platform_surfaceless")) {
        if (initialise(
                getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr),
                "surfaceless")) {
            return true;
        }
    }
    if ((only.empty() || only == "device") && getPlatformDisplay != nullptr &&
        HasToken(client, "EGL_EXT_platform_device")) {
        auto queryDevices =
            reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
        EGLDeviceEXT device = nullptr;
        EGLint count = 0;
        if (queryDevices != nullptr && queryDevices(1, &device, &count) == EGL_TRUE && count > 0) {
            if (initialise(getPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, device, nullptr),
                           "device")) {
                return true;
            }
        } else {
            tried += std::string(tried.empty() ? "" : "; ") + "device: no EGL device";
        }
    }
    if (only.empty() || only == "default") {
        if (initialise(eglGetDisplay(EGL_DEFAULT_DISPLAY), "default")) {
            return true;
        }
    }
    if (tried.empty()) {
        tried = "no EGL platform available";
        if (!only.empty()) {
            tried += " (PANORA_EGL_PLATFORM=" + std::string(only) + ")";
        }
    }
    return Fail("cannot open an EGL display: " + tried);
}

bool EglContext::State::CreateContext() {
    if (eglBindAPI(EGL_OPENGL_API) != EGL_TRUE) {
        return Fail(EglErrorText("eglBindAPI(OpenGL)"));
    }
    const char* extensions = eglQueryString(display, EGL_EXTENSIONS);
    const bool surfaceless = HasToken(extensions, "EGL_KHR_surfaceless_context");

    // The config only matters for the pbuffer; the frame goes to the FBO.
    // clang-format off
    const EGLint pbufferAttribs[] = {
        EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
        EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8,
        EGL_NONE};
    // clang-format on
    const EGLint anyAttribs[] = {EGL_SURFACE_TYPE, EGL_DONT_CARE, EGL_RENDERABLE_TYPE,
                                 EGL_OPENGL_BIT, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    bool havePbufferConfig =
        eglChooseConfig(display, pbufferAttribs, &config, 1, &count) == EGL_TRUE && count > 0;
    if (!havePbufferConfig) {
        if (!surfaceless) {
            return Fail("no EGL config with OpenGL and pbuffer support");
        }
        if (eglChooseConfig(display, anyAttribs, &config, 1, &count) != EGL_TRUE || count < 1) {
            if (!HasToken(extensions, "EGL_KHR_no_config_context")) {
                return Fail("no EGL config with OpenGL support");
            }
            config = EGL_NO_CONFIG_KHR;
        }
    }

    const EGLint compatibility[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                    EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    context = eglCreateContext(display, config, EGL_NO_CONTEXT, compatibility);
    if (context == EGL_NO_CONTEXT) {
        // Without EGL 1.5 / EGL_KHR_create_context the profile attribute is
        // unknown; a plain context is a compatibility one there.
        context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
    }
    if (context == EGL_NO_CONTEXT) {
        return Fail(EglErrorText("eglCreateContext(OpenGL compatibility)"));
    }
    if (!surfaceless) {
        const EGLint size[] = {EGL_WIDTH, 1, EGL_HEIGHT, 1, EGL_NONE};
        surface = eglCreatePbufferSurface(display, config, size);
        if (surface == EGL_NO_SURFACE) {
            return Fail(EglErrorText("eglCreatePbufferSurface"));
        }
    }
    if (eglMakeCurrent(display, surface, surface, context) != EGL_TRUE) {
        return Fail(EglErrorText("eglMakeCurrent"));
    }
    if (!fbo.LoadAll(false) && !fbo.LoadAll(true)) {
        return Fail("no framebuffer object support (OpenGL 3.0 or EXT_framebuffer_object)");
    }
    return true;
}

void EglContext::State::ReadLimits() {
    renderer = GlString(GL_RENDERER);
    vendor = GlString(GL_VENDOR);
    version = GlString(GL_VERSION);
    GLint value = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &value);
    maxTextureSize = value;
    if (const char* cap = std::getenv("PANORA_MAX_TEXTURE_SIZE")) {
        char* end = nullptr;
        long limit = std::strtol(cap, &end, 10);
        if (end != cap && *end == '\0' && limit > 0) {
            maxTextureSize = static_cast<int>(std::min<long>(maxTextureSize, limit));
        }
    }
    value = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &value);
    maxRenderbufferSize = value;
    // A core-profile context answers the matrix stack with GL_INVALID_OPERATION.
    glGetError();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glPopMatrix();
    fixedFunction = glGetError() == GL_NO_ERROR;
    glGetError();
}

void EglContext::State::FreeBuffers() {
    if (fbo.bindFramebuffer == nullptr) {
        return;
    }
    fbo.bindFramebuffer(GL_FRAMEBUFFER, 0);
    if (framebuffer != 0) {
        fbo.deleteFramebuffers(1, &framebuffer);
    }
    GLuint buffers[2] = {colourBuffer, depthBuffer};
    if (colourBuffer != 0 || depthBuffer != 0) {
        fbo.deleteRenderbuffers(2, buffers);
    }
    framebuffer = colourBuffer = depthBuffer = 0;
}

// Builds a complete framebuffer of w x h into fresh objects; on success the
// old ones are freed and the new ones stay bound.
bool EglContext::State::AllocateBuffers(int w, int h) {
    if (w < 1 || h < 1) {
        return Fail("framebuffer size " + std::to_string(w) + " x " + std::to_string(h) +
                    " is not positive");
    }
    if (w > maxRenderbufferSize || h > maxRenderbufferSize) {
        return Fail("framebuffer size " + std::to_string(w) + " x " + std::to_string(h) +
                    " exceeds the largest the driver allows (" +
                    std::to_string(maxRenderbufferSize) + ")");
    }
    glGetError();
    GLuint newFramebuffer = 0;
    GLuint newBuffers[2] = {0, 0};
    fbo.genFramebuffers(1, &newFramebuffer);
    fbo.genRenderbuffers(2, newBuffers);
    fbo.bindFramebuffer(GL_FRAMEBUFFER, newFramebuffer);
    fbo.bindRenderbuffer(GL_RENDERBUFFER, newBuffers[0]);
    fbo.renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, w, h);
    fbo.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                newBuffers[0]);
    bool complete = false;
    // Deepest depth first; the format that worked once is tried first later.
    std::vector<GLenum> formats = {GL_DEPTH32F_STENCIL8, GL_DEPTH24_STENCIL8};
    if (depthFormat != 0) {
        formats.insert(formats.begin(), depthFormat);
    }
    for (GLenum format : formats) {
        glGetError();
        fbo.bindRenderbuffer(GL_RENDERBUFFER, newBuffers[1]);
        fbo.renderbufferStorage(GL_RENDERBUFFER, format, w, h);
        if (glGetError() != GL_NO_ERROR) {
            continue;
        }
        fbo.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                                    newBuffers[1]);
        if (fbo.checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE &&
            glGetError() == GL_NO_ERROR) {
            depthFormat = format;
            complete = true;
            break;
        }
    }
    if (!complete) {
        fbo.bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        fbo.bindRenderbuffer(GL_RENDERBUFFER, 0);
        fbo.deleteFramebuffers(1, &newFramebuffer);
        fbo.deleteRenderbuffers(2, newBuffers);
        glGetError();
        return Fail("cannot make a complete " + std::to_string(w) + " x " + std::to_string(h) +
                    " framebuffer with depth and stencil");
    }
    GLint r = 0, g = 0, b = 0, a = 0, d = 0, s = 0;
    fbo.bindRenderbuffer(GL_RENDERBUFFER, newBuffers[0]);
    fbo.getRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_RED_SIZE, &r);
    fbo.getRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_GREEN_SIZE, &g);
    fbo.getRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_BLUE_SIZE, &b);
    fbo.getRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_ALPHA_SIZE, &a);
    fbo.bindRenderbuffer(GL_RENDERBUFFER, newBuffers[1]);
    fbo.getRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_DEPTH_SIZE, &d);
    fbo.getRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_STENCIL_SIZE, &s);
    fbo.bindRenderbuffer(GL_RENDERBUFFER, 0);

    // Swap in the new framebuffer, then free the old objects.
    GLuint oldFramebuffer = framebuffer;
    GLuint oldBuffers[2] = {colourBuffer, depthBuffer};
    if (oldFramebuffer != 0) {
        fbo.deleteFramebuffers(1, &oldFramebuffer);
        fbo.deleteRenderbuffers(2, oldBuffers);
    }
    framebuffer = newFramebuffer;
    colourBuffer = newBuffers[0];
    depthBuffer = newBuffers[1];
    fbo.bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glGetError();
    width = w;
    height = h;
    colourBits = r + g + b + a;
    depthBits = d;
    stencilBits = s;
    return true;
}

EglContext::EglContext() : state_(std::make_unique<State>()) {}

EglContext::~EglContext() {
    Destroy();
}

bool EglContext::Create(int width, int height) {
    Destroy();
    State& st = *state_;
    st.error.clear();
    bool ok = st.OpenDisplay() && st.CreateContext();
    if (ok) {
        st.ReadLimits();
        ok = st.AllocateBuffers(width, height);
    }
    if (!ok) {
        std::string reason = st.error;
        Destroy();
        st.error = std::move(reason);
        return false;
    }
    eglMakeCurrent(st.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    return true;
}

void EglContext::Destroy() {
    State& st = *state_;
    if (st.display == EGL_NO_DISPLAY) {
        return;
    }
    if (st.context != EGL_NO_CONTEXT) {
        eglBindAPI(EGL_OPENGL_API);
        EGLContext previous = eglGetCurrentContext();
        bool current = previous == st.context ||
                       eglMakeCurrent(st.display, st.surface, st.surface, st.context) == EGL_TRUE;
        if (current) {
            st.FreeBuffers();
            eglMakeCurrent(st.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        }
        eglDestroyContext(st.display, st.context);
    }
    if (st.surface != EGL_NO_SURFACE) {
        eglDestroySurface(st.display, st.surface);
    }
    State fresh;
    fresh.error = std::move(st.error);
    st = std::move(fresh);
}

bool EglContext::IsCurrentHere() const {
    if (state_->context == EGL_NO_CONTEXT) {
        return false;
    }
    eglBindAPI(EGL_OPENGL_API);
    return eglGetCurrentContext() == state_->context;
}

bool EglContext::IsCreated() const {
    return state_->context != EGL_NO_CONTEXT;
}

bool EglContext::MakeCurrent() {
    State& st = *state_;
    if (st.context == EGL_NO_CONTEXT) {
        return st.Fail("no context");
    }
    // The current context is kept per thread and per client API.
    eglBindAPI(EGL_OPENGL_API);
    if (eglMakeCurrent(st.display, st.surface, st.surface, st.context) != EGL_TRUE) {
        return st.Fail(EglErrorText("eglMakeCurrent"));
    }
    st.fbo.bindFramebuffer(GL_FRAMEBUFFER, st.framebuffer);
    st.error.clear();
    return true;
}

bool EglContext::ReleaseCurrent() {
    State& st = *state_;
    if (st.display == EGL_NO_DISPLAY) {
        return true;
    }
    eglBindAPI(EGL_OPENGL_API);
    if (eglMakeCurrent(st.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT) != EGL_TRUE) {
        return st.Fail(EglErrorText("eglMakeCurrent(none)"));
    }
    return true;
}

bool EglContext::Resize(int width, int height) {
    State& st = *state_;
    if (!IsCurrentHere()) {
        return st.Fail("the context is not current on this thread");
    }
    if (width == st.width && height == st.height) {
        return true;
    }
    return st.AllocateBuffers(width, height);
}

bool EglContext::ReadPixels(RgbImage& out) {
    State& st = *state_;
    if (!IsCurrentHere()) {
        return st.Fail("the context is not current on this thread");
    }
    GLint packAlignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    st.fbo.bindFramebuffer(GL_FRAMEBUFFER, st.framebuffer);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    const std::size_t row = static_cast<std::size_t>(st.width) * 3;
    std::vector<std::uint8_t> bottomUp(row * static_cast<std::size_t>(st.height));
    glGetError();
    glReadPixels(0, 0, st.width, st.height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    const GLenum error = glGetError();
    glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
    if (error != GL_NO_ERROR) {
        return st.Fail("glReadPixels failed (OpenGL error " + std::to_string(error) + ")");
    }
    out.width = st.width;
    out.height = st.height;
    out.rgb.resize(bottomUp.size());
    for (int y = 0; y < st.height; ++y) {
        std::memcpy(out.rgb.data() + static_cast<std::size_t>(y) * row,
                    bottomUp.data() + static_cast<std::size_t>(st.height - 1 - y) * row, row);
    }
    return true;
}

int EglContext::Width() const {
    return state_->width;
}
int EglContext::Height() const {
    return state_->height;
}
int EglContext::ColorBits() const {
    return state_->colourBits;
}
int EglContext::DepthBits() const {
    return state_->depthBits;
}
int EglContext::StencilBits() const {
    return state_->stencilBits;
}
int EglContext::MaxTextureSize() const {
    return state_->maxTextureSize;
}

bool EglContext::HasFixedFunction() const {
    return state_->fixedFunction;
}
const std::string& EglContext::Renderer() const {
    return state_->renderer;
}
const std::string& EglContext::Vendor() const {
    return state_->vendor;
}
const std::string& EglContext::Version() const {
    return state_->version;
}
const std::string& EglContext::DisplayKind() const {
    return state_->displayKind;
}
const std::string& EglContext::LastError() const {
    return state_->error;
}

}  // namespace platform
