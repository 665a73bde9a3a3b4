// Where the written files go and which word list is read.
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
};

QTEST_GUILESS_MAIN(TestFolders)
#include "tst_folders.moc"
