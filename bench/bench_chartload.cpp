// How long each tab of the chart of progress takes to show its figures on big
// files, and the longest the window's thread is kept from its events meanwhile
// (a menu key waits that long at most). A result file of 5,000,000 records
// and the game database of bench_database (bench-data/Kolrin-1m.db, made by
// running that first) are read; the window runs offscreen.
//   build-bench/bench/bench_chartload [path/to/Kolrin-1m.db [PLAYER OTHER letters|kana]]
// PLAYER and OTHER name the database's players the result file holds
// (山田8 and player8 of kana mode by default).

#include "records/frmprogress.h"
#include "records/resultrecord.h"
#include "records/speedchart.h"
#include "records/weakkeyspanel.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <sys/resource.h>

namespace {

double peakRssMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

QString writeResults(const QString &path, int records, const QString &player, const QString &other)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    const QDateTime when(QDate(2024, 5, 1), QTime(21, 6), Qt::UTC);
    QByteArray batch;
    for (int n = 0; n < records; ++n) {
        batch += ResultFile::formatLine(std::int16_t(5 + n % 36), n % 3 ? other : player, when);
        if (batch.size() > (1 << 20)) {
            file.write(batch);
            batch.clear();
        }
    }
    file.write(batch);
    return path;
}

// Runs `step`, then the event loop until the chart has its figures; prints
// the time that took and the longest gap between two ticks of a 1 ms timer.
void measure(const char *what, frmProgress &chart, const std::function<void()> &step)
{
    QElapsedTimer clock, gap;
    qint64 longest = 0;
    QTimer ticks;
    ticks.setInterval(1);
    QObject::connect(&ticks, &QTimer::timeout, [&] { longest = std::max(longest, gap.restart()); });
    clock.start();
    gap.start();
    ticks.start();
    step();
    longest = std::max(longest, gap.restart());
    while (chart.isLoading())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    std::printf("%-40s shown after %6lld ms; window thread held at most %3lld ms; peak memory %.1f MiB\n",
                what, clock.elapsed(), std::max(longest, gap.elapsed()), peakRssMiB());
}

}

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString database = QFileInfo(argc > 1 ? QString::fromLocal8Bit(argv[1])
                                                : QStringLiteral("bench-data/Kolrin-1m.db"))
                                 .absoluteFilePath();
    if (!QFileInfo(database).isFile()) {
        std::fprintf(stderr, "no database at %s: run bench_database first\n", qPrintable(database));
        return 1;
    }
    const bool named = argc > 4;
    const QString player = named ? QString::fromLocal8Bit(argv[2]) : u"山田8"_qs;
    const QString other = named ? QString::fromLocal8Bit(argv[3]) : u"player8"_qs;
    const bool kanaMode = !named || qstrcmp(argv[4], "letters") != 0;
    QTemporaryDir dir;
    const QString results = writeResults(dir.filePath(QStringLiteral("KolrinR.dat")), 5'000'000, player, other);
    frmProgress chart;
    const double rssBefore = peakRssMiB();
    const ProgressWindow::Source source{results, database, kanaMode};
    const auto tab = [&chart](int index) { chart.tabs()->setCurrentIndex(index); };
    const auto range = [&chart](int index) {
        chart.weakKeys()->cboRange()->setCurrentIndex(index);
        emit chart.weakKeys()->cboRange()->activated(index);
    };
    const auto everyone = [&chart] {
        chart.cboPlayer()->setCurrentIndex(0);
        emit chart.cboPlayer()->activated(0);
    };
    // Twice: the second round shows whether memory keeps growing.
    for (int round = 0; round < 2; ++round) {
        chart.cboPlayer()->setCurrentIndex(1);
        range(0);
        measure("levels, 5,000,000 records, one player", chart, [&] {
            tab(frmProgress::LevelTab);
            chart.open(source, player, false);
        });
        measure("speed and accuracy, one player", chart, [&] { tab(frmProgress::SpeedTab); });
        measure("weak keys, one player, the last game", chart, [&] { tab(frmProgress::KeysTab); });
        measure("weak keys, one player, the last ten", chart, [&] { range(1); });
        measure("weak keys, one player, all games", chart, [&] { range(2); });
        measure("everyone: weak keys of all games", chart, everyone);
        measure("everyone: weak keys of the last game", chart, [&] { range(0); });
        measure("everyone: speed and accuracy", chart, [&] { tab(frmProgress::SpeedTab); });
        measure("everyone: levels, 5,000,000 records", chart, [&] { tab(frmProgress::LevelTab); chart.reload(source); });
        // The database's tab does not wait for the file read again for the
        // new choice, nor for those still being read for the choices before.
        QElapsedTimer all;
        all.start();
        for (int choice : {1, 2, 0, 1}) {
            QElapsedTimer clock;
            clock.start();
            tab(frmProgress::SpeedTab);
            chart.cboPlayer()->setCurrentIndex(choice);
            emit chart.cboPlayer()->activated(choice);
            while (chart.isLoading(frmProgress::SpeedTab))
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 1);
            std::printf("%-40s speed tab shown after %4lld ms\n",
                        qPrintable(QStringLiteral("chosen at once: %1").arg(chart.cboPlayer()->currentText())),
                        clock.elapsed());
        }
        while (chart.isLoading())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        std::printf("%-40s the levels of the last after %4lld ms\n", "", all.elapsed());
    }
    std::printf("peak resident memory with the window made: %.1f MiB\n", rssBefore);
    return 0;
}
