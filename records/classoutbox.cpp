#include "records/classoutbox.h"

#include "records/gamedatabase.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

QList<ClassOutbox::Outgoing> ClassOutbox::waiting(int limit)
{
    QList<Outgoing> games;
    QSqlDatabase db = m_database.connection();
    if (!db.isOpen())
        return games;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral(
        "SELECT id, mode, player, started_at, ended_at, level, keys, misses, played_ms,"
        " other_spellings, uid, lesson FROM games"
        " WHERE NOT EXISTS (SELECT 1 FROM class_sent WHERE class_sent.game_id = games.id)"
        " ORDER BY id LIMIT ?"));
    query.addBindValue(limit);
    if (!query.exec())
        return games;
    while (query.next()) {
        Outgoing out;
        out.id = query.value(0).toLongLong();
        GameRecord &game = out.game;
        const QString mode = query.value(1).toString();
        game.kanaInput = mode == QLatin1String("kanainput");
        game.kanaMode = mode != QLatin1String("letters");
        game.player = query.value(2).toString();
        game.startedAt = query.value(3).toString();
        game.endedAt = query.value(4).toString();
        game.level = query.value(5).toInt();
        game.keys = query.value(6).toLongLong();
        game.misses = query.value(7).toLongLong();
        game.playedMs = query.value(8).toLongLong();
        game.otherSpellings = query.value(9).toInt() != 0;
        game.uid = query.value(10).toString();
        game.lesson = query.value(11).toInt() != 0;
        games.append(out);
    }
    for (auto &[table, column] : {std::pair{"key_stats", "key"}, std::pair{"kana_stats", "kana"}}) {
        QSqlQuery rows(db);
        rows.setForwardOnly(true);
        rows.prepare(QStringLiteral("SELECT %2, typed, missed, ms, first, first_ms, miss_ms FROM %1"
                                    " WHERE game_id = ?")
                         .arg(QLatin1String(table), QLatin1String(column)));
        for (Outgoing &out : games) {
            rows.addBindValue(out.id);
            if (!rows.exec())
                return {};
            KeyTallies &tallies = column == std::string_view("key") ? out.game.keyStats : out.game.kanaStats;
            while (rows.next()) {
                KeyTally &tally = tallies[rows.value(0).toString()];
                tally.typed = rows.value(1).toLongLong();
                tally.missed = rows.value(2).toLongLong();
                tally.ms = rows.value(3).toLongLong();
                tally.first = rows.value(4).toLongLong();
                tally.firstMs = rows.value(5).toLongLong();
                tally.missMs = rows.value(6).toLongLong();
            }
        }
    }
    return games;
}

bool ClassOutbox::markSent(const QList<qint64> &ids, const QString &at)
{
    QSqlDatabase db = m_database.connection();
    if (!db.isOpen() || !db.transaction())
        return false;
    QSqlQuery query(db);
    query.prepare(QStringLiteral("INSERT INTO class_sent (game_id, sent_at) VALUES (?, ?)"
                                 " ON CONFLICT DO NOTHING"));
    for (qint64 id : ids) {
        query.addBindValue(id);
        query.addBindValue(at);
        if (!query.exec()) {
            db.rollback();
            return false;
        }
    }
    return db.commit();
}

qint64 ClassOutbox::waitingCount()
{
    QSqlDatabase db = m_database.connection();
    QSqlQuery query(db);
    if (!db.isOpen()
        || !query.exec(QStringLiteral("SELECT count(*) FROM games WHERE NOT EXISTS"
                                      " (SELECT 1 FROM class_sent WHERE class_sent.game_id = games.id)"))
        || !query.next())
        return -1;
    return query.value(0).toLongLong();
}
