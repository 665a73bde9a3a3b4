#pragma once
#include "records/gamerecord.h"

#include <QList>

class GameDatabase;

// What the prompt draw's weights are made from: each recent game's keys on
// their own, since a key's last attempts matter as well as its sums. Used on
// the database's thread.
class KeyWeightsQuery
{
public:
    explicit KeyWeightsQuery(GameDatabase &database) : m_database(database) {}

    // The keys of each of the player's last `games` games of the mode, the
    // newest game first; none when the file is missing or cannot be read.
    QList<KeyTallies> lastGames(bool kanaMode, const QString &player, int games, bool kanaInput = false);

private:
    GameDatabase &m_database;
};
