// The main window driven as a player would: Start, keys, ticks, game over.
#include "game/fieldmotion.h"
#include "game/fieldview.h"
#include "game/frmzuvel.h"
#include "game/zuvelm.h"
#include "records/frmreplay.h"
#include "windowtestkit.h"

#include <QAction>
#include <QDate>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

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

        explicit Game(const QByteArray &settings = "False\r\nFalse\r\nTester\r\n")
        {
            folder.write("Kolrin.cfg", settings);
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

    void gameEndsOnTheTickThatReachesTheTop_data()
    {
        QTest::addColumn<int>("promptsBefore");
        QTest::addColumn<int>("ticks");
        QTest::newRow("level 1") << 0 << 221;
        QTest::newRow("level 2") << 1 << 111;
        QTest::newRow("level 5") << 4 << 45;
    }
    void gameEndsOnTheTickThatReachesTheTop()
    {
        QFETCH(int, promptsBefore);
        QFETCH(int, ticks);
        Game g;
        g.window->cmdStart_Click();
        for (int i = 0; i < promptsBefore; ++i)
            g.typePrompt();
        const auto level = std::int16_t(promptsBefore + 1);
        QCOMPARE(g.window->level(), level);
        for (int t = 1; t < ticks; ++t) {
            g.window->tmrUp_Timer();
            QCOMPARE(g.window->fieldTop(), 222.0f - float(t * level));
            QCOMPARE(g.window->picPrint()->y(), 222 - t * level);
        }
        QVERIFY(g.window->isPlaying());
        QByteArray seen;
        answerGameOver(false, &g.folder, "Kolrin.dat", &seen);
        g.window->tmrUp_Timer();
        QVERIFY(!seen.isEmpty()); // the dialog showed within that tick
        QCOMPARE(g.shared.FinalLevel, level);
        QVERIFY(seen.startsWith(QByteArray::number(level) + ",\"Tester\",\""
                                + QDate::currentDate().toString("yyyy/MM/dd").toLatin1()));
        QVERIFY(seen.endsWith("\"\r\n"));
        QCOMPARE(seen.count('\n'), 1);
        QVERIFY(!g.window->isPlaying());
        QCOMPARE(g.window->level(), 1);
        QCOMPARE(g.window->fieldTop(), FieldMotion::RestTop);
        QVERIFY(g.window->cmdStart()->isVisible());
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
        QTest::newRow("space") << int(Qt::Key_Space);
        QTest::newRow("digit") << int(Qt::Key_5);
        QTest::newRow("comma") << int(Qt::Key_Comma);
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

    // Keys by place in the current prompt: "1" its first letter in lower
    // case, "^1" in capitals; "x" a letter it lacks; "bs" and "sp" Backspace
    // and Space.
    void keysTypeThePromptInOrder_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("typed"); // letters of the prompt now in the box
        QTest::addColumn<int>("level");
        QTest::newRow("capitals") << "^1 ^2 ^3" << 0 << 2;
        QTest::newRow("mixed case") << "1 ^2 3" << 0 << 2;
        QTest::newRow("wrong letter between") << "1 x 2" << 2 << 1;
        QTest::newRow("right letter after a wrong one") << "x 1" << 1 << 1;
        QTest::newRow("Backspace and Space keep the typed part") << "1 bs sp 2" << 2 << 1;
        QTest::newRow("wrong letters between two prompts") << "1 x 2 x 3 x 1 x 2 x 3 x" << 0 << 3;
        QTest::newRow("next prompt starts at its first letter") << "1 2 3 1" << 1 << 2;
    }
    void keysTypeThePromptInOrder()
    {
        QFETCH(QString, keys);
        QFETCH(int, typed);
        QFETCH(int, level);
        Game g;
        g.window->cmdStart_Click();
        for (const QString &key : keys.split(u' ')) {
            const QString prompt = g.window->currentRomaji();
            QLineEdit *box = g.window->txtType();
            if (key == u"bs") {
                QTest::keyClick(box, Qt::Key_Backspace);
            } else if (key == u"sp") {
                QTest::keyClick(box, Qt::Key_Space);
            } else if (key == u"x") {
                char lacking = 'a';
                while (prompt.contains(QChar(lacking).toUpper()))
                    ++lacking;
                QTest::keyClick(box, lacking);
            } else {
                const QChar letter = prompt[key.back().digitValue() - 1];
                QTest::keyClick(box, (key[0] == u'^' ? letter : letter.toLower()).toLatin1());
            }
        }
        QCOMPARE(g.window->level(), level);
        QCOMPARE(g.window->txtType()->text(), g.window->currentRomaji().left(typed));
        QCOMPARE(g.window->charPos(), typed + 1);
        g.window->timer().stop();
    }

    void wrongLetterIsSwallowed()
    {
        Game g;
        const QChar first = g.window->currentRomaji()[0];
        const char wrong = first == u'Q' ? 'x' : 'q';
        QTest::keyClick(g.window->txtType(), wrong);
        QCOMPARE(g.window->charPos(), 1);
        QVERIFY(g.window->txtType()->text().isEmpty());
    }

    void modeSwitchDiscardsTypedPartOnly()
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
        QCOMPARE(g.window->charPos(), 1);
        QCOMPARE(g.window->level(), 2);
        QVERIFY(g.window->isPlaying());
        QCOMPARE(g.window->fieldTop(), FieldMotion::RestTop);
        QCOMPARE(countPixels(g.window->picPrint()->image(), Green), 0);

        g.window->mnuRoma()->trigger();
        QVERIFY(!g.shared.RomajiMode);
        QVERIFY(g.window->lblKana()->text().isEmpty());
        QCOMPARE(g.window->currentRomaji().size(), 3);
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

    void levelCountsCompletedPrompts()
    {
        Game g;
        g.window->cmdStart_Click();
        for (int i = 0; i < 40; ++i)
            g.typePrompt();
        QCOMPARE(g.window->level(), 41);
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
