#include "vcl/Forms.h"

#include "vcl/DfmReader.h"
#include "vcl/Scaling.h"
#include "vcl/StartupTrace.h"

#include <algorithm>
#include <climits>

namespace vcl {
namespace {

std::vector<void (*)()> &InitProcs()
{
    static std::vector<void (*)()> procs;
    return procs;
}

TApplication applicationInstance;

} // namespace

TApplication *Application = &applicationInstance;

// ---------------------------------------------------------------- TForm

TForm::TForm(TComponent *Owner) : TControl(Owner)
{
    SetParentFont(false);
}

TForm::~TForm()
{
    // Controls go first: their native widgets live inside the form's.
    DestroyComponents();
    nativeForm_.reset();
    Application->FormDestroyed(this);
}

HWND TForm::GetHandle() const
{
    const_cast<TForm *>(this)->HandleNeeded();
    return nativeForm_->Handle();
}

void TForm::HandleNeeded()
{
    if (nativeForm_)
        return;
    auto native = backend::Instance().CreateForm(*this);
    native->SetFont(GetFont());
    native->SetColor(GetColor());
    native->SetText(GetCaption());
    native->SetBounds(GetLeft(), GetTop(), GetWidth(), GetHeight());
    if (!icon_.Empty())
        native->SetIcon(DecodeIcon(icon_.Data));
    nativeForm_ = std::move(native);
    for (TControl *control : controls_)
        control->CreateNative(*nativeForm_);
    ControlBoundsChanged();
}

void TForm::SetIcon(const TIcon &icon)
{
    if (!icon.Empty())
        DecodeIcon(icon.Data); // refuse a malformed icon here, not when shown
    icon_ = icon;
    if (nativeForm_ && !icon_.Empty())
        nativeForm_->SetIcon(DecodeIcon(icon_.Data));
}

void TForm::Show(int showCommand)
{
    HandleNeeded();
    closed_ = false;
    TControl *first = nullptr;
    for (TControl *control : controls_)
        if (control->CanFocus() &&
            (first == nullptr || control->GetTabOrder() < first->GetTabOrder()))
            first = control;
    if (first != nullptr)
        first->SetFocus();
    nativeForm_->Show(showCommand);
    if (first != nullptr)
        first->SetFocus();
}

void TForm::Close()
{
    if (closed_)
        return;
    closed_ = true;
    if (nativeForm_)
        nativeForm_->Hide();
    if (Application->GetMainForm() == this)
        Application->Terminate();
}

void TForm::ReadDescription(const TClassInfo &classInfo)
{
    className_ = classInfo.ClassName();
    const auto text = backend::Instance().ResourceText(classInfo.ClassName());
    if (!text)
        throw EResNotFound(String("Ressource ") + classInfo.ClassName() + " introuvable");
    try {
        ReadForm(*this, classInfo, *text);
    } catch (const EReadError &error) {
        throw EReadError(String("Erreur de lecture de la ressource ") + classInfo.ClassName() +
                             " : " + error.Message(),
                         error.Line(), error.Column());
    }
}

void TForm::DoCreate()
{
    DispatchEvent(OnCreate, this);
}

void TForm::InsertControl(TControl *control)
{
    controls_.push_back(control);
    control->SetParentForm(this);
    if (nativeForm_)
        control->CreateNative(*nativeForm_);
}

void TForm::RemoveControl(TControl *control)
{
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
}

void TForm::ControlBoundsChanged()
{
    if (!nativeForm_)
        return;
    int right = 0;
    int bottom = 0;
    for (const TControl *control : controls_) {
        right = std::max(right, control->GetLeft() + control->GetWidth());
        bottom = std::max(bottom, control->GetTop() + control->GetHeight());
    }
    nativeForm_->SetScrollExtent(right, bottom);
}

bool TForm::ReadProperty(const String &name, const TPropertyReader &value)
{
    if (SameText(name, "Icon.Data")) {
        TIcon icon;
        icon.Data = value.Binary();
        try {
            DecodeIcon(icon.Data);
        } catch (const EReadError &error) {
            value.Fail(error.Message());
        }
        icon_ = std::move(icon);
    } else if (SameText(name, "OldCreateOrder")) {
        oldCreateOrder_ = value.Boolean();
    } else if (SameText(name, "OnCreate")) {
        OnCreate = value.Handler();
    } else if (SameText(name, "PixelsPerInch")) {
        pixelsPerInch_ = value.Integer();
        if (pixelsPerInch_ <= 0 || pixelsPerInch_ > 10000)
            value.Fail("densité non valide");
    } else if (SameText(name, "TextHeight")) {
        textHeight_ = value.Integer();
        if (textHeight_ < 0 || textHeight_ > 10000)
            value.Fail("hauteur de texte non valide");
    } else if (SameText(name, "ParentFont")) {
        return false;
    } else {
        return TControl::ReadProperty(name, value);
    }
    return true;
}

void TForm::Loaded()
{
    TControl::Loaded();
    for (TControl *control : controls_)
        control->SetLoading(false);
    ApplyDensity();
    for (TControl *control : controls_)
        control->Loaded();
}

void TForm::ApplyDensity()
{
    auto &platform = backend::Instance();
    const TScaling scaling = ComputeScaling(
        pixelsPerInch_, textHeight_, GetFont().Height, platform.ScreenPixelsPerInch(),
        [this, &platform](int fontHeight) {
            TFontData font = GetFont();
            font.Height = fontHeight;
            return platform.TextHeight(font);
        });
    if (scaling.FontHeight != GetFont().Height) {
        TFontData font = GetFont();
        font.Height = scaling.FontHeight;
        SetFont(font);
    }
    if (scaling.ScalesControls())
        for (TControl *control : controls_)
            control->ScaleBy(scaling.Multiplier, scaling.Divisor);
}

void TForm::FontChanged()
{
    for (TControl *control : controls_)
        control->ParentFontChanged(GetFont());
}

// ---------------------------------------------------------- TApplication

TApplication::TApplication(TComponent *Owner) : TComponent(Owner) {}

TApplication::~TApplication() = default;

void TApplication::Initialize()
{
    for (auto *procedure : InitProcs())
        procedure();
}

void TApplication::RegisterInitProc(void (*procedure)())
{
    InitProcs().push_back(procedure);
}

void TApplication::SetTitle(const String &title)
{
    title_ = title;
    backend::Instance().SetApplicationTitle(title_);
}

void TApplication::FormCreated(TForm *form)
{
    if (mainForm_ == nullptr)
        mainForm_ = form;
}

void TApplication::FormDestroyed(TForm *form)
{
    if (mainForm_ == form)
        mainForm_ = nullptr;
}

void TApplication::Run()
{
    if (mainForm_ == nullptr || terminated_)
        return;
    auto &platform = backend::Instance();
    VCL_TRACE("show");
    mainForm_->Show(platform.StartupShowCommand());
    if (!terminated_)
        platform.RunMessageLoop();
}

void TApplication::Terminate()
{
    terminated_ = true;
    backend::Instance().Quit();
}

void TApplication::ShowException(Exception *E)
{
    if (E == nullptr)
        return;
    backend::Instance().ShowErrorBox(title_, ErrorReportText(E->Message()));
}

void TApplication::HandleException(TObject *)
{
    try {
        try {
            throw;
        } catch (const EAbort &) {
        } catch (Exception &error) {
            ShowException(&error);
        } catch (const std::exception &error) {
            Exception wrapped(error.what());
            ShowException(&wrapped);
        } catch (...) {
            Exception wrapped("Exception de type inconnu");
            ShowException(&wrapped);
        }
    } catch (...) {
        // The report itself failed; there is nowhere left to report to.
    }
}

} // namespace vcl
