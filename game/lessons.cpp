#include "game/lessons.h"

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

QStringList spellingsOf(const RomajiTable &table, int i, bool otherSpellings)
{
    return otherSpellings ? RomajiSpelling::spellingsOf(table.KanaList[i], table.RomaList[i])
                          : QStringList{table.RomaList[i]};
}

}

namespace Lessons {

QString unlockedAfter(const QString &unlocked, const QList<KeyTallies> &games,
                      const Practised &practised)
{
    QString letters = sorted(unlocked);
    for (;;) {
        const auto next = std::find_if(Order.begin(), Order.end(),
                                       [&letters](QChar c) { return !letters.contains(c); });
        if (next == Order.end())
            return letters;
        // With nothing to judge by (no word list yet), nothing comes.
        const QString asked = practised(letters);
        if (asked.isEmpty())
            return letters;
        for (QChar c : asked) {
            if (!progressOf(c, games).met())
                return letters;
        }
        letters = sorted(letters + *next);
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
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    QList<int> entries;
    for (qsizetype k = 0; k < ranked.size(); ++k) {
        // A whole group of equally many locked letters joins, or none of it.
        if (entries.size() >= MinKanaEntries && ranked[k].first != ranked[k - 1].first)
            break;
        entries.append(ranked[k].second);
    }
    std::sort(entries.begin(), entries.end());
    return entries;
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
