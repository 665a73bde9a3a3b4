// Kolrin.db: its schema, the rows a game leaves, the figures read back, and
// what the weak keys are made of.
#include "records/gamedatabase.h"
#include "records/lessonrecords.h"
#include "records/weakkeys.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

namespace {
// "K 2/1/200" per key, as in the session's tests.
KeyTallies parseTallies(const QString &text)
{
    KeyTallies tallies;
    for (const QString &item : text.split(QStringLiteral("  "), Qt::SkipEmptyParts)) {
        const QStringList figures = item.section(u' ', 1).split(u'/');
        KeyTally tally{figures[0].toLongLong(), figures[1].toLongLong(), figures[2].toLongLong()};
        // "/first/first ms/miss ms" where they matter.
        if (figures.size() == 6) {
            tally.first = figures[3].toLongLong();
            tally.firstMs = figures[4].toLongLong();
            tally.missMs = figures[5].toLongLong();
        }
        tallies.insert(item.section(u' ', 0, 0), tally);
    }
    return tallies;
}

QString format(const KeyTallies &tallies)
{
    QStringList words;
    for (auto it = tallies.cbegin(); it != tallies.cend(); ++it)
    {
        words << QStringLiteral("%1 %2/%3/%4").arg(it.key()).arg(it->typed).arg(it->missed).arg(it->ms);
        if (it->first || it->firstMs || it->missMs)
            words.last() += QStringLiteral("/%1/%2/%3").arg(it->first).arg(it->firstMs).arg(it->missMs);
    }
    return words.join(u"  ");
}

GameRecord game(bool kana, const QString &player, const QString &keys, const QString &kanaStats = {})
{
    GameRecord g;
    g.kanaMode = kana;
    g.player = player;
    g.startedAt = QStringLiteral("2001-12-02T21:05:00");
    g.endedAt = QStringLiteral("2001-12-02T21:05:40");
    g.level = 7;
    g.keyStats = parseTallies(keys);
    g.kanaStats = parseTallies(kanaStats);
    for (const KeyTally &t : std::as_const(g.keyStats)) {
        g.keys += t.typed;
        g.misses += t.missed;
    }
    g.playedMs = 38500;
    g.otherSpellings = kana;
    return g;
}

// The file as another program sees it, through a connection of its own.
class Reader
{
public:
    explicit Reader(const QString &path)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("reader"));
        db.setDatabaseName(path);
        db.open();
    }
    ~Reader() { QSqlDatabase::removeDatabase(QStringLiteral("reader")); }
    // Every row, its columns joined by "|", rows by "; ".
    QString rows(const QString &sql) const
    {
        QSqlQuery query(QSqlDatabase::database(QStringLiteral("reader")));
        if (!query.exec(sql))
            return query.lastError().text();
        QStringList rows;
        while (query.next()) {
            QStringList columns;
            for (int i = 0; i < query.record().count(); ++i)
                columns << query.value(i).toString();
            rows << columns.join(u'|');
        }
        return rows.join(u"; ");
    }
};
}

class TestGameDatabase : public QObject
{
    Q_OBJECT

private slots:
    void keepsTheDocumentedSchema_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("columns"); // name|type|not null|primary key part
        QTest::addColumn<QString>("references");
        const QString timing = u"; first|INTEGER|1|0; first_ms|INTEGER|1|0; miss_ms|INTEGER|1|0"_qs;
        QTest::newRow("games") << "games"
                               << "id|INTEGER|0|1; mode|TEXT|1|0; player|TEXT|1|0; started_at|TEXT|1|0; "
                                  "ended_at|TEXT|1|0; level|INTEGER|1|0; keys|INTEGER|1|0; "
                                  "misses|INTEGER|1|0; played_ms|INTEGER|1|0; other_spellings|INTEGER|1|0; "
                                  "uid|TEXT|1|0; lesson|INTEGER|1|0"
                               << "";
        QTest::newRow("key_stats") << "key_stats"
                                   << "game_id|INTEGER|1|1; key|TEXT|1|2; typed|INTEGER|1|0; "
                                      "missed|INTEGER|1|0; ms|INTEGER|1|0" + timing
                                   << "games|game_id|id";
        QTest::newRow("kana_stats") << "kana_stats"
                                    << "game_id|INTEGER|1|1; kana|TEXT|1|2; typed|INTEGER|1|0; "
                                       "missed|INTEGER|1|0; ms|INTEGER|1|0" + timing
                                    << "games|game_id|id";
        QTest::newRow("lesson_keys") << "lesson_keys"
                                     << "mode|TEXT|1|1; player|TEXT|1|2; key|TEXT|1|3; unlocked_at|TEXT|1|0"
                                     << "";
        QTest::newRow("class_sent") << "class_sent" << "game_id|INTEGER|0|1; sent_at|TEXT|1|0"
                                    << "games|game_id|id";
    }
    void keepsTheDocumentedSchema()
    {
        QFETCH(QString, table);
        QFETCH(QString, columns);
        QFETCH(QString, references);
        QTemporaryDir dir;
        const QString path = dir.filePath(GameDatabase::fileName());
        {
            GameDatabase db(path, false);
            const GameDatabase::Outcome outcome = db.add(game(false, u"p"_qs, u"A 1/0/100"_qs), QDateTime());
            QVERIFY2(outcome.written, qPrintable(outcome.message));
        }
        Reader reader(path);
        QCOMPARE(reader.rows(u"PRAGMA user_version"_qs), u"2"_qs);
        QCOMPARE(reader.rows(u"SELECT name, type, \"notnull\", pk FROM pragma_table_info('%1')"_qs.arg(table)),
                 columns);
        QCOMPARE(reader.rows(u"SELECT name FROM pragma_index_list('games') WHERE origin = 'c'"_qs),
                 u"games_mode_player"_qs);
        QCOMPARE(reader.rows(u"SELECT name FROM pragma_index_info('games_mode_player')"_qs),
                 u"mode; player; id; keys; misses; played_ms"_qs);
        QCOMPARE(reader.rows(u"SELECT \"table\", \"from\", \"to\" FROM pragma_foreign_key_list('%1')"_qs.arg(table)),
                 references);
    }

    // A file of the first version, as that version made it, with two games
    // folded into its totals: brought up in place, or read as it is.
    void bringsAVersionOneFileUp_data()
    {
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<bool>("versionTwo"); // brought up before the index held the figures
        QTest::newRow("the game writes its next game") << false << false;
        QTest::newRow("a reader reads it as it is") << true << false;
        QTest::newRow("version 2, narrow index: the game widens it") << false << true;
        QTest::newRow("version 2, narrow index: a reader reads it as it is") << true << true;
    }
    void bringsAVersionOneFileUp()
    {
        QFETCH(bool, readOnly);
        QFETCH(bool, versionTwo);
        QTemporaryDir dir;
        const QString path = dir.filePath(GameDatabase::fileName());
        {
            Reader old(path);
            for (const char *sql : {
                     "CREATE TABLE games (id INTEGER PRIMARY KEY, mode TEXT NOT NULL, player TEXT NOT NULL, "
                     "started_at TEXT NOT NULL, ended_at TEXT NOT NULL, level INTEGER NOT NULL, "
                     "keys INTEGER NOT NULL, misses INTEGER NOT NULL, played_ms INTEGER NOT NULL, "
                     "other_spellings INTEGER NOT NULL)",
                     "CREATE INDEX games_mode_player ON games (mode, player)",
                     "CREATE TABLE key_stats (game_id INTEGER NOT NULL REFERENCES games(id), key TEXT NOT NULL, "
                     "typed INTEGER NOT NULL, missed INTEGER NOT NULL, ms INTEGER NOT NULL, PRIMARY KEY (game_id, key))",
                     "CREATE TABLE kana_stats (game_id INTEGER NOT NULL REFERENCES games(id), kana TEXT NOT NULL, "
                     "typed INTEGER NOT NULL, missed INTEGER NOT NULL, ms INTEGER NOT NULL, PRIMARY KEY (game_id, kana))",
                     "CREATE TABLE key_totals (mode TEXT NOT NULL, player TEXT NOT NULL, key TEXT NOT NULL, "
                     "typed INTEGER NOT NULL, missed INTEGER NOT NULL, ms INTEGER NOT NULL, PRIMARY KEY (mode, player, key))",
                     "CREATE TABLE kana_totals (mode TEXT NOT NULL, player TEXT NOT NULL, kana TEXT NOT NULL, "
                     "typed INTEGER NOT NULL, missed INTEGER NOT NULL, ms INTEGER NOT NULL, PRIMARY KEY (mode, player, kana))",
                     "CREATE TABLE totals_state (through_game INTEGER NOT NULL)",
                     "INSERT INTO games VALUES (3, 'kana', 'a', 's', 'e', 4, 3, 1, 9000, 1), "
                     "(7, 'kana', 'a', 's', 'e', 5, 2, 0, 8000, 0)",
                     "INSERT INTO key_stats VALUES (3, 'K', 2, 1, 300), (3, 'A', 1, 0, 100), (7, 'K', 2, 0, 200)",
                     "INSERT INTO kana_stats VALUES (3, 'か', 1, 1, 400), (7, 'か', 2, 0, 200)",
                     "INSERT INTO key_totals VALUES ('kana', 'a', 'K', 4, 1, 500), ('kana', 'a', 'A', 1, 0, 100)",
                     "INSERT INTO kana_totals VALUES ('kana', 'a', 'か', 3, 1, 600)",
                     "INSERT INTO totals_state VALUES (7)",
                     "PRAGMA user_version = 1"})
                QCOMPARE(old.rows(QString::fromUtf8(sql)), QString());
        }
        const QString narrow = u"mode; player"_qs, wide = u"mode; player; id; keys; misses; played_ms"_qs;
        const QString indexed = u"SELECT name FROM pragma_index_info('games_mode_player')"_qs;
        if (versionTwo) {
            GameDatabase(path, false).tallies(GameDatabase::Stats::Keys, {true, u"a"_qs, 0});
            Reader earlier(path);
            QCOMPARE(earlier.rows(u"DROP INDEX games_mode_player"_qs), QString());
            QCOMPARE(earlier.rows(u"CREATE INDEX games_mode_player ON games (mode, player)"_qs), QString());
        }
        GameDatabase db(path, readOnly);
        const GameDatabase::Games all{true, u"a"_qs, 0};
        QCOMPARE(format(db.tallies(GameDatabase::Stats::Keys, all)), u"A 1/0/100  K 4/1/500"_qs);
        QCOMPARE(format(db.tallies(GameDatabase::Stats::Kana, all)), u"か 3/1/600"_qs);
        QCOMPARE(format(db.tallies(GameDatabase::Stats::Keys, {true, u"a"_qs, 1})), u"K 2/0/200"_qs);
        if (!readOnly)
            QVERIFY(db.add(game(true, u"a"_qs, u"K 3/1/600/1/150/100"_qs), QDateTime()).written);
        Reader reader(path);
        QCOMPARE(reader.rows(u"PRAGMA user_version"_qs), readOnly && !versionTwo ? u"1"_qs : u"2"_qs);
        QCOMPARE(reader.rows(indexed), readOnly ? narrow : wide);
        QCOMPARE(reader.rows(u"SELECT id, level FROM games ORDER BY id"_qs),
                 readOnly ? u"3|4; 7|5"_qs : u"3|4; 7|5; 8|7"_qs);
        if (readOnly)
            return;
        QCOMPARE(reader.rows(u"SELECT count(DISTINCT uid), sum(lesson) FROM games"_qs), u"3|0"_qs);
        QCOMPARE(reader.rows(u"SELECT * FROM key_stats ORDER BY game_id, key"_qs),
                 u"3|A|1|0|100|0|0|0; 3|K|2|1|300|0|0|0; 7|K|2|0|200|0|0|0; 8|K|3|1|600|1|150|100"_qs);
        QCOMPARE(format(db.tallies(GameDatabase::Stats::Keys, all)), u"A 1/0/100  K 7/2/1100/1/150/100"_qs);
        QCOMPARE(db.tallies(GameDatabase::Stats::Keys, {true, u"a"_qs, 1}).value(u"K"_qs).typingMs(), 175.0);
        // Ids are never given twice, even after another program took the newest game away.
        QCOMPARE(reader.rows(u"DELETE FROM key_stats WHERE game_id = 8"_qs), QString());
        QCOMPARE(reader.rows(u"DELETE FROM games WHERE id = 8"_qs), QString());
        QVERIFY(db.add(game(true, u"a"_qs, u"K 1/0/100"_qs), QDateTime()).written);
        QCOMPARE(reader.rows(u"SELECT max(id) FROM games"_qs), u"9"_qs);
    }

    void storesEachGameWithItsKeys()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(GameDatabase::fileName());
        {
            GameDatabase db(path, false);
            QVERIFY(db.add(game(false, u"bob"_qs, u"D 2/1/300  L 1/0/300  X 1/1/400"_qs), QDateTime()).written);
            QVERIFY(db.add(game(true, u"山田"_qs, u"A 1/1/300  K 2/1/200"_qs, u"か 1/2/300"_qs), QDateTime())
                        .written);
            // A player who never gave a name.
            QVERIFY(db.add(game(false, QString(), u"A 1/0/100"_qs), QDateTime()).written);
            QCOMPARE(format(db.tallies(GameDatabase::Stats::Keys, {false, QString(), 0})), u"A 1/0/100"_qs);
        }
        Reader reader(path);
        QCOMPARE(reader.rows(u"SELECT id, mode, player, started_at, ended_at, level, keys, misses, played_ms, "
                             "other_spellings FROM games ORDER BY id"_qs),
                 u"1|letters|bob|2001-12-02T21:05:00|2001-12-02T21:05:40|7|4|2|38500|0; "
                 "2|kana|山田|2001-12-02T21:05:00|2001-12-02T21:05:40|7|3|2|38500|1; "
                 "3|letters||2001-12-02T21:05:00|2001-12-02T21:05:40|7|1|0|38500|0"_qs);
        QCOMPARE(reader.rows(u"SELECT * FROM key_stats ORDER BY game_id, key"_qs),
                 u"1|D|2|1|300|0|0|0; 1|L|1|0|300|0|0|0; 1|X|1|1|400|0|0|0; 2|A|1|1|300|0|0|0; "
                 "2|K|2|1|200|0|0|0; 3|A|1|0|100|0|0|0"_qs);
        QCOMPARE(reader.rows(u"SELECT * FROM kana_stats"_qs), u"2|か|1|2|300|0|0|0"_qs);
        QCOMPARE(reader.rows(u"SELECT count(DISTINCT uid), sum(lesson) FROM games"_qs), u"3|0"_qs);
    }

    // Four games of three players; the newest last. Then, as "foreign" says,
    // one more written by another program (1), and one more by the game (2):
    // the sums of all games come from the totals the game keeps, the games
    // they do not cover yet from the stats.
    void sumsTheChosenGames_data()
    {
        QTest::addColumn<int>("foreign");
        QTest::addColumn<bool>("kana");
        QTest::addColumn<QString>("player"); // null: everyone
        QTest::addColumn<int>("last");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("kanaStats");
        QTest::addColumn<QString>("games"); // keys/misses/played of each, oldest first

        QTest::newRow("one player, all games") << 0 << false << "a" << 0 << "A 4/1/400  B 1/0/50" << ""
                                               << "2/1/38500 3/0/38500";
        QTest::newRow("one player, the last game") << 0 << false << "a" << 1 << "A 2/0/200  B 1/0/50" << ""
                                                   << "2/1/38500 3/0/38500";
        QTest::newRow("everyone, the last two") << 0 << false << QString() << 2 << "A 3/0/300  B 1/0/50  C 0/3/0"
                                                << "" << "2/1/38500 1/3/38500 3/0/38500";
        QTest::newRow("kana mode") << 0 << true << "a" << 0 << "K 5/5/500" << "か 5/5/900" << "5/5/38500";
        QTest::newRow("everyone, all games") << 0 << false << QString() << 0 << "A 5/1/500  B 1/0/50  C 0/3/0"
                                             << "" << "2/1/38500 1/3/38500 3/0/38500";
        QTest::newRow("a game another program wrote") << 1 << false << "a" << 0 << "A 5/2/410  B 1/0/50" << ""
                                                      << "2/1/38500 3/0/38500 1/1/0";
        QTest::newRow("folded in at the next game") << 2 << false << "a" << 0 << "A 5/2/410  B 2/0/100" << ""
                                                    << "2/1/38500 3/0/38500 1/1/0 1/0/38500";
        QTest::newRow("nobody's") << 0 << false << "z" << 10 << "" << "" << "";
        // 3: another program deletes the newest game, 4: the totals' state is
        // lost (a set-up cut short); then the game, started again, writes one.
        QTest::newRow("the newest game deleted") << 3 << false << "a" << 0 << "A 2/1/200  B 1/0/50" << ""
                                                 << "2/1/38500 1/0/38500";
        QTest::newRow("the totals' state lost") << 4 << false << "a" << 0 << "A 4/1/400  B 2/0/100" << ""
                                                << "2/1/38500 3/0/38500 1/0/38500";
        QTest::newRow("the totals' state lost, everyone") << 4 << false << QString() << 0
                                                          << "A 5/1/500  B 2/0/100  C 0/3/0" << ""
                                                          << "2/1/38500 1/3/38500 3/0/38500 1/0/38500";
    }
    void sumsTheChosenGames()
    {
        QFETCH(int, foreign);
        QFETCH(bool, kana);
        QFETCH(QString, player);
        QFETCH(int, last);
        QFETCH(QString, keys);
        QFETCH(QString, kanaStats);
        QFETCH(QString, games);
        QTemporaryDir dir;
        const QString path = dir.filePath(GameDatabase::fileName());
        GameDatabase db(path, false);
        for (const GameRecord &g : {game(false, u"a"_qs, u"A 2/1/200"_qs),
                                    game(false, u"b"_qs, u"A 1/0/100  C 0/3/0"_qs),
                                    game(true, u"a"_qs, u"K 5/5/500"_qs, u"か 5/5/900"_qs),
                                    game(false, u"a"_qs, u"A 2/0/200  B 1/0/50"_qs)})
            QVERIFY(db.add(g, QDateTime()).written);
        if (foreign == 1 || foreign == 2) {
            Reader other(path);
            QCOMPARE(other.rows(u"INSERT INTO games (id, mode, player, started_at, ended_at, level, keys, misses, "
                                         "played_ms, other_spellings, uid) VALUES (5, 'letters', 'a', '', '', 1, 1, "
                                         "1, 0, 0, 'x5')"_qs), QString());
            QCOMPARE(other.rows(u"INSERT INTO key_stats (game_id, key, typed, missed, ms) VALUES (5, 'A', 1, 1, 10)"_qs), QString());
        }
        if (foreign == 2)
            QVERIFY(db.add(game(false, u"a"_qs, u"B 1/0/50"_qs), QDateTime()).written);
        if (foreign > 2) {
            Reader other(path);
            const QString change = foreign == 3
                ? u"DELETE FROM key_stats WHERE game_id = 4; DELETE FROM games WHERE id = 4"_qs
                : u"DELETE FROM totals_state"_qs;
            for (const QString &statement : change.split(u"; "_qs))
                QCOMPARE(other.rows(statement), QString());
            QVERIFY(GameDatabase(path, false).add(game(false, u"a"_qs, u"B 1/0/50"_qs), QDateTime()).written);
            // Its own id, and the totals the sums of the stats again.
            QCOMPARE(other.rows(u"SELECT max(id) FROM games"_qs), u"5"_qs);
            const QString sums = u"SELECT g.mode, g.player, s.key, SUM(s.typed), SUM(s.missed), SUM(s.ms) "
                                 "FROM key_stats s JOIN games g ON g.id = s.game_id GROUP BY 1, 2, 3"_qs;
            QCOMPARE(other.rows(u"SELECT mode, player, key, typed, missed, ms FROM key_totals ORDER BY 1, 2, 3"_qs),
                     other.rows(sums + u" ORDER BY 1, 2, 3"_qs));
        }

        GameDatabase reader(path, true);
        const GameDatabase::Games chosen{kana, player.isNull() ? std::nullopt : std::optional(player), last};
        QCOMPARE(format(reader.tallies(GameDatabase::Stats::Keys, chosen)), keys);
        QCOMPARE(format(reader.tallies(GameDatabase::Stats::Kana, chosen)), kanaStats);
        QStringList figures;
        QVERIFY(reader.forEachGame({kana, chosen.player, 0}, [&](qint64 k, qint64 m, qint64 p) {
            figures << QStringLiteral("%1/%2/%3").arg(k).arg(m).arg(p);
        }));
        QCOMPARE(figures.join(u' '), games);
    }

    // A player's lesson letters outlive the program, each mode and player on
    // its own; a letter kept twice keeps its first time, and none is ever
    // taken away. The recent games come newest first, with their timing.
    void lessonLettersAreKeptAndNeverLowered()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(GameDatabase::fileName());
        const QDateTime first(QDate(2026, 12, 8), QTime(9, 0));
        {
            GameDatabase db(path, false);
            QVERIFY(db.add(game(false, u"p"_qs, u"F 3/1/900/1/500/100"_qs), QDateTime()).written);
            QVERIFY(db.add(game(false, u"p"_qs, u"F 2/0/400  J 1/0/300"_qs), QDateTime()).written);
            QVERIFY(db.add(game(true, u"p"_qs, u"K 1/0/100"_qs), QDateTime()).written);
            LessonRecords lessons(db);
            QVERIFY(lessons.keep(false, u"p"_qs, u"FJDKSLA"_qs, first));
            QVERIFY(lessons.keep(false, u"p"_qs, u"OF"_qs, first.addSecs(60)));
            QVERIFY(lessons.keep(true, u"p"_qs, u"FJDKSLA"_qs, first));
        }
        GameDatabase again(path, false);
        LessonRecords lessons(again);
        const LessonRecords::Lesson letters = lessons.read(false, u"p"_qs, 50);
        QVERIFY(letters.read);
        QString kept = letters.kept;
        std::sort(kept.begin(), kept.end());
        QCOMPARE(kept, u"ADFJKLOS"_qs);
        QCOMPARE(letters.games.size(), 2);
        QCOMPARE(format(letters.games[0]), u"F 2/0/400  J 1/0/300"_qs);
        QCOMPARE(format(letters.games[1]), u"F 3/1/900/1/500/100"_qs);
        QCOMPARE(lessons.read(false, u"p"_qs, 1).games.size(), 1);
        QCOMPARE(lessons.read(true, u"p"_qs, 50).kept.size(), 7);
        const LessonRecords::Lesson nobody = lessons.read(false, u"q"_qs, 50);
        QVERIFY(nobody.read && nobody.kept.isEmpty() && nobody.games.isEmpty());
        Reader reader(path);
        QCOMPARE(reader.rows(u"SELECT unlocked_at FROM lesson_keys WHERE mode = 'letters' AND key IN ('F', 'O') "
                             "ORDER BY key"_qs),
                 u"2026-12-08T09:00:00; 2026-12-08T09:01:00"_qs);
    }

    void readerNeverMakesTheFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(GameDatabase::fileName());
        GameDatabase reader(path, true);
        QVERIFY(reader.tallies(GameDatabase::Stats::Keys, {}).isEmpty());
        QVERIFY(!reader.forEachGame({}, [](qint64, qint64, qint64) {}));
        QVERIFY(!QFile::exists(path));
    }

    void weightsFollowMissRates_data()
    {
        QTest::addColumn<QString>("games");   // each game's tallies, the newest first
        QTest::addColumn<QString>("weights"); // key=weight, every key not named weighs 1
        QTest::newRow("the worst key weighs 10, a key at the average 1")
            << "A 90/10/0  B 95/5/0  C 100/0/0" << "A=10";
        QTest::newRow("between the average and the worst")
            << "A 90/10/0  B 80/20/0  C 100/0/0  D 100/0/0" << "A=2.8 B=10";
        QTest::newRow("summed over the games")
            << "A 30/0/0  C 15/15/0 | A 10/40/0  B 50/5/0" << "C=10";
        QTest::newRow("the same keys, the last 30 of A without a miss: mastered")
            << "A 40/40/0  B 50/5/0  C 15/15/0" << "A=10 C=8.59";
        QTest::newRow("nine attempts")
            << "A 200/10/0  B 0/9/0  C 0/20/0" << "B=7.39 C=10";
        QTest::newRow("ten attempts: no step") << "A 200/10/0  B 0/10/0  C 0/20/0" << "B=7.75 C=10";
        QTest::newRow("no key missed: all alike") << "A 50/0/0  B 10/0/0" << "";
        QTest::newRow("nothing yet") << "" << "";
    }
    void weightsFollowMissRates()
    {
        QFETCH(QString, games);
        QFETCH(QString, weights);
        QList<KeyTallies> tallies;
        for (const QString &game : games.split(QStringLiteral(" | "), Qt::SkipEmptyParts))
            tallies << parseTallies(game);
        const KeyWeights w = WeakKeys::weights(tallies);
        QStringList shown;
        for (auto it = w.cbegin(); it != w.cend(); ++it)
            shown << QStringLiteral("%1=%2").arg(it.key()).arg(it.value(), 0, 'g', 3);
        shown.sort();
        QCOMPARE(shown.join(u' '), weights);
    }

    void weakestKeysComeFirst_data()
    {
        QTest::addColumn<QString>("tallies");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("order");
        QTest::newRow("by miss rate; a key never missed is not weak")
            << "A 90/10/0  B 80/20/0  C 99/1/0  D 100/0/0" << 5 << "B A C";
        QTest::newRow("ties by the longer mean time")
            << "A 90/10/9000  B 18/2/3600  C 45/5/9000" << 5 << "B C A";
        QTest::newRow("missed 17 times, typed once: ten tries are enough")
            << "か 1/17/100  さ 30/1/0" << 10 << "か さ";
        QTest::newRow("ten tries, right or missed, are enough")
            << "A 9/1/0  B 5/4/0  C 0/10/0" << 5 << "C A";
        QTest::newRow("fewer than ten tries: left out") << "A 0/9/0  B 8/1/0" << 5 << "";
        QTest::newRow("at most the count asked")
            << "A 10/1/0  B 10/2/0  C 10/3/0  D 10/4/0  E 10/5/0  F 10/6/0" << 5 << "F E D C B";
        QTest::newRow("full ties: by key") << "か 20/1/100  あ 20/1/100" << 10 << "あ か";
    }
    void weakestKeysComeFirst()
    {
        QFETCH(QString, tallies);
        QFETCH(int, count);
        QFETCH(QString, order);
        QStringList keys;
        for (const WeakKeys::Weak &weak : WeakKeys::weakest(parseTallies(tallies), count))
            keys << weak.key;
        QCOMPARE(keys.join(u' '), order);
    }

    // Kana typed on the kana keys is another skill: its own mode, its keys
    // apart from romaji's, all games or the last ones alike.
    void kanaInputGamesKeepTheirOwnMode()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(GameDatabase::fileName());
        GameDatabase db(path, false);
        GameRecord typed = game(true, u"a"_qs, u"か 1/1/300  ゛ 1/0/100"_qs, u"が 1/1/400"_qs);
        typed.kanaInput = true;
        QVERIFY(db.add(game(true, u"a"_qs, u"K 2/0/200"_qs, u"か 1/0/200"_qs), QDateTime()).written);
        QVERIFY(db.add(typed, QDateTime()).written);
        for (int last : {0, 1}) {
            QCOMPARE(format(db.tallies(GameDatabase::Stats::Keys, {true, u"a"_qs, last, true})),
                     u"か 1/1/300  ゛ 1/0/100"_qs);
            QCOMPARE(format(db.tallies(GameDatabase::Stats::Kana, {true, u"a"_qs, last, true})),
                     u"が 1/1/400"_qs);
            QCOMPARE(format(db.tallies(GameDatabase::Stats::Keys, {true, u"a"_qs, last})), u"K 2/0/200"_qs);
        }
        Reader reader(path);
        QCOMPARE(reader.rows(u"SELECT mode FROM games ORDER BY id"_qs), u"kana; kanainput"_qs);
    }
};

QTEST_GUILESS_MAIN(TestGameDatabase)
#include "tst_gamedatabase.moc"
