#include "records/resultrecord.h"

#include "platform/cp932.h"
#include "platform/fieldreader.h"

QString ResultFile::fileName(bool romajiMode)
{
    return romajiMode ? QStringLiteral("KolrinR.dat") : QStringLiteral("Kolrin.dat");
}

QString ResultFile::storableName(const QString &name)
{
    QString out = name;
    out.replace(u'"', QChar(0x201D));
    out.replace(u'\r', u' ');
    out.replace(u'\n', u' ');
    return out;
}

QString ResultFile::formatDateTime(const QDateTime &when)
{
    return when.toString(QStringLiteral("yyyy/MM/dd HH:mm"));
}

QByteArray ResultFile::formatLine(std::int16_t level, const QString &name, const QDateTime &when)
{
    const QString line = QString::number(level) + QStringLiteral(",\"") + storableName(name)
        + QStringLiteral("\",\"") + formatDateTime(when) + QStringLiteral("\"\r\n");
    return Cp932::encode(line);
}

namespace {

struct RawFields
{
    QByteArrayView level, name, dateTime;
};

std::optional<RawFields> splitLine(QByteArrayView line)
{
    // A write cut between CR and LF, then mended, can leave a stray CR behind.
    while (line.endsWith('\r'))
        line.chop(1);
    ByteFieldReader reader(line);
    RawFields f;
    f.level = reader.next();
    f.name = reader.next();
    f.dateTime = reader.next();
    if (reader.readPastEnd() || !reader.atEnd())
        return std::nullopt;
    return f;
}

std::optional<std::int16_t> toLevel(QByteArrayView field)
{
    bool ok = false;
    const short level = field.trimmed().toShort(&ok);
    if (!ok)
        return std::nullopt;
    return level;
}

}

std::optional<std::int16_t> ResultFile::parseLevel(QByteArrayView line)
{
    const auto fields = splitLine(line);
    if (!fields)
        return std::nullopt;
    return toLevel(fields->level);
}

std::optional<ResultEntry> ResultFile::parseLine(QByteArrayView line)
{
    const auto fields = splitLine(line);
    if (!fields)
        return std::nullopt;
    const auto level = toLevel(fields->level);
    if (!level)
        return std::nullopt;
    return ResultEntry{*level, Cp932::decode(fields->name.toByteArray()),
                       Cp932::decode(fields->dateTime.toByteArray())};
}
