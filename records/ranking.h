#pragma once
#include "records/resultrecord.h"

#include <QIODevice>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <unordered_map>
#include <utility>

// The 30 best results of one mode. Entries are numbered 1 to 30 as the player
// sees them; an empty entry has level 0.
class ResultTable
{
public:
    static constexpr int Size = 30;

    ResultEntry &operator[](int number) { return m_entries[number - 1]; }
    const ResultEntry &operator[](int number) const { return m_entries[number - 1]; }
    void clear() { m_entries.fill(ResultEntry()); }

private:
    std::array<ResultEntry, Size> m_entries;
};

// An exchange sort over fixed bounds, highest level first. Equal levels are
// never swapped directly, so their final order is the one this loop yields
// (neither file order nor its reverse), and the ranking relies on it.
template <typename Entries>
void SortResults(Entries &table)
{
    for (int i = 1; i <= ResultTable::Size; ++i) {
        for (int j = 1; j <= ResultTable::Size - 1; ++j) {
            if (table[i].Level > table[j].Level)
                std::swap(table[i], table[j]);
        }
    }
}

// Reads one result file record by record: the first 30 records fill the table,
// and a later record enters only by beating entry 30. The table is sorted after
// every record that enters. Lines that are no record are skipped.
class RankingBuilder
{
public:
    RankingBuilder();
    void addLine(QByteArrayView line);
    // Streams the device in chunks, so memory does not grow with the file.
    void addAll(QIODevice &device);
    ResultTable result() const;
    qint64 recordCount() const { return m_count; }

private:
    struct Slot
    {
        std::int16_t Level = 0;
        QByteArray line;
    };
    struct Slots
    {
        std::array<Slot, ResultTable::Size> items;
        Slot &operator[](int number) { return items[number - 1]; }
    };
    void sortAfterReplacingLast();

    Slots m_slots;
    qint64 m_count = 0;
    // Once full, the table is sorted whenever a record replaces entry 30.
    // The exchange sort looks at nothing but how levels compare, and that is
    // fixed by which neighbours in entries 1 to 29 are equal and where the new
    // level falls among them; this caches the order the sort yields for each
    // such shape, so a file of ever rising levels does not sort a million times.
    std::unordered_map<std::uint64_t, std::array<std::uint8_t, ResultTable::Size>> m_orders;
};

// The 30 best of a result file; an unreadable file gives an empty table.
ResultTable readRanking(const QString &path);

QChar modeLetter(bool romajiMode);
// "Level 31a<TAB>name<TAB>date" for each entry up to the first empty one.
QStringList rankingListLines(const ResultTable &table, bool romajiMode);
// The same entries with the name padded to seven characters, two tabs before
// the date, each line ended by CR LF.
QString rankingClipboardText(const ResultTable &table, bool romajiMode);
