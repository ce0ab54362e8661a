// The drawing controller driven by overlay messages as the desktop sends
// them: adds by drag and their events, Escape during a drag, texts typed and
// left empty, selection and Delete, handles, and the input outside markup
// mode (links, double clicks).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control/SX_ControlEvents.h"
#include "host/Resources.h"
#include "host/ScriptedHostUi.h"
#include "markup2d/SX_2DDrawingWindow.h"
#include "markup2d/SX_Defaults.h"
#include "markup2d/SX_DrawingController.h"
#include "markup2d/SX_DrawingShape.h"
#include "markup2d/SX_DrawingText.h"
#include "platform/Clock.h"
#include "platform/MessageLoop.h"
#include "platform/Text.h"

using namespace platform;

namespace {

class FakeHost final : public measure::ControllerHost, public markup2d::OverlayHost {
  public:
    // measure::ControllerHost
    StraleLib::SX_OpenGLCamera* Camera() const override { return nullptr; }
    void StopViewTimer() override {}
    HostUi& Ui() const override { return ui; }
    HRESULT FireEvent(DISPID id, const std::vector<Variant>& args) override {
        const auto* info = SX_ControlEvents::Find(id);
        std::string text(info != nullptr ? info->name : "?");
        for (std::size_t i = 0; i < args.size(); ++i) {
            Variant s;
            args[i].ChangeType(VariantType::String, s);
            text += (i == 0 ? "(" : ",") + ToUtf8(s.StringValue());
        }
        events.push_back(args.empty() ? text : text + ")");
        return S_OK;
    }
    bool PickPoint(int, int, double&, double&, double&) override { return false; }
    // markup2d::OverlayHost: a slanted plane, 1 cm per pixel.
    SX_Defaults& Defaults() override { return defaults; }
    int ClientWidth() const override { return 200; }
    int ClientHeight() const override { return 150; }
    bool PickPoint(double x, double y, std::array<double, 3>& p) override {
        p = {x * 0.01, y * 0.01, 10.0 + x * 0.01};
        return true;
    }
    double MaxPointError() const override { return 0.001; }
    int InternalUnit() const override { return 0; }
    SX_Mark::Transform RegistrationTransform() const override { return {}; }
    const host::Resources& Strings() const override { return resources; }
    std::u16string ClipboardText() override { return clipboard; }
    void ShowTooltip(std::u16string_view, const TextBox&) override {}
    void HideTooltip() override {}
    void SetCursorHidden(bool) override {}
    void FireUpdateText(std::u16string_view text) override {
        events.push_back("UpdateText(" + ToUtf8(std::u16string(text)) + ")");
    }
    bool MeasureEnabled() const override { return measureEnabled; }
    int CurrentDrawingUnit() override { return 0; }
    void OpenLink(const std::u16string& href) override { events.push_back("open " + ToUtf8(href)); }
    void UnlockView() override { events.push_back("unlock"); }
    bool EditShownView() override {
        events.push_back("edit view");
        overlay->SetMarkupMode(true);
        return true;
    }
    void RepaintControl() override {}

    mutable ScriptedHostUi ui;
    SX_Defaults defaults;
    host::Resources resources;
    std::u16string clipboard;
    bool measureEnabled = true;
    std::vector<std::string> events;
    SX_2DDrawingWindow* overlay = nullptr;
};

class DrawingControllerTest : public ::testing::Test {
  protected:
    DrawingControllerTest() {
        host.overlay = &overlay;
        overlay.Move(0, 0, 200, 150);
        overlay.SetDrawings(&drawings);
        overlay.SetMarkupMode(true);
        auto owned = std::make_unique<SX_DrawingController>(host, host, overlay);
        controller = owned.get();
        overlay.SetController(std::move(owned));
        overlay.Paint();
    }

    void Send(Message m) { overlay.Send(m); }
    void Mouse(MessageId id, int x, int y, std::uint32_t keys = 0) {
        Send(Message::Mouse(id, x, y, keys));
    }
    void Click(int x, int y) {
        Mouse(kMsgMouseMove, x, y);
        Mouse(kMsgLButtonDown, x, y, kKeyLButton);
        Mouse(kMsgLButtonUp, x, y);
    }
    void Drag(int x0, int y0, int x1, int y1) {
        Mouse(kMsgMouseMove, x0, y0);
        Mouse(kMsgLButtonDown, x0, y0, kKeyLButton);
        Mouse(kMsgMouseMove, (x0 + x1) / 2, (y0 + y1) / 2, kKeyLButton);
        Mouse(kMsgMouseMove, x1, y1, kKeyLButton);
        Mouse(kMsgLButtonUp, x1, y1);
    }
    void Key(std::uint32_t key) { Send(Message::Key(kMsgKeyDown, key)); }
    void Type(std::u16string_view text) {
        for (char16_t c : text) {
            Send(Message::Key(kMsgChar, c));
        }
    }
    std::uint32_t AddRectangle() {
        auto shape =
            std::make_unique<SX_DrawingShape>(SX_DrawingShape::kRectangle, host.defaults, 0);
        const std::uint32_t id = shape->ID();
        controller->StartAdd(std::move(shape), 3);
        return id;
    }
    std::string Id(std::uint32_t id) const { return std::to_string(id); }

    FakeHost host;
    VirtualClock clock;
    MessageLoop loop{clock};
    SX_2DDrawingWindow overlay{loop};
    SX_DrawingList drawings;
    SX_DrawingController* controller = nullptr;
};

}  // namespace

TEST_F(DrawingControllerTest, EscapeDuringADragDropsTheAdd) {
    AddRectangle();
    Mouse(kMsgMouseMove, 20, 20);
    EXPECT_EQ(host.ui.CurrentCursor(), HostUi::Cursor::kCross);
    Mouse(kMsgLButtonDown, 20, 20, kKeyLButton);
    Mouse(kMsgMouseMove, 60, 50, kKeyLButton);
    Key(kVkEscape);
    EXPECT_EQ(host.events, std::vector<std::string>{"Stop2DAdd"});
    EXPECT_EQ(overlay.AddingDrawing(), nullptr);
    Mouse(kMsgLButtonUp, 60, 50);
    EXPECT_TRUE(drawings.empty());
    // (A drag that completes the add: the drawing page, and the next test.)
}

TEST_F(DrawingControllerTest, HandlesResizeTheSelectionAndDeleteRemovesIt) {
    const std::uint32_t id = AddRectangle();
    Drag(20, 30, 80, 70);
    ASSERT_EQ(drawings.size(), 1u);
    EXPECT_EQ(host.events,
              (std::vector<std::string>{"Shape2DAdded(" + Id(id) + ")",
                                        "Select2DChanged(" + Id(id) + ")", "Stop2DEdit"}));
    host.events.clear();
    // The bottom-right handle: only that corner moves.
    Drag(80, 70, 100, 90);
    SX_DrawingBase& shape = *drawings[0];
    EXPECT_DOUBLE_EQ(shape.GetPositionX(), 20.0);
    EXPECT_DOUBLE_EQ(shape.GetWidth(), 80.0);
    EXPECT_DOUBLE_EQ(shape.GetHeight(), 60.0);
    EXPECT_EQ(overlay.SelectedDrawing(), &shape) << "a dragged drawing stays selected";
    // A click on empty space lets it go.
    Click(180, 140);
    EXPECT_EQ(overlay.SelectedDrawing(), nullptr);
    EXPECT_EQ(host.events.back(), "Select2DChanged(-1)");
    // A click on its outline selects it again; Delete removes it.
    Click(20, 60);
    EXPECT_EQ(host.events.back(), "Select2DChanged(" + Id(id) + ")");
    Key(kVkDelete);
    EXPECT_EQ(host.events.back(), "Shape2DRemoved(" + Id(id) + ")");
    EXPECT_TRUE(drawings.empty());
    EXPECT_EQ(overlay.SelectedDrawing(), nullptr);
}

TEST_F(DrawingControllerTest, TextTakesPunctuationAndPasteAndAnEmptyTextAddsNothing) {
    controller->StartAdd(std::make_unique<SX_DrawingText>(host.defaults, 0), 4);
    Click(50, 40);  // places it and starts editing
    // Closed by the menu with nothing typed: the text add ends before the
    // menu opens, and its Deselect item reports nothing more.
    host.ui.QueueMenuAnswer(SX_DrawingController::kCmdDeselect);
    Mouse(kMsgRButtonUp, 50, 40);
    EXPECT_TRUE(drawings.empty());
    EXPECT_EQ(host.events, std::vector<std::string>{"Stop2DAdd"});
    EXPECT_EQ(overlay.AddingDrawing(), nullptr);

    host.events.clear();
    host.clipboard.assign(1, u'!');
    auto text = std::make_unique<SX_DrawingText>(host.defaults, 0);
    const std::uint32_t id = text->ID();
    controller->StartAdd(std::move(text), 4);
    Click(50, 40);
    Type(u"a.b, c/");
    Send(Message::Key(kMsgChar, 22));  // Ctrl+V
    Send(Message::Key(kMsgChar, 9));   // a tab is not typed
    Key(kVkBack);
    Click(150, 120);
    ASSERT_EQ(drawings.size(), 1u);
    EXPECT_EQ(static_cast<SX_DrawingText&>(*drawings[0]).Text(), u"a.b, c/");
    EXPECT_EQ(host.events[6], "UpdateText(a.b, c/)");
    EXPECT_EQ(host.events[7], "UpdateText(a.b, c/!)");
    EXPECT_EQ(host.events[8], "UpdateText(a.b, c/)");
    EXPECT_EQ(host.events.back(), "Stop2DEdit");
    EXPECT_EQ(host.events[9], "Shape2DAdded(" + Id(id) + ")");

    // "Edit Markup" takes it out of the list for editing; leaving the view
    // meanwhile puts it back.
    host.ui.QueueMenuAnswer(SX_DrawingController::kCmdEditMarkup);
    Mouse(kMsgRButtonUp, 52, 42);
    EXPECT_TRUE(drawings.empty());
    Type(u"!");
    overlay.ReleaseDrawings();
    ASSERT_EQ(drawings.size(), 1u);
    EXPECT_EQ(static_cast<SX_DrawingText&>(*drawings[0]).Text(), u"a.b, c/!");
    EXPECT_EQ(overlay.AddingDrawing(), nullptr);
}

TEST_F(DrawingControllerTest, OutsideMarkupLinksOpenAndDoubleClicksEditOrReport) {
    auto shape = std::make_unique<SX_DrawingShape>(SX_DrawingShape::kRectangle, host.defaults, 0);
    shape->SetPoints(20, 20, 60, 60);
    shape->SetHref(u"https://example.org/a");
    shape->Place();
    const std::uint32_t id = shape->ID();
    drawings.push_back(std::move(shape));
    overlay.SetMarkupMode(false);
    overlay.Paint();

    Mouse(kMsgMouseMove, 20, 40);
    EXPECT_EQ(host.ui.CurrentCursor(), HostUi::Cursor::kHand);
    Mouse(kMsgLButtonDown, 20, 40, kKeyLButton);
    Mouse(kMsgLButtonUp, 22, 40);  // 2 pixels: no longer a click
    EXPECT_TRUE(host.events.empty());
    Click(20, 40);
    EXPECT_EQ(host.events, std::vector<std::string>{"open https://example.org/a"});

    host.events.clear();
    Mouse(kMsgLButtonDblClk, 150, 100, kKeyLButton);
    EXPECT_EQ(host.events, std::vector<std::string>{"MouseEvent(9,150,100)"});

    // The view menu over empty space: "Markup" (201) asks the page for
    // markup mode.
    host.events.clear();
    host.ui.QueueMenuAnswer(SX_DrawingController::kCmdMarkup);
    Mouse(kMsgRButtonDown, 150, 100, kKeyRButton);
    Mouse(kMsgRButtonUp, 150, 100);
    ASSERT_FALSE(host.ui.Menus().empty());
    EXPECT_EQ(host.ui.Menus().back().items.at(0).command, 201);
    EXPECT_EQ(host.events, std::vector<std::string>{"MenuEvent(1)"});

    host.events.clear();
    Mouse(kMsgLButtonDblClk, 20, 40, kKeyLButton);
    Mouse(kMsgLButtonUp, 20, 40);  // swallowed
    EXPECT_EQ(host.events,
              (std::vector<std::string>{"edit view", "Select2DChanged(" + Id(id) + ")"}));
    EXPECT_TRUE(overlay.MarkupMode());
    EXPECT_EQ(overlay.SelectedDrawing(), drawings[0].get());
}
