// Any bytes as a result file: the ranking reads it without fault, agrees with
// ranking the file the plain way, and every record it shows writes back to a
// line that reads the same. The chart of progress counts the same records and
// keeps its points bounded.
#include "records/progress.h"
#include "records/ranking.h"

#include <QBuffer>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    RankingBuilder builder;
    builder.addAll(buffer);
    const ResultTable table = builder.result();
    for (int n = 2; n <= ResultTable::Size; ++n) {
        if (table[n - 1].Level < table[n].Level)
            std::abort();
    }

    // The same file ranked the plain way: every line, a full sort per entry.
    ResultTable plain;
    qint64 count = 0;
    for (const QByteArray &line : bytes.split('\n')) {
        const auto entry = ResultFile::parseLine(line);
        if (!entry)
            continue;
        if (++count <= ResultTable::Size)
            plain[int(count)] = *entry;
        else if (plain[ResultTable::Size].Level < entry->Level)
            plain[ResultTable::Size] = *entry;
        else
            continue;
        SortResults(plain);
    }
    for (int n = 1; n <= ResultTable::Size; ++n) {
        if (plain[n].Level != table[n].Level || plain[n].Name != table[n].Name
            || plain[n].DateTime != table[n].DateTime)
            std::abort();
    }
    const QDateTime when(QDate(2001, 12, 2), QTime(21, 5));
    for (int n = 1; n <= ResultTable::Size && table[n].Level != 0; ++n) {
        const QByteArray line = ResultFile::formatLine(table[n].Level, table[n].Name, when);
        const auto back = ResultFile::parseLine(QByteArrayView(line).chopped(2));
        if (!back || back->Level != table[n].Level)
            std::abort();
        const auto twice = ResultFile::parseLine(
            QByteArrayView(ResultFile::formatLine(back->Level, back->Name, when)).chopped(2));
        if (!twice || twice->Name != back->Name)
            std::abort();
    }

    buffer.seek(0);
    ProgressBuilder everyone(std::nullopt);
    everyone.addAll(buffer);
    const Progress progress = everyone.result();
    if (progress.games != count || progress.levels.size() > 2 * ProgressBuilder::MaxBuckets + 2
        || progress.bestSteps.size() > 4 * ProgressBuilder::MaxBuckets + 1
        || progress.players.size() > ProgressBuilder::MaxPlayers)
        std::abort();

    rankingListLines(table, size % 2);
    rankingClipboardText(table, size % 2);
    return 0;
}
