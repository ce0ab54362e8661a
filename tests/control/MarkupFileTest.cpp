// The markup file through the control: the auto-saved file and the local
// read, loads that add, failed loads that change nothing, neighbour ranges,
// ClearViews, and writers in other processes that are killed or race.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>

#include "persist/MarkupFile.h"
#include "persist/SxViews.h"
#include "support/ControlFixture.h"
#include "view3d/NeighborView.h"
#include "view3d/SX_Hotlinks.h"

using platform::FromUtf8;
using platform::ToUtf8;
using platform::Variant;

namespace {

constexpr char kHead[] = "<?xml version=\"1.0\"?><sx:Markup xmlns:sx=\"urn:panora:sx\">";

std::string TwoViews() {
    return std::string(kHead) +
           "<sx:GUID>x</sx:GUID><sx:Views><sx:View Name=\"A\" GUID=\"{A}\"/>"
           "<sx:View Name=\"B\" GUID=\"{B}\"/></sx:Views></sx:Markup>";
}

}  // namespace

class MarkupFileTest : public ControlFixture {
  protected:
    std::u16string Write(const std::string& name, const std::string& xml) {
        std::ofstream(dir_ / name) << xml;
        return FromUtf8((dir_ / name).string());
    }
    bool Load(const std::u16string& file, bool force) {
        EXPECT_EQ(Call(u"LoadMarks", {Variant(file), Variant(force)}), platform::S_OK);
        return r_.retval.BoolValue();
    }
    std::vector<std::string> Guids() {
        std::vector<std::string> out;
        for (const auto& v : control_->Views()->Views()) {
            out.push_back(ToUtf8(v->Guid()));
        }
        return out;
    }
};

TEST_F(MarkupFileTest, AutoSaveIsReadBackInsteadOfTheNamedFile) {
    LoadedControl(Station(sitegen::DescriptionFormat::Metadata).description, 64, 48);
    const std::u16string id = control_->DataSet().UniqueId();
    ASSERT_EQ(id.size(), 38u);  // a braced GUID
    Call(u"SaveMarkup");
    const std::u16string local = persist::AutoSavePath(id);
    EXPECT_EQ(local, FromUtf8((dir_ / "data/Panora/").string()) + id + u".xml");
    platform::XmlDocument doc;
    ASSERT_TRUE(doc.Load(local));
    // An empty markup still has its identifier, views and hotlinks; the
    // version check ran, so the marker leads.
    const auto parts = doc.DocumentElement().Children();
    ASSERT_EQ(parts.size(), 4u);
    EXPECT_EQ(parts[0].Name(), u"sx:VersionCheck");
    EXPECT_EQ(*parts[0].Attribute(u"Check"), u"No");
    EXPECT_EQ(parts[1].Text(), id);
    EXPECT_EQ(parts[2].Name() + u"/" + parts[3].Name(), u"sx:Views/sx:Hotlinks");
    EXPECT_TRUE(parts[2].ChildNodes().empty() && parts[3].Children().empty());

    // Not forced: whatever the name, the local file is read after a 500 ms wait.
    events_.clear();
    const std::int64_t before = clock_.NowMs();
    EXPECT_TRUE(Load(u"no-such-file.xml", false));
    EXPECT_EQ(clock_.NowMs() - before, 500);
    EXPECT_EQ(Call(u"MarksLocal", {}, platform::DispatchKind::PropertyGet), platform::S_OK);
    EXPECT_TRUE(r_.retval.BoolValue());
    EXPECT_EQ(Count("MarkupsLoaded"), 1);
    EXPECT_FALSE(control_->ErrorList().HasError());

    // Every class of file.
    const auto check = [&](const std::u16string& file) {
        Call(u"CheckMarkupFile", {Variant(file)});
        return r_.retval.Int32Value();
    };
    EXPECT_EQ(check(u"/no/such/file.xml"), -3);
    EXPECT_EQ(check(Write("other.xml", "<Other/>")), -2);
    EXPECT_EQ(check(Write("bare.xml", std::string(kHead) + "</sx:Markup>")), 0);
    EXPECT_EQ(check(local), 1);
    EXPECT_EQ(check(Write("theirs.xml", TwoViews())), -1);
}

TEST_F(MarkupFileTest, LoadsAddAndFailedLoadsChangeNothing) {
    LoadedControl(Station(sitegen::DescriptionFormat::Metadata).description, 64, 48);
    const std::u16string two = Write("two.xml", TwoViews());
    ui_.ClearBoxes();
    EXPECT_TRUE(Load(two, true));
    EXPECT_TRUE(Load(two, true));
    EXPECT_EQ(Guids(), (std::vector<std::string>{"{A}", "{B}", "{A}", "{B}"}));
    const auto& views = control_->Views()->Views();
    EXPECT_EQ(views[3]->Id(), views[0]->Id() + 3);  // new IDs, GUIDs repeated
    EXPECT_FALSE(control_->MarksLocal());
    // No views and no hotlinks: the missing views count as read.
    EXPECT_TRUE(Load(Write("bare.xml", std::string(kHead) + "</sx:Markup>"), true));
    EXPECT_TRUE(ui_.Boxes().empty());

    // A damaged file and a missing one: a message each; the box only when
    // the server's version was forced (unforced, the missing local file).
    events_.clear();
    const std::u16string damaged = Write("damaged.xml", std::string(kHead) + "<sx:Views>");
    EXPECT_FALSE(Load(damaged, true));
    EXPECT_FALSE(Load(damaged, false));
    const auto messages = control_->ErrorList().Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(ToUtf8(messages[0]).rfind("XML Error: C0DE001A - Line[1] Pos[", 0), 0u)
        << ToUtf8(messages[0]);
    EXPECT_EQ(messages[1],
              u"Fail to load " + persist::AutoSavePath(control_->DataSet().UniqueId()) + u".");
    ASSERT_EQ(ui_.Boxes().size(), 1u);
    EXPECT_EQ(ui_.Boxes()[0].text, u"Failed to load Markup File " + damaged);
    EXPECT_EQ(ui_.Boxes()[0].caption, u"Information");
    EXPECT_EQ(Count("MarkupsLoaded"), 2);
    EXPECT_EQ(control_->Views()->Count(), 4);

    // ClearViews: an unknown type asks nothing; No keeps, Yes clears.
    ui_.ClearBoxes();
    Call(u"ClearViews", {Variant(std::int32_t{3})});
    EXPECT_FALSE(r_.retval.BoolValue());
    EXPECT_TRUE(ui_.Boxes().empty());
    ui_.QueueAnswer(HostUi::kIdNo);
    ui_.QueueAnswer(HostUi::kIdYes);
    Call(u"ClearViews", {Variant(std::int32_t{2})});
    EXPECT_FALSE(r_.retval.BoolValue());
    EXPECT_EQ(control_->Views()->Count(), 4);
    Call(u"ClearViews", {Variant(std::int32_t{0})});
    EXPECT_TRUE(r_.retval.BoolValue());
    EXPECT_EQ(control_->Views()->Count(), 0);
    ASSERT_EQ(ui_.Boxes().size(), 2u);
    EXPECT_EQ(ui_.Boxes()[0].text.substr(0, 26), u"Last auto-saved markups wi");
    EXPECT_EQ(ui_.Boxes()[1].caption, u"Warning");
    EXPECT_EQ(ui_.Boxes()[1].type & HostUi::kButtonMask, unsigned{HostUi::kYesNo});
}

TEST_F(MarkupFileTest, NeighbourRangesReadOnlyAnExactTrueAndKeepWhatIsMissing) {
    sitegen::SiteOptions o;
    o.outputDir = (dir_ / "site").string();
    o.stations = 3;
    o.sizes = {32};
    std::string error;
    ASSERT_TRUE(sitegen::GenerateSite(o, &plan_, &error)) << error;
    LoadedControl(plan_.stations.at(0).description, 64, 48);
    ASSERT_TRUE(control_->Neighbors().HasNeighbors());
    events_.clear();
    EXPECT_TRUE(Load(Write("ranges.xml", std::string(kHead) +
                                             "<sx:Neighbors>"
                                             "<sx:DistRange Use=\"true\" From=\"2\" To=\"9.5\"/>"
                                             "<sx:Azimuth Use=\"True\" To=\"-40\"/>"
                                             "</sx:Neighbors></sx:Markup>"),
                     true));
    const auto range = [&](int type) {
        const auto r = control_->Neighbors().GetRange(type);
        return std::to_string(r.used) + " " + std::to_string(r.from) + " " + std::to_string(r.to);
    };
    EXPECT_EQ(range(0), "0 2.000000 9.500000");
    EXPECT_EQ(range(1), "0 2.000000 9.500000");  // missing: the previous element's
    EXPECT_EQ(range(2), "1 2.000000 -40.000000");
    EXPECT_EQ(Count("UpdateNeighborRanges"), 1);

    ui_.ClearBoxes();
    const std::u16string saved = FromUtf8((dir_ / "saved.xml").string());
    Call(u"SaveMarks", {Variant(saved)});
    EXPECT_TRUE(r_.retval.BoolValue());
    ASSERT_EQ(ui_.Boxes().size(), 1u);
    EXPECT_EQ(ui_.Boxes()[0].text, u"Markup File " + saved + u" was saved successfully");
    platform::XmlDocument doc;
    ASSERT_TRUE(doc.Load(saved));
    const auto ranges = doc.SelectNodes(u"sx:Markup/sx:Neighbors/*");
    ASSERT_EQ(ranges.size(), 3u);
    EXPECT_EQ(ranges[1].Name(), u"sx:Altitude");
    EXPECT_EQ(*ranges[2].Attribute(u"Use") + u" " + *ranges[2].Attribute(u"To"), u"True -40.000");
}

// Writers of one file in two processes, under the file's named lock, and
// writers killed at any moment: every read finds a whole markup.
TEST_F(MarkupFileTest, RacingAndKilledWritersLeaveAWholeFile) {
    const std::u16string path = FromUtf8((dir_ / "shared.xml").string());
    std::vector<pid_t> children;
    for (int p = 0; p < 2; ++p) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            platform::VirtualClock clock;
            platform::MessageLoop loop(clock);
            ScriptedHostUi ui;
            SX_Control c(loop, ui, nullptr, MakeOptions());
            bool ok = true;
            for (int i = 0; i < 100; ++i) {
                ok = c.SaveMarks(path) && ok;
            }
            std::_Exit(ok ? 0 : 1);
        }
        children.push_back(pid);
    }
    int running = 2;
    while (running > 0) {
        for (pid_t& pid : children) {
            int status = 0;
            if (pid > 0 && waitpid(pid, &status, WNOHANG) == pid) {
                EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
                pid = 0;
                --running;
            }
        }
        if (std::filesystem::exists(ToUtf8(path))) {
            EXPECT_EQ(persist::CheckMarkupFile(path, u""), 1);
        }
    }

    // A big document (many hotlinks), rewritten until the writer is killed.
    auto hotlinks = platform::MakeRef<view3d::SX_Hotlinks>();
    for (int i = 0; i < 3000; ++i) {
        auto h = platform::MakeRef<view3d::SX_Hotlink>();
        h->uniqueId = u"hotlink " + FromUtf8(std::to_string(i));
        h->category = u"Misc";
        hotlinks->Add(h);
    }
    persist::MarkupParts parts;
    parts.hotlinks = hotlinks.Get();
    parts.dataSetId = u"first";
    ASSERT_EQ(persist::SaveMarkupFile(parts, path), persist::MarkupSave::kSaved);
    for (int round = 0; round < 5; ++round) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            for (;;) {
                parts.dataSetId = u"round";
                persist::SaveMarkupFile(parts, path);
            }
        }
        usleep(static_cast<useconds_t>(3000 + 1700 * round));
        kill(pid, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        platform::XmlDocument doc;
        ASSERT_TRUE(doc.Load(path)) << "round " << round;
        EXPECT_EQ(doc.SelectNodes(u"sx:Markup/sx:Hotlinks/sx:SX_Hotlink").size(), 3000u);
    }
}
