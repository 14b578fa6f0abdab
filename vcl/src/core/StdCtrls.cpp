#include "vcl/StdCtrls.h"

#include "vcl/DfmReader.h"
#include "vcl/Forms.h"

namespace vcl {

TLabel::TLabel(TComponent *Owner) : TControl(Owner) {}

void TLabel::SetAutoSize(bool autoSize)
{
    autoSize_ = autoSize;
    AdjustBounds();
}

bool TLabel::ReadProperty(const String &name, const TPropertyReader &value)
{
    if (SameText(name, "AutoSize")) {
        autoSize_ = value.Boolean();
        return true;
    }
    return TControl::ReadProperty(name, value);
}

void TLabel::CreateNative(backend::NativeForm &parent)
{
    AttachNative(backend::Instance().CreateLabel(*this, parent));
}

void TLabel::Loaded()
{
    TControl::Loaded();
    AdjustBounds();
}

void TLabel::AdjustBounds()
{
    if (!autoSize_ || IsLoading())
        return;
    const TSize size = backend::Instance().TextExtent(GetFont(), GetCaption());
    SetBounds(GetLeft(), GetTop(), size.Width, size.Height);
}

TButton::TButton(TComponent *Owner) : TControl(Owner) {}

bool TButton::ReadProperty(const String &name, const TPropertyReader &value)
{
    if (SameText(name, "TabOrder")) {
        SetTabOrder(value.Integer());
        return true;
    }
    if (SameText(name, "OnClick")) {
        OnClick = value.Handler();
        return true;
    }
    return TControl::ReadProperty(name, value);
}

void TButton::CreateNative(backend::NativeForm &parent)
{
    AttachNative(backend::Instance().CreateButton(*this, parent));
}

void TButton::Click()
{
    const TForm *form = GetParentForm();
    if (form != nullptr && form->IsClosed())
        return;
    DispatchEvent(OnClick, this);
}

} // namespace vcl
