#include "records/gamereport.h"

#include <algorithm>
#include <cmath>

namespace {
double speedOf(qint64 keys, qint64 playedMs)
{
    return playedMs > 0 ? double(keys) * 60000.0 / double(playedMs) : 0;
}

double accuracyOf(qint64 keys, qint64 misses)
{
    return keys + misses > 0 ? double(keys) / double(keys + misses) : 0;
}

// "▲12", "▼1.2", "±0" at the precision shown.
QString change(double now, double before, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    const double difference = std::round((now - before) * scale) / scale;
    if (difference == 0)
        return QStringLiteral("±0");
    return (difference > 0 ? QStringLiteral("▲") : QStringLiteral("▼"))
         + QString::number(std::abs(difference), 'f', decimals);
}

// Keys that type nothing visible are named.
QString keyName(QChar key)
{
    switch (key.unicode()) {
    case u' ':
        return QStringLiteral("Space");
    case u'\b':
        return QStringLiteral("BS");
    case u'\t':
        return QStringLiteral("Tab");
    case u'\r':
    case u'\n':
        return QStringLiteral("Enter");
    }
    return key.isPrint() ? QString(key) : QStringLiteral("U+%1").arg(int(key.unicode()), 4, 16, QChar(u'0'));
}
}

GameReport GameReport::of(const GameRecord &game)
{
    GameReport report;
    report.pressed = game.keys + game.misses > 0;
    report.speed = speedOf(game.keys, game.playedMs);
    report.accuracy = accuracyOf(game.keys, game.misses);

    for (auto it = game.confusions.cbegin(); it != game.confusions.cend(); ++it)
        report.confusions.append({it.key().first, it.key().second, it.value()});
    // Stable: equal counts stay in the order of the keys.
    std::stable_sort(report.confusions.begin(), report.confusions.end(),
                     [](const Confusion &a, const Confusion &b) { return a.count > b.count; });
    if (report.confusions.size() > ShownConfusions)
        report.confusions.resize(ShownConfusions);

    for (auto it = game.keyStats.cbegin(); it != game.keyStats.cend(); ++it) {
        // A key typed only as a prompt's first has only reading time.
        if (it->typed > it->first)
            report.slowest.append({it.key(), it->typingMs()});
    }
    std::stable_sort(report.slowest.begin(), report.slowest.end(),
                     [](const Slow &a, const Slow &b) { return a.ms > b.ms; });
    if (report.slowest.size() > ShownSlowest)
        report.slowest.resize(ShownSlowest);
    return report;
}

GameReport::Average GameReport::averageOf(const QList<Figures> &games)
{
    Average average;
    for (const Figures &game : games) {
        if (game.keys + game.misses == 0)
            continue;
        ++average.games;
        average.speed += speedOf(game.keys, game.playedMs);
        average.accuracy += accuracyOf(game.keys, game.misses);
    }
    if (average.games > 0) {
        average.speed /= average.games;
        average.accuracy /= average.games;
    }
    return average;
}

QString GameReport::speedLine() const
{
    if (!pressed)
        return QStringLiteral("速さ —");
    QString line = QStringLiteral("速さ %1 打/分").arg(qRound64(speed));
    if (average && average->games > 0)
        line += u' ' + change(std::round(speed), std::round(average->speed), 0);
    return line;
}

QString GameReport::accuracyLine() const
{
    if (!pressed)
        return QStringLiteral("正確さ —");
    QString line = QStringLiteral("正確さ %1%").arg(accuracy * 100, 0, 'f', 1);
    if (average && average->games > 0)
        line += u' ' + change(accuracy * 100, average->accuracy * 100, 1);
    return line;
}

QString GameReport::averageLine() const
{
    if (!pressed || !average || average->games == 0)
        return {};
    return QStringLiteral("▲▼ 最近%1ゲームの平均との差").arg(average->games);
}

QString GameReport::missLine() const
{
    if (confusions.isEmpty())
        return QStringLiteral("ミス なし");
    QStringList words;
    for (const Confusion &c : confusions)
        words << QStringLiteral("%1→%2 %3回").arg(keyName(c.expected), keyName(c.pressed)).arg(c.count);
    return QStringLiteral("ミス ") + words.join(u'、');
}

QString GameReport::slowLine() const
{
    if (slowest.isEmpty())
        return QStringLiteral("遅いキー —");
    QStringList words;
    for (const Slow &slow : slowest)
        words << QStringLiteral("%1 %2ms")
                     .arg(slow.key.size() == 1 ? keyName(slow.key[0]) : slow.key)
                     .arg(qRound64(slow.ms));
    return QStringLiteral("遅いキー ") + words.join(u'、');
}
