/* jellybox-plain-sim [--every-tick] TICKS [XANG YANG]: the plain lattice stepped TICKS times with
 * the view held, its state printed as the CSV of jellybox-sim. The dots printed are drawn on the
 * last tick alone, or, with --every-tick, on every tick, as the window draws them. */
#include "plain_lattice.h"

#include <ctype.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int parse_ticks(const char *text, unsigned long long *out)
{
    char *end;
    errno = 0;
    /* strtoull would take "-1" as the largest count */
    if (!isdigit((unsigned char)text[0]))
        return 0;
    const unsigned long long v = strtoull(text, &end, 10);
    if (*end != '\0' || errno == ERANGE)
        return 0;
    *out = v;
    return 1;
}

/* Whole degrees, -180..180 as jellybox-sim takes them. */
static int parse_angle(const char *text, int *out)
{
    char *end;
    errno = 0;
    const long v = strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno == ERANGE || v < -180 || v > 180)
        return 0;
    *out = (int)v;
    return 1;
}

static int usage(const char *why, const char *what)
{
    fprintf(stderr, "jellybox-plain-sim: %s%s\nusage: jellybox-plain-sim [--every-tick] TICKS [XANG YANG]\n",
            why, what);
    return 2;
}

int main(int argc, char **argv)
{
    const int every_tick = argc > 1 && strcmp(argv[1], "--every-tick") == 0;
    argc -= every_tick;
    argv += every_tick;
    if (argc != 2 && argc != 4)
        return usage("wrong number of arguments", "");
    unsigned long long ticks;
    int xang = 0, yang = 0;
    if (!parse_ticks(argv[1], &ticks))
        return usage("bad tick count: ", argv[1]);
    if (argc == 4 && !parse_angle(argv[2], &xang))
        return usage("angle not a whole number in -180..180: ", argv[2]);
    if (argc == 4 && !parse_angle(argv[3], &yang))
        return usage("angle not a whole number in -180..180: ", argv[3]);

    static plain_lattice lattice;
    plain_lattice_init(&lattice);
    for (unsigned long long t = 0; t < ticks; ++t)
        plain_lattice_tick(&lattice, xang, yang, every_tick || t + 1 == ticks);

    printf("i,j,k,px,py,pz,vx,vy,vz,sx,sy\n");
    for (int n = 0; n < PLAIN_NODES; ++n) {
        const plain_lattice *l = &lattice;
        printf("%d,%d,%d,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g\n", n / 25, n / 5 % 5,
               n % 5, l->x[n], l->y[n], l->z[n], l->vx[n], l->vy[n], l->vz[n], (double)l->dot[n][0],
               (double)l->dot[n][1]);
    }
    return fflush(stdout) == 0 && !ferror(stdout) ? 0 : 1;
}
