// xchild: what the X benchmark helpers share: a monotonic clock, the display
// opened with forgiving error handlers, programs started in process groups of
// their own that go down with the helper, whatever ends it, the wait for the
// server and grabs of a window's pixels.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <sys/types.h>

#include <X11/Xlib.h>

struct child {
    pid_t pid;   // -1 once reaped
    pid_t group; // its process group, which outlives it; -1 before the start
    double t0;   // now_ms() in the child just before execvp()
};

// Milliseconds on the monotonic clock.
double now_ms(void);
void sleep_ms(double ms);

// Opens the display (NULL if it cannot), makes failed requests on vanished windows
// harmless, and makes a lost server, SIGTERM, SIGINT and SIGHUP kill every child
// started below before the helper dies. A lost server prints "error lost the X
// display" on stdout and exits 1.
Display* xchild_open_display(void);

// Starts argv[0] with its output in the file log, in a process group of its own.
// Returns 0, or -1 with a message in err.
int child_start(struct child* c, char* const argv[], const char* log, char* err, size_t errlen);

// 0 while the child is running; otherwise reaps it (if not yet) and returns 1.
int child_gone(struct child* c);

// SIGTERM, then SIGKILL after 2 s; whatever else is left in its group goes too.
void child_stop(struct child* c);

// True if window w was created by the child or something in its process group;
// also true for a window without _NET_WM_PID, since the display is private.
int child_owns_window(Display* dpy, const struct child* c, Window w);

// Flushes the requests, then sleeps until the server sends something or until
// the moment until, on the clock of now_ms().
void wait_for_server(Display* dpy, double until);

struct rect {
    int x, y, w, h;
};

// A grab of a rectangle of a window, as 0xRRGGBB words.
struct shot {
    struct rect r;
    uint32_t* px;
};

// Grabs rectangle r of window w into s (freeing what s held); 0 on success.
int grab(Display* dpy, Window w, struct rect r, struct shot* s);
void shot_free(struct shot* s);
