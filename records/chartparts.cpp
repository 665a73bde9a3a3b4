#include "records/chartparts.h"

#include <QChartView>
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

}
