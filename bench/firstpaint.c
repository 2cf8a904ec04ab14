// firstpaint: starts a program, reports how long it takes until one of its windows
// shows a pixel that is not black, then its memory use a little later.
//
// usage: firstpaint TIMEOUT_MS SETTLE_MS LOGFILE PROGRAM [ARG...]
//   Gives up if nothing was painted TIMEOUT_MS after exec, reads the memory
//   SETTLE_MS after the first paint; the program's output goes to LOGFILE.
//
// Prints one line, "ok PAINT_MS RSS_KB PSS_KB PRIVATE_DIRTY_KB" (exit status 0),
// "timeout MESSAGE" (2), "exited MESSAGE" (3) or "error MESSAGE" (1).
//
// The clock starts in the child just before execvp().  Its top-level windows are
// found through MapNotify on the root and _NET_WM_PID, then grabbed every 2 ms, and
// at once whenever their XDamage object reports drawing (which alone sometimes comes
// a few ms late), until a pixel is not black.  The screen must have a black root
// (Xvfb -br), or a window without background would show the root pattern.
#include "xchild.c"

#define MAX_WINDOWS 64
#define POLL_MS 2

static struct {
    Window win;
    Damage damage;
    int dirty;
} wins[MAX_WINDOWS];
static int nwins;
static struct child prog = {-1, -1, 0};

static void untrack(Window w)
{
    for (int i = 0; i < nwins; i++)
        if (wins[i].win == w) // the damage object dies with the window
            wins[i] = wins[--nwins];
}

// Reads whatever the server has sent: the program's windows coming and going, and
// their drawing.
static void handle_events(void)
{
    while (XPending(dpy)) {
        XEvent ev;
        XNextEvent(dpy, &ev);
        if (ev.type == MapNotify && ev.xmap.event == root) {
            int i = 0;
            while (i < nwins && wins[i].win != ev.xmap.window)
                i++;
            if (i == nwins && (i == MAX_WINDOWS || !child_owns_window(&prog, ev.xmap.window)))
                continue;
            if (i == nwins) {
                nwins++;
                wins[i].win = ev.xmap.window;
                wins[i].damage = XDamageCreate(dpy, ev.xmap.window, XDamageReportNonEmpty);
            }
            wins[i].dirty = 1; // it may have drawn before the damage object existed
        } else if (ev.type == UnmapNotify && ev.xunmap.event == root) {
            untrack(ev.xunmap.window);
        } else if (ev.type == DestroyNotify && ev.xdestroywindow.event == root) {
            untrack(ev.xdestroywindow.window);
        } else if (ev.type == damage_event) {
            for (int i = 0; i < nwins; i++)
                wins[i].dirty |= wins[i].damage == ((XDamageNotifyEvent*)&ev)->damage;
        }
    }
}

// Grabs the on-screen part of the window and looks for a pixel that is not black.
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
    if (x1 <= x0 || y1 <= y0 || grab(w, (struct rect){x0, y0, x1 - x0, y1 - y0}, &s) != 0)
        return 0;
    size_t n = (size_t)s.r.w * (size_t)s.r.h, i = 0;
    while (i < n && !s.px[i])
        i++;
    free(s.px);
    return i < n;
}

// The value in kB of the first "key:" line of the program's /proc/PID/file; -1 if none.
static long proc_kb(const char* file, const char* key)
{
    char line[512];
    snprintf(line, sizeof line, "/proc/%d/%s", (int)prog.pid, file);
    FILE* f = fopen(line, "r");
    long v = -1;
    while (f && v < 0 && fgets(line, sizeof line, f))
        if (strncmp(line, key, strlen(key)) == 0 && line[strlen(key)] == ':')
            v = strtol(line + strlen(key) + 1, NULL, 10);
    if (f)
        fclose(f);
    return v;
}

int main(int argc, char* argv[])
{
    if (argc < 5) {
        fprintf(stderr, "usage: firstpaint TIMEOUT_MS SETTLE_MS LOGFILE PROGRAM [ARG...]\n");
        return 1;
    }
    const double timeout = atof(argv[1]), settle = atof(argv[2]);
    open_display();
    child_start(&prog, argv + 4, argv[3]);
    const double t0 = prog.t0;
    double last_grab = 0, painted = -1;
    while (painted < 0) {
        // Sleeps until the next grab is due, or the server has something for us.
        wait_for_server((nwins ? last_grab : now_ms()) + POLL_MS);
        // This moment is taken as the time of whatever the events below report.
        const double t = now_ms();
        handle_events();
        // Grabs what damage reported at once, and everything every POLL_MS.
        const int grab_all = t - last_grab >= POLL_MS;
        if (grab_all)
            last_grab = t;
        for (int i = 0; i < nwins && painted < 0; i++) {
            if (!wins[i].dirty && !grab_all)
                continue;
            wins[i].dirty = 0; // re-armed before looking, so later drawing is reported
            XDamageSubtract(dpy, wins[i].damage, None, None);
            if (has_painted(wins[i].win))
                painted = t;
        }
        if (painted < 0 && child_gone(&prog))
            quit(3, "exited before painting anything (%.0f ms after exec)", now_ms() - t0);
        if (painted < 0 && now_ms() > t0 + timeout)
            quit(2, "timeout nothing painted within %.0f ms (%d window%s seen)", timeout, nwins,
                 nwins == 1 ? "" : "s");
    }
    // Lets the program settle, then reads its memory.
    while (now_ms() < painted + settle && !child_gone(&prog))
        usleep(1000);
    if (prog.pid <= 0)
        quit(3, "exited within %.0f ms of its first paint", settle);
    long rss = proc_kb("status", "VmRSS"), pss = proc_kb("smaps_rollup", "Pss");
    long dirty = proc_kb("smaps_rollup", "Private_Dirty");
    child_stop(&prog);
    // Waits (briefly) until the server has torn down the windows, so that the next
    // run starts on a black screen again.
    for (double until = now_ms() + 1000; nwins > 0 && now_ms() < until;) {
        wait_for_server(now_ms() + 10);
        handle_events();
    }
    printf("ok %.2f %ld %ld %ld\n", painted - t0, rss, pss, dirty);
    return 0;
}
