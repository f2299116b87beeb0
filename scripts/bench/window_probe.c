/* window_probe: starts a program and reports how long it took until its first top-level
 * window was on an X display and painted.
 *
 * Usage: window_probe CLASS TIMEOUT_MS -- PROGRAM [ARGS...]
 *
 * Starts PROGRAM (fork + exec; the clock starts right before the fork), then polls the
 * display every millisecond for a viewable top-level window at least 100 x 100 pixels whose
 * WM_CLASS instance or class name is CLASS, and reads its pixels until they hold at least
 * two different values (something was drawn on the background). Prints "PID MILLISECONDS"
 * and exits 0, leaving the program running; prints "PID timeout" and exits 1 otherwise.
 * Without a window manager (a bare Xvfb) top-level windows are children of the root. */
#define _POSIX_C_SOURCE 200809L
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

static double NowMs(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

static int IgnoreErrors(Display* d, XErrorEvent* e) {
    (void)d;
    (void)e;
    return 0; /* windows come and go while we look */
}

static int HasClass(Display* d, Window w, const char* name) {
    XClassHint hint = {0, 0};
    if (!XGetClassHint(d, w, &hint)) return 0;
    const int match = (hint.res_name && strcmp(hint.res_name, name) == 0) ||
                      (hint.res_class && strcmp(hint.res_class, name) == 0);
    if (hint.res_name) XFree(hint.res_name);
    if (hint.res_class) XFree(hint.res_class);
    return match;
}

static int Painted(Display* d, Window w, int width, int height) {
    XImage* image = XGetImage(d, w, 0, 0, (unsigned)width, (unsigned)height, AllPlanes, ZPixmap);
    if (!image) return 0;
    const unsigned long first = XGetPixel(image, 0, 0);
    int differs = 0;
    for (int y = 0; y < height && !differs; y += 2) {
        for (int x = 0; x < width; x += 2) {
            if (XGetPixel(image, x, y) != first) {
                differs = 1;
                break;
            }
        }
    }
    XDestroyImage(image);
    return differs;
}

int main(int argc, char** argv) {
    if (argc < 5 || strcmp(argv[3], "--") != 0) {
        fprintf(stderr, "usage: window_probe CLASS TIMEOUT_MS -- PROGRAM [ARGS...]\n");
        return 2;
    }
    const char* wanted = argv[1];
    const double timeoutMs = atof(argv[2]);
    Display* d = XOpenDisplay(NULL);
    if (!d) {
        fprintf(stderr, "window_probe: cannot open the display\n");
        return 2;
    }
    XSetErrorHandler(IgnoreErrors);
    const Window root = DefaultRootWindow(d);

    const double start = NowMs();
    const pid_t pid = fork();
    if (pid < 0) return 2;
    if (pid == 0) {
        /* The program's output goes to our stderr: our stdout carries only the result, and
         * a caller reading it to the end must not wait for the program. */
        dup2(STDERR_FILENO, STDOUT_FILENO);
        execvp(argv[4], argv + 4);
        perror("window_probe: exec");
        _exit(127);
    }
    const struct timespec pause = {0, 1000000};
    while (NowMs() - start < timeoutMs) {
        Window rootOut, parent, *children = NULL;
        unsigned count = 0;
        if (XQueryTree(d, root, &rootOut, &parent, &children, &count)) {
            for (unsigned i = 0; i < count; ++i) {
                XWindowAttributes a;
                if (!XGetWindowAttributes(d, children[i], &a)) continue;
                if (a.map_state != IsViewable || a.width < 100 || a.height < 100) continue;
                if (!HasClass(d, children[i], wanted)) continue;
                if (Painted(d, children[i], a.width, a.height)) {
                    printf("%d %.1f\n", (int)pid, NowMs() - start);
                    XFree(children);
                    XCloseDisplay(d);
                    return 0;
                }
            }
            if (children) XFree(children);
        }
        nanosleep(&pause, NULL);
    }
    printf("%d timeout\n", (int)pid);
    XCloseDisplay(d);
    return 1;
}
