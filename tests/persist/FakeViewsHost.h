#pragma once
// A views host that records what the views ask of it: frames with the
// camera as it stood, waits, view-state calls and events (as text).
#include <string>
#include <vector>

#include "glcore/SX_OpenGLCamera.h"
#include "markup2d/SX_Defaults.h"
#include "persist/SxView.h"
#include "platform/Text.h"

struct Frame {
    double azimuth, altitude, fov;
    bool capture;
};

class FakeViewsHost final : public persist::ViewsHost {
  public:
    FakeViewsHost() { link->host = this; }
    ~FakeViewsHost() { link->host = nullptr; }

    platform::ComPtr<SxView> View(double azimuth, double latitude, double aperture) {
        platform::ComPtr<SxView> v = platform::MakeRef<SxView>();
        v->Bind(link);
        v->SetOrientation(azimuth, latitude, aperture);
        return v;
    }
    int Intermediate() const {
        int n = 0;
        for (const Frame& f : frames) {
            n += f.capture ? 0 : 1;
        }
        return n;
    }

    StraleLib::SX_OpenGLCamera* Camera() const override { return &camera; }
    bool ViewsReady() const override { return true; }
    bool AnimateTransitions() const override { return animate; }
    void SetRaiseCameraEvents(bool on) override { log.push_back(on ? "events on" : "events off"); }
    void HideAllNeighbors() override { log.push_back("hide neighbours"); }
    bool RenderView(bool capture) override {
        if (busy > 0) {
            --busy;
            return false;
        }
        frames.push_back({camera.Azimuth(), camera.Altitude(), camera.FieldOfView(), capture});
        return true;
    }
    bool CanRenderView() const override { return true; }
    void SleepMs(int ms) override { slept += ms; }
    std::int32_t ShownViewId() const override { return shown; }
    void SetShownViewId(std::int32_t id) override { shown = id; }
    bool LockedForDrawing() const override { return locked; }
    bool LeaveViewMode() override {
        log.push_back("leave");
        shown = -1;
        locked = false;
        return true;
    }
    void EnterViewMode(bool fading) override { log.push_back(fading ? "enter fading" : "enter"); }
    void LockForDrawing() override {
        log.push_back("lock");
        locked = true;
    }
    SX_2DDrawingWindow* Overlay() const override { return nullptr; }
    markup2d::DrawingHost* DrawingOwner() const override { return nullptr; }
    const SX_Defaults& DrawingDefaults() const override { return defaults; }
    int DrawingUnit() override { return 0; }
    int StationInternalUnit() const override { return 0; }
    int Width() const override { return 640; }
    int Height() const override { return 480; }
    platform::HRESULT FireEvent(platform::DISPID id,
                                const std::vector<platform::Variant>& args) override {
        std::string text = std::to_string(id);
        for (const platform::Variant& a : args) {
            std::u16string s;
            a.ToString(s);
            text += " " + platform::ToUtf8(s);
        }
        log.push_back(text);
        return platform::S_OK;
    }
    void RedrawControl() override {}

    persist::ViewsHostRef link = std::make_shared<persist::ViewsHostLink>();
    mutable StraleLib::SX_OpenGLCamera camera;
    SX_Defaults defaults;
    bool animate = true;
    int busy = 0;
    int slept = 0;
    std::int32_t shown = -1;
    bool locked = false;
    std::vector<Frame> frames;
    std::vector<std::string> log;
};
