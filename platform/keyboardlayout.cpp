#include "platform/keyboardlayout.h"

#include <array>

namespace {
struct Row
{
    QString keys;
    qreal column;
};

// Each row is staggered as on the keyboard; the same column of fingers runs
// through all four: little, ring, middle, two for the index, two for the
// other index, middle, ring, and the rest for the right little finger.
const std::array<Row, 4> KeyRows{{
    {QStringLiteral("1234567890-^\u00a5"), 0},
    {QStringLiteral("QWERTYUIOP@["), 0.5},
    {QStringLiteral("ASDFGHJKL;:]"), 0.75},
    {QStringLiteral("ZXCVBNM,./\\"), 1.25},
}};
constexpr std::array<Finger, 9> FingerColumns{
    Finger::LeftLittle, Finger::LeftRing,   Finger::LeftMiddle, Finger::LeftIndex, Finger::LeftIndex,
    Finger::RightIndex, Finger::RightIndex, Finger::RightMiddle, Finger::RightRing};

// Shifted, the JIS keys give these; 0 has no shifted sign.
const QString Unshifted = QStringLiteral("123456789-^\u00a5@[;:],./\\");
const QString Shifted = QStringLiteral("!\"#$%&'()=~|`{+*}<>?_");

// Kana input: the keys of the four rows in order, the kana on each, and the
// few keys whose Shift gives a small kana or a sign.
const QString KanaRowKeys = QStringLiteral("1234567890-^\u00a5QWERTYUIOP@[ASDFGHJKL;:]ZXCVBNM,./\\");
const QString KanaPlain = QStringLiteral(
    "ぬふあうえおやゆよわほへーたていすかんなにらせ゛゜ちとしはきくまのりれけむつさそひこみもねるめろ");
const QString KanaShiftKeys = QStringLiteral("34567890EZ,./[]");
const QString KanaShifted = QStringLiteral("ぁぅぇぉゃゅょをぃっ、。・「」");
}

const QList<KeyboardLayout::Key> &KeyboardLayout::keys()
{
    static const QList<Key> all = [] {
        QList<Key> keys;
        for (int row = 0; row < int(KeyRows.size()); ++row) {
            const Row &r = KeyRows[row];
            for (int i = 0; i < r.keys.size(); ++i) {
                const Finger finger = i < int(FingerColumns.size()) ? FingerColumns[i] : Finger::RightLittle;
                keys.append({r.keys[i], finger, row, r.column + i, 1});
            }
        }
        // The JIS space bar is short: the conversion keys flank it.
        keys.append({u' ', Finger::Thumb, 4, 3.75, 4.5});
        return keys;
    }();
    return all;
}

QChar KeyboardLayout::keyOf(QChar c)
{
    if (c >= u'a' && c <= u'z')
        return c.toUpper();
    const qsizetype shifted = Shifted.indexOf(c);
    if (shifted >= 0)
        return Unshifted[shifted];
    for (const Key &key : keys()) {
        if (key.key == c)
            return c;
    }
    return {};
}

Finger KeyboardLayout::fingerOf(QChar c)
{
    const QChar key = keyOf(c);
    for (const Key &k : keys()) {
        if (k.key == key)
            return k.finger;
    }
    return Finger::Thumb;
}

QChar KeyboardLayout::kanaOf(QChar key, bool shifted)
{
    if (shifted) {
        const qsizetype i = KanaShiftKeys.indexOf(key);
        return i >= 0 ? KanaShifted[i] : QChar();
    }
    const qsizetype i = KanaRowKeys.indexOf(key);
    return i >= 0 ? KanaPlain[i] : QChar();
}

QChar KeyboardLayout::keyOfKana(QChar legend, bool *shifted)
{
    qsizetype i = KanaPlain.indexOf(legend);
    if (shifted)
        *shifted = i < 0;
    if (i >= 0)
        return KanaRowKeys[i];
    i = KanaShifted.indexOf(legend);
    return i >= 0 ? KanaShiftKeys[i] : QChar();
}
