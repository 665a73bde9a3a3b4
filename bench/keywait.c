// Sends keys to a window through the XTEST extension and prints, one line a
// key, the milliseconds from the moment before the key to its first effect:
//   draw   the X server reports the window's contents changed (DAMAGE);
//   sound  a loud sample arrives on standard input, raw signed 16-bit samples
//          from `parec --raw` of the audio sink's monitor.
// Usage: keywait draw|sound WINDOW_ID KEYS GAP_MS
// KEYS are lower-case letters, sent one by one with GAP_MS between them. While
// a game runs, the field is redrawn at every tick: a key is then sent just
// after a tick was drawn, so what is drawn next is the key's work.
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <X11/extensions/XTest.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

static double now_ms(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// Waits up to `ms` for the window's contents to change; true when they did.
static int damage_within(Display *dpy, int damageEvent, int ms)
{
    double end = now_ms() + ms;
    for (double left; (left = end - now_ms()) > 0;) {
        while (XPending(dpy)) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            if (ev.type == damageEvent + XDamageNotify)
                return 1;
        }
        struct pollfd p = {ConnectionNumber(dpy), POLLIN, 0};
        poll(&p, 1, (int)left + 1);
    }
    return 0;
}

// Reads standard input for up to `ms`: with `untilLoud`, returns as soon as a
// loud sample comes (true); without, reads on until the last loud sample is
// 100 ms old, so what an earlier key played is over.
static int listen(int ms, int untilLoud)
{
    static short buffer[4096];
    const double start = now_ms();
    double lastLoud = -1e9;
    for (;;) {
        const double now = now_ms();
        if (untilLoud ? now - start >= ms : now - start >= ms && now - lastLoud >= 100)
            return 0;
        struct pollfd p = {0, POLLIN, 0};
        if (poll(&p, 1, 10) <= 0)
            continue;
        ssize_t n = read(0, buffer, sizeof buffer);
        if (n <= 0)
            return 0;
        for (ssize_t i = 0; i < n / 2; ++i) {
            if (abs(buffer[i]) > 300)
                lastLoud = now_ms();
        }
        if (untilLoud && lastLoud >= start)
            return 1;
    }
}

int main(int argc, char **argv)
{
    if (argc != 5 || (strcmp(argv[1], "draw") && strcmp(argv[1], "sound"))) {
        fprintf(stderr, "usage: %s draw|sound WINDOW_ID KEYS GAP_MS\n", argv[0]);
        return 2;
    }
    const int sound = !strcmp(argv[1], "sound");
    const Window window = strtoul(argv[2], NULL, 0);
    const char *keys = argv[3];
    const int gap = atoi(argv[4]);
    Display *dpy = XOpenDisplay(NULL);
    int damageEvent, damageError, xtest, major, minor;
    if (!dpy || !XDamageQueryExtension(dpy, &damageEvent, &damageError)
        || !XTestQueryExtension(dpy, &xtest, &xtest, &major, &minor)) {
        fprintf(stderr, "no display with DAMAGE and XTEST\n");
        return 1;
    }
    Damage damage = XDamageCreate(dpy, window, XDamageReportNonEmpty);
    // The recorder may take a while to deliver its first samples.
    if (sound) {
        char first[2];
        if (read(0, first, sizeof first) <= 0)
            return 1;
    }
    for (const char *k = keys; *k; ++k) {
        const char name[2] = {*k, 0};
        const KeyCode code = XKeysymToKeycode(dpy, XStringToKeysym(name));
        // Quiet first: what an earlier key drew or played is over.
        if (sound)
            listen(gap, 0);
        else
            usleep(gap * 1000);
        XDamageSubtract(dpy, damage, None, None);
        XSync(dpy, False);
        if (damage_within(dpy, damageEvent, sound ? 0 : 200)) {
            XDamageSubtract(dpy, damage, None, None);
            XSync(dpy, False);
        }
        while (XPending(dpy)) {
            XEvent ev;
            XNextEvent(dpy, &ev);
        }
        const double t0 = now_ms();
        XTestFakeKeyEvent(dpy, code, True, 0);
        XTestFakeKeyEvent(dpy, code, False, 0);
        XFlush(dpy);
        if (sound) {
            if (!listen(2000, 1)) {
                printf("silent\n");
                continue;
            }
        } else if (!damage_within(dpy, damageEvent, 2000)) {
            printf("unchanged\n");
            continue;
        }
        printf("%.2f\n", now_ms() - t0);
        fflush(stdout);
    }
    XDamageDestroy(dpy, damage);
    XCloseDisplay(dpy);
    return 0;
}
