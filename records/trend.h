#pragma once
#include <QList>
#include <QPointF>
#include <algorithm>
#include <vector>

// The lowest and highest of a run of values, each at its own game (0: none).
struct Span
{
    struct Mark
    {
        qint64 game = 0;
        double value = 0;
    };
    Mark low, high;

    void add(qint64 game, double value)
    {
        if (low.game == 0 || value < low.value)
            low = {game, value};
        if (high.game == 0 || value > high.value)
            high = {game, value};
    }
    void merge(const Span &later)
    {
        if (later.low.game == 0)
            return;
        if (low.game == 0 || later.low.value < low.value)
            low = later.low;
        if (high.game == 0 || later.high.value > high.value)
            high = later.high;
    }
    // Both marks in the order of their games; one where they are the same game.
    void appendTo(QList<QPointF> &points) const
    {
        if (low.game == 0)
            return;
        const Mark &first = low.game <= high.game ? low : high;
        const Mark &second = low.game <= high.game ? high : low;
        points << QPointF(double(first.game), first.value);
        if (second.game != first.game)
            points << QPointF(double(second.game), second.value);
    }
};

// A value for each game, however many games, as a few thousand points: games
// fall into at most MaxBuckets buckets of equal width. Each bucket keeps the
// Span of its values and, at its middle, the mean of its games' averages over
// their last RecentGames games, so the line reads as a trend at any length. A
// short run keeps every game. Each bucket also holds an Extra of the caller's,
// merged with Extra::merge(const Extra &later) when buckets join.
template <typename Extra, int Buckets = 1024>
class Trend
{
public:
    static constexpr int MaxBuckets = Buckets;
    static constexpr int RecentGames = 10;

    Trend() { m_buckets.reserve(MaxBuckets); }

    // Games come numbered from 1 in order; a game without a value is left out.
    // Returns the extra of the game's bucket.
    Extra &add(qint64 game, double value)
    {
        ++m_count;
        if (m_count == 1)
            m_first = value;
        m_last = value;
        const int slot = int((m_count - 1) % RecentGames);
        m_recentSum += value - m_recent[slot];
        m_recent[slot] = value;

        qint64 index = (game - 1) / m_width;
        while (index >= MaxBuckets) {
            const size_t n = m_buckets.size();
            for (size_t i = 0; 2 * i < n; ++i) {
                Bucket pair = m_buckets[2 * i];
                if (2 * i + 1 < n)
                    pair.merge(m_buckets[2 * i + 1]);
                m_buckets[i] = pair;
            }
            m_buckets.resize((n + 1) / 2);
            m_width *= 2;
            index = (game - 1) / m_width;
        }
        m_buckets.resize(std::max<size_t>(m_buckets.size(), size_t(index + 1)));
        Bucket &bucket = m_buckets[size_t(index)];
        bucket.values.add(game, value);
        if (bucket.firstGame == 0)
            bucket.firstGame = game;
        bucket.lastGame = game;
        ++bucket.count;
        bucket.averageSum += recentAverage();
        return bucket.extra;
    }

    qint64 count() const { return m_count; }
    // Of the last RecentGames values, or fewer while there are fewer.
    double recentAverage() const
    {
        return m_count == 0 ? 0 : m_recentSum / double(std::min<qint64>(m_count, RecentGames));
    }

    // Each bucket's lowest and highest value, and its averages' mean; both run
    // from game 1 to `games`, the first and the last value standing in where a
    // bucket's marks fall short of the ends.
    void points(qint64 games, QList<QPointF> &values, QList<QPointF> &averages) const
    {
        for (const Bucket &bucket : m_buckets) {
            if (bucket.count == 0)
                continue;
            bucket.values.appendTo(values);
            averages << QPointF(double(bucket.firstGame + bucket.lastGame) / 2,
                                bucket.averageSum / double(bucket.count));
        }
        if (m_count == 0)
            return;
        const auto spanAllGames = [games](QList<QPointF> &p, double first, double last) {
            if (p.first().x() > 1)
                p.prepend(QPointF(1, first));
            if (p.last().x() < double(games))
                p << QPointF(double(games), last);
        };
        spanAllGames(values, m_first, m_last);
        spanAllGames(averages, m_first, recentAverage());
    }

    template <typename Visit>
    void forEachExtra(Visit visit) const
    {
        for (const Bucket &bucket : m_buckets)
            visit(bucket.extra);
    }

private:
    struct Bucket
    {
        Span values;
        qint64 firstGame = 0, lastGame = 0, count = 0;
        double averageSum = 0;
        Extra extra;
        void merge(const Bucket &later)
        {
            values.merge(later.values);
            if (firstGame == 0)
                firstGame = later.firstGame;
            if (later.lastGame != 0)
                lastGame = later.lastGame;
            count += later.count;
            averageSum += later.averageSum;
            extra.merge(later.extra);
        }
    };

    qint64 m_count = 0;
    double m_first = 0, m_last = 0;
    double m_recent[RecentGames] = {};
    double m_recentSum = 0;
    qint64 m_width = 1;
    std::vector<Bucket> m_buckets;
};
