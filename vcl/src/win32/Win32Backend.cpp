// The layer's back end on Win32: real windows, real STATIC and BUTTON
// controls, GDI fonts and the system's message loop.
#include "vcl/Backend.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

#include <objbase.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <set>
#include <utility>
#include <vector>

namespace {

// Before any DLL is loaded by name, only the system directory is searched:
// a DLL planted beside the program (or in the working directory) under a
// system DLL's name is never picked up. Runs before WinMain and before the
// program's static initialisers (priority 101, the first one available).
__attribute__((constructor(101))) void RestrictDllSearch()
{
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI *)(DWORD);
    using SetDllDirectoryWFn = BOOL(WINAPI *)(LPCWSTR);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (kernel == nullptr)
        return;
    auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void *>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault != nullptr && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32))
        return;
    // Older systems: at least take the working directory off the path.
    auto setDirectory = reinterpret_cast<SetDllDirectoryWFn>(
        reinterpret_cast<void *>(GetProcAddress(kernel, "SetDllDirectoryW")));
    if (setDirectory != nullptr)
        setDirectory(L"");
}

} // namespace

// An exception nobody catches ends the program at once. The library's own
// handler would first print the exception's demangled type to a console
// this program does not have, and its demangler alone weighs 45 KB.
namespace __gnu_cxx {
void __verbose_terminate_handler()
{
    std::abort();
}
} // namespace __gnu_cxx

namespace vcl::win32 {
namespace {

const wchar_t kApplicationClass[] = L"VclApplication";
const wchar_t kFormClass[] = L"VclForm";

// A UTF-16 copy of a layer string, for the system's W calls. (A plain
// vector: the library's wide-string code would double the program's size.)
class Wide {
public:
    explicit Wide(const String &text)
    {
        const int length = text.empty() ? 0
                                        : MultiByteToWideChar(CP_UTF8, 0, text.data(),
                                                              static_cast<int>(text.size()),
                                                              nullptr, 0);
        chars_.resize(static_cast<std::size_t>(length) + 1, L'\0');
        if (length > 0)
            MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                chars_.data(), length);
    }
    const wchar_t *c_str() const { return chars_.data(); }
    int size() const { return static_cast<int>(chars_.size()) - 1; }

private:
    std::vector<wchar_t> chars_;
};

COLORREF ToColorRef(TColor color)
{
    if (IsSystemColor(color))
        return GetSysColor(color & 0xFF);
    return static_cast<COLORREF>(color & 0xFFFFFF);
}

// Fonts live as long as the process: controls share them, and a font is
// never freed while a control still shows it.
HFONT FontOf(const TFontData &data)
{
    static std::vector<std::pair<TFontData, HFONT>> fonts;
    for (const auto &entry : fonts) {
        TFontData key = entry.first;
        key.Color = data.Color; // the colour is not part of a GDI font
        if (key == data)
            return entry.second;
    }
    HFONT font = CreateFontW(data.Height, 0, 0, 0, (data.Style & fsBold) != 0 ? FW_BOLD : FW_NORMAL,
                             (data.Style & fsItalic) != 0, (data.Style & fsUnderline) != 0,
                             (data.Style & fsStrikeOut) != 0, static_cast<DWORD>(data.Charset),
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, Wide(data.Name).c_str());
    if (font == nullptr)
        font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    fonts.emplace_back(data, font);
    return font;
}

// The program's icon at one size, loaded once and kept: a shared load
// would hand back the first size asked for, whatever the size.
HICON LoadMainIcon(int size)
{
    static std::vector<std::pair<int, HICON>> icons;
    for (const auto &entry : icons)
        if (entry.first == size)
            return entry.second;
    HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON,
                                               size, size, LR_DEFAULTCOLOR));
    if (icon != nullptr)
        icons.emplace_back(size, icon);
    return icon;
}

// An icon from decoded pixels (0xAARRGGBB, top row first).
HICON IconFromImage(const TIconImage &image)
{
    if (image.Width <= 0 || image.Height <= 0)
        return nullptr;
    BITMAPV5HEADER header{};
    header.bV5Size = sizeof header;
    header.bV5Width = image.Width;
    header.bV5Height = -image.Height;
    header.bV5Planes = 1;
    header.bV5BitCount = 32;
    header.bV5Compression = BI_BITFIELDS;
    header.bV5RedMask = 0x00FF0000;
    header.bV5GreenMask = 0x0000FF00;
    header.bV5BlueMask = 0x000000FF;
    header.bV5AlphaMask = 0xFF000000;
    void *bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP color = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO *>(&header),
                                     DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (color == nullptr)
        return nullptr;
    std::copy(image.Pixels.begin(), image.Pixels.end(), static_cast<std::uint32_t *>(bits));
    HBITMAP mask = CreateBitmap(image.Width, image.Height, 1, 1, nullptr);
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmColor = color;
    info.hbmMask = mask;
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(color);
    DeleteObject(mask);
    return icon;
}

class Backend;
class FormWindow;

// ------------------------------------------------------------ controls

class ControlWindow : public backend::NativeControl {
public:
    ControlWindow(FormWindow &form, HWND handle, TColor color, TButton *button)
        : form_(form), handle_(handle), button_(button)
    {
        SetWindowLongPtrW(handle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~ControlWindow() override;

    void SetBounds(int left, int top, int width, int height) override;
    void SetText(const String &text) override { SetWindowTextW(handle_, Wide(text).c_str()); }
    void SetFont(const TFontData &font) override
    {
        textColor_ = font.Color;
        SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(font)), TRUE);
    }
    void SetColor(TColor) override {}
    void SetFocus() override;

    HWND Handle() const { return handle_; }
    TButton *Button() const { return button_; }
    TColor TextColor() const { return textColor_; }
    int Left() const { return left_; }
    int Top() const { return top_; }
    void Place();

private:
    FormWindow &form_;
    HWND handle_;
    TButton *button_;
    TColor textColor_ = clWindowText;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
};

ControlWindow *ControlOf(HWND handle);

// ---------------------------------------------------------------- forms

class FormWindow : public backend::NativeForm {
public:
    FormWindow(Backend &backend, TForm &form, HWND owner);
    ~FormWindow() override;

    HWND Handle() const override { return handle_; }
    void SetBounds(int left, int top, int width, int height) override
    {
        SetWindowPos(handle_, nullptr, left, top, width, height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void SetText(const String &text) override { SetWindowTextW(handle_, Wide(text).c_str()); }
    void SetFont(const TFontData &) override {}
    void SetColor(TColor color) override
    {
        color_ = color;
        if (ownsBrush_)
            DeleteObject(brush_);
        ownsBrush_ = !IsSystemColor(color);
        brush_ = ownsBrush_ ? CreateSolidBrush(ToColorRef(color))
                            : GetSysColorBrush(color & 0xFF);
        InvalidateRect(handle_, nullptr, TRUE);
    }
    void SetFocus() override { ::SetFocus(handle_); }
    void SetIcon(const TIconImage &image) override
    {
        // The program's own icon where it carries one, at the sizes the
        // system asks for; else the form's decoded image.
        HICON big = LoadMainIcon(GetSystemMetrics(SM_CXICON));
        HICON small = LoadMainIcon(GetSystemMetrics(SM_CXSMICON));
        if (big == nullptr || small == nullptr) {
            if (ownIcon_ != nullptr)
                DestroyIcon(ownIcon_);
            ownIcon_ = IconFromImage(image);
            big = small = ownIcon_;
        }
        SendMessageW(handle_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
        SendMessageW(handle_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    }
    void SetScrollExtent(int width, int height) override
    {
        extentWidth_ = width;
        extentHeight_ = height;
        UpdateScrollBars();
    }
    void Show(int showCommand) override
    {
        switch (showCommand) {
        case SW_SHOWMAXIMIZED:
            ShowWindow(handle_, SW_SHOWMAXIMIZED);
            break;
        case SW_SHOWMINIMIZED:
        case SW_SHOWMINNOACTIVE:
            // Minimised on the task bar; restoring shows the normal bounds.
            ShowWindow(handle_, showCommand);
            break;
        default:
            ShowWindow(handle_, SW_SHOWNORMAL);
            SetForegroundWindow(handle_);
            break;
        }
        UpdateWindow(handle_);
    }
    void Hide() override { ShowWindow(handle_, SW_HIDE); }
    bool IsVisible() const override { return IsWindowVisible(handle_) != FALSE; }
    LONG Style() const override { return GetWindowLongA(handle_, GWL_STYLE); }
    void SetStyle(LONG style) override
    {
        SetWindowLongA(handle_, GWL_STYLE, style);
        SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void RedrawFrame() override
    {
        RedrawWindow(handle_, nullptr, nullptr,
                     RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }

    TForm &Form() const { return form_; }
    int ScrollX() const { return scrollX_; }
    int ScrollY() const { return scrollY_; }
    void WantFocus(HWND control) { focus_ = control; }
    HWND WantedFocus() const { return focus_; }
    void Forget(ControlWindow *control)
    {
        controls_.erase(control);
        if (focus_ == control->Handle())
            focus_ = nullptr;
    }
    void Adopt(ControlWindow *control) { controls_.insert(control); }

    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void UpdateScrollBars();
    void ScrollTo(int x, int y);
    void OnScroll(int bar, int request);

    Backend &backend_;
    TForm &form_;
    HWND handle_ = nullptr;
    TColor color_ = clBtnFace;
    HBRUSH brush_ = GetSysColorBrush(COLOR_BTNFACE);
    bool ownsBrush_ = false;
    HICON ownIcon_ = nullptr;
    int extentWidth_ = 0;
    int extentHeight_ = 0;
    int scrollX_ = 0;
    int scrollY_ = 0;
    bool updatingBars_ = false;
    HWND focus_ = nullptr;
    std::set<ControlWindow *> controls_;
};

FormWindow *FormOf(HWND handle)
{
    wchar_t name[32];
    if (handle == nullptr || GetClassNameW(handle, name, 32) == 0 ||
        lstrcmpW(name, kFormClass) != 0)
        return nullptr;
    DWORD process = 0;
    GetWindowThreadProcessId(handle, &process);
    if (process != GetCurrentProcessId())
        return nullptr;
    return reinterpret_cast<FormWindow *>(GetWindowLongPtrW(handle, GWLP_USERDATA));
}

ControlWindow *ControlOf(HWND handle)
{
    HWND parent = handle != nullptr ? GetParent(handle) : nullptr;
    if (FormOf(parent) == nullptr)
        return nullptr;
    return reinterpret_cast<ControlWindow *>(GetWindowLongPtrW(handle, GWLP_USERDATA));
}

void ControlWindow::SetBounds(int left, int top, int width, int height)
{
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    Place();
}

void ControlWindow::Place()
{
    SetWindowPos(handle_, nullptr, left_ - form_.ScrollX(), top_ - form_.ScrollY(), width_,
                 height_, SWP_NOZORDER | SWP_NOACTIVATE);
}

void ControlWindow::SetFocus()
{
    // The form restores this focus whenever it is activated; while it is
    // hidden or minimised, the focus waits for that.
    form_.WantFocus(handle_);
    if (IsWindowVisible(form_.Handle()) && !IsIconic(form_.Handle()))
        ::SetFocus(handle_);
}

ControlWindow::~ControlWindow()
{
    form_.Forget(this);
    if (IsWindow(handle_)) {
        SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
        DestroyWindow(handle_);
    }
}

void FormWindow::UpdateScrollBars()
{
    if (updatingBars_ || handle_ == nullptr)
        return;
    updatingBars_ = true;
    // The client area without any scroll bar, then take out the room of
    // each bar needed; one bar can make the other needed.
    RECT client;
    GetClientRect(handle_, &client);
    const LONG style = GetWindowLongW(handle_, GWL_STYLE);
    int width = client.right + ((style & WS_VSCROLL) != 0 ? GetSystemMetrics(SM_CXVSCROLL) : 0);
    int height = client.bottom + ((style & WS_HSCROLL) != 0 ? GetSystemMetrics(SM_CYHSCROLL) : 0);
    bool horizontal = extentWidth_ > width;
    bool vertical = extentHeight_ > height;
    if (horizontal)
        height -= GetSystemMetrics(SM_CYHSCROLL);
    if (!vertical && extentHeight_ > height)
        vertical = true;
    if (vertical)
        width -= GetSystemMetrics(SM_CXVSCROLL);
    if (!horizontal && extentWidth_ > width) {
        horizontal = true;
        height -= GetSystemMetrics(SM_CYHSCROLL);
    }
    if (IsIconic(handle_)) {
        updatingBars_ = false;
        return;
    }
    ShowScrollBar(handle_, SB_HORZ, horizontal);
    ShowScrollBar(handle_, SB_VERT, vertical);
    const int x = horizontal ? std::clamp(scrollX_, 0, std::max(0, extentWidth_ - width)) : 0;
    const int y = vertical ? std::clamp(scrollY_, 0, std::max(0, extentHeight_ - height)) : 0;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    if (horizontal) {
        info.nMax = extentWidth_ - 1;
        info.nPage = static_cast<UINT>(std::max(width, 0));
        info.nPos = x;
        SetScrollInfo(handle_, SB_HORZ, &info, TRUE);
    }
    if (vertical) {
        info.nMax = extentHeight_ - 1;
        info.nPage = static_cast<UINT>(std::max(height, 0));
        info.nPos = y;
        SetScrollInfo(handle_, SB_VERT, &info, TRUE);
    }
    ScrollTo(x, y);
    updatingBars_ = false;
}

void FormWindow::ScrollTo(int x, int y)
{
    if (x == scrollX_ && y == scrollY_)
        return;
    const int dx = scrollX_ - x;
    const int dy = scrollY_ - y;
    scrollX_ = x;
    scrollY_ = y;
    ScrollWindowEx(handle_, dx, dy, nullptr, nullptr, nullptr, nullptr,
                   SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
}

void FormWindow::OnScroll(int bar, int request)
{
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    if (!GetScrollInfo(handle_, bar, &info))
        return;
    int position = info.nPos;
    const int page = static_cast<int>(info.nPage);
    switch (request) {
    case SB_LINEUP: position -= 8; break;
    case SB_LINEDOWN: position += 8; break;
    case SB_PAGEUP: position -= page; break;
    case SB_PAGEDOWN: position += page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: position = info.nTrackPos; break;
    case SB_TOP: position = info.nMin; break;
    case SB_BOTTOM: position = info.nMax; break;
    default: return;
    }
    position = std::clamp(position, info.nMin, std::max(info.nMin, info.nMax - page + 1));
    info.fMask = SIF_POS;
    info.nPos = position;
    SetScrollInfo(handle_, bar, &info, TRUE);
    if (bar == SB_HORZ)
        ScrollTo(position, scrollY_);
    else
        ScrollTo(scrollX_, position);
}

LRESULT FormWindow::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        // A close from outside (the task bar, the system) goes through
        // the form's normal close.
        if (!form_.IsClosed())
            form_.CloseRequested();
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && lParam != 0) {
            ControlWindow *control = ControlOf(reinterpret_cast<HWND>(lParam));
            if (control != nullptr && controls_.count(control) != 0 &&
                control->Button() != nullptr)
                control->Button()->Click();
        }
        // Anything else (IDOK, IDCANCEL from the dialog keys) does nothing.
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        ControlWindow *control = ControlOf(reinterpret_cast<HWND>(lParam));
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, ToColorRef(control != nullptr ? control->TextColor() : clWindowText));
        SetBkColor(dc, ToColorRef(color_));
        return reinterpret_cast<LRESULT>(brush_);
    }
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(handle_, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, brush_);
        return 1;
    }
    case WM_SIZE:
        UpdateScrollBars();
        break;
    case WM_HSCROLL:
        OnScroll(SB_HORZ, LOWORD(wParam));
        return 0;
    case WM_VSCROLL:
        OnScroll(SB_VERT, LOWORD(wParam));
        return 0;
    case WM_MOUSEWHEEL:
        if ((GetWindowLongW(handle_, GWL_STYLE) & WS_VSCROLL) != 0) {
            const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
            for (int i = 0; i < (notches < 0 ? -notches : notches) * 3; ++i)
                OnScroll(SB_VERT, notches < 0 ? SB_LINEDOWN : SB_LINEUP);
        }
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus != nullptr && GetParent(focus) == handle_)
                focus_ = focus;
        } else if (focus_ != nullptr && IsWindow(focus_) && !HIWORD(wParam)) {
            ::SetFocus(focus_);
            return 0;
        }
        break;
    case WM_SETFOCUS:
        if (focus_ != nullptr && IsWindow(focus_)) {
            ::SetFocus(focus_);
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(handle_, message, wParam, lParam);
}

LRESULT CALLBACK FormProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto *create = reinterpret_cast<CREATESTRUCTW *>(lParam);
        SetWindowLongPtrW(handle, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto *form = reinterpret_cast<FormWindow *>(GetWindowLongPtrW(handle, GWLP_USERDATA));
    if (form == nullptr || form->Handle() != handle)
        return DefWindowProcW(handle, message, wParam, lParam);
    return form->Dispatch(message, wParam, lParam);
}

// ----------------------------------------------------------- the back end

LRESULT CALLBACK ApplicationProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    const bool close = message == WM_CLOSE ||
                       (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE);
    if (close) {
        // Closing the application closes the main form, the normal way.
        TForm *main = Application->GetMainForm();
        if (main != nullptr && !main->IsClosed())
            main->CloseRequested();
        return 0;
    }
    return DefWindowProcW(handle, message, wParam, lParam);
}

class Backend : public backend::Backend {
public:
    void SetApplicationTitle(const String &title) override
    {
        title_ = title;
        SetWindowTextW(ApplicationWindow(), Wide(title).c_str());
    }

    std::unique_ptr<backend::NativeForm> CreateForm(TForm &form) override
    {
        auto window = std::make_unique<FormWindow>(*this, form, ApplicationWindow());
        forms_.insert(window.get());
        return window;
    }

    std::unique_ptr<backend::NativeControl> CreateLabel(TLabel &label,
                                                        backend::NativeForm &parent) override
    {
        return CreateControl(parent, L"STATIC", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                             nullptr);
    }

    std::unique_ptr<backend::NativeControl> CreateButton(TButton &button,
                                                         backend::NativeForm &parent) override
    {
        return CreateControl(parent, L"BUTTON",
                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, &button);
    }

    TSize TextExtent(const TFontData &font, const String &text) override
    {
        const Wide wide(text);
        HDC dc = GetDC(nullptr);
        HGDIOBJ previous = SelectObject(dc, FontOf(font));
        RECT bounds{0, 0, 0, 0};
        DrawTextW(dc, wide.c_str(), wide.size(), &bounds,
                  DT_CALCRECT | DT_NOPREFIX | DT_LEFT);
        SelectObject(dc, previous);
        ReleaseDC(nullptr, dc);
        return {bounds.right - bounds.left, bounds.bottom - bounds.top};
    }

    int TextHeight(const TFontData &font) override
    {
        HDC dc = GetDC(nullptr);
        HGDIOBJ previous = SelectObject(dc, FontOf(font));
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, previous);
        ReleaseDC(nullptr, dc);
        return metrics.tmHeight;
    }

    int ScreenPixelsPerInch() override
    {
        HDC dc = GetDC(nullptr);
        const int density = GetDeviceCaps(dc, LOGPIXELSY);
        ReleaseDC(nullptr, dc);
        return density > 0 ? density : 96;
    }

    int StartupShowCommand() override
    {
        STARTUPINFOW info{};
        info.cb = sizeof info;
        GetStartupInfoW(&info);
        return (info.dwFlags & STARTF_USESHOWWINDOW) != 0 ? info.wShowWindow : SW_SHOWNORMAL;
    }

    void RunMessageLoop() override
    {
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            if (FilterKey(message))
                continue;
            HWND root = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
            if (FormOf(root) != nullptr && IsDialogMessageW(root, &message))
                continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    void Quit() override { PostQuitMessage(0); }

    void ShowErrorBox(const String &caption, const String &message) override
    {
        MessageBoxW(ApplicationWindow(), Wide(message).c_str(), Wide(caption).c_str(),
                    MB_OK | MB_ICONERROR);
    }

    std::optional<String> ResourceText(const String &name) override
    {
        HMODULE module = GetModuleHandleW(nullptr);
        HRSRC resource = FindResourceA(module, name.c_str(), MAKEINTRESOURCEA(10) /* RCDATA */);
        if (resource == nullptr)
            return std::nullopt;
        HGLOBAL loaded = LoadResource(module, resource);
        const DWORD size = SizeofResource(module, resource);
        const void *data = loaded != nullptr ? LockResource(loaded) : nullptr;
        if (data == nullptr)
            return std::nullopt;
        return String(static_cast<const char *>(data), size);
    }

    backend::NativeForm *FromHandle(HWND handle) override
    {
        FormWindow *form = FormOf(handle);
        return forms_.count(form) != 0 ? form : nullptr;
    }

    void Forget(FormWindow *form) { forms_.erase(form); }

    HWND ApplicationWindow()
    {
        Start();
        return application_;
    }

private:
    void Start()
    {
        if (started_)
            return;
        started_ = true;
        // The shell's open request may go through COM; the apartment is
        // set up once, before the first request.
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);

        HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */);
        windowClass.hIcon = LoadMainIcon(GetSystemMetrics(SM_CXICON));
        windowClass.hIconSm = LoadMainIcon(GetSystemMetrics(SM_CXSMICON));

        windowClass.lpfnWndProc = ApplicationProc;
        windowClass.lpszClassName = kApplicationClass;
        RegisterClassExW(&windowClass);

        windowClass.lpfnWndProc = FormProc;
        windowClass.lpszClassName = kFormClass;
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.style = CS_DBLCLKS;
        RegisterClassExW(&windowClass);

        // The application's own window: never shown, it carries the
        // application's title and owns the forms and the error reports.
        application_ = CreateWindowExW(0, kApplicationClass, Wide(title_).c_str(),
                                       WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX |
                                           WS_CLIPSIBLINGS,
                                       0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    }

    // Enter (without Shift, Ctrl or Alt) clicks the focused button;
    // Escape does nothing. Neither reaches the dialog keys' handling, which
    // would turn them into IDOK and IDCANCEL.
    bool FilterKey(const MSG &message)
    {
        const bool key = message.message == WM_KEYDOWN || message.message == WM_CHAR ||
                         message.message == WM_KEYUP;
        if (!key || (message.wParam != VK_RETURN && message.wParam != VK_ESCAPE))
            return false;
        HWND root = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
        if (FormOf(root) == nullptr)
            return false;
        if (message.wParam == VK_ESCAPE || message.message != WM_KEYDOWN)
            return message.message != WM_KEYUP;
        const bool modified = (GetKeyState(VK_SHIFT) & 0x8000) != 0 ||
                              (GetKeyState(VK_CONTROL) & 0x8000) != 0 ||
                              (GetKeyState(VK_MENU) & 0x8000) != 0;
        const bool repeated = (message.lParam & (1L << 30)) != 0;
        ControlWindow *control = ControlOf(GetFocus());
        if (!modified && !repeated && control != nullptr && control->Button() != nullptr &&
            GetAncestor(control->Handle(), GA_ROOT) == root)
            control->Button()->Click();
        return true;
    }

    std::unique_ptr<backend::NativeControl> CreateControl(backend::NativeForm &parent,
                                                          const wchar_t *windowClass,
                                                          DWORD style, TButton *button)
    {
        auto &form = static_cast<FormWindow &>(parent);
        HWND handle = CreateWindowExW(0, windowClass, L"", style, 0, 0, 0, 0, form.Handle(),
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextId_++)),
                                      GetModuleHandleW(nullptr), nullptr);
        if (handle == nullptr)
            throw EOSError("Impossible de créer le contrôle");
        auto control = std::make_unique<ControlWindow>(form, handle, clBtnFace, button);
        form.Adopt(control.get());
        return control;
    }

    bool started_ = false;
    HWND application_ = nullptr;
    String title_;
    std::set<FormWindow *> forms_;
    // Control identifiers start above IDOK, IDCANCEL and the other dialog
    // commands, so no dialog key can pass for a control.
    int nextId_ = 100;
};

FormWindow::FormWindow(Backend &backend, TForm &form, HWND owner) : backend_(backend), form_(form)
{
    handle_ = CreateWindowExW(WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, kFormClass, L"",
                              WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner,
                              nullptr, GetModuleHandleW(nullptr), this);
    if (handle_ == nullptr)
        throw EOSError("Impossible de créer la fenêtre");
}

FormWindow::~FormWindow()
{
    backend_.Forget(this);
    if (IsWindow(handle_)) {
        SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
        DestroyWindow(handle_);
    }
    if (ownsBrush_)
        DeleteObject(brush_);
    if (ownIcon_ != nullptr)
        DestroyIcon(ownIcon_);
}

Backend &TheBackend()
{
    // Never destroyed: forms destroyed late can still reach it.
    static auto *backend = new Backend;
    return *backend;
}

} // namespace
} // namespace vcl::win32

namespace vcl::backend {

Backend &Instance()
{
    return vcl::win32::TheBackend();
}

} // namespace vcl::backend
