#include "records/weakkeys.h"

#include <algorithm>

namespace WeakKeys {

KeyWeights weights(const KeyTallies &tallies)
{
    double highest = 0;
    for (const KeyTally &tally : tallies) {
        if (tally.typed >= MinTyped)
            highest = std::max(highest, tally.missRate());
    }
    KeyWeights weights;
    if (highest == 0)
        return weights;
    for (auto it = tallies.cbegin(); it != tallies.cend(); ++it) {
        const double rate = it->typed >= MinTyped ? it->missRate() : 0;
        if (rate > 0 && it.key().size() == 1)
            weights.insert(it.key()[0], 1 + MaxExtraWeight * rate / highest);
    }
    return weights;
}

QList<Weak> weakest(const KeyTallies &tallies, int count)
{
    QList<Weak> keys;
    for (auto it = tallies.cbegin(); it != tallies.cend(); ++it) {
        if (it->typed + it->missed >= MinAttempts && it->missed > 0)
            keys.append({it.key(), *it});
    }
    // Compared as fractions, so equal rates from different counts tie exactly.
    std::sort(keys.begin(), keys.end(), [](const Weak &a, const Weak &b) {
        const qint64 ra = a.tally.missed * (b.tally.typed + b.tally.missed);
        const qint64 rb = b.tally.missed * (a.tally.typed + a.tally.missed);
        if (ra != rb)
            return ra > rb;
        if (a.tally.typingMs() != b.tally.typingMs())
            return a.tally.typingMs() > b.tally.typingMs();
        return a.key < b.key;
    });
    if (keys.size() > count)
        keys.resize(count);
    return keys;
}

}
