// Saved views against a recording host: identity, the camera turn of Apply
// (seam, clamps, frame counts, busy retries, capture of the last frame only),
// the order of the view-state calls, and the sx:View element round trip.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "glcore/SX_OpenGLCamera.h"
#include "host/SX_EventIds.h"
#include "persist/SxView.h"
#include "platform/Guid.h"
#include "platform/SL_XMLWriter.h"
#include "platform/Text.h"
#include "platform/XmlDocument.h"

namespace {

using platform::ComPtr;

struct Frame {
    double azimuth;
    double altitude;
    double fov;
    bool capture;
};

class FakeHost final : public persist::ViewsHost {
  public:
    StraleLib::SX_OpenGLCamera* Camera() const override { return &camera; }
    bool ViewsReady() const override { return true; }
    bool AnimateTransitions() const override { return animate; }
    void SetRaiseCameraEvents(bool raise) override {
        log.push_back(raise ? "events on" : "events off");
    }
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
    markup2d::DrawingHost* DrawingHost() const override { return nullptr; }
    int Width() const override { return 640; }
    int Height() const override { return 480; }
    platform::HRESULT FireEvent(platform::DISPID id,
                                const std::vector<platform::Variant>&) override {
        log.push_back("event " + std::to_string(id));
        return platform::S_OK;
    }
    void RedrawControl() override {}

    int Intermediate() const {
        int n = 0;
        for (const Frame& f : frames) {
            n += f.capture ? 0 : 1;
        }
        return n;
    }

    mutable StraleLib::SX_OpenGLCamera camera;
    bool animate = true;
    int busy = 0;
    int slept = 0;
    std::int32_t shown = -1;
    bool locked = false;
    std::vector<Frame> frames;
    std::vector<std::string> log;
};

struct Bound {
    FakeHost host;
    persist::ViewsHostRef link = std::make_shared<persist::ViewsHostLink>();
    Bound() { link->host = &host; }
    ComPtr<SxView> View(double azimuth, double latitude, double aperture) {
        ComPtr<SxView> v = platform::MakeRef<SxView>();
        v->Bind(link);
        v->SetOrientation(azimuth, latitude, aperture);
        return v;
    }
};

}  // namespace

TEST(SxView, IdsCountUpNeverReusedAndNameTheSnapshot) {
    const std::int32_t next = SxView::NextId();
    ASSERT_GE(next, 100);
    ComPtr<SxView> a = platform::MakeRef<SxView>();
    a.Reset();  // a released view's ID stays used
    ComPtr<SxView> b = platform::MakeRef<SxView>();
    EXPECT_EQ(b->Id(), next + 1);
    char name[32];
    std::snprintf(name, sizeof name, "Snapshot#%03d", next + 1);
    EXPECT_EQ(platform::ToUtf8(b->Name()), name);
    EXPECT_TRUE(platform::IsGuidText(b->Guid())) << platform::ToUtf8(b->Guid());
    EXPECT_NE(platform::MakeRef<SxView>()->Guid(), b->Guid());

    // Unbound: nothing works, nothing fails.
    EXPECT_FALSE(b->Capture());
    EXPECT_FALSE(b->Apply(true));
    EXPECT_TRUE(b->XmlElement().IsNull());
}

TEST(SxView, ApplyTurnsAcrossTheSeamAndClampsApertureAndLatitude) {
    Bound b;
    b.host.camera.SetAzimuth(-170.0);
    ASSERT_TRUE(b.View(170.0, 95.0, 150.0)->Apply(false));
    ASSERT_FALSE(b.host.frames.empty());
    for (const Frame& f : b.host.frames) {
        EXPECT_GE(std::fabs(f.azimuth), 170.0 - 1e-9) << "turned the long way: " << f.azimuth;
        EXPECT_LE(f.fov, 120.0);
        EXPECT_LE(f.altitude, 89.9 + 1e-12);
    }
    const Frame& last = b.host.frames.back();
    EXPECT_TRUE(last.capture);
    EXPECT_DOUBLE_EQ(last.azimuth, 170.0);
    EXPECT_DOUBLE_EQ(last.altitude, 89.9);
    EXPECT_DOUBLE_EQ(last.fov, 120.0);
}

TEST(SxView, FrameCountsFollowTheLargestChange) {
    struct Case {
        double azimuth;
        double aperture;
        bool animate;
        int intermediate;
    };
    const Case cases[] = {
        {2.0, 80.0, true, 0},    // 2 degrees: no animation
        {0.0, 81.0, true, 0},    // 1 degree of aperture counts twice: 2
        {10.0, 80.0, true, 24},  // step 1/25
        {60.0, 80.0, true, 59},  // step 1/60
        {0.0, 90.0, true, 24},   // 10 degrees of aperture: 20, step 1/25
        {60.0, 80.0, false, 0},  // transitions not animated
    };
    for (const Case& c : cases) {
        Bound b;
        b.host.animate = c.animate;
        b.View(c.azimuth, 0.0, c.aperture)->Apply(false);
        EXPECT_EQ(b.host.Intermediate(), c.intermediate) << c.azimuth << " " << c.aperture;
        ASSERT_FALSE(b.host.frames.empty());
        EXPECT_TRUE(b.host.frames.back().capture);
        EXPECT_EQ(b.host.frames.size(), static_cast<std::size_t>(c.intermediate) + 1);
    }
}

TEST(SxView, BusyFramesAreRetriedEvery100Ms) {
    Bound b;
    b.host.busy = 3;
    b.View(1.0, 0.0, 80.0)->Apply(false);
    EXPECT_EQ(b.host.slept, 300);
    ASSERT_EQ(b.host.frames.size(), 1u);
    EXPECT_TRUE(b.host.frames[0].capture);
}

TEST(SxView, ApplyOrdersTheViewStateCalls) {
    Bound b;
    ComPtr<SxView> v = b.View(30.0, 0.0, 80.0);
    ASSERT_TRUE(v->Apply(false));
    EXPECT_EQ(b.host.log, (std::vector<std::string>{"hide neighbours", "events off", "leave",
                                                    "enter fading", "events on"}));
    EXPECT_EQ(b.host.shown, v->Id());

    // Shown unlocked and applied unlocked again: nothing but the neighbours.
    b.host.log.clear();
    b.host.frames.clear();
    EXPECT_TRUE(v->Apply(false));
    EXPECT_EQ(b.host.log, std::vector<std::string>{"hide neighbours"});
    EXPECT_TRUE(b.host.frames.empty());

    // Locking the shown view: no turn left, so no fading before the lock.
    b.host.shown = v->Id();
    EXPECT_TRUE(v->Apply(true));
    EXPECT_EQ(b.host.log,
              (std::vector<std::string>{"hide neighbours", "hide neighbours", "events off", "leave",
                                        "enter", "lock", "events on"}));
    EXPECT_EQ(b.host.shown, v->Id());
    EXPECT_TRUE(b.host.locked);
}

TEST(SxView, ElementRoundTripsAndMissingCameraValuesTakeDefaults) {
    Bound b;
    ComPtr<SxView> v = b.View(-12.5, 7.25, 45.0);
    v->SetName(u"Hall & stairs");
    v->SetCreatedOn(u"2026-12-06 04:40");
    v->SetUserName(u"mk");
    const platform::XmlNode element = v->XmlElement();
    ASSERT_FALSE(element.IsNull());
    const std::string xml = platform::ToUtf8(element.Xml());
    EXPECT_NE(xml.find("Azimuth=\"-12.500\" Latitude=\"7.250\" Aperture=\"45.000\""),
              std::string::npos)
        << xml;
    EXPECT_EQ(xml.find("sx:Marks"), std::string::npos) << "no drawings, no sx:Marks";

    platform::XmlDocument doc;
    ASSERT_TRUE(doc.LoadString(element.Xml()));
    ComPtr<SxView> read = b.View(0.0, 0.0, 0.0);
    ASSERT_TRUE(read->ReadXml(doc.DocumentElement()));
    EXPECT_NE(read->Id(), v->Id());
    EXPECT_EQ(read->Guid(), v->Guid());
    EXPECT_EQ(read->Name(), v->Name());
    EXPECT_EQ(read->CreatedOn(), v->CreatedOn());
    EXPECT_EQ(read->UserName(), v->UserName());
    EXPECT_DOUBLE_EQ(read->Azimuth(), -12.5);
    EXPECT_DOUBLE_EQ(read->Latitude(), 7.25);
    EXPECT_DOUBLE_EQ(read->Aperture(), 45.0);

    // Empty name and GUID keep the view's own; empty or missing numbers take
    // 0, 0 and 80; missing texts become empty.
    ASSERT_TRUE(
        doc.LoadString(uR"(<sx:View xmlns:sx="urn:panora:sx" Name="" GUID="">
<sx:Camera><sx:Orientation Azimuth="" Latitude="abc"/></sx:Camera></sx:View>)"));
    ComPtr<SxView> sparse = b.View(5.0, 5.0, 5.0);
    sparse->SetCreatedOn(u"old");
    const std::u16string name = sparse->Name();
    const std::u16string guid = sparse->Guid();
    ASSERT_TRUE(sparse->ReadXml(doc.DocumentElement()));
    EXPECT_EQ(sparse->Name(), name);
    EXPECT_EQ(sparse->Guid(), guid);
    EXPECT_EQ(sparse->CreatedOn(), u"");
    EXPECT_DOUBLE_EQ(sparse->Azimuth(), 0.0);
    EXPECT_DOUBLE_EQ(sparse->Latitude(), 0.0);
    EXPECT_DOUBLE_EQ(sparse->Aperture(), 80.0);
}
