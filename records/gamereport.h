#pragma once
#include "records/gamerecord.h"

#include <QList>
#include <QString>
#include <optional>

// What the game-over dialog tells about the game just played, besides its
// level: its speed and accuracy against the player's recent games, the keys
// missed with what was pressed instead, and the slowest keys.
struct GameReport
{
    static constexpr int AverageGames = 10;
    static constexpr int ShownConfusions = 3;
    static constexpr int ShownSlowest = 3;

    // keys, misses and played_ms of one game, as the game database keeps them.
    struct Figures
    {
        qint64 keys = 0;
        qint64 misses = 0;
        qint64 playedMs = 0;
    };
    // The mean of each game's figures; games with no key pressed are left out.
    struct Average
    {
        int games = 0;
        double speed = 0;
        double accuracy = 0;
    };
    struct Confusion
    {
        QChar expected;
        QChar pressed;
        qint64 count = 0;
    };
    struct Slow
    {
        QString key;
        double ms = 0;
    };

    bool pressed = false; // any key, right or wrong
    double speed = 0;     // right keys a minute of playing time
    double accuracy = 0;  // right keys ÷ keys pressed, 0 to 1
    // The player's earlier games of the mode; none until known.
    std::optional<Average> average;
    QList<Confusion> confusions; // most often first, at most ShownConfusions
    QList<Slow> slowest;         // by the typing time alone, at most ShownSlowest

    static GameReport of(const GameRecord &game);
    static Average averageOf(const QList<Figures> &games);

    // "速さ 123 打/分 ▲12"
    QString speedLine() const;
    // "正確さ 96.5% ▼1.2"
    QString accuracyLine() const;
    // What ▲ and ▼ compare with; empty while there is nothing to compare with.
    QString averageLine() const;
    // "ミス K→L 3回、A→S 1回"
    QString missLine() const;
    // "遅いキー K 350ms、L 300ms、D 280ms"
    QString slowLine() const;
};
