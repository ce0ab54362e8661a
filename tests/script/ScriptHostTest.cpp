// The page's run: events, timers on the virtual clock, exit codes, error
// reports, message boxes and log lines.

#include <gtest/gtest.h>

#include "script/ScriptFixture.h"
#include "support/TempDir.h"

using namespace scripttest;
using scripthost::ScriptHost;

TEST_F(ScriptFixture, EventsReachHandlersInConnectionOrder) {
    // A sink connected before the page's handlers is called before them.
    control->events.Advise([this](DISPID id, const std::vector<Variant>&) {
        out << "native " << id << "\n";
        return S_OK;
    });
    const int code = RunPage(R"(
function first(x, y, z) { host.log("first", x, y, z); }
function second() { host.log("second", arguments.length); }
host.log(control.attachEvent("PointPicked", first), control.attachEvent("pointpicked", second),
         control.attachEvent("PointPicked", first), control.attachEvent("NoSuchEvent", first));
control.attachEvent("onViewAdded", function(name, id) { host.log("view", name, id); });
control.attachEvent("HotLinkClicked", function(url, reply) {
  host.log("link", url, reply.EventProcessingComplete);
  reply.EventProcessingComplete = (url == "a.htm");
});
control.Pick(1.5, -2, 3);
control.AddView("Front");
host.log(control.Click("a.htm"), control.Click("b.htm"));
host.log(control.detachEvent("PointPicked", first), control.detachEvent("PointPicked", first),
         control.detachEvent("ViewAdded", first));
control.Pick(0, 0, 0);
host.quit(0);
)");
    EXPECT_EQ(code, 0) << err.str();
    EXPECT_EQ(out.str(), Lines({"true true true false", "native 6", "first 1.5 -2 3", "second 3",
                                "native 11", "view Front 100", "native 30", "link a.htm false",
                                "native 30", "link b.htm false", "true false", "true false false",
                                "native 6", "second 3"}));
    // The page's connections end with the host; the native sink stays.
    EXPECT_EQ(control->events.Count(), 4u);
}

TEST_F(ScriptFixture, AnErrorInAHandlerFailsTheRun) {
    const int code = RunPage(R"(
control.attachEvent("ViewAdded", function(name) {
  if (name == "bad") throw new Error("no views called " + name);
  host.log("added", name);
});
host.setTimeout(function() { control.AddView("bad"); host.log("after"); host.quit(0); }, 10);
control.AddView("good");
)");
    EXPECT_EQ(code, ScriptHost::kExitScriptError);
    EXPECT_EQ(out.str(), "added good\nafter\n");
    EXPECT_EQ(err.str(), "page.js:3: Error: no views called bad (in handler of ViewAdded)\n");
}

TEST_F(ScriptFixture, TimersRunInDueOrderOnTheVirtualClock) {
    ASSERT_TRUE(host.AddHostFunction("now", [this](std::span<const Variant>, Variant& result) {
        result = Variant(static_cast<std::int32_t>(clock.NowMs()));
        return S_OK;
    }));
    const int code = RunPage(R"(
function say(what) { host.log(what, host.now()); }
host.setTimeout(say, 30, "thirty");
host.setTimeout(say, 10, "ten-a");
var dropped = host.setTimeout(say, 20, "dropped");
host.setTimeout(say, 10, "ten-b");
host.setTimeout(function() {
  say("zero");
  host.setTimeout(say, 5, "nested");
}, 0);
host.setTimeout(say, -5, "negative");
host.clearTimeout(dropped);
host.clearTimeout(12345);
host.setTimeout(function() { host.quit(9); }, 40);
host.setTimeout(say, 40, "after quit");
)",
                             60000);
    EXPECT_EQ(code, 9) << err.str();
    EXPECT_EQ(out.str(),
              Lines({"zero 0", "negative 0", "nested 5", "ten-a 10", "ten-b 10", "thirty 30"}));
    EXPECT_EQ(clock.NowMs(), 40);
}

TEST_F(ScriptFixture, QuitCodesAndTheTimeOut) {
    EXPECT_EQ(RunPage("host.quit(5); host.quit(6); throw new Error('late');"), 5);
    EXPECT_EQ(host.ExitCode(), 5);
    // The error after the quit is still reported; the first outcome stands.
    EXPECT_EQ(err.str(), "page.js:1: Error: late\n");
    // (The time-out's exit code: the run command's test.)
    {
        ScriptHost plain(loop, out, err);
        plain.LoadString("host.setTimeout(function() { host.quit(); }, 1);");
        EXPECT_EQ(plain.Run(500), 0);
    }
}

TEST_F(ScriptFixture, ScriptErrorsAreReportedWithFileAndLine) {
    EXPECT_FALSE(host.LoadString("var a = 1;\nvar b = ;\n", "syntax.js"));
    EXPECT_EQ(host.Run(100), ScriptHost::kExitScriptError);
    EXPECT_NE(err.str().find("syntax.js:2: SyntaxError"), std::string::npos) << err.str();

    std::ostringstream err2;
    {
        ScriptHost timerError(loop, out, err2);
        EXPECT_TRUE(
            timerError.LoadString("host.setTimeout(function() {\n  missing.x = 1;\n}, 5);"));
        EXPECT_EQ(timerError.Run(100), ScriptHost::kExitScriptError);
    }
    EXPECT_EQ(err2.str(), "page.js:2: ReferenceError: identifier 'missing' undefined (in timer)\n");

    std::ostringstream err3;
    {
        ScriptHost thrown(loop, out, err3);
        EXPECT_FALSE(thrown.LoadString("throw 'plain text';", "t.js"));
        EXPECT_EQ(thrown.ExitCode(), ScriptHost::kExitScriptError);
    }
    EXPECT_EQ(err3.str(), "t.js: uncaught exception: plain text\n");

    // A missing method called on the fourth line, with no call before it to
    // date the error by.
    std::ostringstream err5;
    {
        ScriptHost missingMethod(loop, out, err5);
        EXPECT_FALSE(missingMethod.LoadString("var a = 1;\nvar o = {};\n\no.missing(a);\n"));
    }
    EXPECT_EQ(err5.str(),
              "page.js:4: TypeError: undefined not callable (property 'missing' of [object "
              "Object])\n");

    testsupport::TempDir dir;
    const std::string page = (dir / "pages/run.js").string();
    dir.Write("pages/run.js", "host.log('loaded');\nhost.quit(undefinedName);\n");
    std::ostringstream err4;
    {
        ScriptHost fromFile(loop, out, err4);
        EXPECT_FALSE(fromFile.LoadFile(page));
        EXPECT_EQ(fromFile.BaseLocation(), platform::FromUtf8((dir / "pages").string() + "/"));
        EXPECT_EQ(fromFile.Run(100), ScriptHost::kExitScriptError);
        ScriptHost missing(loop, out, err4);
        EXPECT_FALSE(missing.LoadFile((dir / "none.js").string()));
        EXPECT_EQ(missing.Run(100), ScriptHost::kExitScriptError);
    }
    EXPECT_EQ(err4.str(), page + ":2: ReferenceError: identifier 'undefinedName' undefined\n" +
                              (dir / "none.js").string() + ": cannot read the page\n");
}

TEST_F(ScriptFixture, MessageBoxesTakeQueuedAnswersOrTheirFirstButton) {
    // Stands in for the control showing a box through the host UI.
    ASSERT_TRUE(host.AddHostFunction("showBox", [this](std::span<const Variant> args,
                                                       Variant& result) {
        std::u16string caption, text;
        std::int32_t type = 0;
        args[0].ToString(caption);
        args[1].ToString(text);
        args[2].ToInt32(type);
        result = Variant(host.MessageBoxes().Show(caption, text, static_cast<std::uint32_t>(type)));
        return S_OK;
    }));
    const int code = RunPage(R"(
host.answerMessageBox(7);
host.answerMessageBox(2);
host.log(host.showBox("Panora", "Delete the view?", 4), host.showBox("Panora", "Save?", 1));
host.log(host.showBox("Panora", "Replace?", 4), host.showBox("Note", "Done", 0));
var boxes = host.messageBoxes();
host.log(boxes.length, boxes[0].caption, boxes[0].text, boxes[3].caption, boxes[1].result);
host.log("two", "words", 3, null);
host.quit(0);
)");
    EXPECT_EQ(code, 0) << err.str();
    EXPECT_EQ(out.str(),
              Lines({"7 2", "6 1", "4 Panora Delete the view? Note 2", "two words 3 null"}));
    EXPECT_EQ(err.str(), Lines({"messagebox: Panora: Delete the view?", "messagebox: Panora: Save?",
                                "messagebox: Panora: Replace?", "messagebox: Note: Done"}));
    EXPECT_EQ(host.MessageBoxes().QueuedAnswers(), 0u);
}
