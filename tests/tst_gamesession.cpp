// The game's rules without a window: keys, spellings, ticks, pause, mode
// switch and game over, as the session reports them.
#include "game/fieldmotion.h"
#include "game/gamesession.h"
#include "platform/cp932.h"
#include "sessionscript.h"

#include <QTest>

namespace {
const QByteArray KaTable("\xb6\r\n@\r\nKA\r\n@\r\n");
const QByteArray ShiTable("\xbc\r\n@\r\nSHI\r\n@\r\n");

// Every signal as a short word: "+K" accepted, "+A!" completing, "-X/K" missed
// (pressed/expected), "[KA/1]" the prompt drawn with one letter green, "rest"
// the field back down, "L2" the level, "run"/"halt" the climb, "pause"/"resume",
// "#3" the count before the climb goes on, "over L2 k2 m0 p300" the game's end
// with its figures.
class EventLog : public QObject
{
public:
    QStringList words;

    explicit EventLog(GameSession &session)
    {
        connect(&session, &GameSession::promptChanged, this, [this, &session] {
            words << QStringLiteral("[%1/%2]").arg(session.currentRomaji()).arg(session.typedLength());
        });
        connect(&session, &GameSession::fieldMoved, this, [this](float top) {
            if (top == FieldMotion::RestTop)
                words << QStringLiteral("rest");
        });
        connect(&session, &GameSession::keyAccepted, this, [this](const KeyStroke &k) {
            words << u'+' + k.pressed + (k.completes ? u"!"_qs : QString());
        });
        connect(&session, &GameSession::keyMissed, this, [this](const KeyStroke &k) {
            words << u'-' + k.pressed + u'/' + k.expected;
        });
        connect(&session, &GameSession::promptCompleted, this, [this] { words << u"done"_qs; });
        connect(&session, &GameSession::levelChanged, this,
                [this](std::int16_t level) { words << u'L' + QString::number(level); });
        connect(&session, &GameSession::runningChanged, this,
                [this](bool on) { words << (on ? u"run"_qs : u"halt"_qs); });
        connect(&session, &GameSession::pausedChanged, this,
                [this](bool on) { words << (on ? u"pause"_qs : u"resume"_qs); });
        connect(&session, &GameSession::countChanged, this,
                [this](int count) { words << u'#' + QString::number(count); });
        connect(&session, &GameSession::gameOver, this, [this](const GameSummary &g) {
            words << QStringLiteral("over L%1 k%2 m%3 p%4%5")
                         .arg(g.level)
                         .arg(g.keys)
                         .arg(g.misses)
                         .arg(g.playedMs)
                         .arg(g.otherSpellings ? u" spellings" : u"");
        });
    }
};

QString stateOf(const GameSession &s)
{
    return s.isPaused() ? u"paused"_qs : s.isCounting() ? u"counting"_qs : s.isRunning() ? u"running"_qs : u"idle"_qs;
}
}

class TestGameSession : public QObject
{
    Q_OBJECT

private slots:
    // Scripts as tests/sessionscript.h plays them.
    void playsByTheRules_data()
    {
        QTest::addColumn<QByteArray>("table"); // kana mode with it; letters mode without
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("events");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("charPos");
        QTest::addColumn<float>("top");
        QTest::addColumn<QString>("state");

        QTest::newRow("a prompt completed while idle starts the game")
            << KaTable << "'k 'a" << "+K +A! done rest [KA/0] L2 run" << 2 << 1 << 222.0f << "running";
        QTest::newRow("capitals count as lower case")
            << KaTable << "'K 'A" << "+K +A! done rest [KA/0] L2 run" << 2 << 1 << 222.0f << "running";
        QTest::newRow("wrong key swallowed, the expected one named")
            << KaTable << "start 'x 'k 'k" << "run -X/K +K -K/A" << 1 << 2 << 222.0f << "running";
        QTest::newRow("backspace and space are misses")
            << KaTable << "start bs sp" << "run -\b/K - /K" << 1 << 1 << 222.0f << "running";
        QTest::newRow("keys while paused are not judged; the typed part comes back")
            << KaTable << "start 'k pause 'a resume 'a count*3" << "run +K pause halt resume #3 #2 #1 #0 run [KA/1]"
            << 1 << 2 << 222.0f << "running";
        QTest::newRow("a second pause or start changes nothing")
            << KaTable << "start start tick pause pause" << "run pause halt" << 1 << 1 << 221.0f
            << "paused";
        QTest::newRow("start ends a pause after the count") << KaTable << "start pause start count*3"
                                            << "run pause halt resume #3 #2 #1 #0 run [KA/0]" << 1 << 1 << 222.0f
                                            << "running";
        QTest::newRow("the count: no key judged, no climb")
            << KaTable << "start tick pause resume 'k tick count*2 tick" << "run pause halt resume #3 #2 #1" << 1 << 1
            << 221.0f << "counting";
        QTest::newRow("start during the count changes nothing")
            << KaTable << "start pause start start" << "run pause halt resume #3" << 1 << 1 << 222.0f << "counting";
        QTest::newRow("a pause during the count pauses again")
            << KaTable << "start pause resume count pause resume count*3"
            << "run pause halt resume #3 #2 #0 pause resume #3 #2 #1 #0 run [KA/0]" << 1 << 1 << 222.0f << "running";
        QTest::newRow("a switch during the count goes on at once")
            << KaTable << "start pause resume letters" << "run pause halt resume #3 #0 run [KA/0] rest [XWU/0]" << 1
            << 1 << 222.0f << "running";
        QTest::newRow("no pause while idle") << KaTable << "pause tick" << "" << 1 << 1 << 222.0f << "idle";
        QTest::newRow("level 1 ends on tick 221")
            << KaTable << "start@0 tick*220@33000 tick@33150" << "run halt over L1 k0 m0 p33150" << 1 << 1
            << 1.0f << "idle";
        QTest::newRow("level 1 still climbs at tick 220")
            << KaTable << "start tick*220" << "run" << 1 << 1 << 2.0f << "running";
        QTest::newRow("level 2 ends on tick 111")
            << KaTable << "'k@0 'a@100 tick*111@16750" << "+K +A! done rest [KA/0] L2 run halt over L2 k0 m0 p16650"
            << 2 << 1 << 0.0f << "idle";
        QTest::newRow("paused game ends after 221 ticks of play")
            << KaTable << "start@0 tick*100@15000 pause tick*50 resume@60000 count*2@60500 count@61500 tick*121@79650"
            << "run pause halt resume #3 #2 #1 #0 run [KA/0] halt over L1 k0 m0 p33150" << 1 << 1 << 1.0f << "idle";
        QTest::newRow("no tick after the end")
            << KaTable << "start tick*221 tick" << "run halt over L1 k0 m0 p0" << 1 << 1 << 1.0f << "idle";
        QTest::newRow("reset: level 1, same prompt, field at rest")
            << KaTable << "'k 'a 'k tick reset" << "+K +A! done rest [KA/0] L2 run +K rest [KA/0] L1" << 1 << 1
            << 222.0f << "running";
        QTest::newRow("switching to kana draws a kana prompt at rest")
            << QByteArray() << "kana" << "rest [KA/0]" << 1 << 1 << 222.0f << "idle";
        QTest::newRow("a switch drops the typed part, keeps the level and the climb")
            << KaTable << "'k 'a tick 'k letters" << "+K +A! done rest [KA/0] L2 run +K rest [OFP/0]" << 2 << 1
            << 222.0f << "running";
        QTest::newRow("a switch during a pause goes on")
            << KaTable << "start 'k tick pause letters kana"
            << "run +K pause halt resume run [KA/1] rest [XWU/0] rest [KA/0]" << 1 << 1 << 222.0f << "running";
        QTest::newRow("other spellings off: SI is not SHI")
            << ShiTable << "'s 'i" << "+S -I/H" << 1 << 2 << 222.0f << "idle";
        QTest::newRow("other spellings: SI completes SHI, the guide follows")
            << ShiTable << "flex 's 'i" << "+S [SI/1] +I! done rest [SHI/0] L2 run" << 2 << 1 << 222.0f
            << "running";
        QTest::newRow("other spellings: a miss names the letter of the spelling started")
            << ShiTable << "flex 'c 'x" << "[CI/0] +C -X/I" << 1 << 2 << 222.0f << "idle";
        QTest::newRow("other spellings: the game over says so")
            << ShiTable << "flex start tick*221" << "run halt over L1 k0 m0 p0 spellings" << 1 << 1 << 1.0f
            << "idle";
        QTest::newRow("other spellings count in kana mode only")
            << QByteArray() << "flex 1 'x" << "+D -X/D" << 1 << 2 << 222.0f << "idle";
        QTest::newRow("letters: three keys")
            << QByteArray() << "start 1 2 3" << "run +D +D +L! done rest [XWU/0] L2" << 2 << 1 << 222.0f
            << "running";
        QTest::newRow("letters: a wrong letter between")
            << QByteArray() << "start 1 x 2 tick*3" << "run +D -A/D +D" << 1 << 3 << 219.0f << "running";
        QTest::newRow("letters: figures of a game")
            << QByteArray() << "start@0 1 x 2 3 x 1 tick*111@10000"
            << "run +D -A/D +D +L! done rest [XWU/0] L2 -A/X +X halt over L2 k4 m2 p10000" << 2 << 2 << 0.0f
            << "idle";
    }
    void playsByTheRules()
    {
        QFETCH(QByteArray, table);
        QFETCH(QString, script);
        QFETCH(QString, events);
        QFETCH(int, level);
        QFETCH(int, charPos);
        QFETCH(float, top);
        QFETCH(QString, state);

        // Seeded alike for every prompt: letters mode always draws DDL, then XWU.
        quint64 seed = 0;
        GameSession session([&seed] { return ++seed; });
        const QByteArray tableBytes = table.isEmpty() ? KaTable : table;
        session.setTable(RomajiTable::parse(Cp932::decode(tableBytes), nullptr));
        session.setRomajiMode(!table.isEmpty());
        session.begin();
        EventLog log(session);
        playScript(session, script);
        QCOMPARE(log.words.join(u' '), events);
        QCOMPARE(int(session.level()), level);
        QCOMPARE(session.charPos(), charPos);
        QCOMPARE(session.fieldTop(), top);
        QCOMPARE(stateOf(session), state);
    }

    void nextKeyFollowsTheGuide_data()
    {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<bool>("flexible");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("next"); // after each key
        QTest::newRow("table spelling") << ShiTable << false << "shi" << "HIS";
        QTest::newRow("the spelling started") << ShiTable << true << "ci" << "IS";
        QTest::newRow("a miss stays") << KaTable << false << "xka" << "KAK";
    }
    void nextKeyFollowsTheGuide()
    {
        QFETCH(QByteArray, table);
        QFETCH(bool, flexible);
        QFETCH(QString, keys);
        QFETCH(QString, next);
        GameSession session([] { return 1; });
        session.setTable(RomajiTable::parse(Cp932::decode(table), nullptr));
        session.setRomajiMode(true);
        session.setFlexibleRomaji(flexible);
        session.begin();
        QString seen;
        for (QChar key : keys) {
            session.key(QString(key), 0);
            seen += session.nextKey();
        }
        QCOMPARE(seen, next);
        session.start(0);
        session.pause(0);
        QVERIFY(session.nextKey().isNull());
        session.resume();
        QVERIFY(session.nextKey().isNull());
    }
};

QTEST_APPLESS_MAIN(TestGameSession)
#include "tst_gamesession.moc"
