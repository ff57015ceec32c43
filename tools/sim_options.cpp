#include "sim_options.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <optional>

namespace {

const char* const helpText =
    "Usage: jellybox-sim --ticks N [--xang A] [--yang B] [--turn-every T] [--energy EVERY]\n"
    "                    [--png FILE] [--video FILE [--frame-every K]] [--quiet]\n"
    "\n"
    "Builds the jelly cube's 5 x 5 x 5 lattice exactly as the window does and steps it N times\n"
    "without a timer or a screen, then prints CSV to standard output.\n"
    "\n"
    "  --ticks N        ticks to run: a whole number from 0 to 18446744073709551615\n"
    "  --xang A         view angle about the vertical axis, whole degrees -180..180 (default 0)\n"
    "  --yang B         view angle about the horizontal axis, whole degrees -180..180 (default 0)\n"
    "  --turn-every T   before every T-th tick (T >= 1) turn the view one degree about the\n"
    "                   vertical axis, as one press of the window's Left arrow does: xang goes\n"
    "                   up by one, and from 180 jumps to -180\n"
    "  --energy EVERY   print the lattice energy every EVERY ticks (EVERY >= 1) instead of the\n"
    "                   final state\n"
    "  --png FILE       also write the 780 x 580 canvas after the last tick to FILE, as a PNG\n"
    "                   image of exactly what the window shows at that tick and those angles\n"
    "  --video FILE     also write the canvas as an animation to FILE: frame i (from 0) is the\n"
    "                   canvas after tick (i + 1) x K, shown for K x 10 ms, so that it plays in\n"
    "                   real time. The suffix chooses the format: .webp is a lossless animated\n"
    "                   WebP, each frame exactly what --png writes at that tick; .webm is VP9\n"
    "                   video in WebM, made by the ffmpeg program\n"
    "  --frame-every K  ticks a frame of --video, 1..1000000 (default 4: 25 frames a second);\n"
    "                   N must be at least K\n"
    "  --quiet          no progress line on standard error\n"
    "  -h, --help       show this text\n"
    "\n"
    "The angles stay as given for the whole run unless --turn-every turns the view. Without\n"
    "--energy the output is the header\n"
    "  i,j,k,px,py,pz,vx,vy,vz,sx,sy\n"
    "and one row per node in lattice order (i outermost, k innermost): its lattice indices, its\n"
    "position p and velocity v, and the place s of its dot on the canvas after the last tick.\n"
    "With --energy it is the header tick,energy and one row at tick 0, EVERY, 2 EVERY, ... up to N.\n"
    "Numbers are printed with 17 significant digits, so that they read back exactly.\n"
    "\n"
    "When standard error is a terminal, a run longer than a second shows its progress there in\n"
    "one line, cleared at the end. Ctrl-C (SIGINT) or SIGTERM stops a run after the tick under\n"
    "way: the output so far is written whole (without --energy, the state at that tick; the\n"
    "video up to its last whole frame, playable), a line on standard error says where it\n"
    "stopped, and the exit status is 130 or 143.\n"
    "\n"
    "Bad arguments are reported in one line on standard error with exit status 2; nothing is run.\n"
    "A video file name ending in neither .webp nor .webm, a missing encoder and a video file\n"
    "that cannot be written give exit status 1 before the first tick; a failure to write the\n"
    "output, the image or the video gives exit status 1 too.\n";

bool allAsciiDigits(const QString& s)
{
    if (s.isEmpty())
        return false;
    for (QChar c : s)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

// Only plain decimal digits: no sign, spaces, or other scripts' digits that QString would accept.
std::optional<std::uint64_t> count(const QString& name, const QString& value, QString& error)
{
    if (value.startsWith(u'-') && allAsciiDigits(value.mid(1))) {
        error = QStringLiteral("--%1 must not be negative, got '%2'").arg(name, value);
        return std::nullopt;
    }
    if (!allAsciiDigits(value)) {
        error = QStringLiteral("--%1 needs a whole number, got '%2'").arg(name, value);
        return std::nullopt;
    }
    bool ok = false;
    const qulonglong n = value.toULongLong(&ok, 10);
    if (!ok) {
        error = QStringLiteral("--%1 is too large, got '%2'").arg(name, value);
        return std::nullopt;
    }
    return n;
}

// A count of ticks between two things: zero would never come.
std::optional<std::uint64_t> every(const QString& name, const QString& value, QString& error)
{
    const auto n = count(name, value, error);
    if (n && *n == 0) {
        error = QStringLiteral("--%1 must be at least 1").arg(name);
        return std::nullopt;
    }
    return n;
}

std::optional<int> angle(const QString& name, const QString& value, QString& error)
{
    const bool signed_ = value.startsWith(u'-') || value.startsWith(u'+');
    if (!allAsciiDigits(signed_ ? value.mid(1) : value)) {
        error = QStringLiteral("--%1 needs whole degrees, got '%2'").arg(name, value);
        return std::nullopt;
    }
    bool ok = false;
    const int degrees = value.toInt(&ok, 10);
    if (!ok || degrees < -180 || degrees > 180) {
        error = QStringLiteral("--%1 must be within -180..180, got '%2'").arg(name, value);
        return std::nullopt;
    }
    return degrees;
}

SimRequest failure(const QString& message)
{
    SimRequest r;
    r.kind = SimRequest::Kind::Error;
    r.text = oneLine(message);
    return r;
}

}  // namespace

QString oneLine(QString message)
{
    for (QChar& c : message)
        if (c.category() == QChar::Other_Control)
            c = u'?';
    return message;
}

SimRequest parseSimArguments(const QStringList& arguments)
{
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption ticks(QStringLiteral("ticks"), QString(), QStringLiteral("N"));
    const QCommandLineOption xangOption(QStringLiteral("xang"), QString(), QStringLiteral("A"));
    const QCommandLineOption yangOption(QStringLiteral("yang"), QString(), QStringLiteral("B"));
    const QCommandLineOption energy(QStringLiteral("energy"), QString(), QStringLiteral("EVERY"));
    const QCommandLineOption png(QStringLiteral("png"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption video(QStringLiteral("video"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption frameEvery(QStringLiteral("frame-every"), QString(), QStringLiteral("K"));
    const QCommandLineOption turnEvery(QStringLiteral("turn-every"), QString(), QStringLiteral("T"));
    const QCommandLineOption quiet(QStringLiteral("quiet"), QString());

    QCommandLineParser parser;
    // Single dashes are short options only, so that "-ticks" is an unknown option, not "--ticks".
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    parser.addOptions({help, ticks, xangOption, yangOption, energy, png, video, frameEvery, turnEvery, quiet});

    if (!parser.parse(arguments))
        return failure(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return failure(QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first()));
    for (const QCommandLineOption* o : {&ticks, &xangOption, &yangOption, &energy, &png, &video, &frameEvery, &turnEvery})
        if (parser.values(*o).size() > 1)
            return failure(QStringLiteral("--%1 given more than once").arg(o->names().first()));

    if (parser.isSet(help)) {
        SimRequest r;
        r.kind = SimRequest::Kind::Help;
        r.text = QString::fromLatin1(helpText);
        return r;
    }

    if (!parser.isSet(ticks))
        return failure(QStringLiteral("--ticks N is required (see --help)"));

    QString error;
    SimOptions options;
    const auto n = count(QStringLiteral("ticks"), parser.value(ticks), error);
    if (!n)
        return failure(error);
    options.ticks = *n;
    if (parser.isSet(xangOption)) {
        const auto a = angle(QStringLiteral("xang"), parser.value(xangOption), error);
        if (!a)
            return failure(error);
        options.xang = *a;
    }
    if (parser.isSet(yangOption)) {
        const auto a = angle(QStringLiteral("yang"), parser.value(yangOption), error);
        if (!a)
            return failure(error);
        options.yang = *a;
    }
    if (parser.isSet(energy)) {
        const auto n = every(QStringLiteral("energy"), parser.value(energy), error);
        if (!n)
            return failure(error);
        options.energyEvery = *n;
    }
    if (parser.isSet(png)) {
        options.png = parser.value(png);
        if (options.png.isEmpty())
            return failure(QStringLiteral("--png needs a file name"));
    }
    if (parser.isSet(turnEvery)) {
        const auto n = every(QStringLiteral("turn-every"), parser.value(turnEvery), error);
        if (!n)
            return failure(error);
        options.turnEvery = *n;
    }
    if (parser.isSet(video)) {
        options.video = parser.value(video);
        if (options.video.isEmpty())
            return failure(QStringLiteral("--video needs a file name"));
    }
    if (parser.isSet(frameEvery)) {
        if (!parser.isSet(video))
            return failure(QStringLiteral("--frame-every needs --video"));
        const auto k = count(QStringLiteral("frame-every"), parser.value(frameEvery), error);
        if (!k)
            return failure(error);
        if (*k == 0 || *k > maxFrameEvery)
            return failure(QStringLiteral("--frame-every must be within 1..%1, got '%2'")
                               .arg(maxFrameEvery)
                               .arg(parser.value(frameEvery)));
        options.frameEvery = *k;
    }
    if (!options.video.isEmpty() && options.ticks < options.frameEvery)
        return failure(QStringLiteral("--video would hold no frame: --ticks %1 is less than --frame-every %2")
                           .arg(options.ticks)
                           .arg(options.frameEvery));
    options.quiet = parser.isSet(quiet);

    SimRequest r;
    r.kind = SimRequest::Kind::Run;
    r.options = options;
    return r;
}
