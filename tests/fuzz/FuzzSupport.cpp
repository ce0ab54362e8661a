#include "FuzzSupport.h"

#include <stdlib.h>

#include <cstdio>
#include <filesystem>

namespace fuzz {
namespace {

struct Scratch {
    std::string path;
    Scratch() {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern =
            std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/panora-fuzz-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        path = pattern;
        setenv("HOME", path.c_str(), 1);
        setenv("XDG_DATA_HOME", (path + "/data").c_str(), 1);
        setenv("XDG_CACHE_HOME", (path + "/cache").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (path + "/config").c_str(), 1);
        setenv("PANORA_REGISTRY", (path + "/registry.ini").c_str(), 1);
    }
    ~Scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

}  // namespace

const std::string& ScratchDir() {
    static const Scratch scratch;
    return scratch.path;
}

std::string WriteScratch(const std::string& name, const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path path = std::filesystem::path(ScratchDir()) / name;
    std::error_code ignored;
    std::filesystem::create_directories(path.parent_path(), ignored);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::perror(path.c_str());
        std::abort();
    }
    if (size != 0 && std::fwrite(data, 1, size, file) != size) {
        std::abort();
    }
    std::fclose(file);
    return path.string();
}

std::string WriteScratch(const std::string& name, const std::string& text) {
    return WriteScratch(name, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

}  // namespace fuzz
