// The drawing defaults: built-in values seen through the automation members,
// the per-user file read at construction and written at tear-down, and
// several processes writing it under the named lock. (A writer killed
// mid-write is the markup file test's: both files are saved the same way.)
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "control/Automation.h"
#include "control/SX_Control.h"
#include "control/SX_SystemEvaluator.h"
#include "host/Resources.h"
#include "host/ScriptedHostUi.h"
#include "markup2d/SX_Defaults.h"
#include "persist/DefaultsFile.h"
#include "platform/Clock.h"
#include "platform/ComVariant.h"
#include "platform/MessageLoop.h"
#include "platform/Text.h"
#include "support/ControlFixture.h"

using platform::FromUtf8;
using platform::Variant;

namespace {

class DefaultsTest : public ControlFixture {
  protected:
    std::filesystem::path File() const { return dir_ / "data/Panora/Defaults.xml"; }
    void WriteFile(const std::string& xml) {
        std::filesystem::create_directories(File().parent_path());
        std::ofstream(File()) << xml;
    }
};

constexpr const char* kTextAndBase =
    "<sx:DrawingBase><sx:penColor>1 2 3 300</sx:penColor><sx:penWidth>4.5</sx:penWidth>"
    "</sx:DrawingBase>"
    "<sx:DrawingText><sx:fontSize>20.000000</sx:fontSize><sx:FrmtDec>5</sx:FrmtDec>"
    "<sx:unit>2</sx:unit></sx:DrawingText>";

std::string Document(const std::string& body) {
    return "<?xml version=\"1.0\"?><sx:Defaults xmlns:sx=\"urn:panora:sx\">" + body +
           "</sx:Defaults>";
}

}  // namespace

TEST_F(DefaultsTest, MembersChangeOnlyWhatTheySayAndTheFileCarriesThemToTheNextControl) {
    MakeControl(MakeOptions());
    EXPECT_FALSE(control_->Defaults().Loaded());
    SX_Defaults& d = control_->Defaults();
    Call(u"ShapeSetDefaultColor", {Variant(platform::Bstr(u"#0a0B0c"))});
    EXPECT_EQ(d.penColor, SX_Defaults::Argb(255, 10, 11, 12));  // opaque now
    Call(u"ShapeSetDefaultColor", {Variant(platform::Bstr(u"red"))});
    EXPECT_EQ(d.penColor, SX_Defaults::Argb(255, 10, 11, 12));
    for (auto [percent, alpha] : {std::pair{50, 127u}, {0, 255u}, {100, 0u}}) {
        Call(u"ShapeSetDefaultAlpha", {Variant(percent)});
        EXPECT_EQ(d.brushColor >> 24, alpha) << percent;
        EXPECT_EQ(d.brushColor & 0xFFFFFFu, 0xF0F0FFu);
    }
    Call(u"ShapeSetDefaultFontSize", {Variant(0.0)});
    Call(u"ShapeSetDefaultFontSize", {Variant(-4.0)});
    Call(u"ShapeGetDefaultFontSize", {Variant(13)});
    EXPECT_EQ(r_.retval.DoubleValue(), 12.0);
    Call(u"ShapeSetDefaultFontSize", {Variant(17.5)});
    Call(u"ShapeGetDefaultFontSize", {Variant(3)});
    EXPECT_EQ(r_.retval.DoubleValue(), -1.0);
    Call(u"ShapeSetDefaultLineWidth", {Variant(-1.0)});
    Call(u"ShapeGetDefaultLineWidth");
    EXPECT_EQ(r_.retval.DoubleValue(), -1.0);
    Call(u"ShapeSetDefaultUnit", {Variant(2)});
    Call(u"ShapeSetCurrentUnit", {Variant(-1)});
    EXPECT_EQ(control_->CurrentDrawingUnit(), 2);

    // The control's end writes the file the next control starts from.
    control_->Destroy();
    control_.reset();
    MakeControl(MakeOptions());
    EXPECT_EQ(control_->Defaults().penColor, SX_Defaults::Argb(255, 10, 11, 12));
    EXPECT_EQ(control_->DefaultUnit(), 2);
}

TEST_F(DefaultsTest, FileValuesApplyWhereTheyAreAndEachGapIsLogged) {
    host::Resources resources;
    {
        SX_Defaults d;
        EXPECT_FALSE(d.Load(FromUtf8(File().string()), resources));
        ASSERT_EQ(d.Messages().size(), 1u);
        EXPECT_EQ(d.Messages()[0].rfind(u"XML Error: ", 0), 0u);
        EXPECT_EQ(d.penColor, SX_Defaults::Argb(240, 255, 0, 255));
    }
    WriteFile(Document(kTextAndBase));
    SX_Defaults d;
    EXPECT_TRUE(d.Load(FromUtf8(File().string()), resources));
    EXPECT_EQ(d.penColor, SX_Defaults::Argb(44, 1, 2, 3));  // 300 keeps its low byte
    EXPECT_EQ(d.penWidth, 4.5f);
    EXPECT_EQ(d.fontSize, 20.0);
    EXPECT_EQ(d.text.frmtDec, 5);
    EXPECT_EQ(d.text.unit, 2);
    EXPECT_EQ(d.measures.frmtDec, 3);  // no measures section: built-in
    EXPECT_EQ(d.measures.unit, 0);
    const std::vector<std::u16string> m = d.Messages();
    ASSERT_FALSE(m.empty());
    EXPECT_EQ(m.front(), u"Missing <sx:brushColor> from <sx:DrawingBase> section.");
    EXPECT_EQ(m.back(), u"Missing <sx:Measures> section.");
    EXPECT_EQ(std::count(m.begin(), m.end(), u"Missing <sx:Measures> section."), 1);

    // What is saved reads back the same, the colour as red green blue alpha.
    ASSERT_TRUE(persist::SaveDefaults(d, FromUtf8(File().string())));
    SX_Defaults again;
    ASSERT_TRUE(again.Load(FromUtf8(File().string()), resources));
    EXPECT_FALSE(again.HasError()) << platform::ToUtf8(again.GetMessages());
    EXPECT_EQ(again.penColor, d.penColor);
    EXPECT_EQ(again.penWidth, d.penWidth);
    EXPECT_EQ(again.text.unit, 2);
    std::ifstream in(File());
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("<sx:penColor>1 2 3 44</sx:penColor>"), std::string::npos);
    EXPECT_NE(text.find("<sx:penWidth>4.500000</sx:penWidth>"), std::string::npos);
}

// Two processes, each building controls that change the defaults and go
// away under the named lock: the file always parses and holds one of the
// states written.
TEST_F(DefaultsTest, WritersInTwoProcessesLeaveAWholeFile) {
    constexpr int kRounds = 50;
    std::vector<pid_t> children;
    for (int p = 1; p <= 2; ++p) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            for (int i = 0; i < kRounds; ++i) {
                platform::VirtualClock clock;
                platform::MessageLoop loop(clock);
                ScriptedHostUi ui;
                auto c = std::make_unique<SX_Control>(loop, ui, nullptr, MakeOptions());
                c->Defaults().penWidth = static_cast<float>(p * 100 + i);
                c->Defaults().fontSize = p * 100 + i;
                c->Destroy();
                c.reset();
            }
            std::_Exit(testing::Test::HasFailure() ? 1 : 0);
        }
        children.push_back(pid);
    }
    // Read all along: once the file is there, every read finds it whole.
    host::Resources resources;
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
        if (std::filesystem::exists(File())) {
            SX_Defaults d;
            EXPECT_TRUE(d.Load(FromUtf8(File().string()), resources));
            EXPECT_FALSE(d.HasError()) << platform::ToUtf8(d.GetMessages());
            EXPECT_EQ(static_cast<double>(d.penWidth), d.fontSize);
        }
    }
    // A control built afterwards starts from what the last writer left.
    MakeControl(MakeOptions());
    const SX_Defaults& last = control_->Defaults();
    EXPECT_TRUE(last.Loaded());
    EXPECT_TRUE(last.fontSize == 149 || last.fontSize == 249) << last.fontSize;
    for (const auto& entry : std::filesystem::directory_iterator(File().parent_path())) {
        EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
    }
}
