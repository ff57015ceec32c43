#pragma once

#include <QByteArray>
#include <QStringList>
#include <QVersionNumber>

#include <functional>
#include <optional>
#include <vector>

// How the program would have Qt meet the desktop, given as the environment variables Qt reads.
// Each is only a default: a variable the user has set, even to nothing, is left as it is.
struct ToolkitDefault {
    const char* name;
    QByteArray value;
};

// The defaults that apply, given how to look up the environment (nullopt where a variable is
// unset), the command line and the version of Qt the program runs on.
std::vector<ToolkitDefault> toolkitDefaults(
    const std::function<std::optional<QByteArray>(const char* name)>& environment,
    const QStringList& arguments, const QVersionNumber& qt);

// Puts the defaults into this process's environment; before the QApplication exists.
void setToolkitDefaults(int argc, char** argv);
