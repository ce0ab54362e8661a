#pragma once
// Message boxes answered by the script instead of a user.
//
// The page queues answers (host.answerMessageBox); each box the control
// shows takes the oldest queued answer, or its first button when none is
// queued (OK, Abort, Yes, Retry or Cancel by the button set in the low four
// bits of the type). Every box is kept in the order shown and logged as one
// "messagebox: CAPTION: TEXT" line to the log stream (standard error in the
// `panora run` command). Answers are the usual codes: 1 OK, 2 Cancel,
// 3 Abort, 4 Retry, 5 Ignore, 6 Yes, 7 No, 10 Try Again, 11 Continue.

#include <cstdint>
#include <deque>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace scripthost {

class ScriptedMessageBoxes {
  public:
    struct Box {
        std::u16string caption;
        std::u16string text;
        std::uint32_t type = 0;
        int result = 0;
    };

    explicit ScriptedMessageBoxes(std::ostream& log) : log_(log) {}

    void QueueAnswer(int result) { answers_.push_back(result); }
    std::size_t QueuedAnswers() const { return answers_.size(); }

    // Shows (records and logs) one box and returns its answer.
    int Show(std::u16string_view caption, std::u16string_view text, std::uint32_t type);

    const std::vector<Box>& Shown() const { return shown_; }

    // The answer of a box's first button.
    static int FirstButton(std::uint32_t type);

  private:
    std::ostream& log_;
    std::deque<int> answers_;
    std::vector<Box> shown_;
};

}  // namespace scripthost
