#include "records/speedprogress.h"

void SpeedProgressBuilder::addGame(qint64 keys, qint64 misses, qint64 playedMs)
{
    ++m_games;
    if (playedMs > 0)
        m_speeds.add(m_games, double(keys) * 60000 / double(playedMs));
    if (keys + misses > 0)
        m_accuracies.add(m_games, double(keys) * 100 / double(keys + misses));
}

SpeedProgress SpeedProgressBuilder::result() const
{
    SpeedProgress progress;
    progress.games = m_games;
    progress.recentSpeed = m_speeds.recentAverage();
    progress.recentAccuracy = m_accuracies.recentAverage();
    m_speeds.points(m_games, progress.speeds, progress.speedAverages);
    m_accuracies.points(m_games, progress.accuracies, progress.accuracyAverages);
    return progress;
}
