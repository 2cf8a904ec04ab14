#define _GNU_SOURCE
#include "xchild.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#define MAX_GROUPS 16

// The process groups of every child started, for the handlers below.
static volatile pid_t groups[MAX_GROUPS];

static void kill_all_groups(void)
{
    for (int i = 0; i < MAX_GROUPS; i++)
        if (groups[i] > 0)
            kill(-groups[i], SIGKILL);
}

double now_ms(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

void sleep_ms(double ms)
{
    if (ms <= 0)
        return;
    struct timespec ts = {(time_t)(ms / 1e3), (long)((ms - (time_t)(ms / 1e3) * 1e3) * 1e6)};
    while (nanosleep(&ts, &ts) == -1 && errno == EINTR) {
    }
}

// Windows come and go under our feet; a failed request just means "not this one".
static int ignore_x_error(Display* d, XErrorEvent* e)
{
    (void)d;
    (void)e;
    return 0;
}

// The server went away: take the programs down with us rather than leave them behind.
static int on_x_io_error(Display* d)
{
    (void)d;
    kill_all_groups();
    printf("error lost the X display\n");
    exit(1);
}

static void on_signal(int sig)
{
    kill_all_groups();
    signal(sig, SIG_DFL);
    raise(sig);
}

Display* xchild_open_display(void)
{
    Display* dpy = XOpenDisplay(NULL);
    if (!dpy)
        return NULL;
    fcntl(ConnectionNumber(dpy), F_SETFD, FD_CLOEXEC);
    XSetErrorHandler(ignore_x_error);
    XSetIOErrorHandler(on_x_io_error);
    signal(SIGTERM, on_signal);
    signal(SIGINT, on_signal);
    signal(SIGHUP, on_signal);
    return dpy;
}

int child_start(struct child* c, char* const argv[], const char* log, char* err, size_t errlen)
{
    c->pid = c->group = -1;
    int slot = 0;
    while (slot < MAX_GROUPS && groups[slot] > 0)
        slot++;
    if (slot == MAX_GROUPS) {
        snprintf(err, errlen, "too many programs");
        return -1;
    }
    // The child stores its start time here right before exec; the pipe reports a
    // failed exec (it is close-on-exec, so a successful one just closes it).
    double* t0 = mmap(NULL, sizeof *t0, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    int fds[2];
    if (t0 == MAP_FAILED || pipe2(fds, O_CLOEXEC) == -1) {
        snprintf(err, errlen, "%s", strerror(errno));
        return -1;
    }
    pid_t pid = fork();
    if (pid == -1) {
        snprintf(err, errlen, "fork: %s", strerror(errno));
        return -1;
    }
    if (pid == 0) {
        close(fds[0]);
        setpgid(0, 0);
        signal(SIGTERM, SIG_DFL);
        signal(SIGINT, SIG_DFL);
        signal(SIGHUP, SIG_DFL);
        int fd = open(log, O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            dup2(fd, 1);
            dup2(fd, 2);
            close(fd);
        }
        *t0 = now_ms();
        execvp(argv[0], argv);
        int e = errno;
        if (write(fds[1], &e, sizeof e) < 0) {
        }
        _exit(127);
    }
    c->pid = c->group = groups[slot] = pid;
    setpgid(pid, pid); // also here, so kill(-pid) works whichever runs first
    close(fds[1]);
    int e;
    ssize_t n = read(fds[0], &e, sizeof e);
    close(fds[0]);
    c->t0 = *t0;
    munmap(t0, sizeof *t0);
    if (n == (ssize_t)sizeof e) {
        waitpid(pid, NULL, 0);
        c->pid = -1;
        groups[slot] = 0;
        snprintf(err, errlen, "cannot run %s: %s", argv[0], strerror(e));
        return -1;
    }
    return 0;
}

int child_gone(struct child* c)
{
    int status;
    if (c->pid <= 0)
        return 1;
    pid_t r = waitpid(c->pid, &status, WNOHANG);
    if (r == c->pid || (r == -1 && errno == ECHILD)) {
        c->pid = -1;
        return 1;
    }
    return 0;
}

void child_stop(struct child* c)
{
    if (c->pid > 0) {
        kill(-c->group, SIGTERM);
        kill(c->pid, SIGTERM);
        for (int i = 0; i < 200 && !child_gone(c); i++)
            sleep_ms(10);
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

int child_owns_window(Display* dpy, const struct child* c, Window w)
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

void wait_for_server(Display* dpy, double until)
{
    XFlush(dpy);
    if (XQLength(dpy))
        return;
    double wait = until - now_ms();
    if (wait <= 0)
        return;
    struct pollfd pfd = {ConnectionNumber(dpy), POLLIN, 0};
    struct timespec ts = {(time_t)(wait / 1e3), (long)((wait - (time_t)(wait / 1e3) * 1e3) * 1e6)};
    ppoll(&pfd, 1, &ts, NULL);
}

void shot_free(struct shot* s)
{
    free(s->px);
    s->px = NULL;
}

int grab(Display* dpy, Window w, struct rect r, struct shot* s)
{
    shot_free(s);
    XImage* img = XGetImage(dpy, w, r.x, r.y, (unsigned)r.w, (unsigned)r.h, AllPlanes, ZPixmap);
    if (!img)
        return -1;
    unsigned long mask = img->red_mask | img->green_mask | img->blue_mask;
    if (!mask)
        mask = 0xffffff;
    s->r = r;
    s->px = malloc((size_t)r.w * (size_t)r.h * sizeof *s->px);
    for (int y = 0; s->px && y < r.h; y++) {
        uint32_t* out = s->px + (size_t)y * (size_t)r.w;
        if (img->bits_per_pixel == 32) {
            const uint32_t* row = (const uint32_t*)(img->data + (size_t)y * img->bytes_per_line);
            for (int x = 0; x < r.w; x++)
                out[x] = row[x] & (uint32_t)mask;
        } else {
            for (int x = 0; x < r.w; x++)
                out[x] = (uint32_t)(XGetPixel(img, x, y) & mask);
        }
    }
    XDestroyImage(img);
    return s->px ? 0 : -1;
}
