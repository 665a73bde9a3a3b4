#include "records/lessonrule.h"

#include <algorithm>

namespace LessonRule {

QString sorted(const QString &letters)
{
    QString out;
    for (QChar c : Order) {
        if (letters.contains(c))
            out += c;
    }
    return out;
}

Progress progressOf(QChar letter, const QList<KeyTallies> &games)
{
    const QString key(letter);
    Progress progress;
    double left = double(MissWindow);
    double typed = 0, missed = 0, timed = 0, timedMs = 0;
    for (const KeyTallies &game : games) {
        const auto it = game.constFind(key);
        if (it == game.cend())
            continue;
        const KeyTally &t = *it;
        progress.attempts += t.typed;
        if (left <= 0)
            continue;
        const double share = double(t.typed) <= left ? 1.0 : left / double(t.typed);
        typed += double(t.typed) * share;
        missed += double(t.missed) * share;
        timed += double(t.typed - t.first) * share;
        timedMs += double(t.ms - t.firstMs - t.missMs) * share;
        left -= double(t.typed) * share;
    }
    progress.missRate = typed + missed > 0 ? missed / (typed + missed) : 0;
    progress.typingMs = timed > 0 ? std::max(0.0, timedMs / timed) : 0;
    return progress;
}

}
