#pragma once
// The 2D overlay window ("2DDrawingWin"): a child of the control that, while
// a saved view is shown, replaces the live 3D window with a still image of it
// and the view's drawings on top.
//
// The still image is taken through the capturer the control sets (its
// capture of the 3D view) when the overlay is shown, on every resize while
// shown, and when asked. Painting draws into an ARGB canvas of the client
// size: the still image stretched to it; in markup mode a red frame (pen
// 0x80FF2020, width 3, rectangle (4, 4, width - 9, height - 9)); the view's
// drawings in list order (faded with a factor below 1, which the control
// uses while fading a view in), the drawing being added excepted; in markup
// mode the drawing being added last. The painted canvas is what the host
// shows while a view is on show.
//
// Input goes to the drawing controller (SX_DrawingController) the control
// gives the overlay: it edits drawings in markup mode and, outside it, hands
// a drag of 5 pixels or more back to the live 3D view (the hand-over callback
// receives the press and the move to replay). Without a controller only the
// hand-over is done.
#include <cstdint>
#include <functional>
#include <memory>

#include "markup2d/SX_DrawingBase.h"
#include "platform/Canvas.h"
#include "platform/Image.h"
#include "platform/MessageLoop.h"
#include "platform/MessageLoopMessages.h"

class SX_DrawingController;

class SX_2DDrawingWindow : public platform::Window {
  public:
    static constexpr const char16_t* kClassName = u"2DDrawingWin";
    // The markup-mode frame.
    static constexpr std::uint32_t kFrameColor = 0x80FF2020;
    static constexpr double kFrameWidth = 3.0;
    static constexpr int kFrameInset = 4;
    // Pixels a dragged pointer travels, in x or y, before the live view takes
    // over (outside markup mode).
    static constexpr int kHandOverDistance = 5;

    // Fills the image with the 3D view's current frame; false when none.
    using Capturer = std::function<bool(platform::RgbImage& image)>;
    // Gets the press and the move that went 5 pixels from it.
    using HandOver =
        std::function<void(const platform::Message& press, const platform::Message& move)>;

    explicit SX_2DDrawingWindow(platform::MessageLoop& loop);
    ~SX_2DDrawingWindow() override;

    void SetCapturer(Capturer capturer) { capturer_ = std::move(capturer); }
    void SetHandOver(HandOver handOver) { handOver_ = std::move(handOver); }
    // Gives the press and the move to the hand-over callback.
    void HandOverToLiveView(const platform::Message& press, const platform::Message& move);
    // The drawing controller that takes the input (owned).
    void SetController(std::unique_ptr<SX_DrawingController> controller);
    SX_DrawingController* Controller() const { return controller_.get(); }

    // A visible overlay whose size changes takes a new still image.
    void Move(int x, int y, int width, int height);
    int X() const { return x_; }
    int Y() const { return y_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void Show(bool show) { visible_ = show; }
    bool IsVisible() const { return visible_; }

    // The still image: replaced by a new capture (kept when the capture
    // fails); false when there was none.
    bool CaptureBackground();
    const platform::RgbImage& Background() const { return background_; }

    // The drawings shown (the view's list, not owned; null when no view is
    // shown). Another list, or letting go, also ends an add and the
    // selection.
    void SetDrawings(SX_DrawingList* drawings);
    SX_DrawingList* Drawings() const { return drawings_; }
    void ReleaseDrawings();

    // Markup mode: the view is open for drawing.
    void SetMarkupMode(bool on) { markupMode_ = on; }
    bool MarkupMode() const { return markupMode_; }

    // The drawing controller's state: the drawing being added (not in the
    // list until it is placed), the selected drawing and the add mode (1
    // line, 2 circle, 3 rectangle, 4 text, 5 position, 6 distance; 0 none).
    SX_DrawingBase* AddingDrawing() const { return adding_.get(); }
    void SetAddingDrawing(std::unique_ptr<SX_DrawingBase> drawing) { adding_ = std::move(drawing); }
    // The drawing being added, handed over; the add mode stays as the kind
    // of the last add.
    std::unique_ptr<SX_DrawingBase> TakeAddingDrawing() { return std::move(adding_); }
    SX_DrawingBase* SelectedDrawing() const { return selected_; }
    void SetSelectedDrawing(SX_DrawingBase* drawing) { selected_ = drawing; }
    int AddMode() const { return addMode_; }
    void SetAddMode(int mode) { addMode_ = mode; }

    // Paints into the canvas with the drawings' fade factor (1: not faded).
    void Paint(double fade = 1.0);
    // The fade-in: paints with 0.5 - 0.5 cos(pi t) for t = 0.1, 0.2, ...
    // while below 1; returns the number of paints.
    int FadeIn();
    // The last paint (null before the first).
    const platform::Canvas* Painted() const { return canvas_.get(); }
    // The last paint as the host shows it; empty before the first.
    platform::RgbImage Image() const;

    // A key handed in while the view is locked for drawing; true when taken.
    bool OnKey(std::uint32_t key);

  protected:
    void OnMessage(platform::Message& message) override;

  private:
    void OnMouse(const platform::Message& message);

    Capturer capturer_;
    HandOver handOver_;
    std::unique_ptr<SX_DrawingController> controller_;
    SX_DrawingList* drawings_ = nullptr;
    std::unique_ptr<SX_DrawingBase> adding_;
    SX_DrawingBase* selected_ = nullptr;
    int addMode_ = 0;
    int x_ = 0;
    int y_ = 0;
    int width_ = 0;
    int height_ = 0;
    bool visible_ = false;
    bool markupMode_ = false;
    platform::RgbImage background_;
    std::unique_ptr<platform::Canvas> canvas_;
    // The last press outside markup mode.
    bool pressed_ = false;
    platform::Message press_;
};
