// Small helper programs for the end-to-end run, one source, chosen by a
// macro:
//   RECORDER  - the program registered for .xls: appends the document path
//               it is given (second argument) to the file named by the first.
//   PLANTED   - a DLL that, once loaded, leaves a file
//               "<its directory>\loaded-<its name>-by-<program name>.txt".
//   PROBE     - loads the planted DLL by name the ordinary way, to show
//               that a program without the restriction would pick them up.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <shellapi.h>

#include <cwchar>

#if defined(RECORDER)

int main()
{
    int count = 0;
    wchar_t **arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr || count < 3)
        return 2;
    HANDLE file = CreateFileW(arguments[1], FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 3;
    DWORD written = 0;
    WriteFile(file, arguments[2], static_cast<DWORD>(wcslen(arguments[2]) * sizeof(wchar_t)),
              &written, nullptr);
    WriteFile(file, L"\n", sizeof(wchar_t), &written, nullptr);
    CloseHandle(file);
    return 0;
}

#elif defined(PLANTED)

static wchar_t *BaseName(wchar_t *path)
{
    wchar_t *slash = wcsrchr(path, L'\\');
    return slash != nullptr ? slash + 1 : path;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    wchar_t self[MAX_PATH];
    wchar_t program[MAX_PATH];
    GetModuleFileNameW(instance, self, MAX_PATH);
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    wchar_t marker[3 * MAX_PATH];
    wchar_t *name = BaseName(self);
    wchar_t selfName[MAX_PATH];
    wcscpy(selfName, name);
    *name = L'\0';
    swprintf(marker, 3 * MAX_PATH, L"%lsloaded-%ls-by-%ls.txt", self, selfName,
             BaseName(program));
    HANDLE file = CreateFileW(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return TRUE;
}

#elif defined(PROBE)

int main()
{
    return LoadLibraryW(L"uxtheme.dll") != nullptr ? 0 : 1;
}

#endif
