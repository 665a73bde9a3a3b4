#include "records/ranking.h"

#include "platform/textfile.h"

#include <QFile>

RankingBuilder::RankingBuilder() = default;

ResultTable readRanking(const QString &path)
{
    QFile file;
    if (!TextFile::openForReading(path, file, nullptr))
        return {};
    RankingBuilder builder;
    builder.addAll(file);
    return builder.result();
}

void RankingBuilder::addLine(QByteArrayView line)
{
    const auto level = ResultFile::parseLevel(line);
    if (!level)
        return;
    ++m_count;
    if (m_count <= ResultTable::Size) {
        m_slots[int(m_count)] = Slot{*level, line.toByteArray()};
        SortResults(m_slots);
    } else if (m_slots[ResultTable::Size].Level < *level) {
        m_slots[ResultTable::Size] = Slot{*level, line.toByteArray()};
        sortAfterReplacingLast();
    }
}

void RankingBuilder::sortAfterReplacingLast()
{
    constexpr int Size = ResultTable::Size;
    const std::int16_t entering = m_slots[Size].Level;
    std::uint64_t shape = 0;
    for (int k = 1; k < Size - 1; ++k) {
        if (m_slots[k].Level == m_slots[k + 1].Level)
            shape |= std::uint64_t(1) << (k - 1);
    }
    int above = 0; // entries 1 to 29 stand sorted, so those above form a prefix
    while (above < Size - 1 && m_slots[above + 1].Level > entering)
        ++above;
    const bool tied = above < Size - 1 && m_slots[above + 1].Level == entering;
    shape |= std::uint64_t(above) << 28 | std::uint64_t(tied) << 33;

    auto found = m_orders.find(shape);
    if (found == m_orders.end()) {
        struct Probe
        {
            std::int16_t Level;
            std::uint8_t from;
        };
        std::array<Probe, Size> probes;
        for (int n = 1; n <= Size; ++n)
            probes[n - 1] = Probe{m_slots[n].Level, std::uint8_t(n - 1)};
        struct Numbered
        {
            std::array<Probe, Size> &items;
            Probe &operator[](int number) { return items[number - 1]; }
        } numbered{probes};
        SortResults(numbered);
        std::array<std::uint8_t, Size> order;
        for (int n = 0; n < Size; ++n)
            order[n] = probes[n].from;
        if (m_orders.size() > 4096) // a hostile file must not grow memory
            m_orders.clear();
        found = m_orders.emplace(shape, order).first;
    }

    Slots sorted;
    for (int n = 0; n < Size; ++n)
        sorted.items[n] = std::move(m_slots.items[found->second[n]]);
    m_slots = std::move(sorted);
}

void RankingBuilder::addAll(QIODevice &device)
{
    TextFile::forEachLine(device, ResultFile::MaxLineBytes,
                          [this](QByteArrayView line) { addLine(line); });
}

ResultTable RankingBuilder::result() const
{
    ResultTable table;
    for (int n = 1; n <= ResultTable::Size; ++n) {
        const Slot &slot = m_slots.items[n - 1];
        if (slot.line.isNull())
            continue;
        if (const auto entry = ResultFile::parseLine(slot.line))
            table[n] = *entry;
    }
    return table;
}

QChar modeLetter(bool romajiMode)
{
    return romajiMode ? u'r' : u'a';
}

namespace {
QString levelText(const ResultEntry &entry, bool romajiMode)
{
    return QStringLiteral("Level ") + QString::number(entry.Level) + modeLetter(romajiMode);
}

QString paddedName(const QString &name)
{
    const QString padded = name + QStringLiteral("      ");
    // Cut at seven characters without splitting a surrogate pair.
    qsizetype units = 0;
    for (int chars = 0; chars < 7 && units < padded.size(); ++chars)
        units += (padded[units].isHighSurrogate() && units + 1 < padded.size()) ? 2 : 1;
    return padded.left(units);
}
}

QStringList rankingListLines(const ResultTable &table, bool romajiMode)
{
    QStringList lines;
    for (int n = 1; n <= ResultTable::Size && table[n].Level != 0; ++n) {
        const ResultEntry &e = table[n];
        lines << levelText(e, romajiMode) + u'\t' + e.Name + u'\t' + e.DateTime;
    }
    return lines;
}

QString rankingClipboardText(const ResultTable &table, bool romajiMode)
{
    QString text;
    for (int n = 1; n <= ResultTable::Size && table[n].Level != 0; ++n) {
        const ResultEntry &e = table[n];
        text += levelText(e, romajiMode) + u'\t' + paddedName(e.Name) + QStringLiteral("\t\t")
            + e.DateTime + QStringLiteral("\r\n");
    }
    return text;
}
