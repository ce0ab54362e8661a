#pragma once
// The capability score of this machine. The control counts the system as fit
// when the score is greater than 10. This evaluator scores 20 when an EGL
// display with OpenGL can be opened and 0 otherwise; tests set a fixed score.
#include <optional>

class SX_SystemEvaluator {
  public:
    SX_SystemEvaluator() = default;
    explicit SX_SystemEvaluator(int fixedScore) : fixed_(fixedScore) {}
    virtual ~SX_SystemEvaluator() = default;
    virtual int Score();
    bool IsFit() { return Score() > 10; }

  private:
    std::optional<int> fixed_;
};
