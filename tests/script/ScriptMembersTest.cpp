// Members of automation objects as the page sees them: properties, methods,
// [out] parameters, statuses and handed-out objects.

#include <gtest/gtest.h>

#include <duktape.h>

#include "script/ScriptFixture.h"

using namespace scripttest;

TEST_F(ScriptFixture, PropertiesReadAndWriteByNameInAnyCase) {
    const int code = RunPage(R"(
host.log(control.ReadyState, control.readystate, control.Enabled);
control.src = "st1.xml";
host.log(control.SRC);
control.enabled = false;
host.log(control.Enabled);
try { control.ReadyState = 1; } catch (e) { host.log("put", e.number === host.lastStatus, e.message); }
try { control.Nothing = 1; } catch (e) { host.log("unknown", e.message); }
host.log(typeof control.Nothing, "add" in control, "Nothing" in control);
control.src = "Gr\u00f6\u00dfe \ud83d\ude00";
host.log(control.src.length);
host.quit(0);
)");
    EXPECT_EQ(code, 0) << err.str();
    EXPECT_EQ(out.str(),
              Lines({"4 4 true", "st1.xml", "false", "put true ReadyState: DISP_E_MEMBERNOTFOUND",
                     "unknown Nothing: DISP_E_UNKNOWNNAME", "undefined true false", "8"}));
    EXPECT_EQ(control->src, u"Gr\u00f6\u00dfe \U0001F600");
    EXPECT_EQ(control->enabled, VARIANT_FALSE);
}

TEST_F(ScriptFixture, StatusesReachThePage) {
    const int code = RunPage(R"(
host.log(control.FindView("Back"), host.lastStatus);
host.log(control.FindView("Front"), host.lastStatus);
try {
  control.Fail(-2147024809);
} catch (e) {
  host.log(e instanceof Error, e.number, e.message, e.lineNumber, host.lastStatus);
}
try { control.Add("x", 1); } catch (e) { host.log(e.number, e.message); }
control.Fail(-2147467259);
host.quit(0);
)");
    EXPECT_EQ(code, scripthost::ScriptHost::kExitScriptError);
    EXPECT_EQ(out.str(), Lines({"-1 1", "100 0",
                                "true -2147024809 Fail: E_INVALIDARG: the sample refused 5 "
                                "-2147024809",
                                "-2147352571 Add: DISP_E_TYPEMISMATCH (argument 1)"}));
    EXPECT_EQ(err.str(), "page.js:10: Error: Fail: E_FAIL: the sample refused\n");
    EXPECT_EQ(host.LastStatus(), E_FAIL);
}

TEST_F(ScriptFixture, HandedOutObjectsAreWrappedAndReleased) {
    ASSERT_TRUE(host.AddHostFunction("liveItems", [](std::span<const Variant>, Variant& result) {
        result = Variant(SampleItem::live);
        return S_OK;
    }));
    ASSERT_TRUE(host.AddHostFunction("gc", [this](std::span<const Variant>, Variant&) {
        duk_gc(host.Context(), 0);
        duk_gc(host.Context(), 0);
        return S_OK;
    }));
    ASSERT_TRUE(host.AddHostFunction("refuse", [](std::span<const Variant> args, Variant&) {
        return args.size() == 1 ? E_NOTIMPL : S_OK;
    }));
    EXPECT_FALSE(
        host.AddHostFunction("log", [](std::span<const Variant>, Variant&) { return S_OK; }));
    EXPECT_FALSE(host.AddObject("control", control));

    const int code = RunPage(R"(
var a = control.NewItem("a");
var b = a.Child("b");
host.log(host.liveItems(), a.Name, b.NAME, control.ItemName(b), a.Child === a.Child);
var child = b.child;
b = null;
host.gc();
host.log(host.liveItems(), child("c").Name);
try { control.ItemName(null); } catch (e) { host.log(e.message); }
try { host.refuse(1); } catch (e) { host.log(e.number, e.message); }
child = null;
a = null;
host.gc();
host.log(host.liveItems());
host.quit(0);
)");
    EXPECT_EQ(code, 0) << err.str();
    EXPECT_EQ(out.str(), Lines({"2 a a/b a/b true", "2 a/b/c", "ItemName: E_POINTER",
                                "-2147467263 host.refuse: E_NOTIMPL", "0"}));

    // What the page still holds is released with the host.
    host.LoadString("var kept = control.NewItem('k');");
    EXPECT_EQ(SampleItem::live, 1);
    {
        scripthost::ScriptHost other(loop, out, err);
        other.AddObject("control", control);
        other.LoadString("var kept = control.NewItem('k'); var kid = kept.Child('x');");
        EXPECT_EQ(SampleItem::live, 3);
    }
    EXPECT_EQ(SampleItem::live, 1);
}
