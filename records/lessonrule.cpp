#include "records/lessonrule.h"

#include "platform/keyboardlayout.h"

#include <algorithm>

namespace LessonRule {

QString sorted(const QString &letters)
{
    return LetterCourse.sorted(letters);
}

QString Course::sorted(const QString &keys) const
{
    QString out;
    for (QChar c : order) {
        if (keys.contains(c))
            out += c;
    }
    return out;
}

QChar kanaKeyOf(QChar legend)
{
    const QChar key = KeyboardLayout::keyOfKana(legend);
    return key.isNull() ? QChar() : KeyboardLayout::kanaOf(key, false);
}

KeyTallies byKanaKey(const KeyTallies &legends)
{
    KeyTallies keys;
    for (auto it = legends.cbegin(); it != legends.cend(); ++it) {
        const QChar key = it.key().size() == 1 ? kanaKeyOf(it.key()[0]) : QChar();
        if (!key.isNull())
            keys[QString(key)] += *it;
    }
    return keys;
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
