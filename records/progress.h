#pragma once
#include "platform/cp932.h"
#include "records/trend.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QIODevice>
#include <QList>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

// One player's results in the order the games ended, from one result file.
// A game's number (x of every point) counts the chosen player's records from 1;
// with everyone chosen it counts every record. Date texts are the stored ones,
// left empty where the stored text is no date.
struct Progress
{
    // Every name in the file, in order of first appearance; one far longer than
    // anyone types is cut short here, and its key still chooses it whole.
    QStringList players;
    QList<QByteArray> playerKeys; // one a name, for ProgressBuilder to choose
    qint64 games = 0;
    std::int16_t bestLevel = 0;
    qint64 bestGame = 0; // the first game that reached bestLevel
    QString bestDate;
    double recentAverage = 0; // of the last ten games
    QString firstDate;
    QString lastDate;

    // However long the file, a few thousand points each: games fall into at
    // most MaxBuckets buckets of equal width. Each bucket keeps its lowest and
    // highest level, each at its own game, and the mean of its games' recent
    // averages at its middle, so the line reads as a trend at any length. A
    // short file keeps every game; a long one still runs from the first game
    // to the last.
    QList<QPointF> levels;
    QList<QPointF> recentAverages;
    // The running best as a step line: it rises at the first and the last new
    // best of each bucket, and runs on to the last game.
    QList<QPointF> bestSteps;
    // With everyone chosen, the levels again, the first PlayerColours players'
    // each apart (in the order of players), the others' last and together.
    QList<QList<QPointF>> playerLevels;
};

// Builds a Progress in one pass over the file, line by line; lines that are
// no record are skipped.
class ProgressBuilder
{
public:
    static constexpr int MaxBuckets = Trend<int>::MaxBuckets;
    // A file of endless distinct names must not grow the list without bound.
    static constexpr int MaxPlayers = 1000;
    static constexpr int RecentGames = Trend<int>::RecentGames;
    static constexpr int PlayerColours = 6;
    static constexpr qsizetype MaxShownName = 64;

    // Names the player: two names are one player when they read as the same
    // text, whatever their bytes.
    static QByteArray keyOf(QStringView name);

    // Without a player, every record counts.
    explicit ProgressBuilder(std::optional<QByteArray> playerKey);
    void addLine(QByteArrayView line);
    // Streams the device in chunks, so memory does not grow with the file.
    void addAll(QIODevice &device, const std::function<bool()> &stop = {});
    Progress result() const;

private:
    struct Marks
    {
        Span::Mark firstRise, lastRise; // new bests within the bucket
        Span players[PlayerColours + 1];
        void merge(const Marks &later);
    };

    // The chosen player's place among the coloured ones (the last: any other);
    // -1 for a player not chosen.
    int slotOf(QByteArrayView name);
    int lookUp(QByteArrayView name);
    void addGame(std::int16_t level, QByteArrayView date, int slot);

    std::optional<QByteArray> m_player;
    Cp932::Decoder m_decode;
    QHash<QByteArray, int> m_names; // stored name, or its digest: its slot
    static constexpr int NoSlot = -2;
    QByteArray m_lastName; // the name of the line before, and its slot
    int m_lastSlot = NoSlot;
    QStringList m_players;
    QList<QByteArray> m_playerKeys;

    qint64 m_games = 0;
    std::int16_t m_best = 0;
    qint64 m_bestGame = 0;
    QByteArray m_bestDate, m_firstDate, m_lastDate;
    Trend<Marks> m_levels;
};
