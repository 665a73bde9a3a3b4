#include "platform/launch.h"

#include "platform/commandline.h"

#include <QDir>
#include <QLibraryInfo>
#include <QList>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

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

struct HeldMessage
{
    QtMsgType type;
    QByteArray file, function, category;
    int line;
    QString text;
};
QList<HeldMessage> held;
QtMessageHandler passOn = nullptr;
bool guarding = false;

void holdMessage(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type != QtFatalMsg) {
        held.append({type, context.file, context.function, context.category, context.line, text});
        return;
    }
    // Qt's last words say only that it gives up; the platform's own say why.
    QString why = text;
    for (const HeldMessage &message : std::as_const(held)) {
        if (message.category.startsWith("qt.qpa")) {
            why = message.text;
            break;
        }
    }
    why = why.section(u'\n', 0, 0).trimmed();
    std::fprintf(stderr, "kolrin: cannot open a window: %s\n", why.toLocal8Bit().constData());
    std::fflush(stderr);
    // Nothing is open yet that an orderly exit would have to close.
    ::_exit(1);
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
    const bool written = std::fputs(answer.text.toLocal8Bit().constData(), stream) >= 0
        && std::fflush(stream) == 0 && !std::ferror(stream);
    if (!written && stream == stdout) {
        // Help nobody could read is no answer: a script checking the status must know.
        const int error = errno;
        std::fprintf(stderr, "kolrin: cannot write to standard output: %s\n", std::strerror(error));
        return 1;
    }
    return status;
}

PlatformGuard::PlatformGuard()
{
    guarding = true;
    passOn = qInstallMessageHandler(holdMessage);
}

PlatformGuard::~PlatformGuard()
{
    release();
}

void PlatformGuard::release()
{
    if (!guarding)
        return;
    guarding = false;
    qInstallMessageHandler(passOn);
    for (const HeldMessage &m : std::as_const(held)) {
        const auto text = [](const QByteArray &bytes) { return bytes.isNull() ? nullptr : bytes.constData(); };
        const QMessageLogContext context(text(m.file), m.line, text(m.function), text(m.category));
        if (passOn)
            passOn(m.type, context, m.text);
        else
            qt_message_output(m.type, context, m.text);
    }
    held.clear();
}
