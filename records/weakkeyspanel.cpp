#include "records/weakkeyspanel.h"

#include "platform/keyboardview.h"
#include "records/chartparts.h"
#include "records/keyprogresschart.h"
#include "records/lessonprogressview.h"
#include "records/weakkeys.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QStackedWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
constexpr double FullRed = 0.25;

QTableWidget *table(const QString &first, QWidget *parent)
{
    return ChartParts::keyTable({first, QStringLiteral("打鍵"), QStringLiteral("ミス"),
                                 QStringLiteral("ミス率"), QStringLiteral("平均 ms")},
                                parent);
}

void fill(QTableWidget *t, const QList<WeakKeys::Weak> &weakest)
{
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    t->clearSelection();
    t->setRowCount(int(weakest.size()));
    for (int row = 0; row < int(weakest.size()); ++row) {
        const KeyTally &tally = weakest[row].tally;
        ChartParts::setRow(t, row, {weakest[row].key, japanese.toString(tally.typed),
                                    japanese.toString(tally.missed),
                                    QString::number(tally.missRate() * 100, 'f', 1) + u'%',
                                    japanese.toString(qRound64(tally.typingMs()))});
    }
}
}

WeakKeysPanel::WeakKeysPanel(QWidget *parent) : QWidget(parent)
{
    m_cboRange = ChartParts::rangeChoice(this);
    connect(m_cboRange, &QComboBox::activated, this, &WeakKeysPanel::rangeChanged);

    auto *content = new QWidget(this);
    m_keys = table(QStringLiteral("キー"), content);
    m_kana = table(QStringLiteral("かな"), content);
    auto *lists = new QHBoxLayout;
    lists->addWidget(m_keys, 0, Qt::AlignTop);
    lists->addWidget(m_kana, 0, Qt::AlignTop);
    lists->addWidget(m_lessons = new LessonProgressView(this), 0, Qt::AlignTop);
    lists->addStretch();
    m_keyboard = new KeyboardView(content);
    m_keyboard->installEventFilter(this);
    m_chart = new KeyProgressChart(content);
    auto *grid = new QGridLayout(content);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(m_keyboard, 0, 0, Qt::AlignLeft);
    auto *note = new QLabel(
        QStringLiteral("%1回以上打とうとしたキーのうち、ミスのあったキーをミス率の高い順に並べています。")
            .arg(WeakKeys::MinAttempts),
        content);
    note->setWordWrap(true);
    grid->addWidget(note, 1, 0);
    grid->addLayout(lists, 2, 0);
    grid->setRowStretch(3, 1);
    grid->addWidget(m_chart, 0, 1, 4, 1);
    grid->setColumnStretch(1, 1);
    m_lblMessage = ChartParts::message(this);
    m_lblMessage->setWordWrap(true);
    m_area = new QStackedWidget(this);
    m_area->addWidget(content);
    m_area->addWidget(m_lblMessage);

    for (QTableWidget *t : {m_keys, m_kana}) {
        connect(t, &QTableWidget::cellClicked, this, [this, t](int row) {
            chooseKey(t->item(row, 0)->text(), t == m_kana);
        });
    }

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(ChartParts::choice(QStringLiteral("範囲(&R):"), m_cboRange));
    layout->addWidget(m_area, 1);
    showMessage(ChartParts::Loading);
}

int WeakKeysPanel::games() const
{
    return ChartParts::games(m_cboRange);
}

void WeakKeysPanel::showMessage(const QString &text)
{
    m_lblMessage->setText(text);
    m_area->setCurrentWidget(m_lblMessage);
}

QColor WeakKeysPanel::colourOf(const KeyTally &tally)
{
    const double share = std::min(1.0, tally.missRate() / FullRed);
    return QColor::fromRgbF(1, float(1 - 0.8 * share), float(1 - 0.8 * share));
}

void WeakKeysPanel::showTallies(const KeyTallies &keys, const KeyTallies &kana, bool kanaMode,
                                bool kanaInput)
{
    m_colours.clear();
    // Keys typed for kana input are named by their kana.
    m_keyboard->setKanaLegends(kanaInput);
    for (auto it = keys.cbegin(); it != keys.cend(); ++it) {
        // A shifted sign is coloured on the key it is typed with.
        const QChar typed = it.key().size() == 1 ? it.key()[0] : QChar();
        const QChar key = kanaInput ? KeyboardLayout::keyOfKana(typed) : KeyboardLayout::keyOf(typed);
        if (!key.isNull())
            m_colours.insert(key, colourOf(*it));
    }
    m_keyboard->setKeyColours(m_colours);
    fill(m_keys, WeakKeys::weakest(keys, ListedKeys));
    fill(m_kana, WeakKeys::weakest(kana, ListedKana));
    m_kana->setVisible(kanaMode);
    if (!kanaMode && m_chosenKana)
        chooseKey({}, false);
    markChosen();
    m_area->setCurrentIndex(0);
}

void WeakKeysPanel::chooseKey(const QString &key, bool kana)
{
    m_chosen = key;
    m_chosenKana = kana;
    markChosen();
    if (key.isEmpty())
        m_chart->showMessage(KeyProgressChart::Choose);
    else
        m_chart->showMessage(ChartParts::Loading);
    emit keyChosen();
}

void WeakKeysPanel::markChosen()
{
    m_keyboard->setHighlighted(!m_chosenKana && m_chosen.size() == 1 ? m_chosen[0] : QChar());
    for (QTableWidget *t : {m_keys, m_kana}) {
        t->clearSelection();
        if ((t == m_kana) != m_chosenKana)
            continue;
        for (int row = 0; row < t->rowCount(); ++row) {
            if (t->item(row, 0)->text() == m_chosen)
                t->selectRow(row);
        }
    }
}

bool WeakKeysPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_keyboard && event->type() == QEvent::MouseButtonPress) {
        const QChar key = ChartParts::keyAt(m_keyboard, static_cast<QMouseEvent *>(event)->position());
        if (!key.isNull())
            chooseKey(QString(key), false);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
