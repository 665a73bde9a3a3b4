#pragma once
#include "records/trend.h"

#include <QList>
#include <QPointF>
#include <QStringList>

// Each game's speed (keys typed right a minute of play) and accuracy (keys
// typed right of all keys pressed, in per cent), games numbered from 1 in the
// order they ended, with their averages over the last ten games; at most
// 512 dots a series, however many games.
struct SpeedProgress
{
    qint64 games = 0;
    double recentSpeed = 0;
    double recentAccuracy = 0;
    QList<QPointF> speeds, speedAverages;
    QList<QPointF> accuracies, accuracyAverages;
    // With players told apart: the dots again, one list a coloured player and
    // the last for everyone else.
    QList<QList<QPointF>> playerSpeeds, playerAccuracies;
};

class SpeedProgressBuilder
{
public:
    static constexpr int PlayerColours = 6;

    // Players each in a colour of their own, in this order; any other name
    // counts with the rest. None: the players are not told apart.
    explicit SpeedProgressBuilder(const QStringList &coloured = {});
    // A game without playing time has no speed, one without keys no accuracy.
    void addGame(qint64 keys, qint64 misses, qint64 playedMs, const QString &player = {});
    SpeedProgress result() const;

private:
    struct Players
    {
        Span spans[PlayerColours + 1];
        void merge(const Players &later)
        {
            for (int i = 0; i <= PlayerColours; ++i)
                spans[i].merge(later.spans[i]);
        }
    };
    QStringList m_coloured;
    bool m_apart = false;
    qint64 m_games = 0;
    // The chart makes an item of every dot and lays them all out again at each
    // choice of player: 512 dots a series, about what a chart a few hundred
    // pixels wide can tell apart (1,024 held the window's thread twice as long).
    Trend<Players, 256> m_speeds, m_accuracies;
};
