// Every field read must move forward, and the reader must reach the end.
#include "platform/cp932.h"
#include "platform/fieldreader.h"

#include <cstdlib>

template <typename Reader, typename View>
static void readAll(View text)
{
    Reader reader(text);
    qsizetype reads = 0;
    while (!reader.atEnd()) {
        const auto field = reader.next();
        if (field.size() > text.size())
            std::abort();
        if (++reads > text.size() + 1)
            std::abort(); // a read that consumed nothing
    }
    if (!reader.next().isEmpty() || !reader.readPastEnd())
        std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    readAll<ByteFieldReader>(QByteArrayView(bytes));
    const QString text = Cp932::decode(bytes);
    readAll<FieldReader>(QStringView(text));
    return 0;
}
