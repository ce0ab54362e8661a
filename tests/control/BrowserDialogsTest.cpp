// The page's file dialogs and help through the automation interface, as a
// user answers them. (The colour dialog and About: the browser page.)
#include <string>

#include "support/ControlFixture.h"
#include "support/TempDir.h"

using platform::Variant;
using testsupport::U;

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
