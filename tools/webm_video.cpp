#include "webm_video.h"

#include <QByteArray>
#include <QFile>

#include <fcntl.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

extern char** environ;

namespace {

// Settings measured for the cube's small dots on white (docs/design.md): VP9's constant quality mode at
// a quality that keeps the dots sharp, and one thread, since the bits of a VP9 stream depend on
// the number of threads and the file must be the same on any machine. bitexact keeps the
// muxer's random segment id and version tags out, so that a rerun writes the same bytes.
QList<QByteArray> ffmpegArguments(const QString& path, QSize size, int frameMilliseconds)
{
    const QByteArray frameSize = QByteArray::number(size.width()) + 'x' + QByteArray::number(size.height());
    const QByteArray rate = "1000/" + QByteArray::number(frameMilliseconds);
    // file: keeps a name such as "pipe:1.webm" or "-y.webm" a plain file's name.
    const QByteArray output = "file:" + QFile::encodeName(path);
    // -xerror: ffmpeg 5.1 reports a failure to write the end of the file, then exits with 0.
    return {"ffmpeg", "-nostdin", "-xerror", "-hide_banner", "-loglevel", "error",
            "-f", "rawvideo", "-pixel_format", "rgb24", "-video_size", frameSize, "-framerate", rate,
            "-i", "pipe:3",
            "-c:v", "libvpx-vp9", "-pix_fmt", "yuv420p", "-crf", "30", "-b:v", "0",
            "-deadline", "good", "-cpu-used", "2", "-threads", "1",
            "-fflags", "+bitexact", "-flags", "+bitexact", "-f", "webm", "-y", output};
}

class WebMVideo final : public VideoEncoder {
public:
    WebMVideo(const QString& path, QSize size, int socket, pid_t child, std::FILE* messages)
        : path(path), size(size), socket(socket), child(child), messages(messages)
    {
    }
    ~WebMVideo() override
    {
        if (child > 0)
            abandon();
        if (messages != nullptr)
            std::fclose(messages);
    }

    bool add(const QImage& frame) override
    {
        if (!error().isEmpty())
            return false;
        if (frame.size() != size)
            return fail(QStringLiteral("a frame of the wrong size for %1").arg(path));
        // R, G, B bytes, row after row, as ffmpeg's rgb24 takes them.
        const QImage rgb = frame.convertToFormat(QImage::Format_RGB888);
        const auto rowBytes = static_cast<std::size_t>(rgb.width()) * 3;
        for (int y = 0; y < rgb.height(); ++y)
            if (!sendAll(rgb.constScanLine(y), rowBytes))
                return failed(QStringLiteral("ffmpeg stopped taking frames"));
        return true;
    }

    bool finish() override
    {
        if (!error().isEmpty())
            return false;
        // Its messages are errors only: one means a file not to be trusted, whatever the status.
        return (reap() && lastMessage().isEmpty()) || failed(QStringLiteral("ffmpeg failed"));
    }

    void abandon() override
    {
        if (child <= 0)
            return;
        reap();
        QFile::remove(path);
    }

private:
    bool sendAll(const uchar* bytes, std::size_t count)
    {
        while (count > 0) {
            // A socket rather than a pipe: MSG_NOSIGNAL turns an encoder that died into EPIPE here,
            // where a pipe would kill the whole run with SIGPIPE.
            const ssize_t sent = ::send(socket, bytes, count, MSG_NOSIGNAL);
            if (sent < 0 && errno == EINTR)
                continue;  // a stop signal; the frame is still finished whole
            if (sent <= 0)
                return false;
            bytes += sent;
            count -= static_cast<std::size_t>(sent);
        }
        return true;
    }

    // Ends the input and waits for ffmpeg: true if it wrote the file in full.
    bool reap()
    {
        if (socket >= 0)
            ::close(socket);
        socket = -1;
        int status = 0;
        pid_t waited;
        do
            waited = ::waitpid(child, &status, 0);
        while (waited < 0 && errno == EINTR);
        child = -1;
        if (waited < 0)
            return false;
        exitStatus = status;
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    // After a failure: ffmpeg's own last word on it, in one line.
    bool failed(const QString& what)
    {
        if (child > 0)
            reap();
        const int s = exitStatus.value_or(0);
        const QString how = !exitStatus       ? QStringLiteral("lost")
                            : WIFEXITED(s)    ? QStringLiteral("exit status %1").arg(WEXITSTATUS(s))
                            : WIFSIGNALED(s)  ? QStringLiteral("killed by signal %1").arg(WTERMSIG(s))
                                              : QStringLiteral("stopped");
        const QString said = lastMessage();
        return fail(QStringLiteral("%1 (%2) writing the video %3%4")
                        .arg(what, how, path, said.isEmpty() ? QString() : QStringLiteral(": ") + said));
    }

    QString lastMessage() const
    {
        if (messages == nullptr)
            return QString();
        std::rewind(messages);
        QString last;
        char line[512];
        while (std::fgets(line, sizeof line, messages) != nullptr) {
            const QString text = QString::fromLocal8Bit(line).trimmed();
            if (!text.isEmpty())
                last = text;
        }
        return last;
    }

    QString path;
    QSize size;
    int socket;
    pid_t child;
    std::FILE* messages;  // ffmpeg's standard error
    std::optional<int> exitStatus;  // as waitpid() gave it
};

// As posix_spawnp() looks for it, so that a missing program is known before the file is touched.
bool onPath(const char* program)
{
    const char* path = std::getenv("PATH");
    const QByteArray dirs = path != nullptr ? QByteArray(path) : QByteArray("/bin:/usr/bin");
    for (const QByteArray& dir : dirs.split(':')) {
        const QByteArray file = (dir.isEmpty() ? QByteArray(".") : dir) + '/' + program;
        if (::access(file.constData(), X_OK) == 0)
            return true;
    }
    return false;
}

// Starts ffmpeg in a process group of its own, so that a terminal's Ctrl-C reaches only this
// program, which then ends the video at a whole frame; ffmpeg sees the end of its input.
pid_t startFfmpeg(const QList<QByteArray>& arguments, int input, int messages, int& error)
{
    std::vector<char*> argv;
    for (const QByteArray& a : arguments)
        argv.push_back(const_cast<char*>(a.constData()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input, 3);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    if (messages >= 0)
        posix_spawn_file_actions_adddup2(&actions, messages, STDERR_FILENO);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setpgroup(&attributes, 0);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t child = -1;
    error = posix_spawnp(&child, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? child : -1;
}

QString missingFfmpeg()
{
    return QStringLiteral("cannot write WebM: the ffmpeg program is not installed (Debian's package ffmpeg)");
}

}  // namespace

OpenedVideo openWebMVideo(const QString& path, QSize size, int frameMilliseconds)
{
    if (!onPath("ffmpeg"))
        return {nullptr, missingFfmpeg()};
    // Known now rather than from ffmpeg after the first frame.
    const int probe = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (probe < 0)
        return {nullptr, QStringLiteral("cannot write the video %1: %2").arg(path, systemError(errno))};
    ::close(probe);

    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        return {nullptr, QStringLiteral("cannot start ffmpeg: %1").arg(systemError(errno))};
    // Read back only after a failure: a file, so that ffmpeg can never block on writing it.
    std::FILE* messages = std::tmpfile();
    int error = 0;
    const pid_t child = startFfmpeg(ffmpegArguments(path, size, frameMilliseconds), ends[1],
                                    messages != nullptr ? fileno(messages) : -1, error);
    ::close(ends[1]);
    if (child < 0) {
        ::close(ends[0]);
        if (messages != nullptr)
            std::fclose(messages);
        QFile::remove(path);
        if (error == ENOENT)
            return {nullptr, missingFfmpeg()};
        return {nullptr, QStringLiteral("cannot start ffmpeg: %1").arg(systemError(error))};
    }
    return {std::make_unique<WebMVideo>(path, size, ends[0], child, messages), QString()};
}
