#include "records/rating.h"

#include <limits>

namespace {
struct Band
{
    int lowLetters, highLetters;
    int lowKana, highKana;
    const char16_t *word;
};

constexpr int Top = std::numeric_limits<std::int16_t>::max();
constexpr Band Bands[] = {
    {1, 15, 1, 20, u"初級者"},
    {16, 24, 21, 29, u"中級者"},
    {25, 30, 30, 35, u"上級者"},
    {31, 35, 36, 40, u"達人"},
    {36, Top, 41, Top, u"超人"},
};
}

QString RatePlayer(std::int16_t finalLevel, bool romajiMode, const QString &previous)
{
    for (const Band &band : Bands) {
        const int low = romajiMode ? band.lowKana : band.lowLetters;
        const int high = romajiMode ? band.highKana : band.highLetters;
        if (finalLevel >= low && finalLevel <= high)
            return QString::fromUtf16(band.word);
    }
    return previous;
}
