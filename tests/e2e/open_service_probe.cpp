// Stands in for xdg-open in the hostile-environment tests: writes, as
// NUL-separated fields, its arguments and the file descriptors it was
// given, to the file named by TARVIK_E2E_PROBE_LOG; then behaves as told by
// TARVIK_E2E_PROBE_MODE: "fail" exits 1, "hang" sleeps for a long time.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <string>
#include <unistd.h>

int main(int argc, char **argv)
{
    std::string record;
    for (int i = 1; i < argc; ++i) {
        record += argv[i];
        record += '\0';
    }
    record += "fds:";
    if (DIR *fds = opendir("/proc/self/fd")) {
        const int own = dirfd(fds);
        while (const dirent *entry = readdir(fds)) {
            if (entry->d_name[0] == '.' || std::atoi(entry->d_name) == own)
                continue;
            record += ' ';
            record += entry->d_name;
        }
        closedir(fds);
    }
    record += '\0';
    if (const char *log = std::getenv("TARVIK_E2E_PROBE_LOG")) {
        if (FILE *out = std::fopen(log, "ab")) {
            std::fwrite(record.data(), 1, record.size(), out);
            std::fclose(out);
        }
    }
    const char *mode = std::getenv("TARVIK_E2E_PROBE_MODE");
    if (mode != nullptr && std::strcmp(mode, "fail") == 0)
        return 1;
    if (mode != nullptr && std::strcmp(mode, "hang") == 0)
        sleep(3600);
    return 0;
}
