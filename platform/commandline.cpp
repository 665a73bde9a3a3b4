#include "platform/commandline.h"

#include <QCommandLineParser>

namespace {
const QString ProgramName = QStringLiteral("kolrin");

// Qt's own options, which QApplication takes out of the arguments itself: a
// desktop restoring its session starts the program with -session, and a
// player may ask for -platform or -style.
struct QtOption
{
    const char *name;
    bool takesValue;
};
constexpr QtOption QtOptions[] = {
    {"platform", true}, {"platformpluginpath", true}, {"platformtheme", true}, {"plugin", true},
    {"qwindowgeometry", true}, {"qwindowicon", true}, {"qwindowtitle", true}, {"session", true},
    {"display", true}, {"geometry", true}, {"style", true}, {"stylesheet", true},
    {"qmljsdebugger", true}, {"reverse", false}, {"widgetcount", false},
};

CommandLine answer(CommandLine::Action action, const QString &text)
{
    return {action, text.endsWith(u'\n') ? text : text + u'\n', {}};
}
}

CommandLine CommandLine::choose(const Facts &facts)
{
    QCommandLineParser parser;
    // As Qt reads its own options: "-platform", not "-p -l -a ...".
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Kolrin (Typing Zuvel), a typing game for Japanese players.\n"
                       "Without options it starts the game."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    parser.addOptions({help, version});
    for (const QtOption &qt : QtOptions) {
        QCommandLineOption option(QString::fromLatin1(qt.name));
        if (qt.takesValue)
            option.setValueName(QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    const QString tryHelp = QStringLiteral("Try '%1 --help' for more information.").arg(ProgramName);
    if (!parser.parse(facts.arguments))
        return answer(BadArguments,
                      QStringLiteral("%1: %2\n%3").arg(ProgramName, parser.errorText(), tryHelp));
    if (!parser.positionalArguments().isEmpty()) {
        return answer(BadArguments, QStringLiteral("%1: Unexpected argument '%2'.\n%3")
                                        .arg(ProgramName, parser.positionalArguments().first(),
                                             tryHelp));
    }
    if (parser.isSet(help)) {
        // Without an application object Qt cannot name the program itself.
        return answer(Help, parser.helpText().replace(QStringLiteral("<executable_name>"),
                                                      ProgramName));
    }
    if (parser.isSet(version))
        return answer(Version, ProgramName + u' ' + facts.version);

    // A platform named by the player is theirs to get right.
    if (!facts.qpaPlatform.isEmpty() || parser.isSet(QStringLiteral("platform")))
        return {};
    if (!facts.display.isEmpty() || parser.isSet(QStringLiteral("display")))
        return {};
    if (!facts.waylandDisplay.isEmpty() && facts.waylandPlugin) {
        // Qt would try X first outside a session that calls itself Wayland.
        CommandLine wayland;
        wayland.platform = QByteArrayLiteral("wayland");
        return wayland;
    }
    if (!facts.waylandDisplay.isEmpty()) {
        return answer(NoDisplay,
                      QStringLiteral("%1: cannot open a window: there is a Wayland display but not "
                                     "Qt's Wayland plugin (package qt6-wayland), and no X display")
                          .arg(ProgramName));
    }
    return answer(NoDisplay,
                  QStringLiteral("%1: cannot open a window: no X display (DISPLAY) and no Wayland "
                                 "display (WAYLAND_DISPLAY) is set")
                      .arg(ProgramName));
}
