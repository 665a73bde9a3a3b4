#include "records/weakkeyspanel.h"

#include "platform/keyboardview.h"
#include "records/chartparts.h"
#include "records/keyprogresschart.h"
#include "records/lessonprogressview.h"
#include "records/weakkeys.h"

#include <QHBoxLayout>
#include <QTableWidget>

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

WeakKeysPanel::WeakKeysPanel(QWidget *parent)
    : KeyPanel(QStringLiteral("%1回以上打とうとしたキーのうち、ミスのあったキーをミス率の高い順に並べています。")
                   .arg(WeakKeys::MinAttempts),
               parent)
{
    m_keys = table(QStringLiteral("キー"), content());
    m_kana = table(QStringLiteral("かな"), content());
    auto *lists = new QHBoxLayout;
    lists->addWidget(m_keys, 0, Qt::AlignTop);
    lists->addWidget(m_kana, 0, Qt::AlignTop);
    lists->addWidget(m_lessons = new LessonProgressView(this), 0, Qt::AlignTop);
    lists->addStretch();
    setLists(lists);
    for (QTableWidget *t : {m_keys, m_kana}) {
        connect(t, &QTableWidget::cellClicked, this, [this, t](int row) {
            chooseKey(t->item(row, 0)->text(), t == m_kana);
        });
    }
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
    showFigures();
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
