#include "host/ScriptedHostUi.h"

int ScriptedHostUi::MessageBox(const std::u16string& text, const std::u16string& caption,
                               unsigned type) {
    std::lock_guard lock(mutex_);
    int answer = FirstButton(type);
    if (!answers_.empty()) {
        answer = answers_.front();
        answers_.pop_front();
    }
    boxes_.push_back({text, caption, type, answer});
    return answer;
}

void ScriptedHostUi::QueueAnswer(int answer) {
    std::lock_guard lock(mutex_);
    answers_.push_back(answer);
}

std::vector<ScriptedHostUi::Box> ScriptedHostUi::Boxes() const {
    std::lock_guard lock(mutex_);
    return boxes_;
}

void ScriptedHostUi::ClearBoxes() {
    std::lock_guard lock(mutex_);
    boxes_.clear();
}
