#pragma once
// The drawing controller: turns the overlay's mouse and keyboard input into
// editing of the view's drawings, and offers the overlay's context menus.
//
// In markup mode (the view locked for drawing) every event goes to the
// drawing being added and to the selected drawing. After each event a drawing
// being added that is no longer active ends its add: it joins the view when
// it was placed (Shape2DAdded, Select2DChanged, Stop2DEdit), a text left
// empty is dropped with Stop2DAdd. Escape drops the add (Stop2DAdd), Delete
// removes the selected drawing (Shape2DRemoved). A release within 2 pixels of
// its press selects the drawing under the pointer; the first drawing of the
// list whose outline is hit is the one under the pointer.
//
// Outside markup mode a drag of 5 pixels or more hands the mouse back to the
// live view, a click on a drawing with a link opens it, a double click on a
// drawing opens the view for drawing and selects it (a text starts being
// edited) and a double click on empty space fires MouseEvent(9, x, y).
//
// Characters reach a text being edited when their code is 32 or more, or 22
// (Ctrl+V pastes the clipboard): punctuation is typed like any letter.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/HostUi.h"
#include "markup2d/DrawingHost.h"
#include "markup2d/SX_DrawingBase.h"
#include "measure/SX_EventController.h"
#include "platform/MessageLoopMessages.h"

class SX_2DDrawingWindow;

namespace markup2d {

// What the controller needs of the control beyond a drawing's needs: the
// control implements it next to DrawingHost.
class OverlayHost : public DrawingHost {
  public:
    // The control's MeasureEnabled: the menus offer the measuring drawings.
    virtual bool MeasureEnabled() const = 0;
    // The unit new drawings take (the control's current drawing unit).
    virtual int CurrentDrawingUnit() = 0;
    // Opens a drawing's link the way the control opens links.
    virtual void OpenLink(const std::u16string& href) = 0;
    // The control's ViewUnlock with raiseEvent true.
    virtual void UnlockView() = 0;
    // Applies the view on show locked for drawing; false when none is shown.
    virtual bool EditShownView() = 0;
    // Shows the overlay's new paint.
    virtual void RepaintControl() = 0;
};

}  // namespace markup2d

class SX_DrawingController : public SX_EventController {
  public:
    // Menu commands.
    enum Command : int {
        kCmdRectangle = 110,
        kCmdDeselect = 115,
        kCmdCircle = 120,
        kCmdLine = 125,
        kCmdText = 130,
        kCmdDistance = 140,
        kCmdPosition = 150,
        kCmdViewHyperlink = 200,
        kCmdMarkup = 201,
        kCmdPanZoom = 202,
        kCmdGoToLink = 300,
        kCmdEditMarkup = 400,
        kCmdDeleteMarkup = 401,
        kCmdPrint = 500,
        kCmdUnlock = 1000,
    };
    enum class Menu { kAdding, kTools, kView, kLink, kDrawing };
    // A release this close to its press (|dx| and |dy| below it) is a click.
    static constexpr int kClickDistance = 2;
    // Pixels a drag goes, in x or y, before the live view takes over.
    static constexpr int kHandOverDistance = 5;
    // MouseEvent type of a double click on empty overlay space.
    static constexpr int kDoubleClickEvent = 9;

    SX_DrawingController(measure::ControllerHost& host, markup2d::OverlayHost& overlayHost,
                         SX_2DDrawingWindow& overlay);
    ~SX_DrawingController() override;

    // One message of the overlay window; true when it was taken.
    bool HandleMessage(const platform::Message& message);

    bool MiddleButtonUp(const SX_MouseStatus& status) override;
    bool MiddleButtonDown(const SX_MouseStatus& status) override;
    bool LeftButtonUp(const SX_MouseStatus& status) override;
    bool LeftButtonDown(const SX_MouseStatus& status) override;
    bool RightButtonUp(const SX_MouseStatus& status) override;
    bool RightButtonDown(const SX_MouseStatus& status) override;
    bool LeftDoubleClick(const SX_MouseStatus& status) override;
    bool MouseMove(const SX_MouseStatus& status, bool hover) override;
    bool Wheel(const SX_MouseStatus& status) override;
    // Key-down codes up to 47 and characters (see the header comment).
    bool KeyDown(std::uint32_t key);
    bool Char(std::uint32_t code);

    // Starts an interactive add with the drawing (add mode 1 line, 2 circle,
    // 3 rectangle, 4 text, 5 position, 6 distance); an add in progress is
    // dropped first.
    void StartAdd(std::unique_ptr<SX_DrawingBase> drawing, int addMode);
    // Ends the add in progress (see the header comment); commit adds a
    // placed drawing to the view. True when Stop2DAdd was fired.
    bool FinishAdd(bool commit);
    // Drops the add in progress without an event; true when there was one.
    bool CancelAdd();
    // The selected drawing becomes the given one (null: none); with
    // raiseEvent, Select2DChanged with its ID or -1.
    void Select(SX_DrawingBase* drawing, bool raiseEvent);
    // Removes the drawing from the view's list and destroys it (the add and
    // the selection let go of it first); false when it is not in the list.
    bool Remove(SX_DrawingBase* drawing);
    // The first drawing of the view whose outline is under the point.
    SX_DrawingBase* DrawingAt(double x, double y);
    // A text of the view becomes the drawing being added, editing its text.
    bool EditText(SX_DrawingBase* text, double x, double y);

    // The menu as it opens now (the adding menu relabelled by add mode).
    std::vector<HostUi::MenuItem> MenuItems(Menu menu) const;
    // Carries out a menu command for the drawing under the pointer.
    void OnCommand(int command, SX_DrawingBase* underPointer);
    // Paints the overlay and shows it.
    void Redraw();
    markup2d::OverlayHost& Host() const { return overlayHost_; }
    const SX_MouseStatus& Status() const { return status_; }

  private:
    bool Markup() const;
    // Ends the add when the drawing being added is no longer active.
    void CheckAddEnded();
    void UpdateCursor(double x, double y);
    void OpenMenu(Menu menu, SX_DrawingBase* underPointer);
    bool OutsideMove(const SX_MouseStatus& status);

    markup2d::OverlayHost& overlayHost_;
    SX_2DDrawingWindow& overlay_;
    SX_MouseStatus status_;
    // The last left press in markup mode (-1: none).
    int pressX_ = -1;
    int pressY_ = -1;
    // The last press outside markup mode.
    bool pressed_ = false;
    platform::Message press_;
    // The left release after a double click is swallowed.
    bool swallowRelease_ = false;
    // A text of the view being edited: where it stood in the list.
    std::ptrdiff_t editIndex_ = -1;
    HostUi::Cursor cursor_ = HostUi::Cursor::kArrow;
};
