#pragma once
#include "records/gamerecord.h"

#include <QHash>
#include <QList>

// A key's weight in the prompt draw; a key not listed weighs 1.
using KeyWeights = QHash<QChar, double>;

// What a player's figures say about their keys.
namespace WeakKeys {

// Fewer right keys than this say too little about a key.
constexpr qint64 MinTyped = 10;
// Fewer tries (right and missed) than this say too little about a key; a kana
// missed 17 times and typed once is weak all the same.
constexpr qint64 MinAttempts = 10;
// The games the prompt draw learns from.
constexpr int WeightGames = 50;
constexpr double MaxExtraWeight = 9;
// A key's miss rate counts as if it had this many more attempts (right or
// missed) at the player's average rate: a key tried a few times weighs little,
// and its weight grows with every attempt, without a step.
constexpr int PriorAttempts = 10;
// A key whose last MasteredAttempts attempts missed at most MasteredRate of
// them is mastered: it weighs 1, whatever its older misses.
constexpr int MasteredAttempts = 30;
constexpr double MasteredRate = 0.03;

// The weights from each game's tallies, the newest game first: 1 + 9 ×
// (rate − average) ÷ (highest rate − average), where the average is the
// player's over every key, the rates are drawn towards it by PriorAttempts,
// and the highest is that of the keys not mastered. Keys at or below the
// average, mastered keys, and every key when none stands above the average,
// weigh 1 and are left out.
KeyWeights weights(const QList<KeyTallies> &games);

struct Weak
{
    QString key;
    KeyTally tally;
};
// Keys tried at least MinAttempts times and missed at least once, highest
// miss rate first, ties by the longer typing time, then by the key; at most
// `count` of them.
QList<Weak> weakest(const KeyTallies &tallies, int count);

}
