/* The jelly lattice as plain C arrays: a yardstick for the speed of the real one,
 * written from its arithmetic alone and sharing no code with it. */
#ifndef PLAIN_LATTICE_H
#define PLAIN_LATTICE_H

#ifdef __cplusplus
extern "C" {
#endif

enum { PLAIN_SIDE = 5, PLAIN_NODES = 125, PLAIN_MAX_PARTNERS = 6 };

typedef struct plain_lattice {
    double pos[PLAIN_NODES][3];
    double vel[PLAIN_NODES][3];
    double mass[PLAIN_NODES];
    float dot[PLAIN_NODES][2];
    /* Ascending node numbers: the force sum runs in this order. */
    int partner[PLAIN_NODES][PLAIN_MAX_PARTNERS];
    double strength[PLAIN_NODES][PLAIN_MAX_PARTNERS];
    double rest[PLAIN_NODES][PLAIN_MAX_PARTNERS];
    int partners[PLAIN_NODES];
} plain_lattice;

void plain_lattice_init(plain_lattice *l);

/* One timeout: every node draws its dot, then advances, before the next node. */
void plain_lattice_tick(plain_lattice *l, int xang, int yang);

#ifdef __cplusplus
}
#endif

#endif
