#include "toolkit_defaults.h"

#include <QtGlobal>

std::vector<ToolkitDefault> toolkitDefaults(
    const std::function<std::optional<QByteArray>(const char* name)>& environment,
    const QStringList& arguments, const QVersionNumber& qt)
{
    std::vector<ToolkitDefault> defaults;
    const auto unset = [&environment](const char* name) { return !environment(name).has_value(); };

    // Through shared memory, every flush of the window waits for the X server to confirm it is
    // done with the memory: a round trip that wakes the program twice more a tick. The
    // rectangles a tick sends are a few kilobytes, which the socket carries as cheaply.
    if (unset("QT_XCB_NO_MITSHM"))
        defaults.push_back({"QT_XCB_NO_MITSHM", "1"});

    // Qt 6.4 draws a Wayland window's title bar only where it has loaded the whole GL stack
    // (Qt 6.5 no longer needs it), some 55 MB for a window that draws into an image. There a
    // Wayland session's X server is the lighter way to a decorated window, unless the user
    // chose a platform.
    const bool platformChosen = !unset("QT_QPA_PLATFORM") || arguments.contains(QLatin1String("-platform"))
        || arguments.contains(QLatin1String("--platform"));
    const bool waylandSession = !unset("WAYLAND_DISPLAY") || environment("XDG_SESSION_TYPE") == "wayland";
    if (qt < QVersionNumber(6, 5) && !platformChosen && waylandSession && !unset("DISPLAY"))
        defaults.push_back({"QT_QPA_PLATFORM", "xcb;wayland"});
    return defaults;
}

void setToolkitDefaults(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const auto environment = [](const char* name) -> std::optional<QByteArray> {
        if (!qEnvironmentVariableIsSet(name))
            return std::nullopt;
        return qgetenv(name);
    };
    for (const ToolkitDefault& d : toolkitDefaults(environment, arguments, QVersionNumber::fromString(QLatin1String(qVersion()))))
        qputenv(d.name, d.value);
}
