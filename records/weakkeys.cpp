#include "records/weakkeys.h"

#include <QHash>

#include <algorithm>

namespace WeakKeys {

namespace {
// The misses of the key's last MasteredAttempts attempts; a game holds no
// order of its keys, so the oldest game counted gives its share at its rate.
bool mastered(const QString &key, const QList<KeyTallies> &games)
{
    double attempts = 0, missed = 0;
    for (const KeyTallies &game : games) {
        const KeyTally tally = game.value(key);
        const qint64 tried = tally.typed + tally.missed;
        if (tried == 0)
            continue;
        const double taken = std::min<double>(tried, MasteredAttempts - attempts);
        attempts += taken;
        missed += tally.missed * taken / double(tried);
        if (attempts >= MasteredAttempts)
            return missed <= MasteredRate * MasteredAttempts;
    }
    return false;
}
}

KeyWeights weights(const QList<KeyTallies> &games)
{
    KeyTallies sums;
    for (const KeyTallies &game : games) {
        for (auto it = game.cbegin(); it != game.cend(); ++it)
            sums[it.key()] += *it;
    }
    qint64 attempts = 0, missed = 0;
    for (const KeyTally &tally : std::as_const(sums)) {
        attempts += tally.typed + tally.missed;
        missed += tally.missed;
    }
    KeyWeights weights;
    if (attempts == 0)
        return weights;
    const double average = double(missed) / double(attempts);
    QHash<QString, double> rates;
    double highest = average;
    for (auto it = sums.cbegin(); it != sums.cend(); ++it) {
        const double rate = (double(it->missed) + PriorAttempts * average)
                          / double(it->typed + it->missed + PriorAttempts);
        if (rate <= average || it.key().size() != 1 || mastered(it.key(), games))
            continue;
        rates.insert(it.key(), rate);
        highest = std::max(highest, rate);
    }
    for (auto it = rates.cbegin(); it != rates.cend(); ++it)
        weights.insert(it.key()[0], 1 + MaxExtraWeight * (*it - average) / (highest - average));
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
