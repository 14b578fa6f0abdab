// Forms and the application object.
#pragma once

#include "vcl/Controls.h"
#include "vcl/StdCtrls.h"

#include <vector>

namespace vcl {

class TApplication;

class TForm : public TControl {
public:
    explicit TForm(TComponent *Owner);
    ~TForm() override;

    // The native window handle; asking for it creates the window, hidden,
    // if it does not exist yet.
    TReadOnlyProperty<TForm, HWND> Handle{this, &TForm::GetHandle};
    HWND GetHandle() const;
    void HandleNeeded();
    bool HandleAllocated() const { return nativeForm_ != nullptr; }

    TNotifyEvent OnCreate;

    const TIcon &GetIcon() const { return icon_; }
    void SetIcon(const TIcon &icon);
    int GetPixelsPerInch() const { return pixelsPerInch_; }
    int GetDesignTextHeight() const { return textHeight_; }
    bool GetOldCreateOrder() const { return oldCreateOrder_; }

    // Shows the window in the given show state (SW_*) and gives the focus
    // to the first control in tab order that takes it.
    void Show(int showCommand = SW_SHOWNORMAL);
    // The normal close: the main form's close ends the application, any
    // other form is hidden.
    void Close();
    bool IsClosed() const { return closed_; }

    // Reads the form description carried as the resource named after the
    // form class, creating and binding the published members and handlers.
    void ReadDescription(const TClassInfo &classInfo);
    // Runs OnCreate; an exception from it is reported, not passed on.
    void DoCreate();

    // The controls on this form, in creation order.
    const std::vector<TControl *> &Controls() const { return controls_; }
    void InsertControl(TControl *control);
    void RemoveControl(TControl *control);
    void ControlBoundsChanged();

    const char *ClassName() const override { return className_; }
    bool ReadProperty(const String &name, const TPropertyReader &value) override;
    void CreateNative(backend::NativeForm &) override {}
    void Loaded() override;

    // Called by a back end when something outside the program (the window
    // manager, the task bar) asks the window to close.
    void CloseRequested() { Close(); }

    backend::NativeForm *NativeForm() const { return nativeForm_.get(); }

protected:
    void FontChanged() override;

private:
    void ApplyDensity();

    const char *className_ = "TForm";
    TIcon icon_;
    int pixelsPerInch_ = 96;
    int textHeight_ = 0;
    bool oldCreateOrder_ = false;
    bool closed_ = false;
    std::vector<TControl *> controls_;
    std::unique_ptr<backend::NativeForm> nativeForm_;
};

class TApplication : public TComponent {
public:
    explicit TApplication(TComponent *Owner = nullptr);
    ~TApplication() override;
    const char *ClassName() const override { return "TApplication"; }

    // Runs the initialisation procedures registered with
    // RegisterInitProc, in order.
    void Initialize();
    static void RegisterInitProc(void (*procedure)());

    // The application's name: the desktop's name for the application, and
    // the caption of its error reports.
    TProperty<TApplication, String> Title{this, &TApplication::GetTitle,
                                          &TApplication::SetTitle};
    String GetTitle() const { return title_; }
    void SetTitle(const String &title);

    // Creates a form of class T, stores it in *reference and reads its
    // description. The first form created becomes the main form.
    template <class T>
    void CreateForm(T **reference);

    TForm *GetMainForm() const { return mainForm_; }

    // Shows the main form in the process's start-up show state and runs the
    // event loop until Terminate.
    void Run();
    void Terminate();
    bool GetTerminated() const { return terminated_; }

    // The standard error report: one modal box captioned with Title.
    void ShowException(Exception *E);
    // The standard handling of the exception being handled (call it from a
    // catch block): EAbort shows nothing, anything else is reported.
    void HandleException(TObject *Sender);

    // A form is being destroyed: the application forgets it.
    void FormDestroyed(TForm *form);

private:
    void FormCreated(TForm *form);

    String title_;
    TForm *mainForm_ = nullptr;
    bool terminated_ = false;
};

extern TApplication *Application;

template <class T>
void TApplication::CreateForm(T **reference)
{
    auto *form = new T(this);
    *reference = form;
    try {
        form->ReadDescription(ClassInfoOf<T>());
    } catch (...) {
        *reference = nullptr;
        delete form;
        throw;
    }
    form->DoCreate();
    FormCreated(form);
}

} // namespace vcl
