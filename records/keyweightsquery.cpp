#include "records/keyweightsquery.h"

#include "records/gamedatabase.h"

#include <QSqlQuery>

QList<KeyTallies> KeyWeightsQuery::lastGames(bool kanaMode, const QString &player, int games, bool kanaInput)
{
    QList<KeyTallies> tallies;
    const QSqlDatabase db = m_database.connection();
    if (!db.isValid() || !db.isOpen())
        return tallies;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral(
        "SELECT game_id, key, typed, missed, ms FROM key_stats WHERE game_id IN "
        "(SELECT id FROM games WHERE mode = ? AND player = ? ORDER BY id DESC LIMIT ?) "
        "ORDER BY game_id DESC"));
    query.addBindValue(GameDatabase::modeName(kanaMode, kanaInput));
    query.addBindValue(player.isNull() ? QStringLiteral("") : player);
    query.addBindValue(games);
    if (!query.exec())
        return tallies;
    qint64 game = -1;
    while (query.next()) {
        if (query.value(0).toLongLong() != game) {
            game = query.value(0).toLongLong();
            tallies.append(KeyTallies());
        }
        tallies.last().insert(query.value(1).toString(), {query.value(2).toLongLong(),
                                                          query.value(3).toLongLong(),
                                                          query.value(4).toLongLong()});
    }
    return tallies;
}
