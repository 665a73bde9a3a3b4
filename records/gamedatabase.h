#pragma once
#include "records/gamerecord.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QString>
#include <functional>
#include <initializer_list>
#include <optional>
#include <span>

class QSqlError;
class QSqlQuery;

// Kolrin.db, SQLite through Qt SQL, in the folder of the result files. A
// format other programs may read, kept to SQL that PostgreSQL also accepts:
//   PRAGMA user_version = 2 (a file of version 1 is brought up to it in place,
//   in one transaction, every row kept)
//   games(id INTEGER PRIMARY KEY AUTOINCREMENT (never used again),
//         mode TEXT NOT NULL ('kana', 'letters', or
//         'kanainput' for kana prompts typed on the kana keys),
//         player TEXT NOT NULL, started_at TEXT NOT NULL, ended_at TEXT NOT NULL
//         (local time, YYYY-MM-DDTHH:MM:SS), level INTEGER NOT NULL,
//         keys INTEGER NOT NULL, misses INTEGER NOT NULL,
//         played_ms INTEGER NOT NULL, other_spellings INTEGER NOT NULL (0 or 1),
//         uid TEXT NOT NULL UNIQUE (made when the game ended; names it beyond
//         this file), lesson INTEGER NOT NULL DEFAULT 0 (1: a lesson game)),
//     indexed on (mode, player, id, keys, misses, played_ms): a player's
//     games in order with the figures the chart reads, from the index alone
//   key_stats(game_id INTEGER NOT NULL REFERENCES games(id), key TEXT NOT NULL,
//             typed INTEGER NOT NULL, missed INTEGER NOT NULL, ms INTEGER NOT NULL,
//             first, first_ms, miss_ms INTEGER NOT NULL DEFAULT 0,
//             PRIMARY KEY (game_id, key))
//     ms is the time to type the key right; of it, first_ms went on the
//     `first` presses that began a prompt (reading it) and miss_ms on misses
//   kana_stats(game_id ..., kana TEXT NOT NULL, typed, missed, ms, first,
//              first_ms, miss_ms, PRIMARY KEY (game_id, kana)), kana prompts only
//   lesson_keys(mode, player, key TEXT NOT NULL, unlocked_at TEXT NOT NULL,
//               PRIMARY KEY (mode, player, key)): the keys a player's lessons
//               have brought in
//   class_sent(game_id INTEGER PRIMARY KEY REFERENCES games(id),
//              sent_at TEXT NOT NULL): games a class server has taken
// and, derived from those for speed, key_totals(mode, player, key, typed,
// missed, ms, first, first_ms, miss_ms) and kana_totals(mode, player, kana,
// ...), the sums over the games up to totals_state(through_game), which also
// keeps how many games and what sums the totals hold (folded_games, key_sum,
// kana_sum), so that a file another program changed is noticed at
// open and its totals made again.
// Only a file whose schema is exactly what this version makes is written into:
// a trigger, a view or anything else unknown keeps the game out of it.
// One connection, used by one thread only. Nothing here ever shows a box: a
// failure comes back as the text to show, once.
class GameDatabase
{
public:
    static constexpr int BusyTimeoutMs = 2000;
    static QString fileName() { return QStringLiteral("Kolrin.db"); }
    // games.mode of a game of these modes.
    static QString modeName(bool kanaMode, bool kanaInput);
    // The games the file could not take yet, beside it.
    static QString keptPath(const QString &path) { return path + QStringLiteral(".pending"); }

    // Opens nothing yet. Read-only: never makes, repairs or writes the file.
    GameDatabase(const QString &path, bool readOnly);
    ~GameDatabase();
    GameDatabase(const GameDatabase &) = delete;
    GameDatabase &operator=(const GameDatabase &) = delete;

    struct Outcome
    {
        bool written = false;   // a game reached the file
        bool retrySoon = false; // games wait on what goes by itself: a lock, a full disk
        QString message;        // for the player; empty when there is nothing to tell
    };
    // Writes the games kept from before, oldest first, then this one, each in
    // one transaction, the file opened (or made) on first use. A game the file
    // cannot take is kept, in the pending file beside it (or, when even that
    // cannot be written, here), and written by the next add() or addKept(). A
    // file that is no database, or a damaged one, is renamed aside, every row
    // that can still be read is copied into a new one, and that takes the game.
    // A trouble is told once, until a game is written again.
    Outcome add(const GameRecord &game, const QDateTime &now);
    Outcome addKept(const QDateTime &now);
    // Games waiting to be written.
    qsizetype keptGames();

    // The games of one mode, of one player or (nullopt) everyone.
    struct Games
    {
        bool kanaMode = false;
        std::optional<QString> player;
        int last = 0; // the most recent ones only; 0: all
        bool kanaInput = false;
    };
    enum class Stats { Keys, Kana };
    // Each key's or kana's figures summed over the games; empty when the file
    // is missing or cannot be read.
    KeyTallies tallies(Stats stats, const Games &games);
    // keys, misses and played_ms of each game, oldest first.
    using GameFigures = std::function<void(qint64 keys, qint64 misses, qint64 playedMs)>;
    bool forEachGame(const Games &games, const GameFigures &onGame);

    // The open file, made or brought up to date as add() would, for SQL of a
    // feature's own on this object's thread; invalid when the file cannot be
    // used (nor is it when its schema is not the game's own).
    QSqlDatabase connection();

private:
    enum class State { Closed, Open };
    enum class Fault { None, Broken, Locked, Failed, Unusable };
    struct Failure
    {
        Fault fault = Fault::None;
        QString reason;
        explicit operator bool() const { return fault != Fault::None; }
    };
    Failure failureOf(const QSqlError &error) const;
    Failure open();
    Failure openFile();
    Failure setUp();
    Failure foreignSchema(bool whole);
    Failure widenIndex();
    Failure setUpTotals();
    bool totalsAgree(Failure *damage);
    Failure inTransaction(const std::function<Failure(QSqlQuery &)> &steps);
    Failure run(QSqlQuery &query, std::initializer_list<std::span<const char *const>> steps);
    Failure write(const GameRecord &game);
    Outcome writeKept(const QDateTime &now);
    QString setAside(const QDateTime &now);
    qint64 salvage(const QString &aside);
    void readKept();
    void saveKept();
    void close();
    QSqlQuery select(const QString &sql, const Games &games) const;

    QString m_path;
    bool m_readOnly;
    QString m_connection;
    QSqlDatabase m_db;
    State m_state = State::Closed;
    int m_version = 0;
    bool m_totals = false; // the file keeps every game's figures summed, and they agree
    int m_busyMs = BusyTimeoutMs;
    QList<GameRecord> m_kept; // oldest first
    bool m_keptRead = false;
    bool m_keptChanged = false;
    QString m_keptError; // why the pending file could not be written
    bool m_told = false; // the games kept were told
};
