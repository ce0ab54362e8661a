#pragma once
// A host user interface without windows: every message box is recorded, and
// answered from a queue of scripted answers (the box's first button when the
// queue is empty); popup menus likewise (dismissed when the queue is empty,
// and an answer naming a grayed or unknown item dismisses it too); the
// cursor and the capture are recorded. Save-file dialogs take the queued
// paths ("" cancels), and cancel when the queue is empty. The clipboard is a
// text the caller sets; tooltips are recorded in the order shown, the one on
// screen kept until hidden. Thread-safe, since the loader thread shows boxes
// too.

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

    struct Menu {
        std::vector<MenuItem> items;
        int x = 0;
        int y = 0;
        int answer = 0;
    };

    int PopupMenu(const std::vector<MenuItem>& items, int x, int y) override;
    void SetCursor(Cursor cursor) override;
    void CaptureMouse(bool capture) override;

    // Command for the next popup menu (0 dismisses it).
    void QueueMenuAnswer(int command);
    std::vector<Menu> Menus() const;
    Cursor CurrentCursor() const;
    bool MouseCaptured() const;

    std::u16string SaveFileDialog(const FileDialog& dialog) override;
    void QueueFileAnswer(const std::u16string& path);
    // Print dialogs take the queued targets (an empty path cancels) and
    // cancel when the queue is empty.
    bool PrintDialog(PrintTarget& target) override;
    void QueuePrintAnswer(const PrintTarget& target);
    int PrintDialogsShown() const;
    std::vector<FileDialog> FileDialogs() const;

    std::u16string ClipboardText() override;
    void SetClipboardText(const std::u16string& text) override;
    void ShowTooltip(const std::u16string& text, const Rect& box) override;
    void HideTooltip() override;
    struct Tooltip {
        std::u16string text;
        Rect box;
    };
    // Every tooltip shown so far, and whether the last one is still up.
    std::vector<Tooltip> Tooltips() const;
    bool TooltipShown() const;

    // Answer for the next box not yet shown (in the order they are queued).
    void QueueAnswer(int answer);
    std::vector<Box> Boxes() const;
    void ClearBoxes();

  private:
    mutable std::mutex mutex_;
    std::deque<int> answers_;
    std::vector<Box> boxes_;
    std::deque<int> menuAnswers_;
    std::vector<Menu> menus_;
    std::deque<std::u16string> fileAnswers_;
    std::vector<FileDialog> fileDialogs_;
    std::deque<PrintTarget> printAnswers_;
    int printDialogs_ = 0;
    std::u16string clipboard_;
    std::vector<Tooltip> tooltips_;
    bool tooltipShown_ = false;
    Cursor cursor_ = Cursor::kArrow;
    bool captured_ = false;
};
