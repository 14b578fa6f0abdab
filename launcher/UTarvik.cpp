//---------------------------------------------------------------------------
#include "UTarvik.h"

#include <vcl/WinApi.h>

TFTarvik *FTarvik = nullptr;

//---------------------------------------------------------------------------
template <>
const TClassInfo &vcl::ClassInfoOf<TFTarvik>()
{
    static const TClassInfo info("TFTarvik", {
        Publish("BtnOK", &TFTarvik::BtnOK),
        Publish("Label1", &TFTarvik::Label1),
        Publish("Label2", &TFTarvik::Label2),
        Publish("FormCreate", &TFTarvik::FormCreate),
        Publish("BtnOKClick", &TFTarvik::BtnOKClick),
    });
    return info;
}

//---------------------------------------------------------------------------
TFTarvik::TFTarvik(TComponent *Owner) : TForm(Owner)
{
}

//---------------------------------------------------------------------------
void TFTarvik::FormCreate(TObject *Sender)
{
    // No window menu, hence no minimise, maximise or close button: OK is
    // the way out. The frame stays sizeable.
    HWND handle = Handle;
    LONG style = GetWindowLongA(handle, GWL_STYLE);
    style &= ~WS_SYSMENU;
    SetWindowLongA(handle, GWL_STYLE, style);
    RedrawWindow(handle, NULL, NULL, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);

    Label1->Caption = "Important information to read";

    String notice = "Lathmere is an Excel application. This can only work if when you open it, you allow the\nmacros.";
    notice += "\n\nThe entry sheet cutting list is not protected so you can use all the features of Excel. However,\nthis sheet has columns, rows, and fields";
    notice += " needed to run the application. If you delete them, you may\nmake the application unusable.";
    notice += "\nIn case due to improper handling or due to any problems the application becomes unusable, you\nhave a backup copy in the same directory as this one,";
    notice += "\ncalled 'Lathmere-copy.xls'. You will need to copy the file 'Lathmere-copy.xls' you\nrename";
    notice += " it 'Lathmere.xls' and it is this copy that you then use.";
    notice += "\nAlways keep a file 'Lathmere-copy.xls' backup in case the application you are using\nunusable.";
    notice += "\n\nYou can get this information again in the tab 'Help', section 'What if the application is damaged'.";
    Label2->Caption = notice;
}

//---------------------------------------------------------------------------
void TFTarvik::BtnOKClick(TObject *Sender)
{
    // Whatever the shell makes of the request, the launcher's work is done.
    ShellExecuteA(Handle, "OPEN", "DemoLathmere.xls", NULL, NULL, SW_SHOWNORMAL);
    Close();
}
//---------------------------------------------------------------------------
