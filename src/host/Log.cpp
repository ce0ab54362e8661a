#include "host/Log.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "platform/Folders.h"
#include "platform/Path.h"
#include "platform/Text.h"

host::Log::Log() : host::Log(platform::PerUserPath(u"\\Panora\\")) {}

host::Log::Log(std::u16string folder) {
    if (!folder.empty()) {
        path_ = platform::Join(folder, u"panoralog.txt");
    }
}

bool host::Log::Write(std::u16string_view text) const {
    if (path_.empty()) {
        return false;
    }
    platform::CreateFolders(platform::WithoutFileSpec(path_));
    FILE* file = std::fopen(platform::ToUtf8(path_).c_str(), "ab");
    if (file == nullptr) {
        return false;
    }
    std::string bytes;
    if (std::ftell(file) == 0) {
        bytes = "\xFF\xFE";
    }
    for (const char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

namespace {

std::mutex& SinkMutex() {
    static std::mutex mutex;
    return mutex;
}

std::function<void(const std::string&)>& Sink() {
    static std::function<void(const std::string&)> sink;
    return sink;
}

}  // namespace

void SX_Trace(const char* format, ...) {
    char buffer[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    std::lock_guard lock(SinkMutex());
    if (Sink()) {
        Sink()(buffer);
    } else if (std::getenv("PANORA_TRACE") != nullptr) {
        std::fputs(buffer, stderr);
    }
}

void SX_SetTraceSink(std::function<void(const std::string&)> sink) {
    std::lock_guard lock(SinkMutex());
    Sink() = std::move(sink);
}
