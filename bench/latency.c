// latency: clicks programs through XTEST and times each click, from the moment it
// is sent to the moment its result is on the screen.
//
// usage: latency CLICKS WARMUP LOGDIR KIND:PROGRAM ...
//   CLICKS counted clicks per program after WARMUP others; program K's output goes
//   to LOGDIR/K.log.  KIND tintara: click tintara's arrow buttons Up and Down;
//   fifteen: the tile above or below the gap of sgt-fifteen.  A tile slides a cell.
//
// The programs run side by side and are clicked in turn.  A click: the pointer
// moves onto the control, the windows go quiet, the two cells the tile moves
// between are grabbed, the press and release go out and the clock starts.  Then
// the cells are grabbed whenever the window's XDamage object reports drawing (the
// server sends the report once the drawing is done; the time is when it was read),
// and every POLL_MS (the time is when the grab came back).  The first change is
// the first grab that differs, the end the first in which the two cells have
// exchanged their pictures (but for LOOSE pixels).
//
// sgt-fifteen's gap is the one square of background colour framed by tiles.
// Colours do not tell tintara's empty cell from a pale tile, so the first clicks
// find it: Up, and if nothing moved, Down.  Then each click moves the same tile
// back or forth.  A click that opens a window (the message box on a solved board)
// is skipped and the program started again.
//
// Output, a line a click: "click K FIRST_MS FINAL_MS damage|poll" (counted), "warm
// ..." (warm-up), "timeout K MS" or "skip K REASON" (not counted); then "done".
#include "xchild.c"

#include <X11/extensions/XTest.h>

#define MAX_PROGS 8
#define CELLS 16
#define START_MS 10000 // give up on a program that shows no window for this long
#define SETTLE_MS 300  // a new window must stay still this long before the clicks
#define TIMEOUT_MS 3000
#define QUIET_MS 100 // before each click, no window has drawn for this long
#define POLL_MS 5    // also grab this often, in case a damage report comes late
#define SPACING 8    // pixels between the windows
// How many pixels of a moved tile may differ from its picture before: sgt-fifteen
// draws the corners of a tile antialiased over what was beneath.  A tile one pixel
// short of its place differs in a whole row or column of pixels and more.
#define LOOSE 16

enum dir { NONE, UP, DOWN };

struct prog {
    int tintara; // else sgt-fifteen
    char* argv[2];
    char log[4096];
    struct child ch;
    Window win;
    Damage damage;
    int dirty;  // drawing reported since the last grab
    int opened; // another window of the program was mapped
    int placed; // sx, sy chosen
    int sx, sy; // the window's place on the screen
    int w, h;   // its size
    struct rect cell[CELLS];
    struct rect up, down; // tintara's arrow buttons
    int gap;              // the empty cell, or -1 while unknown
    enum dir last;        // the last direction that moved a tile
    int warm, counted, failed;
    int misses; // clicks in a row that moved nothing while looking for the gap
};

static double last_drawing; // when any window last reported drawing
static struct prog progs[MAX_PROGS];
static int nprogs;
static int next_x, next_y, row_h; // where the next window goes

static struct rect rect_union(struct rect a, struct rect b)
{
    int x0 = a.x < b.x ? a.x : b.x, y0 = a.y < b.y ? a.y : b.y;
    int x1 = a.x + a.w > b.x + b.w ? a.x + a.w : b.x + b.w;
    int y1 = a.y + a.h > b.y + b.h ? a.y + a.h : b.y + b.h;
    return (struct rect){x0, y0, x1 - x0, y1 - y0};
}

// The pixel at window coordinates x, y, which must lie in the shot.
static uint32_t at(const struct shot* s, int x, int y)
{
    return s->px[(size_t)(y - s->r.y) * (size_t)s->r.w + (size_t)(x - s->r.x)];
}

// True if rectangle ra of shot a shows the same picture as rectangle rb of shot
// b: exactly, or but for at most LOOSE pixels if loose is set.
static int same(const struct shot* a, struct rect ra, const struct shot* b, struct rect rb,
                int loose)
{
    int off = 0;
    for (int y = 0; y < ra.h; y++)
        for (int x = 0; x < ra.w; x++)
            if (at(a, ra.x + x, ra.y + y) != at(b, rb.x + x, rb.y + y) && (!loose || ++off > LOOSE))
                return 0;
    return 1;
}

// How many pixels of rectangle r of shot s have colour c.
static int count(const struct shot* s, struct rect r, uint32_t c)
{
    int n = 0;
    for (int y = r.y; y < r.y + r.h; y++)
        for (int x = r.x; x < r.x + r.w; x++)
            n += at(s, x, y) == c;
    return n;
}

static int uniform(const struct shot* s, struct rect r, uint32_t c)
{
    return count(s, r, c) == r.w * r.h;
}

// Reads whatever the server has sent, taking t as its time.
static void handle_events(double t)
{
    while (XPending(dpy)) {
        XEvent ev;
        XNextEvent(dpy, &ev);
        for (int i = 0; i < nprogs; i++) {
            struct prog* p = &progs[i];
            if (ev.type == damage_event && p->damage == ((XDamageNotifyEvent*)&ev)->damage) {
                // re-arm at once, so that later drawing is reported too
                XDamageSubtract(dpy, p->damage, None, None);
                p->dirty = 1;
                last_drawing = t;
            } else if (ev.type == MapNotify && ev.xmap.event == root && p->ch.pid > 0 &&
                       ev.xmap.window != p->win && child_owns_window(&p->ch, ev.xmap.window)) {
                p->opened = p->win != 0;
                p->win = p->win ? p->win : ev.xmap.window;
                break;
            }
        }
    }
}

// Waits until no window has drawn for ms, for at most cap ms; 0 once quiet.
static int wait_quiet(double ms, double cap)
{
    const double start = now_ms();
    last_drawing = start;
    for (;;) {
        double t = now_ms();
        handle_events(t);
        if (t - last_drawing >= ms)
            return 0;
        if (t - start >= cap)
            return -1;
        wait_for_server(last_drawing + ms < start + cap ? last_drawing + ms : start + cap);
    }
}

// Twips of window/Layout.h to pixels at 96 dots per inch, as the window rounds them.
static int pixels(int twips)
{
    return (twips * 2 + 15) / 30;
}

static struct rect twips_rect(int left, int top, int width, int height, int scale)
{
    return (struct rect){pixels(left) * scale, pixels(top) * scale, pixels(width) * scale,
                         pixels(height) * scale};
}

// Tintara's cells B1..B16 and arrow buttons cmdUp and cmdDown, from window/Layout.h;
// checks that each cell shows one colour inside its two-pixel edge.
static void find_tintara_board(struct prog* p)
{
    const int width = pixels(7440), height = pixels(3945); // the client area
    const int scale = p->w / width, e = 2 * scale;
    if (scale < 1 || p->w != width * scale || p->h != height * scale)
        fail("tintara's window is %dx%d, not %dx%d at a whole scale", p->w, p->h, width, height);
    for (int k = 0; k < CELLS; k++)
        p->cell[k] = twips_rect(240 + 840 * (k % 4), 240 + 840 * (k / 4), 800, 800, scale);
    p->up = twips_rect(5760, 1920, 735, 735, scale);
    p->down = twips_rect(5760, 2760, 735, 735, scale);
    struct shot s = {{0, 0, 0, 0}, NULL};
    if (grab(p->win, rect_union(p->cell[0], p->cell[CELLS - 1]), &s) != 0)
        fail("cannot grab tintara's window");
    for (int k = 0; k < CELLS; k++) {
        struct rect c = p->cell[k], in = {c.x + e, c.y + e, c.w - 2 * e, c.h - 2 * e};
        if (!uniform(&s, in, at(&s, in.x, in.y)))
            fail("tintara's cell B%d is not where window/Layout.h puts it", k + 1);
    }
    free(s.px);
}

// True if rectangle r of shot s looks like one of sgt-fifteen's tiles: a light
// edge along the top and left, a dark one along the bottom and right.  light and
// dark are the colours of the first tile seen, 0 to take them from this one.
static int tile_like(const struct shot* s, struct rect r, uint32_t bg, uint32_t* light,
                     uint32_t* dark)
{
    if (r.x < 0 || r.y < 0 || r.x + r.w > s->r.w || r.y + r.h > s->r.h)
        return 0;
    const int m = r.w / 8 > 0 ? r.w / 8 : 1, side = r.h - 2 * m;
    const uint32_t l = at(s, r.x, r.y + m), d = at(s, r.x + r.w - 1, r.y + m);
    if (l == bg || d == bg || l == d || (*light && (l != *light || d != *dark)) ||
        !uniform(s, (struct rect){r.x, r.y + m, 1, side}, l) ||
        !uniform(s, (struct rect){r.x + m, r.y, side, 1}, l) ||
        !uniform(s, (struct rect){r.x + r.w - 1, r.y + m, 1, side}, d) ||
        !uniform(s, (struct rect){r.x + m, r.y + r.h - 1, side, 1}, d))
        return 0;
    *light = l;
    *dark = d;
    return 1;
}

static int cmp_u32(const void* a, const void* b)
{
    uint32_t x = *(const uint32_t*)a, y = *(const uint32_t*)b;
    return (x > y) - (x < y);
}

// The most frequent colour of the shot.
static uint32_t background(const struct shot* s)
{
    size_t n = (size_t)s->r.w * (size_t)s->r.h, best = 0, run = 0;
    uint32_t* v = malloc(n * sizeof *v);
    if (!v)
        fail("out of memory");
    memcpy(v, s->px, n * sizeof *v);
    qsort(v, n, sizeof *v, cmp_u32);
    uint32_t c = v[0];
    for (size_t i = 0; i < n; i++) {
        run = i > 0 && v[i] == v[i - 1] ? run + 1 : 1;
        if (run > best) {
            best = run;
            c = v[i];
        }
    }
    free(v);
    return c;
}

// True if the square of side n at x, y is all background, framed by other colours.
static int framed_square(const struct shot* s, int x, int y, int n, uint32_t bg)
{
    return y >= 1 && y + n < s->r.h && x >= 1 && x + n < s->r.w &&
           !count(s, (struct rect){x, y - 1, n, 1}, bg) &&
           !count(s, (struct rect){x, y + n, n, 1}, bg) &&
           !count(s, (struct rect){x - 1, y, 1, n}, bg) &&
           !count(s, (struct rect){x + n, y, 1, n}, bg) &&
           uniform(s, (struct rect){x, y, n, n}, bg);
}

// sgt-fifteen's cells, from the pixels: the gap is the one square of background
// framed on all four sides; it gives the cell pitch, and the board is where the
// other fifteen cells around it all look like tiles.
static void find_fifteen_board(struct prog* p)
{
    struct shot s = {{0, 0, 0, 0}, NULL};
    if (grab(p->win, (struct rect){0, 0, p->w, p->h}, &s) != 0)
        fail("cannot grab sgt-fifteen's window");
    const uint32_t bg = background(&s);
    int found = 0, gx = 0, gy = 0, side = 0, boards = 0;
    for (int y = 1; y < s.r.h - 1; y++) {
        for (int x = 1; x < s.r.w - 1; x++) {
            if (at(&s, x, y) != bg || at(&s, x - 1, y) == bg)
                continue;
            int n = 1;
            while (x + n < s.r.w && at(&s, x + n, y) == bg)
                n++;
            if (n >= 8 && framed_square(&s, x, y, n, bg)) {
                found++;
                gx = x, gy = y, side = n;
            }
            x += n - 1;
        }
    }
    if (found != 1)
        fail("found %d gaps on sgt-fifteen's board, not 1", found);
    for (int gap = 0; gap < CELLS; gap++) {
        struct rect cell[CELLS];
        uint32_t light = 0, dark = 0;
        int ok = 1;
        for (int k = 0; k < CELLS && ok; k++) {
            cell[k] = (struct rect){gx + (k % 4 - gap % 4) * side, gy + (k / 4 - gap / 4) * side,
                                    side, side};
            ok = k == gap || tile_like(&s, cell[k], bg, &light, &dark);
        }
        if (ok) {
            boards++;
            memcpy(p->cell, cell, sizeof cell);
            p->gap = gap;
        }
    }
    free(s.px);
    if (boards != 1)
        fail("sgt-fifteen's gap fits %d boards of tiles, not 1", boards);
}

static void launch(struct prog* p)
{
    p->win = p->damage = 0;
    p->opened = 0;
    child_start(&p->ch, p->argv, p->log);
    const double deadline = now_ms() + START_MS;
    while (!p->win) {
        wait_for_server(now_ms() + 20);
        handle_events(now_ms());
        if (child_gone(&p->ch))
            fail("%s exited before showing a window", p->argv[0]);
        if (now_ms() > deadline)
            fail("%s showed no window within %d ms", p->argv[0], START_MS);
    }
    p->damage = XDamageCreate(dpy, p->win, XDamageReportNonEmpty);
    XWindowAttributes wa;
    if (wait_quiet(SETTLE_MS, START_MS) != 0 || !XGetWindowAttributes(dpy, p->win, &wa))
        fail("%s did not settle", p->argv[0]);
    p->w = wa.width;
    p->h = wa.height;
    if (!p->placed) { // next in the row of windows, or first in the next row
        const int sw = DisplayWidth(dpy, DefaultScreen(dpy));
        if (next_x > 0 && next_x + p->w > sw) {
            next_x = 0;
            next_y += row_h + SPACING;
            row_h = 0;
        }
        if (next_x + p->w > sw || next_y + p->h > DisplayHeight(dpy, DefaultScreen(dpy)))
            fail("the screen is too small for the windows");
        p->sx = next_x;
        p->sy = next_y;
        p->placed = 1;
        next_x += p->w + SPACING;
        row_h = p->h > row_h ? p->h : row_h;
    }
    XMoveWindow(dpy, p->win, p->sx, p->sy);
    XSync(dpy, False);
    if (wait_quiet(SETTLE_MS, START_MS) != 0)
        fail("%s did not settle", p->argv[0]);
    p->gap = -1;
    p->last = NONE;
    if (p->tintara)
        find_tintara_board(p);
    else
        find_fifteen_board(p);
}

// The cell whose tile has moved into its vertical neighbour's place, the rest of
// the board unchanged, or -1.  For an unknown gap.
static int swapped_pair(const struct prog* p, const struct shot* before, const struct shot* now)
{
    int found = -1;
    for (int k = 0; k < CELLS; k++) {
        if (same(now, p->cell[k], before, p->cell[k], 1) || (found >= 0 && k == found + 4))
            continue;
        if (found >= 0 || k + 4 >= CELLS || !same(now, p->cell[k], before, p->cell[k + 4], 1) ||
            !same(now, p->cell[k + 4], before, p->cell[k], 1))
            return -1;
        found = k;
    }
    return found;
}

// One click of program k; prints its line.
static void click(struct prog* p, int k)
{
    // Where the click goes and which cell's tile it moves (-1 while the gap is unknown).
    const int row = p->gap / 4;
    const enum dir d = p->gap < 0 ? (p->last == UP ? DOWN : UP)
                                  : ((p->last == UP && row >= 1) || row == 3 ? DOWN : UP);
    const int tile = p->gap < 0 ? -1 : d == UP ? p->gap + 4 : p->gap - 4;
    const struct rect r = p->tintara ? (d == UP ? p->up : p->down) : p->cell[tile];
    const struct rect area = tile < 0 ? rect_union(p->cell[0], p->cell[CELLS - 1])
                                      : rect_union(p->cell[p->gap], p->cell[tile]);
    const double limit = tile < 0 ? 1000 : TIMEOUT_MS; // a click may move nothing while searching

    XTestFakeMotionEvent(dpy, DefaultScreen(dpy), p->sx + r.x + r.w / 2, p->sy + r.y + r.h / 2,
                         CurrentTime);
    XSync(dpy, False);
    wait_quiet(QUIET_MS, 10 * QUIET_MS + 1000);
    struct shot before = {{0, 0, 0, 0}, NULL}, now = {{0, 0, 0, 0}, NULL};
    if (grab(p->win, area, &before) != 0)
        fail("cannot grab the window of %s", p->argv[0]);
    handle_events(now_ms());
    p->dirty = 0;

    XTestFakeButtonEvent(dpy, 1, True, CurrentTime);
    XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
    // Taken before the flush: after it, this process may lose the processor to the
    // server and the program for a while, and the clock would start late.
    const double t0 = now_ms();
    XFlush(dpy);

    double first = -1, final = -1, last_poll = t0;
    int by_damage = 0, moved = -1;
    while (final < 0) {
        wait_for_server(last_poll + POLL_MS);
        const double t = now_ms();
        handle_events(t);
        const int polled = t - last_poll >= POLL_MS;
        if (polled)
            last_poll = t;
        if ((p->dirty || polled) && !p->opened) {
            const int was_dirty = p->dirty;
            p->dirty = 0;
            if (grab(p->win, area, &now) == 0) {
                // A damage report comes after the drawing, so the picture was there
                // when it was read; a poll only knows once its grab is back.
                const double seen = was_dirty ? t : now_ms();
                if (first < 0 && !same(&now, area, &before, area, 0))
                    first = seen;
                if (tile >= 0)
                    moved = same(&now, p->cell[p->gap], &before, p->cell[tile], 1) &&
                                    same(&now, p->cell[tile], &before, p->cell[p->gap], 1)
                                ? tile
                                : -1;
                else if ((moved = swapped_pair(p, &before, &now)) >= 0)
                    moved = d == UP ? moved + 4 : moved; // where the gap is now
                if (moved >= 0) {
                    final = seen;
                    by_damage = was_dirty;
                }
            }
        }
        if (p->opened || t - t0 > limit || child_gone(&p->ch))
            break;
    }
    free(before.px);
    free(now.px);

    if (child_gone(&p->ch))
        fail("%s exited", p->argv[0]);
    if (p->opened) {
        printf("skip %d the click opened a window\n", k);
        p->failed++;
        XDamageDestroy(dpy, p->damage);
        child_stop(&p->ch);
        XSync(dpy, False);
        launch(p); // with a fresh board
        return;
    }
    if (final < 0) {
        if (tile >= 0) {
            printf("timeout %d %.0f\n", k, limit);
            p->failed++;
            // where the tile is now is anyone's guess: look again
            if (p->tintara)
                p->gap = -1;
            else
                find_fifteen_board(p);
        }
        if (tile < 0 && ++p->misses > 4)
            fail("no click moves a tile of %s", p->argv[0]);
        p->last = d; // searching: try the other way next
        return;
    }
    p->gap = moved;
    p->last = d;
    p->misses = 0;
    const int counted = tile >= 0 && p->warm >= 0;
    printf("%s %d %.2f %.2f %s\n", counted ? "click" : "warm", k, first - t0, final - t0,
           by_damage ? "damage" : "poll");
    if (counted)
        p->counted++;
    else if (tile >= 0)
        p->warm++;
}

int main(int argc, char* argv[])
{
    const int clicks = argc > 4 ? atoi(argv[1]) : 0, warmup = argc > 4 ? atoi(argv[2]) : -1;
    if (clicks < 1 || warmup < 0 || argc - 4 > MAX_PROGS) {
        fprintf(stderr, "usage: latency CLICKS WARMUP LOGDIR tintara|fifteen:PROGRAM ...\n");
        return 1;
    }
    for (nprogs = 0; nprogs < argc - 4; nprogs++) {
        struct prog* p = &progs[nprogs];
        p->tintara = strncmp(argv[nprogs + 4], "tintara:", 8) == 0;
        if (!p->tintara && strncmp(argv[nprogs + 4], "fifteen:", 8) != 0)
            fail("not tintara:PROGRAM or fifteen:PROGRAM: %s", argv[nprogs + 4]);
        p->argv[0] = argv[nprogs + 4] + 8;
        p->ch.pid = p->ch.group = -1;
        snprintf(p->log, sizeof p->log, "%s/%d.log", argv[3], nprogs);
        p->warm = -warmup; // counts up to 0, then the clicks count
    }
    open_display();
    int ev_base, err_base, major, minor;
    if (!XTestQueryExtension(dpy, &ev_base, &err_base, &major, &minor))
        fail("the display has no XTEST extension");
    for (int i = 0; i < nprogs; i++)
        launch(&progs[i]);
    for (int busy = 1; busy;) {
        busy = 0;
        for (int i = 0; i < nprogs; i++) {
            struct prog* p = &progs[i];
            if (p->counted >= clicks)
                continue;
            busy = 1;
            click(p, i);
            if (p->failed > clicks / 2 + 10)
                fail("too many clicks of %s went wrong", p->argv[0]);
        }
    }
    for (int i = 0; i < nprogs; i++)
        child_stop(&progs[i].ch);
    printf("done\n");
    return 0;
}
