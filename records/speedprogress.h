#pragma once
#include "records/trend.h"

#include <QList>
#include <QPointF>

// Each game's speed (keys typed right a minute of play) and accuracy (keys
// typed right of all keys pressed, in per cent), games numbered from 1 in the
// order they ended, with their averages over the last ten games; as few
// points as the chart of levels keeps, however many games.
struct SpeedProgress
{
    qint64 games = 0;
    double recentSpeed = 0;
    double recentAccuracy = 0;
    QList<QPointF> speeds, speedAverages;
    QList<QPointF> accuracies, accuracyAverages;
};

class SpeedProgressBuilder
{
public:
    // A game without playing time has no speed, one without keys no accuracy.
    void addGame(qint64 keys, qint64 misses, qint64 playedMs);
    SpeedProgress result() const;

private:
    struct Nothing
    {
        void merge(const Nothing &) {}
    };
    qint64 m_games = 0;
    // Two series of dots in one chart: together as many as the chart of levels.
    Trend<Nothing, Trend<Nothing>::MaxBuckets / 2> m_speeds, m_accuracies;
};
