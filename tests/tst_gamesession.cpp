// The game's rules without a window: keys, spellings, ticks, pause, mode
// switch and game over, as the session reports them.
#include "game/fieldmotion.h"
#include "game/gamerecorder.h"
#include "game/gamesession.h"
#include "platform/cp932.h"
#include "sessionscript.h"

#include <QTest>

namespace {
const QByteArray KaTable("\xb6\r\n@\r\nKA\r\n@\r\n");
const QByteArray ShiTable("\xbc\r\n@\r\nSHI\r\n@\r\n");
const QByteArray GaTable("\xb6\xde\r\n@\r\nGA\r\n@\r\n"); // ｶﾞ

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
                         .arg(g.otherSpellings ? u" spellings" : u"")
                  + (g.kanaInput ? u" kanainput"_qs : QString());
        });
    }
};

// Seeded alike for every prompt: letters mode always draws DDL, then XWU.
struct SeededSession
{
    quint64 seed = 0;
    GameSession session{[this] { return ++seed; }};
    // Kana mode with a table; letters mode without.
    explicit SeededSession(const QByteArray &table)
    {
        session.setTable(RomajiTable::parse(Cp932::decode(table.isEmpty() ? KaTable : table), nullptr));
        session.setRomajiMode(!table.isEmpty());
        session.begin();
    }
};

// "K 2/1/200": typed, missed and milliseconds of each key, in key order.
QString tallies(const KeyTallies &t)
{
    QStringList words;
    for (auto it = t.cbegin(); it != t.cend(); ++it)
        words << QStringLiteral("%1 %2/%3/%4").arg(it.key()).arg(it->typed).arg(it->missed).arg(it->ms);
    return words.join(u"  ");
}

QString timings(const KeyTallies &t)
{
    QStringList words;
    for (auto it = t.cbegin(); it != t.cend(); ++it)
        words << QStringLiteral("%1 %2/%3/%4").arg(it.key()).arg(it->first).arg(it->firstMs).arg(it->missMs);
    return words.join(u"  ");
}

QString stateOf(const GameSession &s)
{
    return s.isPaused() ? u"paused"_qs : s.isCounting() ? u"counting"_qs : s.isRunning() ? u"running"_qs : u"idle"_qs;
}
}

class TestGameSession : public QObject
{
    Q_OBJECT

private slots:
    // Weights found after start-up draw its prompt again, favouring the weak
    // key; never a prompt partly typed, a game's prompt, or a second time.
    void firstPromptTakesWeightsThatComeLater_data()
    {
        QTest::addColumn<QString>("before"); // what happens before the weights come
        QTest::addColumn<QString>("events");
        QTest::newRow("idle, nothing typed: drawn again") << "" << "[QQQ/0]";
        QTest::newRow("a key of it typed") << "type" << "";
        QTest::newRow("a game under way") << "start" << "";
        QTest::newRow("only once") << "weights" << "";
    }
    void firstPromptTakesWeightsThatComeLater()
    {
        QFETCH(QString, before);
        QFETCH(QString, events);
        SeededSession s({});
        QCOMPARE(s.session.currentRomaji(), u"DDL"_qs);
        const KeyWeights weakQ{{u'Q', 1e9}};
        if (before == "type")
            s.session.key(u"d", 0);
        else if (before == "start")
            s.session.start(0);
        else if (before == "weights")
            s.session.setKeyWeights(weakQ);
        EventLog log(s.session);
        s.session.setKeyWeights(weakQ);
        QCOMPARE(log.words.join(u' '), events);
    }

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
        QTest::newRow("kana input: a voiced kana is its base, then the mark")
            << GaTable << "kanainput 'か '゛" << "[か゛/0] +か +゛! done rest [か゛/0] L2 run" << 2 << 1 << 222.0f
            << "running";
        QTest::newRow("kana input: romaji and the mark first are misses")
            << GaTable << "kanainput start 'g '゛ 'か" << "[か゛/0] run -G/か -゛/か +か" << 1 << 2 << 222.0f
            << "running";
        QTest::newRow("kana input: the prompt under way starts again in kana")
            << GaTable << "start 'g kanainput" << "run +G [か゛/0]" << 1 << 1 << 222.0f << "running";
        QTest::newRow("kana input: other spellings do not count")
            << ShiTable << "flex kanainput 'し tick*111"
            << "[し/0] +し! done rest [し/0] L2 run halt over L2 k0 m0 p0 kanainput" << 2 << 1 << 0.0f << "idle";
        QTest::newRow("kana input means nothing to letters")
            << QByteArray() << "kanainput 1 'か" << "[DDL/0] +D -か/D" << 1 << 2 << 222.0f << "idle";
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

        SeededSession seeded(table);
        GameSession &session = seeded.session;
        EventLog log(session);
        playScript(session, script);
        QCOMPARE(log.words.join(u' '), events);
        QCOMPARE(int(session.level()), level);
        QCOMPARE(session.charPos(), charPos);
        QCOMPARE(session.fieldTop(), top);
        QCOMPARE(stateOf(session), state);
    }

    // What the game database gets from a game: every key expected, typed
    // right or missed, the time to type it, and the same for each kana unit.
    void recordsEveryKeyOfTheGame_data()
    {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("kana");
        QTest::addColumn<QString>("game"); // level, keys, misses, played ms, started at
        // Of each key, then each kana: "K 1/100/50", right presses that began a
        // prompt, their ms (reading the prompt), ms of misses before right presses.
        QTest::addColumn<QString>("timing");
        const auto one = [](const char *kana, const char *romaji) {
            return QByteArray(kana) + "\r\n@\r\n" + romaji + "\r\n@\r\n";
        };
        const QByteArray KyaTable = one("\xb7\xac", "KYA");        // ｷｬ
        const QByteArray NkaTable = one("\xdd\xb6", "NKA");        // ﾝｶ
        const QByteArray TtaTable = one("\xaf\xc0", "TTA");        // ｯﾀ
        const QByteArray OddTable = one("\xb6\xde", "KA");         // ｶﾞ read as KA

        QTest::newRow("letters: right and wrong keys, times from the start")
            << QByteArray() << "start@0 1@100 x@150 2@300 3@600 x@700 1@1000 tick*111@10000"
            << "D 2/1/300  L 1/0/300  X 1/1/400" << "" << "L2 k4 m2 p10000 21:05:20"
            << "D 1/100/50  L 0/0/0  X 1/300/100";
        QTest::newRow("started while idle: that prompt counts, from its first key")
            << KaTable << "'x@0 'k@100 'x@150 'a@400 'k@600 tick*111@10400"
            << "A 1/1/300  K 2/1/200" << "か 1/2/300" << "L2 k3 m2 p10400 21:05:19"
            << "A 0/0/50  K 2/200/0 | か 1/250/50";
        QTest::newRow("started with Start: keys before it do not count")
            << KaTable << "'k@0 'x@50 start@100 'a@300 tick*111@10100"
            << "A 1/0/200" << "か 1/0/200" << "L2 k1 m0 p10000 21:05:20"
            << "A 0/0/0 | か 1/200/0";
        QTest::newRow("a pause is no time to type")
            << KaTable << "start@0 'k@100 pause@200 resume@5000 count*3@5200 'a@5300 tick*111@16000"
            << "A 1/0/200  K 1/0/100" << "か 1/0/300" << "L2 k2 m0 p11000 21:05:14"
            << "A 0/0/0  K 1/100/0 | か 1/300/0";
        QTest::newRow("other spellings: the letters of the one typed")
            << ShiTable << "flex start@0 's@100 'x@200 'i@300 tick*111@10000"
            << "H 0/1/0  I 1/0/200  S 1/0/100" << "し 1/1/300" << "L2 k2 m1 p10000 21:05:20"
            << "H 0/0/0  I 0/0/100  S 1/100/0 | し 1/200/100";
        QTest::newRow("a small kana belongs to the kana before it")
            << KyaTable << "start@0 'k@100 'y@200 'a@300 tick*111@10000"
            << "A 1/0/100  K 1/0/100  Y 1/0/100" << "きゃ 1/0/300" << "L2 k3 m0 p10000 21:05:20"
            << "A 0/0/0  K 1/100/0  Y 0/0/0 | きゃ 1/300/0";
        QTest::newRow("ん before a consonant, a lone N")
            << NkaTable << "start@0 'n@100 'k@300 'x@350 'a@500 tick*111@10000"
            << "A 1/1/200  K 1/0/200  N 1/0/100" << "か 1/1/400  ん 1/0/100" << "L2 k3 m1 p10000 21:05:20"
            << "A 0/0/50  K 0/0/0  N 1/100/0 | か 0/0/50  ん 1/100/0";
        QTest::newRow("っ doubles the consonant after it")
            << TtaTable << "start@0 't@100 't@200 'a@400 tick*111@10000"
            << "A 1/0/200  T 2/0/200" << "た 1/0/300  っ 1/0/100" << "L2 k3 m0 p10000 21:05:20"
            << "A 0/0/0  T 1/100/0 | た 0/0/0  っ 1/100/0";
        QTest::newRow("a word list's own romaji: the whole kana")
            << OddTable << "start@0 'k@100 'a@300 tick*111@10000"
            << "A 1/0/200  K 1/0/100" << "が 1/0/300" << "L2 k2 m0 p10000 21:05:20"
            << "A 0/0/0  K 1/100/0 | が 1/300/0";
        QTest::newRow("kana input: keys by their kana, the mark with its kana")
            << one("\xb6\xde", "GA") << "kanainput start@0 'か@100 'x@150 '゛@300 tick*111@10000"
            << "か 1/0/100  ゛ 1/1/200" << "が 1/1/300" << "L2 k2 m1 p10000 21:05:20"
            << "か 1/100/0  ゛ 0/0/50 | が 1/250/50";
        QTest::newRow("the game ends mid-unit: its time waits for the unit")
            << KaTable << "start@0 'k@100 tick*221@33150"
            << "K 1/0/100" << "" << "L1 k1 m0 p33150 21:04:56"
            << "K 1/100/0";
    }
    void recordsEveryKeyOfTheGame()
    {
        QFETCH(QByteArray, table);
        QFETCH(QString, script);
        QFETCH(QString, keys);
        QFETCH(QString, kana);
        QFETCH(QString, game);
        QFETCH(QString, timing);
        SeededSession seeded(table);
        GameRecorder recorder(seeded.session);
        GameRecord record;
        const QDateTime end(QDate(2001, 12, 2), QTime(21, 5, 30));
        connect(&seeded.session, &GameSession::gameOver, this, [&](const GameSummary &summary) {
            record = recorder.record(summary, u"山田"_qs, end);
        });
        playScript(seeded.session, script);
        QCOMPARE(tallies(record.keyStats), keys);
        QCOMPARE(tallies(record.kanaStats), kana);
        QCOMPARE(QStringLiteral("L%1 k%2 m%3 p%4 %5")
                     .arg(record.level)
                     .arg(record.keys)
                     .arg(record.misses)
                     .arg(record.playedMs)
                     .arg(record.startedAt.section(u'T', 1)),
                 game);
        QCOMPARE(timings(record.keyStats)
                     + (record.kanaStats.isEmpty() ? QString() : QStringLiteral(" | ") + timings(record.kanaStats)),
                 timing);
        QCOMPARE(record.endedAt, u"2001-12-02T21:05:30"_qs);
        QCOMPARE(record.player, u"山田"_qs);
        QCOMPARE(record.kanaMode, !table.isEmpty());
        QCOMPARE(record.kanaInput, script.contains(u"kanainput"));
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
