#pragma once
#include "records/gamerecord.h"

#include <QList>
#include <QPointF>
#include <QString>

// One key's (or kana's) figures over time: its miss rate and its typing time
// in each game it was expected in, oldest first, or in each day once there
// are more games than a chart shows apart. Numbered from 1 along the x axis.
struct KeyProgress
{
    QString key;
    bool byDay = false;
    qint64 games = 0;      // games that expected the key
    QList<QPointF> misses; // per cent of the tries
    QList<QPointF> times;  // mean typing ms, where a press was timed
    // Straight lines fitted through the points, from the first to the last.
    QList<QPointF> missTrend, timeTrend;
    QString firstDate, lastDate; // YYYY-MM-DD of the first and the last game
};

class KeyProgressBuilder
{
public:
    // Beyond this many games the points are days.
    static constexpr int MaxGames = 100;

    explicit KeyProgressBuilder(const QString &key);
    // Games in the order they ended; `endedAt` as the database keeps it.
    void addGame(const QString &endedAt, const KeyTally &tally);
    KeyProgress result() const;

    // Least squares; nothing for fewer than two points or all at one x.
    static QList<QPointF> trendOf(const QList<QPointF> &points);

private:
    struct Point
    {
        QString day;
        KeyTally tally;
    };
    static void add(QList<Point> &points, const QString &day, const KeyTally &tally, bool sameDay);

    QString m_key;
    qint64 m_games = 0;
    QList<Point> m_gamePoints; // while there are at most MaxGames
    QList<Point> m_days;
};
