#include "glcore/AutoCriticalSection.h"

namespace StraleLib {

void AutoCriticalSection::Enter() {
    mutex_.lock();
}
bool AutoCriticalSection::TryEnter() {
    return mutex_.try_lock();
}
void AutoCriticalSection::Leave() {
    mutex_.unlock();
}

AutoCriticalLock::AutoCriticalLock(AutoCriticalSection& section) : section_(section), owns_(true) {
    section_.Enter();
}

AutoCriticalLock::AutoCriticalLock(AutoCriticalSection& section, std::try_to_lock_t)
    : section_(section), owns_(section.TryEnter()) {}

AutoCriticalLock::~AutoCriticalLock() {
    if (owns_) {
        section_.Leave();
    }
}

}  // namespace StraleLib
