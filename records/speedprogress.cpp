#include "records/speedprogress.h"

SpeedProgressBuilder::SpeedProgressBuilder(const QStringList &coloured)
    : m_coloured(coloured.mid(0, PlayerColours)), m_apart(!coloured.isEmpty())
{
}

void SpeedProgressBuilder::addGame(qint64 keys, qint64 misses, qint64 playedMs, const QString &player)
{
    ++m_games;
    const qsizetype found = m_apart ? m_coloured.indexOf(player) : -1;
    const int slot = found < 0 ? PlayerColours : int(found);
    if (playedMs > 0) {
        const double speed = double(keys) * 60000 / double(playedMs);
        Players &players = m_speeds.add(m_games, speed);
        if (m_apart)
            players.spans[slot].add(m_games, speed);
    }
    if (keys + misses > 0) {
        const double accuracy = double(keys) * 100 / double(keys + misses);
        Players &players = m_accuracies.add(m_games, accuracy);
        if (m_apart)
            players.spans[slot].add(m_games, accuracy);
    }
}

SpeedProgress SpeedProgressBuilder::result() const
{
    SpeedProgress progress;
    progress.games = m_games;
    progress.recentSpeed = m_speeds.recentAverage();
    progress.recentAccuracy = m_accuracies.recentAverage();
    m_speeds.points(m_games, progress.speeds, progress.speedAverages);
    m_accuracies.points(m_games, progress.accuracies, progress.accuracyAverages);
    if (m_apart) {
        progress.playerSpeeds.resize(PlayerColours + 1);
        progress.playerAccuracies.resize(PlayerColours + 1);
        m_speeds.forEachExtra([&](const Players &players) {
            for (int i = 0; i <= PlayerColours; ++i)
                players.spans[i].appendTo(progress.playerSpeeds[i]);
        });
        m_accuracies.forEachExtra([&](const Players &players) {
            for (int i = 0; i <= PlayerColours; ++i)
                players.spans[i].appendTo(progress.playerAccuracies[i]);
        });
    }
    return progress;
}
