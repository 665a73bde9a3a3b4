#pragma once
#include "records/gamerecord.h"
#include "shell/classsettings.h"

#include <QList>
#include <QSqlDatabase>

class QSqlError;
class QSqlQuery;
#include <QString>

// One connection to the class server (PostgreSQL through Qt's QPSQL driver),
// used by one thread only: every call may wait for the network, so none is
// ever made on the window's thread. Every value is bound; the connection and
// each statement have a time limit, and a game sent twice counts once.
class ClassServer
{
public:
    static constexpr int ConnectTimeoutS = 4; // libpq's own limit, per address tried
    static constexpr int StatementTimeoutMs = 5000;
    static constexpr int MaxNameLength = 64; // as the server's tables take it

    explicit ClassServer(const ClassSettings &settings);
    ~ClassServer();
    ClassServer(const ClassServer &) = delete;
    ClassServer &operator=(const ClassServer &) = delete;

    enum class Status {
        Ok,
        Unreachable, // down, slow, no driver: try again later
        LoginRefused, // a wrong password or an unknown role: tell the player
        Refused, // the server will never take this row
    };
    struct Answer
    {
        Status status = Status::Ok;
        QString reason; // the server's or the driver's words
        bool ok() const { return status == Status::Ok; }
    };

    // Connects when not connected yet.
    Answer open();
    // Connects and reads the ranking views: what "test the connection" means.
    Answer check();
    // One game with its key and kana rows, in one transaction. `added` is false
    // when the server had it already.
    Answer send(const GameRecord &game, bool *added = nullptr);

    struct Row
    {
        int level = 0;
        QString player;
        QString endedAt; // "YYYY/MM/DD HH:MM"
    };
    struct Ranking
    {
        QList<Row> best;    // the 30 best games, highest first
        QList<Row> players; // each player's best, highest first
    };
    // The class's games of `mode` ("letters", "kana") that ended at `since`
    // (local time, YYYY-MM-DDTHH:MM:SS) or later; empty `since`: all of them.
    Answer ranking(const QString &mode, const QString &since, Ranking *ranking);
    // Its two parts.
    Answer best(const QString &mode, const QString &since, QList<Row> *rows);
    Answer players(const QString &mode, const QString &since, QList<Row> *rows);

    static QString modeName(const GameRecord &game);

private:
    Answer failed(const QSqlError &error);
    Answer read(QSqlQuery &query, QList<Row> *rows);

    ClassSettings m_settings;
    QString m_connection;
    QSqlDatabase m_db;
};
