/* Key-to-screen latency of the real game window: the time from an XTest key press to the first
 * frame on the X screen that shows the red snake's head turned.
 * Usage: key_latency PRESSES TIMEOUT_S
 * The program must show its menu in a window named "ZIB" of 800 x 600 on a level where red
 * starts heading right on the arrow keys, blue stays out of red's rows, and food does not make
 * the snake grow. Enter starts the game. Then red is steered up, right, down, right, ... and each
 * turn is measured: before a press red lies wholly in one row (or column), so red pixels in the
 * band of cells beside it on the new side can only be the turned head. The band is read from the
 * screen every 0.2 ms; the press itself waits a random 0..2 ticks after red is lined up, so that
 * presses fall on every phase of the tick.
 * Prints one "latency_ms=T" line per press, then "p50_ms=A p95_ms=B presses=N missed=M".
 * Needs nothing of the program but its pixels: the game's timing is untouched. */
#define _DEFAULT_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

/* From libXtst (XTest.h is in its -dev package, which the runtime library does without). */
extern int XTestFakeKeyEvent(Display* display, unsigned int keycode, Bool isPress,
                             unsigned long delay);
extern int XTestFakeMotionEvent(Display* display, int screen, int x, int y, unsigned long delay);

enum { kWidth = 800, kHeight = 600, kCell = 10, kTickMs = 13 };

static double nowMs(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

static void sleepMs(double ms) {
    if (ms > 0) usleep((useconds_t)(ms * 1000));
}

static int isRed(unsigned long pixel) {
    const unsigned r = (pixel >> 16) & 0xff, g = (pixel >> 8) & 0xff, b = pixel & 0xff;
    return r >= 200 && g <= 70 && b <= 70;
}

/* The top-level window whose name is `name`, or 0. */
static Window findWindow(Display* display, Window parent, const char* name) {
    Window root, up, *children = NULL;
    unsigned count = 0;
    Window found = 0;
    if (!XQueryTree(display, parent, &root, &up, &children, &count)) return 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        char* title = NULL;
        XWindowAttributes a;
        if (XFetchName(display, children[i], &title) && title) {
            if (strcmp(title, name) == 0 && XGetWindowAttributes(display, children[i], &a) &&
                a.map_state == IsViewable)
                found = children[i];
            XFree(title);
        }
        if (!found) found = findWindow(display, children[i], name);
    }
    if (children) XFree(children);
    return found;
}

/* Red's extent on the whole field: the first and last red row and column, or 0 when none. */
typedef struct {
    int top, bottom, left, right;
} Extent;

static int redExtent(Display* display, Window window, Extent* e) {
    XImage* image = XGetImage(display, window, 0, 0, kWidth, kHeight, AllPlanes, ZPixmap);
    if (!image) return 0;
    int found = 0;
    e->top = kHeight, e->bottom = -1, e->left = kWidth, e->right = -1;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            if (isRed(XGetPixel(image, x, y))) {
                found = 1;
                if (y < e->top) e->top = y;
                if (y > e->bottom) e->bottom = y;
                if (x < e->left) e->left = x;
                if (x > e->right) e->right = x;
            }
    XDestroyImage(image);
    return found;
}

static int inOneRow(const Extent* e) {
    return e->top / kCell == e->bottom / kCell;
}

static int inOneColumn(const Extent* e) {
    return e->left / kCell == e->right / kCell;
}

/* Whether the area holds a red pixel. */
static int redIn(Display* display, Window window, int x, int y, int w, int h) {
    XImage* image = XGetImage(display, window, x, y, (unsigned)w, (unsigned)h, AllPlanes, ZPixmap);
    if (!image) return 0;
    int found = 0;
    for (int v = 0; v < h && !found; ++v)
        for (int u = 0; u < w && !found; ++u) found = isRed(XGetPixel(image, u, v));
    XDestroyImage(image);
    return found;
}

static int compareDoubles(const void* a, const void* b) {
    const double x = *(const double*)a, y = *(const double*)b;
    return (x > y) - (x < y);
}

/* The value below which `share` of the sorted values lie (nearest rank). */
static double percentile(const double* sorted, int n, double share) {
    int rank = (int)(share * n + 0.999999);
    if (rank < 1) rank = 1;
    if (rank > n) rank = n;
    return sorted[rank - 1];
}

static void press(Display* display, KeyCode key) {
    XTestFakeKeyEvent(display, key, True, 0);
    XFlush(display);
}

static void release(Display* display, KeyCode key) {
    XTestFakeKeyEvent(display, key, False, 0);
    XFlush(display);
}

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: key_latency PRESSES TIMEOUT_S\n");
        return 2;
    }
    const int presses = atoi(argv[1]);
    const double deadline = nowMs() + atof(argv[2]) * 1000;
    Display* display = XOpenDisplay(NULL);
    if (!display || presses < 1) {
        fprintf(stderr, "key_latency: no X display\n");
        return 2;
    }
    Window window = 0;
    while (!(window = findWindow(display, DefaultRootWindow(display), "ZIB")) && nowMs() < deadline)
        sleepMs(50);
    XWindowAttributes a;
    if (!window || !XGetWindowAttributes(display, window, &a) || a.width != kWidth ||
        a.height != kHeight) {
        fprintf(stderr, "key_latency: no ZIB window of %d x %d\n", kWidth, kHeight);
        return 2;
    }
    XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
    XTestFakeMotionEvent(display, DefaultScreen(display), a.x + 10, a.y + kHeight - 10, 0);
    const KeyCode enter = XKeysymToKeycode(display, XK_Return);
    const KeyCode up = XKeysymToKeycode(display, XK_Up);
    const KeyCode down = XKeysymToKeycode(display, XK_Down);
    const KeyCode right = XKeysymToKeycode(display, XK_Right);

    /* Enter until the game shows red lined up in one row or column: the menu's red captions
     * never are. */
    Extent e;
    while (!redExtent(display, window, &e) || !(inOneRow(&e) || inOneColumn(&e))) {
        if (nowMs() > deadline) {
            fprintf(stderr, "key_latency: no game started\n");
            return 1;
        }
        press(display, enter);
        release(display, enter);
        sleepMs(300);
    }
    /* The first steps come after the game's start pause. */
    sleepMs(500);

    double* latencies = calloc((size_t)presses, sizeof(double));
    int measured = 0, missed = 0;
    srand(12345);
    for (int i = 0; measured + missed < presses && nowMs() < deadline; ++i) {
        /* Up, right, down, right, ...: red climbs and falls by a few cells, so it keeps to its
         * own rows and never meets its body. */
        const int turn = i % 4;
        const KeyCode key = turn == 0 ? up : turn == 2 ? down : right;
        const int vertical = turn != 1 && turn != 3;
        /* Red lined up in one row (before up or down) or one column (before right). */
        int x = 0, y = 0, w = kWidth, h = kHeight;
        for (;;) {
            if (nowMs() > deadline) goto done;
            if (redExtent(display, window, &e)) {
                if (vertical && inOneRow(&e)) {
                    const int row = e.top / kCell * kCell;
                    y = (row + (turn == 0 ? -kCell : kCell) + kHeight) % kHeight;
                    h = kCell;
                    break;
                }
                if (!vertical && inOneColumn(&e)) {
                    x = (e.left / kCell * kCell + kCell) % kWidth;
                    w = kCell;
                    break;
                }
            }
            sleepMs(5);
        }
        if (redIn(display, window, x, y, w, h)) {
            ++missed; /* the band should be free of red: the snake is not where it was thought */
            continue;
        }
        sleepMs(rand() % (2 * kTickMs * 10) / 10.0);
        const double pressed = nowMs();
        press(display, key);
        double shown = -1;
        while (nowMs() - pressed < 1000) {
            if (redIn(display, window, x, y, w, h)) {
                shown = nowMs();
                break;
            }
            sleepMs(0.2);
        }
        release(display, key);
        if (shown < 0) {
            ++missed;
            continue;
        }
        latencies[measured] = shown - pressed;
        printf("latency_ms=%.2f\n", latencies[measured]);
        ++measured;
    }
done:
    if (measured == 0) {
        printf("p50_ms=- p95_ms=- presses=0 missed=%d\n", missed);
        return 1;
    }
    qsort(latencies, (size_t)measured, sizeof(double), compareDoubles);
    printf("p50_ms=%.2f p95_ms=%.2f presses=%d missed=%d\n", percentile(latencies, measured, 0.5),
           percentile(latencies, measured, 0.95), measured, missed);
    free(latencies);
    XCloseDisplay(display);
    return 0;
}
