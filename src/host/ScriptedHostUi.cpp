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

int ScriptedHostUi::PopupMenu(const std::vector<MenuItem>& items, int x, int y) {
    std::lock_guard lock(mutex_);
    int answer = 0;
    if (!menuAnswers_.empty()) {
        answer = menuAnswers_.front();
        menuAnswers_.pop_front();
    }
    bool chosen = false;
    for (const auto& item : items) {
        if (!item.separator && !item.grayed && item.command == answer && answer != 0) {
            chosen = true;
        }
    }
    if (!chosen) {
        answer = 0;
    }
    menus_.push_back({items, x, y, answer});
    return answer;
}

void ScriptedHostUi::SetCursor(Cursor cursor) {
    std::lock_guard lock(mutex_);
    cursor_ = cursor;
}

void ScriptedHostUi::CaptureMouse(bool capture) {
    std::lock_guard lock(mutex_);
    captured_ = capture;
}

void ScriptedHostUi::QueueMenuAnswer(int command) {
    std::lock_guard lock(mutex_);
    menuAnswers_.push_back(command);
}

std::vector<ScriptedHostUi::Menu> ScriptedHostUi::Menus() const {
    std::lock_guard lock(mutex_);
    return menus_;
}

HostUi::Cursor ScriptedHostUi::CurrentCursor() const {
    std::lock_guard lock(mutex_);
    return cursor_;
}

bool ScriptedHostUi::MouseCaptured() const {
    std::lock_guard lock(mutex_);
    return captured_;
}

std::u16string ScriptedHostUi::SaveFileDialog(const FileDialog& dialog) {
    std::lock_guard lock(mutex_);
    fileDialogs_.push_back(dialog);
    std::u16string path;
    if (!fileAnswers_.empty()) {
        path = std::move(fileAnswers_.front());
        fileAnswers_.pop_front();
    }
    return path;
}

void ScriptedHostUi::QueueFileAnswer(const std::u16string& path) {
    std::lock_guard lock(mutex_);
    fileAnswers_.push_back(path);
}

std::vector<HostUi::FileDialog> ScriptedHostUi::FileDialogs() const {
    std::lock_guard lock(mutex_);
    return fileDialogs_;
}

bool ScriptedHostUi::PrintDialog(PrintTarget& target) {
    std::lock_guard lock(mutex_);
    ++printDialogs_;
    if (printAnswers_.empty()) {
        return false;
    }
    target = std::move(printAnswers_.front());
    printAnswers_.pop_front();
    return !target.pdfPath.empty();
}

void ScriptedHostUi::QueuePrintAnswer(const PrintTarget& target) {
    std::lock_guard lock(mutex_);
    printAnswers_.push_back(target);
}

int ScriptedHostUi::PrintDialogsShown() const {
    std::lock_guard lock(mutex_);
    return printDialogs_;
}

std::u16string ScriptedHostUi::ClipboardText() {
    std::lock_guard<std::mutex> lock(mutex_);
    return clipboard_;
}

void ScriptedHostUi::SetClipboardText(const std::u16string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    clipboard_ = text;
}

void ScriptedHostUi::ShowTooltip(const std::u16string& text, const Rect& box) {
    std::lock_guard<std::mutex> lock(mutex_);
    tooltips_.push_back({text, box});
    tooltipShown_ = true;
}

void ScriptedHostUi::HideTooltip() {
    std::lock_guard<std::mutex> lock(mutex_);
    tooltipShown_ = false;
}

std::vector<ScriptedHostUi::Tooltip> ScriptedHostUi::Tooltips() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return tooltips_;
}

bool ScriptedHostUi::TooltipShown() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return tooltipShown_;
}
