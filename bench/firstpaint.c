// firstpaint: start a program, report how long it takes until one of its windows
// shows a pixel that is not black, then its memory use a little later.
//
// usage: firstpaint [-t TIMEOUT_MS] [-s SETTLE_MS] [-l LOGFILE] [-P] -- PROGRAM [ARG...]
//
//   -t  give up if nothing was painted this long after exec (default 10000)
//   -s  read memory this long after the first paint (default 1500)
//   -l  where the program's stdout/stderr go (default /dev/null)
//   -P  plain polling: grab every 2 ms only, without XDamage (to cross-check)
//   -v  log maps, damage and grabs to stderr, in ms since exec
//
// Prints exactly one line on stdout:
//   ok PAINT_MS RSS_KB PSS_KB PRIVATE_DIRTY_KB
//   timeout|exited|error MESSAGE
// and exits 0 for "ok", 2 for "timeout", 3 for "exited", 1 for "error".
//
// The clock starts in the forked child just before execvp().  Top-level windows
// are found through MapNotify on the root window (SubstructureNotify) and matched
// by _NET_WM_PID.  From then on, the visible part of each such window is fetched
// with XGetImage every 2 ms, and at once whenever its XDamage object reports new
// drawing, and scanned for a pixel whose RGB is not 0,0,0.  Damage events alone
// are not enough: they sometimes arrive a few ms after the pixels changed.  The
// polling only lasts from the map to the first paint, a few ms, so it costs
// little.  The screen must have a black root (Xvfb -br), or a window without
// background would show the root pattern.
// Finally the program and its process group get SIGTERM, then SIGKILL.

#define _GNU_SOURCE
#include "xchild.h"

#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>

#define MAX_WINDOWS 64
#define POLL_MS 2

struct tracked {
    Window win;
    Damage damage;
    int dirty;
};

static Display* dpy;
static Window root;
static int damage_event = -1;
static int poll_only, verbose;
static double start; // monotonic ms at exec, for the log
static struct tracked wins[MAX_WINDOWS];
static int nwins;
static struct child prog = {-1, -1, 0};

static void track(Window w, double t)
{
    for (int i = 0; i < nwins; i++)
        if (wins[i].win == w) {
            wins[i].dirty = 1;
            return;
        }
    if (nwins == MAX_WINDOWS || !child_owns_window(dpy, &prog, w))
        return;
    struct tracked* e = &wins[nwins++];
    e->win = w;
    e->damage = damage_event >= 0 ? XDamageCreate(dpy, w, XDamageReportNonEmpty) : 0;
    e->dirty = 1; // it may have drawn before the damage object existed
    if (verbose)
        fprintf(stderr, "%8.2f map 0x%lx\n", t - start, w);
}

static void untrack(Window w)
{
    for (int i = 0; i < nwins; i++)
        if (wins[i].win == w) {
            // the damage object dies with the window
            wins[i] = wins[--nwins];
            return;
        }
}

// Fetch the on-screen part of the window and look for any non-black pixel.
static int has_painted(Window w)
{
    XWindowAttributes wa;
    if (!XGetWindowAttributes(dpy, w, &wa) || wa.map_state != IsViewable || wa.class != InputOutput)
        return 0;
    int sw = DisplayWidth(dpy, DefaultScreen(dpy)), sh = DisplayHeight(dpy, DefaultScreen(dpy));
    int x0 = wa.x < 0 ? -wa.x : 0, y0 = wa.y < 0 ? -wa.y : 0;
    int x1 = wa.x + wa.width > sw ? sw - wa.x : wa.width;
    int y1 = wa.y + wa.height > sh ? sh - wa.y : wa.height;
    struct shot s = {{0, 0, 0, 0}, NULL};
    if (x1 <= x0 || y1 <= y0 || grab(dpy, w, (struct rect){x0, y0, x1 - x0, y1 - y0}, &s) != 0)
        return 0;
    size_t n = (size_t)s.r.w * (size_t)s.r.h, i = 0;
    while (i < n && !s.px[i])
        i++;
    shot_free(&s);
    return i < n;
}

// Value in kB of the first "key:" line of a /proc file, summed over all such
// lines when sum is set; -1 if there is none.
static long proc_kb(const char* path, const char* key, int sum)
{
    FILE* f = fopen(path, "r");
    if (!f)
        return -1;
    char line[512];
    size_t klen = strlen(key);
    long total = -1;
    while (fgets(line, sizeof line, f)) {
        if (strncmp(line, key, klen) == 0 && line[klen] == ':') {
            long v = strtol(line + klen + 1, NULL, 10);
            total = total < 0 ? v : total + v;
            if (!sum)
                break;
        }
    }
    fclose(f);
    return total;
}

// Wait (briefly) until the server has torn down the windows we were watching, so
// the next run starts on a black screen again.
static void wait_windows_gone(void)
{
    double until = now_ms() + 1000;
    while (nwins > 0 && now_ms() < until) {
        while (XPending(dpy)) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            if (ev.type == UnmapNotify)
                untrack(ev.xunmap.window);
            else if (ev.type == DestroyNotify)
                untrack(ev.xdestroywindow.window);
        }
        struct pollfd pfd = {ConnectionNumber(dpy), POLLIN, 0};
        poll(&pfd, 1, 10);
    }
}

static int usage(void)
{
    fprintf(stderr, "usage: firstpaint [-t TIMEOUT_MS] [-s SETTLE_MS] [-l LOGFILE] [-P] [-v] -- "
                    "PROGRAM [ARG...]\n");
    return 1;
}

int main(int argc, char* argv[])
{
    double timeout = 10000, settle = 1500;
    const char* log = "/dev/null";
    int opt;
    while ((opt = getopt(argc, argv, "+t:s:l:Pv")) != -1) {
        switch (opt) {
        case 't':
            timeout = atof(optarg);
            break;
        case 's':
            settle = atof(optarg);
            break;
        case 'l':
            log = optarg;
            break;
        case 'P':
            poll_only = 1;
            break;
        case 'v':
            verbose = 1;
            break;
        default:
            return usage();
        }
    }
    if (optind >= argc)
        return usage();
    setvbuf(stdout, NULL, _IOLBF, 0);

    dpy = xchild_open_display();
    if (!dpy) {
        printf("error cannot open display\n");
        return 1;
    }
    root = DefaultRootWindow(dpy);
    int ev_base, err_base;
    if (!poll_only && XDamageQueryExtension(dpy, &ev_base, &err_base))
        damage_event = ev_base + XDamageNotify;
    XSelectInput(dpy, root, SubstructureNotifyMask);
    XSync(dpy, False);

    char err[256];
    if (child_start(&prog, argv + optind, log, err, sizeof err) != 0) {
        printf("error %s\n", err);
        return 1;
    }
    const double t0 = start = prog.t0;

    double deadline = t0 + timeout, last_grab = 0, painted = -1;
    while (painted < 0) {
        // Sleep until the next grab is due, or the server has something for us.
        wait_for_server(dpy, (nwins ? last_grab : now_ms()) + POLL_MS);
        // This moment is taken as the time of whatever the events below report.
        double t = now_ms();
        while (XPending(dpy)) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            if (ev.type == MapNotify && ev.xmap.event == root) {
                track(ev.xmap.window, t);
            } else if (ev.type == UnmapNotify && ev.xunmap.event == root) {
                untrack(ev.xunmap.window);
            } else if (ev.type == DestroyNotify && ev.xdestroywindow.event == root) {
                untrack(ev.xdestroywindow.window);
            } else if (damage_event >= 0 && ev.type == damage_event) {
                XDamageNotifyEvent* de = (XDamageNotifyEvent*)&ev;
                for (int i = 0; i < nwins; i++)
                    if (wins[i].damage == de->damage)
                        wins[i].dirty = 1;
                if (verbose)
                    fprintf(stderr, "%8.2f damage 0x%lx\n", t - start, de->drawable);
            }
        }
        // Grab what damage reported at once, and everything every POLL_MS.
        int grab_all = t - last_grab >= POLL_MS;
        if (grab_all)
            last_grab = t;
        for (int i = 0; i < nwins && painted < 0; i++) {
            if (!wins[i].dirty && !grab_all)
                continue;
            const int was_dirty = wins[i].dirty;
            wins[i].dirty = 0;
            if (wins[i].damage) // re-arm before looking, so later drawing is reported
                XDamageSubtract(dpy, wins[i].damage, None, None);
            if (has_painted(wins[i].win))
                painted = t;
            if (verbose)
                fprintf(stderr, "%8.2f grab 0x%lx (%s): %s\n", t - start, wins[i].win,
                        was_dirty ? "damage" : "timer", painted >= 0 ? "painted" : "black");
        }
        if (painted >= 0)
            break;
        if (child_gone(&prog)) {
            printf("exited before painting anything (%.0f ms after exec)\n", now_ms() - t0);
            child_stop(&prog);
            return 3;
        }
        if (now_ms() > deadline) {
            printf("timeout nothing painted within %.0f ms (%d window%s seen)\n", timeout, nwins,
                   nwins == 1 ? "" : "s");
            child_stop(&prog);
            return 2;
        }
    }

    // Let the program settle, then read its memory.
    double until = painted + settle;
    while (now_ms() < until && !child_gone(&prog))
        sleep_ms(until - now_ms() > 20 ? 20 : until - now_ms());
    if (prog.pid <= 0) {
        printf("exited within %.0f ms of its first paint\n", settle);
        child_stop(&prog);
        return 3;
    }
    char path[64];
    snprintf(path, sizeof path, "/proc/%d/status", (int)prog.pid);
    long rss = proc_kb(path, "VmRSS", 0);
    snprintf(path, sizeof path, "/proc/%d/smaps_rollup", (int)prog.pid);
    long pss = proc_kb(path, "Pss", 0);
    long private_dirty = proc_kb(path, "Private_Dirty", 0);
    if (pss < 0) { // kernels before 4.14
        snprintf(path, sizeof path, "/proc/%d/smaps", (int)prog.pid);
        pss = proc_kb(path, "Pss", 1);
        private_dirty = proc_kb(path, "Private_Dirty", 1);
    }
    child_stop(&prog);
    wait_windows_gone();
    printf("ok %.2f %ld %ld %ld\n", painted - t0, rss, pss, private_dirty);
    return 0;
}
