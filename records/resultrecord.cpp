#include "records/resultrecord.h"

#include "platform/cp932.h"
#include "platform/fieldreader.h"
#include "platform/textfile.h"

#include <QDir>

#include <cstring>

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

// A line exactly as the game writes it, 17,"name","date", read without the
// general field rules, which then give the same fields: a file of millions of
// records is read about twice as fast. Nothing for any other line.
std::optional<ResultFile::RawEntry> asWritten(QByteArrayView line)
{
    const char *p = line.data();
    const char *const end = p + line.size();
    const bool negative = p < end && *p == '-';
    p += negative;
    int level = 0;
    const char *const digits = p;
    while (p < end && *p >= '0' && *p <= '9' && p - digits < 5)
        level = level * 10 + (*p++ - '0');
    if (p == digits || end - p < 6 || p[0] != ',' || p[1] != '"')
        return std::nullopt;
    level = negative ? -level : level;
    if (level < -32768 || level > 32767)
        return std::nullopt;
    // Each text ends at its quote, and holds no line end the rules would stop at.
    const auto quoted = [end](const char *from) -> const char * {
        const auto *quote = static_cast<const char *>(std::memchr(from, '"', size_t(end - from)));
        if (!quote || std::memchr(from, '\r', size_t(quote - from)) || std::memchr(from, '\n', size_t(quote - from)))
            return nullptr;
        return quote;
    };
    const char *const name = p + 2;
    const char *const nameEnd = quoted(name);
    if (!nameEnd || end - nameEnd < 4 || nameEnd[1] != ',' || nameEnd[2] != '"')
        return std::nullopt;
    const char *const date = nameEnd + 3;
    const char *const dateEnd = quoted(date);
    if (!dateEnd || dateEnd + 1 != end)
        return std::nullopt;
    return ResultFile::RawEntry{std::int16_t(level), QByteArrayView(name, nameEnd - name),
                                QByteArrayView(date, dateEnd - date)};
}

}

std::optional<ResultFile::RawEntry> ResultFile::parseRaw(QByteArrayView line)
{
    // A write cut between CR and LF, then mended, can leave a stray CR behind.
    while (line.endsWith('\r'))
        line.chop(1);
    if (const auto written = asWritten(line))
        return written;
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
