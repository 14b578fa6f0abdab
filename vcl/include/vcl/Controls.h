// The base of every visual component: bounds, caption, font and colour, kept
// in the core and pushed to the native control once it exists.
#pragma once

#include "vcl/Backend.h"
#include "vcl/Classes.h"
#include "vcl/Graphics.h"

namespace vcl {

class TForm;
class TPropertyReader;

class TControl : public TComponent {
public:
    explicit TControl(TComponent *Owner);

    TProperty<TControl, String> Caption{this, &TControl::GetCaption, &TControl::SetCaption};

    String GetCaption() const { return caption_; }
    void SetCaption(const String &caption);

    int GetLeft() const { return left_; }
    int GetTop() const { return top_; }
    int GetWidth() const { return width_; }
    int GetHeight() const { return height_; }
    void SetBounds(int left, int top, int width, int height);

    const TFontData &GetFont() const { return font_; }
    void SetFont(const TFontData &font);
    bool GetParentFont() const { return parentFont_; }
    void SetParentFont(bool parentFont);

    TColor GetColor() const { return color_; }
    void SetColor(TColor color);

    int GetTabOrder() const { return tabOrder_; }
    void SetTabOrder(int tabOrder) { tabOrder_ = tabOrder; }
    virtual bool CanFocus() const { return false; }

    // The form the control sits on; null for a form itself.
    TForm *GetParentForm() const { return parentForm_; }
    void SetParentForm(TForm *form);

    // Reads one property of a form description; false when the name is
    // not one of this class's.
    virtual bool ReadProperty(const String &name, const TPropertyReader &value);

    // Multiplies bounds and own font by multiplier / divisor.
    virtual void ScaleBy(int multiplier, int divisor);

    // Creates the native control on `parent` and pushes every setting.
    virtual void CreateNative(backend::NativeForm &parent);
    backend::NativeControl *Native() const { return native_.get(); }
    void DestroyNative() { native_.reset(); }
    void SetFocus();

    // The form's font changed: a control using it follows.
    void ParentFontChanged(const TFontData &font);

    void Loaded() override;
    bool IsLoading() const { return loading_; }
    void SetLoading(bool loading) { loading_ = loading; }

protected:
    virtual void CaptionChanged() {}
    virtual void FontChanged() {}
    void BoundsChanged();
    void AttachNative(std::unique_ptr<backend::NativeControl> native);

private:
    String caption_;
    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
    TFontData font_;
    bool parentFont_ = true;
    TColor color_ = clBtnFace;
    int tabOrder_ = -1;
    TForm *parentForm_ = nullptr;
    bool loading_ = false;
    std::unique_ptr<backend::NativeControl> native_;
};

// Runs an event handler; an exception that leaves it goes to the
// application's standard handling, and the caller carries on.
void DispatchEvent(const TNotifyEvent &handler, TObject *sender);

} // namespace vcl
