// The view collection: its status codes (Item from 1, Remove from 0), the
// current view through Clear, Find and Next, ViewAdded, and the enumerator,
// called through the dispatch table as a page calls them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "persist/SxViews.h"
#include "platform/Text.h"

namespace {

using namespace platform;

// Fires only; everything else is never reached by the collection.
class EventHost final : public persist::ViewsHost {
  public:
    StraleLib::SX_OpenGLCamera* Camera() const override { return nullptr; }
    bool ViewsReady() const override { return true; }
    bool AnimateTransitions() const override { return false; }
    void SetRaiseCameraEvents(bool) override {}
    void HideAllNeighbors() override {}
    bool RenderView(bool) override { return true; }
    bool CanRenderView() const override { return true; }
    void SleepMs(int) override {}
    std::int32_t ShownViewId() const override { return -1; }
    void SetShownViewId(std::int32_t) override {}
    bool LockedForDrawing() const override { return false; }
    bool LeaveViewMode() override { return false; }
    void EnterViewMode(bool) override {}
    void LockForDrawing() override {}
    SX_2DDrawingWindow* Overlay() const override { return nullptr; }
    markup2d::DrawingHost* DrawingHost() const override { return nullptr; }
    int Width() const override { return 0; }
    int Height() const override { return 0; }
    HRESULT FireEvent(DISPID id, const std::vector<Variant>& args) override {
        std::string text = std::to_string(id);
        for (const Variant& a : args) {
            std::u16string s;
            a.ToString(s);
            text += " " + ToUtf8(s);
        }
        events.push_back(text);
        return S_OK;
    }
    void RedrawControl() override {}

    std::vector<std::string> events;
};

class SxViewsTest : public ::testing::Test {
  protected:
    SxViewsTest() {
        link->host = &host;
        for (ComPtr<SxView>& v : made) {
            v = MakeRef<SxView>();
            EXPECT_EQ(Call(u"Add", {Variant(v)}), S_OK);
        }
    }

    HRESULT Call(std::u16string_view name, std::vector<Variant> args, Variant* out = nullptr,
                 DispatchKind kind = DispatchKind::Method) {
        InvokeResult r;
        const HRESULT hr = views->InvokeByName(name, kind, args, r);
        if (out != nullptr) {
            *out = r.retval;
        }
        return hr;
    }
    std::int32_t IdOf(const Variant& v) {
        ComPtr<SxView> view = v.ObjectValue().As<SxView>();
        return view ? view->Id() : -1;
    }
    std::int32_t Id(std::size_t i) const { return made[i]->Id(); }

    EventHost host;
    persist::ViewsHostRef link = std::make_shared<persist::ViewsHostLink>();
    ComPtr<SxViews> views = MakeRef<SxViews>(link);
    ComPtr<SxView> made[3];
};

}  // namespace

TEST_F(SxViewsTest, ItemCountsFromOneRemoveFromZero) {
    ASSERT_EQ(host.events.size(), 3u);
    EXPECT_EQ(host.events[0], "11 " + ToUtf8(made[0]->Name()) + " " + std::to_string(Id(0)));

    Variant item;
    EXPECT_EQ(Call(u"Item", {Variant(0)}, &item, DispatchKind::PropertyGet), E_INVALIDARG);
    EXPECT_EQ(Call(u"Item", {Variant(4)}, &item, DispatchKind::PropertyGet), E_FAIL);
    ASSERT_EQ(Call(u"Item", {Variant(1)}, &item, DispatchKind::PropertyGet), S_OK);
    EXPECT_EQ(IdOf(item), Id(0));
    ComPtr<SxView> none;
    EXPECT_EQ(views->Item(1, nullptr), E_POINTER);

    EXPECT_EQ(Call(u"Add", {Variant(7)}), E_INVALIDARG);
    EXPECT_EQ(Call(u"Add", {Variant(views)}), E_INVALIDARG);  // not a view
    EXPECT_EQ(Call(u"Remove", {Variant(3)}), E_INVALIDARG);
    EXPECT_EQ(Call(u"Remove", {Variant(-1)}), E_INVALIDARG);
    EXPECT_EQ(Call(u"Remove", {Variant(u"first")}), S_OK);  // no number: ignored
    EXPECT_EQ(views->Count(), 3);
    ASSERT_EQ(Call(u"Remove", {Variant(0)}), S_OK);
    ASSERT_EQ(views->Count(), 2);
    EXPECT_EQ(views->Views()[0]->Id(), Id(1));
}

TEST_F(SxViewsTest, CurrentViewThroughFindNextRemoveAndClear) {
    Variant v;
    // Unknown IDs: the first forward, the last backward; known ones wrap.
    Call(u"Next", {Variant(-5), Variant(true)}, &v);
    EXPECT_EQ(IdOf(v), Id(0));
    Call(u"Next", {Variant(-5), Variant(false)}, &v);
    EXPECT_EQ(IdOf(v), Id(2));
    Call(u"Next", {Variant(Id(2)), Variant(true)}, &v);
    EXPECT_EQ(IdOf(v), Id(0));
    Call(u"Next", {Variant(Id(0)), Variant(false)}, &v);
    EXPECT_EQ(IdOf(v), Id(2));
    Call(u"GetCurrentView", {}, &v);
    EXPECT_EQ(IdOf(v), Id(2));

    // Find of an absent ID keeps the current view; a found one replaces it.
    Call(u"Find", {Variant(12345)}, &v);
    EXPECT_EQ(IdOf(v), -1);
    Call(u"Find", {Variant(Id(1))}, &v);
    Call(u"GetCurrentView", {}, &v);
    EXPECT_EQ(IdOf(v), Id(1));

    // Remove drops the current view even when another view goes.
    Call(u"Remove", {Variant(2)});
    Call(u"GetCurrentView", {}, &v);
    EXPECT_EQ(IdOf(v), -1);

    // Clear keeps the reference, yet an empty collection has no current view.
    Call(u"Find", {Variant(Id(0))}, &v);
    Call(u"Clear", {});
    Call(u"GetCurrentView", {}, &v);
    EXPECT_EQ(IdOf(v), -1);
    Call(u"Next", {Variant(Id(0)), Variant(true)}, &v);
    EXPECT_EQ(IdOf(v), -1);
}

TEST_F(SxViewsTest, GetViewByNameIsExactAndTheEnumeratorWalksInOrder) {
    made[1]->SetName(u"Entrance");
    Variant v;
    EXPECT_EQ(Call(u"GetViewByName", {Variant(u"entrance")}, &v), S_FALSE);
    ASSERT_EQ(Call(u"GetViewByName", {Variant(u"Entrance")}, &v), S_OK);
    EXPECT_EQ(IdOf(v), Id(1));

    Variant e;
    ASSERT_EQ(Call(u"_NewEnum", {}, &e, DispatchKind::PropertyGet), S_OK);
    ComPtr<Dispatchable> walker = e.ObjectValue();
    ASSERT_TRUE(walker);
    std::vector<std::int32_t> seen;
    for (;;) {
        InvokeResult r;
        if (walker->InvokeByName(u"Next", DispatchKind::Method, {}, r) != S_OK) {
            break;
        }
        seen.push_back(IdOf(r.retval));
    }
    EXPECT_EQ(seen, (std::vector<std::int32_t>{Id(0), Id(1), Id(2)}));
}
