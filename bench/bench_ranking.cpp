// How long the ranking and the chart of progress take to open on a result
// file grown over years of play, and whether reading such a file holds more
// memory than a few chunks. Each file is written once per run into a
// temporary folder.

#include "platform/cp932.h"
#include "platform/fieldreader.h"
#include "records/progress.h"
#include "records/ranking.h"
#include "records/resultrecord.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <random>
#include <sys/resource.h>

namespace {

constexpr int RecordCount = 1'000'000;

double peakRssMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

QString randomName(std::mt19937 &rng)
{
    static const QString latin = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    static const QString kanji = u"山田太郎鈴木花子佐藤一郎高橋次郎渡辺美香伊藤健"_qs;
    std::uniform_int_distribution<int> length(4, 10);
    std::uniform_int_distribution<int> kind(0, 3);
    const bool japanese = kind(rng) == 0; // one player in four types a kanji name
    const QString &pool = japanese ? kanji : latin;
    std::uniform_int_distribution<qsizetype> pick(0, pool.size() - 1);
    QString name;
    for (int i = length(rng); i > 0; --i)
        name += pool[pick(rng)];
    return name;
}

// Writes the file in batches so that making it does not raise the memory peak
// the ranking is measured against.
template <typename LevelOf, typename NameOf>
QString writeResultFile(const QString &path, int count, LevelOf levelOf, NameOf nameOf)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    std::mt19937 rng(20011202);
    std::uniform_int_distribution<int> pause(1, 10); // minutes between games
    // The text is the same either way; local time would consult the time zone
    // database on every line and make writing the file the slowest step.
    QDateTime when(QDate(2001, 6, 1), QTime(9, 0), Qt::UTC);
    QByteArray batch;
    for (int n = 0; n < count; ++n) {
        when = when.addSecs(60 * pause(rng));
        batch += ResultFile::formatLine(levelOf(n, rng), nameOf(n, rng), when);
        if (batch.size() > (1 << 16)) {
            file.write(batch);
            batch.clear();
        }
    }
    file.write(batch);
    return path;
}

QTemporaryDir &workDir()
{
    static QTemporaryDir dir;
    return dir;
}

const QString &realisticFile()
{
    static const QString path = writeResultFile(workDir().filePath(QStringLiteral("Kolrin.dat")),
                                                RecordCount, [](int, std::mt19937 &rng) {
                                                    std::uniform_int_distribution<int> level(1, 60);
                                                    return std::int16_t(level(rng));
                                                }, [](int, std::mt19937 &rng) { return randomName(rng); });
    return path;
}

// Levels that keep rising, so nearly every record beats entry 30 and the
// table is sorted after each one: the most work a file can ask for.
const QString &risingFile()
{
    static const QString path = writeResultFile(workDir().filePath(QStringLiteral("KolrinR.dat")),
                                                RecordCount, [](int n, std::mt19937 &) {
                                                    return std::int16_t(1 + n / 31);
                                                }, [](int, std::mt19937 &rng) { return randomName(rng); });
    return path;
}

void rankFile(benchmark::State &state, const QString &path)
{
    if (path.isEmpty()) {
        state.SkipWithError("could not write the result file");
        return;
    }
    const qint64 fileBytes = QFile(path).size();
    const double rssBefore = peakRssMiB();
    qint64 records = 0;
    int topLevel = 0;
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            state.SkipWithError("could not open the result file");
            return;
        }
        RankingBuilder builder;
        builder.addAll(file);
        const ResultTable table = builder.result();
        benchmark::DoNotOptimize(&table);
        records = builder.recordCount();
        topLevel = table[1].Level;
    }
    state.SetBytesProcessed(state.iterations() * fileBytes);
    state.counters["records"] = double(records);
    state.counters["top_level"] = topLevel;
    state.counters["file_MiB"] = double(fileBytes) / (1 << 20);
    state.counters["peak_rss_before_MiB"] = rssBefore;
    state.counters["peak_rss_after_MiB"] = peakRssMiB();
}

void BM_RankRealisticFile(benchmark::State &state)
{
    rankFile(state, realisticFile());
}

void BM_RankRisingFile(benchmark::State &state)
{
    rankFile(state, risingFile());
}

// Two players taking turns in runs of a few games, each slowly getting better.
const QString &twoPlayerFile()
{
    static const QString path = writeResultFile(
        workDir().filePath(QStringLiteral("TwoPlayers.dat")), RecordCount,
        [](int n, std::mt19937 &rng) {
            std::uniform_int_distribution<int> spread(-8, 8);
            return std::int16_t(std::max(1, 10 + n / 40000 + spread(rng)));
        },
        [](int n, std::mt19937 &) {
            return (n / 7) % 3 == 0 ? QStringLiteral("player1") : u"山田太郎"_qs;
        });
    return path;
}

void buildProgress(benchmark::State &state, const QString &path, std::optional<QString> player)
{
    if (path.isEmpty()) {
        state.SkipWithError("could not write the result file");
        return;
    }
    const qint64 fileBytes = QFile(path).size();
    const double rssBefore = peakRssMiB();
    Progress progress;
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            state.SkipWithError("could not open the result file");
            return;
        }
        ProgressBuilder builder(player ? std::optional(ProgressBuilder::keyOf(*player)) : std::nullopt);
        builder.addAll(file);
        progress = builder.result();
        benchmark::DoNotOptimize(&progress);
    }
    state.SetBytesProcessed(state.iterations() * fileBytes);
    state.counters["games"] = double(progress.games);
    state.counters["players"] = double(progress.players.size());
    state.counters["points"] = double(progress.levels.size() + progress.recentAverages.size()
                                      + progress.bestSteps.size());
    state.counters["file_MiB"] = double(fileBytes) / (1 << 20);
    state.counters["peak_rss_before_MiB"] = rssBefore;
    state.counters["peak_rss_after_MiB"] = peakRssMiB();
}

// A thousand names of 100,000 characters each (100 MB): what the list keeps of
// them must not grow with them.
const QString &longNamesFile()
{
    static const QString path = writeResultFile(
        workDir().filePath(QStringLiteral("LongNames.dat")), 1000,
        [](int n, std::mt19937 &) { return std::int16_t(1 + n % 40); },
        [](int n, std::mt19937 &) {
            return QString::number(n).leftJustified(100000, QChar(u'A' + n % 26));
        });
    return path;
}

void BM_ProgressOfOnePlayer(benchmark::State &state)
{
    buildProgress(state, twoPlayerFile(), u"山田太郎"_qs);
}

void BM_ProgressOfEveryone(benchmark::State &state)
{
    buildProgress(state, twoPlayerFile(), std::nullopt);
}

// Every record a new name: past the list's limit each name is decoded to be
// compared, the most work a file can ask for.
void BM_ProgressAmongDistinctNames(benchmark::State &state)
{
    buildProgress(state, realisticFile(), u"山田太郎"_qs);
}

void BM_ProgressAmongLongNames(benchmark::State &state)
{
    buildProgress(state, longNamesFile(), u"山田太郎"_qs);
}

const QByteArray &wholeFileBytes()
{
    static const QByteArray bytes = [] {
        QFile file(realisticFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    return bytes;
}

template <typename Reader, typename View>
void readAllFields(benchmark::State &state, View text, qint64 bytes)
{
    qint64 fields = 0;
    for (auto _ : state) {
        Reader reader(text);
        while (!reader.atEnd()) {
            const View field = reader.next();
            benchmark::DoNotOptimize(field.data());
            ++fields;
        }
    }
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["fields"] = benchmark::Counter(double(fields), benchmark::Counter::kIsRate);
}

void BM_ByteFieldReader(benchmark::State &state)
{
    const QByteArray &bytes = wholeFileBytes();
    readAllFields<ByteFieldReader>(state, QByteArrayView(bytes), bytes.size());
}

void BM_FieldReader(benchmark::State &state)
{
    static const QString text = Cp932::decode(wholeFileBytes());
    // Counted in the text's own UTF-16 bytes.
    readAllFields<FieldReader>(state, QStringView(text), text.size() * qint64(sizeof(QChar)));
}

}

// Ranking and progress first: the field readers hold the whole file in memory, which would
// hide whether the ranking does.
BENCHMARK(BM_RankRealisticFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RankRisingFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ProgressOfOnePlayer)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ProgressOfEveryone)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ProgressAmongDistinctNames)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ProgressAmongLongNames)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ByteFieldReader)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FieldReader)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
