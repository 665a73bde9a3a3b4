#pragma once
#include "records/gamereport.h"

class GameDatabase;

// The player's games the game-over dialog compares the game just played with.
// Used on the database's thread.
class RecentGames
{
public:
    explicit RecentGames(GameDatabase &database) : m_database(database) {}

    // keys, misses and played_ms of the player's last `count` games of the
    // mode (games.mode) other than the game `uid`, the newest first; none when the file
    // cannot be read.
    QList<GameReport::Figures> before(const QString &mode, const QString &player, const QString &uid,
                                      int count);

private:
    GameDatabase &m_database;
};
