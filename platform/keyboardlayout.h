#pragma once
#include <QChar>
#include <QList>
#include <QString>

// The finger that presses a key in touch typing, from the left hand's little
// finger to the right hand's.
enum class Finger { LeftLittle, LeftRing, LeftMiddle, LeftIndex, RightIndex, RightMiddle, RightRing, RightLittle, Thumb };

// The main block of a Japanese (JIS) keyboard as a typing tutor draws it: the
// digit row, the three letter rows with the JIS signs beside them (: next to ;,
// @ and [ after P) and the space bar. Keys are named by the character they
// type unshifted, letters as capitals; positions are in key widths.
namespace KeyboardLayout {

struct Key
{
    QChar key;
    Finger finger;
    int row = 0;       // 0 the digits, 4 the space bar
    qreal column = 0;  // left edge, in key widths from the digit row's first key
    qreal width = 1;
};

constexpr int Rows = 5;
// The widest row, in key widths.
constexpr qreal Columns = 13;

const QList<Key> &keys();
// The key that types `c`: lower case and shifted signs ('!' is on 1) find
// their key; null for a character no key of the block types.
QChar keyOf(QChar c);
// The finger for the key that types `c`; meaningful only where keyOf(c) is
// not null.
Finger fingerOf(QChar c);

// The kana printed on a key for kana input (JIS X 6002), unshifted and with
// Shift; null where the key has none (digits' shifted side, the space bar).
QChar kanaOf(QChar key, bool shifted);
// The key and Shift that type the kana `legend`; null key for any other text.
QChar keyOfKana(QChar legend, bool *shifted = nullptr);

}
