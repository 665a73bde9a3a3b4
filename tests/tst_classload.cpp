// Forty players' copies of the game sending at once to one class server while
// the ranking is read: every game arrives once and the ranking is right.
#include "pgserver.h"

#include "records/classserver.h"

#include <QProcess>
#include <QTest>
#include <algorithm>

class TestClassLoad : public QObject
{
    Q_OBJECT

    static constexpr int Clients = 40;
    static constexpr int GamesEach = 50;
    static constexpr int Total = Clients * GamesEach;

private slots:
    void fortyClientsLoseNothingAndCountNothingTwice()
    {
        if (const QString missing = PgServer::missing(); !missing.isEmpty())
            QSKIP(qPrintable(missing));
        PgServer pg;
        QVERIFY2(pg.setUp(QStringLiteral(KOLRIN_SOURCE_DIR "/server/kolrin-class.sql")), qPrintable(pg.error()));
        QList<std::pair<QString, QString>> users;
        for (int i = 0; i < Clients; ++i) {
            const QString user = QStringLiteral("p%1").arg(i, 2, 10, QLatin1Char('0'));
            QVERIFY(pg.addRole(user, user + QStringLiteral("-pw"), QStringLiteral("kolrin_player")));
            users.append({user, user + QStringLiteral("-pw")});
        }
        qputenv("PGPASSFILE", QFile::encodeName(pg.writePassFile(users)));

        QTemporaryDir folders;
        QList<QProcess *> clients;
        for (int i = 0; i < Clients; ++i) {
            const QString folder = folders.filePath(users[i].first);
            QDir().mkpath(folder);
            auto *client = new QProcess(this);
            client->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            client->start(QStringLiteral(KOLRIN_CLASS_CLIENT),
                          {folder, pg.socketDir(), QString::number(pg.port()), pg.database(), users[i].first,
                           QStringLiteral("load"), QString::number(i * GamesEach), QString::number(GamesEach),
                           QString::number(Total)});
            clients << client;
        }

        // Read while they send: always at most 30, highest first, and only real games.
        ClassSettings reader;
        reader.host = pg.socketDir();
        reader.port = pg.port();
        reader.database = pg.database();
        reader.user = users[0].first;
        reader.className = QStringLiteral("load");
        int readings = 0;
        const auto running = [&clients] {
            return std::any_of(clients.cbegin(), clients.cend(),
                               [](QProcess *p) { return p->state() != QProcess::NotRunning; });
        };
        QElapsedTimer clock;
        clock.start();
        while (running() && !clock.hasExpired(180000)) {
            ClassServer::Ranking ranking;
            const ClassServer::Answer answer = ClassServer(reader).ranking(QStringLiteral("letters"), {}, &ranking);
            QVERIFY2(answer.ok(), qPrintable(answer.reason));
            QVERIFY(ranking.best.size() <= 30);
            for (int i = 1; i < ranking.best.size(); ++i)
                QVERIFY(ranking.best[i - 1].level >= ranking.best[i].level);
            QVERIFY(ranking.players.size() <= Clients);
            ++readings;
            for (QProcess *client : std::as_const(clients))
                client->waitForFinished(20);
        }
        for (QProcess *client : std::as_const(clients)) {
            if (client->state() != QProcess::NotRunning)
                QVERIFY(client->waitForFinished(60000));
            QCOMPARE(client->exitStatus(), QProcess::NormalExit);
            QCOMPARE(client->exitCode(), 0);
        }
        qInfo("%d rankings read while %d clients sent %d games each, in %lld ms", readings, Clients,
              GamesEach, clock.elapsed());
        QVERIFY(readings > 0);

        QCOMPARE(pg.value(QStringLiteral("SELECT count(*) FROM games")).toInt(), Total);
        QCOMPARE(pg.value(QStringLiteral("SELECT count(DISTINCT level) FROM games")).toInt(), Total);
        QCOMPARE(pg.value(QStringLiteral("SELECT count(*) FROM key_stats")).toInt(), Total);
        QCOMPARE(pg.value(QStringLiteral("SELECT min(n) || ',' || max(n) FROM"
                                         " (SELECT count(*) AS n FROM games GROUP BY player) c")),
                 QStringLiteral("%1,%1").arg(GamesEach));

        // The levels are 1 to Total, each once: the best 30 are the top ones.
        ClassServer::Ranking ranking;
        QVERIFY(ClassServer(reader).ranking(QStringLiteral("letters"), {}, &ranking).ok());
        QCOMPARE(ranking.best.size(), 30);
        for (int i = 0; i < 30; ++i) {
            const int level = Total - i;
            QCOMPARE(ranking.best[i].level, level);
            // Game n has level 1 + (n * 7919) % Total; its client is n / GamesEach.
            int n = 0;
            while (1 + (qint64(n) * 7919) % Total != level)
                ++n;
            QCOMPARE(ranking.best[i].player, users[n / GamesEach].first);
        }
        QCOMPARE(ranking.players.size(), Clients);
        for (int i = 1; i < ranking.players.size(); ++i)
            QVERIFY(ranking.players[i - 1].level > ranking.players[i].level);
        QCOMPARE(ranking.players.first().level, Total);
    }
};

QTEST_GUILESS_MAIN(TestClassLoad)
#include "tst_classload.moc"
