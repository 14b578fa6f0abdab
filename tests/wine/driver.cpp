// End-to-end driver: starts the built program the way a shell would (a
// chosen working directory and show state), finds its windows, reads and
// drives them from outside, and checks what comes out: the exit code, the
// document the shell was asked to open, the error report.
//
//   driver.exe APPDIR WORKDIR EMPTYDIR RECORDFILE
// APPDIR holds Tarvik.exe, Tarvik-without-form.exe, probe.exe and the
// planted DLLs; WORKDIR holds DemoLathmere.xls, EMPTYDIR does not; the
// program registered for .xls appends each path it is given to RECORDFILE.
// Prints one line per check and "N passed, M failed"; exit 1 on a failure.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

int passed = 0;
int failed = 0;
std::string current;

void Check(bool ok, const std::string &what)
{
    std::printf("%s %s: %s\n", ok ? "PASS" : "FAIL", current.c_str(), what.c_str());
    std::fflush(stdout);
    ++(ok ? passed : failed);
}

std::wstring Wide(const char *text)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), length);
    wide.resize(wcslen(wide.c_str()));
    return wide;
}

std::string Narrow(const std::wstring &text)
{
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr,
                                           nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, narrow.data(), length, nullptr, nullptr);
    narrow.resize(std::strlen(narrow.c_str()));
    return narrow;
}

std::wstring TextOf(HWND window)
{
    wchar_t text[4096];
    const int length = GetWindowTextW(window, text, 4096);
    return std::wstring(text, static_cast<std::size_t>(length > 0 ? length : 0));
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[256];
    const int length = GetClassNameW(window, name, 256);
    return std::wstring(name, static_cast<std::size_t>(length > 0 ? length : 0));
}

struct Process {
    PROCESS_INFORMATION info{};
    bool started = false;
};

Process Start(const std::wstring &exe, const std::wstring &directory, WORD show)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = show;
    std::wstring commandLine = L"\"" + exe + L"\"";
    Process process;
    process.started = CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                     nullptr, directory.c_str(), &startup, &process.info) != 0;
    return process;
}

// Exit code, or -1 if still running after `ms` (then it is ended).
long WaitExit(Process &process, DWORD ms)
{
    if (!process.started)
        return -2;
    if (WaitForSingleObject(process.info.hProcess, ms) != WAIT_OBJECT_0) {
        TerminateProcess(process.info.hProcess, 99);
        WaitForSingleObject(process.info.hProcess, 5000);
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(process.info.hProcess, &code);
    CloseHandle(process.info.hProcess);
    CloseHandle(process.info.hThread);
    process.started = false;
    return static_cast<long>(code);
}

struct Search {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND window, LPARAM data)
{
    auto *search = reinterpret_cast<Search *>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->pid)
        search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> TopWindowsOf(DWORD pid)
{
    Search search{pid, {}};
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The process's top-level window with this caption (and class, if given),
// waiting up to `ms` for it to be there and, if asked, visible.
HWND FindTop(DWORD pid, const wchar_t *caption, const wchar_t *windowClass, bool visible,
             DWORD ms)
{
    const DWORD until = GetTickCount() + ms;
    do {
        for (HWND window : TopWindowsOf(pid))
            if (TextOf(window) == caption &&
                (windowClass == nullptr || ClassOf(window) == windowClass) &&
                (!visible || IsWindowVisible(window)))
                return window;
        Sleep(50);
    } while (GetTickCount() < until);
    return nullptr;
}

std::vector<HWND> ChildrenOf(HWND parent)
{
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

RECT ClientBounds(HWND child, HWND parent)
{
    RECT bounds;
    GetWindowRect(child, &bounds);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT *>(&bounds), 2);
    return bounds;
}

HWND FocusOf(DWORD thread)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

void Key(HWND target, UINT key)
{
    const UINT scan = MapVirtualKeyW(key, 0 /* MAPVK_VK_TO_VSC */);
    PostMessageW(target, WM_KEYDOWN, key, 1 | (scan << 16));
    if (key == VK_RETURN)
        PostMessageW(target, WM_CHAR, L'\r', 1 | (scan << 16));
    if (key == VK_ESCAPE)
        PostMessageW(target, WM_CHAR, 0x1B, 1 | (scan << 16));
    PostMessageW(target, WM_KEYUP, key, 1 | (scan << 16) | (1u << 30) | (1u << 31));
}

std::wstring ReadRecord(const std::wstring &file)
{
    HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return std::wstring();
    wchar_t buffer[4096] = {};
    DWORD read = 0;
    ReadFile(handle, buffer, sizeof buffer - sizeof(wchar_t), &read, nullptr);
    CloseHandle(handle);
    return std::wstring(buffer, read / sizeof(wchar_t));
}

// What the shell handed to the registered program, waiting up to `ms`.
std::wstring WaitRecord(const std::wstring &file, DWORD ms)
{
    const DWORD until = GetTickCount() + ms;
    std::wstring text;
    while ((text = ReadRecord(file)).empty() && GetTickCount() < until)
        Sleep(100);
    return text;
}

bool SameText(const std::wstring &a, const std::wstring &b)
{
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

const char kNotice[] =
    "Lathmere is an Excel application. This can only work if when you open it, you allow "
    "the\nmacros.\n\nThe entry sheet cutting list is not protected so you can use all the "
    "features of Excel. However,\nthis sheet has columns, rows, and fields needed to run the "
    "application. If you delete them, you may\nmake the application unusable.\nIn case due to "
    "improper handling or due to any problems the application becomes unusable, you\nhave a "
    "backup copy in the same directory as this one,\ncalled 'Lathmere-copy.xls'. You will need "
    "to copy the file 'Lathmere-copy.xls' you\nrename it 'Lathmere.xls' and it is this copy "
    "that you then use.\nAlways keep a file 'Lathmere-copy.xls' backup in case the application "
    "you are using\nunusable.\n\nYou can get this information again in the tab 'Help', "
    "section 'What if the application is damaged'.";

struct Windows {
    HWND application = nullptr;
    HWND notice = nullptr;
};

Windows FindBoth(const Process &process)
{
    Windows found;
    found.notice = FindTop(process.info.dwProcessId, L"Lathmere", nullptr, true, 15000);
    found.application = FindTop(process.info.dwProcessId, L"Tarvik", nullptr, false, 1000);
    return found;
}

// Everything that can be read off the notice window once it is shown.
void CheckNoticeWindow(const Process &process, const Windows &windows)
{
    Check(windows.application != nullptr, "the application window is captioned \"Tarvik\"");
    Check(windows.notice != nullptr, "the notice window is captioned \"Lathmere\"");
    if (windows.notice == nullptr)
        return;
    Check(GetWindow(windows.notice, GW_OWNER) == windows.application,
          "the application window owns the notice window");
    const LONG style = GetWindowLongW(windows.notice, GWL_STYLE);
    Check((style & WS_SYSMENU) == 0, "WS_SYSMENU is cleared");
    Check((style & WS_THICKFRAME) != 0, "WS_THICKFRAME is kept");
    Check((style & WS_CAPTION) == WS_CAPTION, "the title bar is kept");
    Check((style & (WS_HSCROLL | WS_VSCROLL)) == 0,
          "no scroll bar while everything fits");
    RECT outer;
    GetWindowRect(windows.notice, &outer);
    char text[160];
    std::snprintf(text, sizeof text, "outer bounds 284,304 500x373 (got %ld,%ld %ldx%ld)",
                  outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top);
    Check(outer.left == 284 && outer.top == 304 && outer.right - outer.left == 500 &&
              outer.bottom - outer.top == 373,
          text);

    HWND heading = nullptr, notice = nullptr, button = nullptr;
    for (HWND child : ChildrenOf(windows.notice)) {
        const std::wstring caption = TextOf(child);
        if (SameText(ClassOf(child), L"Button") && caption == L"OK")
            button = child;
        else if (SameText(ClassOf(child), L"Static") &&
                 caption == Wide("Important information to read"))
            heading = child;
        else if (SameText(ClassOf(child), L"Static") && caption == Wide(kNotice))
            notice = child;
    }
    Check(heading != nullptr, "a STATIC shows the heading");
    Check(notice != nullptr, "a STATIC shows the 14-line notice");
    Check(button != nullptr, "a BUTTON shows OK");
    const struct {
        HWND window;
        const char *name;
        LONG left, top, width, height; // width/height < 0: not checked
    } places[] = {
        {heading, "Label1", 10, 10, -1, -1},
        {notice, "Label2", 10, 48, -1, -1},
        {button, "BtnOK", 190, 290, 105, 33},
    };
    for (const auto &place : places) {
        if (place.window == nullptr)
            continue;
        const RECT bounds = ClientBounds(place.window, windows.notice);
        std::snprintf(text, sizeof text, "%s at %ld,%ld (got %ld,%ld %ldx%ld)", place.name,
                      place.left, place.top, bounds.left, bounds.top, bounds.right - bounds.left,
                      bounds.bottom - bounds.top);
        Check(bounds.left == place.left && bounds.top == place.top &&
                  (place.width < 0 || (bounds.right - bounds.left == place.width &&
                                       bounds.bottom - bounds.top == place.height)),
              text);
    }
    if (notice != nullptr) {
        RECT bounds;
        GetClientRect(notice, &bounds);
        Check(bounds.bottom > 13 * 10 && bounds.right > 300,
              "the notice label is sized to its 14 lines");
    }
    if (heading != nullptr) {
        // What is on screen: the heading in red on the button-face colour.
        Sleep(300);
        RECT bounds;
        GetWindowRect(heading, &bounds);
        HDC screen = GetDC(nullptr);
        bool red = false;
        for (LONG y = bounds.top; y < bounds.bottom && !red; ++y)
            for (LONG x = bounds.left; x < bounds.right && !red; ++x) {
                const COLORREF pixel = GetPixel(screen, x, y);
                red = GetRValue(pixel) > 200 && GetGValue(pixel) < 80 && GetBValue(pixel) < 80;
            }
        RECT form;
        GetClientRect(windows.notice, &form);
        POINT corner{form.right - 3, 3};
        ClientToScreen(windows.notice, &corner);
        const COLORREF background = GetPixel(screen, corner.x, corner.y);
        ReleaseDC(nullptr, screen);
        Check(red, "the heading is drawn in red");
        Check(background == GetSysColor(COLOR_BTNFACE), "the background is the button face");
    }
    if (button != nullptr) {
        const LONG buttonStyle = GetWindowLongW(button, GWL_STYLE);
        Check((buttonStyle & WS_TABSTOP) != 0, "OK is a tab stop");
        const DWORD until = GetTickCount() + 3000;
        while (FocusOf(process.info.dwThreadId) != button && GetTickCount() < until)
            Sleep(50);
        Check(FocusOf(process.info.dwThreadId) == button, "OK has the focus");
    }
}

bool AnyErrorBox(DWORD pid)
{
    for (HWND window : TopWindowsOf(pid))
        if (ClassOf(window) == L"#32770" && IsWindowVisible(window))
            return true;
    return false;
}

struct Paths {
    std::wstring app, work, empty, record;
};

void DeleteRecord(const Paths &paths) { DeleteFileW(paths.record.c_str()); }

// OK through a key: the shell is asked to open the workbook in the working
// directory, and the program ends with 0.
void OkByKey(const Paths &paths, UINT key, bool fullChecks)
{
    DeleteRecord(paths);
    Process process = Start(paths.app + L"\\Tarvik.exe", paths.work, SW_SHOWNORMAL);
    Check(process.started, "the program starts");
    const Windows windows = FindBoth(process);
    if (fullChecks) {
        CheckNoticeWindow(process, windows);
    } else {
        Check(windows.notice != nullptr, "the notice window is shown");
        const DWORD until = GetTickCount() + 3000;
        while (FocusOf(process.info.dwThreadId) == nullptr && GetTickCount() < until)
            Sleep(50);
    }
    HWND focus = FocusOf(process.info.dwThreadId);
    if (fullChecks && focus != nullptr) {
        // Tab keeps the focus on OK, the only tab stop, and clicks nothing.
        Key(focus, VK_TAB);
        Sleep(500);
        Check(FocusOf(process.info.dwThreadId) == focus &&
                  WaitForSingleObject(process.info.hProcess, 0) == WAIT_TIMEOUT,
              "Tab keeps the focus on OK");
        // Escape does nothing: the window stays, nothing is opened.
        Key(focus, VK_ESCAPE);
        Sleep(700);
        Check(WaitForSingleObject(process.info.hProcess, 0) == WAIT_TIMEOUT &&
                  IsWindowVisible(windows.notice),
              "Escape leaves the window open");
        Check(ReadRecord(paths.record).empty(), "Escape opens nothing");
        Check(!AnyErrorBox(process.info.dwProcessId), "Escape shows no box");
        focus = FocusOf(process.info.dwThreadId);
    }
    if (focus != nullptr && key == 0)
        PostMessageW(focus, BM_CLICK, 0, 0); // a mouse click on the button
    else if (focus != nullptr)
        Key(focus, key);
    const long code = WaitExit(process, 10000);
    Check(code == 0, "ends with exit code 0 (got " + std::to_string(code) + ")");
    const std::wstring record = WaitRecord(paths.record, 10000);
    const std::wstring expected = paths.work + L"\\DemoLathmere.xls\n";
    Check(SameText(record, expected),
          "the shell opened " + Narrow(paths.work) + "\\DemoLathmere.xls (got \"" +
              Narrow(record.substr(0, record.find_last_not_of(L"\n") + 1)) + "\")");
}

void WorkbookMissing(const Paths &paths)
{
    DeleteRecord(paths);
    Process process = Start(paths.app + L"\\Tarvik.exe", paths.empty, SW_SHOWNORMAL);
    const Windows windows = FindBoth(process);
    Check(windows.notice != nullptr, "the notice window is shown");
    const DWORD until = GetTickCount() + 3000;
    while (FocusOf(process.info.dwThreadId) == nullptr && GetTickCount() < until)
        Sleep(50);
    if (HWND focus = FocusOf(process.info.dwThreadId))
        Key(focus, VK_RETURN);
    bool box = false;
    const DWORD limit = GetTickCount() + 10000;
    while (WaitForSingleObject(process.info.hProcess, 100) == WAIT_TIMEOUT &&
           GetTickCount() < limit)
        box = box || AnyErrorBox(process.info.dwProcessId);
    Check(!box, "no error box appears");
    const long code = WaitExit(process, 1000);
    Check(code == 0, "ends silently with exit code 0 (got " + std::to_string(code) + ")");
    Sleep(1000);
    Check(ReadRecord(paths.record).empty(), "nothing is opened");
}

void FormMissing(const Paths &paths)
{
    Process process = Start(paths.app + L"\\Tarvik-without-form.exe", paths.work, SW_SHOWNORMAL);
    HWND box = FindTop(process.info.dwProcessId, L"Tarvik", L"#32770", true, 15000);
    Check(box != nullptr, "one error box captioned \"Tarvik\" appears");
    Check(FindTop(process.info.dwProcessId, L"Lathmere", nullptr, false, 0) == nullptr,
          "no notice window");
    if (box != nullptr) {
        std::wstring message;
        bool ok = false;
        bool icon = false;
        for (HWND child : ChildrenOf(box)) {
            const std::wstring text = TextOf(child);
            if (text.find(L"TFTarvik") != std::wstring::npos)
                message = text;
            if (SameText(ClassOf(child), L"Button") && text == L"OK")
                ok = true;
            if (SameText(ClassOf(child), L"Static") &&
                (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
                icon = true;
        }
        Check(icon, "it shows an icon");
        Check(message == Wide("Ressource TFTarvik introuvable."),
              "it reports the missing form description (got \"" + Narrow(message) + "\")");
        Check(ok, "it has an OK button");
        Check(GetWindow(box, GW_OWNER) == FindTop(process.info.dwProcessId, L"Tarvik",
                                                  L"VclApplication", false, 0),
              "the application window owns it");
        int boxes = 0;
        for (HWND window : TopWindowsOf(process.info.dwProcessId))
            boxes += ClassOf(window) == L"#32770" && IsWindowVisible(window);
        Check(boxes == 1, "exactly one box");
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    const long code = WaitExit(process, 10000);
    Check(code == 1, "ends with exit code 1 once dismissed (got " + std::to_string(code) + ")");
}

HWND ButtonOf(HWND form)
{
    for (HWND child : ChildrenOf(form))
        if (SameText(ClassOf(child), L"Button"))
            return child;
    return nullptr;
}

// Made smaller than its controls, the window shows scroll bars, and
// scrolling moves the controls; back at full size the bars go.
void CheckScrolling(HWND form)
{
    SetWindowPos(form, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Sleep(300);
    LONG style = GetWindowLongW(form, GWL_STYLE);
    Check((style & WS_HSCROLL) != 0 && (style & WS_VSCROLL) != 0,
          "too small for its controls, it shows both scroll bars");
    HWND button = ButtonOf(form);
    const LONG before = button != nullptr ? ClientBounds(button, form).top : 0;
    PostMessageW(form, WM_VSCROLL, SB_PAGEDOWN, 0);
    Sleep(300);
    const LONG after = button != nullptr ? ClientBounds(button, form).top : 0;
    Check(button != nullptr && before == 290 && after < before,
          "scrolling down moves the controls up (" + std::to_string(before) + " -> " +
              std::to_string(after) + ")");
    SetWindowPos(form, nullptr, 0, 0, 500, 373, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Sleep(300);
    style = GetWindowLongW(form, GWL_STYLE);
    Check((style & (WS_HSCROLL | WS_VSCROLL)) == 0 && button != nullptr &&
              ClientBounds(button, form).top == 290,
          "back at full size the bars go and the controls are back in place");
}

// A start-up show state, then a close from outside.
void ShowState(const Paths &paths, WORD show, bool maximised)
{
    DeleteRecord(paths);
    Process process = Start(paths.app + L"\\Tarvik.exe", paths.work, show);
    const Windows windows = FindBoth(process);
    Check(windows.notice != nullptr && windows.application != nullptr, "both windows exist");
    if (windows.notice == nullptr || windows.application == nullptr) {
        WaitExit(process, 0);
        return;
    }
    if (maximised) {
        Check(IsZoomed(windows.notice) != FALSE, "opens maximised");
        // The application window's close goes through the form's close.
        PostMessageW(windows.application, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else {
        Check(IsIconic(windows.notice) != FALSE, "starts minimised");
        ShowWindow(windows.notice, SW_RESTORE);
        Sleep(300);
        RECT outer;
        GetWindowRect(windows.notice, &outer);
        Check(!IsIconic(windows.notice) && !IsZoomed(windows.notice) &&
                  outer.right - outer.left == 500 && outer.bottom - outer.top == 373,
              "restores to its normal 500x373 bounds");
        CheckScrolling(windows.notice);
        PostMessageW(windows.notice, WM_CLOSE, 0, 0);
    }
    const long code = WaitExit(process, 10000);
    Check(code == 0, "a close from outside ends with 0 (got " + std::to_string(code) + ")");
    Sleep(500);
    Check(ReadRecord(paths.record).empty(), "a close from outside opens nothing");
}

std::string ResourceText(HMODULE module, const wchar_t *name, const wchar_t *type)
{
    HRSRC resource = FindResourceW(module, name, type);
    HGLOBAL loaded = resource != nullptr ? LoadResource(module, resource) : nullptr;
    const char *data = loaded != nullptr ? static_cast<const char *>(LockResource(loaded)) : nullptr;
    return data != nullptr ? std::string(data, SizeofResource(module, resource)) : std::string();
}

// What the executables carry: icon, form description, version, manifest.
void Resources(const Paths &paths)
{
    const struct {
        const wchar_t *file;
        bool form;
    } programs[] = {{L"\\Tarvik.exe", true}, {L"\\Tarvik-without-form.exe", false}};
    for (const auto &program : programs) {
        current = "resources of " + Narrow(program.file + 1);
        HMODULE module = LoadLibraryExW((paths.app + program.file).c_str(), nullptr,
                                        LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        Check(module != nullptr, "opens as a resource file");
        if (module == nullptr)
            continue;
        Check(FindResourceW(module, L"MAINICON", MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */) !=
                  nullptr,
              "carries MAINICON");
        const std::string form = ResourceText(module, L"TFTARVIK", MAKEINTRESOURCEW(10));
        Check(program.form ? form.rfind("object FTarvik: TFTarvik", 0) == 0 : form.empty(),
              program.form ? "carries the form description as TFTARVIK" : "carries no TFTARVIK");
        const std::string manifest =
            ResourceText(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24) /* RT_MANIFEST */);
        Check(manifest.find("Microsoft.Windows.Common-Controls") != std::string::npos &&
                  manifest.find("version=\"6.0.0.0\"") != std::string::npos,
              "its manifest asks for common controls 6");
        Check(manifest.find("level=\"asInvoker\"") != std::string::npos, "runs asInvoker");
        Check(manifest.find(">true</dpiAware>") != std::string::npos, "is system-DPI aware");
        const std::string version =
            ResourceText(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16) /* RT_VERSION */);
        const auto has = [&version](const wchar_t *text) {
            const std::size_t bytes = wcslen(text) * sizeof(wchar_t);
            return version.find(std::string(reinterpret_cast<const char *>(text), bytes)) !=
                   std::string::npos;
        };
        Check(has(L"ProductName") && has(L"FileDescription") && has(L"Tarvik") &&
                  has(L"1.0.0"),
              "its version information names Tarvik 1.0.0");
        FreeLibrary(module);
    }
}

void PlantedLibraries(const Paths &paths)
{
    bool byTarvik = false;
    bool byProbe = false;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((paths.app + L"\\loaded-*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            std::printf("     marker: %s\n", Narrow(name).c_str());
            if (name.find(L"-by-Tarvik") != std::wstring::npos)
                byTarvik = true;
            if (name.find(L"-by-probe") != std::wstring::npos)
                byProbe = true;
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    Check(byProbe, "a plain program beside them does load the planted DLLs (control)");
    Check(!byTarvik, "Tarvik never loaded a DLL planted beside it");
}

} // namespace

int main()
{
    int count = 0;
    wchar_t **arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr || (count != 5 && count != 6)) {
        std::fprintf(stderr, "usage: driver APPDIR WORKDIR EMPTYDIR RECORDFILE [OTHERWORKDIR]\n");
        return 2;
    }
    const Paths paths{arguments[1], arguments[2], arguments[3], arguments[4]};

    Resources(paths);
    current = "OK by Enter";
    OkByKey(paths, VK_RETURN, true);
    current = "OK by Space";
    OkByKey(paths, VK_SPACE, false);
    current = "OK by mouse";
    OkByKey(paths, 0, false);
    if (count == 6) {
        // A working directory whose name is not all ASCII, nor all in the
        // ANSI code page: the shell still gets the file.
        Paths other = paths;
        other.work = arguments[5];
        current = "OK in a folder with non-ASCII characters";
        OkByKey(other, VK_RETURN, false);
    }
    current = "workbook missing";
    WorkbookMissing(paths);
    current = "form description missing";
    FormMissing(paths);
    current = "SW_SHOWMAXIMIZED";
    ShowState(paths, SW_SHOWMAXIMIZED, true);
    current = "SW_SHOWMINNOACTIVE";
    ShowState(paths, SW_SHOWMINNOACTIVE, false);

    current = "planted DLLs";
    Process probe = Start(paths.app + L"\\probe.exe", paths.app, SW_HIDE);
    WaitExit(probe, 10000);
    PlantedLibraries(paths);

    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
