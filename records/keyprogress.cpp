#include "records/keyprogress.h"

KeyProgressBuilder::KeyProgressBuilder(const QString &key) : m_key(key) {}

void KeyProgressBuilder::add(QList<Point> &points, const QString &day, const KeyTally &tally, bool sameDay)
{
    if (sameDay && !points.isEmpty() && points.last().day == day)
        points.last().tally += tally;
    else
        points.append({day, tally});
}

void KeyProgressBuilder::addGame(const QString &endedAt, const KeyTally &tally)
{
    if (tally.typed + tally.missed == 0)
        return;
    ++m_games;
    const QString day = endedAt.left(10);
    // Both are kept while it is open which of them will be shown; the days'
    // list stays as short as the calendar however many games there are.
    if (m_games <= MaxGames)
        add(m_gamePoints, day, tally, false);
    else
        m_gamePoints.clear();
    add(m_days, day, tally, true);
}

QList<QPointF> KeyProgressBuilder::trendOf(const QList<QPointF> &points)
{
    const double n = double(points.size());
    if (points.size() < 2)
        return {};
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (const QPointF &p : points) {
        sx += p.x();
        sy += p.y();
        sxx += p.x() * p.x();
        sxy += p.x() * p.y();
    }
    const double spread = n * sxx - sx * sx;
    if (spread <= 0)
        return {};
    const double slope = (n * sxy - sx * sy) / spread;
    const double at0 = (sy - slope * sx) / n;
    const double first = points.first().x(), last = points.last().x();
    return {QPointF(first, at0 + slope * first), QPointF(last, at0 + slope * last)};
}

KeyProgress KeyProgressBuilder::result() const
{
    KeyProgress progress;
    progress.key = m_key;
    progress.games = m_games;
    progress.byDay = m_games > MaxGames;
    const QList<Point> &points = progress.byDay ? m_days : m_gamePoints;
    for (qsizetype i = 0; i < points.size(); ++i) {
        const KeyTally &tally = points[i].tally;
        const double x = double(i + 1);
        progress.misses << QPointF(x, tally.missRate() * 100);
        if (tally.typed > tally.first)
            progress.times << QPointF(x, tally.typingMs());
    }
    progress.missTrend = trendOf(progress.misses);
    progress.timeTrend = trendOf(progress.times);
    if (!m_days.isEmpty()) {
        progress.firstDate = m_days.first().day;
        progress.lastDate = m_days.last().day;
    }
    return progress;
}
