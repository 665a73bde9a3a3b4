#include "records/chartparts.h"

#include "platform/keyboardview.h"

#include <QChartView>
#include <QHeaderView>
#include <QTableWidget>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>
#include <cmath>

namespace ChartParts {

const QString NoRecords = QStringLiteral("まだ記録がありません。");
const QString Loading = QStringLiteral("読み込み中…");

QString unreadable(const QString &reason)
{
    return QStringLiteral("読めません\n%1").arg(reason);
}

const QColor Blue(0, 114, 178), Orange(230, 159, 0), SkyBlue(86, 180, 233), ReddishPurple(204, 121, 167),
    Black(0, 0, 0), Yellow(240, 228, 66), Vermillion(213, 94, 0), BluishGreen(0, 158, 115);
const QList<QColor> PlayerColours{Blue, Orange, SkyBlue, ReddishPurple, Black, Yellow};
const QColor OtherPlayers(170, 170, 170);

namespace {
// A step of 1, 2 or 5 times a power of ten giving about five ticks.
double tickStep(double span)
{
    const double rough = std::max(span, 5.0) / 5;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= rough)
            return factor * power;
    }
    return 10 * power;
}
}

QChart *chart(const QFont &font)
{
    auto *chart = new QChart;
    chart->legend()->setAlignment(Qt::AlignTop);
    chart->legend()->setFont(font);
    return chart;
}

QValueAxis *axis(QChart *chart, Qt::Alignment side, const QString &title, const QFont &font)
{
    auto *axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setLabelFormat(QStringLiteral("%d"));
    axis->setLabelsFont(font);
    axis->setTitleFont(font);
    chart->addAxis(axis, side);
    return axis;
}

QScatterSeries *dots(const QString &name, const QColor &colour)
{
    auto *series = new QScatterSeries;
    series->setName(name);
    series->setMarkerSize(5);
    series->setColor(colour);
    series->setBorderColor(Qt::transparent);
    return series;
}

QLineSeries *line(const QString &name, const QColor &colour)
{
    auto *series = new QLineSeries;
    series->setName(name);
    series->setPen(QPen(colour, 2));
    return series;
}

void attach(QChart *chart, QXYSeries *series, QValueAxis *x, QValueAxis *y)
{
    chart->addSeries(series);
    series->attachAxis(x);
    series->attachAxis(y);
}

void setTicks(QValueAxis *axis, double low, double high, bool endOnTick)
{
    const double step = tickStep(high - low);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(step);
    axis->setRange(std::floor(low / step) * step,
                   endOnTick ? (std::floor(high / step) + 1) * step : high + std::max(1.0, high / 50));
}

QLabel *message(QWidget *parent)
{
    auto *label = new QLabel(NoRecords, parent);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

Frame frame(QChart *chart, QWidget *tab)
{
    Frame f;
    f.view = new QChartView(chart, tab);
    f.view->setRenderHint(QPainter::Antialiasing);
    f.view->setFocusPolicy(Qt::NoFocus);
    f.message = message(tab);
    f.area = new QStackedWidget(tab);
    f.area->addWidget(f.view);
    f.area->addWidget(f.message);
    f.summary = new QLabel(tab);
    f.summary->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    f.summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *layout = new QVBoxLayout(tab);
    layout->addWidget(f.area, 1);
    layout->addWidget(f.summary);
    return f;
}

QHBoxLayout *choice(const QString &label, QComboBox *combo)
{
    auto *name = new QLabel(label, combo->parentWidget());
    name->setBuddy(combo);
    auto *row = new QHBoxLayout;
    row->addWidget(name);
    row->addWidget(combo);
    row->addStretch();
    return row;
}

QComboBox *rangeChoice(QWidget *parent)
{
    auto *range = new QComboBox(parent);
    range->addItems({QStringLiteral("最後のゲーム"), QStringLiteral("最近の10ゲーム"), QStringLiteral("すべて")});
    // One game says too little about most keys.
    range->setCurrentIndex(1);
    return range;
}

int games(const QComboBox *range)
{
    static const int Games[] = {1, 10, 0};
    return Games[std::clamp(range->currentIndex(), 0, 2)];
}

QTableWidget *keyTable(const QStringList &headers, QWidget *parent)
{
    auto *t = new QTableWidget(0, int(headers.size()), parent);
    t->setHorizontalHeaderLabels(headers);
    t->verticalHeader()->hide();
    t->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    t->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setFocusPolicy(Qt::NoFocus);
    t->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    t->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    t->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return t;
}

void setRow(QTableWidget *table, int row, const QStringList &cells)
{
    for (int column = 0; column < cells.size(); ++column) {
        auto *item = new QTableWidgetItem(cells[column]);
        item->setTextAlignment(column == 0 ? Qt::AlignCenter : Qt::AlignRight | Qt::AlignVCenter);
        table->setItem(row, column, item);
    }
}

QChar keyAt(const KeyboardView *keyboard, const QPointF &pos)
{
    for (const KeyboardLayout::Key &key : KeyboardLayout::keys()) {
        if (keyboard->keyRect(key.key).contains(pos))
            return key.key;
    }
    return {};
}

}
