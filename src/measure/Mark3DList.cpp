#include "measure/Mark3DList.h"

#include <GL/gl.h>

#include <algorithm>

measure::Mark3DList::Mark3DList() = default;

measure::Mark3DList::~Mark3DList() = default;

std::uint32_t measure::Mark3DList::Add(std::unique_ptr<SX_Mark> mark) {
    const std::uint32_t id = mark->Id();
    marks_.push_back(std::move(mark));
    Select(id);
    return id;
}

SX_Mark* measure::Mark3DList::Find(std::uint32_t id) const {
    for (const auto& mark : marks_) {
        if (mark->Id() == id) {
            return mark.get();
        }
    }
    return nullptr;
}

bool measure::Mark3DList::Remove(std::uint32_t id) {
    const auto it = std::find_if(marks_.begin(), marks_.end(),
                                 [id](const auto& mark) { return mark->Id() == id; });
    if (it == marks_.end()) {
        return false;
    }
    if (selected_ == it->get()) {
        selected_ = nullptr;
    }
    marks_.erase(it);
    return true;
}

void measure::Mark3DList::Clear() {
    selected_ = nullptr;
    marks_.clear();
}

void measure::Mark3DList::Select(std::uint32_t id) {
    if (selected_ != nullptr && selected_->Id() == id) {
        return;
    }
    if (selected_ != nullptr) {
        selected_->SetSelected(false);
    }
    selected_ = Find(id);
    if (selected_ != nullptr) {
        selected_->SetSelected(true);
    }
}

void measure::Mark3DList::DrawAll() {
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    for (const auto& mark : marks_) {
        mark->Draw();
    }
}
