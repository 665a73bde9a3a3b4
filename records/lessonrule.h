#pragma once
#include "records/gamerecord.h"

#include <QList>
#include <QString>
#include <QStringView>

// What lessons ask of a letter before the next one comes, and the order the
// letters come in: the game's lessons follow it, the chart shows it.
namespace LessonRule {

// The home row from the index fingers out, then the other letters by how often
// the shipped Romaji.tbl uses them, so that kana words come as early as they
// can. Measured over every romaji the game can draw from that list (a vowel
// alone, or two or three letters: 165 entries, 413 letters), each letter
// counted every time it occurs:
//   A 64  O 44  I 43  U 40  E 32  Y 30  N 20  K 19  H 16  M 15  S 14  R 13
//   B 11  T 9  G 8  P 8  J 7  D 5  Z 5  C 4  W 4  F 1  V 1  L 0  Q 0  X 0
// Letters of equal count go alphabetically. A word list of the player's own
// keeps this order.
constexpr QStringView Order = u"FJDKSLAOIUEYNHMRBTGPZCWVQX";
constexpr int HomeRowSize = 7;
constexpr int Letters = 26;

// A letter is mastered once, over the player's RecentGames latest games of the
// mode, it was typed right at least MinAttempts times, it was missed at most
// MaxMissRate of its last MissWindow attempts, and its mean typing time is at
// most MaxTypingMs.
constexpr int RecentGames = 50;
constexpr qint64 MinAttempts = 20;
constexpr qint64 MissWindow = 30;
constexpr double MaxMissRate = 0.05;
constexpr double MaxTypingMs = 500;

inline QString homeRow() { return Order.left(HomeRowSize).toString(); }
// The letters of `letters` that are in the order, in its order, once each.
QString sorted(const QString &letters);

// How one letter stands against the rule.
struct Progress
{
    qint64 attempts = 0;  // typed right in the recent games
    double missRate = 0;  // misses ÷ (right + misses) over the last MissWindow attempts
    double typingMs = 0;  // over those attempts, the prompt's first key left out; 0: none timed
    bool enoughAttempts() const { return attempts >= MinAttempts; }
    bool accurate() const { return missRate <= MaxMissRate; }
    // A letter only ever typed first in its prompts has no typing time: only
    // its attempts and misses hold it back.
    bool fast() const { return typingMs <= MaxTypingMs; }
    bool met() const { return enoughAttempts() && accurate() && fast(); }
};

// `games`: each recent game's key tallies, newest first. A game is known by
// its sums only, so the last MissWindow attempts take the newest games whole
// and the share of the oldest one they reach.
Progress progressOf(QChar letter, const QList<KeyTallies> &games);

}
