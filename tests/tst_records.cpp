// The game-over dialog and the ranking window, on their own and from the game.
#include "game/frmzuvel.h"
#include "game/gamerecorder.h"
#include "records/gamereportfeed.h"
#include "records/zuvelm.h"
#include "records/frmbest.h"
#include "records/frmprogress.h"
#include "records/frmreplay.h"
#include "records/gamedatabase.h"
#include "records/keyprogresschart.h"
#include "records/keyspeedpanel.h"
#include "records/lessonprogressview.h"
#include "records/lessonrecords.h"
#include "records/speedchart.h"
#include "records/weakkeyspanel.h"
#include "platform/keyboardview.h"
#include "platform/textfile.h"
#include "sessionscript.h"
#include "windowtestkit.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
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

    // A letters game played from a script (its prompts DDL, then XWU) and the
    // player's earlier games ("keys/misses/ms ..."; none: not known yet).
    void gameOverReportsTheGame_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("earlier");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("misses with the keys pressed instead, against two earlier games")
            << "start@0 1@100 'l@150 'l@200 2@300 3@600 'q@700 1@1000 tick*111@10000"
            << "10/0/10000 20/10/10000"
            << QStringList{"速さ 24 打/分 ▼66", "正確さ 57.1% ▼26.2", "▲▼ 最近2ゲームの平均との差",
                           "ミス D→L 2回、X→Q 1回", "遅いキー L 300ms、D 100ms"};
        QTest::newRow("no miss, the comparison not known yet")
            << "start@0 1@100 2@200 3@400 tick*111@10000" << ""
            << QStringList{"速さ 18 打/分", "正確さ 100.0%", "", "ミス なし", "遅いキー L 200ms、D 100ms"};
        QTest::newRow("better than before; a game with no key is no comparison")
            << "start@0 1@100 2@200 3@400 tick*111@10000" << "6/2/60000 0/0/5000"
            << QStringList{"速さ 18 打/分 ▲12", "正確さ 100.0% ▲25.0", "▲▼ 最近1ゲームの平均との差",
                           "ミス なし", "遅いキー L 200ms、D 100ms"};
        QTest::newRow("nothing pressed") << "start@0 tick*221@33150" << "10/0/10000"
                                         << QStringList{"速さ —", "正確さ —", "", "ミス なし", "遅いキー —"};
    }
    void gameOverReportsTheGame()
    {
        QFETCH(QString, script);
        QFETCH(QString, earlier);
        QFETCH(QStringList, lines);
        quint64 seed = 0;
        GameSession session([&seed] { return ++seed; });
        session.begin();
        GameRecorder recorder(session);
        GameReportFeed feed;
        feed.setOn(true);
        connect(&session, &GameSession::gameOver, this, [&](const GameSummary &summary) {
            feed.setReport(GameReport::of(recorder.record(summary, u"Tester"_qs, QDateTime())));
        });
        playScript(session, script);
        if (!earlier.isEmpty()) {
            QList<GameReport::Figures> games;
            for (const QString &game : earlier.split(u' ')) {
                const QStringList f = game.split(u'/');
                games.append({f[0].toLongLong(), f[1].toLongLong(), f[2].toLongLong()});
            }
            // Comes in while the dialog shows.
            QTimer::singleShot(50, &feed, [&feed, games] {
                GameReport report = feed.report();
                report.average = GameReport::averageOf(games);
                feed.setReport(report);
            });
        }
        ZuvelM shared;
        shared.FinalLevel = 2;
        frmReplay dialog(shared, feed);
        whenModal([&](QWidget *) {
            const auto shown = [&dialog] {
                QStringList texts;
                for (const QLabel *line : dialog.reportLines())
                    texts << (line->isVisible() ? line->text() : u"hidden"_qs);
                return texts;
            };
            QTRY_COMPARE(shown(), lines);
            // Below the rating, the buttons where they always were.
            QVERIFY(dialog.reportLines().first()->y() > dialog.lblTatujinn()->geometry().bottom());
            QCOMPARE(dialog.cmdNext()->geometry(), QRect(152, 16, 65, 25));
            QCOMPARE(dialog.cmdEnd()->geometry(), QRect(152, 48, 65, 25));
            QVERIFY(dialog.reportLines().last()->geometry().bottom() < dialog.height());
            dialog.cmdEnd()->click();
        });
        dialog.showModal();
    }

    // Off, even after it was on, the dialog is the one it always was.
    void gameOverWithoutTheReportLooksAsBefore()
    {
        ZuvelM shared;
        shared.FinalLevel = 23;
        const auto shot = [](frmReplay &dialog) {
            QImage image;
            whenModal([&](QWidget *) {
                image = dialog.grab().toImage();
                dialog.cmdEnd()->click();
            });
            dialog.showModal();
            return image;
        };
        frmReplay before(shared);
        const QImage plain = shot(before);
        GameReportFeed feed;
        frmReplay dialog(shared, feed);
        QCOMPARE(shot(dialog), plain);
        feed.setOn(true);
        QVERIFY(shot(dialog).height() > plain.height());
        feed.setOn(false);
        QCOMPARE(shot(dialog), plain);
        QCOMPARE(dialog.size(), QSize(222, 117));
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
        QTest::addColumn<QString>("firstRow"); // of the weak keys, or kana in kana mode
        QTest::addColumn<QString>("slowKeys"); // every row of the speed tab's list
        QTest::addColumn<QList<QPointF>>("timesOfA"); // A chosen on the speed tab's keyboard
        QTest::newRow("the player's last game: no key missed, none weak")
            << false << false << 0 << 2 << "" << "" << "" << "B 10 300 200" << QList<QPointF>{{1, 100}, {2, 50}};
        QTest::newRow("the player's games: ten tries list a key")
            << false << false << 2 << 2 << "C A B" << "" << "C 5 5 50.0% 100" << "B 30 233 257 | A 28 86 700"
            << QList<QPointF>{{1, 100}, {2, 50}};
        QTest::newRow("everyone's games: ties by the longer time")
            << false << true << 2 << 3 << "C Z A B" << "" << "C 5 5 50.0% 100"
            << "B 30 233 257 | A 48 92 655 | Z 20 50 1,200" << QList<QPointF>{{1, 100}, {2, 100}, {3, 50}};
        QTest::newRow("kana mode: the kana too") << true << false << 1 << 1 << "K" << "か さ"
                                                 << "か 10 5 33.3% 200" << "K 10 100 600" << QList<QPointF>{};
    }
    void progressTabsReadTheDatabase()
    {
        QFETCH(bool, kana);
        QFETCH(bool, everyone);
        QFETCH(int, range);
        QFETCH(int, games);
        QFETCH(QString, weakKeys);
        QFETCH(QString, weakKana);
        QFETCH(QString, firstRow);
        QFETCH(QString, slowKeys);
        QFETCH(QList<QPointF>, timesOfA);
        ProgramFolder folder;
        folder.write("Kolrin.cfg", QByteArray(kana ? "False\r\nTrue\r\n" : "False\r\nFalse\r\n")
                                       + "\x8e\x52\x93\x63\r\n");
        folder.write("Kolrin.dat", "3,\"\x8e\x52\x93\x63\",\"2001/12/02 21:05\"\r\n9,\"bob\",\"2001/12/03 10:00\"\r\n"
                                   "5,\"\x8e\x52\x93\x63\",\"2001/12/04 08:30\"\r\n");
        folder.write("KolrinR.dat", "4,\"\x8e\x52\x93\x63\",\"2001/12/05 08:30\"\r\n");
        {
            GameDatabase db(folder.file("Kolrin.db"), false);
            int day = 0;
            const auto add = [&db, &day](bool kanaMode, const QString &player, const KeyTallies &keys,
                                   const KeyTallies &kanaStats = {}) {
                GameRecord game;
                game.kanaMode = kanaMode;
                game.player = player;
                game.keyStats = keys;
                game.kanaStats = kanaStats;
                game.keys = 30;
                game.playedMs = 60000;
                game.endedAt = QStringLiteral("2026-12-0%1T10:00:00").arg(++day);
                QVERIFY(db.add(game, QDateTime()).written);
            };
            // Two of the ten A of the last game were a prompt's first key, read in 600 ms.
            KeyTally firstKeys{10, 0, 1000};
            firstKeys.first = 2;
            firstKeys.firstMs = 600;
            add(false, u"山田"_qs, {{u"A"_qs, {20, 10, 2000}}, {u"B"_qs, {20, 2, 4000}}, {u"C"_qs, {5, 5, 500}}});
            add(false, u"bob"_qs, {{u"A"_qs, {20, 0, 2000}}, {u"Z"_qs, {20, 20, 1000}}});
            add(false, u"山田"_qs, {{u"A"_qs, firstKeys}, {u"B"_qs, {10, 0, 3000}}});
            add(true, u"山田"_qs, {{u"K"_qs, {10, 5, 1000}}}, {{u"か"_qs, {10, 5, 2000}}, {u"さ"_qs, {10, 1, 1000}}});
            QVERIFY(LessonRecords(db).keep(false, u"山田"_qs, u"FJDKSLA"_qs, QDateTime::currentDateTime()));
        }
        Session s(folder);
        s.window->mnuProgress_Click();
        auto *progress = s.window->findChild<frmProgress *>();
        settle(progress);
        // Everyone chosen with the player's games on the speed tab: the
        // player's dots go aside.
        progress->tabs()->setCurrentIndex(frmProgress::SpeedTab);
        settle(progress);
        if (everyone) {
            progress->cboPlayer()->setCurrentIndex(0);
            emit progress->cboPlayer()->activated(0);
            settle(progress);
        }
        SpeedChart *speed = progress->speedChart();
        QCOMPARE(speed->area()->currentIndex(), 0);
        // The dots drawn: a series put aside is hidden with its dots.
        qsizetype dots = speed->speedSeries()->isVisible() ? speed->speedSeries()->count() : 0;
        for (const QScatterSeries *series : speed->playerSpeedSeries())
            dots += series->isVisible() ? series->count() : 0;
        QCOMPARE(dots, games);
        // Everyone's players in their own colours, none a line's.
        QCOMPARE(speed->playerSpeedSeries()[0]->isVisible(), everyone);
        if (everyone) {
            QCOMPARE(speed->playerSpeedSeries()[0]->name(), u"山田"_qs);
            QCOMPARE(speed->playerSpeedSeries()[0]->count(), 2);
        }
        // Perfect games stand below the top of the frame.
        QVERIFY(speed->accuracyAxis()->max() > 100);
        QVERIFY2(speed->lblSummary()->text().startsWith(QStringLiteral("ゲーム数 %1   直近10の平均 30 打/分").arg(games)),
                 qPrintable(speed->lblSummary()->text()));

        progress->tabs()->setCurrentIndex(frmProgress::KeysTab);
        WeakKeysPanel *keys = progress->weakKeys();
        settle(progress);
        QCOMPARE(keys->cboRange()->currentText(), QStringLiteral("最近の10ゲーム"));
        keys->cboRange()->setCurrentIndex(range);
        emit keys->cboRange()->activated(range);
        settle(progress);
        const auto column = [](const QTableWidget *table) {
            QStringList cells;
            for (int row = 0; row < table->rowCount(); ++row)
                cells << table->item(row, 0)->text();
            return cells.join(u' ');
        };
        const auto rows = [](const QTableWidget *table) {
            QStringList lines;
            for (int row = 0; row < table->rowCount(); ++row) {
                QStringList cells;
                for (int c = 0; c < table->columnCount(); ++c)
                    cells << table->item(row, c)->text();
                lines << cells.join(u' ');
            }
            return lines;
        };
        QCOMPARE(keys->area()->currentIndex(), 0);
        QCOMPARE(column(keys->keyTable()), weakKeys);
        QCOMPARE(keys->kanaTable()->isVisibleTo(keys), kana);
        QCOMPARE(column(keys->kanaTable()), weakKana);
        QCOMPARE(rows(kana ? keys->kanaTable() : keys->keyTable()).value(0), firstRow);
        // The keyboard's colours: redder the more a key is missed, white for none.
        QList<int> greens;
        for (int row = 0; row < keys->keyTable()->rowCount(); ++row)
            greens << keys->keyColours().value(keys->keyTable()->item(row, 0)->text()[0]).green();
        QVERIFY(std::is_sorted(greens.cbegin(), greens.cend()));
        if (range == 0)
            QCOMPARE(keys->keyColours().value(u'A'), QColor(Qt::white));
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
            QCOMPARE(a.join(u' '), u"30 25.0% 86"_qs);
        }
        if (!firstRow.isEmpty()) {
            // The keyboard shows them: a key's corner, clear of its letter.
            const QImage drawn = keys->keyboard()->grab().toImage();
            const QChar first = keys->keyTable()->item(0, 0)->text()[0];
            const QPointF corner = keys->keyboard()->keyRect(first).topLeft() + QPointF(4, 4);
            QCOMPARE(drawn.pixelColor((corner * drawn.devicePixelRatio()).toPoint()), keys->keyColours().value(first));
            // A row clicked shows that key's progress.
            QTableWidget *list = kana ? keys->kanaTable() : keys->keyTable();
            const QRect cell = list->visualItemRect(list->item(0, 0));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
            settle(progress);
            const QString chosen = list->item(0, 0)->text();
            QCOMPARE(keys->chosenKey(), chosen);
            QVERIFY2(keys->keyChart()->lblTitle()->text().startsWith(QStringLiteral("「%1」の推移").arg(chosen)),
                     qPrintable(keys->keyChart()->lblTitle()->text()));
            QCOMPARE(keys->keyChart()->area()->currentIndex(), 0);
            QVERIFY(keys->keyChart()->missSeries()->count() > 0);
        }

        progress->tabs()->setCurrentIndex(frmProgress::KeySpeedTab);
        KeySpeedPanel *speeds = progress->keySpeeds();
        speeds->cboRange()->setCurrentIndex(range);
        emit speeds->cboRange()->activated(range);
        settle(progress);
        QCOMPARE(speeds->area()->currentIndex(), 0);
        QCOMPARE(rows(speeds->keyTable()).join(QStringLiteral(" | ")), slowKeys);
        // The slowest key is the deepest orange.
        const QChar slowest = speeds->keyTable()->item(0, 0)->text()[0];
        for (auto it = speeds->keyColours().cbegin(); it != speeds->keyColours().cend(); ++it)
            QVERIFY(it.value().blue() >= speeds->keyColours().value(slowest).blue());
        // A chosen on the keyboard: its typing time game by game, with a trend.
        QTest::mouseClick(speeds->keyboard(), Qt::LeftButton, {},
                          speeds->keyboard()->keyRect(u'A').center().toPoint());
        settle(progress);
        QCOMPARE(speeds->chosenKey(), u"A"_qs);
        QCOMPARE(speeds->keyboard()->highlighted(), u'A');
        KeyProgressChart *chart = speeds->keyChart();
        if (timesOfA.isEmpty()) {
            QCOMPARE(chart->area()->currentWidget(), chart->lblMessage());
            return;
        }
        QCOMPARE(chart->area()->currentIndex(), 0);
        QCOMPARE(chart->timeSeries()->points(), timesOfA);
        QCOMPARE(chart->timeTrend()->count(), 2);
        QCOMPARE(chart->timeTrend()->at(1).y() < chart->timeTrend()->at(0).y(), true); // getting faster
    }

    // Kana input names its keys by their kana: each is coloured on the key
    // printed with it, the keyboard showing the kana.
    void kanaKeysAreColouredOnTheirKeys()
    {
        WeakKeysPanel panel;
        panel.showTallies({{u"か"_qs, {10, 10, 0}}, {u"ゃ"_qs, {10, 0, 0}}, {u"゛"_qs, {10, 1, 0}}}, {}, true, true);
        QVERIFY(panel.keyboard()->kanaLegends());
        QCOMPARE(panel.keyColours().value(u'T'), WeakKeysPanel::colourOf({10, 10, 0}));
        QCOMPARE(panel.keyColours().value(u'7'), QColor(Qt::white));
        QCOMPARE(panel.keyColours().value(u'@'), WeakKeysPanel::colourOf({10, 1, 0}));
        panel.showTallies({{u"T"_qs, {10, 10, 0}}}, {}, true);
        QVERIFY(!panel.keyboard()->kanaLegends());
    }

    // Kana-input games have a lesson of kana keys, kept apart from kana
    // mode's letters; a small kana counts for the key its Shift is on.
    void lessonOfKanaKeysBesideTheirGames()
    {
        ProgramFolder folder;
        const QString path = folder.file("Kolrin.db");
        {
            GameDatabase db(path, false);
            GameRecord game;
            game.kanaMode = game.kanaInput = true;
            game.player = u"p"_qs;
            game.keyStats = {{u"゛"_qs, {20, 0, 4000}}, {u"あ"_qs, {12, 0, 2400}}, {u"ぁ"_qs, {8, 2, 1600}}};
            QVERIFY(db.add(game, QDateTime()).written);
            QVERIFY(LessonRecords(db).keep(true, u"p"_qs, u"はましのとりちれ゛あ"_qs, QDateTime::currentDateTime(), true));
        }
        LessonProgressView view;
        view.load(path, true, u"p"_qs, true);
        QTRY_VERIFY(!view.isLoading());
        QVERIFY(!view.isHidden());
        QCOMPARE(view.heading()->text(), u"キーを順に覚える: キー 10/48　できたキー 1　次のキー: い"_qs);
        QCOMPARE(view.table()->item(0, 0)->text() + view.table()->item(0, 1)->text(), u"あ20"_qs);
        view.load(path, true, u"p"_qs, false);
        QTRY_VERIFY(!view.isLoading());
        QVERIFY(view.isHidden());
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

    void progressTabsSayWhyTheyShowNothing_data()
    {
        QTest::addColumn<QString>("database"); // none, other mode, garbage, folder
        QTest::addColumn<QString>("message");
        QTest::newRow("no database yet") << "none" << "まだ記録がありません。";
        QTest::newRow("games of the other mode only") << "other mode" << "まだ記録がありません。";
        QTest::newRow("a file that is no database")
            << "garbage" << "読めません\nファイルが壊れているか、データベースではありません。";
        QTest::newRow("a folder in its place") << "folder" << "読めません\n" + TextFile::reason(EISDIR);
    }
    void progressTabsSayWhyTheyShowNothing()
    {
        QFETCH(QString, database);
        QFETCH(QString, message);
        ProgramFolder folder;
        folder.write("Kolrin.cfg", "False\r\nFalse\r\nP\r\n");
        folder.write("Kolrin.dat", "4,\"P\",\"2001/12/02 21:05\"\r\n");
        if (database == "other mode") {
            GameDatabase db(folder.file("Kolrin.db"), false);
            GameRecord game;
            game.kanaMode = true;
            game.player = u"P"_qs;
            QVERIFY(db.add(game, QDateTime()).written);
        } else if (database == "garbage") {
            folder.write("Kolrin.db", QByteArray("this is no database\n").repeated(300));
        } else if (database == "folder") {
            QVERIFY(QDir().mkdir(folder.file("Kolrin.db")));
        }
        Session s(folder);
        s.window->mnuProgress_Click();
        auto *progress = s.window->findChild<frmProgress *>();
        for (int tab : {frmProgress::SpeedTab, frmProgress::KeysTab, frmProgress::KeySpeedTab}) {
            progress->tabs()->setCurrentIndex(tab);
            settle(progress);
        }
        QCOMPARE(progress->speedChart()->lblMessage()->text(), message);
        QCOMPARE(progress->speedChart()->area()->currentWidget(), progress->speedChart()->lblMessage());
        QCOMPARE(progress->weakKeys()->lblMessage()->text(), message);
        QCOMPARE(progress->weakKeys()->area()->currentWidget(), progress->weakKeys()->lblMessage());
        QCOMPARE(progress->keySpeeds()->lblMessage()->text(), message);
        QCOMPARE(QFile::exists(folder.file("Kolrin.db")), database != "none");
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
