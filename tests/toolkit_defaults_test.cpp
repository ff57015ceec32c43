#include "toolkit_defaults.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

using Environment = std::map<std::string, QByteArray>;

// The defaults as name=value lines, for readable failures.
std::string defaultsFor(const Environment& env, const QStringList& arguments = {},
                        const QVersionNumber& qt = QVersionNumber(6, 8, 2))
{
    const auto lookup = [&env](const char* name) -> std::optional<QByteArray> {
        const auto found = env.find(name);
        if (found == env.end())
            return std::nullopt;
        return found->second;
    };
    std::string lines;
    for (const ToolkitDefault& d : toolkitDefaults(lookup, arguments, qt))
        lines += std::string(d.name) + "=" + d.value.toStdString() + "\n";
    return lines;
}

const QVersionNumber qt64(6, 4, 2);

}  // namespace

TEST(ToolkitDefaults, X11FlushesThroughTheSocketUnlessTheUserSaysOtherwise)
{
    EXPECT_EQ("QT_XCB_NO_MITSHM=1\n", defaultsFor({{"DISPLAY", ":0"}}));
    // Set at all, even to nothing, is the user's choice.
    EXPECT_EQ("", defaultsFor({{"DISPLAY", ":0"}, {"QT_XCB_NO_MITSHM", ""}}));
}

TEST(ToolkitDefaults, QtBefore65PrefersXwaylandUnlessAPlatformIsChosen)
{
    const Environment session{{"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", "wayland-0"}, {"QT_XCB_NO_MITSHM", "1"}};
    EXPECT_EQ("QT_QPA_PLATFORM=xcb;wayland\n", defaultsFor(session, {}, qt64));
    Environment byType = session;
    byType.erase("WAYLAND_DISPLAY");
    byType["XDG_SESSION_TYPE"] = "wayland";
    EXPECT_EQ("QT_QPA_PLATFORM=xcb;wayland\n", defaultsFor(byType, {}, qt64));

    // Qt 6.5 on, no X server to fall back on, or the platform chosen: Qt's own order.
    EXPECT_EQ("", defaultsFor(session));
    Environment noX = session;
    noX.erase("DISPLAY");
    EXPECT_EQ("", defaultsFor(noX, {}, qt64));
    Environment chosen = session;
    chosen["QT_QPA_PLATFORM"] = "wayland";
    EXPECT_EQ("", defaultsFor(chosen, {}, qt64));
    EXPECT_EQ("", defaultsFor(session, {"-platform", "wayland"}, qt64));
    EXPECT_EQ("", defaultsFor(session, {"--platform", "wayland"}, qt64));
}
