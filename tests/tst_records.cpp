// The game-over dialog and the ranking window, on their own and from the game.
#include "game/frmzuvel.h"
#include "records/zuvelm.h"
#include "records/frmbest.h"
#include "records/frmprogress.h"
#include "records/frmreplay.h"
#include "records/gamedatabase.h"
#include "records/lessonprogressview.h"
#include "records/lessonrecords.h"
#include "records/speedchart.h"
#include "records/weakkeyspanel.h"
#include "platform/keyboardview.h"
#include "windowtestkit.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScatterSeries>
#include <QValueAxis>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableWidget>

namespace {
// Waits for the chart's figures, read on worker threads.
void settle(const frmProgress *progress)
{
    QTRY_VERIFY_WITH_TIMEOUT(!progress->isLoading(), 10000);
}

// Counts the times a window is made the active one.
struct ActivationCounter : QObject
{
    int count = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        count += event->type() == QEvent::WindowActivate;
        return false;
    }
};
}

class TestRecords : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useDesignFont();
        ProgressWindow::useFactory(&kolrinCreateProgressWindow);
    }

    void gameOverShowsLevelAndRating_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("kana");
        QTest::addColumn<QString>("sentence");
        QTest::newRow("letters 16") << 16 << false << "あなたは、中級者です。    ";
        QTest::newRow("kana 16") << 16 << true << "あなたは、初級者です。    ";
        QTest::newRow("letters 36") << 36 << false << "あなたは、超人です。    ";
    }
    void gameOverShowsLevelAndRating()
    {
        QFETCH(int, level);
        QFETCH(bool, kana);
        QFETCH(QString, sentence);
        ZuvelM shared;
        shared.FinalLevel = std::int16_t(level);
        shared.RomajiMode = kana;
        frmReplay dialog(shared);
        whenModal([&](QWidget *) {
            QCOMPARE(dialog.lblMes(2)->text(), QStringLiteral("Level %1").arg(level));
            QCOMPARE(dialog.lblTatujinn()->text(), sentence);
            QCOMPARE(dialog.windowTitle(), QStringLiteral("リプレイ"));
            QTRY_COMPARE(QApplication::focusWidget(), dialog.cmdNext());
            QCOMPARE(dialog.cmdNext()->nextInFocusChain(), dialog.cmdEnd());
            QTest::keyClick(&dialog, Qt::Key_Return);
        });
        dialog.showModal();
        QVERIFY(shared.ReplayRequested);
    }

    void ratingWordOutlivesALevelThatRatesNothing()
    {
        ZuvelM shared;
        shared.FinalLevel = 30;
        frmReplay dialog(shared);
        whenModal([&](QWidget *) { dialog.cmdEnd()->click(); });
        dialog.showModal();
        shared.FinalLevel = 0;
        whenModal([&](QWidget *) { dialog.cmdEnd()->click(); });
        dialog.showModal();
        QCOMPARE(dialog.ratingText(), QStringLiteral("上級者"));
        QCOMPARE(dialog.lblMes(2)->text(), QStringLiteral("Level 0"));
    }

    void closeBoxAnswersEndAndEscapeNothing()
    {
        ZuvelM shared;
        shared.FinalLevel = 5;
        shared.ReplayRequested = true; // the answer of an earlier game
        frmReplay dialog(shared);
        whenModal([&](QWidget *) {
            QTest::keyClick(&dialog, Qt::Key_Escape);
            QVERIFY(dialog.isVisible());
            dialog.close();
        });
        dialog.showModal();
        QVERIFY(!shared.ReplayRequested);
    }

    void rankingListsAndCopiesTheBest_data()
    {
        QTest::addColumn<bool>("kana");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QString>("clipboard");
        QTest::newRow("letters")
            << false
            << QByteArray("28,\"\",\"2001/12/02 21:00\"\r\n31,\"player\",\"2001/12/02 21:05\"\r\n")
            << QStringList{"Level 31a\tplayer\t2001/12/02 21:05", "Level 28a\t\t2001/12/02 21:00"}
            << "Level 31a\tplayer \t\t2001/12/02 21:05\r\nLevel 28a\t      \t\t2001/12/02 21:00\r\n";
        QTest::newRow("kana, CP932 name")
            << true << QByteArray("7,\"\x8e\x52\x93\x63\",\"2002/01/03 09:05\"\r\n")
            << QStringList{"Level 7r\t山田\t2002/01/03 09:05"}
            << "Level 7r\t山田     \t\t2002/01/03 09:05\r\n";
        QTest::newRow("empty file") << false << QByteArray() << QStringList{} << "";
    }
    void rankingListsAndCopiesTheBest()
    {
        QFETCH(bool, kana);
        QFETCH(QByteArray, file);
        QFETCH(QStringList, list);
        QFETCH(QString, clipboard);
        ProgramFolder folder;
        folder.write("Kolrin.cfg", kana ? "False\r\nTrue\r\n\r\n" : "False\r\nFalse\r\n\r\n");
        folder.write(kana ? "KolrinR.dat" : "Kolrin.dat", file);
        ZuvelM shared;
        FakeDesktop desktop;
        frmZuvel window(shared, desktop, folder.path());
        QVERIFY(window.Form_Load());
        QStringList shown;
        whenModal([&](QWidget *modal) {
            auto *best = qobject_cast<frmBest *>(modal);
            QVERIFY(best);
            QCOMPARE(best->windowTitle(), QStringLiteral("成績順表示"));
            for (int i = 0; i < best->lstBest()->count(); ++i)
                shown << best->lstBest()->item(i)->text();
            QTest::keyClick(best, Qt::Key_Escape);
        });
        window.mnuBest_Click();
        QCOMPARE(shown, list);
        QCOMPARE(desktop.clipboard, QStringList{clipboard});
    }

    void rankingWithoutAFileOpensNothing()
    {
        ProgramFolder folder;
        folder.write("Kolrin.cfg", "False\r\nFalse\r\n\r\n");
        folder.write("KolrinR.dat", "9,\"other mode\",\"2001/12/02 21:05\"\r\n");
        Session s(folder);
        QVERIFY(s.loaded);
        s.window->mnuBest_Click(); // would block here if a window opened
        QVERIFY(s.desktop.clipboard.isEmpty());
        QVERIFY(s.desktop.boxes.isEmpty());
    }

    void gameKeepsRunningUnderTheRanking()
    {
        ProgramFolder folder;
        folder.write("Kolrin.cfg", "False\r\nFalse\r\n\r\n");
        folder.write("Kolrin.dat", "3,\"a\",\"2001/12/02 21:05\"\r\n");
        Session s(folder);
        s.window->mnuStart_Click();
        whenModal([&](QWidget *modal) {
            QTRY_VERIFY_WITH_TIMEOUT(s.window->fieldTop() < 220, 2000);
            modal->close();
        });
        s.window->mnuBest_Click();
        QVERIFY(s.window->isPlaying());
        s.window->timer().stop();
    }

    void progressShowsTheModesFile_data()
    {
        QTest::addColumn<bool>("kana");
        QTest::addColumn<QByteArray>("letters");
        QTest::addColumn<QByteArray>("kanaFile");
        QTest::addColumn<QStringList>("players");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("summary"); // empty: no chart
        QTest::addColumn<QStringList>("dates");
        QTest::addColumn<QList<int>>("gamesEach"); // shown when that name is chosen

        const QByteArray two("3,\"\x8e\x52\x93\x63\",\"2001/12/02 21:05\"\r\n"
                             "9,\"bob\",\"2001/12/03 10:00\"\r\n"
                             "5,\"\x8e\x52\x93\x63\",\"2001/12/04 08:30\"\r\n");
        const QByteArray bob("7,\"bob\",\"2002/01/03 09:05\"\r\n");
        QTest::newRow("letters, the player preselected")
            << false << two << bob << QStringList{"全員", "山田", "bob"} << "山田"
            << "ゲーム数 2   最高 5 (2001/12/04 08:30)   直近10の平均 4.0   "
               "2001/12/02 21:05～2001/12/04 08:30"
            << QStringList{"2001/12/02 21:05", "2001/12/04 08:30"} << QList<int>{2, 1};
        QTest::newRow("kana, the player absent: everyone")
            << true << two << bob << QStringList{"全員", "bob"} << "全員"
            << "ゲーム数 1   最高 7 (2002/01/03 09:05)   直近10の平均 7.0   "
               "2002/01/03 09:05～2002/01/03 09:05"
            << QStringList{"2002/01/03 09:05"} << QList<int>{1};
        QTest::newRow("empty file") << false << QByteArray() << bob << QStringList{"全員"}
                                    << "全員" << QString() << QStringList{} << QList<int>{};
        QTest::newRow("no file") << true << two << QByteArray() << QStringList{"全員"} << "全員"
                                 << QString() << QStringList{} << QList<int>{};
        // Alike for the list's width, told apart when chosen.
        const QByteArray longName(100000, 'L');
        const QString shown = QString(63, u'L') + u'…';
        QTest::newRow("names too long for the list")
            << false
            << "4,\"" + longName + "\",\"2001/12/02 21:05\"\r\n2,\"" + longName + "x\",\"2001/12/03 "
                   "21:05\"\r\n6,\"" + longName + "\",\"2001/12/04 21:05\"\r\n"
            << bob << QStringList{"全員", shown, shown} << "全員"
            << "ゲーム数 3   最高 6 (2001/12/04 21:05)   直近10の平均 4.0   "
               "2001/12/02 21:05～2001/12/04 21:05"
            << QStringList{"2001/12/02 21:05", "2001/12/04 21:05"} << QList<int>{2, 1};
    }
    void progressShowsTheModesFile()
    {
        QFETCH(bool, kana);
        QFETCH(QByteArray, letters);
        QFETCH(QByteArray, kanaFile);
        QFETCH(QStringList, players);
        QFETCH(QString, chosen);
        QFETCH(QString, summary);
        QFETCH(QStringList, dates);
        ProgramFolder folder;
        folder.write("Kolrin.cfg", QByteArray(kana ? "False\r\nTrue\r\n" : "False\r\nFalse\r\n")
                                       + "\x8e\x52\x93\x63\r\n");
        folder.write("Kolrin.dat", letters);
        if (!kanaFile.isEmpty())
            folder.write("KolrinR.dat", kanaFile);
        Session s(folder);
        s.window->mnuProgress_Click();
        auto *progress = s.window->findChild<frmProgress *>();
        QVERIFY(progress && progress->isVisible() && !progress->isModal());
        QCOMPARE(progress->windowTitle(), QStringLiteral("成績の推移"));
        settle(progress);
        QStringList shown;
        for (int i = 0; i < progress->cboPlayer()->count(); ++i)
            shown << progress->cboPlayer()->itemText(i);
        QCOMPARE(shown, players);
        QCOMPARE(progress->cboPlayer()->currentText(), chosen);
        QCOMPARE(progress->lblSummary()->text(), summary);
        QTRY_COMPARE(progress->dateLabels(), dates); // placed once the chart is laid out
        QCOMPARE(progress->chartArea()->currentWidget() == progress->lblEmpty(), summary.isEmpty());
        QCOMPARE(progress->lblEmpty()->text(), QStringLiteral("まだ記録がありません。"));
        if (summary.isEmpty())
            return;
        // The best level stands inside the frame, below the axis' end.
        qreal best = 0;
        for (const QScatterSeries *series : progress->playerSeries() + QList{progress->levelSeries()}) {
            for (const QPointF &point : series->points())
                best = qMax(best, point.y());
        }
        QVERIFY(best > 0);
        QVERIFY2(progress->levelAxis()->max() > best, qPrintable(QString::number(progress->levelAxis()->max())));

        QFETCH(QList<int>, gamesEach);
        for (int i = 0; i < gamesEach.size(); ++i) {
            progress->cboPlayer()->setCurrentIndex(i + 1);
            emit progress->cboPlayer()->activated(i + 1);
            settle(progress);
            QVERIFY2(progress->lblSummary()->text().startsWith(
                         QStringLiteral("ゲーム数 %1 ").arg(gamesEach[i])),
                     qPrintable(progress->lblSummary()->text()));
        }
    }

    void progressFollowsGamesWithoutTakingTheKeys()
    {
        ProgramFolder folder;
        folder.write("Kolrin.cfg", "False\r\nFalse\r\nP\r\n");
        folder.write("KolrinR.dat", "4,\"P\",\"2001/12/02 21:05\"\r\n");
        Session s(folder);
        s.window->show();
        s.window->mnuProgress_Click();
        auto *progress = s.window->findChild<frmProgress *>();
        QTRY_COMPARE(QApplication::activeWindow(), progress);
        settle(progress);
        QCOMPARE(progress->chartArea()->currentWidget(), progress->lblEmpty());

        s.window->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), s.window.get());
        ActivationCounter activations;
        progress->installEventFilter(&activations);
        s.window->mnuStart_Click();
        s.window->mnuProgress_Click(); // already open while a game runs: it only rises
        s.window->timer().stop();
        s.playToTheEnd();
        s.settle();
        settle(progress);
        QVERIFY(progress->lblSummary()->text().startsWith(QStringLiteral("ゲーム数 1 ")));
        // Everyone is shown, the one player in a colour of their own.
        QCOMPARE(progress->cboPlayer()->currentText(), QStringLiteral("全員"));
        QCOMPARE(progress->playerSeries()[0]->count(), 1);
        QCOMPARE(progress->playerSeries()[0]->name(), QStringLiteral("P"));

        progress->cboPlayer()->setCurrentIndex(0);
        s.window->mnuRoma()->trigger();
        settle(progress);
        QCOMPARE(progress->cboPlayer()->currentText(), QStringLiteral("全員"));
        QVERIFY(progress->lblSummary()->text().startsWith(QStringLiteral("ゲーム数 1   最高 4 ")));
        QCOMPARE(activations.count, 0);
    }

    // Four games in the database, three of 山田's and one of bob's, and the
    // result files that go with them; the tabs of the database read them.
    void progressTabsReadTheDatabase_data()
    {
        QTest::addColumn<bool>("kana");
        QTest::addColumn<bool>("everyone");
        QTest::addColumn<int>("range"); // 最後のゲーム, 最近の10ゲーム, すべて
        QTest::addColumn<int>("games");
        QTest::addColumn<QString>("weakKeys");
        QTest::addColumn<QString>("weakKana");
        QTest::newRow("the player's last game: ties by the longer time") << false << false << 0 << 2 << "B A" << "";
        QTest::newRow("the player's games") << false << false << 2 << 2 << "A B" << "";
        QTest::newRow("everyone's games") << false << true << 2 << 3 << "Z A B" << "";
        QTest::newRow("kana mode: the kana too") << true << false << 1 << 1 << "K" << "か さ";
    }
    void progressTabsReadTheDatabase()
    {
        QFETCH(bool, kana);
        QFETCH(bool, everyone);
        QFETCH(int, range);
        QFETCH(int, games);
        QFETCH(QString, weakKeys);
        QFETCH(QString, weakKana);
        ProgramFolder folder;
        folder.write("Kolrin.cfg", QByteArray(kana ? "False\r\nTrue\r\n" : "False\r\nFalse\r\n")
                                       + "\x8e\x52\x93\x63\r\n");
        folder.write("Kolrin.dat", "3,\"\x8e\x52\x93\x63\",\"2001/12/02 21:05\"\r\n9,\"bob\",\"2001/12/03 10:00\"\r\n"
                                   "5,\"\x8e\x52\x93\x63\",\"2001/12/04 08:30\"\r\n");
        folder.write("KolrinR.dat", "4,\"\x8e\x52\x93\x63\",\"2001/12/05 08:30\"\r\n");
        {
            GameDatabase db(folder.file("Kolrin.db"), false);
            const auto add = [&db](bool kanaMode, const QString &player, const KeyTallies &keys,
                                   const KeyTallies &kanaStats = {}) {
                GameRecord game;
                game.kanaMode = kanaMode;
                game.player = player;
                game.keyStats = keys;
                game.kanaStats = kanaStats;
                game.keys = 30;
                game.playedMs = 60000;
                QVERIFY(db.add(game, QDateTime()).written);
            };
            add(false, u"山田"_qs, {{u"A"_qs, {20, 10, 2000}}, {u"B"_qs, {20, 2, 4000}}, {u"C"_qs, {5, 5, 500}}});
            add(false, u"bob"_qs, {{u"A"_qs, {20, 0, 2000}}, {u"Z"_qs, {20, 20, 1000}}});
            add(false, u"山田"_qs, {{u"A"_qs, {10, 0, 1000}}, {u"B"_qs, {10, 0, 3000}}});
            add(true, u"山田"_qs, {{u"K"_qs, {10, 5, 1000}}}, {{u"か"_qs, {10, 5, 2000}}, {u"さ"_qs, {10, 1, 1000}}});
            QVERIFY(LessonRecords(db).keep(false, u"山田"_qs, u"FJDKSLA"_qs, QDateTime::currentDateTime()));
        }
        Session s(folder);
        s.window->mnuProgress_Click();
        auto *progress = s.window->findChild<frmProgress *>();
        settle(progress);
        if (everyone) {
            progress->cboPlayer()->setCurrentIndex(0);
            emit progress->cboPlayer()->activated(0);
            settle(progress);
        }
        progress->tabs()->setCurrentIndex(frmProgress::SpeedTab);
        settle(progress);
        SpeedChart *speed = progress->speedChart();
        QCOMPARE(speed->area()->currentIndex(), 0);
        QCOMPARE(speed->speedSeries()->count(), games);
        QVERIFY2(speed->lblSummary()->text().startsWith(QStringLiteral("ゲーム数 %1   直近10の平均 30 打/分").arg(games)),
                 qPrintable(speed->lblSummary()->text()));

        progress->tabs()->setCurrentIndex(frmProgress::KeysTab);
        WeakKeysPanel *keys = progress->weakKeys();
        keys->cboRange()->setCurrentIndex(range);
        emit keys->cboRange()->activated(range);
        settle(progress);
        const auto column = [](const QTableWidget *table) {
            QStringList cells;
            for (int row = 0; row < table->rowCount(); ++row)
                cells << table->item(row, 0)->text();
            return cells.join(u' ');
        };
        QCOMPARE(keys->area()->currentIndex(), 0);
        QCOMPARE(column(keys->keyTable()), weakKeys);
        QCOMPARE(keys->kanaTable()->isVisibleTo(keys), kana);
        QCOMPARE(column(keys->kanaTable()), weakKana);
        // The keyboard's colours: redder the more a key is missed, white for none.
        QList<int> greens;
        for (int row = 0; row < keys->keyTable()->rowCount(); ++row)
            greens << keys->keyColours().value(keys->keyTable()->item(row, 0)->text()[0]).green();
        QVERIFY(std::is_sorted(greens.cbegin(), greens.cend()));
        if (range == 0)
            QCOMPARE(keys->keyColours().value(u'A'), QColor(Qt::white));
        // The keyboard shows them: a key's corner, clear of its letter.
        const QImage drawn = keys->keyboard()->grab().toImage();
        const QChar first = keys->keyTable()->item(0, 0)->text()[0];
        const QPointF corner = keys->keyboard()->keyRect(first).topLeft() + QPointF(4, 4);
        QCOMPARE(drawn.pixelColor((corner * drawn.devicePixelRatio()).toPoint()), keys->keyColours().value(first));

        // The lesson's letters beside them, newest first, for a player who
        // has lessons in the mode: A over the last 30 attempts missed 10 times.
        const LessonProgressView *lessons = keys->lessons();
        QTRY_VERIFY(!lessons->isLoading());
        const bool lesson = !everyone && !kana;
        QCOMPARE(lessons->isVisibleTo(keys), lesson);
        if (lesson) {
            QCOMPARE(lessons->heading()->text(), u"キーを順に覚える: キー 7/26　できたキー 0　次のキー: O"_qs);
            QCOMPARE(column(lessons->table()), u"A L S K D J F"_qs);
            QStringList a;
            for (int c = 1; c < 4; ++c)
                a << lessons->table()->item(0, c)->text();
            QCOMPARE(a.join(u' '), u"30 25.0% 100"_qs);
        }
    }

    // The chart's library reads with connections of its own, beside the game's.
    void gamesAreStoredWhileTheChartReads()
    {
        ProgramFolder folder;
        folder.write("Kolrin.cfg", "False\r\nFalse\r\nP\r\n");
        Session s(folder);
        s.playToTheEnd();
        s.settle();
        s.window->mnuProgress_Click();
        auto *progress = s.window->findChild<frmProgress *>();
        for (int tab : {frmProgress::SpeedTab, frmProgress::KeysTab}) {
            progress->tabs()->setCurrentIndex(tab);
            settle(progress);
        }
        s.playToTheEnd();
        s.settle();
        settle(progress);
        progress->tabs()->setCurrentIndex(frmProgress::SpeedTab);
        settle(progress);
        QVERIFY(s.desktop.boxes.isEmpty());
        QVERIFY2(progress->speedChart()->lblSummary()->text().startsWith(QStringLiteral("ゲーム数 2 ")),
                 qPrintable(progress->speedChart()->lblSummary()->text()));
    }

    void progressTabsWithoutADatabaseSayNothingYet()
    {
        ProgramFolder folder;
        folder.write("Kolrin.cfg", "False\r\nFalse\r\nP\r\n");
        folder.write("Kolrin.dat", "4,\"P\",\"2001/12/02 21:05\"\r\n");
        Session s(folder);
        s.window->mnuProgress_Click();
        auto *progress = s.window->findChild<frmProgress *>();
        for (int tab : {frmProgress::SpeedTab, frmProgress::KeysTab}) {
            progress->tabs()->setCurrentIndex(tab);
            settle(progress);
        }
        QCOMPARE(progress->speedChart()->lblMessage()->text(), QStringLiteral("まだ記録がありません。"));
        QCOMPARE(progress->speedChart()->area()->currentWidget(), progress->speedChart()->lblMessage());
        QCOMPARE(progress->weakKeys()->lblMessage()->text(), QStringLiteral("まだ記録がありません。"));
        QVERIFY(!QFile::exists(folder.file("Kolrin.db")));
    }

    void unsavableResultIsToldAndTheGameGoesOn()
    {
        ProgramFolder folder;
        folder.write("Kolrin.cfg", "False\r\nFalse\r\nP\r\n");
        QVERIFY(QDir().mkdir(folder.file("Kolrin.dat")));
        Session s(folder);
        bool timerOffDuringBox = false;
        s.desktop.onBox = [&] { timerOffDuringBox = !s.window->isPlaying(); };
        s.playToTheEnd();
        QTRY_COMPARE(s.shared.FinalLevel, 1);
        QCOMPARE(s.desktop.boxes.size(), 1);
        QVERIFY(s.desktop.boxes[0].text.startsWith(QStringLiteral("成績を保存できませんでした。")));
        QCOMPARE(s.desktop.boxes[0].title, QStringLiteral("Kolrin"));
        QVERIFY(timerOffDuringBox);
        QCOMPARE(s.window->level(), 1);
    }
};

QTEST_MAIN(TestRecords)
#include "tst_records.moc"
