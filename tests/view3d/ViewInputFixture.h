#pragma once
// A complete control (no station) on the virtual clock, driven through the
// input the desktop would deliver; every event is recorded with all its
// arguments ("MouseEvent(2,500,250)").
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control/ControlFixture.h"
#include "control/SX_ControlAutomation.h"
#include "glcore/SX_OpenGLCamera.h"
#include "platform/ComVariant.h"
#include "platform/MessageLoopMessages.h"
#include "view3d/SX_GraphicWindow.h"

class ViewInputFixture : public ControlFixture {
  protected:
    SX_Control& Ready(int width = 1000, int height = 500) {
        SX_Control& c = ReadyControl(MakeOptions(), nullptr, width, height);
        automation_ = platform::MakeRef<SX_ControlAutomation>(&c);
        c.Events().Advise([this](platform::DISPID id, const std::vector<platform::Variant>& a) {
            const auto* info = SX_ControlEvents::Find(id);
            std::string text = info ? std::string(info->name) : "?";
            if (!a.empty()) {
                text += "(";
                for (std::size_t i = 0; i < a.size(); ++i) {
                    platform::Variant s;
                    a[i].ChangeType(platform::VariantType::String, s);
                    text += (i ? "," : "") + platform::ToUtf8(s.StringValue());
                }
                text += ")";
            }
            full_.push_back(text);
            return platform::S_OK;
        });
        return c;
    }
    StraleLib::SX_OpenGLCamera& Cam() { return *control_->DataSet().Camera(); }

    // keys: platform::kKey* flags, buttons included as the desktop sends them.
    bool Mouse(platform::MessageId id, int x, int y, std::uint32_t keys = 0) {
        return control_->DeliverInput(platform::Message::Mouse(id, x, y, keys));
    }
    void Wheel(int delta) { control_->DeliverInput(platform::Message::Wheel(10, 10, delta)); }
    void Key(std::uint32_t key) {
        control_->DeliverInput(platform::Message::Key(platform::kMsgKeyDown, key));
        control_->DeliverInput(platform::Message::Key(platform::kMsgKeyUp, key));
    }
    // A left drag from (x0, y0) to (x1, y1) with the modifiers held.
    void LeftDrag(int x0, int y0, int x1, int y1, std::uint32_t mods = 0) {
        Mouse(platform::kMsgMouseMove, x0, y0, mods);
        Mouse(platform::kMsgLButtonDown, x0, y0, mods | platform::kKeyLButton);
        Mouse(platform::kMsgMouseMove, x1, y1, mods | platform::kKeyLButton);
        Mouse(platform::kMsgLButtonUp, x1, y1, mods);
    }

    // An automation method's boolean result.
    bool CallBool(std::u16string_view name, std::vector<platform::Variant> args) {
        platform::InvokeResult r;
        EXPECT_EQ(automation_->InvokeByName(name, platform::DispatchKind::Method, args, r),
                  platform::S_OK);
        bool res = false;
        r.retval.ToBool(res);
        return res;
    }
    bool SetMode(int mode) { return CallBool(u"SetMode", {platform::Variant(mode)}); }
    bool SetMouseAction(int ctrlKey, int mouseKey, int action) {
        return CallBool(u"SetMouseAction", {platform::Variant(ctrlKey), platform::Variant(mouseKey),
                                            platform::Variant(action)});
    }
    bool RotationTimer() const {
        return control_->Loop().HasTimer(control_->WindowHandle(), SX_Control::kTimerSpin);
    }

    platform::ComPtr<SX_ControlAutomation> automation_;
    std::vector<std::string> full_;
};
