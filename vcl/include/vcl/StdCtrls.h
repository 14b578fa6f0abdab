// Labels and buttons.
#pragma once

#include "vcl/Controls.h"

namespace vcl {

// A label sizes itself to its text (the widest line, all lines high); it
// does not wrap words, and a line feed is the only line break.
class TLabel : public TControl {
public:
    explicit TLabel(TComponent *Owner);
    const char *ClassName() const override { return "TLabel"; }

    bool GetAutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);

    bool ReadProperty(const String &name, const TPropertyReader &value) override;
    void CreateNative(backend::NativeForm &parent) override;
    void Loaded() override;

protected:
    void CaptionChanged() override { AdjustBounds(); }
    void FontChanged() override { AdjustBounds(); }

private:
    void AdjustBounds();

    bool autoSize_ = true;
};

class TButton : public TControl {
public:
    explicit TButton(TComponent *Owner);
    const char *ClassName() const override { return "TButton"; }

    TNotifyEvent OnClick;

    bool CanFocus() const override { return true; }
    bool ReadProperty(const String &name, const TPropertyReader &value) override;
    void CreateNative(backend::NativeForm &parent) override;

    // The button was activated (a click, Enter or Space). Once its form has
    // been closed, further activations do nothing.
    void Click();
};

} // namespace vcl
