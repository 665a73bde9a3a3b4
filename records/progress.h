#pragma once
#include "platform/cp932.h"

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
};

// Builds a Progress in one pass over the file, line by line; lines that are
// no record are skipped.
class ProgressBuilder
{
public:
    static constexpr int MaxBuckets = 1024;
    // A file of endless distinct names must not grow the list without bound.
    static constexpr int MaxPlayers = 1000;
    static constexpr int RecentGames = 10;
    static constexpr qsizetype MaxShownName = 64;

    // Names the player: two names are one player when they read as the same
    // text, whatever their bytes.
    static QByteArray keyOf(QStringView name);

    // Without a player, every record counts.
    explicit ProgressBuilder(std::optional<QByteArray> playerKey);
    void addLine(QByteArrayView line);
    // Streams the device in chunks, so memory does not grow with the file.
    void addAll(QIODevice &device);
    Progress result() const;

private:
    struct Mark
    {
        qint64 game = 0; // 0: none yet
        double value = 0;
    };
    // The lowest and highest value of a run of games.
    struct Span
    {
        Mark low, high;
        void add(qint64 game, double value);
        void merge(const Span &later);
        void appendTo(QList<QPointF> &points) const;
    };
    struct Bucket
    {
        Span levels;
        qint64 firstGame = 0, lastGame = 0;
        double averageSum = 0;
        Mark firstRise, lastRise; // new bests within the bucket
        void merge(const Bucket &later);
    };

    bool isChosen(QByteArrayView name);
    void addGame(std::int16_t level, QByteArrayView date);

    std::optional<QByteArray> m_player;
    Cp932::Decoder m_decode;
    QHash<QByteArray, bool> m_names; // stored name, or its digest: is it the chosen player
    QStringList m_players;
    QList<QByteArray> m_playerKeys;

    qint64 m_games = 0;
    std::int16_t m_firstLevel = 0;
    std::int16_t m_best = 0;
    qint64 m_bestGame = 0;
    QByteArray m_bestDate, m_firstDate, m_lastDate;
    std::int16_t m_recent[RecentGames] = {};
    qint64 m_recentSum = 0;

    qint64 m_bucketWidth = 1;
    std::vector<Bucket> m_buckets;
};
