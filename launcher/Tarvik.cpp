//---------------------------------------------------------------------------
// Tarvik: shows the notice about the Lathmere workbook, then opens the demo
// workbook with the program registered for it.
//---------------------------------------------------------------------------
#include <vcl/Forms.h>
#include <vcl/WinApi.h>

#include "UTarvik.h"

//---------------------------------------------------------------------------
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    try
    {
        Application->Initialize();
        Application->Title = "Tarvik";
        Application->CreateForm(&FTarvik);
        Application->Run();
    }
    catch (Exception &exception)
    {
        Application->ShowException(&exception);
        // Nothing was shown or opened: whoever started us must not read
        // this as success.
        return 1;
    }
    return 0;
}
//---------------------------------------------------------------------------
