#pragma once
// What the system asks of its host's user interface: message boxes, popup
// menus, cursors, mouse capture, the save-file dialog, the clipboard's text
// and tooltips (links join later). The
// desktop host answers with real windows; headless hosts and tests use
// ScriptedHostUi. Popup menus and cursors are asked for on the window thread
// only; message boxes come from the loader thread too.

#include <string>
#include <vector>

class HostUi {
  public:
    // Button sets and icons of a message box, combined with "|".
    enum Type : unsigned {
        kOk = 0x0,
        kOkCancel = 0x1,
        kYesNoCancel = 0x3,
        kYesNo = 0x4,
        kIconError = 0x10,
        kIconQuestion = 0x20,
        kIconWarning = 0x30,
        kIconInformation = 0x40,
        kButtonMask = 0xF,
    };
    // Answers: the button the user chose.
    enum Answer : int {
        kIdOk = 1,
        kIdCancel = 2,
        kIdYes = 6,
        kIdNo = 7,
    };

    // One entry of a popup menu: a command (id > 0) or a separator.
    struct MenuItem {
        int command = 0;
        std::u16string label;
        bool grayed = false;
        bool separator = false;
    };

    // Pointer shapes the view asks for.
    enum class Cursor { kArrow, kHand, kSizeNS, kCross, kHidden };

    virtual ~HostUi() = default;

    // Shows a modal box and returns the chosen button.
    virtual int MessageBox(const std::u16string& text, const std::u16string& caption,
                           unsigned type) = 0;

    // Shows a popup menu with its top-left corner at the pointer (control
    // client pixels, top-down) and returns the chosen command, 0 when the
    // menu was dismissed. Grayed items cannot be chosen.
    virtual int PopupMenu(const std::vector<MenuItem>& items, int x, int y) {
        (void)items;
        (void)x;
        (void)y;
        return 0;
    }
    // The pointer shape over the view from now on.
    virtual void SetCursor(Cursor cursor) { (void)cursor; }
    // While captured, moves and releases outside the view still reach it.
    virtual void CaptureMouse(bool capture) { (void)capture; }

    // One filter entry of a file dialog: its label and its pattern.
    struct FileDialog {
        std::u16string title;
        std::u16string filterLabel;
        std::u16string pattern;           // "*.jpg"
        std::u16string defaultExtension;  // "jpg": added to a name without one
    };
    // Shows a modal save-file dialog and returns the chosen file's path, ""
    // when the user cancelled. A host without dialogs cancels.
    virtual std::u16string SaveFileDialog(const FileDialog& dialog) {
        (void)dialog;
        return {};
    }

    // The printer the print dialog chose. Headless hosts print into a PDF
    // file; the page size is in device pixels of the printer's resolution.
    struct PrintTarget {
        std::u16string pdfPath;
        int pageWidth = 0;
        int pageHeight = 0;
        int dotsPerInch = 72;
    };
    // Shows the modal print dialog (one copy, no page range); false when the
    // user cancelled. A host without dialogs cancels.
    virtual bool PrintDialog(PrintTarget& target) {
        (void)target;
        return false;
    }

    // The clipboard's Unicode text ("" when it holds none), and replacing it.
    virtual std::u16string ClipboardText() { return {}; }
    virtual void SetClipboardText(const std::u16string& text) { (void)text; }

    // A rectangle in control client pixels (top-down).
    struct Rect {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
    };
    // Shows a tooltip with the text for the pointer over the box, replacing
    // the one shown; HideTooltip removes it.
    virtual void ShowTooltip(const std::u16string& text, const Rect& box) {
        (void)text;
        (void)box;
    }
    virtual void HideTooltip() {}

    // The first button of a box of this type (what Enter chooses).
    static int FirstButton(unsigned type) {
        switch (type & kButtonMask) {
            case kYesNo:
            case kYesNoCancel:
                return kIdYes;
            default:
                return kIdOk;
        }
    }
};
