#include "markup2d/SX_DrawingController.h"

#include <algorithm>
#include <cstdlib>

#include "host/Resources.h"
#include "host/SX_EventIds.h"
#include "markup2d/SX_2DDrawingWindow.h"
#include "markup2d/SX_DrawingText.h"

namespace {

constexpr std::uint32_t kLastKey = 47;
constexpr std::uint32_t kKeyDelete = 46;
constexpr std::uint32_t kKeyEscape = 27;
constexpr std::uint32_t kCharPaste = 22;
constexpr std::uint32_t kFirstChar = 32;

// String-table entries of the menus.
constexpr int kStrDeselect = 124;
constexpr int kStrRectangle = 125;
constexpr int kStrCircle = 126;
constexpr int kStrLine = 127;
constexpr int kStrText = 128;
constexpr int kStrDistance = 129;
constexpr int kStrPosition = 130;
constexpr int kStrUnlock = 131;
constexpr int kStrViewHyperlink = 132;
constexpr int kStrPanZoom = 133;
constexpr int kStrPrint = 134;
constexpr int kStrGoToLink = 135;
constexpr int kStrMarkup = 136;
constexpr int kStrEditMarkup = 137;
constexpr int kStrDeleteMarkup = 138;

// The first item of the adding menu by add mode 1..6.
int DeselectString(int addMode) {
    switch (addMode) {
        case 1:
            return 141;
        case 2:
            return 142;
        case 3:
            return 143;
        case 4:
            return 144;
        case 5:
            return 222;
        case 6:
            return 223;
        default:
            return kStrDeselect;
    }
}

// MenuEvent modes of the commands the page carries out; -1 for the others.
int MenuEventMode(int command) {
    switch (command) {
        case SX_DrawingController::kCmdRectangle:
            return 12;
        case SX_DrawingController::kCmdCircle:
            return 11;
        case SX_DrawingController::kCmdLine:
            return 10;
        case SX_DrawingController::kCmdText:
            return 13;
        case SX_DrawingController::kCmdDistance:
            return 15;
        case SX_DrawingController::kCmdPosition:
            return 14;
        case SX_DrawingController::kCmdViewHyperlink:
            return 0;
        case SX_DrawingController::kCmdMarkup:
            return 1;
        case SX_DrawingController::kCmdPanZoom:
            return 2;
        case SX_DrawingController::kCmdPrint:
            return 20;
        default:
            return -1;
    }
}

bool IsEmptyText(const SX_DrawingBase& drawing) {
    const auto* text = dynamic_cast<const SX_DrawingText*>(&drawing);
    return text != nullptr && text->Text().empty();
}

}  // namespace

SX_DrawingController::SX_DrawingController(measure::ControllerHost& host,
                                           markup2d::OverlayHost& overlayHost,
                                           SX_2DDrawingWindow& overlay)
    : SX_EventController(host), overlayHost_(overlayHost), overlay_(overlay) {}

SX_DrawingController::~SX_DrawingController() = default;

bool SX_DrawingController::Markup() const {
    return overlay_.MarkupMode();
}

bool SX_DrawingController::HandleMessage(const platform::Message& m) {
    switch (m.id) {
        case platform::kMsgMouseMove:
            status_.Move(m.x, m.y);
            status_.RefreshModifiers(m.keyState);
            return MouseMove(status_, true);
        case platform::kMsgLButtonDown:
            status_.LeftDown(m.x, m.y);
            status_.RefreshModifiers(m.keyState);
            press_ = m;
            return LeftButtonDown(status_);
        case platform::kMsgLButtonUp:
            status_.LeftUp(m.x, m.y);
            return LeftButtonUp(status_);
        case platform::kMsgLButtonDblClk:
            status_.LeftDown(m.x, m.y);
            return LeftDoubleClick(status_);
        case platform::kMsgRButtonDown:
            status_.RightDown(m.x, m.y);
            press_ = m;
            return RightButtonDown(status_);
        case platform::kMsgRButtonUp:
            status_.RightUp(m.x, m.y);
            return RightButtonUp(status_);
        case platform::kMsgMButtonDown:
            status_.MiddleDown(m.x, m.y);
            press_ = m;
            return MiddleButtonDown(status_);
        case platform::kMsgMButtonUp:
            status_.MiddleUp(m.x, m.y);
            return MiddleButtonUp(status_);
        case platform::kMsgMouseWheel:
            status_.Wheel(m.wheelDelta / platform::kWheelDelta);
            return Wheel(status_);
        case platform::kMsgKeyDown:
            return KeyDown(m.key);
        case platform::kMsgChar:
            return Char(m.key);
        default:
            return false;
    }
}

// ---------------------------------------------------------------------------
// Mouse

bool SX_DrawingController::LeftButtonDown(const SX_MouseStatus& status) {
    if (!Markup()) {
        pressed_ = true;
        return false;
    }
    pressX_ = status.X();
    pressY_ = status.Y();
    bool changed = false;
    if (SX_DrawingBase* adding = overlay_.AddingDrawing()) {
        changed = adding->OnLeftDown(status);
    } else if (SX_DrawingBase* selected = overlay_.SelectedDrawing()) {
        changed = selected->OnLeftDown(status);
    }
    CheckAddEnded();
    if (changed) {
        Redraw();
    }
    return changed;
}

bool SX_DrawingController::LeftButtonUp(const SX_MouseStatus& status) {
    if (swallowRelease_) {
        swallowRelease_ = false;
        pressed_ = false;
        return false;
    }
    const bool click = pressX_ >= 0 && std::abs(status.X() - pressX_) < kClickDistance &&
                       std::abs(status.Y() - pressY_) < kClickDistance;
    if (!Markup()) {
        const bool wasPressed = pressed_;
        pressed_ = false;
        if (wasPressed && std::abs(status.X() - press_.x) < kClickDistance &&
            std::abs(status.Y() - press_.y) < kClickDistance) {
            SX_DrawingBase* under = DrawingAt(status.X(), status.Y());
            if (under != nullptr && !under->Href().empty()) {
                overlayHost_.OpenLink(under->Href());
            }
        }
        return false;
    }
    pressX_ = pressY_ = -1;
    bool changed = false;
    if (SX_DrawingBase* adding = overlay_.AddingDrawing()) {
        changed = adding->OnLeftUp(status);
        CheckAddEnded();
    } else {
        SX_DrawingBase* selected = overlay_.SelectedDrawing();
        const bool handled = selected != nullptr && selected->OnLeftUp(status);
        bool selectedNew = false;
        if (click) {
            SX_DrawingBase* under = DrawingAt(status.X(), status.Y());
            if (under != nullptr && under != selected) {
                Select(under, true);
                selectedNew = true;
            }
        }
        // A drawing that let go of the pointer (clicked away from) stops
        // being the selected one; one that was dragged stays selected.
        if (handled && !selectedNew && !selected->IsHot()) {
            Select(nullptr, true);
        }
        changed = handled || selectedNew;
    }
    Redraw();
    return changed;
}

bool SX_DrawingController::LeftDoubleClick(const SX_MouseStatus& status) {
    if (Markup()) {
        // The second press of a double click in markup mode.
        return LeftButtonDown(status);
    }
    pressed_ = false;
    SX_DrawingBase* under = DrawingAt(status.X(), status.Y());
    if (under == nullptr) {
        host_.FireEvent(SX_ControlEvents::kMouseEvent,
                        {platform::Variant(std::int32_t{kDoubleClickEvent}),
                         platform::Variant(std::int32_t{status.X()}),
                         platform::Variant(std::int32_t{status.Y()})});
        return false;
    }
    const std::uint32_t id = under->ID();
    if (!overlayHost_.EditShownView()) {
        return false;
    }
    // Applying the view again rebuilt the overlay's state: find the drawing
    // again by its ID.
    SX_DrawingBase* drawing = nullptr;
    if (SX_DrawingList* list = overlay_.Drawings()) {
        for (const auto& d : *list) {
            if (d->ID() == id) {
                drawing = d.get();
            }
        }
    }
    if (drawing == nullptr) {
        return false;
    }
    Select(drawing, true);
    if (drawing->ClassCode() == SX_DrawingBase::kTextClass) {
        EditText(drawing, status.X(), status.Y());
    }
    swallowRelease_ = true;
    Redraw();
    return true;
}

bool SX_DrawingController::MouseMove(const SX_MouseStatus& status, bool hover) {
    (void)hover;
    if (!Markup()) {
        return OutsideMove(status);
    }
    bool changed = false;
    SX_DrawingBase* adding = overlay_.AddingDrawing();
    if (adding != nullptr) {
        changed = adding->OnMouseMove(status);
    }
    if (SX_DrawingBase* selected = overlay_.SelectedDrawing(); selected != nullptr) {
        changed = selected->OnMouseMove(status) || changed;
    }
    UpdateCursor(status.X(), status.Y());
    CheckAddEnded();
    if (changed) {
        Redraw();
    }
    return changed;
}

bool SX_DrawingController::OutsideMove(const SX_MouseStatus& status) {
    constexpr std::uint8_t kButtons =
        SX_MouseStatus::kLeft | SX_MouseStatus::kMiddle | SX_MouseStatus::kRight;
    if (pressed_ && (status.Buttons() & kButtons) != 0 &&
        (std::abs(status.X() - press_.x) >= kHandOverDistance ||
         std::abs(status.Y() - press_.y) >= kHandOverDistance)) {
        pressed_ = false;
        const platform::Message press = press_;
        platform::Message move = platform::Message::Mouse(platform::kMsgMouseMove, status.X(),
                                                          status.Y(), press_.keyState);
        status_ = SX_MouseStatus();
        overlay_.HandOverToLiveView(press, move);
        return true;
    }
    UpdateCursor(status.X(), status.Y());
    return false;
}

bool SX_DrawingController::RightButtonUp(const SX_MouseStatus& status) {
    SX_DrawingBase* under = DrawingAt(status.X(), status.Y());
    if (!Markup()) {
        pressed_ = false;
        const bool link = under != nullptr && !under->Href().empty();
        OpenMenu(link ? Menu::kLink : Menu::kView, under);
        return false;
    }
    if (SX_DrawingBase* adding = overlay_.AddingDrawing()) {
        adding->EndEdit();
        CheckAddEnded();
    }
    if (overlay_.AddingDrawing() != nullptr) {
        OpenMenu(Menu::kAdding, under);
    } else {
        OpenMenu(under != nullptr ? Menu::kDrawing : Menu::kTools, under);
    }
    return true;
}

bool SX_DrawingController::RightButtonDown(const SX_MouseStatus& status) {
    if (!Markup()) {
        pressed_ = true;
    }
    (void)status;
    return false;
}

bool SX_DrawingController::MiddleButtonDown(const SX_MouseStatus& status) {
    (void)status;
    if (!Markup()) {
        pressed_ = true;
    }
    return false;
}

bool SX_DrawingController::MiddleButtonUp(const SX_MouseStatus& status) {
    (void)status;
    pressed_ = false;
    return false;
}

bool SX_DrawingController::Wheel(const SX_MouseStatus& status) {
    (void)status;
    return false;
}

void SX_DrawingController::UpdateCursor(double x, double y) {
    HostUi::Cursor cursor = HostUi::Cursor::kArrow;
    if (Markup() && overlay_.AddingDrawing() != nullptr) {
        cursor = HostUi::Cursor::kCross;
    } else if (SX_DrawingBase* under = DrawingAt(x, y)) {
        cursor = !under->Href().empty() ? HostUi::Cursor::kHand
                 : Markup()             ? HostUi::Cursor::kCross
                                        : HostUi::Cursor::kArrow;
    }
    if (cursor != cursor_) {
        cursor_ = cursor;
        host_.Ui().SetCursor(cursor);
    }
}

SX_DrawingBase* SX_DrawingController::DrawingAt(double x, double y) {
    SX_DrawingList* list = overlay_.Drawings();
    if (list == nullptr || list->empty()) {
        return nullptr;
    }
    if (overlay_.Painted() == nullptr) {
        overlay_.Paint();
    }
    const platform::Canvas& canvas = *overlay_.Painted();
    for (const auto& drawing : *list) {
        if (drawing.get() != overlay_.AddingDrawing() &&
            drawing->HitTestOutline(canvas, x, y, true)) {
            return drawing.get();
        }
    }
    return nullptr;
}

// ---------------------------------------------------------------------------
// Keys

bool SX_DrawingController::KeyDown(std::uint32_t key) {
    if (key > kLastKey || !Markup()) {
        return false;
    }
    if (key == kKeyDelete) {
        SX_DrawingBase* selected = overlay_.SelectedDrawing();
        if (selected == nullptr) {
            return false;
        }
        FinishAdd(false);
        const std::uint32_t id = selected->ID();
        if (Remove(selected)) {
            host_.FireEvent(SX_ControlEvents::kShape2DRemoved,
                            {platform::Variant(static_cast<std::int32_t>(id))});
        }
        Redraw();
        return true;
    }
    if (key == kKeyEscape) {
        if (!CancelAdd()) {
            return false;
        }
        host_.FireEvent(SX_ControlEvents::kStop2DAdd);
        Redraw();
        return true;
    }
    SX_DrawingBase* adding = overlay_.AddingDrawing();
    if (adding == nullptr) {
        return false;
    }
    const bool changed = adding->OnKeyDown(static_cast<int>(key));
    CheckAddEnded();
    if (changed) {
        Redraw();
    }
    return changed;
}

bool SX_DrawingController::Char(std::uint32_t code) {
    if (!Markup() || (code < kFirstChar && code != kCharPaste) || code > 0xFFFF) {
        return false;
    }
    SX_DrawingBase* adding = overlay_.AddingDrawing();
    if (adding == nullptr || !adding->OnChar(static_cast<char16_t>(code))) {
        return false;
    }
    Redraw();
    return true;
}

// ---------------------------------------------------------------------------
// Adds and the selection

void SX_DrawingController::StartAdd(std::unique_ptr<SX_DrawingBase> drawing, int addMode) {
    CancelAdd();
    drawing->SetHost(&overlayHost_);
    drawing->SetReferenceSize(static_cast<float>(overlayHost_.ClientWidth()),
                              static_cast<float>(overlayHost_.ClientHeight()));
    drawing->SetActive(true);
    overlay_.SetAddingDrawing(std::move(drawing));
    overlay_.SetAddMode(addMode);
    cursor_ = HostUi::Cursor::kCross;
    host_.Ui().SetCursor(cursor_);
}

bool SX_DrawingController::CancelAdd() {
    if (overlay_.AddingDrawing() == nullptr) {
        editIndex_ = -1;
        return false;
    }
    std::unique_ptr<SX_DrawingBase> dropped = overlay_.TakeAddingDrawing();
    if (editIndex_ >= 0) {
        // An edited text of the view goes back where it stood.
        if (SX_DrawingList* list = overlay_.Drawings()) {
            dropped->Place();
            const auto at = std::min<std::ptrdiff_t>(editIndex_, std::ssize(*list));
            list->insert(list->begin() + at, std::move(dropped));
        }
        editIndex_ = -1;
    }
    return true;
}

bool SX_DrawingController::FinishAdd(bool commit) {
    SX_DrawingBase* adding = overlay_.AddingDrawing();
    if (adding == nullptr) {
        return false;
    }
    const bool edited = editIndex_ >= 0;
    if (IsEmptyText(*adding)) {
        const std::int32_t id = static_cast<std::int32_t>(adding->ID());
        overlay_.TakeAddingDrawing();
        editIndex_ = -1;
        if (edited) {
            // An edited text left empty leaves the view.
            host_.FireEvent(SX_ControlEvents::kShape2DRemoved, {platform::Variant(id)});
        }
        host_.FireEvent(SX_ControlEvents::kStop2DAdd);
        return true;
    }
    std::unique_ptr<SX_DrawingBase> drawing = overlay_.TakeAddingDrawing();
    SX_DrawingList* list = overlay_.Drawings();
    if (!commit || list == nullptr) {
        if (edited) {
            overlay_.SetAddingDrawing(std::move(drawing));
            CancelAdd();
        }
        if (commit) {
            host_.FireEvent(SX_ControlEvents::kStop2DEdit);
        }
        return false;
    }
    SX_DrawingBase* placed = drawing.get();
    if (edited) {
        const auto at = std::min<std::ptrdiff_t>(editIndex_, std::ssize(*list));
        list->insert(list->begin() + at, std::move(drawing));
        editIndex_ = -1;
    } else {
        list->push_back(std::move(drawing));
        host_.FireEvent(SX_ControlEvents::kShape2DAdded,
                        {platform::Variant(static_cast<std::int32_t>(placed->ID()))});
    }
    Select(placed, true);
    host_.FireEvent(SX_ControlEvents::kStop2DEdit);
    return false;
}

void SX_DrawingController::CheckAddEnded() {
    SX_DrawingBase* adding = overlay_.AddingDrawing();
    if (adding != nullptr && !adding->IsActive()) {
        FinishAdd(adding->IsVisible());
    }
}

void SX_DrawingController::Select(SX_DrawingBase* drawing, bool raiseEvent) {
    if (SX_DrawingBase* previous = overlay_.SelectedDrawing(); previous != nullptr) {
        previous->SetHot(false);
    }
    overlay_.SetSelectedDrawing(drawing);
    if (drawing != nullptr) {
        drawing->SetHot(true);
    }
    if (raiseEvent) {
        const std::int32_t id = drawing != nullptr ? static_cast<std::int32_t>(drawing->ID()) : -1;
        host_.FireEvent(SX_ControlEvents::kSelect2DChanged, {platform::Variant(id)});
    }
}

bool SX_DrawingController::Remove(SX_DrawingBase* drawing) {
    SX_DrawingList* list = overlay_.Drawings();
    if (list == nullptr || drawing == nullptr) {
        return false;
    }
    const auto it = std::find_if(list->begin(), list->end(),
                                 [drawing](const auto& d) { return d.get() == drawing; });
    if (it == list->end()) {
        return false;
    }
    if (overlay_.SelectedDrawing() == drawing) {
        overlay_.SetSelectedDrawing(nullptr);
    }
    list->erase(it);
    return true;
}

bool SX_DrawingController::EditText(SX_DrawingBase* text, double x, double y) {
    SX_DrawingList* list = overlay_.Drawings();
    if (list == nullptr || text == nullptr || text->ClassCode() != SX_DrawingBase::kTextClass) {
        return false;
    }
    const auto it =
        std::find_if(list->begin(), list->end(), [text](const auto& d) { return d.get() == text; });
    if (it == list->end()) {
        return false;
    }
    CancelAdd();
    const std::ptrdiff_t index = it - list->begin();
    std::unique_ptr<SX_DrawingBase> owned = std::move(*it);
    list->erase(list->begin() + index);
    if (overlay_.SelectedDrawing() == text) {
        overlay_.SetSelectedDrawing(nullptr);
    }
    // A release inside a hot text that is not active starts its editing.
    SX_MouseStatus at;
    at.LeftUp(static_cast<int>(x), static_cast<int>(y));
    owned->SetActive(false);
    owned->SetHot(true);
    if (!owned->HitTest(x, y)) {
        at.LeftUp(static_cast<int>(owned->MapX(owned->GetPositionX())) + 1,
                  static_cast<int>(owned->MapY(owned->GetPositionY())) + 1);
    }
    owned->OnLeftUp(at);
    owned->SetActive(true);
    overlay_.SetAddingDrawing(std::move(owned));
    overlay_.SetAddMode(4);
    editIndex_ = index;
    return true;
}

void SX_DrawingController::Redraw() {
    overlay_.Paint();
    overlayHost_.RepaintControl();
}

// ---------------------------------------------------------------------------
// Menus

std::vector<HostUi::MenuItem> SX_DrawingController::MenuItems(Menu menu) const {
    std::vector<HostUi::MenuItem> items;
    const host::Resources& text = overlayHost_.Strings();
    auto item = [&](int command, int label) {
        HostUi::MenuItem entry;
        entry.command = command;
        entry.label = text.LoadStringWithFallback(label);
        items.push_back(std::move(entry));
    };
    auto separator = [&] {
        HostUi::MenuItem entry;
        entry.separator = true;
        items.push_back(std::move(entry));
    };
    switch (menu) {
        case Menu::kAdding:
        case Menu::kTools:
            if (menu == Menu::kAdding) {
                item(kCmdDeselect, DeselectString(overlay_.AddMode()));
                separator();
            }
            item(kCmdRectangle, kStrRectangle);
            item(kCmdCircle, kStrCircle);
            item(kCmdLine, kStrLine);
            item(kCmdText, kStrText);
            if (overlayHost_.MeasureEnabled()) {
                separator();
                item(kCmdDistance, kStrDistance);
                item(kCmdPosition, kStrPosition);
            }
            separator();
            item(kCmdUnlock, kStrUnlock);
            separator();
            item(kCmdViewHyperlink, kStrViewHyperlink);
            item(kCmdPanZoom, kStrPanZoom);
            separator();
            item(kCmdPrint, kStrPrint);
            break;
        case Menu::kView:
            item(kCmdMarkup, kStrMarkup);
            item(kCmdPanZoom, kStrPanZoom);
            separator();
            item(kCmdPrint, kStrPrint);
            break;
        case Menu::kLink:
            item(kCmdGoToLink, kStrGoToLink);
            break;
        case Menu::kDrawing:
            item(kCmdEditMarkup, kStrEditMarkup);
            item(kCmdDeleteMarkup, kStrDeleteMarkup);
            break;
    }
    return items;
}

void SX_DrawingController::OpenMenu(Menu menu, SX_DrawingBase* underPointer) {
    bool stopFired = false;
    if (menu == Menu::kAdding && overlay_.AddMode() == 4) {
        // The text add is finished before its menu opens.
        stopFired = FinishAdd(true);
        Redraw();
    }
    const std::vector<HostUi::MenuItem> items = MenuItems(menu);
    const int command =
        host_.Ui().PopupMenu(items, status_.X() + overlay_.X(), status_.Y() + overlay_.Y());
    lastCommand_ = command;
    if (command == kCmdDeselect && stopFired) {
        return;  // the finished text already reported the end of its add
    }
    OnCommand(command, underPointer);
}

void SX_DrawingController::OnCommand(int command, SX_DrawingBase* underPointer) {
    if (const int mode = MenuEventMode(command); mode >= 0) {
        host_.FireEvent(SX_ControlEvents::kMenuEvent, {platform::Variant(std::int32_t{mode})});
        return;
    }
    switch (command) {
        case kCmdDeselect:
            CancelAdd();
            Redraw();
            host_.FireEvent(SX_ControlEvents::kStop2DAdd);
            break;
        case kCmdGoToLink:
            if (underPointer != nullptr && !underPointer->Href().empty()) {
                overlayHost_.OpenLink(underPointer->Href());
            }
            break;
        case kCmdEditMarkup:
            if (underPointer != nullptr && EditText(underPointer, status_.X(), status_.Y())) {
                Redraw();
            }
            break;
        case kCmdDeleteMarkup:
            if (underPointer != nullptr) {
                host_.FireEvent(SX_ControlEvents::kShape2DDelete,
                                {platform::Variant(static_cast<std::int32_t>(underPointer->ID()))});
            }
            break;
        case kCmdUnlock:
            overlayHost_.UnlockView();
            break;
        default:
            break;
    }
}
