#include "panora/PageInput.h"

#include <memory>
#include <span>
#include <string>

#include "control/SX_Control.h"
#include "host/ScriptedHostUi.h"
#include "platform/MessageLoopMessages.h"
#include "platform/Text.h"
#include "scripthost/ScriptHost.h"

using platform::HRESULT;
using platform::Variant;

namespace {

struct MouseType {
    const char16_t* name;
    platform::MessageId id;
    std::uint32_t button;  // kKey*Button flag pressed (down) or released (up)
    bool down;
};

constexpr MouseType kMouseTypes[] = {
    {u"move", platform::kMsgMouseMove, 0, false},
    {u"leftDown", platform::kMsgLButtonDown, platform::kKeyLButton, true},
    {u"leftUp", platform::kMsgLButtonUp, platform::kKeyLButton, false},
    {u"leftDoubleClick", platform::kMsgLButtonDblClk, platform::kKeyLButton, true},
    {u"middleDown", platform::kMsgMButtonDown, platform::kKeyMButton, true},
    {u"middleUp", platform::kMsgMButtonUp, platform::kKeyMButton, false},
    {u"rightDown", platform::kMsgRButtonDown, platform::kKeyRButton, true},
    {u"rightUp", platform::kMsgRButtonUp, platform::kKeyRButton, false},
};

// Argument i as an integer; missing arguments are 0.
HRESULT IntArg(std::span<const Variant> args, std::size_t i, std::int32_t& value) {
    value = 0;
    return i < args.size() && !args[i].IsEmpty() ? args[i].ToInt32(value) : platform::S_OK;
}

// The page's keys (1 Ctrl, 2 Shift, 4 Alt) as message key-state flags.
std::uint32_t KeyFlags(std::int32_t keys) {
    std::uint32_t flags = 0;
    flags |= (keys & 1) != 0 ? platform::kKeyControl : 0;
    flags |= (keys & 2) != 0 ? platform::kKeyShift : 0;
    flags |= (keys & 4) != 0 ? platform::kKeyAlt : 0;
    return flags;
}

}  // namespace

const char* CursorName(HostUi::Cursor cursor) {
    switch (cursor) {
        case HostUi::Cursor::kHand:
            return "hand";
        case HostUi::Cursor::kSizeNS:
            return "sizens";
        case HostUi::Cursor::kCross:
            return "cross";
        case HostUi::Cursor::kHidden:
            return "hidden";
        default:
            return "arrow";
    }
}

bool AddPageInput(scripthost::ScriptHost& host, SX_Control& control, ScriptedHostUi& ui) {
    // The buttons the page holds down, carried in every mouse message.
    auto held = std::make_shared<std::uint32_t>(0);
    bool ok = host.AddHostFunction(
        "mouse", [&control, held](std::span<const Variant> args, Variant& result) -> HRESULT {
            std::u16string type;
            if (args.empty() || platform::FAILED(args[0].ToString(type))) {
                return platform::E_INVALIDARG;
            }
            const MouseType* found = nullptr;
            for (const MouseType& t : kMouseTypes) {
                if (type == t.name) {
                    found = &t;
                }
            }
            std::int32_t x = 0, y = 0, keys = 0;
            if (found == nullptr || platform::FAILED(IntArg(args, 1, x)) ||
                platform::FAILED(IntArg(args, 2, y)) || platform::FAILED(IntArg(args, 3, keys))) {
                return platform::E_INVALIDARG;
            }
            if (found->down) {
                *held |= found->button;
            } else {
                *held &= ~found->button;
            }
            result = Variant(control.DeliverInput(
                platform::Message::Mouse(found->id, x, y, *held | KeyFlags(keys))));
            return platform::S_OK;
        });
    ok = host.AddHostFunction(
             "wheel",
             [&control, held](std::span<const Variant> args, Variant& result) -> HRESULT {
                 std::int32_t delta = 0, x = 0, y = 0, keys = 0;
                 if (args.empty() || platform::FAILED(IntArg(args, 0, delta)) ||
                     platform::FAILED(IntArg(args, 1, x)) || platform::FAILED(IntArg(args, 2, y)) ||
                     platform::FAILED(IntArg(args, 3, keys))) {
                     return platform::E_INVALIDARG;
                 }
                 result = Variant(control.DeliverInput(
                     platform::Message::Wheel(x, y, delta, *held | KeyFlags(keys))));
                 return platform::S_OK;
             }) &&
         ok;
    ok = host.AddHostFunction(
             "key",
             [&control](std::span<const Variant> args, Variant& result) -> HRESULT {
                 std::int32_t code = 0;
                 if (args.empty() || platform::FAILED(IntArg(args, 0, code)) || code < 0) {
                     return platform::E_INVALIDARG;
                 }
                 const auto key = static_cast<std::uint32_t>(code);
                 const bool down =
                     control.DeliverInput(platform::Message::Key(platform::kMsgKeyDown, key));
                 control.DeliverInput(platform::Message::Key(platform::kMsgKeyUp, key));
                 result = Variant(down);
                 return platform::S_OK;
             }) &&
         ok;
    ok = host.AddHostFunction("answerMenu",
                              [&ui](std::span<const Variant> args, Variant&) -> HRESULT {
                                  std::int32_t command = 0;
                                  if (platform::FAILED(IntArg(args, 0, command))) {
                                      return platform::E_INVALIDARG;
                                  }
                                  ui.QueueMenuAnswer(command);
                                  return platform::S_OK;
                              }) &&
         ok;
    ok = host.AddHostFunction("answerFileDialog",
                              [&ui](std::span<const Variant> args, Variant&) -> HRESULT {
                                  std::u16string path;
                                  if (args.empty() || platform::FAILED(args[0].ToString(path))) {
                                      return platform::E_INVALIDARG;
                                  }
                                  ui.QueueFileAnswer(path);
                                  return platform::S_OK;
                              }) &&
         ok;
    ok = host.AddHostFunction(
             "answerPrintDialog",
             [&ui](std::span<const Variant> args, Variant&) -> HRESULT {
                 HostUi::PrintTarget target;
                 if (args.empty() || platform::FAILED(args[0].ToString(target.pdfPath))) {
                     return platform::E_INVALIDARG;
                 }
                 if (!target.pdfPath.empty() &&
                     (platform::FAILED(IntArg(args, 1, target.pageWidth)) ||
                      platform::FAILED(IntArg(args, 2, target.pageHeight)))) {
                     return platform::E_INVALIDARG;
                 }
                 ui.QueuePrintAnswer(target);
                 return platform::S_OK;
             }) &&
         ok;
    ok = host.AddHostFunction("setClipboard",
                              [&ui](std::span<const Variant> args, Variant&) -> HRESULT {
                                  std::u16string text;
                                  if (args.empty() || platform::FAILED(args[0].ToString(text))) {
                                      return platform::E_INVALIDARG;
                                  }
                                  ui.SetClipboardText(text);
                                  return platform::S_OK;
                              }) &&
         ok;
    ok = host.AddHostFunction("cursor",
                              [&ui](std::span<const Variant>, Variant& result) -> HRESULT {
                                  result =
                                      Variant(platform::FromUtf8(CursorName(ui.CurrentCursor())));
                                  return platform::S_OK;
                              }) &&
         ok;
    return ok;
}
