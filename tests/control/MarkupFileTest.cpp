// The markup file through the control: the auto-saved file read in place of
// the named one, loads that add, failed loads that change nothing, neighbour
// ranges, ClearViews, and a writer in another process that is killed.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>

#include "persist/MarkupFile.h"
#include "persist/SxViews.h"
#include "support/ControlFixture.h"
#include "view3d/SX_Hotlinks.h"

using platform::FromUtf8;
using platform::ToUtf8;

class MarkupFileTest : public ControlFixture {
  protected:
    std::u16string Write(const std::string& name, const std::string& body) {
        std::ofstream(dir_ / name) << "<sx:Markup xmlns:sx=\"urn:panora:sx\">" << body;
        return FromUtf8((dir_ / name).string());
    }
    bool Load(const std::u16string& file, bool force) { return control_->LoadMarks(file, force); }
    std::string Boxes() {
        std::string out;
        for (const auto& box : ui_.Boxes()) {
            out += ToUtf8(box.caption + u": " + box.text) + "\n";
        }
        ui_.ClearBoxes();
        return out;
    }
};

TEST_F(MarkupFileTest, LocalFileLoadsThatAddAndFailedLoads) {
    // Without a Version.ini the data-version check warns of a data issue.
    const auto st = Station(sitegen::DescriptionFormat::Metadata, false);
    LoadedControl(st.description, 64, 48);
    const std::u16string id = control_->DataSet().UniqueId();  // a braced GUID
    control_->SaveMarkup();
    EXPECT_EQ(ui_.Boxes().size(), 1u);
    ui_.ClearBoxes();
    // The marker travels in the auto-save: a new control does not ask again.
    control_->Destroy();
    LoadedControl(st.description, 64, 48);
    EXPECT_TRUE(ui_.Boxes().empty());
    // Unforced, the local file is read whatever the name, after 500 ms.
    const std::int64_t before = clock_.NowMs();
    EXPECT_TRUE(Load(u"elsewhere.xml", false));
    EXPECT_EQ(clock_.NowMs() - before, 500);
    EXPECT_TRUE(control_->MarksLocal());
    EXPECT_EQ(control_->CheckMarkupFile(persist::AutoSavePath(id)), 1);

    // Twice the same views: new IDs, the same GUIDs. No views or hotlinks
    // at all still loads.
    const std::u16string two =
        Write("two.xml",
              "<sx:Views><sx:View GUID=\"{A}\"/><sx:View GUID=\"{B}\"/></sx:Views></sx:Markup>");
    EXPECT_TRUE(Load(two, true) && Load(two, true));
    EXPECT_FALSE(control_->MarksLocal());
    std::u16string guids;
    for (const auto& v : control_->Views()->Views()) {
        guids +=
            v->Guid() + FromUtf8(std::to_string(v->Id() - control_->Views()->Views()[0]->Id()));
    }
    EXPECT_EQ(guids, u"{A}0{B}1{A}2{B}3");
    EXPECT_TRUE(Load(Write("bare.xml", "</sx:Markup>"), true));
    EXPECT_EQ(control_->CheckMarkupFile(two), 0);  // no sx:GUID
    EXPECT_EQ(control_->CheckMarkupFile(Write("theirs.xml", "<sx:GUID>{X}</sx:GUID></sx:Markup>")),
              -1);
    EXPECT_EQ(control_->CheckMarkupFile(u"/no/such.xml"), -3);
    EXPECT_EQ(control_->CheckMarkupFile(dir_.Write("root.xml", "<Other/>").u16string()), -2);

    // Damaged, then missing (unforced: the local file, now gone): a message
    // each, the box only when forced, the views as they were.
    std::filesystem::remove(ToUtf8(persist::AutoSavePath(id)));
    events_.clear();
    ui_.ClearBoxes();
    const std::u16string damaged = Write("damaged.xml", "<sx:Views>");
    EXPECT_FALSE(Load(damaged, true) || Load(damaged, false));
    const auto messages = control_->ErrorList().Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(ToUtf8(messages[0]).rfind("XML Error: C0DE001A - Line[1] Pos[", 0), 0u);
    EXPECT_EQ(messages[1], u"Fail to load " + persist::AutoSavePath(id) + u".");
    EXPECT_EQ(Boxes(), "Information: Failed to load Markup File " + ToUtf8(damaged) + "\n");
    EXPECT_EQ(Count("MarkupsLoaded"), 2);
    EXPECT_EQ(control_->Views()->Count(), 4);

    // ClearViews: type 3 asks nothing; No keeps the views, Yes removes them.
    EXPECT_FALSE(control_->ClearViews(3));
    ui_.QueueAnswer(HostUi::kIdNo);
    EXPECT_FALSE(control_->ClearViews(2));
    EXPECT_EQ(control_->Views()->Count(), 4);
    ui_.QueueAnswer(HostUi::kIdYes);
    EXPECT_TRUE(control_->ClearViews(0));
    EXPECT_EQ(control_->Views()->Count(), 0);
    EXPECT_EQ(Boxes().substr(0, 42), "Warning: Last auto-saved markups will over");
}

TEST_F(MarkupFileTest, NeighbourRangesTakeOnlyAnExactTrueAndKeepWhatIsMissing) {
    plan_ = testsupport::MakeSite(dir_ / "site", 3, {32});
    LoadedControl(plan_.stations.at(0).description, 64, 48);
    events_.clear();
    EXPECT_TRUE(Load(Write("ranges.xml",
                           "<sx:Neighbors><sx:DistRange Use=\"true\" From=\"2\" "
                           "To=\"9.5\"/><sx:Azimuth Use=\"True\" To=\"-40\"/>"
                           "</sx:Neighbors></sx:Markup>"),
                     true));
    EXPECT_EQ(Count("UpdateNeighborRanges"), 1);
    const std::u16string saved = FromUtf8((dir_ / "saved.xml").string());
    ui_.ClearBoxes();
    EXPECT_TRUE(control_->SaveMarks(saved));
    EXPECT_EQ(Boxes(), "Information: Markup File " + ToUtf8(saved) + " was saved successfully\n");
    platform::XmlDocument doc;
    ASSERT_TRUE(doc.Load(saved));
    std::u16string ranges;
    for (const auto& r : doc.SelectNodes(u"sx:Markup/sx:Neighbors/*")) {
        ranges += r.Name() + u" " + *r.Attribute(u"Use") + u" " + *r.Attribute(u"From") + u" " +
                  *r.Attribute(u"To") + u"\n";
    }
    EXPECT_EQ(ranges,
              u"sx:DistRange False 2.000 9.500\nsx:Altitude False 2.000 9.500\n"
              u"sx:Azimuth True 2.000 -40.000\n");
}

// (Writers racing each other are the defaults test's: both files are saved
// the same way.)
TEST_F(MarkupFileTest, AKilledWriterLeavesAWholeFile) {
    const std::u16string path = FromUtf8((dir_ / "shared.xml").string());
    // A big document rewritten until its writer is killed.
    auto hotlinks = platform::MakeRef<view3d::SX_Hotlinks>();
    for (int i = 0; i < 3000; ++i) {
        hotlinks->Add(platform::MakeRef<view3d::SX_Hotlink>());
    }
    persist::MarkupParts parts;
    parts.hotlinks = hotlinks.Get();
    ASSERT_EQ(persist::SaveMarkupFile(parts, path), persist::MarkupSave::kSaved);
    for (int round = 0; round < 5; ++round) {
        const pid_t pid = fork();
        while (pid == 0) {
            persist::SaveMarkupFile(parts, path);
        }
        ASSERT_GT(pid, 0);
        usleep(static_cast<useconds_t>(3000 + 1700 * round));
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        platform::XmlDocument doc;
        ASSERT_TRUE(doc.Load(path)) << "round " << round;
        EXPECT_EQ(doc.SelectNodes(u"sx:Markup/sx:Hotlinks/sx:SX_Hotlink").size(), 3000u);
    }
}
