// jellybox-sim: the window's lattice stepped without a timer or a screen; see --help.

#include "headless_lattice.h"
#include "jbnode.h"
#include "measures.h"
#include "progress_line.h"
#include "shared_state.h"
#include "sim_options.h"
#include "stop_signals.h"
#include "video_encoder.h"
#include "view_angle.h"

#include <QImage>

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <memory>

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

// A full disk or a closed pipe must not pass for a complete dump.
bool outputWritten()
{
    if (std::fflush(stdout) == 0 && !std::ferror(stdout))
        return true;
    std::fputs("jellybox-sim: cannot write the output\n", stderr);
    return false;
}

void complain(const QString& message)
{
    std::fprintf(stderr, "jellybox-sim: %s\n", qPrintable(oneLine(message)));
}

const char* signalName(int signal)
{
    return signal == SIGINT ? "SIGINT" : signal == SIGTERM ? "SIGTERM" : "a signal";
}

// Runs the lattice and writes what was asked for; the exit status.
int run(const SimOptions& options)
{
    xang = options.xang;
    yang = options.yang;
    HeadlessLattice lattice;
    std::unique_ptr<VideoEncoder> video;
    if (!options.video.isEmpty()) {
        OpenedVideo opened = openVideo(options.video, JBCanvas->size(), static_cast<int>(options.frameEvery * 10));
        if (!opened.encoder) {
            complain(opened.error);
            return 1;
        }
        video = std::move(opened.encoder);
    }
    catchStopSignals();
    ProgressLine progress(stderr, options.ticks, !options.quiet);
    // Rows on the same terminal as the line would be written into it.
    const bool sharedTerminal = isatty(STDOUT_FILENO) == 1 && isatty(STDERR_FILENO) == 1;
    if (options.energyEvery != 0)
        std::fputs("tick,energy\n", stdout);
    std::uint64_t frames = 0;
    bool videoFailed = false;
    // Counted so that the last tick, even at the largest N, never steps the counter past it.
    std::uint64_t t = 0;
    // Only the ticks whose dots are written are drawn: the frames and the last. A stop takes one
    // tick more, drawn, for the dots written to be those of the last tick.
    bool lastDrawn = true;
    for (;; ++t) {
        if (options.energyEvery != 0 && t % options.energyEvery == 0) {
            if (sharedTerminal)
                progress.clear();
            std::printf("%llu,%.17g\n", static_cast<unsigned long long>(t), latticeEnergy(lattice.nodes()));
        }
        const bool stopping = stopSignal() != 0;
        if (t == options.ticks || (stopping && lastDrawn) || videoFailed)
            break;
        if (options.turnEvery != 0 && (t + 1) % options.turnEvery == 0)
            xang = wrappedAngle(xang + 1);  // as the window's Left arrow turns it
        const bool frame = video && (t + 1) % options.frameEvery == 0;
        lastDrawn = frame || stopping || t + 1 == options.ticks;
        lattice.tick(lastDrawn);
        if (frame) {
            if (video->add(JBCanvas->toImage()))
                ++frames;
            else
                videoFailed = true;
        }
        progress.update(t + 1);
    }
    progress.finish();

    int status = 0;
    if (video) {
        if (frames == 0 && !videoFailed) {
            // Stopped before the first frame: nothing to play, so no file.
            video->abandon();
            complain(QStringLiteral("no frame was made, so %1 is not written").arg(options.video));
        } else if (videoFailed) {
            complain(QStringLiteral("%1; the run stopped after tick %2 of %3")
                         .arg(video->error())
                         .arg(static_cast<qulonglong>(t))
                         .arg(static_cast<qulonglong>(options.ticks)));
            status = 1;
        } else if (!video->finish()) {
            complain(video->error());
            status = 1;
        }
    }
    if (options.energyEvery == 0)
        printState(lattice);

    if (!outputWritten())
        status = 1;
    if (!options.png.isEmpty() && !JBCanvas->toImage().save(options.png, "PNG")) {
        std::fprintf(stderr, "jellybox-sim: cannot write the image %s\n", qPrintable(options.png));
        status = 1;
    }
    if (const int signal = stopSignal(); signal != 0) {
        std::fprintf(stderr, "jellybox-sim: stopped by %s after tick %llu of %llu\n", signalName(signal),
                     static_cast<unsigned long long>(t), static_cast<unsigned long long>(options.ticks));
        if (status == 0)
            status = 128 + signal;
    }
    return status;
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
        return outputWritten() ? 0 : 1;
    case SimRequest::Kind::Run:
        break;
    }
    return run(request.options);
}
