// Saved views against a recording host: the camera turn of Apply
// (seam, clamps, frame counts, busy retries, capture of the last frame only),
// the order of the view-state calls, and gaps in the sx:View element.
#include <gtest/gtest.h>

#include <cmath>

#include "persist/FakeViewsHost.h"
#include "platform/XmlDocument.h"

using platform::ComPtr;

TEST(SxView, ApplyTurnsAcrossTheSeamAndClampsApertureAndLatitude) {
    FakeViewsHost host;
    host.camera.SetAzimuth(-170.0);
    ASSERT_TRUE(host.View(170.0, 95.0, 150.0)->Apply(false));
    EXPECT_EQ(host.Intermediate(), 139);  // the aperture's 70 degrees count twice
    for (const Frame& f : host.frames) {
        EXPECT_GE(std::fabs(f.azimuth), 170.0 - 1e-9) << "turned the long way: " << f.azimuth;
    }
    const Frame& last = host.frames.back();
    EXPECT_TRUE(last.capture);
    EXPECT_DOUBLE_EQ(last.azimuth, 170.0);
    EXPECT_DOUBLE_EQ(last.altitude, 89.9);
    EXPECT_DOUBLE_EQ(last.fov, 120.0);
}

TEST(SxView, FrameCountsFollowTheLargestChangeAndBusyFramesWait) {
    struct Case {
        double azimuth, aperture;
        bool animate;
        int intermediate;
    };
    for (const Case& c :
         {Case{2.0, 80.0, true, 0}, Case{0.0, 81.0, true, 0}, Case{10.0, 80.0, true, 24},
          Case{60.0, 80.0, true, 59}, Case{0.0, 90.0, true, 24}, Case{60.0, 80.0, false, 0}}) {
        FakeViewsHost host;
        host.animate = c.animate;
        host.busy = 2;  // the first frame waits twice
        host.View(c.azimuth, 0.0, c.aperture)->Apply(false);
        EXPECT_EQ(host.Intermediate(), c.intermediate) << c.azimuth << " " << c.aperture;
        EXPECT_EQ(host.frames.size(), static_cast<std::size_t>(c.intermediate) + 1);
        EXPECT_TRUE(host.frames.back().capture);
        EXPECT_EQ(host.slept, 200);
    }
}

TEST(SxView, ApplyOrdersTheViewStateCalls) {
    FakeViewsHost host;
    ComPtr<SxView> v = host.View(30.0, 0.0, 80.0);
    ASSERT_TRUE(v->Apply(false));
    EXPECT_EQ(host.log, (std::vector<std::string>{"hide neighbours", "events off", "leave",
                                                  "enter fading", "events on"}));
    EXPECT_EQ(host.shown, v->Id());
    // Applied as it is shown: nothing but the neighbours.
    host.log.clear();
    host.frames.clear();
    EXPECT_TRUE(v->Apply(false));
    EXPECT_EQ(host.log, std::vector<std::string>{"hide neighbours"});
    EXPECT_TRUE(host.frames.empty());
    // Locking the shown view: no turn left, so no fading.
    host.log.clear();
    EXPECT_TRUE(v->Apply(true));
    EXPECT_EQ(host.log, (std::vector<std::string>{"hide neighbours", "events off", "leave", "enter",
                                                  "lock", "events on"}));
    EXPECT_TRUE(host.locked);
}

// (The sx:View element written and read back with its drawings is the markup
// page's test.)
TEST(SxView, ElementReadsGapsAsTheDefaults) {
    FakeViewsHost host;
    platform::XmlDocument doc;
    // Empty name and GUID keep the view's own; empty, missing or unreadable
    // numbers take 0, 0 and 80; missing texts become empty.
    ASSERT_TRUE(
        doc.LoadString(uR"(<sx:View xmlns:sx="urn:panora:sx" Name="" GUID="">
<sx:Camera><sx:Orientation Azimuth="" Latitude="abc"/></sx:Camera></sx:View>)"));
    ComPtr<SxView> sparse = host.View(5.0, 5.0, 5.0);
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
