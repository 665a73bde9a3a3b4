#include "records/weakkeyspanel.h"

#include "platform/keyboardview.h"
#include "records/chartparts.h"
#include "records/lessonprogressview.h"
#include "records/weakkeys.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStackedWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
constexpr double FullRed = 0.25;
const int RangeGames[] = {1, 10, 0};

QTableWidget *table(const QString &first, QWidget *parent)
{
    auto *t = new QTableWidget(0, 4, parent);
    t->setHorizontalHeaderLabels({first, QStringLiteral("打鍵"), QStringLiteral("ミス率"),
                                  QStringLiteral("平均 ms")});
    t->verticalHeader()->hide();
    t->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionMode(QAbstractItemView::NoSelection);
    t->setFocusPolicy(Qt::NoFocus);
    t->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    t->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    t->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return t;
}

void fill(QTableWidget *t, const QList<WeakKeys::Weak> &weakest)
{
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    t->setRowCount(int(weakest.size()));
    for (int row = 0; row < int(weakest.size()); ++row) {
        const KeyTally &tally = weakest[row].tally;
        const QString cells[] = {weakest[row].key, japanese.toString(tally.typed),
                                 QString::number(tally.missRate() * 100, 'f', 1) + u'%',
                                 japanese.toString(qRound64(tally.meanMs()))};
        for (int column = 0; column < 4; ++column) {
            auto *item = new QTableWidgetItem(cells[column]);
            item->setTextAlignment(column == 0 ? Qt::AlignCenter : Qt::AlignRight | Qt::AlignVCenter);
            t->setItem(row, column, item);
        }
    }
}
}

WeakKeysPanel::WeakKeysPanel(QWidget *parent) : QWidget(parent)
{
    m_cboRange = new QComboBox(this);
    m_cboRange->addItems({QStringLiteral("最後のゲーム"), QStringLiteral("最近の10ゲーム"),
                          QStringLiteral("すべて")});
    connect(m_cboRange, &QComboBox::activated, this, &WeakKeysPanel::rangeChanged);

    m_keys = table(QStringLiteral("キー"), this);
    m_kana = table(QStringLiteral("かな"), this);
    auto *content = new QWidget(this);
    auto *lists = new QHBoxLayout;
    lists->addWidget(m_keys, 0, Qt::AlignTop);
    lists->addWidget(m_kana, 0, Qt::AlignTop);
    lists->addWidget(m_lessons = new LessonProgressView(this), 0, Qt::AlignTop);
    lists->addStretch();
    m_keyboard = new KeyboardView(content);
    auto *column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(m_keyboard, 0, Qt::AlignHCenter);
    column->addWidget(new QLabel(
        QStringLiteral("%1回以上打ったキーのうち、ミス率の高い順です。").arg(WeakKeys::MinTyped), content));
    column->addLayout(lists);
    column->addStretch();
    m_lblMessage = ChartParts::message(this);
    m_area = new QStackedWidget(this);
    m_area->addWidget(content);
    m_area->addWidget(m_lblMessage);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(ChartParts::choice(QStringLiteral("範囲(&R):"), m_cboRange));
    layout->addWidget(m_area, 1);
    showMessage(ChartParts::Loading);
}

int WeakKeysPanel::games() const
{
    return RangeGames[std::max(0, m_cboRange->currentIndex())];
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

void WeakKeysPanel::showTallies(const KeyTallies &keys, const KeyTallies &kana, bool kanaMode)
{
    if (keys.isEmpty()) {
        showMessage(ChartParts::NoRecords);
        return;
    }
    m_colours.clear();
    for (auto it = keys.cbegin(); it != keys.cend(); ++it) {
        // A shifted sign is coloured on the key it is typed with.
        const QChar key = it.key().size() == 1 ? KeyboardLayout::keyOf(it.key()[0]) : QChar();
        if (!key.isNull())
            m_colours.insert(key, colourOf(*it));
    }
    m_keyboard->setKeyColours(m_colours);
    fill(m_keys, WeakKeys::weakest(keys, ListedKeys));
    fill(m_kana, WeakKeys::weakest(kana, ListedKana));
    m_kana->setVisible(kanaMode);
    m_area->setCurrentIndex(0);
}
