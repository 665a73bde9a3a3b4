#include "game/typingstats.h"

void TypingStats::start(qint64 nowMs)
{
    *this = TypingStats();
    m_running = true;
    m_startedAt = nowMs;
}

void TypingStats::stop(qint64 nowMs, std::int16_t finalLevel)
{
    if (!m_running)
        return;
    resume(nowMs);
    m_running = false;
    m_endedAt = nowMs;
    m_finalLevel = finalLevel;
}

void TypingStats::pause(qint64 nowMs)
{
    if (m_running && !paused())
        m_pausedAt = nowMs;
}

void TypingStats::resume(qint64 nowMs)
{
    if (!paused())
        return;
    m_pausedMs += nowMs - m_pausedAt;
    m_pausedAt = -1;
}

void TypingStats::accepted()
{
    if (m_running && !paused())
        ++m_keys;
}

void TypingStats::missed()
{
    if (m_running && !paused())
        ++m_misses;
}

qint64 TypingStats::playedMs(qint64 nowMs) const
{
    if (!m_running && m_endedAt < 0)
        return 0;
    const qint64 end = m_endedAt >= 0 ? m_endedAt : paused() ? m_pausedAt : nowMs;
    return qMax<qint64>(0, end - m_startedAt - m_pausedMs);
}

QString TypingStats::accuracyText() const
{
    if (m_keys + m_misses == 0)
        return QStringLiteral("—");
    const double percent = 100.0 * m_keys / (m_keys + m_misses);
    return QString::number(percent, 'f', 1) + u'%';
}

QString TypingStats::speedText(qint64 nowMs) const
{
    const qint64 played = playedMs(nowMs);
    if (m_keys == 0 || played <= 0)
        return QStringLiteral("—");
    return QString::number(qRound64(m_keys * 60000.0 / double(played)));
}

QString TypingStats::statusText(std::int16_t currentLevel, qint64 nowMs) const
{
    const std::int16_t level = !m_running && m_endedAt >= 0 ? m_finalLevel : currentLevel;
    return QStringLiteral("Level %1　打鍵 %2　ミス %3　正確さ %4　速さ %5 打/分")
        .arg(level)
        .arg(m_keys)
        .arg(m_misses)
        .arg(accuracyText(), speedText(nowMs));
}
