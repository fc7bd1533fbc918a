/* Starts a program and reports how long it takes until its first painted frame is on the X screen.
 * Usage: frame_probe TIMEOUT_MS PROGRAM [ARGS...]
 * The screen is read three rows at a time (a quarter, half and three quarters down) every
 * millisecond; the frame counts as painted once those rows hold at least three different
 * colours, which a blank or cleared window never does. Prints "pid=N first_frame_ms=T" (T is
 * "none" after the timeout) and leaves the program running. Needs a black root window (Xvfb -br). */
#define _DEFAULT_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

static double nowMs(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

/* The number of different colours on the sampled rows, counting at most up to 3. */
static int coloursOnRows(Display* display, Window root, int width, int height) {
    unsigned long seen[3];
    int count = 0;
    for (int k = 1; k <= 3; ++k) {
        XImage* row = XGetImage(display, root, 0, height * k / 4, (unsigned)width, 1, AllPlanes,
                                ZPixmap);
        if (!row) continue;
        for (int x = 0; x < width && count < 3; ++x) {
            unsigned long pixel = XGetPixel(row, x, 0);
            int known = 0;
            for (int i = 0; i < count; ++i) known |= seen[i] == pixel;
            if (!known) seen[count++] = pixel;
        }
        XDestroyImage(row);
    }
    return count;
}

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: frame_probe TIMEOUT_MS PROGRAM [ARGS...]\n");
        return 2;
    }
    const double timeoutMs = atof(argv[1]);
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "frame_probe: no X display\n");
        return 2;
    }
    const Window root = DefaultRootWindow(display);
    const int width = DisplayWidth(display, DefaultScreen(display));
    const int height = DisplayHeight(display, DefaultScreen(display));
    if (coloursOnRows(display, root, width, height) >= 3) {
        fprintf(stderr, "frame_probe: the screen already shows a picture\n");
        return 2;
    }

    const double start = nowMs();
    const pid_t pid = fork();
    if (pid < 0) return 2;
    if (pid == 0) {
        /* The program's output must not hold open a pipe that reads this probe's report. */
        const int devNull = open("/dev/null", O_WRONLY);
        if (devNull >= 0) dup2(devNull, STDOUT_FILENO);
        execvp(argv[2], argv + 2);
        _exit(127);
    }
    double painted = -1;
    while (nowMs() - start < timeoutMs) {
        if (coloursOnRows(display, root, width, height) >= 3) {
            painted = nowMs() - start;
            break;
        }
        usleep(1000);
    }
    if (painted >= 0)
        printf("pid=%d first_frame_ms=%.1f\n", (int)pid, painted);
    else
        printf("pid=%d first_frame_ms=none\n", (int)pid);
    XCloseDisplay(display);
    return painted >= 0 ? 0 : 1;
}
