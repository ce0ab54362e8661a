#pragma once
// A host user interface without windows: every message box is recorded, and
// answered from a queue of scripted answers (the box's first button when the
// queue is empty). Thread-safe, since the loader thread shows boxes too.

#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "host/HostUi.h"

class ScriptedHostUi : public HostUi {
  public:
    struct Box {
        std::u16string text;
        std::u16string caption;
        unsigned type = 0;
        int answer = 0;
    };

    int MessageBox(const std::u16string& text, const std::u16string& caption,
                   unsigned type) override;

    // Answer for the next box not yet shown (in the order they are queued).
    void QueueAnswer(int answer);
    std::vector<Box> Boxes() const;
    void ClearBoxes();

  private:
    mutable std::mutex mutex_;
    std::deque<int> answers_;
    std::vector<Box> boxes_;
};
