#pragma once
// A control on a virtual clock with a scripted host, its events recorded,
// its log, registry, per-user data and download cache in a temporary folder;
// and the same control driven through the input the desktop would deliver.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "control/Automation.h"
#include "control/HostContainer.h"
#include "control/SX_Control.h"
#include "control/SX_ControlEvents.h"
#include "control/SX_SystemEvaluator.h"
#include "glcore/SX_OpenGLCamera.h"
#include "host/ScriptedHostUi.h"
#include "platform/Clock.h"
#include "platform/ComVariant.h"
#include "platform/DownloadCache.h"
#include "platform/MessageLoop.h"
#include "platform/MessageLoopMessages.h"
#include "platform/Text.h"
#include "sitegen/SiteGenerator.h"
#include "station/SX_CubeMap.h"
#include "station/SX_PanoramaDataSet.h"
#include "support/ScopedEnv.h"
#include "support/Site.h"
#include "support/TempDir.h"
#include "support/WaitUntil.h"
#include "view3d/SX_GraphicWindow.h"

class ControlFixture : public ::testing::Test {
  protected:
    void TearDown() override {
        if (control_) {
            control_->Destroy();
            control_.reset();
        }
    }

    SX_Control::Options MakeOptions(int score = 20, std::string version = "") {
        SX_Control::Options o;
        o.evaluator = std::make_shared<SX_SystemEvaluator>(score);
        o.logFolder = platform::FromUtf8((dir_ / "data/Panora").string());
        o.registryFile = platform::FromUtf8((dir_ / "registry.ini").string());
        o.controlVersion = platform::FromUtf8(version);
        o.downloadCache = cache_.get();
        o.sleeper = [sleeps = sleeps_](int) {
            ++*sleeps;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        };
        o.openBrowser = [this](const std::u16string& url) {
            opened_.push_back(url);
            return true;
        };
        return o;
    }

    SX_Control& MakeControl(SX_Control::Options options,
                            std::unique_ptr<control::HostContainer> container = nullptr) {
        control_ =
            std::make_unique<SX_Control>(loop_, ui_, std::move(container), std::move(options));
        control_->Events().Advise(
            [this](platform::DISPID id, const std::vector<platform::Variant>& a) {
                const auto* info = SX_ControlEvents::Find(id);
                const std::string name = info ? std::string(info->name) : "?";
                std::string full = name;
                for (std::size_t i = 0; i < a.size(); ++i) {
                    platform::Variant s;
                    a[i].ChangeType(platform::VariantType::String, s);
                    full += (i ? "," : "(") + platform::ToUtf8(s.StringValue());
                }
                events_.push_back(a.empty() ? name
                                            : name + "(" + std::to_string(a[0].Int32Value()) + ")");
                full_.push_back(a.empty() ? full : full + ")");
                return platform::S_OK;
            });
        automation_ = platform::MakeRef<control::Automation>(control_.get());
        return *control_;
    }

    // Create and run the two 100 ms timers: ready state 4, initialised.
    SX_Control& ReadyControl(SX_Control::Options options,
                             std::unique_ptr<control::HostContainer> container = nullptr,
                             int width = 200, int height = 150) {
        SX_Control& c = MakeControl(std::move(options), std::move(container));
        c.Create(width, height);
        clock_.Advance(100);
        clock_.Advance(100);
        events_.clear();
        full_.clear();
        return c;
    }

    // A ready control of the given size that has loaded the station to its end.
    SX_Control& LoadedControl(const std::string& description, int width, int height) {
        SX_Control& c = ReadyControl(MakeOptions(), nullptr, width, height);
        c.put_src(platform::Bstr(platform::FromUtf8(description)));
        EXPECT_TRUE(Tick([&] { return c.LoadFinished(); }));
        return c;
    }

    int Count(const std::string& name) const {
        int n = 0;
        for (const auto& e : events_) {
            n += e == name ? 1 : 0;
        }
        return n;
    }

    // Handles posted work until pred holds (real time, at most 20 s).
    bool WaitFor(const std::function<bool()>& pred) {
        return testsupport::WaitUntil(
            [&] {
                loop_.ProcessPending();
                return pred();
            },
            std::chrono::seconds(20));
    }

    // Monitor ticks of 500 ms (each one repaints the view) until pred holds.
    bool Tick(const std::function<bool()>& pred) {
        return WaitFor([&] {
            clock_.Advance(500);
            return pred();
        });
    }

    // The coarsest cube of a two-level station is in and the loader waits for
    // the renderer to want the finer one (it has slept a few times since).
    bool WaitCoarseLoaded() {
        const bool ok = WaitFor([this] {
            const SX_CubeMap* cube = control_->DataSet().CubeMap();
            for (int f = 0; f < 6; ++f) {
                if (cube == nullptr || cube->LoadedLevel(f) < 0 || !cube->HasPoints(f, 1)) {
                    return false;
                }
            }
            return true;
        });
        const int seen = *sleeps_;
        return ok && testsupport::WaitUntil([&] { return *sleeps_ >= seen + 3; });
    }

    // Generates one station with the given face sizes below dir_/site; the
    // plan (scene, pose, paths) stays in plan_.
    const sitegen::StationFiles& Generate(
        std::vector<int> sizes,
        sitegen::DescriptionFormat format = sitegen::DescriptionFormat::Metadata) {
        plan_ = testsupport::MakeSite(dir_ / "site", 1, std::move(sizes),
                                      [&](sitegen::SiteOptions& o) { o.format = format; });
        return plan_.stations.at(0);
    }

    sitegen::StationFiles Station(sitegen::DescriptionFormat format, bool versionIni = true) {
        const sitegen::StationFiles station = Generate({32, 64}, format);
        if (!versionIni) {
            std::filesystem::remove(station.versionIni);
        }
        return station;
    }

    // Calls a member of the control's automation object; the result in r_.
    platform::HRESULT Call(std::u16string_view name, std::vector<platform::Variant> args = {},
                           platform::DispatchKind kind = platform::DispatchKind::Method) {
        r_.Clear();
        return automation_->InvokeByName(name, kind, args, r_);
    }
    StraleLib::SX_OpenGLCamera& Cam() { return *control_->DataSet().Camera(); }
    // The control's next frame as captured (rows top-down).
    platform::RgbImage Frame() {
        control_->GraphicWindow()->RequestCapture();
        EXPECT_TRUE(control_->RenderFrame());
        EXPECT_FALSE(control_->GraphicWindow()->CaptureRequested());
        return control_->GraphicWindow()->Captured();
    }

    sitegen::SitePlan plan_;
    testsupport::TempDir dir_;
    testsupport::ScopedEnv data_{"XDG_DATA_HOME", (dir_ / "data").string()};
    std::unique_ptr<platform::DownloadCache> cache_ =
        std::make_unique<platform::DownloadCache>(platform::FromUtf8((dir_ / "cache").string()));
    std::shared_ptr<std::atomic<int>> sleeps_ = std::make_shared<std::atomic<int>>(0);
    platform::VirtualClock clock_;
    platform::MessageLoop loop_{clock_};
    ScriptedHostUi ui_;
    std::unique_ptr<SX_Control> control_;
    platform::ComPtr<control::Automation> automation_;
    platform::InvokeResult r_;
    std::vector<std::string> events_;  // "Name(first argument as a number)"
    std::vector<std::string> full_;    // "Name(every argument as text)"
    std::vector<std::u16string> opened_;
};

// A complete control (no station) driven through the input the desktop would
// deliver; full_ records every event with all its arguments ("MouseEvent(2,500,250)").
class ViewInputFixture : public ControlFixture {
  protected:
    SX_Control& Ready(int width = 1000, int height = 500) {
        return ReadyControl(MakeOptions(), nullptr, width, height);
    }

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
        EXPECT_EQ(Call(name, std::move(args)), platform::S_OK);
        bool res = false;
        r_.retval.ToBool(res);
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
};
