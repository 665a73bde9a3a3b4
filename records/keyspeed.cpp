#include "records/keyspeed.h"

#include <algorithm>

namespace KeySpeed {

QList<Slow> slowest(const KeyTallies &tallies, int count)
{
    QList<Slow> keys;
    for (auto it = tallies.cbegin(); it != tallies.cend(); ++it) {
        if (it->typed - it->first >= MinTimed)
            keys.append({it.key(), *it});
    }
    std::stable_sort(keys.begin(), keys.end(), [](const Slow &a, const Slow &b) {
        return a.tally.typingMs() > b.tally.typingMs();
    });
    if (keys.size() > count)
        keys.resize(count);
    return keys;
}

double perMinute(double ms)
{
    return ms > 0 ? 60000 / ms : 0;
}

}
