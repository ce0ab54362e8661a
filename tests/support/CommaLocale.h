#pragma once
// Puts the process's numbers into a locale whose decimal point is "," (as a
// desktop toolkit does with the user's German locale) for the lifetime of the
// object. A German locale is used when one is installed; otherwise a locale
// with only the numeric rules is compiled with localedef into a temporary
// folder (a few milliseconds) and found through LOCPATH. Active() is false
// when neither works.

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "support/ScopedEnv.h"
#include "support/TempDir.h"

namespace testsupport {

class CommaLocale {
  public:
    CommaLocale() {
        const char* previous = std::setlocale(LC_NUMERIC, nullptr);
        previous_ = previous != nullptr ? previous : "C";
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"}) {
            if (Use(name)) {
                return;
            }
        }
        dir_.Write("comma",
                   "LC_NUMERIC\ndecimal_point \",\"\nthousands_sep \".\"\n"
                   "grouping 3;3\nEND LC_NUMERIC\n");
        const std::string command = "localedef -c -i '" + (dir_ / "comma").string() + "' '" +
                                    (dir_ / "xx_XX").string() + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) == -1 || !std::filesystem::exists(dir_ / "xx_XX")) {
            return;
        }
        locPath_.emplace("LOCPATH", dir_.path().string());
        Use("xx_XX");
    }
    ~CommaLocale() { std::setlocale(LC_NUMERIC, previous_.c_str()); }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;

    bool Active() const { return active_; }

  private:
    bool Use(const char* name) {
        if (std::setlocale(LC_NUMERIC, name) == nullptr) {
            return false;
        }
        char text[16];
        std::snprintf(text, sizeof text, "%.1f", 1.5);
        active_ = std::string(text) == "1,5";
        return active_;
    }

    std::string previous_;
    TempDir dir_;
    std::optional<ScopedEnv> locPath_;
    bool active_ = false;
};

}  // namespace testsupport
