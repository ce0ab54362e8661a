#pragma once
// The capability score of this machine; the control counts the system as fit
// when the score is greater than 10.
//
// What the viewer needs here is an EGL display, a desktop OpenGL context
// that takes the fixed-function pipeline, and textures large enough for the
// tiles (kMinTextureSize). The score:
//   0   no EGL display or no OpenGL context (PANORA_EGL_UNAVAILABLE=1 too)
//   5   a context without the fixed-function pipeline (core profile only)
//   8   a usable context whose largest texture is under kMinTextureSize
//   20  all of it; 30 with textures of 2048 or more; 40 with 8192 or more.
// The probe runs once, on the first Score(); tests may set a fixed score.
#include <optional>

class SX_SystemEvaluator {
  public:
    static constexpr int kMinTextureSize = 512;

    SX_SystemEvaluator() = default;
    explicit SX_SystemEvaluator(int fixedScore) : score_(fixedScore) {}
    virtual ~SX_SystemEvaluator() = default;
    virtual int Score();
    bool IsFit() { return Score() > 10; }
    // The score of a probe's findings (see above).
    static int ScoreOf(bool contextCreated, bool fixedFunction, int maxTextureSize);

  private:
    std::optional<int> score_;
};
