#include "records/resultrecord.h"

#include "platform/cp932.h"
#include "platform/fieldreader.h"
#include "platform/textfile.h"

#include <QDir>

QString ResultFile::fileName(bool romajiMode, bool kanaInput)
{
    if (romajiMode && kanaInput)
        return QStringLiteral("KolrinK.dat");
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

QString ResultFile::append(const QString &path, std::int16_t level, const QString &name,
                          const QDateTime &when)
{
    const QString error = TextFile::append(path, formatLine(level, name, when));
    if (error.isEmpty())
        return {};
    return QStringLiteral("成績を保存できませんでした。\n%1\n%2")
        .arg(QDir::toNativeSeparators(path), error);
}

namespace {

std::optional<std::int16_t> toLevel(QByteArrayView field)
{
    bool ok = false;
    const short level = field.trimmed().toShort(&ok);
    if (!ok)
        return std::nullopt;
    return level;
}

}

std::optional<ResultFile::RawEntry> ResultFile::parseRaw(QByteArrayView line)
{
    // A write cut between CR and LF, then mended, can leave a stray CR behind.
    while (line.endsWith('\r'))
        line.chop(1);
    ByteFieldReader reader(line);
    const QByteArrayView levelField = reader.next();
    RawEntry raw;
    raw.Name = reader.next();
    raw.DateTime = reader.next();
    if (reader.readPastEnd() || !reader.atEnd())
        return std::nullopt;
    const auto level = toLevel(levelField);
    if (!level)
        return std::nullopt;
    raw.Level = *level;
    return raw;
}

std::optional<std::int16_t> ResultFile::parseLevel(QByteArrayView line)
{
    const auto raw = parseRaw(line);
    if (!raw)
        return std::nullopt;
    return raw->Level;
}

std::optional<ResultEntry> ResultFile::parseLine(QByteArrayView line)
{
    const auto raw = parseRaw(line);
    if (!raw)
        return std::nullopt;
    return ResultEntry{raw->Level, Cp932::decode(raw->Name.toByteArray()),
                       Cp932::decode(raw->DateTime.toByteArray())};
}
