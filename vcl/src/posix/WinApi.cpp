// The window-manager calls under their Windows names, translated to the
// back end's native forms.
#include "vcl/Backend.h"
#include "vcl/WinApi.h"

using vcl::backend::Instance;

LONG GetWindowLongA(HWND hWnd, int nIndex)
{
    auto *form = Instance().FromHandle(hWnd);
    if (form == nullptr || nIndex != GWL_STYLE)
        return 0;
    return form->Style();
}

LONG SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong)
{
    auto *form = Instance().FromHandle(hWnd);
    if (form == nullptr || nIndex != GWL_STYLE)
        return 0;
    const LONG previous = form->Style();
    form->SetStyle(dwNewLong);
    return previous;
}

BOOL RedrawWindow(HWND hWnd, const RECT *, HRGN, UINT flags)
{
    auto *form = Instance().FromHandle(hWnd);
    if (form == nullptr)
        return 0;
    if ((flags & (RDW_FRAME | RDW_INVALIDATE)) != 0 && (flags & RDW_UPDATENOW) != 0)
        form->RedrawFrame();
    return 1;
}
