// ShellExecuteA's open request, handed to the desktop's open service.
#include "vcl/Shell.h"
#include "vcl/WinApi.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <signal.h>
#include <spawn.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace vcl {
namespace {

TDesktopOpener &CurrentOpener()
{
    static TDesktopOpener opener;
    return opener;
}

std::vector<std::string> &StartupEnvironment()
{
    static std::vector<std::string> environment;
    return environment;
}

bool &EnvironmentCaptured()
{
    static bool captured = false;
    return captured;
}

HINSTANCE Result(int code)
{
    return reinterpret_cast<HINSTANCE>(static_cast<std::intptr_t>(code));
}

// The working directory, whatever its length; empty when it is gone.
String WorkingDirectory()
{
    char *cwd = getcwd(nullptr, 0);
    if (cwd == nullptr)
        return {};
    String directory(cwd);
    std::free(cwd);
    return directory;
}

String Join(const String &directory, const String &name)
{
    if (!directory.empty() && directory.back() == '/')
        return directory + name;
    return directory + '/' + name;
}

} // namespace

void SetDesktopOpener(TDesktopOpener opener)
{
    CurrentOpener() = std::move(opener);
}

void CaptureStartupEnvironment()
{
    auto &environment = StartupEnvironment();
    environment.clear();
    for (char **entry = environ; entry != nullptr && *entry != nullptr; ++entry)
        environment.emplace_back(*entry);
    EnvironmentCaptured() = true;
}

int OpenWithXdgOpen(const String &path)
{
    std::vector<char *> envp;
    if (EnvironmentCaptured()) {
        for (auto &entry : StartupEnvironment())
            envp.push_back(entry.data());
        envp.push_back(nullptr);
    }

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    if (posix_spawn_file_actions_init(&actions) != 0)
        return SE_ERR_OOM;
    if (posix_spawnattr_init(&attributes) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return SE_ERR_OOM;
    }
    // Standard input from /dev/null; nothing of ours beyond standard output
    // and error reaches the service or the program it starts.
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);

    // A session of its own: the opened program outlives us and our
    // terminal; default signal handling and an empty signal mask.
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK |
                                              POSIX_SPAWN_SETSIGDEF);

    // The path is one argument: no shell ever sees it. "--" is not used:
    // xdg-open takes no options after its first argument, and the path is
    // absolute, so it cannot be taken for one.
    String program = "xdg-open";
    char *argv[] = {program.data(), const_cast<char *>(path.c_str()), nullptr};
    pid_t pid = 0;
    const int error = posix_spawnp(&pid, program.c_str(), &actions, &attributes, argv,
                                   EnvironmentCaptured() ? envp.data() : environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (error == ENOENT || error == EACCES)
        return SE_ERR_NOASSOC;
    if (error != 0)
        return SE_ERR_OOM;
    // Not waited for: the service runs on its own. It is reaped now if it
    // has already ended, and by the system once we have.
    waitpid(pid, nullptr, WNOHANG);
    return SE_OK;
}

} // namespace vcl

HINSTANCE ShellExecuteA(HWND, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR, LPCSTR lpDirectory,
                        INT)
{
    if (lpOperation != nullptr && *lpOperation != '\0' && strcasecmp(lpOperation, "open") != 0)
        return vcl::Result(SE_ERR_NOASSOC);
    if (lpFile == nullptr || *lpFile == '\0')
        return vcl::Result(SE_ERR_FNF);

    vcl::String path = lpFile;
    if (path.front() != '/') {
        vcl::String base = vcl::WorkingDirectory();
        if (lpDirectory != nullptr && *lpDirectory != '\0')
            base = lpDirectory[0] == '/' ? vcl::String(lpDirectory)
                                         : vcl::Join(base, lpDirectory);
        if (base.empty() || base.front() != '/')
            return vcl::Result(SE_ERR_FNF);
        path = vcl::Join(base, path);
    }

    // Only a file or a folder is handed on; stat opens nothing, so a FIFO
    // or a device is never opened, and never blocks us.
    struct stat status {};
    if (stat(path.c_str(), &status) != 0)
        return vcl::Result(errno == EACCES ? SE_ERR_ACCESSDENIED : SE_ERR_FNF);
    if (!S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode))
        return vcl::Result(SE_ERR_ACCESSDENIED);

    const auto &opener = vcl::CurrentOpener();
    try {
        return vcl::Result(opener ? opener(path) : vcl::OpenWithXdgOpen(path));
    } catch (...) {
        return vcl::Result(SE_ERR_OOM);
    }
}
