#pragma once
// A page's hands on the view, as functions on `host`:
//   host.mouse(type, x, y, keys)   type "move", "leftDown", "leftUp",
//                                  "leftDoubleClick", "middleDown", "middleUp",
//                                  "rightDown" or "rightUp"; x, y control
//                                  client pixels (top-down); keys 1 Ctrl,
//                                  2 Shift, 4 Alt (default 0). The message
//                                  carries those keys and the buttons held.
//   host.wheel(delta, x, y, keys)  one wheel message (120 per notch, > 0 away
//                                  from the user)
//   host.key(code)                 key down and key up of a virtual key code
//   host.answerMenu(command)       the answer of the next popup menu (0
//                                  dismisses it)
//   host.answerFileDialog(path)    the file chosen in the next save-file
//                                  dialog ("" cancels it; none queued cancels)
//   host.answerPrintDialog(pdf, w, h)  the next print dialog prints into the
//                                  PDF file pdf on a page of w x h device
//                                  pixels ("" cancels it)
//   host.setClipboard(text)        the clipboard's text from now on (what
//                                  Ctrl+V pastes into a text being edited)
//   host.cursor()                  the pointer shape over the view: "arrow",
//                                  "hand", "sizens", "cross" or "hidden"
// mouse, wheel and key return whether the control took the message. Input
// goes through SX_Control::DeliverInput, as the desktop would deliver it.
#include "host/HostUi.h"

class SX_Control;
class ScriptedHostUi;
namespace scripthost {
class ScriptHost;
}

// `ui` answers the control's popup menus, records its cursor and holds the
// clipboard.
bool AddPageInput(scripthost::ScriptHost& host, SX_Control& control, ScriptedHostUi& ui);

const char* CursorName(HostUi::Cursor cursor);
