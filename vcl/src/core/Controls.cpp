#include "vcl/Controls.h"

#include "vcl/DfmReader.h"
#include "vcl/Forms.h"

namespace vcl {

TControl::TControl(TComponent *Owner) : TComponent(Owner) {}

void TControl::SetCaption(const String &caption)
{
    if (caption == caption_)
        return;
    caption_ = caption;
    if (native_)
        native_->SetText(caption_);
    CaptionChanged();
}

void TControl::SetBounds(int left, int top, int width, int height)
{
    if (left == left_ && top == top_ && width == width_ && height == height_)
        return;
    left_ = left;
    top_ = top;
    width_ = width < 0 ? 0 : width;
    height_ = height < 0 ? 0 : height;
    BoundsChanged();
}

void TControl::BoundsChanged()
{
    if (native_)
        native_->SetBounds(left_, top_, width_, height_);
    if (parentForm_ != nullptr)
        parentForm_->ControlBoundsChanged();
}

void TControl::SetFont(const TFontData &font)
{
    parentFont_ = false;
    if (font == font_)
        return;
    font_ = font;
    if (native_)
        native_->SetFont(font_);
    FontChanged();
}

void TControl::SetParentFont(bool parentFont)
{
    parentFont_ = parentFont;
    if (parentFont_ && parentForm_ != nullptr)
        ParentFontChanged(parentForm_->GetFont());
}

void TControl::ParentFontChanged(const TFontData &font)
{
    if (!parentFont_)
        return;
    SetFont(font);
    parentFont_ = true;
}

void TControl::SetColor(TColor color)
{
    color_ = color;
    if (native_)
        native_->SetColor(color_);
}

void TControl::SetParentForm(TForm *form)
{
    parentForm_ = form;
    if (parentForm_ != nullptr && parentFont_)
        ParentFontChanged(parentForm_->GetFont());
}

bool TControl::ReadProperty(const String &name, const TPropertyReader &value)
{
    if (SameText(name, "Left")) {
        left_ = value.Integer();
    } else if (SameText(name, "Top")) {
        top_ = value.Integer();
    } else if (SameText(name, "Width")) {
        width_ = value.Integer();
    } else if (SameText(name, "Height")) {
        height_ = value.Integer();
    } else if (SameText(name, "Caption")) {
        caption_ = value.Text();
    } else if (SameText(name, "Color")) {
        color_ = value.Color();
    } else if (SameText(name, "ParentFont")) {
        parentFont_ = value.Boolean();
    } else if (SameText(name, "Font.Name")) {
        font_.Name = value.Text();
        parentFont_ = false;
    } else if (SameText(name, "Font.Height")) {
        font_.Height = value.Integer();
        parentFont_ = false;
    } else if (SameText(name, "Font.Charset")) {
        font_.Charset = value.Charset();
        parentFont_ = false;
    } else if (SameText(name, "Font.Color")) {
        font_.Color = value.Color();
        parentFont_ = false;
    } else if (SameText(name, "Font.Style")) {
        font_.Style = value.FontStyles();
        parentFont_ = false;
    } else {
        return false;
    }
    return true;
}

void TControl::ScaleBy(int multiplier, int divisor)
{
    SetBounds(MulDiv(left_, multiplier, divisor), MulDiv(top_, multiplier, divisor),
              MulDiv(width_, multiplier, divisor), MulDiv(height_, multiplier, divisor));
    if (!parentFont_) {
        TFontData scaled = font_;
        scaled.Height = MulDiv(font_.Height, multiplier, divisor);
        SetFont(scaled);
    }
}

void TControl::CreateNative(backend::NativeForm &) {}

void TControl::AttachNative(std::unique_ptr<backend::NativeControl> native)
{
    native_ = std::move(native);
    native_->SetFont(font_);
    native_->SetColor(color_);
    native_->SetText(caption_);
    native_->SetBounds(left_, top_, width_, height_);
}

void TControl::SetFocus()
{
    if (native_)
        native_->SetFocus();
}

void TControl::Loaded()
{
    loading_ = false;
    if (parentFont_ && parentForm_ != nullptr)
        ParentFontChanged(parentForm_->GetFont());
}

void DispatchEvent(const TNotifyEvent &handler, TObject *sender)
{
    if (!handler)
        return;
    try {
        handler(sender);
    } catch (...) {
        Application->HandleException(sender);
    }
}

} // namespace vcl
