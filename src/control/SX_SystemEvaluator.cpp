#include "control/SX_SystemEvaluator.h"

#include "platform/EglContext.h"

int SX_SystemEvaluator::ScoreOf(bool contextCreated, bool fixedFunction, int maxTextureSize) {
    if (!contextCreated) {
        return 0;
    }
    if (!fixedFunction) {
        return 5;
    }
    if (maxTextureSize < kMinTextureSize) {
        return 8;
    }
    if (maxTextureSize >= 8192) {
        return 40;
    }
    return maxTextureSize >= 2048 ? 30 : 20;
}

int SX_SystemEvaluator::Score() {
    if (!score_) {
        platform::EglContext probe;
        const bool created = probe.Create(1, 1);
        score_ = ScoreOf(created, created && probe.HasFixedFunction(),
                         created ? probe.MaxTextureSize() : 0);
    }
    return *score_;
}
