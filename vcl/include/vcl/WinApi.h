// The window-manager and shell calls the program makes, under their Windows
// names. On Windows they are the system's own. Elsewhere the layer declares
// them here, with the same names, types and constants, and translates them:
// the window style to the window manager's decoration hints, the open request
// to the desktop's open-with-the-registered-program service.
#pragma once

#if defined(_WIN32)

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <shellapi.h>

#else

#include <cstdint>

#define WINAPI

struct HWND__;
struct HINSTANCE__;
struct HRGN__;

using HWND = HWND__ *;
using HINSTANCE = HINSTANCE__ *;
using HRGN = HRGN__ *;
using LONG = std::int32_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using INT = int;
using BOOL = int;
using LPSTR = char *;
using LPCSTR = const char *;

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

constexpr int GWL_STYLE = -16;
constexpr int GWL_EXSTYLE = -20;

constexpr LONG WS_OVERLAPPED = 0x00000000;
constexpr LONG WS_MAXIMIZEBOX = 0x00010000;
constexpr LONG WS_MINIMIZEBOX = 0x00020000;
constexpr LONG WS_THICKFRAME = 0x00040000;
constexpr LONG WS_SYSMENU = 0x00080000;
constexpr LONG WS_DLGFRAME = 0x00400000;
constexpr LONG WS_BORDER = 0x00800000;
constexpr LONG WS_CAPTION = WS_BORDER | WS_DLGFRAME;
constexpr LONG WS_CLIPCHILDREN = 0x02000000;
constexpr LONG WS_CLIPSIBLINGS = 0x04000000;
constexpr LONG WS_VISIBLE = 0x10000000;
constexpr LONG WS_OVERLAPPEDWINDOW =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

constexpr UINT RDW_INVALIDATE = 0x0001;
constexpr UINT RDW_ERASE = 0x0004;
constexpr UINT RDW_UPDATENOW = 0x0100;
constexpr UINT RDW_FRAME = 0x0400;

constexpr INT SW_HIDE = 0;
constexpr INT SW_SHOWNORMAL = 1;
constexpr INT SW_SHOWMINIMIZED = 2;
constexpr INT SW_SHOWMAXIMIZED = 3;
constexpr INT SW_SHOWMINNOACTIVE = 7;
constexpr INT SW_SHOWDEFAULT = 10;

// ShellExecuteA's results: above 32 means the request was handed on.
constexpr INT SE_ERR_FNF = 2;
constexpr INT SE_ERR_ACCESSDENIED = 5;
constexpr INT SE_ERR_OOM = 8;
constexpr INT SE_ERR_NOASSOC = 31;
constexpr INT SE_OK = 42;

LONG GetWindowLongA(HWND hWnd, int nIndex);
LONG SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong);
BOOL RedrawWindow(HWND hWnd, const RECT *lprcUpdate, HRGN hrgnUpdate, UINT flags);
HINSTANCE ShellExecuteA(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters,
                        LPCSTR lpDirectory, INT nShowCmd);

// The program's entry, as on Windows; the layer's main() calls it.
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);

#endif
