// The view collection through its dispatch table, as a page calls it: Item
// counts from 1 and Remove from 0, the current view through Next, Find,
// Remove and Clear, and ViewAdded.
#include <gtest/gtest.h>

#include "persist/FakeViewsHost.h"
#include "persist/SxViews.h"

using namespace platform;

namespace {

class SxViewsTest : public ::testing::Test {
  protected:
    SxViewsTest() {
        for (ComPtr<SxView>& v : made) {
            v = MakeRef<SxView>();
            EXPECT_EQ(Call(u"Add", {Variant(v)}), S_OK);
        }
    }
    // The call's status; its view's ID (-1 for none) in `id`.
    HRESULT Call(std::u16string_view name, std::vector<Variant> args,
                 DispatchKind kind = DispatchKind::Method) {
        InvokeResult r;
        const HRESULT hr = views->InvokeByName(name, kind, args, r);
        ComPtr<SxView> view =
            r.retval.Type() == VariantType::Object ? r.retval.ObjectValue().As<SxView>() : nullptr;
        id = view ? view->Id() : -1;
        retval = r.retval;
        return hr;
    }
    std::int32_t Id(std::size_t i) const { return made[i]->Id(); }

    FakeViewsHost host;
    ComPtr<SxViews> views = MakeRef<SxViews>(host.link);
    ComPtr<SxView> made[3];
    std::int32_t id = -1;
    Variant retval;
};

}  // namespace

TEST_F(SxViewsTest, ItemCountsFromOneRemoveFromZero) {
    ASSERT_EQ(host.log.size(), 3u);
    EXPECT_EQ(host.log[0], "11 " + ToUtf8(made[0]->Name()) + " " + std::to_string(Id(0)));
    EXPECT_EQ(Call(u"Item", {Variant(0)}, DispatchKind::PropertyGet), E_INVALIDARG);
    EXPECT_EQ(Call(u"Item", {Variant(4)}, DispatchKind::PropertyGet), E_FAIL);
    EXPECT_EQ(Call(u"Item", {Variant(1)}, DispatchKind::PropertyGet), S_OK);
    EXPECT_EQ(id, Id(0));
    EXPECT_EQ(views->Item(1, nullptr), E_POINTER);

    EXPECT_EQ(Call(u"Add", {Variant(7)}), E_INVALIDARG);
    EXPECT_EQ(Call(u"Add", {Variant(views)}), E_INVALIDARG);  // an object, not a view
    EXPECT_EQ(Call(u"Remove", {Variant(3)}), E_INVALIDARG);
    EXPECT_EQ(Call(u"Remove", {Variant(-1)}), E_INVALIDARG);
    EXPECT_EQ(Call(u"Remove", {Variant(u"first")}), S_OK);  // no number: ignored
    EXPECT_EQ(views->Count(), 3);
    ASSERT_EQ(Call(u"Remove", {Variant(0)}), S_OK);
    ASSERT_EQ(views->Count(), 2);
    EXPECT_EQ(views->Views()[0]->Id(), Id(1));
}

TEST_F(SxViewsTest, CurrentViewThroughNextFindRemoveAndClear) {
    // Unknown IDs: the first forward, the last backward; known ones wrap.
    Call(u"Next", {Variant(-5), Variant(true)});
    EXPECT_EQ(id, Id(0));
    Call(u"Next", {Variant(-5), Variant(false)});
    EXPECT_EQ(id, Id(2));
    Call(u"Next", {Variant(Id(2)), Variant(true)});
    EXPECT_EQ(id, Id(0));
    Call(u"Next", {Variant(Id(0)), Variant(false)});
    Call(u"GetCurrentView", {});
    EXPECT_EQ(id, Id(2));
    // An absent ID keeps the current view.
    Call(u"Find", {Variant(12345)});
    EXPECT_EQ(id, -1);
    Call(u"GetCurrentView", {});
    EXPECT_EQ(id, Id(2));
    // Removing any view drops the current one.
    Call(u"Find", {Variant(Id(1))});
    Call(u"Remove", {Variant(2)});
    Call(u"GetCurrentView", {});
    EXPECT_EQ(id, -1);
    // Clear keeps the reference, yet an empty collection has no current view.
    Call(u"Find", {Variant(Id(0))});
    Call(u"Clear", {});
    Call(u"GetCurrentView", {});
    EXPECT_EQ(id, -1);
    Call(u"Next", {Variant(Id(0)), Variant(true)});
    EXPECT_EQ(id, -1);
}
