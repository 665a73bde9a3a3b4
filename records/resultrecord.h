#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <cstdint>
#include <optional>

// Kolrin.dat (letters mode), KolrinR.dat (kana mode) and KolrinK.dat (kana
// prompts typed on the kana keys), CP932, one finished
// game a line, appended and never rewritten:
//   17,"player1","2001/12/02 21:05" CR LF
// level in plain decimal (16-bit), the name and the local date-time in quotes.
struct ResultEntry
{
    std::int16_t Level = 0;
    QString Name;
    QString DateTime;
};

namespace ResultFile {

// Kana input counts only for kana prompts.
QString fileName(bool romajiMode, bool kanaInput = false);

// Longer lines cannot be a record the game wrote; readers skip them unread.
constexpr qsizetype MaxLineBytes = 4 << 20;

// A quote inside a name would end the field early when read back, and a line
// end would split the record, so neither is written as it stands.
QString storableName(const QString &name);

QString formatDateTime(const QDateTime &when);
QByteArray formatLine(std::int16_t level, const QString &name, const QDateTime &when);

// One line without its line end. A line that does not yield exactly three
// fields with a 16-bit level is no record.
std::optional<ResultEntry> parseLine(QByteArrayView line);

// Appends one game's line to the file; on failure the message for the player.
QString append(const QString &path, std::int16_t level, const QString &name,
               const QDateTime &when);
// The level alone, for the ranking to decide before decoding any text.
std::optional<std::int16_t> parseLevel(QByteArrayView line);

// The record with its texts still CP932 bytes, viewing into the line, for
// readers that decode only the few texts they keep.
struct RawEntry
{
    std::int16_t Level = 0;
    QByteArrayView Name;
    QByteArrayView DateTime;
};
std::optional<RawEntry> parseRaw(QByteArrayView line);

}
