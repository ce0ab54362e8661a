// The Preferences dialog drives a real control's drawing defaults through its
// automation members.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSpinBox>

#include "support/ControlFixture.h"
#include "viewer/PreferencesDialog.h"
#include "viewer/QtTestApp.h"

using platform::Variant;

class PreferencesDialogTest : public ControlFixture {};

TEST_F(PreferencesDialogTest, ShowsTheDefaultsAndSendsOnlyWhatChanged) {
    viewertest::OffscreenApp();
    MakeControl(MakeOptions());
    viewer::PreferencesDialog dialog(
        [this](std::u16string_view name, std::vector<Variant> args) -> std::optional<Variant> {
            if (platform::FAILED(Call(name, std::move(args), platform::DispatchKind::Method))) {
                return std::nullopt;
            }
            return r_.retval;
        });
    EXPECT_EQ(dialog.PenColor()->text(), QStringLiteral("#ff00ff"));
    EXPECT_EQ(dialog.Transparency()->value(), 87);
    EXPECT_EQ(dialog.FontSize()->value(), 12.0);

    // Unchanged, the fill keeps its alpha of 32 (87 % sent back would give 33).
    dialog.Apply();
    const SX_Defaults& d = control_->Defaults();
    EXPECT_EQ(d.brushColor, SX_Defaults::Argb(32, 240, 240, 255));
    EXPECT_EQ(d.penColor, SX_Defaults::Argb(240, 255, 0, 255));

    dialog.PenColor()->setText(QStringLiteral("#00FF80"));
    dialog.FillColor()->setText(QStringLiteral("#12"));  // incomplete: ignored
    dialog.Transparency()->setValue(50);
    dialog.LineWidth()->setValue(3.5);
    dialog.Unit()->setCurrentIndex(dialog.Unit()->findData(10));
    dialog.Apply();
    EXPECT_EQ(d.penColor, SX_Defaults::Argb(255, 0, 255, 128));
    EXPECT_EQ(d.brushColor, SX_Defaults::Argb(127, 240, 240, 255));
    EXPECT_EQ(d.penWidth, 3.5f);
    EXPECT_EQ(control_->DefaultUnit(), 10);
}
