#pragma once
#include "records/gamerecord.h"

#include <QDateTime>
#include <QList>
#include <QString>

class GameDatabase;

// A player's lesson letters in Kolrin.db, one row a letter and mode:
//   lesson_keys(mode TEXT NOT NULL ('kana', 'letters' or 'kanainput'),
//               player TEXT NOT NULL, key TEXT NOT NULL (a capital, or for
//               'kanainput' a kana key's unshifted kana), unlocked_at TEXT NOT NULL
//               (local time, YYYY-MM-DDTHH:MM:SS), PRIMARY KEY (mode, player, key))
// Rows are only ever added, so a letter once come stays. Used on the thread
// the database is used on.
class LessonRecords
{
public:
    explicit LessonRecords(GameDatabase &db) : m_db(db) {}

    struct Lesson
    {
        QString kept;             // the letters, in no particular order
        QList<KeyTallies> games;  // each game's keys, newest first
        bool read = false;        // false: the file could not be read
    };
    // The letters kept for the player in the mode, and the keys of their
    // `games` latest games of it. Nothing when the file cannot be read.
    // `kanaInput`: kana mode typed on the kana keys, a mode of its own.
    Lesson read(bool kanaMode, const QString &player, int games, bool kanaInput = false);
    // Keeps the letters; one kept already stays as it was. False when the
    // file could not take them.
    bool keep(bool kanaMode, const QString &player, const QString &letters, const QDateTime &now,
              bool kanaInput = false);

private:
    GameDatabase &m_db;
};
