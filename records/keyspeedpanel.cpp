#include "records/keyspeedpanel.h"

#include "platform/keyboardview.h"
#include "records/chartparts.h"
#include "records/keyprogresschart.h"
#include "records/keyspeed.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QStackedWidget>
#include <QTableWidget>
#include <QVBoxLayout>

KeySpeedPanel::KeySpeedPanel(QWidget *parent) : QWidget(parent)
{
    m_cboRange = ChartParts::rangeChoice(this);
    connect(m_cboRange, &QComboBox::activated, this, &KeySpeedPanel::rangeChanged);

    auto *content = new QWidget(this);
    m_keys = ChartParts::keyTable({QStringLiteral("キー"), QStringLiteral("打鍵"), QStringLiteral("平均 ms"),
                                   QStringLiteral("打/分")},
                                  content);
    m_keyboard = new KeyboardView(content);
    m_keyboard->installEventFilter(this);
    m_chart = new KeyProgressChart(content);
    auto *note = new QLabel(QStringLiteral("前のキーから打つまでの時間です (問題の最初のキーとミスの時間は除きます)。"
                                           "%1回以上打ったキーのうち、遅い順に並べています。")
                                .arg(KeySpeed::MinTimed),
                            content);
    note->setWordWrap(true);
    auto *grid = new QGridLayout(content);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(m_keyboard, 0, 0, Qt::AlignLeft);
    grid->addWidget(note, 1, 0);
    grid->addWidget(m_keys, 2, 0, Qt::AlignLeft | Qt::AlignTop);
    grid->setRowStretch(3, 1);
    grid->addWidget(m_chart, 0, 1, 4, 1);
    grid->setColumnStretch(1, 1);
    m_lblMessage = ChartParts::message(this);
    m_lblMessage->setWordWrap(true);
    m_area = new QStackedWidget(this);
    m_area->addWidget(content);
    m_area->addWidget(m_lblMessage);
    connect(m_keys, &QTableWidget::cellClicked, this,
            [this](int row) { chooseKey(m_keys->item(row, 0)->text()); });

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(ChartParts::choice(QStringLiteral("範囲(&R):"), m_cboRange));
    layout->addWidget(m_area, 1);
    showMessage(ChartParts::Loading);
}

int KeySpeedPanel::games() const
{
    return ChartParts::games(m_cboRange);
}

void KeySpeedPanel::showMessage(const QString &text)
{
    m_lblMessage->setText(text);
    m_area->setCurrentWidget(m_lblMessage);
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
    m_area->setCurrentIndex(0);
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

bool KeySpeedPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_keyboard && event->type() == QEvent::MouseButtonPress) {
        const QChar key = ChartParts::keyAt(m_keyboard, static_cast<QMouseEvent *>(event)->position());
        if (!key.isNull())
            chooseKey(QString(key));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
