// The keyboard guide and the sounds, driven by a session's events.
#include "game/feedback.h"
#include "game/frmzuvel.h"
#include "platform/cp932.h"
#include "platform/keyboardview.h"
#include "platform/soundplayer.h"
#include "sessionscript.h"
#include "windowtestkit.h"

#include <QAction>
#include <QLineEdit>
#include <QMainWindow>

namespace {
const QByteArray KaTable("\xb6\r\n@\r\nKA\r\n@\r\n");
const QByteArray ShiTable("\xbc\r\n@\r\nSHI\r\n@\r\n");

// Stands in for the sound library: remembers what it was asked to play.
class FakePlayer : public SoundPlayer
{
public:
    using SoundPlayer::SoundPlayer;
    static inline QStringList played;
    static inline int made = 0;
    void play(SoundEffect effect) override
    {
        static const char *names[] = {"click", "buzz", "chime", "fall"};
        played << QString::fromLatin1(names[int(effect)]);
    }
    static SoundPlayer *create(QObject *parent)
    {
        ++made;
        return new FakePlayer(parent);
    }
};

QString shown(QChar c)
{
    return c.isNull() ? QString() : QString(c);
}
}

class TestFeedback : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useDesignFont();
        SoundPlayer::useFactory(&FakePlayer::create);
    }
    void init()
    {
        FakePlayer::played.clear();
        FakePlayer::made = 0;
    }

    void fingerOfEachKey_data()
    {
        QTest::addColumn<int>("finger");
        QTest::addColumn<QString>("keys");
        QTest::newRow("left little") << int(Finger::LeftLittle) << "1QAZqaz!";
        QTest::newRow("left ring") << int(Finger::LeftRing) << "2WSX\"";
        QTest::newRow("left middle") << int(Finger::LeftMiddle) << "3EDC#";
        QTest::newRow("left index") << int(Finger::LeftIndex) << "45RTFGVB$%";
        QTest::newRow("right index") << int(Finger::RightIndex) << "67YUHJNM&'";
        QTest::newRow("right middle") << int(Finger::RightMiddle) << "8IK,(<";
        QTest::newRow("right ring") << int(Finger::RightRing) << "9OL.)>";
        QTest::newRow("right little") << int(Finger::RightLittle) << u"0-^\u00a5P@[;:]/\\+*?_"_qs;
        QTest::newRow("thumb") << int(Finger::Thumb) << " ";
    }
    void fingerOfEachKey()
    {
        QFETCH(int, finger);
        QFETCH(QString, keys);
        for (QChar key : keys) {
            QVERIFY2(!KeyboardLayout::keyOf(key).isNull(), qPrintable(QString(key)));
            QCOMPARE(int(KeyboardView::fingerOf(key)), finger);
        }
    }

    // Scripts as tests/sessionscript.h plays them.
    void keyboardAndSoundsFollowTheSession_data()
    {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("highlighted");
        QTest::addColumn<QString>("flashing");
        QTest::addColumn<QString>("marked");
        QTest::addColumn<QString>("sounds");

        QTest::newRow("idle: the prompt's first key") << KaTable << "" << "K" << "" << "" << "";
        QTest::newRow("an accepted key: the next") << KaTable << "'k" << "A" << "" << "" << "click";
        QTest::newRow("a miss: the expected key flashes, the pressed one is marked")
            << KaTable << "'k 'x" << "A" << "A" << "X" << "click buzz";
        QTest::newRow("a shifted sign marks its key") << KaTable << "'!" << "K" << "K" << "1" << "buzz";
        QTest::newRow("a completed prompt chimes; the next prompt's first key")
            << KaTable << "'k 'a" << "K" << "" << "" << "click chime";
        QTest::newRow("the table's spelling") << ShiTable << "'s" << "H" << "" << "" << "click";
        QTest::newRow("other spellings: the key of the spelling started")
            << ShiTable << "flex 'c" << "I" << "" << "" << "click";
        QTest::newRow("paused: no key") << KaTable << "start 'k pause" << "" << "" << "" << "click";
        QTest::newRow("keys while paused are not judged") << KaTable << "start pause 'x" << "" << "" << ""
                                                           << "";
        QTest::newRow("counting: no key") << KaTable << "start 'k pause resume count" << "" << "" << ""
                                          << "click";
        QTest::newRow("after the count: the next key again")
            << KaTable << "start 'k pause resume count*3" << "A" << "" << "" << "click";
        QTest::newRow("game over: the falling phrase") << KaTable << "start tick*221" << "K" << "" << ""
                                                      << "fall";
    }
    void keyboardAndSoundsFollowTheSession()
    {
        QFETCH(QByteArray, table);
        QFETCH(QString, script);
        QFETCH(QString, highlighted);
        QFETCH(QString, flashing);
        QFETCH(QString, marked);
        QFETCH(QString, sounds);

        GameSession session([] { return 1; });
        session.setTable(RomajiTable::parse(Cp932::decode(table), nullptr));
        session.setRomajiMode(true);
        QMainWindow window;
        window.setCentralWidget(new QWidget);
        Feedback feedback(session, window);
        feedback.showKeyboard(true);
        feedback.playSounds(true);
        session.begin();
        playScript(session, script);
        const KeyboardView *keyboard = feedback.keyboard();
        QCOMPARE(shown(keyboard->highlighted()), highlighted);
        QCOMPARE(shown(keyboard->flashingKey()), flashing);
        QCOMPARE(shown(keyboard->markedKey()), marked);
        QCOMPARE(FakePlayer::played.join(u' '), sounds);
    }

    void missFlashesForAboutAThirdOfASecond()
    {
        KeyboardView keyboard;
        keyboard.show();
        QElapsedTimer clock;
        clock.start();
        keyboard.flashMiss(u'K', u'x');
        QCOMPARE(keyboard.flashingKey(), QChar(u'K'));
        QCOMPARE(keyboard.markedKey(), QChar(u'X'));
        QTRY_VERIFY_WITH_TIMEOUT(keyboard.flashingKey().isNull(), 2000);
        QVERIFY(keyboard.markedKey().isNull());
        QVERIFY2(clock.elapsed() >= 290, qPrintable(QString::number(clock.elapsed())));
    }

    // A key is filled with its finger's tint, or with a colour given in its
    // place (keys given none are plain), and the highlight goes over either.
    void keysAreFilledAsAsked_data()
    {
        QTest::addColumn<bool>("coloured"); // A given dark red
        QTest::addColumn<QString>("highlighted");
        QTest::addColumn<QColor>("a");
        QTest::addColumn<QColor>("j");
        const QColor red(192, 0, 0);
        const QColor tintA = KeyboardView::tintOf(Finger::LeftLittle);
        const QColor tintJ = KeyboardView::tintOf(Finger::RightIndex);
        QTest::newRow("finger tints") << false << "" << tintA << tintJ;
        QTest::newRow("colours given") << true << "" << red << QColor(250, 250, 250);
        QTest::newRow("highlight over a colour") << true << "A" << QColor(25, 85, 200) << QColor(250, 250, 250);
        QTest::newRow("highlight over a tint") << false << "J" << tintA << QColor(25, 85, 200);
    }
    void keysAreFilledAsAsked()
    {
        QFETCH(bool, coloured);
        QFETCH(QString, highlighted);
        QFETCH(QColor, a);
        QFETCH(QColor, j);
        KeyboardView keyboard;
        if (coloured)
            keyboard.setKeyColours({{u'A', QColor(192, 0, 0)}});
        keyboard.setHighlighted(highlighted.isEmpty() ? QChar() : highlighted[0]);
        const QImage image = keyboard.grab().toImage();
        const auto fill = [&](QChar key) {
            return image.pixelColor(keyboard.keyRect(key).topLeft().toPoint() + QPoint(4, 4));
        };
        QCOMPARE(fill(u'A'), a);
        QCOMPARE(fill(u'J'), j);
    }

    // Nothing is loaded for sounds that are off; the library is asked once.
    void soundPlayerIsMadeOnlyWhenSoundsAreOn_data()
    {
        QTest::addColumn<QByteArray>("options");
        QTest::addColumn<int>("made");
        QTest::addColumn<QString>("sounds");
        QTest::addColumn<QString>("afterTwoSwitches"); // a miss between them, a good key after
        QTest::newRow("off") << QByteArray() << 0 << "" << "buzz";
        QTest::newRow("on") << QByteArray("[Options]\nSound=true\n") << 1 << "buzz" << "buzz click";
    }
    void soundPlayerIsMadeOnlyWhenSoundsAreOn()
    {
        QFETCH(QByteArray, options);
        QFETCH(int, made);
        QFETCH(QString, sounds);
        QFETCH(QString, afterTwoSwitches);
        ProgramFolder folder;
        folder.write("Kolrin.cfg", "False\r\nTrue\r\nT\r\n");
        folder.write("Romaji.tbl", KaTable);
        folder.write("Kolrin.ini", options);
        Session s(folder);
        QVERIFY(s.loaded);
        QCOMPARE(s.window->mnuSound()->isChecked(), made == 1);
        QTest::keyClick(s.window->txtType(), 'x');
        QCOMPARE(FakePlayer::made, made);
        QCOMPARE(FakePlayer::played.join(u' '), sounds);
        // Turned over twice: the player made once is kept.
        s.window->mnuSound()->trigger();
        QTest::keyClick(s.window->txtType(), 'x');
        s.window->mnuSound()->trigger();
        QTest::keyClick(s.window->txtType(), 'k');
        QCOMPARE(FakePlayer::made, 1);
        QCOMPARE(FakePlayer::played.join(u' '), afterTwoSwitches);
    }

    // Each sound short enough not to blur the next key's, ending without a
    // crack; the end-of-game phrase goes down.
    void soundsAreMadeToMeasure_data()
    {
        QTest::addColumn<int>("effect");
        QTest::addColumn<int>("longestMs");
        QTest::newRow("click") << int(SoundEffect::Click) << 20;
        QTest::newRow("buzz") << int(SoundEffect::Buzz) << 200;
        QTest::newRow("chime") << int(SoundEffect::Chime) << 500;
        QTest::newRow("fall") << int(SoundEffect::Fall) << 1000;
    }
    void soundsAreMadeToMeasure()
    {
        QFETCH(int, effect);
        QFETCH(int, longestMs);
        const QByteArray bytes = SoundEffects::samples(SoundEffect(effect));
        const auto *samples = reinterpret_cast<const std::int16_t *>(bytes.constData());
        const qsizetype count = bytes.size() / 2;
        QVERIFY(count > 0);
        QVERIFY(count * 1000 / SoundEffects::SampleRate <= longestMs);
        int peak = 0;
        for (qsizetype i = 0; i < count; ++i)
            peak = qMax(peak, qAbs(int(samples[i])));
        QVERIFY2(peak > 3000 && peak < 32767, qPrintable(QString::number(peak))); // heard, not clipped
        QVERIFY(qAbs(int(samples[count - 1])) < 200);

        if (SoundEffect(effect) != SoundEffect::Fall)
            return;
        // Rising zero crossings in the first and the last tenth of a second.
        const auto crossings = [&](qsizetype from) {
            int n = 0;
            for (qsizetype i = from + 1; i < from + SoundEffects::SampleRate / 10; ++i)
                n += samples[i - 1] < 0 && samples[i] >= 0;
            return n;
        };
        QVERIFY(crossings(0) > crossings(SoundEffects::SampleRate * 45 / 100));
    }
};

QTEST_MAIN(TestFeedback)
#include "tst_feedback.moc"
