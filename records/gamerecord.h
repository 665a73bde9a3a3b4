#pragma once
#include <QMap>
#include <QString>

// How one key (or kana) fared: typed right, wrong keys pressed while it was
// the one expected, and the milliseconds it took to type it right.
struct KeyTally
{
    qint64 typed = 0;
    qint64 missed = 0;
    qint64 ms = 0;

    KeyTally &operator+=(const KeyTally &other)
    {
        typed += other.typed;
        missed += other.missed;
        ms += other.ms;
        return *this;
    }
    // misses ÷ (typed + misses); 0 when it was never expected.
    double missRate() const { return typed + missed == 0 ? 0 : double(missed) / double(typed + missed); }
    double meanMs() const { return typed == 0 ? 0 : double(ms) / double(typed); }
    bool operator==(const KeyTally &) const = default;
};

// Keys by the character typed (on the kana keys, by the key's kana), kana by
// their full-width hiragana.
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
    bool kanaInput = false; // kana prompts typed on the kana keys
    KeyTallies keyStats;
    KeyTallies kanaStats; // kana mode only
};
