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

// Kana typed on the kana keys: the keys named by their unshifted kana
// (KeyboardLayout::kanaOf), the small kana and signs Shift gives counting as
// their key's. The home row under F J D K S L A ; from the index fingers out,
// then the other keys by how often the shipped Romaji.tbl's kana use them,
// measured over every entry the game can draw on the kana keys (165 entries,
// 303 keys; a voiced kana is its key and ゛), each key counted every time:
//   ゛ 37  あ 17  い 17  ひ 14  ゆ 14  え 13  お 13  や 13  よ 12  う 11  き 10
//   ゜ 8  か 7  に 7  た 6  み 6  け 4  こ 4  さ 4  す 4  わ 4  せ 3  て 3  な 3
//   ね 3  ふ 3  へ 3  ほ 3  く 2  そ 2  つ 2  ぬ 2  め 2  も 2  ら 2  ろ 2  ん 2
//   む 1  る 1  ー 0
// (the home row's: は 5  ま 4  し 10  の 1  と 4  り 7  ち 5  れ 1). Keys of
// equal count go in the order of their code points, which is the kana's.
constexpr QStringView KanaOrder =
    u"はましのとりちれ゛あいひゆえおやようき゜かにたみけこさすわせてなねふへほくそつぬめもらろんむるー";
constexpr int KanaHomeRowSize = 8;
constexpr int KanaKeyCount = 48;

// The keys one kind of lesson brings in, in their order.
struct Course
{
    QStringView order;
    int homeRowSize;

    int size() const { return int(order.size()); }
    QString homeRow() const { return order.left(homeRowSize).toString(); }
    // The keys of `keys` that are in the order, in its order, once each.
    QString sorted(const QString &keys) const;
};
constexpr Course LetterCourse{Order, HomeRowSize};
constexpr Course KanaCourse{KanaOrder, KanaHomeRowSize};

// The kana key, named as KanaOrder names it, that types `legend` (ぁ is on
// あ's key); null for anything else.
QChar kanaKeyOf(QChar legend);
// Tallies of kana legends summed per kana key.
KeyTallies byKanaKey(const KeyTallies &legends);

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
