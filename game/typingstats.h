#pragma once
#include <QString>
#include <cstdint>

// The figures of one game for the status bar. The window feeds it the judge's
// answers and its clock, in milliseconds from any fixed origin; nothing of it
// is written to the result files.
class TypingStats
{
public:
    // A game starts: Start or F2, a replay, or a prompt completed while idle
    // (the game then counts from that completion).
    void start(qint64 nowMs);
    // The game ends; its figures stay until the next start.
    void stop(qint64 nowMs, std::int16_t finalLevel);
    void pause(qint64 nowMs);
    void resume(qint64 nowMs);

    // A key the judge took, the one completing a prompt included.
    void accepted();
    // A key that produced a character the judge swallowed.
    void missed();

    bool paused() const { return m_pausedAt >= 0; }
    int keys() const { return m_keys; }
    int misses() const { return m_misses; }
    // Playing time: from the start, paused spans left out.
    qint64 playedMs(qint64 nowMs) const;
    // keys ÷ (keys + misses), one decimal: "96.9%"; "—" before the first key.
    QString accuracyText() const;
    // Keys a minute of playing time; "—" before the first key.
    QString speedText(qint64 nowMs) const;
    // "Level 5　打鍵 123　ミス 4　正確さ 96.9%　速さ 123 打/分", with the level
    // of the game under way, or the last game's once it ended.
    QString statusText(std::int16_t currentLevel, qint64 nowMs) const;

private:
    bool m_running = false;
    qint64 m_startedAt = 0;
    qint64 m_endedAt = -1;   // set when the game ended
    qint64 m_pausedAt = -1;  // set while paused
    qint64 m_pausedMs = 0;   // paused time before the current pause
    int m_keys = 0;
    int m_misses = 0;
    std::int16_t m_finalLevel = 0;
};
