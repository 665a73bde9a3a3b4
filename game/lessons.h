#pragma once
#include "records/lessonrule.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class RomajiTable;

// Lessons bring the letters in one at a time: a player starts with the home
// row, and the next letter of LessonRule::Order comes once every letter so far
// is mastered. Prompts then use the letters come so far.
namespace Lessons {

using namespace LessonRule;

// Kana mode: fewer entries than this of unlocked letters only, and entries
// with locked letters join, the fewest locked first.
constexpr int MinKanaEntries = 5;

// The letters of `unlocked` a prompt can ask for: in letters mode all of them,
// in kana mode those the entries drawn use (the word list may lack some).
using Practised = std::function<QString(const QString &unlocked)>;

// The rule applied as often as it allows: while every practised letter is
// mastered, the next letter of the order joins. The result is sorted.
QString unlockedAfter(const QString &unlocked, const QList<KeyTallies> &games,
                      const Practised &practised, const Course &course = LetterCourse);

// Kana mode: the indexes of the entries a lesson draws from. An entry counts
// by the fewest locked letters among its spellings (the word list's alone, or
// any other accepted one with `otherSpellings`); entries of none locked, and
// while they are fewer than MinKanaEntries those of one locked, then two, and
// so on, a whole group at a time, in table order.
QList<int> kanaEntries(const RomajiTable &table, const QString &letters, bool otherSpellings);
// The spelling a lesson shows for an entry: the first of `spellings` made of
// unlocked letters only, else the first.
qsizetype shownSpelling(const QStringList &spellings, const QString &letters);
// The unlocked letters the kana entries of `letters` ask for.
QString kanaLetters(const RomajiTable &table, const QString &letters, bool otherSpellings);

// Kana typed on the kana keys: the indexes of the entries a lesson of `keys`
// (KanaCourse's names) draws from, chosen as kanaEntries chooses, by the
// locked keys of each entry's key sequence. Entries with a kana no key types
// are never drawn; none at all when no entry has keys.
QList<int> kanaKeyEntries(const RomajiTable &table, const QString &keys);
// The unlocked keys those entries ask for, in KanaCourse's order.
QString kanaKeysAsked(const RomajiTable &table, const QString &keys);

}
