#include "game/lessons.h"

#include "game/kana.h"
#include "game/kanakeys.h"
#include "game/romajispelling.h"
#include "game/romajitable.h"

#include <algorithm>

namespace {

int lockedIn(const QString &spelling, const QString &letters)
{
    QString locked;
    for (QChar c : spelling) {
        if (!letters.contains(c) && !locked.contains(c))
            locked += c;
    }
    return int(locked.size());
}

// The kana keys of an entry, named as KanaCourse names them; empty when one
// of its kana has no key.
QString kanaKeysOf(const RomajiTable &table, int i)
{
    QString keys;
    for (QChar legend : KanaKeys::strokesOf(HanToZen(table.KanaList[i])))
        keys += LessonRule::kanaKeyOf(legend);
    return keys;
}

// Entries by how many locked keys they have (locked, index): those of fewest,
// and while they are fewer than MinKanaEntries the next fewest, a whole group
// at a time, in table order.
QList<int> fewestLocked(QList<std::pair<int, int>> ranked)
{
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    QList<int> entries;
    for (qsizetype k = 0; k < ranked.size(); ++k) {
        // A whole group of equally many locked letters joins, or none of it.
        if (entries.size() >= Lessons::MinKanaEntries && ranked[k].first != ranked[k - 1].first)
            break;
        entries.append(ranked[k].second);
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

QStringList spellingsOf(const RomajiTable &table, int i, bool otherSpellings)
{
    return otherSpellings ? RomajiSpelling::spellingsOf(table.KanaList[i], table.RomaList[i])
                          : QStringList{table.RomaList[i]};
}

}

namespace Lessons {

QString unlockedAfter(const QString &unlocked, const QList<KeyTallies> &games,
                      const Practised &practised, const Course &course)
{
    QString letters = course.sorted(unlocked);
    for (;;) {
        const auto next = std::find_if(course.order.begin(), course.order.end(),
                                       [&letters](QChar c) { return !letters.contains(c); });
        if (next == course.order.end())
            return letters;
        // With nothing to judge by (no word list yet), nothing comes.
        const QString asked = practised(letters);
        if (asked.isEmpty())
            return letters;
        for (QChar c : asked) {
            if (!progressOf(c, games).met())
                return letters;
        }
        letters = course.sorted(letters + *next);
    }
}

QList<int> kanaEntries(const RomajiTable &table, const QString &letters, bool otherSpellings)
{
    QList<std::pair<int, int>> ranked; // locked letters, index
    for (int i = 1; i <= table.RomaCount; ++i) {
        if (!RomajiTable::isAccepted(table.RomaList[i]))
            continue;
        int fewest = Letters;
        for (const QString &spelling : spellingsOf(table, i, otherSpellings))
            fewest = std::min(fewest, lockedIn(spelling, letters));
        ranked.append({fewest, i});
    }
    return fewestLocked(ranked);
}

QList<int> kanaKeyEntries(const RomajiTable &table, const QString &keys)
{
    QList<std::pair<int, int>> ranked;
    for (int i = 1; i <= table.RomaCount; ++i) {
        const QString entryKeys = RomajiTable::isAccepted(table.RomaList[i]) ? kanaKeysOf(table, i) : QString();
        if (!entryKeys.isEmpty())
            ranked.append({lockedIn(entryKeys, keys), i});
    }
    return fewestLocked(ranked);
}

QString kanaKeysAsked(const RomajiTable &table, const QString &keys)
{
    QString asked;
    for (int i : kanaKeyEntries(table, keys)) {
        for (QChar c : kanaKeysOf(table, i)) {
            if (keys.contains(c))
                asked += c;
        }
    }
    return KanaCourse.sorted(asked);
}

qsizetype shownSpelling(const QStringList &spellings, const QString &letters)
{
    for (qsizetype s = 0; s < spellings.size(); ++s) {
        if (lockedIn(spellings[s], letters) == 0)
            return s;
    }
    return 0;
}

QString kanaLetters(const RomajiTable &table, const QString &letters, bool otherSpellings)
{
    QString asked;
    for (int i : kanaEntries(table, letters, otherSpellings)) {
        const QStringList spellings = spellingsOf(table, i, otherSpellings);
        for (QChar c : spellings[shownSpelling(spellings, letters)]) {
            if (letters.contains(c))
                asked += c;
        }
    }
    return sorted(asked);
}

}
