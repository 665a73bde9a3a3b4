#pragma once
#include "records/gamerecord.h"

#include <QList>
#include <QString>

// How fast a player types each key: the typing itself, from the prompt's
// previous right key, without the time to read a new prompt or to miss.
namespace KeySpeed {

// Fewer timed presses than this say too little about a key.
constexpr qint64 MinTimed = 10;

struct Slow
{
    QString key;
    KeyTally tally;
};
// Keys timed at least MinTimed times, slowest first, ties by the key; at most
// `count` of them.
QList<Slow> slowest(const KeyTallies &tallies, int count);

// Keys a minute at a mean time of `ms` a key; 0 for no time.
double perMinute(double ms);

}
