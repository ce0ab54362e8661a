// The page's dialogs, help and About through the automation interface, as a
// user answers them.
#include <array>
#include <string>

#include "control/BrowserDialogs.h"
#include "support/ControlFixture.h"
#include "support/TempDir.h"

using platform::Variant;
using testsupport::U;

namespace {

// A colour dialog whose user picks custom colour 3 after setting it to the
// preset (the first control), or picks custom colour 3 as it stands.
class CustomColorUi : public ScriptedHostUi {
  public:
    bool ColorDialog(std::uint32_t& rgb, CustomColors& custom) override {
        if (store) {
            custom[3] = rgb;
        }
        rgb = custom[3];
        return true;
    }
    bool store = false;
};

}  // namespace

TEST_F(ControlFixture, ChooseHtmlColorAnswersLowerCaseOrTheArgumentUntouched) {
    MakeControl(MakeOptions());
    auto color = [this](const std::u16string& src) {
        EXPECT_EQ(Call(u"ChooseHTMLColor", {Variant(src)}), platform::S_OK);
        return r_.retval.StringValue();
    };
    // (OK and cancel as a page answers them are the browser page's test.)
    // Cancel hands back the argument exactly, colour or not; the preset reads
    // like sscanf: it stops at the first part that does not match.
    ui_.QueueColorAnswer(std::nullopt);
    EXPECT_EQ(color(u"  not a colour "), u"  not a colour ");
    ui_.QueueColorAnswer(0x0A0B0Cu);
    EXPECT_EQ(color(u"#12zz34"), u"#0a0b0c");
    EXPECT_EQ(ui_.ColorDialogs(), (std::vector<std::uint32_t>{0u, 0x120000u}));

    // The custom colours outlive the dialog and are shared between controls.
    CustomColorUi first, second;
    first.store = true;
    EXPECT_EQ(control::ChooseHtmlColor(first, u"#102030"), u"#102030");
    EXPECT_EQ(control::ChooseHtmlColor(second, u"#ffffff"), u"#102030");
}

TEST_F(ControlFixture, FileDialogsAnswerThePathOrNothing) {
    MakeControl(MakeOptions());
    auto choose = [this](bool save) {
        EXPECT_EQ(Call(u"ChooseFileName",
                       {Variant(std::u16string(u"Save markup")),
                        Variant(std::u16string(u"Markup (*.xml)|*.xml|")), Variant(save)}),
                  platform::S_OK);
        return r_.retval.StringValue();
    };
    // (Answers and filters as a page sees them are the browser page's test.)
    EXPECT_EQ(choose(true), u"");  // cancelled
    EXPECT_EQ(ui_.FileDialogs().at(0).fileName, u"markup.xml");
    const std::string existing = dir_.Write("old.xml", "<x/>").string();
    // A path longer than 254 characters does not fit the answer.
    ui_.QueueFileAnswer(u"/" + std::u16string(253, u'a'));
    EXPECT_EQ(choose(true).size(), 254u);
    ui_.QueueFileAnswer(u"/" + std::u16string(254, u'a'));
    EXPECT_EQ(choose(true), u"");

    ui_.QueueFileAnswer(U(existing));
    EXPECT_EQ(Call(u"GetFileNameFromFileDialog"), platform::S_OK);
    EXPECT_EQ(r_.retval.StringValue(), U(existing));
    EXPECT_EQ(ui_.FileDialogs().back().title, u"Choose file to link");
}

// (With an installation the help file goes to the opener: BrowserPageTest.)
TEST_F(ControlFixture, HelpWithoutAFileShowsTheErrorBox) {
    // The product's key without the InstallLocation value.
    dir_.Write("registry.ini",
               "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" +
                   platform::ToUtf8(SX_Control::kProductId) + "]\nOther=1\n");
    MakeControl(MakeOptions());
    EXPECT_EQ(Call(u"ShowHelp"), platform::S_OK);
    ASSERT_EQ(ui_.Boxes().size(), 1u);
    EXPECT_EQ(ui_.Boxes()[0].text, u"No help file availalble.");
    EXPECT_EQ(ui_.Boxes()[0].caption, u"Error");
    EXPECT_TRUE(ui_.HelpFiles().empty());
}
