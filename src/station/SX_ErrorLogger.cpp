#include "station/SX_ErrorLogger.h"

#include "host/Resources.h"

using StraleLib::AutoCriticalLock;

void SX_ErrorLogger::AddMessage(std::u16string_view text) {
    AutoCriticalLock lock(lock_);
    messages_.emplace_back(text);
    hasError_ = true;
}

void SX_ErrorLogger::AddMessage(int id, const host::Resources& resources) {
    AddMessage(resources.LoadStringWithFallback(id));
}

std::u16string SX_ErrorLogger::GetMessages() const {
    AutoCriticalLock lock(lock_);
    std::u16string all;
    if (!hasError_) {
        return all;
    }
    for (const auto& message : messages_) {
        all += message;
        all.push_back(u'\n');
    }
    return all;
}

std::vector<std::u16string> SX_ErrorLogger::Messages() const {
    AutoCriticalLock lock(lock_);
    return messages_;
}

bool SX_ErrorLogger::HasError() const {
    AutoCriticalLock lock(lock_);
    return hasError_;
}

void SX_ErrorLogger::ClearErrorFlag() {
    AutoCriticalLock lock(lock_);
    hasError_ = false;
}

void SX_ErrorLogger::ClearMessages() {
    AutoCriticalLock lock(lock_);
    messages_.clear();
    hasError_ = false;
}
