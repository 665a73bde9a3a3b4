#include "records/keyspeedpanel.h"

#include "platform/keyboardview.h"
#include "records/chartparts.h"
#include "records/keyprogresschart.h"
#include "records/keyspeed.h"

#include <QTableWidget>

KeySpeedPanel::KeySpeedPanel(QWidget *parent)
    : KeyPanel(QStringLiteral("前のキーから打つまでの時間です (問題の最初のキーとミスの時間は除きます)。"
                              "%1回以上打ったキーのうち、遅い順に並べています。")
                   .arg(KeySpeed::MinTimed),
               parent)
{
    m_keys = ChartParts::keyTable({QStringLiteral("キー"), QStringLiteral("打鍵"), QStringLiteral("平均 ms"),
                                   QStringLiteral("打/分")},
                                  content());
    setLists(m_keys);
    connect(m_keys, &QTableWidget::cellClicked, this,
            [this](int row) { chooseKey(m_keys->item(row, 0)->text()); });
}

QColor KeySpeedPanel::colourOf(double ms, double fastest, double slowest)
{
    const double share = slowest > fastest ? std::clamp((ms - fastest) / (slowest - fastest), 0.0, 1.0) : 0;
    return QColor::fromRgbF(1, float(1 - 0.45 * share), float(1 - share));
}

void KeySpeedPanel::showTallies(const KeyTallies &keys)
{
    double fastest = 0, slowest = 0;
    for (const KeyTally &tally : keys) {
        if (tally.typed <= tally.first)
            continue;
        const double ms = tally.typingMs();
        fastest = fastest == 0 ? ms : std::min(fastest, ms);
        slowest = std::max(slowest, ms);
    }
    m_colours.clear();
    for (auto it = keys.cbegin(); it != keys.cend(); ++it) {
        const QChar key = it.key().size() == 1 ? KeyboardLayout::keyOf(it.key()[0]) : QChar();
        if (!key.isNull() && it->typed > it->first)
            m_colours.insert(key, colourOf(it->typingMs(), fastest, slowest));
    }
    m_keyboard->setKeyColours(m_colours);

    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    const QList<KeySpeed::Slow> slow = KeySpeed::slowest(keys, ListedKeys);
    m_keys->clearSelection();
    m_keys->setRowCount(int(slow.size()));
    for (int row = 0; row < int(slow.size()); ++row) {
        const double ms = slow[row].tally.typingMs();
        ChartParts::setRow(m_keys, row, {slow[row].key, japanese.toString(slow[row].tally.typed - slow[row].tally.first),
                                         japanese.toString(qRound64(ms)),
                                         japanese.toString(qRound64(KeySpeed::perMinute(ms)))});
    }
    markChosen();
    showFigures();
}

void KeySpeedPanel::chooseKey(const QString &key)
{
    m_chosen = key;
    markChosen();
    m_chart->showMessage(key.isEmpty() ? KeyProgressChart::Choose : ChartParts::Loading);
    emit keyChosen();
}

void KeySpeedPanel::markChosen()
{
    m_keyboard->setHighlighted(m_chosen.size() == 1 ? m_chosen[0] : QChar());
    m_keys->clearSelection();
    for (int row = 0; row < m_keys->rowCount(); ++row) {
        if (m_keys->item(row, 0)->text() == m_chosen)
            m_keys->selectRow(row);
    }
}
