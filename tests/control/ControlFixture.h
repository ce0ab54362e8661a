#pragma once
// A control on a virtual clock with a scripted host, its events recorded,
// its log, registry, per-user data and download cache in a temporary folder.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "control/SX_Control.h"
#include "control/SX_ControlEvents.h"
#include "control/SX_HostContainer.h"
#include "control/SX_SystemEvaluator.h"
#include "host/ScriptedHostUi.h"
#include "platform/Clock.h"
#include "platform/DownloadCache.h"
#include "platform/MessageLoop.h"
#include "platform/Text.h"
#include "sitegen/SiteGenerator.h"
#include "station/SX_CubeMap.h"
#include "station/SX_PanoramaDataSet.h"
#include "support/TempDir.h"

class ControlFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        oldData_ = Env("XDG_DATA_HOME");
        setenv("XDG_DATA_HOME", (dir_ / "data").c_str(), 1);
        cache_ = std::make_unique<platform::DownloadCache>(
            platform::FromUtf8((dir_ / "cache").string()));
    }
    void TearDown() override {
        if (control_) {
            control_->Destroy();
            control_.reset();
        }
        if (oldData_.empty()) {
            unsetenv("XDG_DATA_HOME");
        } else {
            setenv("XDG_DATA_HOME", oldData_.c_str(), 1);
        }
    }
    static std::string Env(const char* name) {
        const char* v = std::getenv(name);
        return v ? v : "";
    }

    SX_Control::Options MakeOptions(int score = 20, std::string version = "") {
        SX_Control::Options o;
        o.evaluator = std::make_shared<SX_SystemEvaluator>(score);
        o.logFolder = platform::FromUtf8((dir_ / "data/Panora").string());
        o.registryFile = platform::FromUtf8((dir_ / "registry.ini").string());
        o.controlVersion = platform::FromUtf8(version);
        o.downloadCache = cache_.get();
        o.sleeper = [](int) { std::this_thread::sleep_for(std::chrono::milliseconds(1)); };
        o.openBrowser = [this](const std::u16string& url) {
            opened_.push_back(url);
            return true;
        };
        return o;
    }

    SX_Control& MakeControl(SX_Control::Options options,
                            std::unique_ptr<SX_HostContainer> container = nullptr) {
        control_ =
            std::make_unique<SX_Control>(loop_, ui_, std::move(container), std::move(options));
        control_->Events().Advise(
            [this](platform::DISPID id, const std::vector<platform::Variant>& a) {
                const auto* info = SX_ControlEvents::Find(id);
                std::string name = info ? std::string(info->name) : "?";
                if (!a.empty()) {
                    name += "(" + std::to_string(a[0].Int32Value()) + ")";
                }
                events_.push_back(name);
                return platform::S_OK;
            });
        return *control_;
    }

    // Create and run the two 100 ms timers: ready state 4, initialised.
    SX_Control& ReadyControl(SX_Control::Options options,
                             std::unique_ptr<SX_HostContainer> container = nullptr, int width = 200,
                             int height = 150) {
        SX_Control& c = MakeControl(std::move(options), std::move(container));
        c.Create(width, height);
        clock_.Advance(100);
        clock_.Advance(100);
        events_.clear();
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
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < end) {
            loop_.ProcessPending();
            if (pred()) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return false;
    }

    // The coarsest cube of a two-level station is in and the loader waits for
    // the renderer to want the finer one.
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
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        return ok;
    }

    // Generates one station with the given face sizes below dir_/site; the
    // plan (scene, pose, paths) stays in plan_.
    const sitegen::StationFiles& Generate(
        std::vector<int> sizes,
        sitegen::DescriptionFormat format = sitegen::DescriptionFormat::Metadata) {
        sitegen::SiteOptions o;
        o.outputDir = (dir_ / "site").string();
        o.stations = 1;
        o.sizes = std::move(sizes);
        o.format = format;
        std::string error;
        EXPECT_TRUE(sitegen::GenerateSite(o, &plan_, &error)) << error;
        return plan_.stations.at(0);
    }

    sitegen::StationFiles Station(sitegen::DescriptionFormat format, bool versionIni = true) {
        const sitegen::StationFiles station = Generate({32, 64}, format);
        if (!versionIni) {
            std::filesystem::remove(station.versionIni);
        }
        return station;
    }

    sitegen::SitePlan plan_;
    testsupport::TempDir dir_;
    std::string oldData_;
    std::unique_ptr<platform::DownloadCache> cache_;
    platform::VirtualClock clock_;
    platform::MessageLoop loop_{clock_};
    ScriptedHostUi ui_;
    std::unique_ptr<SX_Control> control_;
    std::vector<std::string> events_;
    std::vector<std::u16string> opened_;
};
