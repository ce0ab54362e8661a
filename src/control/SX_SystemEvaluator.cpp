#include "control/SX_SystemEvaluator.h"

#include "platform/EglContext.h"

int SX_SystemEvaluator::Score() {
    if (fixed_) {
        return *fixed_;
    }
    platform::EglContext probe;
    return probe.Create(1, 1) ? 20 : 0;
}
