// xchild.c: what the X benchmark helpers share, included by each (firstpaint.c,
// latency.c): a monotonic clock, the display with forgiving error handlers and the
// root's and DAMAGE's events, programs started in process groups of their own that
// go down with the helper whatever ends it, the wait for the server and grabs of a
// window's pixels.  A failure (fail) prints "error MESSAGE" on stdout and exits 1.
#define _GNU_SOURCE
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdarg.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>

#define MAX_GROUPS 16

struct child {
    pid_t pid;   // -1 once reaped
    pid_t group; // its process group, which outlives it; -1 before the start
    double t0;   // now_ms() in the child just before execvp()
};
struct rect {
    int x, y, w, h;
};
struct shot { // a grab of a rectangle of a window, as 0xRRGGBB words
    struct rect r;
    uint32_t* px;
};

static Display* dpy;
static Window root;
static int damage_event;
static volatile pid_t groups[MAX_GROUPS]; // of every child started, for the handlers below

static void kill_all_groups(void)
{
    for (int i = 0; i < MAX_GROUPS; i++)
        if (groups[i] > 0)
            kill(-groups[i], SIGKILL);
}

// Prints a line, kills every child and exits with the status.
static void quit(int status, const char* fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    vprintf(fmt, ap);
    printf("\n");
    va_end(ap);
    kill_all_groups();
    exit(status);
}
#define fail(...) quit(1, "error " __VA_ARGS__)

// Milliseconds on the monotonic clock.
static double now_ms(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// Windows come and go under our feet; a failed request just means "not this one".
static int ignore_x_error(Display* d, XErrorEvent* e)
{
    (void)d;
    (void)e;
    return 0;
}

static int on_x_io_error(Display* d)
{
    (void)d;
    fail("lost the X display");
    return 0;
}

static void on_signal(int sig)
{
    kill_all_groups();
    signal(sig, SIG_DFL);
    raise(sig);
}

// Opens the display, listens to the root's children coming and going, and makes a
// lost server, SIGTERM, SIGINT and SIGHUP take every child down with the helper.
static void open_display(void)
{
    int ev_base, err_base;
    setvbuf(stdout, NULL, _IOLBF, 0);
    if (!(dpy = XOpenDisplay(NULL)))
        fail("cannot open display");
    fcntl(ConnectionNumber(dpy), F_SETFD, FD_CLOEXEC);
    XSetErrorHandler(ignore_x_error);
    XSetIOErrorHandler(on_x_io_error);
    signal(SIGTERM, on_signal);
    signal(SIGINT, on_signal);
    signal(SIGHUP, on_signal);
    if (!XDamageQueryExtension(dpy, &ev_base, &err_base))
        fail("the display has no DAMAGE extension");
    damage_event = ev_base + XDamageNotify;
    root = DefaultRootWindow(dpy);
    XSelectInput(dpy, root, SubstructureNotifyMask);
    XSync(dpy, False);
}

// Starts argv[0] with its output in the file log, in a process group of its own.
static void child_start(struct child* c, char* const argv[], const char* log)
{
    int slot = 0, fds[2];
    while (slot < MAX_GROUPS && groups[slot] > 0)
        slot++;
    // The child stores its start time here right before exec; the pipe, which is
    // close-on-exec, closes with the exec (or the child's exit, if it fails).
    double* t0 = mmap(NULL, sizeof *t0, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    pid_t pid = -1;
    if (slot == MAX_GROUPS || t0 == MAP_FAILED || pipe2(fds, O_CLOEXEC) == -1 ||
        (pid = fork()) == -1)
        fail("cannot start %s", argv[0]);
    if (pid == 0) {
        setpgid(0, 0); // the exec resets the handlers
        int fd = open(log, O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            dup2(fd, 1);
            dup2(fd, 2);
            close(fd);
        }
        *t0 = now_ms();
        execvp(argv[0], argv);
        _exit(127);
    }
    c->pid = c->group = groups[slot] = pid;
    setpgid(pid, pid); // also here, so kill(-pid) works whichever runs first
    close(fds[1]);
    while (read(fds[0], &slot, sizeof slot) == -1 && errno == EINTR) {
    }
    close(fds[0]);
    c->t0 = *t0;
    munmap(t0, sizeof *t0);
}

// 0 while the child is running; otherwise reaps it (if not yet) and returns 1.
static int child_gone(struct child* c)
{
    if (c->pid <= 0)
        return 1;
    pid_t r = waitpid(c->pid, NULL, WNOHANG);
    if (r == c->pid || (r == -1 && errno == ECHILD))
        c->pid = -1;
    return c->pid <= 0;
}

// SIGTERM, then SIGKILL after 10 s (valgrind writes its counts on SIGTERM, which
// takes a few seconds); whatever else is left in its group goes too.
static void child_stop(struct child* c)
{
    if (c->pid > 0) {
        kill(-c->group, SIGTERM);
        kill(c->pid, SIGTERM);
        for (int i = 0; i < 1000 && !child_gone(c); i++)
            usleep(10000);
    }
    if (c->pid > 0) {
        kill(c->pid, SIGKILL);
        waitpid(c->pid, NULL, 0);
        c->pid = -1;
    }
    if (c->group > 0) {
        kill(-c->group, SIGKILL);
        for (int i = 0; i < MAX_GROUPS; i++)
            if (groups[i] == c->group)
                groups[i] = 0;
        c->group = -1;
    }
}

// True if window w was created by the child or something in its process group;
// also true for a window without _NET_WM_PID, since the display is private.
static int child_owns_window(const struct child* c, Window w)
{
    static Atom net_wm_pid = None;
    if (net_wm_pid == None)
        net_wm_pid = XInternAtom(dpy, "_NET_WM_PID", False);
    Atom type;
    int format;
    unsigned long n, left;
    unsigned char* data = NULL;
    if (XGetWindowProperty(dpy, w, net_wm_pid, 0, 1, False, XA_CARDINAL, &type, &format, &n, &left,
                           &data) != Success ||
        !data || n < 1 || format != 32) {
        if (data)
            XFree(data);
        return 1;
    }
    pid_t pid = (pid_t) * (unsigned long*)data;
    XFree(data);
    return c->group > 0 && (pid == c->group || getpgid(pid) == c->group);
}

// Flushes the requests, then sleeps until the server sends something or until
// the moment until, on the clock of now_ms().
static void wait_for_server(double until)
{
    XFlush(dpy);
    if (XQLength(dpy) || until <= now_ms())
        return;
    struct pollfd pfd = {ConnectionNumber(dpy), POLLIN, 0};
    const double ms = until - now_ms();
    struct timespec ts = {(time_t)(ms / 1e3), (long)((ms - (time_t)(ms / 1e3) * 1e3) * 1e6)};
    ppoll(&pfd, 1, &ts, NULL);
}

// Grabs rectangle r of window w into s (freeing what s held); 0 on success.
static int grab(Window w, struct rect r, struct shot* s)
{
    free(s->px);
    s->px = NULL;
    XImage* img = XGetImage(dpy, w, r.x, r.y, (unsigned)r.w, (unsigned)r.h, AllPlanes, ZPixmap);
    if (!img)
        return -1;
    unsigned long mask = img->red_mask | img->green_mask | img->blue_mask;
    mask = mask ? mask : 0xffffff;
    s->r = r;
    s->px = malloc((size_t)r.w * (size_t)r.h * sizeof *s->px);
    for (int y = 0; s->px && y < r.h; y++) {
        uint32_t* out = s->px + (size_t)y * (size_t)r.w;
        const uint32_t* row = (const uint32_t*)(img->data + (size_t)y * img->bytes_per_line);
        for (int x = 0; x < r.w; x++)
            out[x] = (uint32_t)((img->bits_per_pixel == 32 ? row[x] : XGetPixel(img, x, y)) & mask);
    }
    XDestroyImage(img);
    return s->px ? 0 : -1;
}
