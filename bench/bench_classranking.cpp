// The class ranking on a server holding 1,000,000 games: a private PostgreSQL
// 15 (as the tests start it) loaded with server/kolrin-class.sql and a year of
// games of one class of 40 players, read as a player reads it.
//   bench_classranking [games]
#include "pgserver.h"

#include "records/classreader.h"
#include "records/classserver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>

namespace {
constexpr int Runs = 25;

struct Figures
{
    double median = 0, worst = 0;
};

template <typename Read>
Figures measure(Read read)
{
    read(); // the first reading fills the server's caches
    QList<double> ms;
    for (int i = 0; i < Runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        read();
        ms << clock.nsecsElapsed() / 1e6;
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.last()};
}
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int games = argc > 1 ? std::atoi(argv[1]) : 1000000;
    if (const QString missing = PgServer::missing(); !missing.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(missing));
        return 1;
    }
    PgServer pg;
    const QString schema = QStringLiteral(KOLRIN_SOURCE_DIR "/server/kolrin-class.sql");
    if (!pg.setUp(schema)) {
        std::fprintf(stderr, "%s\n", qPrintable(pg.error()));
        return 1;
    }
    QElapsedTimer load;
    load.start();
    // The indexes are made again after the rows, as a restore would.
    const QDateTime now = QDateTime::currentDateTime();
    const bool ok = pg.sql(QStringLiteral("DROP INDEX games_ranking, games_recent, games_player"))
        && pg.sql(QStringLiteral(
               "INSERT INTO games (uid, class, mode, player, started_at, ended_at, level, keys, misses,"
               " played_ms, other_spellings)"
               " SELECT gen_random_uuid(), '3-A', CASE WHEN n % 3 = 0 THEN 'kana' ELSE 'letters' END,"
               " 'player' || (n % 40), e - interval '40 seconds', e, 1 + (hashint4(n) & 2147483647) % 60,"
               " 100, 5, 40000, false"
               " FROM generate_series(1, %1) n,"
               " LATERAL (SELECT timestamp '%2' - (n * (31536000.0 / %1)) * interval '1 second' AS e) t")
                      .arg(games).arg(now.toString(Qt::ISODate)))
        && pg.sql(QStringLiteral("\\i ") + schema) && pg.sql(QStringLiteral("VACUUM ANALYZE games"))
        && pg.addRole(QStringLiteral("player"), QStringLiteral("pw"), QStringLiteral("kolrin_player"));
    if (!ok) {
        std::fprintf(stderr, "%s\n", qPrintable(pg.error()));
        return 1;
    }
    qputenv("PGPASSFILE", QFile::encodeName(pg.writePassFile({{QStringLiteral("player"), QStringLiteral("pw")}})));
    std::printf("%s games loaded and indexed in %.1f s\n", qPrintable(pg.value(QStringLiteral("SELECT count(*) FROM games"))),
                load.elapsed() / 1000.0);

    ClassSettings settings;
    settings.host = pg.socketDir();
    settings.port = pg.port();
    settings.database = pg.database();
    settings.user = QStringLiteral("player");
    settings.className = QStringLiteral("3-A");
    ClassServer server(settings);
    for (const auto &[period, name] : {std::pair{ClassReader::Period::All, "all"},
                                       std::pair{ClassReader::Period::Month, "this month"},
                                       std::pair{ClassReader::Period::Week, "this week"}}) {
        const QString since = ClassReader::since(period, now);
        QList<ClassServer::Row> rows;
        const Figures best = measure([&] {
            if (!server.best(QStringLiteral("letters"), since, &rows).ok())
                std::abort();
        });
        std::printf("%-10s  the 30 best: median %.2f ms, worst %.2f ms (of %d)\n", name, best.median,
                    best.worst, Runs);
        const Figures players = measure([&] {
            if (!server.players(QStringLiteral("letters"), since, &rows).ok())
                std::abort();
        });
        std::printf("%-10s  %lld players' best: median %.2f ms, worst %.2f ms\n", name, qint64(rows.size()),
                    players.median, players.worst);
    }
    // A fresh connection each time, as the ranking window makes one.
    const Figures fresh = measure([&] {
        ClassServer::Ranking ranking;
        if (!ClassServer(settings).ranking(QStringLiteral("letters"), {}, &ranking).ok())
            std::abort();
    });
    std::printf("ranking of all, connecting first: median %.2f ms, worst %.2f ms\n", fresh.median, fresh.worst);
    return 0;
}
