#pragma once
// A control stand-in for drawings: a client size, a table of pickable
// pixels, a clipboard, and a log of tooltips, cursor changes and UpdateText.

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "host/Resources.h"
#include "markup2d/DrawingHost.h"
#include "markup2d/SX_Defaults.h"
#include "measure/SX_MouseStatus.h"
#include "platform/Text.h"

class FakeDrawingHost : public markup2d::DrawingHost {
  public:
    SX_Defaults& Defaults() override { return defaults; }
    int ClientWidth() const override { return width; }
    int ClientHeight() const override { return height; }
    bool PickPoint(double x, double y, std::array<double, 3>& p) override {
        const auto it = points.find({static_cast<int>(x), static_cast<int>(y)});
        if (it == points.end()) {
            return false;
        }
        p = it->second;
        return true;
    }
    double MaxPointError() const override { return maxPointError; }
    int InternalUnit() const override { return internalUnit; }
    SX_Mark::Transform RegistrationTransform() const override { return transform; }
    const host::Resources& Strings() const override { return strings; }
    std::u16string ClipboardText() override { return clipboard; }
    void ShowTooltip(std::u16string_view text, const platform::TextBox& box) override {
        log.push_back("tooltip " + platform::ToUtf8(text) + " " + std::to_string(int(box.x)) + "," +
                      std::to_string(int(box.y)) + " " + std::to_string(int(box.width)) + "x" +
                      std::to_string(int(box.height)));
    }
    void HideTooltip() override { log.push_back("hide tooltip"); }
    void SetCursorHidden(bool hidden) override { cursorHidden = hidden; }
    void FireUpdateText(std::u16string_view text) override {
        log.push_back("UpdateText " + platform::ToUtf8(text));
    }

    SX_Defaults defaults;
    int width = 200;
    int height = 100;
    std::map<std::pair<int, int>, std::array<double, 3>> points;
    double maxPointError = 0.0;
    int internalUnit = 0;
    SX_Mark::Transform transform;
    host::Resources strings;
    std::u16string clipboard;
    bool cursorHidden = false;
    std::vector<std::string> log;
};

inline SX_MouseStatus At(int x, int y) {
    SX_MouseStatus m;
    m.Move(x, y);
    return m;
}
