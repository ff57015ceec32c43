#include "progress_line.h"

#include <unistd.h>

#include <cinttypes>

namespace {

constexpr auto quietFor = std::chrono::seconds(1);
constexpr auto between = std::chrono::milliseconds(250);

// "1 h 02 min", "3 min 07 s", "12 s": as much as a glance needs.
void formatDuration(char* text, std::size_t size, double seconds)
{
    const auto s = static_cast<std::uint64_t>(seconds + 0.5);
    if (s >= 3600)
        std::snprintf(text, size, "%" PRIu64 " h %02" PRIu64 " min", s / 3600, s / 60 % 60);
    else if (s >= 60)
        std::snprintf(text, size, "%" PRIu64 " min %02" PRIu64 " s", s / 60, s % 60);
    else
        std::snprintf(text, size, "%" PRIu64 " s", s);
}

}  // namespace

ProgressLine::ProgressLine(std::FILE* stream, std::uint64_t total, bool enabled)
    : stream(stream), total(total), active(enabled && isatty(fileno(stream)) == 1)
{
}

void ProgressLine::look(std::uint64_t done)
{
    const Clock::time_point now = Clock::now();
    if (now - started < quietFor || now - lastShown < between)
        return;
    lastShown = now;
    const double elapsed = std::chrono::duration<double>(now - started).count();
    const double rate = done / elapsed;
    char left[32];
    formatDuration(left, sizeof left, (total - done) / rate);
    // Short enough for a narrow terminal; a wrapped line could not be rewritten in place.
    std::fprintf(stream, "\r\033[Ktick %" PRIu64 " of %" PRIu64 " (%.0f%%), %.0f a second, %s left", done,
                 total, 100.0 * done / total, rate, left);
    std::fflush(stream);
    shown = true;
}

void ProgressLine::clear()
{
    if (!shown)
        return;
    std::fputs("\r\033[K", stream);
    std::fflush(stream);
    shown = false;
}

void ProgressLine::finish()
{
    clear();
    active = false;
}
