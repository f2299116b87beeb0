/* Preloaded into quorrix to time its first painted frame: when Qt's backing store first
 * flushes painted window pixels to the window system (QBackingStore::flush, called by the
 * widgets' repaint manager after painting), it writes the wall-clock time to the file named
 * by QRX_FRAME_FILE. With QRX_FRAME_EXIT=1 the process then ends, so a series of runs needs
 * no window closing. Works the same on X11, Wayland and the offscreen platform. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

/* void QBackingStore::flush(const QRegion& region, QWindow* window, const QPoint& offset) */
void _ZN13QBackingStore5flushERK7QRegionP7QWindowRK6QPoint(void* self, const void* region,
                                                           void* window, const void* offset) {
    typedef void (*flush_t)(void*, const void*, void*, const void*);
    static flush_t real;
    static int seen;
    if (!real) {
        real = (flush_t)dlsym(RTLD_NEXT, "_ZN13QBackingStore5flushERK7QRegionP7QWindowRK6QPoint");
        if (!real) abort();
    }
    real(self, region, window, offset);
    if (seen) return;
    seen = 1;
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    const char* path = getenv("QRX_FRAME_FILE");
    if (path) {
        FILE* f = fopen(path, "w");
        if (f) {
            fprintf(f, "%lld.%09ld\n", (long long)now.tv_sec, now.tv_nsec);
            fclose(f);
        }
    }
    const char* leave = getenv("QRX_FRAME_EXIT");
    if (leave && leave[0] == '1') _exit(0);
}
