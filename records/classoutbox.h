#pragma once
#include "records/gamerecord.h"

#include <QList>
#include <QString>

class GameDatabase;

// The games of Kolrin.db the class server has not acknowledged yet, and the
// note (class_sent) of those it has. On the game database's thread only.
class ClassOutbox
{
public:
    explicit ClassOutbox(GameDatabase &database) : m_database(database) {}

    struct Outgoing
    {
        qint64 id = 0;
        GameRecord game;
    };
    // The oldest `limit` games not yet acknowledged, with their key and kana rows.
    QList<Outgoing> waiting(int limit);
    // `at`: local time, YYYY-MM-DDTHH:MM:SS. False when the file could not take it.
    bool markSent(const QList<qint64> &ids, const QString &at);
    qint64 waitingCount();

private:
    GameDatabase &m_database;
};
