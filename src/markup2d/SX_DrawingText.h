#pragma once
// Free text placed over the view, edited in place.
//
// A new text shows the placeholder "Type your text here" and follows the
// pointer until it is clicked; the click clears it and starts editing. While
// editing, characters of code 32 or more are appended, Ctrl+V (code 22)
// appends the clipboard's text, Backspace removes the last character, Enter
// adds a line break and Escape ends editing. Every change of the text fires
// UpdateText with the whole text. The placeholder flag stays set until the
// text first changes.

#include "markup2d/SX_DrawingBase.h"

class SX_DrawingText : public SX_DrawingBase {
  public:
    static constexpr int kPlaceholderString = 190;
    static constexpr std::size_t kTypeNameChars = 20;
    static constexpr std::uint32_t kCaretColor = 0xFF0000FF;

    SX_DrawingText(const SX_Defaults& defaults, int displayUnit);

    bool HasPlaceholder() const { return placeholder_; }
    bool IsEditing() const { return editing_; }
    const std::u16string& Text() const { return text_; }
    const std::u16string& FontName() const { return fontName_; }
    void SetFontName(std::u16string name) { fontName_ = std::move(name); }
    // The laid-out box of the last Draw, in window pixels.
    double LaidOutWidth() const { return width_; }
    double LaidOutHeight() const { return height_; }

    bool SetPosition(double x, double y) override;
    bool SetText(std::u16string_view text) override;
    bool SetFontSize(double size) override;
    double GetPositionX() const override { return x_; }
    double GetPositionY() const override { return y_; }
    double GetFontSize() const override { return fontSize_; }

    void Draw(platform::Canvas& canvas) override;
    void DrawFaded(platform::Canvas& canvas, double factor) override;
    void WriteXml(StraleLib::SL_XMLWriter& writer) override;
    bool ReadXml(const platform::XmlNode& element) override;
    // "Text  (" + the first 20 characters + "...)".
    std::u16string GetTypeName() const override;
    void ResetProperties(const SX_Defaults& defaults) override;

    bool OnMouseMove(const SX_MouseStatus& mouse) override;
    bool OnLeftUp(const SX_MouseStatus& mouse) override;
    bool EndEdit() override;
    bool OnLeftDown(const SX_MouseStatus& mouse) override;
    bool OnChar(char16_t code) override;
    bool OnKeyDown(int key) override;
    bool HitTestOutline(const platform::Canvas& canvas, double x, double y,
                        bool withInterior) override;
    bool HitTest(double x, double y) const override;

  protected:
    void NormalizePoints() override;

  private:
    void StartEditing();
    void TextChanged();

    bool placeholder_ = true;
    bool editing_ = false;
    std::u16string text_;
    float x_ = 0, y_ = 0;
    double lastX_ = 0, lastY_ = 0;
    double width_ = 0, height_ = 0;
    std::u16string fontName_;
    double fontSize_ = 12.0;
    std::uint32_t textBrush_ = 0;
    std::uint32_t shadowBrush_ = 0;
    std::uint32_t caretBrush_ = kCaretColor;
};
