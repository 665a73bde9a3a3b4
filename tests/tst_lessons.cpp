// Lessons: the order the letters come in, how a letter stands against the
// rule, and letters unlocked from games played through a session.
#include "game/gamerecorder.h"
#include "game/kana.h"
#include "game/kanakeys.h"
#include "game/lessons.h"
#include "game/lessontracker.h"
#include "game/romajitable.h"
#include "platform/cp932.h"
#include "platform/keyboardlayout.h"
#include "sessionscript.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// One letter's games, newest first, split by blanks; each game
// "typed/missed/ms/first/firstMs/missMs", the last ones 0 when left out.
QList<KeyTallies> gamesOf(QChar letter, const QString &games)
{
    QList<KeyTallies> list;
    for (const QString &game : games.split(u' ', Qt::SkipEmptyParts)) {
        QList<qint64> f;
        for (const QString &n : (game + u"/0/0/0"_qs).split(u'/'))
            f << n.toLongLong();
        list.append({{QString(letter), {f[0], f[1], f[2], f[3], f[4], f[5]}}});
    }
    return list;
}

RomajiTable shippedTable()
{
    return RomajiTable::load(QStringLiteral(KOLRIN_DATA_DIR "/Romaji.tbl"), QString()).table;
}

// Types `prompts` prompts through the session, each key 200 ms after the one
// before it (the first of a prompt after 900 ms); `slow` letters take 600 ms,
// and every eighth of the `missed` letters is missed first.
void type(GameSession &session, int prompts, const QString &slow, const QString &missed)
{
    qint64 now = 1000;
    int misses = 0;
    session.start(now);
    for (int p = 0; p < prompts; ++p) {
        const QString prompt = session.currentRomaji();
        for (qsizetype k = 0; k < prompt.size(); ++k) {
            if (missed.contains(prompt[k]) && ++misses % 8 == 0)
                session.key(u"!", now + 10);
            now += k == 0 ? 900 : slow.contains(prompt[k]) ? 600 : 200;
            session.key(prompt.mid(k, 1).toLower(), now);
        }
    }
}

}

class TestLessons : public QObject
{
    Q_OBJECT

private slots:
    // Recounted from the shipped word list, so that a new list does not leave
    // the order behind unnoticed.
    void orderFollowsTheShippedWordList()
    {
        const RomajiTable table = shippedTable();
        QHash<QChar, int> counts;
        for (int i = 1; i <= table.RomaCount; ++i) {
            if (RomajiTable::isAccepted(table.RomaList[i])) {
                for (QChar c : table.RomaList[i])
                    ++counts[c];
            }
        }
        QString rest = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
        for (QChar c : Lessons::homeRow())
            rest.remove(c);
        std::stable_sort(rest.begin(), rest.end(),
                         [&counts](QChar a, QChar b) { return counts.value(a) > counts.value(b); });
        QCOMPARE(Lessons::homeRow(), u"FJDKSLA"_qs);
        QCOMPARE(Lessons::Order.toString(), Lessons::homeRow() + rest);
    }

    // Every kana key once, the home row under F J D K S L A ; first, the rest
    // by how often the shipped list's kana take them.
    void kanaOrderFollowsTheShippedWordList()
    {
        const RomajiTable table = shippedTable();
        QHash<QChar, int> counts;
        for (int i = 1; i <= table.RomaCount; ++i) {
            if (RomajiTable::isAccepted(table.RomaList[i])) {
                for (QChar c : KanaKeys::strokesOf(HanToZen(table.KanaList[i])))
                    ++counts[Lessons::kanaKeyOf(c)];
            }
        }
        QString home;
        for (QChar key : u"FJDKSLA;"_qs)
            home += KeyboardLayout::kanaOf(key, false);
        QString rest;
        for (const KeyboardLayout::Key &key : KeyboardLayout::keys()) {
            const QChar kana = KeyboardLayout::kanaOf(key.key, false);
            if (!kana.isNull() && !home.contains(kana))
                rest += kana;
        }
        std::sort(rest.begin(), rest.end());
        std::stable_sort(rest.begin(), rest.end(),
                         [&counts](QChar a, QChar b) { return counts.value(a) > counts.value(b); });
        QCOMPARE(Lessons::KanaCourse.homeRow(), home);
        QCOMPARE(Lessons::KanaOrder.toString(), home + rest);
        QCOMPARE(Lessons::KanaCourse.size(), Lessons::KanaKeyCount);
        QVERIFY(Lessons::KanaOrder.indexOf(u'゛') > 0 && Lessons::KanaOrder.indexOf(u'゜') > 0);
    }

    void progressAgainstTheRule_data()
    {
        QTest::addColumn<QString>("games"); // the letter's games, newest first
        QTest::addColumn<int>("attempts");
        QTest::addColumn<double>("missRate");
        QTest::addColumn<double>("typingMs");
        QTest::addColumn<QString>("met"); // attempts, accuracy, speed: + or -
        QTest::newRow("twenty right, fast") << "20/0/4000" << 20 << 0.0 << 200.0 << "+++";
        QTest::newRow("nineteen are too few") << "19/0/3800" << 19 << 0.0 << 200.0 << "-++";
        QTest::newRow("one miss in 31: 3.2%") << "30/1/6000" << 30 << 1.0 / 31 << 200.0 << "+++";
        QTest::newRow("two misses in 32: 6.3%") << "30/2/6000" << 30 << 2.0 / 32 << 200.0 << "+-+";
        QTest::newRow("misses older than the last 30 attempts are forgotten")
            << "30/0/6000 20/10/4000" << 50 << 0.0 << 200.0 << "+++";
        QTest::newRow("the oldest game reached counts by its share")
            << "20/0/4000 20/4/4000" << 40 << 2.0 / 32 << 200.0 << "+-+";
        QTest::newRow("500 ms is fast enough") << "20/0/10000" << 20 << 0.0 << 500.0 << "+++";
        QTest::newRow("510 ms is too slow") << "20/0/10200" << 20 << 0.0 << 510.0 << "++-";
        QTest::newRow("reading time of a prompt's first key left out")
            << "20/0/13000/5/10000" << 20 << 0.0 << 200.0 << "+++";
        QTest::newRow("time spent on misses left out")
            << "20/1/14000/0/0/4000" << 20 << 1.0 / 21 << 500.0 << "+++";
    }
    void progressAgainstTheRule()
    {
        QFETCH(QString, games);
        QFETCH(int, attempts);
        QFETCH(double, missRate);
        QFETCH(double, typingMs);
        QFETCH(QString, met);
        const Lessons::Progress p = Lessons::progressOf(u'E', gamesOf(u'E', games));
        QCOMPARE(p.attempts, attempts);
        QVERIFY2(qAbs(p.missRate - missRate) < 1e-9, qPrintable(QString::number(p.missRate)));
        QVERIFY2(qAbs(p.typingMs - typingMs) < 1e-9, qPrintable(QString::number(p.typingMs)));
        const QString flags = QString(p.enoughAttempts() ? u'+' : u'-') + (p.accurate() ? u'+' : u'-')
                              + (p.fast() ? u'+' : u'-');
        QCOMPARE(flags, met);
        QCOMPARE(p.met(), met == u"+++");
    }

    void kanaEntriesByTheirLetters_data()
    {
        QTest::addColumn<QByteArray>("table"); // empty: the shipped one
        QTest::addColumn<QString>("letters");
        QTest::addColumn<bool>("otherSpellings");
        QTest::addColumn<QString>("entries");
        QTest::newRow("the home row in the shipped list")
            << QByteArray() << "FJDKSLA" << false << "A KA SA DA JA ASA AKA";
        QTest::newRow("other spellings: any of an entry's spellings")
            << QByteArray("\xb1\r\n\xb6\r\n\xbc\r\n\xc1\r\n\xc2\r\n\xbb\r\n@\r\nA\r\nKA\r\nSHI\r\nCHI\r\nTSU\r\nSA\r\n@\r\n")
            << "AKSI" << true << "A KA SHI CHI SA";
        QTest::newRow("fewer than five: one locked letter, then two, a whole group at a time")
            << QByteArray("\xb1\r\n\xb6\r\n\xbc\r\n\xc1\r\n\xc2\r\n\xbb\r\n@\r\nA\r\nKA\r\nSHI\r\nCHI\r\nTSU\r\nSA\r\n@\r\n")
            << "AKSI" << false << "A KA SHI CHI TSU SA";
        QTest::newRow("fewer than five: the fewest locked only")
            << QByteArray("\xb1\r\n\xb6\r\n\xb7\r\n\xca\xde\r\n\xbc\r\n\xb7\xae\r\n@\r\nA\r\nKA\r\nKI\r\nBA\r\nSHI\r\nKYO\r\n@\r\n")
            << "AK" << false << "A KA KI BA KYO";
        QTest::newRow("kana keys: a small kana is typed on its key's Shift")
            << QByteArray("\xca\r\n\xb6\r\n\xca\xde\r\n\xb7\r\n\xb7\xac\r\n\xb1\xb6\r\n@\r\nHA\r\nKA\r\nBA\r\nKI\r\nKYA\r\nAKA\r\n@\r\n")
            << "あはかきや" << false << "HA KA KI KYA AKA";
        QTest::newRow("kana keys: fewer than five: one locked key, then two, a whole group at a time")
            << QByteArray("\xca\r\n\xb6\r\n\xca\xde\r\n\xb7\r\n\xb7\xac\r\n\xb1\xb6\r\n@\r\nHA\r\nKA\r\nBA\r\nKI\r\nKYA\r\nAKA\r\n@\r\n")
            << "は" << false << "HA KA BA KI KYA AKA";
    }
    void kanaEntriesByTheirLetters()
    {
        QFETCH(QByteArray, table);
        QFETCH(QString, letters);
        QFETCH(bool, otherSpellings);
        QFETCH(QString, entries);
        const RomajiTable t = table.isEmpty() ? shippedTable() : RomajiTable::parse(Cp932::decode(table), nullptr);
        // Kana for the keys of kana input.
        const bool kanaKeys = letters[0] > u'Z';
        QStringList drawn;
        for (int i : kanaKeys ? Lessons::kanaKeyEntries(t, letters) : Lessons::kanaEntries(t, letters, otherSpellings))
            drawn << t.RomaList[i];
        QCOMPARE(drawn.join(u' '), entries);
    }

    // Games typed through a session, letters mode, kana mode or kana mode on
    // the kana keys with the shipped list; the lesson starts with the home row.
    void unlocksByTheRule_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("prompts");
        QTest::addColumn<QString>("slow");
        QTest::addColumn<QString>("missed");
        QTest::addColumn<QString>("letters");
        QTest::addColumn<QString>("unlocked"); // as told, one word each time
        QTest::newRow("letters: too few attempts yet") << "letters" << 30 << "" << "" << "FJDKSLA" << "";
        QTest::newRow("letters: every threshold met") << "letters" << 60 << "" << "" << "FJDKSLAO" << "O";
        QTest::newRow("letters: kana input, for kana only, changes nothing")
            << "letters kanainput" << 60 << "" << "" << "FJDKSLAO" << "O";
        QTest::newRow("letters: one letter too slow holds the next back")
            << "letters" << 150 << "D" << "" << "FJDKSLA" << "";
        QTest::newRow("letters: one letter missed too often holds the next back")
            << "letters" << 150 << "" << "K" << "FJDKSLA" << "";
        QTest::newRow("kana: letters the list lacks hold nothing back")
            << "kana" << 200 << "" << "" << "FJDKSLAOI" << "O I";
        QTest::newRow("kana keys: every key mastered brings ゛")
            << "kanainput" << 250 << "" << "" << "はましのとりちれ゛" << "゛";
        QTest::newRow("kana keys: one key missed too often holds ゛ back")
            << "kanainput" << 250 << "" << "ま" << "はましのとりちれ" << "";
    }
    void unlocksByTheRule()
    {
        QFETCH(QString, mode);
        QFETCH(int, prompts);
        QFETCH(QString, slow);
        QFETCH(QString, missed);
        QFETCH(QString, letters);
        QFETCH(QString, unlocked);
        quint64 seed = 0;
        GameSession session([&seed] { return ++seed; });
        session.setTable(shippedTable());
        session.setRomajiMode(!mode.startsWith(u"letters"));
        session.setKanaInput(mode.endsWith(u"kanainput"));
        LessonTracker tracker(session);
        QStringList told;
        connect(&tracker, &LessonTracker::unlocked, this, [&told](const QString &l) { told << l; });
        tracker.await(session.kanaKeyLessons());
        tracker.start({}, {});
        session.begin();
        QCOMPARE(session.lessonLetters(), tracker.course().homeRow());
        type(session, prompts, slow, missed);
        QCOMPARE(tracker.letters(), letters);
        QCOMPARE(session.lessonLetters(), letters);
        QCOMPARE(told.join(u' '), unlocked);
        QCOMPARE(tracker.newest(), letters.size() > tracker.course().homeRowSize ? letters.back() : QChar());
    }

    void startingLetters_data()
    {
        QTest::addColumn<QString>("kept");
        QTest::addColumn<QString>("games"); // one game: each letter 20 times right in 200 ms
        QTest::addColumn<QString>("letters");
        QTest::addColumn<QString>("keep");
        QTest::newRow("a new player: the home row") << "" << "" << "FJDKSLA" << "FJDKSLA";
        QTest::newRow("a player with games: every letter they master, and the next")
            << "" << "FJDKSLAOI" << "FJDKSLAOIU" << "FJDKSLAOIU";
        QTest::newRow("kept letters stay, whatever the games say")
            << "OFJDKSLAIUE" << "FJD" << "FJDKSLAOIUE" << "";
        QTest::newRow("kept letters lacking the home row get it back")
            << "OI" << "" << "FJDKSLAOI" << "";
    }
    void startingLetters()
    {
        QFETCH(QString, kept);
        QFETCH(QString, games);
        QFETCH(QString, letters);
        QFETCH(QString, keep);
        GameSession session([] { return 1; });
        LessonTracker tracker(session);
        QSignalSpy kept2(&tracker, &LessonTracker::keep);
        KeyTallies game;
        for (QChar c : games)
            game.insert(QString(c), {20, 0, 4000});
        tracker.start(kept, {game});
        QCOMPARE(session.lessonLetters(), letters);
        QCOMPARE(kept2.isEmpty() ? QString() : kept2.first().first().toString(), keep);
    }

    // With other spellings, SI for SHI while H has not come; typing it keeps it.
    void aLessonShowsASpellingOfItsLetters()
    {
        GameSession session([] { return 1; });
        session.setTable(RomajiTable::parse(Cp932::decode("\xbc\r\n@\r\nSHI\r\n@\r\n"), nullptr));
        session.setRomajiMode(true);
        session.setFlexibleRomaji(true);
        session.setLessonLetters(u"FJDKSLAOI"_qs);
        session.begin();
        QCOMPARE(session.currentRomaji(), u"SI"_qs);
        session.key(u"s", 0);
        QCOMPARE(session.currentRomaji(), u"SI"_qs);
        session.setLessonLetters({});
        session.NextPrompt();
        QCOMPARE(session.currentRomaji(), u"SHI"_qs);
    }

    // The database tells lesson games apart.
    void lessonGamesAreMarked()
    {
        GameSession session([] { return 1; });
        GameRecorder recorder(session);
        LessonTracker tracker(session);
        QList<bool> marked;
        connect(&session, &GameSession::gameOver, this, [&](const GameSummary &summary) {
            marked << recorder.record(summary, u"p"_qs, QDateTime::currentDateTime()).lesson;
        });
        for (bool on : {true, false}) {
            on ? tracker.start({}, {}) : tracker.stop();
            session.begin();
            playScript(session, u"start tick*221"_qs);
        }
        QCOMPARE(marked, (QList<bool>{true, false}));
    }
};

QTEST_APPLESS_MAIN(TestLessons)
#include "tst_lessons.moc"
