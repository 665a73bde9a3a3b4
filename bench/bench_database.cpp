// The game database grown over years of play: how long a game takes to write
// into 100,000 games, what a game costs on disk, and how long the figures the
// chart's tabs and the weak-key prompts need take to read from 1,000,000 games
// of 50 players. The files are made once and kept in the working folder
// (bench-data/), as making the big one takes minutes.

#include "records/gamedatabase.h"
#include "records/weakkeys.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <sys/resource.h>

namespace {

constexpr int Players = 50;

double peakRssMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

QString playerName(int n)
{
    return n % 4 == 0 ? QStringLiteral("山田%1").arg(n) : QStringLiteral("player%1").arg(n);
}

// A game of a level-20 player: about twenty prompts, so some twenty keys of
// letters mode, or fifteen keys and twenty kana of kana mode, each with its own
// share of misses.
GameRecord randomGame(std::mt19937 &rng, int player, bool kana)
{
    static const QStringList kanaUnits = QString::fromUtf8(
        "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをんがぎぐげござじずぜぞだでどばびぶべぼぱぴぷぺぽきゃしゅちょっ")
        .split(QString(), Qt::SkipEmptyParts);
    GameRecord game;
    game.kanaMode = kana;
    game.player = playerName(player);
    game.startedAt = QStringLiteral("2024-05-01T21:05:00");
    game.endedAt = QStringLiteral("2024-05-01T21:06:10");
    std::uniform_int_distribution<int> level(5, 40), count(1, 5), miss(0, 9), ms(150, 900);
    game.level = level(rng);
    const auto fill = [&](KeyTallies &tallies, const QStringList &pool, int n) {
        std::uniform_int_distribution<qsizetype> pick(0, pool.size() - 1);
        while (tallies.size() < n) {
            KeyTally &t = tallies[pool[pick(rng)]];
            t.typed = count(rng);
            t.missed = miss(rng) < (player % 5) ? 1 : 0;
            t.ms = t.typed * ms(rng);
        }
    };
    static const QStringList letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ").split(QString(), Qt::SkipEmptyParts);
    fill(game.keyStats, letters, kana ? 15 : 20);
    if (kana)
        fill(game.kanaStats, kanaUnits, 20);
    for (const KeyTally &t : std::as_const(game.keyStats)) {
        game.keys += t.typed;
        game.misses += t.missed;
    }
    game.playedMs = 70000;
    return game;
}

// Games of 50 players taking turns, both modes, written in big transactions
// through a connection of its own (a game at a time would take hours).
QString makeDatabase(const QString &name, int games)
{
    QDir().mkpath(QStringLiteral("bench-data"));
    const QString path = QFileInfo(QStringLiteral("bench-data/") + name).absoluteFilePath();
    std::mt19937 rng(20011202);
    {
        GameDatabase db(path, false);
        if (db.forEachGame({}, [](qint64, qint64, qint64) {})) {
            qint64 count = 0;
            for (bool kana : {false, true})
                db.forEachGame({kana, std::nullopt, 0}, [&count](qint64, qint64, qint64) { ++count; });
            if (count == games)
                return path;
        }
    }
    for (const char *side : {"", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(side));
    {
        GameDatabase db(path, false);
        if (!db.add(randomGame(rng, 0, false), QDateTime()).written)
            return {};
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("maker"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        q.exec(QStringLiteral("PRAGMA synchronous = OFF"));
        QSqlQuery game(db), key(db), kana(db);
        game.prepare(QStringLiteral("INSERT INTO games (mode, player, started_at, ended_at, level, keys, "
                                    "misses, played_ms, other_spellings, uid) VALUES (?, ?, ?, ?, ?, ?, ?, ?, 0, ?)"));
        key.prepare(QStringLiteral("INSERT INTO key_stats (game_id, key, typed, missed, ms) VALUES (?, ?, ?, ?, ?)"));
        kana.prepare(QStringLiteral("INSERT INTO kana_stats (game_id, kana, typed, missed, ms) VALUES (?, ?, ?, ?, ?)"));
        // The last game goes through the game's own writer, which folds every
        // game before it into the totals, as it would after another program's.
        for (int n = 1; n < games - 1; ++n) {
            if (n % 20000 == 1)
                q.exec(QStringLiteral("BEGIN"));
            const GameRecord g = randomGame(rng, (n / 3) % Players, (n / 7) % 2 == 1);
            for (const QVariant &v : {QVariant(g.kanaMode ? u"kana"_qs : u"letters"_qs), QVariant(g.player),
                                      QVariant(g.startedAt), QVariant(g.endedAt), QVariant(g.level),
                                      QVariant(g.keys), QVariant(g.misses), QVariant(g.playedMs),
                                      QVariant(QString::number(n))})
                game.addBindValue(v);
            game.exec();
            const qint64 id = game.lastInsertId().toLongLong();
            for (auto [query, tallies] : {std::pair{&key, &g.keyStats}, std::pair{&kana, &g.kanaStats}}) {
                for (auto it = tallies->cbegin(); it != tallies->cend(); ++it) {
                    for (const QVariant &v : {QVariant(id), QVariant(it.key()), QVariant(it->typed),
                                              QVariant(it->missed), QVariant(it->ms)})
                        query->addBindValue(v);
                    query->exec();
                }
            }
            if (n % 20000 == 0 || n == games - 2)
                q.exec(QStringLiteral("COMMIT"));
        }
        q.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("maker"));
    {
        GameDatabase db(path, false);
        if (!db.add(randomGame(rng, 1, false), QDateTime()).written)
            return {};
    }
    return path;
}

const QString &hundredThousand()
{
    static const QString path = makeDatabase(QStringLiteral("Kolrin-100k.db"), 100'000);
    return path;
}

const QString &million()
{
    static const QString path = makeDatabase(QStringLiteral("Kolrin-1m.db"), 1'000'000);
    return path;
}

// One game at a time, each in its transaction, as the game writes them; the
// median, as a slow disk now and then makes the mean say little.
void BM_AddGame(benchmark::State &state)
{
    const QString master = hundredThousand();
    if (master.isEmpty()) {
        state.SkipWithError("could not make the database");
        return;
    }
    // A copy, so that every run starts from 100,000 games.
    const QString path = QFileInfo(QStringLiteral("bench-data/Kolrin-add.db")).absoluteFilePath();
    QFile::remove(path);
    QFile::copy(master, path);
    const qint64 before = QFileInfo(path).size();
    std::mt19937 rng(7);
    std::vector<double> times;
    int written = 0;
    {
        GameDatabase db(path, false);
        db.add(randomGame(rng, 1, false), QDateTime()); // opens the file
        for (auto _ : state) {
            const GameRecord game = randomGame(rng, written % Players, written % 2 == 1);
            QElapsedTimer timer;
            timer.start();
            written += db.add(game, QDateTime()).written;
            times.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
    }
    std::sort(times.begin(), times.end());
    state.counters["median_ms"] = times[times.size() / 2];
    state.counters["p90_ms"] = times[times.size() * 9 / 10];
    state.counters["written"] = written;
    state.counters["bytes_per_game"] = double(QFileInfo(path).size() - before) / double(written + 1);
    QFile::remove(path);
}

// The whole file over its games, of both modes.
void BM_FileBytesPerGame(benchmark::State &state)
{
    const QString path = million();
    for (auto _ : state)
        benchmark::DoNotOptimize(QFileInfo(path).size());
    state.counters["file_MiB"] = double(QFileInfo(path).size()) / (1 << 20);
    state.counters["bytes_per_game"] = double(QFileInfo(path).size()) / 1e6;
}

void tallies(benchmark::State &state, GameDatabase::Stats stats, bool everyone, int last)
{
    const QString path = million();
    const double rssBefore = peakRssMiB();
    qint64 keys = 0;
    for (auto _ : state) {
        GameDatabase db(path, true);
        const KeyTallies t = db.tallies(stats, {true, everyone ? std::nullopt : std::optional(playerName(8)), last});
        keys = t.size();
        benchmark::DoNotOptimize(WeakKeys::weakest(t, 10));
    }
    state.counters["keys"] = double(keys);
    state.counters["peak_rss_before_MiB"] = rssBefore;
    state.counters["peak_rss_after_MiB"] = peakRssMiB();
}

void BM_WeightsOfRecentGames(benchmark::State &state)
{
    tallies(state, GameDatabase::Stats::Keys, false, WeakKeys::WeightGames);
}
void BM_WeakKeysLastGame(benchmark::State &state) { tallies(state, GameDatabase::Stats::Keys, false, 1); }
void BM_WeakKeysLast10(benchmark::State &state) { tallies(state, GameDatabase::Stats::Keys, false, 10); }
void BM_WeakKeysAllOfOne(benchmark::State &state) { tallies(state, GameDatabase::Stats::Keys, false, 0); }
void BM_WeakKanaAllOfOne(benchmark::State &state) { tallies(state, GameDatabase::Stats::Kana, false, 0); }
void BM_WeakKeysLast10OfEveryone(benchmark::State &state) { tallies(state, GameDatabase::Stats::Keys, true, 10); }
void BM_WeakKeysAllOfEveryone(benchmark::State &state) { tallies(state, GameDatabase::Stats::Keys, true, 0); }

void figures(benchmark::State &state, bool everyone)
{
    const QString path = million();
    const double rssBefore = peakRssMiB();
    qint64 games = 0;
    for (auto _ : state) {
        GameDatabase db(path, true);
        games = 0;
        db.forEachGame({true, everyone ? std::nullopt : std::optional(playerName(8)), 0},
                       [&games](qint64, qint64, qint64) { ++games; });
    }
    state.counters["games"] = double(games);
    state.counters["peak_rss_before_MiB"] = rssBefore;
    state.counters["peak_rss_after_MiB"] = peakRssMiB();
}

void BM_SpeedOfOnePlayer(benchmark::State &state) { figures(state, false); }
void BM_SpeedOfEveryone(benchmark::State &state) { figures(state, true); }

}

BENCHMARK(BM_AddGame)->Iterations(200)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FileBytesPerGame)->Iterations(1);
BENCHMARK(BM_WeightsOfRecentGames)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WeakKeysLastGame)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WeakKeysLast10)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WeakKeysAllOfOne)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WeakKanaAllOfOne)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WeakKeysLast10OfEveryone)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WeakKeysAllOfEveryone)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SpeedOfOnePlayer)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SpeedOfEveryone)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
