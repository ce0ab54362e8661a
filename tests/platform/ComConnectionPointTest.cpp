#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ConnectionPoint.h"
#include "platform/DispatchTableBuilder.h"

using namespace platform;

namespace {

// An event sink object as a host would connect it: one method per event.
class RecordingSink : public Dispatchable {
  public:
    const DispatchTable& GetDispatchTable() const override {
        static const DispatchTable table =
            DispatchTableBuilder<RecordingSink>()
                .Method(u"PointPicked", 6, &RecordingSink::PointPicked, {u"x", u"y", u"z"})
                .Build();
        return table;
    }
    HRESULT PointPicked(double x, double y, double z) {
        points.push_back({x, y, z});
        return S_OK;
    }
    std::vector<std::vector<double>> points;
};

}  // namespace

TEST(ComConnectionPoint, FiresInConnectionOrderAndReportsTheLastFailure) {
    ConnectionPoint point;
    EXPECT_EQ(point.Fire(1), S_OK);  // nobody connected: nothing happens

    std::vector<std::string> calls;
    const auto sink = [&calls](std::string name, HRESULT answer) {
        return [&calls, name, answer](DISPID id, const std::vector<Variant>& args) {
            calls.push_back(name + ":" + std::to_string(id) + ":" + std::to_string(args.size()));
            return answer;
        };
    };
    EXPECT_EQ(point.Advise(sink("a", S_OK)), 1u);
    const std::uint32_t b = point.Advise(sink("b", E_FAIL));
    point.Advise(sink("c", S_FALSE));
    const std::uint32_t d = point.Advise(sink("d", E_INVALIDARG));
    EXPECT_EQ(point.Advise(sink("e", S_OK)), 5u);
    EXPECT_EQ(point.Advise(ConnectionPoint::Sink()), 0u);

    EXPECT_EQ(point.Fire(14, {Variant(101)}), E_INVALIDARG);  // the last failure, not the first
    EXPECT_EQ(calls, (std::vector<std::string>{"a:14:1", "b:14:1", "c:14:1", "d:14:1", "e:14:1"}));

    calls.clear();
    EXPECT_EQ(point.Unadvise(d), S_OK);
    EXPECT_EQ(point.Unadvise(d), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(point.Fire(1), E_FAIL);
    EXPECT_EQ(calls, (std::vector<std::string>{"a:1:0", "b:1:0", "c:1:0", "e:1:0"}));
    EXPECT_EQ(point.Unadvise(b), S_OK);
    EXPECT_EQ(point.Fire(1), S_OK);

    // Cookies are not reused.
    EXPECT_EQ(point.Advise(sink("f", S_OK)), 6u);
    point.UnadviseAll();
    EXPECT_EQ(point.Count(), 0u);
}

TEST(ComConnectionPoint, SinksChangedDuringAFiring) {
    ConnectionPoint point;
    std::vector<std::string> calls;
    std::uint32_t later = 0;
    std::uint32_t self = 0;
    bool added = false;

    // First sink: adds a sink (called from the next firing on) and removes the
    // third sink, which must not be called in this firing any more.
    point.Advise([&](DISPID, const std::vector<Variant>&) {
        calls.push_back("first");
        if (!added) {
            added = true;
            point.Advise([&](DISPID, const std::vector<Variant>&) {
                calls.push_back("added");
                return S_OK;
            });
            point.Unadvise(later);
        }
        return S_OK;
    });
    // Second sink: removes itself while it runs (and must survive doing so).
    self = point.Advise([&, text = std::string("self")](DISPID, const std::vector<Variant>&) {
        point.Unadvise(self);
        calls.push_back(text);  // the callable is still alive here
        return S_OK;
    });
    later = point.Advise([&](DISPID, const std::vector<Variant>&) {
        calls.push_back("later");
        return E_FAIL;
    });

    EXPECT_EQ(point.Fire(2), S_OK);
    EXPECT_EQ(calls, (std::vector<std::string>{"first", "self"}));
    calls.clear();
    EXPECT_EQ(point.Fire(2), S_OK);
    EXPECT_EQ(calls, (std::vector<std::string>{"first", "added"}));
}

TEST(ComConnectionPoint, NestedFiringAndDispatchSinks) {
    ConnectionPoint point;
    std::vector<std::string> calls;
    point.Advise([&](DISPID id, const std::vector<Variant>&) {
        calls.push_back("outer" + std::to_string(id));
        if (id == 1) {
            point.Fire(29, {Variant(1)});  // e.g. NewAPIAdded right after ControlInitialized
        }
        return S_OK;
    });
    point.Advise([&](DISPID id, const std::vector<Variant>&) {
        calls.push_back("second" + std::to_string(id));
        return S_OK;
    });
    point.Fire(1);
    EXPECT_EQ(calls, (std::vector<std::string>{"outer1", "outer29", "second29", "second1"}));

    ConnectionPoint events;
    auto recorder = MakeRef<RecordingSink>();
    const std::uint32_t cookie = events.Advise(ComPtr<Dispatchable>(recorder));
    EXPECT_EQ(recorder->RefCount(), 2u);  // the connection holds the sink
    EXPECT_EQ(events.Fire(6, {Variant(1.5), Variant(2), Variant(u"-3")}), S_OK);
    EXPECT_EQ(recorder->points, (std::vector<std::vector<double>>{{1.5, 2.0, -3.0}}));
    EXPECT_EQ(events.Fire(6, {Variant(1.5)}), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(events.Fire(99), DISP_E_MEMBERNOTFOUND);  // a sink without that event
    EXPECT_EQ(events.Unadvise(cookie), S_OK);
    EXPECT_EQ(recorder->RefCount(), 1u);
}
