#pragma once
#include "records/gamedatabase.h"
#include "records/keyprogress.h"

// The chart's own questions to the game database, asked on the thread that
// uses `db`: one key's figures game by game, and why nothing can be shown.
class KeyHistory
{
public:
    explicit KeyHistory(GameDatabase &db);

    // Every game of the choice that expected `key` (games.last is not used:
    // progress is told over all of them).
    KeyProgress progress(GameDatabase::Stats stats, const GameDatabase::Games &games, const QString &key);

    // The player, keys, misses and played_ms of each game, oldest first;
    // false when the file cannot be read. Over everyone's games the player is
    // told only when one of `named` (the others' are empty): a name read for
    // each of a hundred thousand games doubled the time.
    using GameFigures = std::function<void(const QString &player, qint64 keys, qint64 misses, qint64 playedMs)>;
    // Stops, false, once `stop` says so (asked every few thousand games).
    bool forEachGame(const GameDatabase::Games &games, const GameFigures &onGame,
                     const QStringList &named = {}, const std::function<bool()> &stop = {});

    // Why the tabs of the database show no figures.
    struct Verdict
    {
        bool readable = true;
        qint64 games = 0; // of the choice
        QString reason;   // when not readable, for the player
    };
    // A missing file holds no game yet; one that is there and cannot be read
    // says why, in the player's words.
    static Verdict check(const QString &path, const GameDatabase::Games &games);

private:
    GameDatabase &m_db;
};
