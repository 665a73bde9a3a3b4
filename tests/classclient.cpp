// One player's copy of the game for the class server's load test: makes a
// Kolrin.db of `count` finished games, then sends them as the game does and
// exits 0 once the server acknowledged every one.
//   classclient FOLDER SOCKETDIR PORT DATABASE USER CLASS FIRST COUNT TOTAL
// Game n (FIRST <= n < FIRST + COUNT) has the level 1 + (n * 7919) % TOTAL, so
// that the levels of all clients together are 1 to TOTAL, each once.
#include "records/classoutbox.h"
#include "records/classsender.h"
#include "records/gamestore.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTimer>
#include <QUuid>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 10) {
        std::fprintf(stderr, "usage: classclient FOLDER SOCKETDIR PORT DATABASE USER CLASS FIRST COUNT TOTAL\n");
        return 2;
    }
    ClassSettings settings;
    settings.host = args[2];
    settings.port = args[3].toInt();
    settings.database = args[4];
    settings.user = args[5];
    settings.className = args[6];
    const int first = args[7].toInt();
    const int count = args[8].toInt();
    const int total = args[9].toInt();

    GameStore store(args[1] + QStringLiteral("/Kolrin.db"));
    const QDateTime base(QDate(2026, 12, 1), QTime(0, 0));
    int added = 0;
    QObject::connect(&store, &GameStore::added, [&added] { ++added; });
    for (int n = first; n < first + count; ++n) {
        GameRecord game;
        game.uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
        game.player = settings.user;
        game.startedAt = base.addSecs(60 * n).toString(Qt::ISODate);
        game.endedAt = base.addSecs(60 * n + 30).toString(Qt::ISODate);
        game.level = 1 + int((qint64(n) * 7919) % total);
        game.keys = game.level * 3;
        game.misses = n % 5;
        game.playedMs = 30000;
        game.keyStats.insert(QStringLiteral("A"), {game.keys, game.misses, 9000});
        store.add(game, QDateTime::currentDateTime());
    }

    ClassSender sender(store);
    int status = 1;
    QObject::connect(&sender, &ClassSender::allSent, &app, [&] {
        store.run([&](GameDatabase &db) {
            const qint64 waiting = ClassOutbox(db).waitingCount();
            QMetaObject::invokeMethod(&app, [&, waiting] {
                status = waiting == 0 && added == count ? 0 : 1;
                if (status)
                    std::fprintf(stderr, "%lld games not acknowledged, %d added\n", waiting, added);
                app.quit();
            });
        });
    });
    // The game tries again after its next game or a few minutes; here at once.
    QObject::connect(&sender, &ClassSender::unreachable, &app, [&sender](const QString &reason) {
        std::fprintf(stderr, "again after: %s\n", qPrintable(reason));
        QTimer::singleShot(200, &sender, &ClassSender::sendWaiting);
    });
    // A client that can not get through within the time fails the test.
    QTimer::singleShot(120000, &app, [&app] {
        std::fprintf(stderr, "timed out\n");
        app.exit(1);
    });
    sender.setSettings(settings);
    app.exec();
    return status;
}
