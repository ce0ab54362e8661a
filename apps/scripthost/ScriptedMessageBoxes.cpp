#include "scripthost/ScriptedMessageBoxes.h"

#include "platform/Text.h"

namespace scripthost {

int ScriptedMessageBoxes::FirstButton(std::uint32_t type) {
    switch (type & 0x0Fu) {
        case 2:  // abort, retry, ignore
            return 3;
        case 3:  // yes, no, cancel
        case 4:  // yes, no
            return 6;
        case 5:  // retry, cancel
            return 4;
        case 6:  // cancel, try again, continue
            return 2;
        default:  // OK; OK, cancel
            return 1;
    }
}

int ScriptedMessageBoxes::Show(std::u16string_view caption, std::u16string_view text,
                               std::uint32_t type) {
    int result = FirstButton(type);
    if (!answers_.empty()) {
        result = answers_.front();
        answers_.pop_front();
    }
    shown_.push_back(Box{std::u16string(caption), std::u16string(text), type, result});
    log_ << "messagebox: " << platform::ToUtf8(caption) << ": " << platform::ToUtf8(text)
         << std::endl;
    return result;
}

}  // namespace scripthost
