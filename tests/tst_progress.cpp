#include "records/keyprogress.h"
#include "records/keyspeed.h"
#include "records/progress.h"
#include "records/speedprogress.h"

#include <QBuffer>
#include <QtTest>

class TestProgress : public QObject
{
    Q_OBJECT

private slots:
    void summarisesTheChosenGames_data();
    void summarisesTheChosenGames();
    void shortFileKeepsEveryGame_data();
    void shortFileKeepsEveryGame();
    void longFileKeepsFewPointsAndItsExtremes_data();
    void longFileKeepsFewPointsAndItsExtremes();
    void namesPastTheListLimitStillCount();
    void everyoneKeepsTheFirstPlayersApart();
    void speedAndAccuracyOfEachGame_data();
    void speedAndAccuracyOfEachGame();
    void keyProgressOverTime_data();
    void keyProgressOverTime();
    void slowestKeysByTheirTypingTime_data();
    void slowestKeysByTheirTypingTime();
};

namespace {
// Names and dates as CP932 bytes, the way the game writes them.
const QByteArray Yamada("\x8e\x52\x93\x63");
const QByteArray YamadaTaro("\x8e\x52\x93\x63,\x91\xbe\x98\x59");

QByteArray record(int level, const QByteArray &name, const QByteArray &date)
{
    return QByteArray::number(level) + ",\"" + name + "\",\"" + date + "\"\r\n";
}

QByteArray date(int day)
{
    return QStringLiteral("2001/12/%1 21:05").arg(day, 2, 10, QChar(u'0')).toLatin1();
}

// Yamada 5, bob 7, Yamada 9, bob 3, Yamada 9: game n ends on day n.
QByteArrayList twoPlayers()
{
    return {record(5, Yamada, date(1)), record(7, "bob", date(2)), record(9, Yamada, date(3)),
            record(3, "bob", date(4)), record(9, Yamada, date(5))};
}

Progress build(QByteArray bytes, std::optional<QString> player)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    ProgressBuilder builder(player ? std::optional(ProgressBuilder::keyOf(*player)) : std::nullopt);
    builder.addAll(buffer);
    return builder.result();
}

// "typed/missed/ms/first/firstMs/missMs"
KeyTally tallyOf(const QString &text)
{
    const QStringList f = text.split(u'/');
    KeyTally t;
    t.typed = f[0].toLongLong();
    t.missed = f[1].toLongLong();
    t.ms = f[2].toLongLong();
    t.first = f[3].toLongLong();
    t.firstMs = f[4].toLongLong();
    t.missMs = f[5].toLongLong();
    return t;
}

QByteArray levelsFile(const QList<int> &levels)
{
    QByteArray bytes;
    for (int level : levels)
        bytes += record(level, "p", date(1));
    return bytes;
}
}

void TestProgress::summarisesTheChosenGames_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("player"); // null: everyone
    QTest::addColumn<QStringList>("players");
    QTest::addColumn<int>("games");
    QTest::addColumn<int>("best");
    QTest::addColumn<int>("bestGame");
    QTest::addColumn<QString>("bestDate");
    QTest::addColumn<double>("average");
    QTest::addColumn<QString>("firstDate");
    QTest::addColumn<QString>("lastDate");

    const QString yamada = u"山田"_qs;
    const QStringList both{yamada, "bob"};
    const QByteArray two = twoPlayers().join();
    auto d = [](int day) { return QString::fromLatin1(date(day)); };

    QTest::newRow("two players, the first")
        << two << yamada << both << 3 << 9 << 2 << d(3) << 23.0 / 3 << d(1) << d(5);
    QTest::newRow("two players, the second")
        << two << "bob" << both << 2 << 7 << 1 << d(2) << 5.0 << d(2) << d(4);
    QTest::newRow("everyone") << two << QString() << both << 5 << 9 << 3 << d(3) << 6.6 << d(1) << d(5);
    QTest::newRow("a player not in the file") << two << "carol" << both << 0 << 0 << 0 << QString()
                                              << 0.0 << QString() << QString();

    QByteArrayList damaged = twoPlayers();
    damaged.insert(4, "this is no record\r\n");
    damaged.insert(3, QByteArray("\x00\x01\xff\x81\x22\x2c\r\n", 8));
    damaged.insert(2, "x,\"" + Yamada + "\",\"" + date(9) + "\"\r\n");
    damaged.insert(1, "70000,\"" + Yamada + "\",\"" + date(9) + "\"\r\n");
    damaged.insert(0, record(4, Yamada, date(9)).replace("\r\n", ",\"more\"\r\n"));
    damaged.insert(0, "\r\n");
    QTest::newRow("lines that are no record are skipped")
        << damaged.join() << yamada << both << 3 << 9 << 2 << d(3) << 23.0 / 3 << d(1) << d(5);

    QTest::newRow("a name with a comma is one name")
        << record(8, YamadaTaro, date(1)) + record(6, Yamada, date(2)) << u"山田,太郎"_qs
        << QStringList{u"山田,太郎"_qs, yamada} << 1 << 8 << 1 << d(1) << 8.0 << d(1) << d(1);
    const QByteArray longA(100000, 'a');
    const QString shown = QString(ProgressBuilder::MaxShownName - 1, u'a') + u'…';
    QTest::newRow("a name past the list's width is cut there and chosen whole")
        << record(4, longA, date(1)) + record(6, longA.chopped(1) + 'b', date(2))
            + record(8, longA, date(3))
        << QString::fromLatin1(longA) << QStringList{shown, shown} << 2 << 8 << 2 << d(3) << 6.0
        << d(1) << d(3);
    QTest::newRow("empty file") << QByteArray() << yamada << QStringList{} << 0 << 0 << 0
                                << QString() << 0.0 << QString() << QString();
    QTest::newRow("one game") << record(12, "", date(7)) << QString("") << QStringList{""} << 1
                              << 12 << 1 << d(7) << 12.0 << d(7) << d(7);
    QTest::newRow("dates that are no date still count")
        << record(3, "p", "yesterday") + record(6, "p", date(2)) + record(4, "p", "2001/13/40 25:99")
        << "p" << QStringList{"p"} << 3 << 6 << 2 << d(2) << 13.0 / 3 << QString() << QString();

    QByteArray twelve;
    for (int level = 1; level <= 12; ++level)
        twelve += record(level, "p", date(level));
    QTest::newRow("average of the last ten of twelve")
        << twelve << "p" << QStringList{"p"} << 12 << 12 << 12 << d(12) << 7.5 << d(1) << d(12);
}

void TestProgress::summarisesTheChosenGames()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, player);
    QFETCH(QStringList, players);
    QFETCH(int, games);
    QFETCH(int, best);
    QFETCH(int, bestGame);
    QFETCH(QString, bestDate);
    QFETCH(double, average);
    QFETCH(QString, firstDate);
    QFETCH(QString, lastDate);

    const Progress p = build(file, player.isNull() ? std::nullopt : std::optional(player));
    QCOMPARE(p.players, players);
    QCOMPARE(p.games, qint64(games));
    QCOMPARE(int(p.bestLevel), best);
    QCOMPARE(p.bestGame, qint64(bestGame));
    QCOMPARE(p.bestDate, bestDate);
    QCOMPARE(p.recentAverage, average);
    QCOMPARE(p.firstDate, firstDate);
    QCOMPARE(p.lastDate, lastDate);
    QCOMPARE(p.levels.isEmpty(), games == 0);
}

void TestProgress::shortFileKeepsEveryGame_data()
{
    QTest::addColumn<QList<int>>("levels");
    QTest::addColumn<QList<QPointF>>("bestSteps");
    QTest::addColumn<QList<QPointF>>("averages");

    QTest::newRow("rising and falling")
        << QList<int>{3, 5, 4, 8}
        << QList<QPointF>{{1, 3}, {2, 3}, {2, 5}, {4, 5}, {4, 8}}
        << QList<QPointF>{{1, 3}, {2, 4}, {3, 4}, {4, 5}};
    QTest::newRow("first game never beaten") << QList<int>{9, 2, 9}
                                             << QList<QPointF>{{1, 9}, {3, 9}}
                                             << QList<QPointF>{{1, 9}, {2, 5.5}, {3, 20.0 / 3}};
    QTest::newRow("one game") << QList<int>{6} << QList<QPointF>{{1, 6}} << QList<QPointF>{{1, 6}};
    QTest::newRow("below zero") << QList<int>{-4, -2}
                                << QList<QPointF>{{1, -4}, {2, -4}, {2, -2}}
                                << QList<QPointF>{{1, -4}, {2, -3}};
}

void TestProgress::shortFileKeepsEveryGame()
{
    QFETCH(QList<int>, levels);
    QFETCH(QList<QPointF>, bestSteps);
    QFETCH(QList<QPointF>, averages);

    const Progress p = build(levelsFile(levels), std::nullopt);
    QList<QPointF> points;
    for (int n = 1; n <= levels.size(); ++n)
        points << QPointF(n, levels[n - 1]);
    QCOMPARE(p.levels, points);
    QCOMPARE(p.bestSteps, bestSteps);
    QCOMPARE(p.recentAverages, averages);
}

void TestProgress::longFileKeepsFewPointsAndItsExtremes_data()
{
    QTest::addColumn<int>("games");
    QTest::addColumn<bool>("rising");
    QTest::addColumn<bool>("withOthers"); // another player between every two games

    QTest::newRow("just too long for one game a bucket") << ProgressBuilder::MaxBuckets + 1 << false << false;
    QTest::newRow("200,000 games around a spike") << 200000 << false << false;
    QTest::newRow("ever rising") << 150000 << true << false;
    QTest::newRow("numbered among the player's games") << 50000 << false << true;
}

// Levels cycle through 1 to 7 with one dip to -5 at game 7 and one spike of 999
// at the last game but 100, or rise by one every five games.
void TestProgress::longFileKeepsFewPointsAndItsExtremes()
{
    QFETCH(int, games);
    QFETCH(bool, rising);
    QFETCH(bool, withOthers);

    const int spikeAt = games - 100;
    auto levelOf = [&](int n) {
        if (rising)
            return 1 + n / 5;
        return n == spikeAt ? 999 : n == 7 ? -5 : 1 + n % 7;
    };
    QByteArray bytes;
    for (int n = 1; n <= games; ++n) {
        bytes += record(levelOf(n), Yamada, date(1 + n % 28));
        if (withOthers)
            bytes += record(5000, "other", date(1));
    }
    const Progress p = build(bytes, u"山田"_qs);

    QCOMPARE(p.games, qint64(games));
    const int best = rising ? levelOf(games) : 999;
    QCOMPARE(int(p.bestLevel), best);
    QCOMPARE(p.bestGame, qint64(rising ? games - games % 5 : spikeAt));
    QVERIFY(p.levels.size() <= 2 * ProgressBuilder::MaxBuckets);
    QVERIFY(p.recentAverages.size() <= ProgressBuilder::MaxBuckets + 2);
    QVERIFY(p.bestSteps.size() <= 4 * ProgressBuilder::MaxBuckets + 1);
    for (const QList<QPointF> *series : {&p.levels, &p.recentAverages}) {
        QCOMPARE(series->first().x(), 1.0);
        QCOMPARE(series->last().x(), double(games));
        for (qsizetype i = 1; i < series->size(); ++i)
            QVERIFY((*series)[i - 1].x() < (*series)[i].x());
    }
    if (!rising) {
        QVERIFY(p.levels.contains(QPointF(spikeAt, 999)));
        QVERIFY(p.levels.contains(QPointF(7, -5)));
    } else {
        // The average line follows the climb, a level or so behind it.
        for (const QPointF &point : p.recentAverages)
            QVERIFY2(qAbs(point.y() - (1 + point.x() / 5)) < 2, qPrintable(QString::number(point.x())));
    }
    for (qsizetype i = 1; i < p.bestSteps.size(); ++i) {
        QVERIFY(p.bestSteps[i - 1].x() <= p.bestSteps[i].x());
        QVERIFY(p.bestSteps[i - 1].y() <= p.bestSteps[i].y());
    }
    QCOMPARE(p.bestSteps.last(), QPointF(games, best));
}

void TestProgress::namesPastTheListLimitStillCount()
{
    QByteArray bytes;
    for (int n = 1; n <= ProgressBuilder::MaxPlayers + 500; ++n)
        bytes += record(n % 50, "p" + QByteArray::number(n), date(1));
    bytes += record(77, "p1100", date(2));
    const Progress p = build(bytes, QStringLiteral("p1100"));
    QCOMPARE(p.players.size(), ProgressBuilder::MaxPlayers);
    QCOMPARE(p.players.first(), QStringLiteral("p1"));
    QCOMPARE(p.players.last(), QStringLiteral("p%1").arg(ProgressBuilder::MaxPlayers));
    QCOMPARE(p.games, qint64(2));
    QCOMPARE(int(p.bestLevel), 77);
}

// Ten players in turn, player n at level n: the first six each in a series
// of their own, the seventh to the tenth together; one player chosen, none.
void TestProgress::everyoneKeepsTheFirstPlayersApart()
{
    QByteArray bytes;
    for (int round = 0; round < 2; ++round) {
        for (int n = 1; n <= 10; ++n)
            bytes += record(n, "p" + QByteArray::number(n), date(1));
    }
    const Progress everyone = build(bytes, std::nullopt);
    QCOMPARE(everyone.playerLevels.size(), ProgressBuilder::PlayerColours + 1);
    for (int n = 1; n <= 6; ++n)
        QCOMPARE(everyone.playerLevels[n - 1], (QList<QPointF>{{double(n), double(n)}, {n + 10.0, double(n)}}));
    QCOMPARE(everyone.playerLevels[6],
             (QList<QPointF>{{7, 7}, {8, 8}, {9, 9}, {10, 10}, {17, 7}, {18, 8}, {19, 9}, {20, 10}}));
    QVERIFY(build(bytes, ProgressBuilder::keyOf(u"p3")).playerLevels.isEmpty());

    // A long file: together as few points as one player's, the spike kept.
    QByteArray many;
    for (int game = 1; game <= 200000; ++game)
        many += record(game == 150000 ? 999 : 1 + game % 7, "p" + QByteArray::number(game % 10), date(1));
    const Progress long_ = build(many, std::nullopt);
    qsizetype points = 0;
    for (const QList<QPointF> &player : long_.playerLevels)
        points += player.size();
    QVERIFY2(points <= 2 * ProgressBuilder::MaxBuckets, qPrintable(QString::number(points)));
    QVERIFY(points > ProgressBuilder::MaxBuckets / 2);
    QVERIFY(long_.playerLevels[ProgressBuilder::PlayerColours].contains(QPointF(150000, 999))); // p0, the tenth
}

void TestProgress::speedAndAccuracyOfEachGame_data()
{
    QTest::addColumn<QList<QList<int>>>("games"); // keys, misses, played ms
    QTest::addColumn<QList<QPointF>>("speeds");
    QTest::addColumn<QList<QPointF>>("accuracies");
    QTest::addColumn<double>("recentSpeed");
    QTest::addColumn<double>("recentAccuracy");
    QTest::newRow("keys a minute, right keys of all")
        << QList<QList<int>>{{60, 20, 60000}, {90, 10, 30000}} << QList<QPointF>{{1, 60}, {2, 180}}
        << QList<QPointF>{{1, 75}, {2, 90}} << 120.0 << 82.5;
    QTest::newRow("a game without keys has no accuracy")
        << QList<QList<int>>{{30, 0, 60000}, {0, 0, 30000}, {30, 30, 60000}}
        << QList<QPointF>{{1, 30}, {2, 0}, {3, 30}} << QList<QPointF>{{1, 100}, {3, 50}} << 20.0 << 75.0;
    QList<QList<int>> twelve;
    QList<QPointF> rising, perfect;
    for (int n = 1; n <= 12; ++n) {
        twelve << QList<int>{n, 0, 60000};
        rising << QPointF(n, n);
        perfect << QPointF(n, 100);
    }
    QTest::newRow("averages of the last ten") << twelve << rising << perfect << 7.5 << 100.0;
    // Each dot is an item of its own in the chart: 1,024 rising games fall
    // into 256 runs of four, each shown by its slowest and fastest game.
    QList<QList<int>> many;
    QList<QPointF> runs, steady;
    for (int n = 1; n <= 1024; ++n)
        many << QList<int>{n, 0, 60000};
    for (int first = 1; first <= 1024; first += 4) {
        runs << QPointF(first, first) << QPointF(first + 3, first + 3);
        steady << QPointF(first, 100);
    }
    steady << QPointF(1024, 100);
    QTest::newRow("a thousand games as 512 dots") << many << runs << steady << 1019.5 << 100.0;
}

void TestProgress::speedAndAccuracyOfEachGame()
{
    QFETCH(QList<QList<int>>, games);
    QFETCH(QList<QPointF>, speeds);
    QFETCH(QList<QPointF>, accuracies);
    QFETCH(double, recentSpeed);
    QFETCH(double, recentAccuracy);
    SpeedProgressBuilder builder;
    for (const QList<int> &g : games)
        builder.addGame(g[0], g[1], g[2]);
    const SpeedProgress p = builder.result();
    QCOMPARE(p.games, qint64(games.size()));
    QCOMPARE(p.speeds, speeds);
    QCOMPARE(p.accuracies, accuracies);
    QCOMPARE(p.recentSpeed, recentSpeed);
    QCOMPARE(p.recentAccuracy, recentAccuracy);
    if (games.size() <= 256)
        QCOMPARE(p.speedAverages.size(), p.speeds.size());
}

void TestProgress::keyProgressOverTime_data()
{
    QTest::addColumn<QStringList>("games"); // "ended_at figures", oldest first
    QTest::addColumn<int>("counted");
    QTest::addColumn<bool>("byDay");
    QTest::addColumn<QList<QPointF>>("misses");
    QTest::addColumn<QList<QPointF>>("times");
    QTest::addColumn<QList<QPointF>>("missTrend");
    QTest::newRow("each game, without reading time and misses")
        << QStringList{"2026-12-01T10:00:00 9/1/1200/1/500/100", "2026-12-02T10:00:00 10/0/800/0/0/0"} << 2
        << false << QList<QPointF>{{1, 10}, {2, 0}} << QList<QPointF>{{1, 75}, {2, 80}}
        << QList<QPointF>{{1, 10}, {2, 0}};
    QTest::newRow("a key never timed has no time; a game without it does not count")
        << QStringList{"2026-12-01T10:00:00 1/3/900/1/900/0", "2026-12-01T11:00:00 0/0/0/0/0/0",
                       "2026-12-01T12:00:00 20/0/2000/0/0/0", "2026-12-01T13:00:00 20/5/4000/0/0/0"}
        << 3 << false << QList<QPointF>{{1, 75}, {2, 0}, {3, 20}} << QList<QPointF>{{2, 100}, {3, 200}}
        << QList<QPointF>{{1, 355.0 / 6}, {3, 25.0 / 6}};
    QStringList many;
    for (int n = 0; n < 60; ++n)
        many << "2026-12-01T10:00:00 10/0/1000/0/0/0";
    for (int n = 0; n < 41; ++n)
        many << "2026-12-03T10:00:00 5/5/800/0/0/300";
    QTest::newRow("more than a hundred games: a point a day")
        << many << 101 << true << QList<QPointF>{{1, 0}, {2, 50}} << QList<QPointF>{{1, 100}, {2, 100}}
        << QList<QPointF>{{1, 0}, {2, 50}};
    QTest::newRow("one game: no trend") << QStringList{"2026-12-01T10:00:00 4/6/500/0/0/100"} << 1 << false
                                        << QList<QPointF>{{1, 60}} << QList<QPointF>{{1, 100}}
                                        << QList<QPointF>{};
}

void TestProgress::keyProgressOverTime()
{
    QFETCH(QStringList, games);
    QFETCH(int, counted);
    QFETCH(bool, byDay);
    QFETCH(QList<QPointF>, misses);
    QFETCH(QList<QPointF>, times);
    QFETCH(QList<QPointF>, missTrend);
    KeyProgressBuilder builder(u"K"_qs);
    for (const QString &game : games)
        builder.addGame(game.section(u' ', 0, 0), tallyOf(game.section(u' ', 1)));
    const KeyProgress p = builder.result();
    QCOMPARE(p.key, u"K"_qs);
    QCOMPARE(p.games, qint64(counted));
    QCOMPARE(p.byDay, byDay);
    QCOMPARE(p.misses, misses);
    QCOMPARE(p.times, times);
    QCOMPARE(p.missTrend.size(), missTrend.size());
    for (qsizetype i = 0; i < missTrend.size(); ++i) {
        QCOMPARE(p.missTrend[i].x(), missTrend[i].x());
        QVERIFY2(qAbs(p.missTrend[i].y() - missTrend[i].y()) < 1e-9, qPrintable(QString::number(p.missTrend[i].y())));
    }
    QCOMPARE(p.firstDate, games.first().left(10));
    QCOMPARE(p.lastDate, games.last().left(10));
}

void TestProgress::slowestKeysByTheirTypingTime_data()
{
    QTest::addColumn<QStringList>("tallies"); // "key figures"
    QTest::addColumn<QString>("order");
    QTest::addColumn<QString>("times");
    QTest::newRow("slowest first, without the prompts' first keys and the misses")
        << QStringList{"A 11/0/2000/1/1000/0", "B 10/0/1500/0/0/0", "C 10/2/3000/0/0/2000"} << "B A C"
        << "150 100 100";
    QTest::newRow("fewer than ten timed presses: left out")
        << QStringList{"A 10/0/5000/1/0/0", "B 10/0/100/0/0/0"} << "B" << "10";
}

void TestProgress::slowestKeysByTheirTypingTime()
{
    QFETCH(QStringList, tallies);
    QFETCH(QString, order);
    QFETCH(QString, times);
    KeyTallies t;
    for (const QString &key : tallies)
        t.insert(key.section(u' ', 0, 0), tallyOf(key.section(u' ', 1)));
    QStringList keys, ms;
    for (const KeySpeed::Slow &slow : KeySpeed::slowest(t, 10)) {
        keys << slow.key;
        ms << QString::number(slow.tally.typingMs());
    }
    QCOMPARE(keys.join(u' '), order);
    QCOMPARE(ms.join(u' '), times);
}

QTEST_APPLESS_MAIN(TestProgress)
#include "tst_progress.moc"
