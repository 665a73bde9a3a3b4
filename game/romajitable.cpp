#include "game/romajitable.h"

#include "platform/cp932.h"
#include "platform/fieldreader.h"
#include "platform/textfile.h"

#include <QDir>

namespace {
const QString Separator = QStringLiteral("@");
// Read whole; anything larger is damaged.
constexpr qint64 MaxTableBytes = 16 << 20;

// The player's own list in the data folder is named in full, so that a box
// about it is never taken for one about the list the game ships.
QString tableMessage(const QString &what, const QString &path, const QString &shippedPath,
                     const QString &reason = {})
{
    QString text = QStringLiteral("ローマ字テーブル Romaji.tbl　") + what;
    if (path != shippedPath || !reason.isEmpty())
        text += u'\n' + QDir::toNativeSeparators(path);
    if (!reason.isEmpty())
        text += u'\n' + reason;
    return text;
}

QString trimmed(QStringView field)
{
    qsizetype start = 0;
    qsizetype end = field.size();
    while (start < end && (field[start] == u' ' || field[start] == u'\t'))
        ++start;
    while (end > start && (field[end - 1] == u' ' || field[end - 1] == u'\t'))
        --end;
    return field.sliced(start, end - start).toString();
}
}

RomajiTable::RomajiTable()
    : KanaList(LastSlot + 1), RomaList(LastSlot + 1)
{
}

RomajiTable RomajiTable::parse(QStringView text, Error *error)
{
    RomajiTable table;
    FieldReader reader(text);
    const auto fail = [error](Error e) {
        if (error)
            *error = e;
        return RomajiTable();
    };

    int i = 1;
    for (;;) {
        if (reader.atEnd())
            return fail(Error::EndsBeforeSeparator);
        table.KanaList[i] = trimmed(reader.next());
        if (table.KanaList[i] == Separator)
            break;
        if (++i > LastSlot)
            return fail(Error::TooManyKana);
    }

    int j = 0;
    for (;;) {
        if (reader.atEnd())
            return fail(Error::EndsBeforeClosingField);
        const QString field = trimmed(reader.next());
        if (++j > LastSlot)
            return fail(Error::TooManyRomaji);
        table.RomaList[j] = field;
        if (field.isEmpty() || field == Separator)
            break;
    }
    table.RomaCount = j;

    if (!table.hasAcceptedEntry())
        return fail(Error::NothingToDraw);
    if (error)
        *error = Error::None;
    return table;
}

QString RomajiTable::describe(Error error)
{
    switch (error) {
    case Error::None:
        return {};
    case Error::EndsBeforeSeparator:
        return QStringLiteral("かなの欄の終わりを示す「@」の行がありません。");
    case Error::EndsBeforeClosingField:
        return QStringLiteral("ローマ字の欄の終わりを示す「@」または空行がありません。");
    case Error::TooManyKana:
        return QStringLiteral("かなの欄が169項目を超えています。");
    case Error::TooManyRomaji:
        return QStringLiteral("ローマ字の欄が169項目を超えています。");
    case Error::NothingToDraw:
        return QStringLiteral("出題できる項目（母音1文字、または2〜3文字の大文字のローマ字）がありません。");
    }
    return {};
}

QString RomajiTable::missingMessage(const QString &path, const QString &shippedPath)
{
    return tableMessage(QStringLiteral("が見つかりません。"), path, shippedPath);
}

RomajiTable::Loaded RomajiTable::load(const QString &path, const QString &shippedPath)
{
    Loaded loaded;
    if (!TextFile::exists(path)) {
        loaded.error = missingMessage(path, shippedPath);
        return loaded;
    }
    const TextFile::ReadResult file = TextFile::readAll(path, MaxTableBytes);
    if (!file.ok()) {
        loaded.error = tableMessage(QStringLiteral("を読み込めません。"), path, shippedPath, file.error);
        return loaded;
    }
    Error error = Error::None;
    loaded.table = parse(Cp932::decode(file.bytes), &error);
    if (error != Error::None) {
        loaded.error = tableMessage(QStringLiteral("が正しくありません。"), path, shippedPath,
                                    describe(error));
    }
    return loaded;
}

bool RomajiTable::isAccepted(const QString &romaji)
{
    if (romaji.size() == 1)
        return QStringLiteral("AIUEO").contains(romaji[0]);
    if (romaji.size() != 2 && romaji.size() != 3)
        return false;
    // The judge folds keys to capitals, so anything else could be drawn but never typed.
    for (QChar c : romaji) {
        if (c < u'A' || c > u'Z')
            return false;
    }
    return true;
}

bool RomajiTable::hasAcceptedEntry() const
{
    for (int i = 1; i <= RomaCount; ++i) {
        if (isAccepted(RomaList[i]))
            return true;
    }
    return false;
}
