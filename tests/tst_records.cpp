// The game-over dialog and the ranking window, on their own and from the game.
#include "game/frmzuvel.h"
#include "records/zuvelm.h"
#include "records/frmbest.h"
#include "records/frmprogress.h"
#include "records/frmreplay.h"
#include "windowtestkit.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScatterSeries>
#include <QValueAxis>
#include <QStackedWidget>

namespace {
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
        for (const QPointF &point : progress->levelSeries()->points())
            best = qMax(best, point.y());
        QVERIFY2(progress->levelAxis()->max() > best, qPrintable(QString::number(progress->levelAxis()->max())));

        QFETCH(QList<int>, gamesEach);
        for (int i = 0; i < gamesEach.size(); ++i) {
            progress->cboPlayer()->setCurrentIndex(i + 1);
            emit progress->cboPlayer()->activated(i + 1);
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
        QCOMPARE(progress->chartArea()->currentWidget(), progress->lblEmpty());

        s.window->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), s.window.get());
        ActivationCounter activations;
        progress->installEventFilter(&activations);
        s.window->mnuStart_Click();
        s.window->mnuProgress_Click(); // already open while a game runs: it only rises
        s.window->timer().stop();
        s.playToTheEnd();
        QVERIFY(progress->lblSummary()->text().startsWith(QStringLiteral("ゲーム数 1 ")));
        QCOMPARE(progress->levelSeries()->count(), 1);

        progress->cboPlayer()->setCurrentIndex(0);
        s.window->mnuRoma()->trigger();
        QCOMPARE(progress->cboPlayer()->currentText(), QStringLiteral("全員"));
        QVERIFY(progress->lblSummary()->text().startsWith(QStringLiteral("ゲーム数 1   最高 4 ")));
        QCOMPARE(activations.count, 0);
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
