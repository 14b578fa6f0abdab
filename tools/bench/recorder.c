/* Stands in for xdg-open in the benchmark: writes the monotonic time at
 * which it was started, so the time from the Enter key to the open service
 * can be measured. */
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

int main(void)
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    const char *path = getenv("TARVIK_BENCH_OPENED");
    FILE *out = path ? fopen(path, "a") : NULL;
    if (out) {
        fprintf(out, "%ld.%09ld\n", (long)now.tv_sec, now.tv_nsec);
        fclose(out);
    }
    return 0;
}
