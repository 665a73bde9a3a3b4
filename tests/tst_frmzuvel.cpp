// The main window driven as a player would: Start, keys, ticks, game over.
#include "game/fieldmotion.h"
#include "game/fieldview.h"
#include "game/frmzuvel.h"
#include "platform/keyboardview.h"
#include "platform/soundplayer.h"
#include "records/zuvelm.h"
#include "records/frmreplay.h"
#include "records/gamedatabase.h"
#include "windowtestkit.h"

#include <QAction>
#include <QDate>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStatusBar>

namespace {
const QRgb Green = qRgb(0, 128, 0);
const QRgb Black = qRgb(0, 0, 0);

int countPixels(const QPixmap &pixmap, QRgb colour)
{
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_RGB32);
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
    return n;
}

// How wide the green letters stand.
int greenWidth(const QPixmap &pixmap)
{
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_RGB32);
    int left = image.width(), right = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == (Green & 0xFFFFFF)) {
                left = qMin(left, x);
                right = qMax(right, x);
            }
    return right - left + 1;
}

// Stands in for the sound library: counts the effects asked for.
class CountingPlayer : public SoundPlayer
{
public:
    using SoundPlayer::SoundPlayer;
    static inline QList<SoundEffect> played;
    void play(SoundEffect effect) override { played << effect; }
};

// A game-over answer; `seen` receives the result file as it stood when the
// dialog showed.
void answerGameOver(bool replay, const ProgramFolder *folder = nullptr, const char *file = nullptr,
                    QByteArray *seen = nullptr)
{
    whenModal([=](QWidget *modal) {
        auto *dialog = qobject_cast<frmReplay *>(modal);
        QVERIFY(dialog);
        if (seen)
            *seen = folder->read(file);
        (replay ? dialog->cmdNext() : dialog->cmdEnd())->click();
    });
}
}

class TestFrmZuvel : public QObject
{
    Q_OBJECT

private:
    struct Game
    {
        ProgramFolder folder;
        ZuvelM shared;
        FakeDesktop desktop;
        std::unique_ptr<frmZuvel> window;

        explicit Game(const QByteArray &settings = "False\r\nFalse\r\nTester\r\n",
                      const QByteArray &table = {}, const QByteArray &options = {},
                      const std::function<void(const ProgramFolder &)> &prepare = {})
        {
            if (prepare)
                prepare(folder);
            folder.write("Kolrin.cfg", settings);
            if (!table.isEmpty())
                folder.write("Romaji.tbl", table);
            if (!options.isEmpty())
                folder.write("Kolrin.ini", options);
            window = std::make_unique<frmZuvel>(shared, desktop, folder.path());
            if (window->Form_Load()) {
                window->show();
                window->activateWindow();
                QApplication::setActiveWindow(window.get());
            }
        }
        void typePrompt() { QTest::keyClicks(window->txtType(), window->currentRomaji().toLower()); }
        // Ticks until the game is over, answering End.
        int ticksUntilOver()
        {
            answerGameOver(false);
            int ticks = 0;
            while (window->isPlaying() && ticks < 1000) {
                window->tmrUp_Timer();
                ++ticks;
            }
            return ticks;
        }
    };

private slots:
    void initTestCase() { useDesignFont(); }

    void startUpLeavesTheGameIdle()
    {
        Game g;
        QCOMPARE(g.window->level(), 1);
        QCOMPARE(g.window->fieldTop(), FieldMotion::RestTop);
        QCOMPARE(g.window->picPrint()->y(), 222);
        QVERIFY(!g.window->isPlaying());
        QVERIFY(g.window->cmdStart()->isVisible());
        QCOMPARE(g.window->currentRomaji().size(), 3);
        QVERIFY(g.window->lblKana()->text().isEmpty());
        QCOMPARE(g.window->centralWidget()->size(), QSize(413, 391));
        QTRY_COMPARE(QApplication::focusWidget(), g.window->txtType());
        QVERIFY(countPixels(g.window->picPrint()->image(), Black) > 100);
    }

    // With every option off the window is the one players know, pixel for
    // pixel, and it stays so after options were switched on and off again.
    void everyOptionOffLooksAsBefore_data()
    {
        QTest::addColumn<QStringList>("toggled");
        QTest::newRow("as started") << QStringList();
        const QStringList options{u"ステータスバー(&S)"_qs, u"キーボード(&K)"_qs,
                                  u"ローマ字の別のつづりも受け付ける"_qs, u"ウィンドウを離れたら一時停止"_qs,
                                  u"効果音を鳴らす"_qs, u"苦手なキーを多めに出す"_qs, u"かな入力"_qs,
                                  u"ゲームの後にまとめを表示"_qs, u"キーを順に覚える"_qs};
        for (const QString &option : options)
            QTest::newRow(qPrintable(option)) << QStringList{option};
        QTest::newRow("every option at once") << options;
    }
    void everyOptionOffLooksAsBefore()
    {
        QFETCH(QStringList, toggled);
        Game g("False\r\nTrue\r\nTester\r\n", QByteArray("\xb6\r\n@\r\nKA\r\n@\r\n"));
        QVERIFY(QTest::qWaitForWindowExposed(g.window.get()));
        QList<QAction *> actions;
        for (const QString &text : std::as_const(toggled)) {
            const QList<QAction *> all = g.window->menuBar()->findChildren<QAction *>();
            const auto found = std::find_if(all.begin(), all.end(),
                                            [&text](const QAction *a) { return a->text() == text; });
            QVERIFY2(found != all.end(), qPrintable(text));
            actions << *found;
        }
        for (QAction *action : std::as_const(actions)) {
            action->trigger();
            QVERIFY(action->isChecked());
            // Whatever the option draws is drawn before it goes again.
            g.window->grab();
        }
        for (QAction *action : std::as_const(actions)) {
            action->trigger();
            QVERIFY(!action->isChecked());
        }
        QTRY_VERIFY(!g.window->history().isBusy());
        QCOMPARE(g.window->currentRomaji(), u"KA"_qs);
        // The layout settles as it would before the screen shows the window.
        QCoreApplication::processEvents();
        const QImage shot = g.window->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage before = QImage(QStringLiteral(KOLRIN_TEST_DIR "/reference/window-options-off.png"))
                                  .convertToFormat(QImage::Format_RGB32);
        if (shot != before) {
            shot.save(QStringLiteral("window-options-off.png"));
            QFAIL("the window differs from tests/reference/window-options-off.png; "
                  "what it showed is in window-options-off.png in the test's folder");
        }
    }

    // The tick that reaches the top writes the result, then asks; End leaves the game idle.
    void gameOverWritesTheResultThenAsks()
    {
        Game g;
        g.window->cmdStart_Click();
        g.typePrompt();
        for (int t = 1; t < 111; ++t)
            g.window->tmrUp_Timer();
        QCOMPARE(g.window->picPrint()->y(), 2);
        QByteArray seen;
        answerGameOver(false, &g.folder, "Kolrin.dat", &seen);
        g.window->tmrUp_Timer();
        QCOMPARE(g.shared.FinalLevel, 2);
        QVERIFY(seen.startsWith("2,\"Tester\",\"" + QDate::currentDate().toString("yyyy/MM/dd").toLatin1()));
        QVERIFY(seen.endsWith("\"\r\n"));
        QCOMPARE(seen.count('\n'), 1);
        QVERIFY(!g.window->isPlaying());
        QVERIFY(!g.window->timer().isActive());
        QCOMPARE(g.window->level(), 1);
        QCOMPARE(g.window->picPrint()->y(), 222);
        QVERIFY(g.window->cmdStart()->isVisible());
        // And the game's keys, in the game database beside it.
        QTRY_VERIFY(!g.window->history().isBusy());
        KeyTallies keys = GameDatabase(g.folder.file("Kolrin.db"), true)
                              .tallies(GameDatabase::Stats::Keys, {false, u"Tester"_qs, 1});
        qint64 typed = 0;
        for (const KeyTally &key : std::as_const(keys))
            typed += key.typed;
        QCOMPARE(typed, 3);
    }

    void replayStartsAtOnceWithTheSamePrompt()
    {
        Game g;
        g.window->cmdStart_Click();
        g.typePrompt();
        const QString prompt = g.window->currentRomaji();
        answerGameOver(true);
        while (g.window->fieldTop() > FieldMotion::TopThreshold + 2)
            g.window->tmrUp_Timer();
        g.window->tmrUp_Timer();
        QTRY_COMPARE(g.window->level(), 1);
        QVERIFY(g.window->isPlaying());
        QVERIFY(g.shared.ReplayRequested);
        QCOMPARE(g.window->currentRomaji(), prompt);
        QCOMPARE(g.window->fieldTop(), FieldMotion::RestTop);
        QVERIFY(!g.window->cmdStart()->isVisible());
        QCOMPARE(g.folder.read("Kolrin.dat").count('\n'), 1);
        g.window->timer().stop();
    }

    void typedPartTurnsGreenAndCompletionRaisesLevel()
    {
        Game g;
        const QString prompt = g.window->currentRomaji();
        QTest::keyClick(g.window->txtType(), prompt[0].toLower().toLatin1());
        QCOMPARE(g.window->charPos(), 2);
        QCOMPARE(g.window->txtType()->text(), prompt.left(1));
        QVERIFY(countPixels(g.window->picPrint()->image(), Green) > 100);
        QVERIFY(countPixels(g.window->picPrint()->image(), Black) > 100);
        g.window->tmrUp_Timer();
        QTest::keyClicks(g.window->txtType(), prompt.mid(1));
        QCOMPARE(g.window->level(), 2);
        QCOMPARE(g.window->charPos(), 1);
        QVERIFY(g.window->txtType()->text().isEmpty());
        QCOMPARE(g.window->fieldTop(), FieldMotion::RestTop);
        QCOMPARE(countPixels(g.window->picPrint()->image(), Green), 0);
        // Typing a whole prompt while idle starts the game; Start stays.
        QVERIFY(g.window->isPlaying());
        QVERIFY(g.window->cmdStart()->isVisible());
        g.window->timer().stop();
    }

    void wrongKeysAreSwallowed_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("backspace") << int(Qt::Key_Backspace);
        QTest::newRow("arrow") << int(Qt::Key_Left);
        QTest::newRow("F12") << int(Qt::Key_F12);
    }
    void wrongKeysAreSwallowed()
    {
        QFETCH(int, key);
        Game g;
        g.window->cmdStart_Click();
        QTest::keyClick(g.window->txtType(), Qt::Key(key));
        QCOMPARE(g.window->charPos(), 1);
        QVERIFY(g.window->txtType()->text().isEmpty());
        QCOMPARE(countPixels(g.window->picPrint()->image(), Green), 0);
        g.window->timer().stop();
    }

    void modeSwitchShowsTheOtherModesPrompt()
    {
        Game g;
        g.window->cmdStart_Click();
        g.typePrompt();
        QTest::keyClick(g.window->txtType(), g.window->currentRomaji()[0].toLatin1());
        g.window->tmrUp_Timer();
        g.window->mnuRoma()->trigger();
        QVERIFY(g.shared.RomajiMode);
        QVERIFY(g.window->mnuRoma()->isChecked());
        QVERIFY(!g.window->lblKana()->text().isEmpty());
        QCOMPARE(g.window->picPrint()->y(), 222);
        QCOMPARE(countPixels(g.window->picPrint()->image(), Green), 0);

        g.window->mnuRoma()->trigger();
        QVERIFY(!g.shared.RomajiMode);
        QVERIFY(g.window->lblKana()->text().isEmpty());
        g.window->timer().stop();
    }

    void gameEndedInKanaModeGoesToItsOwnFile()
    {
        Game g;
        g.window->mnuRoma()->trigger();
        g.window->mnuStart_Click();
        QCOMPARE(g.ticksUntilOver(), 221);
        QTRY_VERIFY(g.folder.has("KolrinR.dat"));
        QVERIFY(!g.folder.has("Kolrin.dat"));
        g.window->mnuRoma()->trigger();
        g.window->mnuStart_Click();
        QCOMPARE(g.ticksUntilOver(), 221);
        QTRY_VERIFY(g.folder.has("Kolrin.dat"));
        QCOMPARE(g.folder.read("KolrinR.dat").count('\n'), 1);
        QCOMPARE(g.folder.read("Kolrin.dat").count('\n'), 1);
    }

    // Kana input: the field shows the kana, a voiced one turns green half
    // with its base key, and the game has its own result file and mode.
    void kanaInputTypesOnTheKanaKeys()
    {
        Game g("False\r\nTrue\r\nTester\r\n", "\xb6\xde\r\n@\r\nGA\r\n@\r\n",
               "[Options]\nKanaInput=true\n");
        QAction *item = nullptr;
        for (QAction *action : g.window->findChildren<QAction *>())
            item = action->text() == u"かな入力" ? action : item;
        QVERIFY(item && item->isChecked());
        QCOMPARE(g.window->picPrint()->printed(), QStringList{u"が"_qs});
        QTest::keyClick(g.window->txtType(), 'g');
        QTest::keyClick(g.window->txtType(), 't', Qt::ControlModifier); // a shortcut, no kana
        QCOMPARE(g.window->charPos(), 1);
        QTest::keyClick(g.window->txtType(), 't'); // か on a JIS keyboard
        QCOMPARE(g.window->charPos(), 2);
        QCOMPARE(g.window->picPrint()->printed(), (QStringList{u"が"_qs, u"か"_qs}));
        QVERIFY(countPixels(g.window->picPrint()->image(), Green) > 100);
        QTest::keyClick(g.window->txtType(), '@');
        QCOMPARE(g.window->level(), 2);
        QCOMPARE(g.ticksUntilOver(), 111);
        QTRY_VERIFY(g.folder.has("KolrinK.dat"));
        QVERIFY(!g.folder.has("KolrinR.dat"));
        QTRY_VERIFY(!g.window->history().isBusy());
        const KeyTallies keys = GameDatabase(g.folder.file("Kolrin.db"), true)
                                    .tallies(GameDatabase::Stats::Keys, {true, u"Tester"_qs, 0, true});
        QCOMPARE(keys.value(u"か"_qs).typed, 1);
        QCOMPARE(keys.value(u"゛"_qs).typed, 1);
        QCOMPARE(keys.value(u"か"_qs).missed, 2);

        item->trigger(); // off: kana prompts in romaji again, in their own file
        QCOMPARE(g.window->picPrint()->printed(), QStringList{u"GA"_qs});
        g.typePrompt();
        QCOMPARE(g.ticksUntilOver(), 111);
        QTRY_VERIFY(g.folder.has("KolrinR.dat"));
        QCOMPARE(g.folder.read("KolrinK.dat").count('\n'), 1);
    }

    void startKeysAndButton()
    {
        Game g;
        QTest::keyClick(g.window.get(), Qt::Key_F2);
        QVERIFY(g.window->isPlaying());
        QVERIFY(g.window->cmdStart()->isVisible());
        g.window->timer().stop();

        Game h;
        QTest::keyClick(h.window->txtType(), Qt::Key_Return);
        QVERIFY(h.window->isPlaying());
        QVERIFY(!h.window->cmdStart()->isVisible());
        QTRY_COMPARE(QApplication::focusWidget(), h.window->txtType());
        // With Start gone, Enter is just a wrong key.
        QTest::keyClick(h.window->txtType(), Qt::Key_Return);
        QCOMPARE(h.window->charPos(), 1);
        h.window->timer().stop();
    }

    void realTimerDrivesTheField()
    {
        Game g;
        QElapsedTimer clock;
        clock.start();
        g.window->mnuStart_Click();
        QTRY_VERIFY_WITH_TIMEOUT(g.window->fieldTop() <= 216, 3000);
        const qint64 elapsed = clock.elapsed();
        const int ticks = 222 - int(g.window->fieldTop());
        g.window->timer().stop();
        // A tick every 150 ms: a timer may fire late on a busy machine, never
        // much early.
        QVERIFY2(elapsed >= ticks * 140,
                 qPrintable(QStringLiteral("%1 ticks in %2 ms").arg(ticks).arg(elapsed)));
    }

    // With the option on, a kana prompt takes the spellings input methods take,
    // and the field follows the one being typed; off, only the table's counts.
    void otherSpellingsWithTheOption_data()
    {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<bool>("flexible");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("shown"); // the field's romaji after the keys
        QTest::addColumn<int>("level");
        QTest::newRow("si completes shi") << QByteArray("\xbc\r\n@\r\nSHI\r\n@\r\n") << true << "si" << "SHI" << 2;
        QTest::newRow("si swallowed with it off") << QByteArray("\xbc\r\n@\r\nSHI\r\n@\r\n") << false << "si" << "SHI" << 1;
        QTest::newRow("guide follows ti") << QByteArray("\xc1\r\n@\r\nCHI\r\n@\r\n") << true << "t" << "TI" << 1;
    }
    void otherSpellingsWithTheOption()
    {
        QFETCH(QByteArray, table);
        QFETCH(bool, flexible);
        QFETCH(QString, keys);
        QFETCH(QString, shown);
        QFETCH(int, level);
        Game g("False\r\nTrue\r\nTester\r\n", table,
               flexible ? QByteArray("[Options]\nFlexibleRomaji=true\n") : QByteArray());
        QCOMPARE(g.window->mnuFlexible()->isChecked(), flexible);
        g.window->cmdStart_Click();
        g.window->tmrUp_Timer();
        QTest::keyClicks(g.window->txtType(), keys);
        QCOMPARE(g.window->currentRomaji(), shown);
        QCOMPARE(int(g.window->level()), level);
        if (level == 1) {
            // Switched in place: the field has not gone back to rest.
            QCOMPARE(g.window->fieldTop(), 221.0f);
            QVERIFY(countPixels(g.window->picPrint()->image(), Green) > 100);
        }
        g.window->timer().stop();
    }

    void pauseFreezesTheGameAndHidesThePrompt()
    {
        Game g("False\r\nTrue\r\nTester\r\n", QByteArray("\xb6\r\n@\r\nKA\r\n@\r\n"));
        QVERIFY(!g.window->mnuPause()->isEnabled());
        g.window->cmdStart_Click();
        for (int t = 0; t < 100; ++t)
            g.window->tmrUp_Timer();
        QTest::keyClick(g.window->txtType(), 'k');
        const int green = greenWidth(g.window->picPrint()->image());
        QVERIFY(green > 30);
        QVERIFY(g.window->mnuPause()->isEnabled());
        QTest::keyClick(g.window->txtType(), Qt::Key_Escape);
        QVERIFY(g.window->isPaused());
        QVERIFY(!g.window->isPlaying());
        QVERIFY(g.window->lblKana()->text().isEmpty());
        QCOMPARE(countPixels(g.window->picPrint()->image(), Green), 0);
        QCOMPARE(g.window->picPrint()->printed(), QStringList({u"一時停止中"_qs, u"Escで再開"_qs}));
        QVERIFY(g.window->picPrint()->inkBounds().height() < 90); // small enough to fit whole
        QTest::keyClicks(g.window->txtType(), "ax");
        QCOMPARE(g.window->charPos(), 2);
        QTest::qWait(500);
        QCOMPARE(g.window->fieldTop(), 122.0f);

        // Esc again counts down on the field; keys still count for nothing.
        QTest::keyClick(g.window->txtType(), Qt::Key_Escape);
        for (const QString count : {u"3"_qs, u"2"_qs, u"1"_qs}) {
            QCOMPARE(g.window->picPrint()->printed(), QStringList(count));
            QVERIFY(!g.window->isPaused() && !g.window->isPlaying());
            QVERIFY(g.window->lblKana()->text().isEmpty());
            QTest::keyClicks(g.window->txtType(), "ax");
            g.window->tmrCount_Timer();
        }
        QCOMPARE(g.window->charPos(), 2);
        QVERIFY(g.window->isPlaying());
        QCOMPARE(g.window->lblKana()->text(), QStringLiteral("か"));
        // The K typed before the pause, no more.
        QVERIFY(qAbs(greenWidth(g.window->picPrint()->image()) - green) <= 2);
        QCOMPARE(g.window->fieldTop(), 122.0f);
        g.window->timer().stop();
    }

    void whatEndsAPause_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("F2") << "F2";
        QTest::newRow("mode switch") << "mode";
        QTest::newRow("menu item") << "menu";
    }
    void whatEndsAPause()
    {
        QFETCH(QString, how);
        Game g;
        g.window->mnuStart_Click();
        g.window->mnuPause()->trigger();
        QVERIFY(g.window->isPaused());
        if (how == u"F2")
            QTest::keyClick(g.window.get(), Qt::Key_F2);
        else if (how == u"mode")
            g.window->mnuRoma()->trigger();
        else
            g.window->mnuPause()->trigger();
        QVERIFY(!g.window->isPaused());
        // A mode switch goes on at once; the others count down first.
        for (int step = 0; step < 3 && how != u"mode"; ++step) {
            QVERIFY(g.window->session().isCounting());
            g.window->tmrCount_Timer();
        }
        QVERIFY(g.window->isPlaying());
        QVERIFY(!g.window->lblKana()->text().isEmpty() || !g.shared.RomajiMode);
        g.window->timer().stop();
    }

    void leavingTheWindowPausesWithTheOption_data()
    {
        QTest::addColumn<QByteArray>("options");
        QTest::addColumn<bool>("pauses");
        QTest::newRow("option on") << QByteArray("[Options]\nPauseWhenInactive=true\n") << true;
        QTest::newRow("option off") << QByteArray() << false;
    }
    void leavingTheWindowPausesWithTheOption()
    {
        QFETCH(QByteArray, options);
        QFETCH(bool, pauses);
        Game g("False\r\nFalse\r\nTester\r\n", {}, options);
        QCOMPARE(g.window->mnuPauseInactive()->isChecked(), pauses);
        g.window->mnuStart_Click();
        QWidget other;
        other.show();
        QApplication::setActiveWindow(&other);
        QTRY_COMPARE(g.window->isPaused(), pauses);
        QCOMPARE(g.window->isPlaying(), !pauses);
        // Coming back does not resume: the player does, with Esc.
        QApplication::setActiveWindow(g.window.get());
        QTest::qWait(50);
        QCOMPARE(g.window->isPaused(), pauses);
        g.window->timer().stop();
    }

    // The player's misses of Q in the database, and prompts drawn in the window.
    // Misses another program writes while the game runs count from the next game.
    void weakKeysComeMoreOftenWithTheOption_data()
    {
        QTest::addColumn<QByteArray>("options");
        QTest::addColumn<QString>("player");
        QTest::addColumn<bool>("afterAGame"); // the misses written once the window is up, then a game
        QTest::addColumn<double>("share");    // of Q among the letters drawn
        QTest::newRow("option on") << QByteArray("[Options]\nFocusWeakKeys=true\n") << "Tester" << false << 10.0 / 35;
        QTest::newRow("option off") << QByteArray() << "Tester" << false << 1.0 / 26;
        QTest::newRow("another player's misses") << QByteArray("[Options]\nFocusWeakKeys=true\n") << "Other"
                                                << false << 1.0 / 26;
        QTest::newRow("misses written during a game, after it")
            << QByteArray("[Options]\nFocusWeakKeys=true\n") << "Tester" << true << 10.0 / 35;
    }
    void weakKeysComeMoreOftenWithTheOption()
    {
        QFETCH(QByteArray, options);
        QFETCH(QString, player);
        QFETCH(bool, afterAGame);
        QFETCH(double, share);
        const std::function<void(const ProgramFolder &)> addMisses = [&player](const ProgramFolder &folder) {
            GameRecord game;
            game.player = player;
            game.keyStats = {{u"Q"_qs, {20, 20, 0}}, {u"A"_qs, {20, 0, 0}}};
            GameDatabase(folder.file("Kolrin.db"), false).add(game, QDateTime());
        };
        Game g("False\r\nFalse\r\nTester\r\n", {}, options, afterAGame ? decltype(addMisses)() : addMisses);
        QTRY_VERIFY(!g.window->history().isBusy());
        if (afterAGame) {
            addMisses(g.folder);
            g.window->cmdStart_Click();
            QCOMPARE(g.ticksUntilOver(), FieldMotion::ticksToTop(1));
            QTRY_VERIFY(!g.window->history().isBusy());
        }
        QTest::qWait(20);
        int q = 0;
        for (int n = 0; n < 3000; ++n) {
            g.window->session().NextPrompt();
            q += int(g.window->currentRomaji().count(u'Q'));
        }
        QVERIFY2(qAbs(q / 9000.0 - share) < 0.02, qPrintable(QString::number(q / 9000.0)));
    }

    // With the option, the dialog reports each game below the rating; the
    // second is compared with the first, read back from the database. The
    // lines as patterns; %1 is the first key of the prompt, %2 the key pressed
    // instead.
    void gameOverReportsTheGameWithTheOption_data()
    {
        QTest::addColumn<QByteArray>("options");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::newRow("option on") << QByteArray("[Options]\nGameSummary=true\n")
                                   << "速さ \\d+ 打/分\n正確さ 60\\.0%\n\nミス %1→%2 2回\n遅いキー .+"
                                   << "速さ \\d+ 打/分 (▲|▼|±)\\d+\n正確さ 100\\.0% ▲40\\.0\n"
                                      "▲▼ 最近1ゲームの平均との差\nミス なし\n遅いキー .+";
        QTest::newRow("option off") << QByteArray() << "" << "";
    }
    void gameOverReportsTheGameWithTheOption()
    {
        QFETCH(QByteArray, options);
        QFETCH(QString, first);
        QFETCH(QString, second);
        Game g("False\r\nFalse\r\nTester\r\n", {}, options);
        const auto play = [&g](int misses, const QString &expected) {
            g.window->cmdStart_Click();
            const QChar key = g.window->currentRomaji()[0];
            const char wrong = key == u'Q' ? 'z' : 'q';
            for (int n = 0; n < misses; ++n)
                QTest::keyClick(g.window->txtType(), wrong);
            g.typePrompt();
            const QString lines = expected.contains(u"%1")
                                      ? expected.arg(key).arg(QChar(wrong).toUpper())
                                      : expected;
            whenModal([&g, lines](QWidget *modal) {
                auto *dialog = qobject_cast<frmReplay *>(modal);
                const auto shown = [dialog] {
                    QStringList texts;
                    for (const QLabel *line : dialog->reportLines())
                        texts << line->text();
                    return texts.join(u'\n');
                };
                const QRegularExpression pattern(QRegularExpression::anchoredPattern(lines));
                QTRY_VERIFY2(pattern.match(shown()).hasMatch(), qPrintable(shown()));
                QCOMPARE(dialog->height() > 117, !lines.isEmpty());
                dialog->cmdEnd()->click();
            });
            for (int n = 0; n < 1000 && g.window->isPlaying(); ++n)
                g.window->tmrUp_Timer();
            QTRY_VERIFY(!g.window->history().isBusy());
        };
        play(2, first);
        play(0, second);
    }

    // With the option, prompts use the letters come so far and the keyboard
    // greys the others; a letter mastered mid-game comes without stopping the
    // game, is told on the field for about two seconds, and is still there
    // after a restart.
    void lessonsBringTheLettersInOneAtATime()
    {
        SoundPlayer::useFactory([](QObject *parent) -> SoundPlayer * { return new CountingPlayer(parent); });
        Game g("False\r\nFalse\r\nTester\r\n", {},
               "[Options]\nLessons=true\nKeyboard=true\nStatusBar=true\nSound=true\n", [](const ProgramFolder &folder) {
                   // Everything but one more A, fast and without a miss.
                   GameRecord game;
                   game.player = u"Tester"_qs;
                   for (QChar c : u"FJDKSL"_qs)
                       game.keyStats.insert(QString(c), {20, 0, 4000});
                   game.keyStats.insert(u"A"_qs, {19, 0, 3800});
                   GameDatabase(folder.file("Kolrin.db"), false).add(game, QDateTime());
                   // On the kana keys, a lesson of its own: all but one more れ.
                   GameRecord kana;
                   kana.player = u"Tester"_qs;
                   kana.kanaMode = kana.kanaInput = true;
                   for (QChar c : u"はましのとりち"_qs)
                       kana.keyStats.insert(QString(c), {20, 0, 4000});
                   kana.keyStats.insert(u"れ"_qs, {19, 0, 3800});
                   GameDatabase(folder.file("Kolrin.db"), false).add(kana, QDateTime());
               });
        QTRY_VERIFY(!g.window->lessons().isLoading());
        QCOMPARE(g.window->lessons().tracker().letters(), u"FJDKSLA"_qs);
        KeyboardView *keyboard = g.window->keyboard();
        const auto fill = [keyboard](QChar key) {
            return keyboard->grab().toImage().pixelColor(keyboard->keyRect(key).topLeft().toPoint() + QPoint(4, 4));
        };
        QCOMPARE(fill(u'O'), QColor(200, 200, 200));
        QVERIFY(!keyboard->isLocked(u'F'));
        auto *status = g.window->findChild<QLabel *>(QStringLiteral("lblStatus"));
        QVERIFY2(status->text().endsWith(u"　キー 7/26"), qPrintable(status->text()));

        g.window->cmdStart_Click();
        CountingPlayer::played.clear();
        QSet<QChar> typed;
        for (int n = 0; n < 30 && g.window->lessons().tracker().letters().size() == 7; ++n) {
            for (QChar c : g.window->currentRomaji())
                typed.insert(c);
            g.typePrompt();
        }
        for (QChar c : typed)
            QVERIFY2(u"FJDKSLA"_qs.contains(c), qPrintable(QString(c)));
        QCOMPARE(g.window->lessons().tracker().letters(), u"FJDKSLAO"_qs);
        QVERIFY(g.window->isPlaying());
        QLabel *message = g.window->lessons().message();
        QVERIFY(message && message->isVisible());
        QCOMPARE(message->text(), u"新しいキー: O"_qs);
        QCOMPARE(message->parentWidget(), g.window->picPrint());
        QVERIFY(!keyboard->isLocked(u'O'));
        QCOMPARE(fill(u'Q'), QColor(200, 200, 200));
        QCOMPARE(keyboard->newestKey(), QChar(u'O'));
        QVERIFY2(status->text().endsWith(u"　キー 8/26"), qPrintable(status->text()));
        QCOMPARE(CountingPlayer::played.count(SoundEffect::Unlock), 1);
        // The field would reach the top at this level before the message goes.
        g.window->timer().stop();
        QElapsedTimer shown;
        shown.start();
        QTRY_VERIFY_WITH_TIMEOUT(!message->isVisible(), 3000);
        QVERIFY2(shown.elapsed() > 1500, qPrintable(QString::number(shown.elapsed())));
        QVERIFY(g.window->isPlaying());

        // Closed mid-game, so no game of O is recorded: the letter comes back
        // from its own row.
        g.window->close();
        g.window.reset();
        frmZuvel again(g.shared, g.desktop, g.folder.path());
        QVERIFY(again.Form_Load());
        QTRY_VERIFY(!again.lessons().isLoading());
        QCOMPARE(again.lessons().tracker().letters(), u"FJDKSLAO"_qs);
        QCOMPARE(again.keyboard()->newestKey(), QChar(u'O'));

        // Kana typed on the kana keys bring in the kana keys, from the home
        // row, in a lesson of their own; ゛ comes once れ is typed once more.
        QAction *kanaInput = nullptr;
        for (QAction *action : again.findChildren<QAction *>())
            kanaInput = action->text() == u"かな入力" ? action : kanaInput;
        QVERIFY(kanaInput);
        again.show();
        again.mnuRoma()->trigger();
        kanaInput->trigger();
        QTRY_VERIFY(!again.lessons().isLoading());
        QCOMPARE(again.lessons().tracker().letters(), u"はましのとりちれ"_qs);
        KeyboardView *kanaKeys = again.keyboard();
        QVERIFY(kanaKeys->kanaLegends());
        const auto pixel = [kanaKeys](QChar key, QPointF at) {
            return kanaKeys->grab().toImage().pixelColor((kanaKeys->keyRect(key).topLeft() + at).toPoint());
        };
        QCOMPARE(pixel(u'@', {4, 4}), QColor(200, 200, 200));
        QVERIFY(!kanaKeys->isLocked(u'F') && !kanaKeys->isLocked(u';'));
        auto *kanaStatus = again.findChild<QLabel *>(QStringLiteral("lblStatus"));
        QVERIFY2(kanaStatus->text().endsWith(u"　キー 8/48"), qPrintable(kanaStatus->text()));
        again.cmdStart_Click();
        for (int n = 0; n < 80 && again.lessons().tracker().letters().size() == 8; ++n) {
            // As a keyboard in kana lock types them.
            for (QChar c : again.currentRomaji()) {
                QVERIFY2(u"はましのとりちれ"_qs.contains(c), qPrintable(again.currentRomaji()));
                QTest::sendKeyEvent(QTest::Click, again.txtType(), Qt::Key_unknown, QString(c), Qt::NoModifier);
            }
        }
        again.timer().stop();
        QCOMPARE(again.lessons().tracker().letters(), u"はましのとりちれ゛"_qs);
        QCOMPARE(again.lessons().message()->text(), u"新しいキー: ゛"_qs);
        QVERIFY(again.lessons().message()->isVisible());
        QCOMPARE(kanaKeys->newestKey(), QChar(u'゛'));
        QCOMPARE(pixel(u'@', {4, 4}), KeyboardView::tintOf(Finger::RightLittle));
        QCOMPARE(pixel(u'@', {kanaKeys->keyRect(u'@').width() - 5.5, 5.5}), QColor(230, 140, 0)); // the newest's dot
        QCOMPARE(pixel(u'Q', {4, 4}), QColor(200, 200, 200));
        QVERIFY2(kanaStatus->text().endsWith(u"　キー 9/48"), qPrintable(kanaStatus->text()));
        // Off, kana mode's letter lesson, a new one; on, the kana keys kept.
        kanaInput->trigger();
        QTRY_COMPARE(again.lessons().tracker().letters(), u"FJDKSLA"_qs);
        QVERIFY(again.keyboard()->isLocked(u'Q'));
        kanaInput->trigger();
        QTRY_COMPARE(again.lessons().tracker().letters(), u"はましのとりちれ゛"_qs);
    }

    // A word list that asks for は alone: once it is mastered, every other
    // key comes with it, and the message of them stays on the field.
    void manyKeysAtOnceStayOnTheField()
    {
        Game g("False\r\nTrue\r\nTester\r\n", "\xca\r\n@\r\nHA\r\n@\r\n",
               "[Options]\nLessons=true\nKanaInput=true\n");
        QTRY_VERIFY(!g.window->lessons().isLoading());
        g.window->cmdStart_Click();
        for (int n = 0; n < 20; ++n)
            QTest::sendKeyEvent(QTest::Click, g.window->txtType(), Qt::Key_unknown, u"は"_qs, Qt::NoModifier);
        g.window->timer().stop();
        QCOMPARE(g.window->lessons().tracker().letters(), Lessons::KanaOrder.toString());
        const QLabel *message = g.window->lessons().message();
        QVERIFY2(message->text().startsWith(u"新しいキー: ゛ あ い"_qs) && message->text().endsWith(u'…'),
                 qPrintable(message->text()));
        QVERIFY(g.window->picPrint()->rect().contains(message->geometry()));
    }

    void statusBarAddsBelowTheClientArea()
    {
        Game g;
        const QSize plain = g.window->size();
        QVERIFY(!g.window->findChild<QStatusBar *>());
        g.window->mnuStatusBar()->trigger();
        QTRY_VERIFY(g.window->height() > plain.height());
        QCOMPARE(g.window->width(), plain.width());
        QCOMPARE(g.window->centralWidget()->size(), QSize(413, 391));
        QCOMPARE(g.window->picPrint()->geometry(), QRect(16, 222, 377, 153));
        auto *status = g.window->findChild<QLabel *>(QStringLiteral("lblStatus"));
        QVERIFY(status);
        QCOMPARE(status->text(), QStringLiteral("Level 1　打鍵 0　ミス 0　正確さ —　速さ — 打/分"));
        g.window->cmdStart_Click();
        QTest::keyClick(g.window->txtType(), g.window->currentRomaji()[0].toLower().toLatin1());
        QTest::keyClick(g.window->txtType(), '1');
        QVERIFY(status->text().startsWith(QStringLiteral("Level 1　打鍵 1　ミス 1　正確さ 50.0%")));
        g.window->mnuStatusBar()->trigger();
        QTRY_COMPARE(g.window->size(), plain);
        QCOMPARE(g.window->centralWidget()->size(), QSize(413, 391));
        g.window->timer().stop();
    }

    // The keyboard sits between the client area, which keeps its size, and
    // the status bar; off again, the window is as small as before.
    void keyboardAddsBelowTheClientArea()
    {
        Game g("False\r\nFalse\r\nTester\r\n", {}, "[Options]\nStatusBar=true\n");
        const QSize plain = g.window->size();
        QVERIFY(!g.window->keyboard());
        g.window->mnuKeyboard()->trigger();
        QTRY_COMPARE(g.window->size(), plain + QSize(0, KeyboardView::ViewHeight));
        QWidget *client = g.window->picPrint()->parentWidget();
        QCOMPARE(client->size(), QSize(413, 391));
        const KeyboardView *keyboard = g.window->keyboard();
        const QRect placed(keyboard->mapTo(g.window.get(), QPoint()), keyboard->size());
        QCOMPARE(placed, QRect(client->mapTo(g.window.get(), QPoint(0, 391)), QSize(413, KeyboardView::ViewHeight)));
        QVERIFY(g.window->statusBar()->y() > placed.bottom());
        QCOMPARE(keyboard->highlighted(), g.window->currentRomaji()[0]);
        QTRY_COMPARE(QApplication::focusWidget(), g.window->txtType());
        g.window->mnuKeyboard()->trigger();
        QTRY_COMPARE(g.window->size(), plain);
    }

    // The count runs on its own, a number each half second.
    void countGoesOnByItself()
    {
        Game g;
        g.window->mnuStart_Click();
        g.window->mnuPause()->trigger();
        QElapsedTimer clock;
        clock.start();
        g.window->mnuPause()->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(g.window->picPrint()->printed(), QStringList(u"2"_qs), 2000);
        QTRY_VERIFY_WITH_TIMEOUT(g.window->isPlaying(), 3000);
        QVERIFY2(clock.elapsed() >= 1450, qPrintable(QString::number(clock.elapsed())));
        g.window->timer().stop();
    }

    void idleGameWakesForNothing()
    {
        struct TimerCount : QObject
        {
            int ticks = 0;
            bool eventFilter(QObject *, QEvent *event) override
            {
                ticks += event->type() == QEvent::Timer;
                return false;
            }
        } count;
        Game g;
        QTRY_COMPARE(QApplication::focusWidget(), g.window->txtType());
        qApp->installEventFilter(&count);
        QTest::qWait(1200);
        qApp->removeEventFilter(&count);
        QCOMPARE(count.ticks, 0);
    }

    void closingDuringAGameSavesSettingsButNoResult()
    {
        Game g;
        g.window->mnuRoma()->trigger();
        g.window->cmdStart_Click();
        g.window->tmrUp_Timer();
        QSignalSpy unloaded(g.window.get(), &frmZuvel::unloaded);
        g.window->close();
        QCOMPARE(unloaded.count(), 1);
        QVERIFY(!g.window->isPlaying());
        QCOMPARE(g.folder.read("Kolrin.cfg"), QByteArray("False\r\nTrue\r\nTester\r\n"));
        QVERIFY(!g.folder.has("Kolrin.dat"));
        QVERIFY(!g.folder.has("KolrinR.dat"));
    }
};

QTEST_MAIN(TestFrmZuvel)
#include "tst_frmzuvel.moc"
