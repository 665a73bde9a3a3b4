// Damaged files, full disks, huge names: nothing crashes, every failure is
// told, and nothing already stored is lost.
#include "game/frmzuvel.h"
#include "game/zuvelm.h"
#include "records/frmbest.h"
#include "records/frmreplay.h"
#include "windowtestkit.h"

#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSignalSpy>

namespace {
QByteArray garbage(int size, quint32 seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator random(seed);
    for (char &c : bytes)
        c = char(random.bounded(256));
    return bytes;
}

const QByteArray MegaLine = QByteArray(1 << 20, 'X');
}

class TestFaults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useDesignFont(); }

    void damagedFilesAreRefusedOrRead_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("starts");
        QTest::newRow("table: garbage") << QByteArray("Romaji.tbl") << garbage(4096, 1) << false;
        QTest::newRow("table: megabyte kana line")
            << QByteArray("Romaji.tbl") << (MegaLine + "\r\n\xb6\r\n@\r\nXYZW\r\nKA\r\n@\r\n") << true;
        QTest::newRow("table: megabyte romaji line")
            << QByteArray("Romaji.tbl") << ("\xb6\r\n\xb1\r\n@\r\n" + MegaLine + "\r\nA\r\n@\r\n") << true;
        QTest::newRow("table: directory") << QByteArray("Romaji.tbl") << QByteArray() << false;
        QTest::newRow("settings: garbage") << QByteArray("Kolrin.cfg") << garbage(4096, 2) << true;
        QTest::newRow("settings: megabyte name")
            << QByteArray("Kolrin.cfg") << ("False\r\nTrue\r\n" + MegaLine + "\r\n") << true;
        QTest::newRow("settings: directory") << QByteArray("Kolrin.cfg") << QByteArray() << true;
        QTest::newRow("help: garbage") << QByteArray("Kolrin.hlp") << garbage(4096, 3) << true;
        QTest::newRow("help: directory") << QByteArray("Kolrin.hlp") << QByteArray() << false;
    }
    void damagedFilesAreRefusedOrRead()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, content);
        QFETCH(bool, starts);
        ProgramFolder folder;
        if (file != "Kolrin.cfg")
            folder.write("Kolrin.cfg", "False\r\nTrue\r\n\r\n");
        QFile::remove(folder.file(file.constData()));
        if (content.isEmpty())
            QVERIFY(QDir().mkdir(folder.file(file.constData())));
        else
            folder.write(file.constData(), content);
        Session s(folder, {QStringLiteral("N")});
        QCOMPARE(s.loaded, starts);
        if (!starts) {
            QCOMPARE(s.desktop.boxes.size(), 1);
            QCOMPARE(s.desktop.boxes[0].kind, QStringLiteral("critical"));
            return;
        }
        QVERIFY(s.desktop.boxes.isEmpty());
        QVERIFY(!s.window->currentRomaji().isEmpty());
        QVERIFY(s.window->currentRomaji().size() <= 3);
        s.window->mnuMokuji_Click();
        s.window->close();
        // Only a folder standing where the settings go stops the save, and says so.
        const bool blocked = file == "Kolrin.cfg" && content.isEmpty();
        QCOMPARE(s.desktop.boxes.size(), blocked ? 1 : 0);
    }

    void corruptedResultLinesAreSkipped()
    {
        ProgramFolder folder;
        folder.write("Kolrin.cfg", "False\r\nFalse\r\nP\r\n");
        folder.write("Kolrin.dat", "12,\"a\",\"2001/12/02 21:05\"\r\n" + garbage(3000, 4) + "\r\n"
                                       + MegaLine + "\r\n20,\"b\",\"2001/12/02 21:06\"\r\n7,\"cut");
        Session s(folder);
        s.playToTheEnd();
        const QStringList lines = s.ranking();
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].startsWith(QStringLiteral("Level 20a\tb\t")));
        QVERIFY(lines[1].startsWith(QStringLiteral("Level 12a\ta\t")));
        QVERIFY(lines[2].startsWith(QStringLiteral("Level 1a\tP\t")));
        // The cut-short last record stays as it was; the new one has its own line.
        const QByteArray file = folder.read("Kolrin.dat");
        QVERIFY(file.contains("7,\"cut\r\n1,\"P\",\""));
    }

    void fullDiskIsToldAndTheDeviceIsLeftAlone_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("result") << QByteArray("Kolrin.dat") << "成績を保存できませんでした。";
        QTest::newRow("settings") << QByteArray("Kolrin.cfg") << "設定を保存できませんでした。";
    }
    void fullDiskIsToldAndTheDeviceIsLeftAlone()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, message);
        if (!QFileInfo(QStringLiteral("/dev/full")).exists())
            QSKIP("this system has no /dev/full");
        ProgramFolder folder;
        folder.write("Kolrin.cfg", "False\r\nFalse\r\nP\r\n");
        Session s(folder);
        QFile::remove(folder.file(file.constData()));
        QVERIFY(QFile::link(QStringLiteral("/dev/full"), folder.file(file.constData())));
        if (file == "Kolrin.dat")
            s.playToTheEnd();
        QSignalSpy unloaded(s.window.get(), &frmZuvel::unloaded);
        s.window->close();
        QCOMPARE(unloaded.count(), 1);
        QVERIFY(!s.desktop.boxes.isEmpty());
        QVERIFY2(s.desktop.boxes[0].text.startsWith(message), qPrintable(s.desktop.boxes[0].text));
        QVERIFY(s.desktop.boxes[0].text.size() > message.size()); // says why
        QVERIFY(QFileInfo(folder.file(file.constData())).isSymLink());
        QVERIFY(!QFileInfo(QStringLiteral("/dev/full")).isFile());
    }

    void hugeNameIsKeptEverywhere()
    {
        const QString name = QString(100000, QChar(u'名'));
        ProgramFolder folder;
        {
            Session s(folder, {name});
            QCOMPARE(s.window->playerName(), name);
            s.playToTheEnd();
            const QStringList lines = s.ranking();
            QCOMPARE(lines.size(), 1);
            QVERIFY(lines[0].contains(name));
            QCOMPARE(s.desktop.clipboard.size(), 1);
            QVERIFY(s.desktop.clipboard[0].startsWith(QStringLiteral("Level 1a\t名名名名名名名\t\t")));
            s.window->close();
        }
        QVERIFY(folder.read("Kolrin.dat").size() > 200000);
        Session again(folder, {});
        QCOMPARE(again.desktop.inputs.size(), 1);
        QCOMPARE(again.desktop.inputs[0].defaultText, name);
    }
};

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
