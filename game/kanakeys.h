#pragma once
#include <QChar>
#include <QList>
#include <QString>
#include <QStringView>

// Kana input: each kana typed on its key of the JIS kana layout, a voiced one
// as its base and then ゛, a semi-voiced one as its base and then ゜, small kana
// and 、。・「」 with Shift. Keys are named by the kana printed on them
// (KeyboardLayout::kanaOf), so a key sequence is a string of those kana.
namespace KanaKeys {

// Katakana become hiragana (ヴ too); everything else stays.
QString hiragana(QStringView kana);
// The keys that type the text, as their kana: が gives か゛. Empty when a
// character of it has no key.
QString strokesOf(QStringView kana);

struct Unit
{
    QString kana; // one kana, hiragana
    int strokes = 1;
};
// The kana of the text one by one with the keys each takes; empty as strokesOf.
QList<Unit> units(QStringView kana);
// The text as far as `strokes` keys have typed it: the whole kana done, then
// the base of a kana whose mark is still to come.
QString typedPart(QStringView kana, int strokes);

// The key a character typed on a keyboard in kana lock stands for: half-width
// katakana (ｶ, ﾞ, ｧ, ｰ, ｡), katakana or hiragana, named by its kana; null for
// anything else.
QChar keyOfText(QChar typed);
// The JIS key (KeyboardLayout's name for it) at an X11 key code, as the X
// server's evdev rules number the keys; null for a key without kana.
QChar jisKeyOfX11Code(quint32 code);
// What a key types: its kana, or with Shift its small kana or sign; Shift on a
// key with nothing shifted types the key's own kana.
QChar keyOf(QChar jisKey, bool shift);
// The key one key press typed, by what the platform tells of it: kana text
// from a keyboard in kana lock; else the key's X11 code (0: none known), so
// any layout types kana by position; else the text as a JIS layout types it.
// Null when none of them names a kana key.
QChar typedKey(QStringView text, quint32 x11Code, bool shift);

}
