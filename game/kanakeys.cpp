#include "game/kanakeys.h"

#include "game/kana.h"
#include "platform/keyboardlayout.h"

namespace {
constexpr char16_t Voiced = 0x3099;     // the combining marks a decomposed
constexpr char16_t SemiVoiced = 0x309A; // が or ぱ ends in
const QChar VoicedKey(0x309B);
const QChar SemiVoicedKey(0x309C);

// X11 key codes from 10 on, in the rows of the JIS keyboard; a blank is a
// code without kana.
const QString X11Keys = QStringLiteral("1234567890-^  QWERTYUIOP@[  ASDFGHJKL;:  ]ZXCVBNM,./");
constexpr quint32 FirstX11Code = 10;
constexpr quint32 YenCode = 132;
constexpr quint32 RoCode = 97;

bool isKey(QChar c)
{
    return !KeyboardLayout::keyOfKana(c).isNull();
}
}

QString KanaKeys::hiragana(QStringView kana)
{
    QString out = kana.toString();
    for (QChar &c : out) {
        if (c.unicode() >= 0x30A1 && c.unicode() <= 0x30F4)
            c = QChar(c.unicode() - 0x60);
    }
    return out;
}

QList<KanaKeys::Unit> KanaKeys::units(QStringView kana)
{
    QList<Unit> units;
    for (QChar c : hiragana(kana)) {
        const QString parts = QString(c).normalized(QString::NormalizationForm_D);
        Unit unit{QString(c), int(parts.size())};
        for (QChar part : parts) {
            const QChar key = part == Voiced ? VoicedKey : part == SemiVoiced ? SemiVoicedKey : part;
            if (!isKey(key))
                return {};
        }
        units.append(unit);
    }
    return units;
}

QString KanaKeys::strokesOf(QStringView kana)
{
    QString strokes;
    for (const Unit &unit : units(kana)) {
        const QString parts = unit.kana.normalized(QString::NormalizationForm_D);
        strokes += parts[0];
        if (parts.size() > 1)
            strokes += parts[1] == Voiced ? VoicedKey : SemiVoicedKey;
    }
    return strokes;
}

QString KanaKeys::typedPart(QStringView kana, int strokes)
{
    QString typed;
    for (const Unit &unit : units(kana)) {
        if (strokes <= 0)
            break;
        // A base without its mark yet: half of the kana.
        typed += strokes >= unit.strokes ? unit.kana
                                         : unit.kana.normalized(QString::NormalizationForm_D).left(1);
        strokes -= unit.strokes;
    }
    return typed;
}

QChar KanaKeys::keyOfText(QChar typed)
{
    // The word lists' conversion leaves the half-width long mark alone.
    const QString kana = typed == QChar(0xFF70) ? QStringLiteral("ー") : hiragana(HanToZen(QString(typed)));
    return kana.size() == 1 && isKey(kana[0]) ? kana[0] : QChar();
}

QChar KanaKeys::jisKeyOfX11Code(quint32 code)
{
    if (code == YenCode)
        return QChar(0x00A5);
    if (code == RoCode)
        return u'\\';
    if (code < FirstX11Code || code - FirstX11Code >= quint32(X11Keys.size()))
        return {};
    const QChar key = X11Keys[code - FirstX11Code];
    return key == u' ' ? QChar() : key;
}

QChar KanaKeys::typedKey(QStringView text, quint32 x11Code, bool shift)
{
    const QChar typed = text.size() == 1 ? text[0] : QChar();
    const QChar kana = keyOfText(typed);
    if (!kana.isNull())
        return kana;
    const QChar atCode = jisKeyOfX11Code(x11Code);
    if (!atCode.isNull())
        return keyOf(atCode, shift);
    const QChar jisKey = typed.isNull() ? QChar() : KeyboardLayout::keyOf(typed);
    if (jisKey.isNull())
        return {};
    // '#' is Shift and 3 whatever the modifiers say.
    const bool shiftedSign = jisKey != typed.toUpper();
    return keyOf(jisKey, shift || shiftedSign);
}

QChar KanaKeys::keyOf(QChar jisKey, bool shift)
{
    const QChar shifted = shift ? KeyboardLayout::kanaOf(jisKey, true) : QChar();
    return shifted.isNull() ? KeyboardLayout::kanaOf(jisKey, false) : shifted;
}
