// Where the written files go and which word list is read; before that, what
// the command line and the display ask for.
#include "platform/commandline.h"
#include "platform/folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {
QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}
}

class TestFolders : public QObject
{
    Q_OBJECT

private slots:
    void choiceFollowsTheFolders_data()
    {
        QTest::addColumn<bool>("programTakesNewFile");
        QTest::addColumn<bool>("settingsWritable");
        QTest::addColumn<bool>("dataWritable");
        QTest::addColumn<bool>("ownTable");
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("table");
        QTest::addColumn<bool>("canSave");
        const QString program = QStringLiteral("/opt/kolrin/");
        const QString data = QStringLiteral("/home/p/.local/share/kolrin/");
        const QString shipped = program + QStringLiteral("Romaji.tbl");
        const QString own = data + QStringLiteral("Romaji.tbl");
        QTest::newRow("writable copy") << true << false << true << false << program << shipped << true;
        QTest::newRow("writable copy ignores a list in the data folder")
            << true << false << true << true << program << shipped << true;
        QTest::newRow("writable copy, no data folder") << true << false << false << false << program
                                                       << shipped << true;
        QTest::newRow("read-only copy with writable settings")
            << false << true << true << true << program << shipped << true;
        QTest::newRow("installed") << false << false << true << false << data << shipped << true;
        QTest::newRow("installed, own list") << false << false << true << true << data << own << true;
        QTest::newRow("installed, data folder unusable")
            << false << false << false << false << data << shipped << false;
        QTest::newRow("installed, own list in a read-only data folder")
            << false << false << false << true << data << own << false;
    }
    void choiceFollowsTheFolders()
    {
        QFETCH(bool, programTakesNewFile);
        QFETCH(bool, settingsWritable);
        QFETCH(bool, dataWritable);
        QFETCH(bool, ownTable);
        QFETCH(QString, data);
        QFETCH(QString, table);
        QFETCH(bool, canSave);
        Folders::Facts facts;
        facts.program = QStringLiteral("/opt/kolrin/");
        facts.programTakesNewFile = programTakesNewFile;
        facts.programSettingsWritable = settingsWritable;
        facts.data = QStringLiteral("/home/p/.local/share/kolrin/");
        facts.dataWritable = dataWritable;
        facts.ownTable = ownTable;
        const Folders folders = Folders::choose(facts);
        QCOMPARE(folders.program, facts.program);
        QCOMPARE(folders.data, data);
        QCOMPARE(folders.table, table);
        QCOMPARE(folders.canSave, canSave);
    }

    // Real folders. A folder below a plain file takes nothing, whoever runs
    // the test (root included), so it stands for a read-only one.
    void lookingAtTheFoldersLeavesNothingBehind_data()
    {
        QTest::addColumn<bool>("programWritable");
        QTest::addColumn<QString>("dataState"); // missing, blocked, own-table
        QTest::addColumn<bool>("writesToData");
        QTest::addColumn<bool>("ownTableRead");
        QTest::addColumn<bool>("canSave");
        QTest::addColumn<bool>("dataFolderAfter");
        QTest::newRow("writable copy: data folder never made")
            << true << "missing" << false << false << true << false;
        QTest::newRow("installed: data folder made") << false << "missing" << true << false << true
                                                     << true;
        QTest::newRow("installed: own list") << false << "own-table" << true << true << true << true;
        QTest::newRow("installed: data folder cannot be made")
            << false << "blocked" << true << false << false << false;
    }
    void lookingAtTheFoldersLeavesNothingBehind()
    {
        QFETCH(bool, programWritable);
        QFETCH(QString, dataState);
        QFETCH(bool, writesToData);
        QFETCH(bool, ownTableRead);
        QFETCH(bool, canSave);
        QFETCH(bool, dataFolderAfter);
        QTemporaryDir root;
        const QString base = root.path() + u'/';
        QFile(base + QStringLiteral("plain")).open(QIODevice::WriteOnly);
        QVERIFY(QDir().mkdir(base + QStringLiteral("prog")));
        const QString program = programWritable ? base + QStringLiteral("prog/")
                                                : base + QStringLiteral("plain/prog/");
        QString data = base + QStringLiteral("home/.local/share/kolrin/");
        if (dataState == QLatin1String("blocked"))
            data = base + QStringLiteral("plain/share/kolrin/");
        if (dataState == QLatin1String("own-table")) {
            QVERIFY(QDir().mkpath(data));
            QFile list(data + QStringLiteral("Romaji.tbl"));
            QVERIFY(list.open(QIODevice::WriteOnly));
        }
        const QStringList dataBefore = entries(data);

        const Folders folders = Folders::find(program, data);

        QCOMPARE(folders.data, writesToData ? data : program);
        QCOMPARE(folders.table, (ownTableRead ? data : program) + QStringLiteral("Romaji.tbl"));
        QCOMPARE(folders.canSave, canSave);
        QCOMPARE(QFileInfo(data).isDir(), dataFolderAfter);
        QCOMPARE(entries(base + QStringLiteral("prog")), QStringList());
        QCOMPARE(entries(data), dataBefore);
    }

    // Help and version need no display; a display is looked for only when
    // the game is to start, and Wayland is asked for only where X is missing.
    void commandLineIsAnsweredBeforeAnyWindow_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("qpaPlatform");
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<QByteArray>("wayland");
        QTest::addColumn<bool>("waylandPlugin");
        QTest::addColumn<int>("action");
        QTest::addColumn<QByteArray>("platform");
        QTest::addColumn<QString>("line"); // one line of what is printed
        QTest::addColumn<int>("status");   // -1: the game starts
        const QByteArray none;
        const QByteArray x = ":0";
        const QByteArray w = "wayland-0";
        using C = CommandLine;
        const QString tryHelp = QStringLiteral("Try 'kolrin --help' for more information.");
        QTest::newRow("-h") << QStringList{"-h"} << none << none << none << false << int(C::Help) << none
                            << "  -v, --version  Show the version and exit." << 0;
        QTest::newRow("-v") << QStringList{"-v"} << none << none << none << false << int(C::Version)
                            << none << "kolrin 9.8" << 0;
        QTest::newRow("unknown beside --help") << QStringList{"--help", "-x"} << none << none << none
                                               << false << int(C::BadArguments) << none << tryHelp << 2;
        QTest::newRow("stray argument") << QStringList{"Kolrin.dat"} << none << x << none << false
                                        << int(C::BadArguments) << none
                                        << "kolrin: Unexpected argument 'Kolrin.dat'." << 2;
        QTest::newRow("Qt's own option") << QStringList{"-session", "1a2b", "-reverse"} << none << x
                                         << none << false << int(C::Play) << none << "" << -1;
        QTest::newRow("-platform, no display") << QStringList{"-platform", "offscreen"} << none << none
                                               << none << false << int(C::Play) << none << "" << -1;
        QTest::newRow("-display") << QStringList{"-display", ":1"} << none << none << none << false
                                  << int(C::Play) << none << "" << -1;
        QTest::newRow("QT_QPA_PLATFORM, no display") << QStringList{} << QByteArray("offscreen") << none
                                                     << none << false << int(C::Play) << none << "" << -1;
        QTest::newRow("X and Wayland: Qt's choice") << QStringList{} << none << x << w << true
                                                    << int(C::Play) << none << "" << -1;
        QTest::newRow("Wayland alone") << QStringList{} << none << none << w << true << int(C::Play)
                                       << QByteArray("wayland") << "" << -1;
        QTest::newRow("Wayland without its plugin")
            << QStringList{} << none << none << w << false << int(C::NoDisplay) << none
            << "kolrin: cannot open a window: there is a Wayland display but not Qt's Wayland plugin "
               "(package qt6-wayland), and no X display"
            << 1;
        QTest::newRow("no display") << QStringList{} << none << none << none << true << int(C::NoDisplay)
                                    << none
                                    << "kolrin: cannot open a window: no X display (DISPLAY) and no "
                                       "Wayland display (WAYLAND_DISPLAY) is set"
                                    << 1;
    }
    void commandLineIsAnsweredBeforeAnyWindow()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, qpaPlatform);
        QFETCH(QByteArray, display);
        QFETCH(QByteArray, wayland);
        QFETCH(bool, waylandPlugin);
        QFETCH(int, action);
        QFETCH(QByteArray, platform);
        QFETCH(QString, line);
        QFETCH(int, status);
        CommandLine::Facts facts;
        facts.arguments = QStringList{QStringLiteral("/usr/lib/kolrin/kolrin")} + arguments;
        facts.version = QStringLiteral("9.8");
        facts.qpaPlatform = qpaPlatform;
        facts.display = display;
        facts.waylandDisplay = wayland;
        facts.waylandPlugin = waylandPlugin;
        const CommandLine answer = CommandLine::choose(facts);
        QCOMPARE(int(answer.action), action);
        QCOMPARE(answer.platform, platform);
        QCOMPARE(answer.exitStatus().value_or(-1), status);
        if (line.isEmpty())
            QVERIFY(answer.text.isEmpty());
        else
            QVERIFY2(answer.text.split(u'\n').contains(line), qPrintable(answer.text));
        QVERIFY(answer.text.isEmpty() || answer.text.endsWith(u'\n'));
    }
};

QTEST_GUILESS_MAIN(TestFolders)
#include "tst_folders.moc"
