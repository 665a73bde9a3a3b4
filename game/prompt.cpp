#include "game/prompt.h"

#include "game/kana.h"
#include "game/kanakeys.h"
#include "game/lessons.h"
#include "game/romajitable.h"

namespace {

double weightOf(const KeyWeights &weights, const QString &romaji)
{
    double heaviest = 1;
    for (QChar c : romaji)
        heaviest = std::max(heaviest, weights.value(c, 1));
    return heaviest;
}

// The index whose share of the whole the draw falls in.
template <typename Weight>
int weightedIndex(int count, Weight weight, RandomSource &random)
{
    double total = 0;
    for (int i = 0; i < count; ++i)
        total += weight(i);
    double at = random.next() * total;
    int last = 0;
    for (int i = 0; i < count; ++i) {
        if (weight(i) == 0)
            continue;
        last = i;
        at -= weight(i);
        if (at < 0)
            return i;
    }
    return last; // rounding left a sliver past the end
}

int lessonEntry(const RomajiTable &table, RandomSource &random, const KeyWeights &weights,
                const LessonLetters &lesson)
{
    const QList<int> entries = Lessons::kanaEntries(table, lesson.letters, lesson.otherSpellings);
    if (weights.isEmpty())
        return entries[int(random.next() * double(entries.size()))];
    return entries[weightedIndex(int(entries.size()), [&](int k) {
        return weightOf(weights, table.RomaList[entries[k]]);
    }, random)];
}

QChar lessonLetter(RandomSource &random, const KeyWeights &weights, const QString &letters)
{
    if (weights.isEmpty())
        return letters[int(random.next() * double(letters.size()))];
    return letters[weightedIndex(int(letters.size()), [&](int c) {
        return weights.value(letters[c], 1);
    }, random)];
}

}

Prompt NextPrompt(const RomajiTable &table, bool romajiMode, RandomSource &random,
                  const KeyWeights &weights, bool kanaInput, const LessonLetters &lesson)
{
    Prompt prompt;
    if (romajiMode) {
        Q_ASSERT(table.hasAcceptedEntry());
        // The keys of each entry typed on the kana keys; empty: none.
        QList<QString> kanaKeys;
        if (kanaInput) {
            bool any = false;
            for (int k = 1; k <= table.RomaCount; ++k) {
                kanaKeys.append(RomajiTable::isAccepted(table.RomaList[k])
                                    ? KanaKeys::strokesOf(HanToZen(table.KanaList[k]))
                                    : QString());
                any = any || !kanaKeys.last().isEmpty();
            }
            if (!any)
                kanaKeys.clear();
        }
        int i;
        if (!kanaKeys.isEmpty() && lesson.kanaKeys && !lesson.letters.isEmpty()) {
            const QList<int> entries = Lessons::kanaKeyEntries(table, lesson.letters);
            i = entries[weightedIndex(int(entries.size()), [&](int k) {
                return weightOf(weights, kanaKeys[entries[k] - 1]);
            }, random)];
        } else if (!kanaKeys.isEmpty()) {
            i = 1 + weightedIndex(table.RomaCount, [&](int k) {
                return kanaKeys[k].isEmpty() ? 0.0 : weightOf(weights, kanaKeys[k]);
            }, random);
        } else if (!lesson.letters.isEmpty() && !lesson.kanaKeys) {
            i = lessonEntry(table, random, weights, lesson);
        } else if (weights.isEmpty()) {
            do {
                i = int(random.next() * table.RomaCount) + 1;
            } while (!RomajiTable::isAccepted(table.RomaList[i]));
        } else {
            i = 1 + weightedIndex(table.RomaCount, [&](int k) {
                const QString &romaji = table.RomaList[k + 1];
                return RomajiTable::isAccepted(romaji) ? weightOf(weights, romaji) : 0.0;
            }, random);
        }
        prompt.romaji = table.RomaList[i];
        prompt.tableKana = table.KanaList[i];
        prompt.kana = HanToZen(prompt.tableKana);
    } else {
        for (int k = 0; k < 3; ++k) {
            if (!lesson.letters.isEmpty() && !lesson.kanaKeys) {
                prompt.romaji += lessonLetter(random, weights, lesson.letters);
                continue;
            }
            const int letter = weights.isEmpty()
                                   ? int(random.next() * 26)
                                   : weightedIndex(26, [&](int c) {
                                         return weights.value(QChar(u'A' + c), 1);
                                     }, random);
            prompt.romaji += QChar(u'A' + letter);
        }
    }
    return prompt;
}
