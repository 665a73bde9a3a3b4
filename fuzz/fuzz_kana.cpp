// The conversion never grows the text, leaves no half-width mark behind, and
// changes nothing when run a second time.
#include "game/kana.h"
#include "platform/cp932.h"

#include <cstdlib>

static void check(const QString &text)
{
    const QString once = HanToZen(text);
    if (once.size() > text.size() || once.contains(QChar(0xFF9E)) || once.contains(QChar(0xFF9F)))
        std::abort();
    if (HanToZen(once) != once)
        std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    check(Cp932::decode(bytes));
    check(QString(reinterpret_cast<const QChar *>(data), qsizetype(size / 2)));
    return 0;
}
