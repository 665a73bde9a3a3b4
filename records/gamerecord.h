#pragma once
#include <QMap>
#include <QString>

// How one key (or kana) fared: typed right, wrong keys pressed while it was
// the one expected, and the milliseconds it took to type it right; of those
// presses, `first` began a prompt and took `firstMs` (reading it), and
// `missMs` went on misses before the right key.
struct KeyTally
{
    qint64 typed = 0;
    qint64 missed = 0;
    qint64 ms = 0;
    qint64 first = 0;
    qint64 firstMs = 0;
    qint64 missMs = 0;

    KeyTally &operator+=(const KeyTally &other)
    {
        typed += other.typed;
        missed += other.missed;
        ms += other.ms;
        first += other.first;
        firstMs += other.firstMs;
        missMs += other.missMs;
        return *this;
    }
    // misses ÷ (typed + misses); 0 when it was never expected.
    double missRate() const { return typed + missed == 0 ? 0 : double(missed) / double(typed + missed); }
    double meanMs() const { return typed == 0 ? 0 : double(ms) / double(typed); }
    // The typing itself: the mean of the presses that did not begin a prompt,
    // without the time spent on misses; 0 when there is none.
    double typingMs() const
    {
        return typed - first <= 0 ? 0 : double(ms - firstMs - missMs) / double(typed - first);
    }
    bool operator==(const KeyTally &) const = default;
};

// Keys by the character typed, kana by their full-width hiragana.
using KeyTallies = QMap<QString, KeyTally>;

// One finished game as the game database stores it.
struct GameRecord
{
    bool kanaMode = false;
    QString player;
    QString startedAt; // local time, YYYY-MM-DDTHH:MM:SS
    QString endedAt;
    int level = 0;
    qint64 keys = 0;
    qint64 misses = 0;
    qint64 playedMs = 0; // pauses left out
    bool otherSpellings = false;
    QString uid; // made when the game ended; one is made on writing when empty
    bool lesson = false;
    KeyTallies keyStats;
    KeyTallies kanaStats; // kana mode only
};
