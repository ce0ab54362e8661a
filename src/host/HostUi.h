#pragma once
// What the system asks of its host's user interface: message boxes for now
// (popup menus, dialogs and links join later). The desktop host answers with
// real windows; headless hosts and tests use ScriptedHostUi.

#include <string>

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

    virtual ~HostUi() = default;

    // Shows a modal box and returns the chosen button.
    virtual int MessageBox(const std::u16string& text, const std::u16string& caption,
                           unsigned type) = 0;

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
