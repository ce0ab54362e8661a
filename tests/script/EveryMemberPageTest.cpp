// A page that calls every member of every automation object with neutral
// arguments (0, "", false, null), once before a station is loaded and once
// after, through `panora run`. Every dialog, box and menu it causes is
// cancelled by the empty answer queues. The page's call list is made from
// the dispatch tables themselves, so a member added later is swept too.
#include <gtest/gtest.h>

#include <iostream>
#include <map>
#include <sstream>
#include <string>

#include "control/Automation.h"
#include "persist/SxView.h"
#include "persist/SxViews.h"
#include "platform/Text.h"
#include "support/RunCommand.h"
#include "support/Site.h"
#include "support/TempDir.h"
#include "view3d/EventHandlerReturn.h"
#include "view3d/SX_Hotlink.h"
#include "view3d/SX_Hotlinks.h"

namespace {

using platform::DispatchKind;
using platform::ParamDirection;
using platform::ParamType;

// Members that end or replace the station run last, in this order.
const char* const kLast[] = {"PauseDownload", "ClearCubeMap", "CubeMap", "src", "ReadyState"};

int LastRank(const std::string& name) {
    int rank = 0;
    for (const char* last : kLast) {
        ++rank;
        if (name == last) {
            return rank;
        }
    }
    return 0;
}

// The calls of one table as a JavaScript array of [name, kind, args], kind
// "g" (read), "p" (write) or "m" (call; also a read that takes arguments).
std::string Calls(const platform::DispatchTable& table) {
    std::multimap<int, std::string> ordered;
    for (const platform::DispatchMember& m : table.Members()) {
        std::string args;
        for (const platform::ParamInfo& p : m.params) {
            if (p.direction != ParamDirection::In) {
                continue;
            }
            args += args.empty() ? "" : ",";
            args += p.type == ParamType::Bool     ? "false"
                    : p.type == ParamType::String ? "\"\""
                    : p.type == ParamType::Object ? "null"
                                                  : "0";
        }
        const char* kind = m.kind == DispatchKind::PropertyPut                   ? "p"
                           : m.kind == DispatchKind::PropertyGet && args.empty() ? "g"
                                                                                 : "m";
        const std::string name = platform::ToUtf8(m.name);
        ordered.emplace(LastRank(name), "[\"" + name + "\",\"" + kind + "\",[" + args + "]]");
    }
    std::string out = "[";
    for (const auto& [rank, call] : ordered) {
        out += (out.size() > 1 ? ",\n" : "") + call;
    }
    return out + "]";
}

const char* const kPage = R"(
function show(v) {
  if (v === null) return "null";
  if (typeof v == "object") return "object";
  return String(v);
}
function sweep(phase, label, obj, calls) {
  if (!obj) { host.log(phase + " " + label + "|none"); return; }
  calls.forEach(function(c) {
    var s;
    try {
      if (c[1] == "g") s = show(obj[c[0]]);
      else if (c[1] == "p") {
        // The ready state is written back as it is: 0 would stop the page.
        obj[c[0]] = c[0] == "ReadyState" ? obj.ReadyState : c[2][0];
        s = "";
      }
      else s = show(obj[c[0]].apply(null, c[2]));
    } catch (e) {
      s = "!" + String(e.message).split(":")[1].replace(/^ /, "").split(" ")[0];
    }
    host.log(phase + " " + label + "." + c[0] + (c[1] == "p" ? "=" : "") + "|" + s);
  });
}
function attempt(f) { try { return f(); } catch (e) { return null; } }
// Each object is fetched before any is swept: a sweep clears collections.
function objects(phase) {
  var views = attempt(function() { return control.Views; });
  var view = attempt(function() { return control.ViewCapture(); });
  var hotlinks = attempt(function() { return control.GetHotLinks("c"); });
  var hotlink = attempt(function() { return control.GetNextHotlink("c", 0); });
  sweep(phase, "hotlink", hotlink, HOTLINK);
  sweep(phase, "hotlinks", hotlinks, HOTLINKS);
  sweep(phase, "view", view, VIEW);
  sweep(phase, "views", views, VIEWS);
}
var replied = false;
control.attachEvent("HotLinkClicked", function(url, label, id, category, reply) {
  replied = true;
  sweep("after", "reply", reply, REPLY);
  reply.EventProcessingComplete = true;  // the page keeps the click: no link opens
});
control.attachEvent("ControlInitialized", function() { control.src = "st1/st1.xml"; });
var swept = false;
control.attachEvent("DownloadComplete", function() {
  if (swept) return;
  swept = true;
  control.AnimateTransitions = false;
  control.SetAltitudeAzimuth(0, 0);
  control.AddHotlink3D("http://example.invalid/a", "a", "c", "a", "", 0, 10, 0);
  // The first run bound the buttonless move to looking, which would turn
  // the view away from the hotlink: the default comes back.
  control.SetMouseAction(0, 0, -1);
  control.Redraw();
  host.mouse("move", 160, 120);
  host.mouse("leftDown", 160, 120);
  host.mouse("leftUp", 160, 120);
  control.Views.Add(control.ViewCapture());
  objects("after");
  sweep("after", "control", control, CONTROL);
  host.setTimeout(function() {
    if (!replied) host.log("after reply|none");
    host.log("end|");
    host.quit(0);
  }, 200);
});
// Before the control is ready: the page's own first run.
objects("before");
sweep("before", "control", control, CONTROL);
)";

void Fill(std::string& page, const std::string& key, const platform::DispatchTable& table) {
    const std::string calls = Calls(table);
    for (std::size_t at = page.find(key); at != std::string::npos;
         at = page.find(key, at + calls.size())) {
        page.replace(at, key.size(), calls);
    }
}

}  // namespace

TEST(EveryMemberPage, EveryMemberAnswersBeforeAndAfterALoadAndThePageEndsNormally) {
    testsupport::TempDir tmp;
    testsupport::MakeSite(tmp.path(), 1, {256});

    std::string page = kPage;
    // VIEWS before VIEW: the one key is a prefix of the other.
    Fill(page, "VIEWS", SxViews::Table());
    Fill(page, "VIEW", SxView::Table());
    Fill(page, "HOTLINKS", view3d::SX_Hotlinks::Table());
    Fill(page, "HOTLINK", view3d::SX_Hotlink::Table());
    Fill(page, "REPLY", view3d::EventHandlerReturn::Table());
    Fill(page, "CONTROL", control::Automation::Table());
    const auto file = tmp.Write("page.js", page);
    const testsupport::CommandResult r =
        testsupport::RunPanoraPage(file, {"--size", "320x240", "--timeout", "60"}, tmp.path());
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;

    std::map<std::string, std::string> status;
    std::istringstream out(r.out);
    std::string line;
    while (std::getline(out, line)) {
        const std::size_t bar = line.find('|');
        if (bar != std::string::npos) {
            status[line.substr(0, bar)] = line.substr(bar + 1);
        }
    }
    ASSERT_TRUE(status.count("end")) << r.out;
    const auto at = [&](const std::string& key) {
        const auto it = status.find(key);
        return it == status.end() ? std::string("(not called)") : it->second;
    };

    // Before the load: the collection is pending, the readiness members give
    // their neutral results, and no object is handed out.
    EXPECT_EQ(at("before control.Views"), "!E_PENDING");
    EXPECT_EQ(at("before views"), "none");
    EXPECT_EQ(at("before view"), "none");
    EXPECT_EQ(at("before control.GetAzimuth"), "0");
    EXPECT_EQ(at("before control.VertexMark3D"), "-1");
    EXPECT_EQ(at("before control.ViewCapture"), "null");
    EXPECT_EQ(at("before control.GetCategoryCount"), "0");
    // After it: the objects are there and answer.
    EXPECT_EQ(at("after control.Views"), "object");
    EXPECT_EQ(at("after control.ViewCapture"), "object");
    EXPECT_EQ(at("after views.count"), "1");
    EXPECT_EQ(at("after view.GetMSXMLNode"), "!E_NOTIMPL");
    EXPECT_EQ(at("after hotlink.Link"), "http://example.invalid/a");
    EXPECT_EQ(at("after control.SetMode"), "true");
    EXPECT_EQ(at("after control.Mark3DHide"), "false");
    EXPECT_EQ(at("after control.LoadCompanyLogo"), "!E_FAIL");  // no file: no logo
    // Its dialog cancelled both times, SaveAsJpg still answers true once the
    // control is ready, and false before.
    EXPECT_EQ(at("before control.SaveAsJpg"), "false");
    EXPECT_EQ(at("after control.SaveAsJpg"), "true");
    // The click on the hotlink hands the page a reply that starts unset.
    EXPECT_EQ(at("after reply.EventProcessingComplete"), "false");

    // Every member of the control was reached in both runs, and none failed
    // with a status other than the few the interface reports: a type
    // mismatch here is a table whose parameter types are wrong.
    for (const char* phase : {"before control.", "after control."}) {
        std::size_t calls = 0;
        for (const auto& [key, value] : status) {
            calls += key.starts_with(phase) ? 1 : 0;
        }
        EXPECT_EQ(calls, control::Automation::Table().Members().size()) << phase;
    }
    for (const auto& [key, value] : status) {
        if (value.starts_with("!")) {
            EXPECT_TRUE(value == "!E_PENDING" || value == "!E_INVALIDARG" ||
                        value == "!E_POINTER" || value == "!E_NOTIMPL" || value == "!E_FAIL")
                << key << " " << value;
        }
    }
    if (HasFailure()) {
        std::cerr << r.out;
    }
}
