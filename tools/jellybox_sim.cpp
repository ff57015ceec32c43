// jellybox-sim: the window's lattice stepped without a timer or a screen; see --help.

#include "headless_lattice.h"
#include "jbnode.h"
#include "measures.h"
#include "shared_state.h"
#include "sim_options.h"

#include <cstdio>

namespace {

void printState(const HeadlessLattice& lattice)
{
    std::fputs("i,j,k,px,py,pz,vx,vy,vz,sx,sy\n", stdout);
    for (int slot : latticeSlots) {
        const JBNode* n = lattice.nodes()[slot];
        const QPointF s = n->dotPos();
        std::printf("%d,%d,%d,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g\n", slot / 100,
                    slot / 10 % 10, slot % 10, n->pos.x, n->pos.y, n->pos.z, n->vel.x, n->vel.y,
                    n->vel.z, s.x(), s.y());
    }
}

void run(const SimOptions& options)
{
    xang = options.xang;
    yang = options.yang;
    HeadlessLattice lattice;
    if (options.energyEvery != 0)
        std::fputs("tick,energy\n", stdout);
    // Counted so that the last tick, even at the largest N, never steps the counter past it.
    for (std::uint64_t t = 0;; ++t) {
        if (options.energyEvery != 0 && t % options.energyEvery == 0)
            std::printf("%llu,%.17g\n", static_cast<unsigned long long>(t), latticeEnergy(lattice.nodes()));
        if (t == options.ticks)
            break;
        lattice.tick();
    }
    if (options.energyEvery == 0)
        printState(lattice);
}

// A full disk or a closed pipe must not pass for a complete dump.
int finish()
{
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fputs("jellybox-sim: cannot write the output\n", stderr);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const SimRequest request = parseSimArguments(arguments);
    switch (request.kind) {
    case SimRequest::Kind::Error:
        std::fprintf(stderr, "jellybox-sim: %s\n", qPrintable(request.text));
        return 2;
    case SimRequest::Kind::Help:
        std::fputs(qPrintable(request.text), stdout);
        return finish();
    case SimRequest::Kind::Run:
        break;
    }

    run(request.options);
    return finish();
}
