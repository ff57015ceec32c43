/* The jelly lattice as plain C arrays: a yardstick for the speed of the real one, written from
 * its arithmetic alone and sharing no code with it, as fast as plain loops make it. */
#ifndef PLAIN_LATTICE_H
#define PLAIN_LATTICE_H

#ifdef __cplusplus
extern "C" {
#endif

enum { PLAIN_SIDE = 5, PLAIN_NODES = 125, PLAIN_SPRINGS = 300, PLAIN_MAX_PARTNERS = 6 };

typedef struct plain_lattice {
    double x[PLAIN_NODES], y[PLAIN_NODES], z[PLAIN_NODES];
    double vx[PLAIN_NODES], vy[PLAIN_NODES], vz[PLAIN_NODES];
    double mass[PLAIN_NODES];
    float dot[PLAIN_NODES][2];
    /* Each spring once, from its lower-numbered end to its higher. */
    int from[PLAIN_SPRINGS], to[PLAIN_SPRINGS];
    double strength[PLAIN_SPRINGS], rest[PLAIN_SPRINGS];
    /* Per node, its springs in the order the force sum takes them: those to lower-numbered
     * partners first, then higher, each side by side in i, j, k order. */
    int spring[PLAIN_NODES][PLAIN_MAX_PARTNERS];
    int springs[PLAIN_NODES];
    /* The pull of each spring on its lower end this tick, and whether it pulls at all. */
    double px[PLAIN_SPRINGS], py[PLAIN_SPRINGS], pz[PLAIN_SPRINGS];
    unsigned char pulls[PLAIN_SPRINGS];
} plain_lattice;

void plain_lattice_init(plain_lattice *l);

/* One timeout: every node draws its dot (unless draw is 0: the dots stay), then every position
 * advances, then every velocity. */
void plain_lattice_tick(plain_lattice *l, int xang, int yang, int draw);

#ifdef __cplusplus
}
#endif

#endif
