#include "game/typingjudge.h"

#include <limits>

QChar foldedKey(QChar key)
{
    char16_t code = key.unicode();
    if (code >= u'a' && code <= u'z')
        code = code - u'a' + u'A';
    return QChar(code);
}

Judgement judgeKey(QStringView keyText, QStringView romaji, int charPos)
{
    Judgement j;
    if (keyText.size() != 1 || charPos < 1 || charPos > romaji.size())
        return j;
    j.key = foldedKey(keyText[0]);
    if (j.key != romaji[charPos - 1])
        return j;
    j.verdict = charPos < romaji.size() ? KeyVerdict::Advanced : KeyVerdict::Completed;
    return j;
}

std::int16_t raisedLevel(std::int16_t level)
{
    if (level >= std::numeric_limits<std::int16_t>::max())
        return level;
    return std::int16_t(level + 1);
}
