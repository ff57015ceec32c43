/* The physical floor for the window's job on Wayland: the same lattice on a 10 ms timer, each
 * moved dot's 3x3 square erased and redrawn in shared-memory buffers, only the changed squares
 * damaged. No toolkit: libwayland and xdg-shell alone. What a program cannot go below on a
 * Wayland desktop.
 * It wakes only for its timer. The compositor's events (frame callbacks, buffer releases,
 * pings) wait in the socket until the next tick reads them without blocking: none needs an
 * answer sooner than a tick, at most 10 ms away, and waking for them would add a wake-up or two
 * to every frame.
 * It presents at the compositor's pace: a new frame only once the last one's frame callback has
 * come, so the compositor is never handed frames it will not show. The lattice ticks on; the
 * frame after the wait draws all that moved meanwhile.
 * Built with the benchmarks; measured with shared/tools/wake-wl.sh 5 build/bench/wayland-floor
 * WAYLAND_FLOOR_FRAMES=1: at SIGINT or SIGTERM, the frames it committed go to standard error. */
#define _GNU_SOURCE /* memfd_create */
#include <errno.h>
#include <math.h>
#include <poll.h>
#include <signal.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/timerfd.h>
#include <time.h>
#include <unistd.h>
#include <wayland-client.h>

#include "xdg-shell-client-protocol.h"

enum { W = 800, H = 600, NODES = 125, TILE = 8, NBUF = 3 };
/* XRGB8888; the unused byte set, as a screenshot may read it as alpha. */
static const uint32_t WHITE = 0xffffffff, PINK = 0xffff3264;

/* ---- the lattice, as xcb-floor steps it ---- */
typedef struct { double x, y, z; } V;
static const double DEG = 3.14159265359 / 180.0, HALF = 3.14159265359;
static V pos[NODES], vel[NODES];
static int nbr[NODES][6], nnbr[NODES];

static void turn(double *u, double *z, int deg)
{
    if (*u == 0.0 && *z == 0.0)
        return;
    float a = (float)atan(*u / *z);
    a = (float)(a + deg * DEG);
    if (*z < 0)
        a = (float)(a + HALF);
    float r = (float)sqrt(*u * *u + *z * *z);
    double zc = (int)(float)(r * cosf(a)), uc = (int)(float)(r * sinf(a));
    *u = uc;
    *z = zc;
}

static void lattice_init(void)
{
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 5; ++j)
            for (int k = 0; k < 5; ++k) {
                int n = i * 25 + j * 5 + k;
                pos[n] = (V){200.0 + 100 * i, 75.0 + 100 * j, 500.0 + 100 * k};
                int b[3] = {i ? n - 25 : -1, j ? n - 5 : -1, k ? n - 1 : -1};
                for (int q = 0; q < 3; ++q)
                    if (b[q] >= 0) {
                        nbr[n][nnbr[n]++] = b[q];
                        nbr[b[q]][nnbr[b[q]]++] = n;
                    }
            }
}

/* A dot is the top-left corner of its square. */
typedef struct { int x, y; } P;

static void project(P *dot)
{
    for (int n = 0; n < NODES; ++n) {
        double x = pos[n].x - 400, y = pos[n].y, z = pos[n].z - 50;
        turn(&x, &z, 0);
        x = x + 400;
        y = y - 300;
        z = (z + 240) - 250;
        turn(&y, &z, 0);
        y = y + 300;
        z = z + 440;
        double ix = (int)x, iy = (int)y, den = 400.0 + z;
        if (den != 0.0) { /* else the dot stays */
            double d = 0.5 - 400.0 / den;
            float sx = (float)(ix + (400 - ix) * d), sy = (float)(iy + (300 - iy) * d);
            dot[n] = (P){(int)lrintf(sx - 1.5f), (int)lrintf(sy - 1.5f)};
        }
    }
}

static void step(void)
{
    for (int n = 0; n < NODES; ++n) {
        pos[n].x += vel[n].x * 0.05;
        pos[n].y += vel[n].y * 0.05;
        pos[n].z += vel[n].z * 0.05;
    }
    for (int n = 0; n < NODES; ++n) {
        V F = {0, 0, 0};
        for (int q = 0; q < nnbr[n]; ++q) {
            V p = pos[nbr[n][q]];
            double dx = p.x - pos[n].x, dy = p.y - pos[n].y, dz = p.z - pos[n].z;
            double l = sqrt(dx * dx + dy * dy + dz * dz);
            if (l == 0.0)
                continue;
            double f = l - 90.0, inv = 1.0 / l;
            F.x += dx * inv * f;
            F.y += dy * inv * f;
            F.z += dz * inv * f;
        }
        vel[n].x += F.x * 0.1;
        vel[n].y += F.y * 0.1;
        vel[n].z += F.z * 0.1;
    }
}

/* ---- pictures ---- */
typedef struct { int x0, y0, x1, y1; } R; /* half-open, within the surface */

static R clip(int x0, int y0, int x1, int y1)
{
    return (R){x0 < 0 ? 0 : x0, y0 < 0 ? 0 : y0, x1 > W ? W : x1, y1 > H ? H : y1};
}

static int empty(R r) { return r.x0 >= r.x1 || r.y0 >= r.y1; }

static R square(P p) { return clip(p.x, p.y, p.x + 3, p.y + 3); }

static int touch(R a, R b) { return a.x0 <= b.x1 && b.x0 <= a.x1 && a.y0 <= b.y1 && b.y0 <= a.y1; }

static R box(R a, R b)
{
    return (R){a.x0 < b.x0 ? a.x0 : b.x0, a.y0 < b.y0 ? a.y0 : b.y0, a.x1 > b.x1 ? a.x1 : b.x1,
               a.y1 > b.y1 ? a.y1 : b.y1};
}

/* Where two sets of dots differ: each moved dot's old and new square, a square that touches the
 * last rectangle joining it. A line of nodes in depth comes one after another and shows as one
 * cluster of dots, so a frame's changes go as about 25 rectangles rather than 90: libwayland
 * allocates and frees a message for each, some 2 400 instructions, far more than the few spare
 * pixels cost the compositor. */
static int changes(const P *from, const P *to, R *out)
{
    int k = 0;
    for (int n = 0; n < NODES; ++n) {
        if (from[n].x == to[n].x && from[n].y == to[n].y)
            continue;
        R sq[2] = {square(from[n]), square(to[n])};
        for (int i = 0; i < 2; ++i) {
            if (empty(sq[i]))
                continue;
            if (k && touch(out[k - 1], sq[i]))
                out[k - 1] = box(out[k - 1], sq[i]);
            else
                out[k++] = sq[i];
        }
    }
    return k;
}

static void fill(uint32_t *px, R r, uint32_t c)
{
    for (int y = r.y0; y < r.y1; ++y)
        for (int x = r.x0; x < r.x1; ++x)
            px[y * W + x] = c;
}

typedef struct {
    struct wl_buffer *wl;
    uint32_t *px;
    int busy, drawn;
    P at[NODES]; /* the dots its picture shows, once drawn */
} Buf;

/* One pass brings a buffer from the picture it holds, however old, to this tick's: erase where
 * the dots differ, then redraw the dots there. A dot is redrawn when its square shares a tile
 * with an erased rectangle: a cheap superset of the dots an erasure may have cut into, and a
 * dot redrawn where it already is changes nothing. */
static void repaint(Buf *b, const P *dot)
{
    static uint32_t mark[H / TILE][W / TILE], gen;
    static R r[2 * NODES];
    int k = 1;
    ++gen;
    if (b->drawn)
        k = changes(b->at, dot, r);
    else
        r[0] = (R){0, 0, W, H};
    for (int i = 0; i < k; ++i) {
        fill(b->px, r[i], WHITE);
        for (int ty = r[i].y0 / TILE; ty <= (r[i].y1 - 1) / TILE; ++ty)
            for (int tx = r[i].x0 / TILE; tx <= (r[i].x1 - 1) / TILE; ++tx)
                mark[ty][tx] = gen;
    }
    for (int n = 0; n < NODES; ++n) {
        R s = square(dot[n]);
        if (empty(s))
            continue;
        int hit = 0;
        for (int ty = s.y0 / TILE; ty <= (s.y1 - 1) / TILE; ++ty)
            for (int tx = s.x0 / TILE; tx <= (s.x1 - 1) / TILE; ++tx)
                hit |= mark[ty][tx] == gen;
        if (hit)
            fill(b->px, s, PINK);
    }
    memcpy(b->at, dot, sizeof b->at);
    b->drawn = 1;
}

/* ---- the window ---- */
static struct wl_display *display;
static struct wl_compositor *compositor;
static struct wl_shm *shm;
static struct xdg_wm_base *wm;
static struct wl_surface *surface;
static struct wl_callback *frame; /* the last commit's callback, until it comes */
static int configured, closed;
static Buf buf[NBUF];
static P shown[NODES]; /* the dots of the last commit */
static int shown_any;
static unsigned long commits;
static struct timespec first_commit;
static volatile sig_atomic_t stop;

static void on_global(void *data, struct wl_registry *reg, uint32_t name, const char *iface,
                      uint32_t version)
{
    (void)data;
    if (!strcmp(iface, wl_compositor_interface.name) && version >= 4) /* damage_buffer */
        compositor = wl_registry_bind(reg, name, &wl_compositor_interface, 4);
    else if (!strcmp(iface, wl_shm_interface.name))
        shm = wl_registry_bind(reg, name, &wl_shm_interface, 1);
    else if (!strcmp(iface, xdg_wm_base_interface.name))
        wm = wl_registry_bind(reg, name, &xdg_wm_base_interface, 1);
}
static void on_global_remove(void *data, struct wl_registry *reg, uint32_t name)
{
    (void)data, (void)reg, (void)name;
}
static const struct wl_registry_listener registry_listener = {on_global, on_global_remove};

static void on_ping(void *data, struct xdg_wm_base *base, uint32_t serial)
{
    (void)data;
    xdg_wm_base_pong(base, serial);
}
static const struct xdg_wm_base_listener wm_listener = {.ping = on_ping};

static void on_configure(void *data, struct xdg_surface *xs, uint32_t serial)
{
    (void)data;
    xdg_surface_ack_configure(xs, serial);
    configured = 1;
}
static const struct xdg_surface_listener xdg_surface_listener = {.configure = on_configure};

/* The size is fixed, whatever the compositor suggests. */
static void on_toplevel_configure(void *data, struct xdg_toplevel *t, int32_t w, int32_t h,
                                  struct wl_array *states)
{
    (void)data, (void)t, (void)w, (void)h, (void)states;
}
static void on_close(void *data, struct xdg_toplevel *t)
{
    (void)data, (void)t;
    closed = 1;
}
static const struct xdg_toplevel_listener toplevel_listener = {.configure = on_toplevel_configure,
                                                               .close = on_close};

static void on_frame(void *data, struct wl_callback *cb, uint32_t time)
{
    (void)data, (void)time;
    wl_callback_destroy(cb);
    frame = NULL;
}
static const struct wl_callback_listener frame_listener = {on_frame};

static void on_release(void *data, struct wl_buffer *wb)
{
    (void)wb;
    ((Buf *)data)->busy = 0;
}
static const struct wl_buffer_listener buffer_listener = {on_release};

static int make_buffer(Buf *b)
{
    const int size = W * H * 4;
    int fd = memfd_create("wayland-floor", MFD_CLOEXEC);
    if (fd < 0)
        return 0;
    void *m = ftruncate(fd, size) < 0 ? MAP_FAILED
                                      : mmap(NULL, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (m == MAP_FAILED) {
        close(fd);
        return 0;
    }
    struct wl_shm_pool *pool = wl_shm_create_pool(shm, fd, size);
    b->wl = wl_shm_pool_create_buffer(pool, 0, W, H, W * 4, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    b->px = m;
    wl_buffer_add_listener(b->wl, &buffer_listener, b);
    return 1;
}

/* A free buffer; a new one only while the compositor holds all there are. Two alternate when
 * it lets go of the older as it takes the newer. */
static Buf *free_buffer(void)
{
    for (int i = 0; i < NBUF; ++i)
        if (buf[i].wl && !buf[i].busy)
            return &buf[i];
    for (int i = 0; i < NBUF; ++i)
        if (!buf[i].wl)
            return make_buffer(&buf[i]) ? &buf[i] : NULL;
    return NULL;
}

/* Damage since the last commit, however many ticks it waited for its frame callback. */
static void present(const P *dot)
{
    static R d[2 * NODES];
    int k = 1;
    if (shown_any) {
        k = changes(shown, dot, d);
        if (!k)
            return;
    } else {
        d[0] = (R){0, 0, W, H};
    }
    Buf *b = free_buffer();
    if (!b)
        return; /* the damage waits, as for a frame callback */
    repaint(b, dot);
    wl_surface_attach(surface, b->wl, 0, 0);
    for (int i = 0; i < k; ++i)
        wl_surface_damage_buffer(surface, d[i].x0, d[i].y0, d[i].x1 - d[i].x0, d[i].y1 - d[i].y0);
    frame = wl_surface_frame(surface);
    wl_callback_add_listener(frame, &frame_listener, NULL);
    wl_surface_commit(surface);
    b->busy = 1;
    memcpy(shown, dot, sizeof shown);
    shown_any = 1;
    if (!commits++)
        clock_gettime(CLOCK_MONOTONIC, &first_commit);
}

/* Whatever the compositor has sent, without waiting for more. */
static int take_events(void)
{
    while (wl_display_prepare_read(display) != 0)
        if (wl_display_dispatch_pending(display) < 0)
            return -1;
    struct pollfd p = {wl_display_get_fd(display), POLLIN, 0};
    if (poll(&p, 1, 0) > 0) {
        if (wl_display_read_events(display) < 0)
            return -1;
    } else {
        wl_display_cancel_read(display);
    }
    return wl_display_dispatch_pending(display);
}

static void on_signal(int sig)
{
    (void)sig;
    stop = 1;
}

/* Frames a second from the first commit on: the compositor's pace, as the client saw it. */
static int report(void)
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    double s = (double)(now.tv_sec - first_commit.tv_sec) +
               (double)(now.tv_nsec - first_commit.tv_nsec) / 1e9;
    int bufs = 0;
    for (int i = 0; i < NBUF; ++i)
        bufs += buf[i].wl != NULL;
    fprintf(stderr, "wayland-floor: %lu frames committed in %.2f s, %.1f a second; %d buffers\n",
            commits, commits ? s : 0.0, commits > 1 ? (double)(commits - 1) / s : 0.0, bufs);
    return 0;
}

static int gone(void)
{
    fprintf(stderr, "wayland-floor: the compositor is gone\n");
    return 1;
}

int main(void)
{
    const int counting = getenv("WAYLAND_FLOOR_FRAMES") != NULL;
    display = wl_display_connect(NULL);
    if (!display) {
        fprintf(stderr, "wayland-floor: no Wayland display\n");
        return 1;
    }
    struct wl_registry *reg = wl_display_get_registry(display);
    wl_registry_add_listener(reg, &registry_listener, NULL);
    if (wl_display_roundtrip(display) < 0)
        return gone();
    if (!compositor || !shm || !wm) {
        fprintf(stderr, "wayland-floor: the compositor lacks wl_compositor 4, wl_shm or xdg_wm_base\n");
        return 1;
    }
    xdg_wm_base_add_listener(wm, &wm_listener, NULL);
    surface = wl_compositor_create_surface(compositor);
    struct xdg_surface *xs = xdg_wm_base_get_xdg_surface(wm, surface);
    xdg_surface_add_listener(xs, &xdg_surface_listener, NULL);
    struct xdg_toplevel *top = xdg_surface_get_toplevel(xs);
    xdg_toplevel_add_listener(top, &toplevel_listener, NULL);
    xdg_toplevel_set_title(top, "wayland-floor");
    xdg_toplevel_set_app_id(top, "wayland-floor");
    xdg_toplevel_set_min_size(top, W, H);
    xdg_toplevel_set_max_size(top, W, H);
    wl_surface_commit(surface);
    while (!configured && !closed)
        if (wl_display_dispatch(display) < 0)
            return gone();

    if (counting) { /* else a signal ends it at once, as it would any process */
        struct sigaction sa = {.sa_handler = on_signal};
        sigaction(SIGINT, &sa, NULL);
        sigaction(SIGTERM, &sa, NULL);
    }
    lattice_init();
    P dot[NODES];
    for (int n = 0; n < NODES; ++n)
        dot[n] = (P){99, 99};
    int tfd = timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC);
    struct itimerspec its = {{0, 10000000}, {0, 10000000}};
    if (tfd < 0 || timerfd_settime(tfd, 0, &its, NULL) < 0) {
        perror("wayland-floor: timerfd");
        return 1;
    }
    /* The display's fd asks for nothing: it wakes the loop only on a hang-up, or for POLLOUT
     * while a flush is stuck on a full socket. */
    struct pollfd fds[2] = {{tfd, POLLIN, 0}, {wl_display_get_fd(display), 0, 0}};
    while (!closed && !stop) {
        if (poll(fds, 2, -1) < 0)
            continue;
        if (fds[1].revents & (POLLHUP | POLLERR)) {
            take_events(); /* a protocol error, if that is why, is logged by libwayland */
            return gone();
        }
        if (fds[0].revents & POLLIN) {
            uint64_t expirations;
            if (read(tfd, &expirations, sizeof expirations) < 0)
                continue;
            if (take_events() < 0)
                return gone();
            if (closed)
                break;
            project(dot);
            step();
            if (!frame)
                present(dot);
        }
        int flushed = wl_display_flush(display);
        if (flushed < 0 && errno != EAGAIN)
            return gone();
        fds[1].events = flushed < 0 ? POLLOUT : 0;
    }
    return counting ? report() : 0;
}
