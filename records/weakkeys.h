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

// 1 + 9 × the key's miss rate ÷ the highest miss rate, for keys typed at least
// MinTyped times; the others, and every key when none of those was missed,
// weigh 1 and are left out.
KeyWeights weights(const KeyTallies &tallies);

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
