// Start-up in its order: second copy, help file, settings, word list, name.
#include "game/frmzuvel.h"
#include "records/zuvelm.h"
#include "platform/instancelock.h"
#include "windowtestkit.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QSignalSpy>

namespace {
// The folders of an installed copy whose program folder takes no file.
Folders apart(const ProgramFolder &program, const ProgramFolder &data, bool dataWritable)
{
    Folders::Facts facts;
    facts.program = program.path();
    facts.data = data.path();
    facts.dataWritable = dataWritable;
    return Folders::choose(facts);
}
}

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useDesignFont(); }

    // With a data folder apart, the lock lives there and the program folder
    // still holds the help and the word list. Nowhere to save is told only
    // once nothing stops the start.
    void refusalsComeInOrder_data()
    {
        QTest::addColumn<bool>("otherCopy");
        QTest::addColumn<bool>("help");
        QTest::addColumn<bool>("table");
        QTest::addColumn<QString>("data"); // "", "apart", "unusable"
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("title");
        const QString lock = QStringLiteral("二重起動です。");
        const QString help = QStringLiteral("Kolrin.hlpが見つかりません");
        const QString table = QStringLiteral("ローマ字テーブル Romaji.tbl　が見つかりません。");
        QTest::newRow("second copy") << true << true << true << "" << lock << "Kolrin";
        QTest::newRow("second copy, no files") << true << false << false << "" << lock << "Kolrin";
        QTest::newRow("no help") << false << false << true << "" << help << "Kolrin";
        QTest::newRow("no help, no table") << false << false << false << "" << help << "Kolrin";
        QTest::newRow("no table") << false << true << false << "" << table << "警告";
        QTest::newRow("second copy, data apart") << true << true << true << "apart" << lock << "Kolrin";
        QTest::newRow("no help, data apart") << false << false << true << "apart" << help << "Kolrin";
        QTest::newRow("no table, data apart") << false << true << false << "apart" << table << "警告";
        QTest::newRow("no help, nowhere to save") << false << false << true << "unusable" << help
                                                  << "Kolrin";
        QTest::newRow("no table, nowhere to save") << false << true << false << "unusable" << table
                                                   << "警告";
    }
    void refusalsComeInOrder()
    {
        QFETCH(bool, otherCopy);
        QFETCH(bool, help);
        QFETCH(bool, table);
        QFETCH(QString, data);
        QFETCH(QString, message);
        QFETCH(QString, title);
        ProgramFolder folder(help, table);
        ProgramFolder dataFolder(false, false);
        Folders folders = Folders::single(folder.path());
        if (!data.isEmpty())
            folders = apart(folder, dataFolder, data == QLatin1String("apart"));
        InstanceLock other(folders.data);
        if (otherCopy)
            QVERIFY(other.acquire());
        Session s(folders, {QStringLiteral("never asked")});
        QVERIFY(!s.loaded);
        QCOMPARE(s.desktop.boxes.size(), 1);
        QCOMPARE(s.desktop.boxes[0].kind, QStringLiteral("critical"));
        QCOMPARE(s.desktop.boxes[0].text, message);
        QCOMPARE(s.desktop.boxes[0].title, title);
        QVERIFY(s.desktop.inputs.isEmpty());
        // The stop ends the process without the closing steps.
        s.window.reset();
        QVERIFY(!folder.has("Kolrin.cfg"));
        QVERIFY(!dataFolder.has("Kolrin.cfg"));
    }

    void nowhereToSaveIsToldOnceAndNothingIsWritten()
    {
        ProgramFolder program;
        ProgramFolder data(false, false);
        ZuvelM shared;
        FakeDesktop desktop;
        desktop.inputAnswers = {QStringLiteral("Taro")};
        int asked = -1;
        desktop.onBox = [&] { asked = int(desktop.inputs.size()); };
        frmZuvel window(shared, desktop, apart(program, data, false));
        QVERIFY(window.Form_Load());
        QCOMPARE(desktop.boxes.size(), 1);
        QCOMPARE(desktop.boxes[0].kind, QStringLiteral("critical"));
        QCOMPARE(desktop.boxes[0].title, QStringLiteral("Kolrin"));
        QCOMPARE(desktop.boxes[0].text,
                 QStringLiteral("成績と設定を保存する場所がありません。\n") + data.path());
        QCOMPARE(asked, 0); // before the name question
        QCOMPARE(window.playerName(), QStringLiteral("Taro"));

        window.mnuStart_Click();
        whenModal([](QWidget *modal) { qobject_cast<frmReplay *>(modal)->cmdEnd()->click(); });
        for (int i = 0; i < 1000 && window.isPlaying(); ++i)
            window.tmrUp_Timer();
        QVERIFY(!window.isPlaying());
        window.close();
        QCOMPARE(desktop.boxes.size(), 1);
        // The lock is still tried there: one already in place keeps a second
        // copy out even in a folder that takes no new file.
        QStringList written = QDir(data.path()).entryList(QDir::Files | QDir::Hidden);
        written.removeOne(QStringLiteral("Kolrin.lock"));
        QCOMPARE(written, QStringList());
        QVERIFY(!program.has("Kolrin.cfg"));
        QVERIFY(!program.has("Kolrin.dat"));
    }

    void lockOfAKilledCopyDoesNotBlock()
    {
        ProgramFolder folder;
        // A lock whose holder no longer runs, as a killed copy leaves it.
        folder.write("Kolrin.lock", "999999\nkolrin\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        Session s(folder, {QString()});
        QVERIFY(s.loaded);
        QVERIFY(s.desktop.boxes.isEmpty());
    }

    void unusableTablesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<QString>("reason");
        QByteArray many;
        for (int i = 0; i < 170; ++i)
            many += "\xb6\r\n";
        QTest::newRow("no separator") << QByteArray("\xb1\r\n\xb6\r\n") << "「@」の行がありません";
        QTest::newRow("no closing field") << QByteArray("\xb1\r\n@\r\nA\r\n") << "または空行がありません";
        QTest::newRow("too many kana") << (many + "@\r\nKA\r\n@\r\n") << "169項目を超えています";
        QTest::newRow("nothing to draw") << QByteArray("\xdd\r\n@\r\nN\r\n@\r\n") << "出題できる項目";
    }
    void unusableTablesAreRefused()
    {
        QFETCH(QByteArray, table);
        QFETCH(QString, reason);
        ProgramFolder folder;
        folder.write("Romaji.tbl", table);
        Session s(folder);
        QVERIFY(!s.loaded);
        QCOMPARE(s.desktop.boxes.size(), 1);
        QCOMPARE(s.desktop.boxes[0].title, QStringLiteral("警告"));
        QVERIFY(s.desktop.boxes[0].text.contains(QStringLiteral("Romaji.tbl")));
        QVERIFY2(s.desktop.boxes[0].text.contains(reason), qPrintable(s.desktop.boxes[0].text));
        QVERIFY(s.desktop.inputs.isEmpty());
    }

    void nameQuestion_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<int>("asked");
        QTest::addColumn<QString>("defaultText");
        QTest::addColumn<QString>("name");
        QTest::newRow("first run") << QByteArray() << QStringList{"Taro"} << 1 << "" << "Taro";
        QTest::newRow("saved name kept by OK") << QByteArray("True\r\nFalse\r\nHana\r\n")
                                               << QStringList{"Hana"} << 1 << "Hana" << "Hana";
        QTest::newRow("cancel empties the name") << QByteArray("True\r\nFalse\r\nHana\r\n")
                                                 << QStringList{} << 1 << "Hana" << "";
        QTest::newRow("question off") << QByteArray("False\r\nFalse\r\nHana\r\n")
                                      << QStringList{"x"} << 0 << "" << "Hana";
        QTest::newRow("quote replaced") << QByteArray() << QStringList{"a\"b"} << 1 << ""
                                        << "a”b";
    }
    void nameQuestion()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QStringList, answers);
        QFETCH(int, asked);
        QFETCH(QString, defaultText);
        QFETCH(QString, name);
        ProgramFolder folder;
        if (!settings.isEmpty())
            folder.write("Kolrin.cfg", settings);
        Session s(folder, answers);
        QVERIFY(s.loaded);
        QCOMPARE(s.desktop.inputs.size(), asked);
        if (asked) {
            QCOMPARE(s.desktop.inputs[0].prompt, QStringLiteral("練習する人の名前を入力して下さい。"));
            QCOMPARE(s.desktop.inputs[0].title, QStringLiteral("名前の入力"));
            QCOMPARE(s.desktop.inputs[0].defaultText, defaultText);
            // Asked before the window shows.
            QVERIFY(!s.window->isVisible());
        }
        QCOMPARE(s.window->playerName(), name);
    }

    void settingsSetFlagsAndCheckMarks_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<bool>("ask");
        QTest::addColumn<bool>("kana");
        QTest::newRow("no file") << QByteArray() << true << false;
        QTest::newRow("both switched") << QByteArray("False\r\nTrue\r\nA\r\n") << false << true;
        QTest::newRow("garbled") << QByteArray("false\r\nTRUE\r\n") << true << false;
        QTest::newRow("binary") << QByteArray("\x00\xff\x81,\"\r\n\x82", 7) << true << false;
    }
    void settingsSetFlagsAndCheckMarks()
    {
        QFETCH(QByteArray, settings);
        QFETCH(bool, ask);
        QFETCH(bool, kana);
        ProgramFolder folder;
        if (!settings.isEmpty())
            folder.write("Kolrin.cfg", settings);
        Session s(folder, {QString()});
        QVERIFY(s.loaded);
        QCOMPARE(s.shared.AskNameAtStart, ask);
        QCOMPARE(s.shared.RomajiMode, kana);
        QCOMPARE(s.window->mnuNameOpt()->isChecked(), ask);
        QCOMPARE(s.window->mnuRoma()->isChecked(), kana);
        QCOMPARE(s.window->lblKana()->text().isEmpty(), !kana);
    }

    void settingsComeBackAfterARestart()
    {
        ProgramFolder folder;
        {
            Session s(folder, {QStringLiteral("Ichiro, Team 1")});
            s.window->mnuNameOpt()->trigger();
            s.window->mnuRoma()->trigger();
            QVERIFY(!s.shared.AskNameAtStart);
            s.window->close();
        }
        Session again(folder);
        QVERIFY(again.desktop.inputs.isEmpty());
        QVERIFY(again.shared.RomajiMode);
        QCOMPARE(again.window->playerName(), QStringLiteral("Ichiro, Team 1"));
    }

    // Kolrin.cfg keeps its three lines whatever the options; they go to
    // Kolrin.ini, which a player who never changed one never gets.
    void optionsLiveInTheirOwnFile_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("flexible romaji") << "flexible" << QByteArray("FlexibleRomaji=true\n");
        QTest::newRow("status bar") << "status" << QByteArray("StatusBar=true\n");
        QTest::newRow("pause when left") << "pause" << QByteArray("PauseWhenInactive=true\n");
        QTest::newRow("weak keys") << "focus" << QByteArray("FocusWeakKeys=true\n");
        QTest::newRow("summary after each game") << "summary" << QByteArray("GameSummary=true\n");
        QTest::newRow("lessons") << "lessons" << QByteArray("Lessons=true\n");
        QTest::newRow("options untouched") << QString() << QByteArray();
    }
    void optionsLiveInTheirOwnFile()
    {
        QFETCH(QString, item);
        QFETCH(QByteArray, line);
        const auto action = [&item](const frmZuvel &w) {
            return item == u"flexible" ? w.mnuFlexible()
                : item == u"status"    ? w.mnuStatusBar()
                : item == u"pause"     ? w.mnuPauseInactive()
                : item == u"focus"     ? w.mnuFocusWeakKeys()
                : item == u"summary"   ? w.mnuGameSummary()
                : item == u"lessons"   ? w.mnuLessons()
                                       : nullptr;
        };
        ProgramFolder folder;
        {
            Session s(folder, {QStringLiteral("Ichiro")});
            if (action(*s.window))
                action(*s.window)->trigger();
            s.window->close();
        }
        QCOMPARE(folder.read("Kolrin.cfg"), QByteArray("True\r\nFalse\r\nIchiro\r\n"));
        QCOMPARE(folder.has("Kolrin.ini"), !item.isEmpty());
        QVERIFY(folder.read("Kolrin.ini").contains(line));
        Session again(folder, {QStringLiteral("Ichiro")});
        for (const QAction *a : {again.window->mnuFlexible(), again.window->mnuStatusBar(),
                                 again.window->mnuPauseInactive(), again.window->mnuFocusWeakKeys(),
                                 again.window->mnuGameSummary(),
                                 again.window->mnuLessons()})
            QCOMPARE(a->isChecked(), a == action(*again.window));
        // What the options ask of the game database waits for the window.
        QTest::qWait(100);
        QVERIFY(!folder.has("Kolrin.db"));
        again.window->show();
        QTRY_VERIFY(!again.window->history().isBusy());
        QCOMPARE(folder.has("Kolrin.db"), item == u"focus" || item == u"lessons");
    }

    void unsavableSettingsAreToldAndTheProgramStillEnds()
    {
        ProgramFolder folder;
        folder.write("Kolrin.cfg", "False\r\nFalse\r\nSaved\r\n");
        Session s(folder);
        QFile::remove(folder.file("Kolrin.cfg"));
        QVERIFY(QDir().mkdir(folder.file("Kolrin.cfg")));
        QSignalSpy unloaded(s.window.get(), &frmZuvel::unloaded);
        s.window->close();
        QCOMPARE(unloaded.count(), 1);
        QCOMPARE(s.desktop.boxes.size(), 1);
        QVERIFY(s.desktop.boxes[0].text.startsWith(QStringLiteral("設定を保存できませんでした。")));
        QVERIFY(QFileInfo(folder.file("Kolrin.cfg")).isDir());
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
