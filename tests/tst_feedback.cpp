// The keyboard guide and the sounds, driven by a session's events.
#include "game/feedback.h"
#include "platform/cp932.h"
#include "platform/keyboardview.h"
#include "platform/soundplayer.h"
#include "sessionscript.h"

#include <QMainWindow>
#include <QTest>

namespace {
// Stands in for the sound library: remembers what it was asked to play.
class FakePlayer : public SoundPlayer
{
public:
    using SoundPlayer::SoundPlayer;
    static inline QStringList played;
    void play(SoundEffect effect) override
    {
        played << QStringList{u"click"_qs, u"buzz"_qs, u"chime"_qs, u"fall"_qs, u"unlock"_qs}[int(effect)];
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
        SoundPlayer::useFactory([](QObject *parent) -> SoundPlayer * { return new FakePlayer(parent); });
    }

    void fingerOfEachKey_data()
    {
        QTest::addColumn<int>("finger");
        QTest::addColumn<QString>("keys"); // shifted signs and lower case find their key
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

    // Scripts as tests/sessionscript.h plays them; the word list is KA, or SHI.
    void keyboardAndSoundsFollowTheSession_data()
    {
        QTest::addColumn<bool>("shi");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("highlighted");
        QTest::addColumn<QString>("flashing");
        QTest::addColumn<QString>("marked");
        QTest::addColumn<QString>("sounds");
        QTest::newRow("idle: the prompt's first key") << false << "" << "K" << "" << "" << "";
        QTest::newRow("an accepted key: the next") << false << "'k" << "A" << "" << "" << "click";
        QTest::newRow("a miss: the expected key flashes, the pressed one is marked")
            << false << "'k 'x" << "A" << "A" << "X" << "click buzz";
        QTest::newRow("a shifted sign marks its key") << false << "'!" << "K" << "K" << "1" << "buzz";
        QTest::newRow("a completed prompt chimes; the next prompt's first key")
            << false << "'k 'a" << "K" << "" << "" << "click chime";
        QTest::newRow("other spellings: the key of the spelling started") << true << "flex 'c" << "I" << ""
                                                                          << "" << "click";
        QTest::newRow("paused: no key") << false << "start 'k pause" << "" << "" << "" << "click";
        QTest::newRow("counting: no key") << false << "start 'k pause resume count" << "" << "" << ""
                                          << "click";
        QTest::newRow("after the count: the next key again")
            << false << "start 'k pause resume count*3" << "A" << "" << "" << "click";
        QTest::newRow("kana input: the key of the kana") << false << "kanainput" << "T" << "" << "" << "";
        QTest::newRow("kana input: a miss flashes the kana's key, marks the one pressed")
            << false << "kanainput 'た" << "T" << "T" << "Q" << "buzz";
        QTest::newRow("game over: the falling phrase") << false << "start tick*221" << "K" << "" << ""
                                                      << "fall";
    }
    void keyboardAndSoundsFollowTheSession()
    {
        QFETCH(bool, shi);
        QFETCH(QString, script);
        QFETCH(QString, highlighted);
        QFETCH(QString, flashing);
        QFETCH(QString, marked);
        QFETCH(QString, sounds);
        GameSession session([] { return 1; });
        session.setTable(RomajiTable::parse(
            Cp932::decode(shi ? "\xbc\r\n@\r\nSHI\r\n@\r\n" : "\xb6\r\n@\r\nKA\r\n@\r\n"), nullptr));
        session.setRomajiMode(true);
        QMainWindow window;
        window.setCentralWidget(new QWidget);
        Feedback feedback(session, window);
        Options options;
        options.keyboard = options.sound = true;
        feedback.apply(options);
        FakePlayer::played.clear();
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
        QElapsedTimer clock;
        clock.start();
        keyboard.flashMiss(u'K', u'x');
        QCOMPARE(keyboard.markedKey(), QChar(u'X'));
        QTRY_VERIFY_WITH_TIMEOUT(keyboard.flashingKey().isNull() && keyboard.markedKey().isNull(), 2000);
        QVERIFY2(clock.elapsed() >= 290, qPrintable(QString::number(clock.elapsed())));
    }

    // A key is filled with its finger's tint, or with a colour given in its
    // place (keys given none are plain); the highlight goes over either,
    // inside a ring of the finger's tint; an outline goes round the edge. A
    // lesson greys the letters not come yet and dots the newest.
    void keysAreFilledAsAsked()
    {
        KeyboardView keyboard;
        const auto pixel = [&keyboard](QChar key, int x, int y) {
            return keyboard.grab().toImage().pixelColor(keyboard.keyRect(key).topLeft().toPoint() + QPoint(x, y));
        };
        const auto fill = [&pixel](QChar key) { return pixel(key, 4, 4); };
        QCOMPARE(fill(u'A'), KeyboardView::tintOf(Finger::LeftLittle));
        keyboard.setKeyColours({{u'A', QColor(192, 0, 0)}});
        QCOMPARE(fill(u'A'), QColor(192, 0, 0));
        QCOMPARE(fill(u'J'), QColor(250, 250, 250));
        keyboard.setHighlighted(u'A');
        QCOMPARE(fill(u'A'), QColor(25, 85, 200));
        keyboard.setKeyColours({});
        keyboard.setLessonKeys(u"FJDKSLAO"_qs, u'O');
        QCOMPARE(fill(u'Q'), QColor(200, 200, 200));
        QCOMPARE(fill(u'1'), KeyboardView::tintOf(Finger::LeftLittle));
        QCOMPARE(fill(u'J'), KeyboardView::tintOf(Finger::RightIndex));
        QCOMPARE(fill(u'A'), QColor(25, 85, 200));
        const QPointF dot = keyboard.keyRect(u'O').topRight() + QPointF(-5.5, 5.5);
        QCOMPARE(keyboard.grab().toImage().pixelColor(dot.toPoint()), QColor(230, 140, 0));
        keyboard.setLessonKeys({}, {});
        QCOMPARE(fill(u'Q'), KeyboardView::tintOf(Finger::LeftLittle));
        keyboard.setKeyColours({{u'A', QColor(192, 0, 0)}});
        // The digits' edges fall on whole pixels.
        keyboard.setHighlighted(u'1');
        QCOMPARE(pixel(u'1', 6, 12), QColor(25, 85, 200));
        QCOMPARE(pixel(u'1', 2, 12), KeyboardView::tintOf(Finger::LeftLittle));
        QCOMPARE(pixel(u'1', 0, 12), QColor(120, 120, 120));
        keyboard.setOutlined({u'!', u'3'});
        QCOMPARE(pixel(u'1', 0, 12), QColor(225, 110, 0));
        QCOMPARE(pixel(u'1', 3, 12), KeyboardView::tintOf(Finger::LeftLittle));
        QCOMPARE(pixel(u'1', 6, 12), QColor(25, 85, 200));
        QCOMPARE(pixel(u'3', 1, 12), QColor(225, 110, 0));
        QCOMPARE(pixel(u'2', 0, 12), QColor(120, 120, 120));
        QCOMPARE(pixel(u'2', 1, 12), QColor(250, 250, 250));
    }

    // The keys the prompt draw favours now, and only those, are outlined.
    void favouredKeysAreOutlined()
    {
        GameSession session([] { return 1; });
        QMainWindow window;
        window.setCentralWidget(new QWidget);
        Feedback feedback(session, window);
        session.setKeyWeights({{u'K', 3.5}, {u'Q', 1.0}});
        Options options;
        options.keyboard = true;
        feedback.apply(options);
        QCOMPARE(feedback.keyboard()->outlined(), QSet<QChar>{u'K'});
        session.setKeyWeights({{u'A', 10.0}, {u'\'', 2.0}});
        QCOMPARE(feedback.keyboard()->outlined(), (QSet<QChar>{u'A', u'7'}));
        session.setKeyWeights({});
        QVERIFY(feedback.keyboard()->outlined().isEmpty());
    }

    // Kana input: the key is found by its kana, and the Shift key of the other
    // hand lights with a key that needs it.
    void kanaLegendsLightTheKeyAndShift_data()
    {
        QTest::addColumn<QString>("kana");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("shift"); // which Shift lights
        QTest::newRow("plain kana, no Shift") << u"か"_qs << u"T"_qs << u""_qs;
        QTest::newRow("the voiced mark") << u"゛"_qs << u"@"_qs << u""_qs;
        QTest::newRow("left-hand small kana: right Shift") << u"ぁ"_qs << u"3"_qs << u"right"_qs;
        QTest::newRow("right-hand small kana: left Shift") << u"ょ"_qs << u"9"_qs << u"left"_qs;
        QTest::newRow("a sign") << u"」"_qs << u"]"_qs << u"left"_qs;
    }
    void kanaLegendsLightTheKeyAndShift()
    {
        QFETCH(QString, kana);
        QFETCH(QString, key);
        QFETCH(QString, shift);
        KeyboardView keyboard;
        const QImage latin = keyboard.grab().toImage();
        keyboard.setKanaLegends(true);
        keyboard.setHighlighted(kana[0]);
        QCOMPARE(shown(keyboard.highlighted()), key);
        const QImage image = keyboard.grab().toImage();
        const QRectF lit = keyboard.shiftRect();
        QCOMPARE(lit.isEmpty(), shift.isEmpty());
        if (!lit.isEmpty()) {
            QCOMPARE(lit.center().x() < keyboard.width() / 2, shift == u"left");
            QCOMPARE(image.pixelColor(lit.topLeft().toPoint() + QPoint(4, 4)), QColor(25, 85, 200));
        }
        // The legends are the kana: a key's face is drawn otherwise.
        const QRect face = keyboard.keyRect(u'S').toAlignedRect();
        QVERIFY(latin.copy(face) != image.copy(face));
    }
};

QTEST_MAIN(TestFeedback)
#include "tst_feedback.moc"
