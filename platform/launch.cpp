#include "platform/launch.h"

#include "platform/commandline.h"

#include <QDir>
#include <QLibraryInfo>

#include <cstdio>

namespace {
// Where Qt looks for its platform plugins.
bool waylandPluginInstalled()
{
    QStringList dirs{qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH")};
    const QStringList pluginDirs =
        qEnvironmentVariable("QT_PLUGIN_PATH").split(u':', Qt::SkipEmptyParts);
    for (const QString &dir : pluginDirs)
        dirs.append(dir + QStringLiteral("/platforms"));
    dirs.append(QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms"));
    for (const QString &dir : std::as_const(dirs)) {
        if (dir.isEmpty())
            continue;
        if (!QDir(dir).entryList({QStringLiteral("libqwayland-*.so")}, QDir::Files).isEmpty())
            return true;
    }
    return false;
}
}

std::optional<int> answerBeforeWindows(int argc, char *argv[])
{
    CommandLine::Facts facts;
    for (int i = 0; i < argc; ++i)
        facts.arguments.append(QString::fromLocal8Bit(argv[i]));
    facts.version = QStringLiteral(KOLRIN_VERSION);
    facts.qpaPlatform = qgetenv("QT_QPA_PLATFORM");
    facts.display = qgetenv("DISPLAY");
    facts.waylandDisplay = qgetenv("WAYLAND_DISPLAY");
    if (facts.waylandDisplay.isEmpty())
        facts.waylandDisplay = qgetenv("WAYLAND_SOCKET");
    if (!facts.waylandDisplay.isEmpty())
        facts.waylandPlugin = waylandPluginInstalled();

    const CommandLine answer = CommandLine::choose(facts);
    const std::optional<int> status = answer.exitStatus();
    if (!status) {
        if (!answer.platform.isEmpty())
            qputenv("QT_QPA_PLATFORM", answer.platform);
        return std::nullopt;
    }
    std::FILE *stream = *status == 0 ? stdout : stderr;
    std::fputs(answer.text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
    return status;
}
