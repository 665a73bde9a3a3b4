#include "records/recentgames.h"

#include "records/gamedatabase.h"

#include <QSqlQuery>

QList<GameReport::Figures> RecentGames::before(const QString &mode, const QString &player,
                                               const QString &uid, int count)
{
    QList<GameReport::Figures> games;
    const QSqlDatabase db = m_database.connection();
    if (!db.isValid() || !db.isOpen())
        return games;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT keys, misses, played_ms FROM games "
                                 "WHERE mode = ? AND player = ? AND uid <> ? ORDER BY id DESC LIMIT ?"));
    query.addBindValue(mode);
    query.addBindValue(player.isNull() ? QStringLiteral("") : player);
    query.addBindValue(uid.isNull() ? QStringLiteral("") : uid);
    query.addBindValue(count);
    if (!query.exec())
        return games;
    while (query.next())
        games.append({query.value(0).toLongLong(), query.value(1).toLongLong(), query.value(2).toLongLong()});
    return games;
}
