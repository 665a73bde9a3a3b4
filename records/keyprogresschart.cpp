#include "records/keyprogresschart.h"

#include "records/chartparts.h"

#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLineSeries>
#include <QLocale>
#include <QScatterSeries>
#include <QStackedWidget>
#include <QValueAxis>
#include <QVBoxLayout>

const QString KeyProgressChart::Choose =
    QStringLiteral("キーボードか表のキーを選ぶと、そのキーの推移を表示します。");

KeyProgressChart::KeyProgressChart(QWidget *parent) : QWidget(parent)
{
    const QFont font = this->font();
    m_chart = ChartParts::chart(font);
    m_axisX = ChartParts::axis(m_chart, Qt::AlignBottom, QStringLiteral("ゲーム"), font);
    m_axisMisses = ChartParts::axis(m_chart, Qt::AlignLeft, QStringLiteral("ミス率 (%)"), font);
    m_axisTimes = ChartParts::axis(m_chart, Qt::AlignRight, QStringLiteral("平均 ms"), font);
    m_misses = ChartParts::dots(QStringLiteral("ミス率"), ChartParts::Vermillion);
    m_missTrend = ChartParts::line(QStringLiteral("ミス率の傾向"), ChartParts::Vermillion.darker(130));
    m_times = ChartParts::dots(QStringLiteral("平均 ms"), ChartParts::Blue);
    m_timeTrend = ChartParts::line(QStringLiteral("平均 ms の傾向"), ChartParts::Blue.darker(130));
    ChartParts::attach(m_chart, m_misses, m_axisX, m_axisMisses);
    ChartParts::attach(m_chart, m_missTrend, m_axisX, m_axisMisses);
    ChartParts::attach(m_chart, m_times, m_axisX, m_axisTimes);
    ChartParts::attach(m_chart, m_timeTrend, m_axisX, m_axisTimes);
    for (QLineSeries *trend : {m_missTrend, m_timeTrend}) {
        QPen pen = trend->pen();
        pen.setStyle(Qt::DashLine);
        trend->setPen(pen);
    }

    m_lblTitle = new QLabel(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_lblTitle);
    auto *frame = new QWidget(this);
    const ChartParts::Frame parts = ChartParts::frame(m_chart, frame);
    parts.summary->hide();
    frame->layout()->setContentsMargins(0, 0, 0, 0);
    m_area = parts.area;
    m_lblMessage = parts.message;
    m_lblMessage->setWordWrap(true);
    layout->addWidget(frame, 1);
    showMessage(Choose);
}

void KeyProgressChart::showMessage(const QString &text)
{
    m_lblMessage->setText(text);
    m_area->setCurrentWidget(m_lblMessage);
    if (text == Choose)
        m_lblTitle->clear();
}

void KeyProgressChart::showProgress(const KeyProgress &p)
{
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    QString title = QStringLiteral("「%1」の推移: %2ゲーム").arg(p.key, japanese.toString(p.games));
    if (p.byDay)
        title += QStringLiteral("、1日ごと");
    if (!p.firstDate.isEmpty())
        title += QStringLiteral(" (%1～%2)").arg(p.firstDate, p.lastDate);
    m_lblTitle->setText(title);
    if (p.misses.isEmpty()) {
        showMessage(QStringLiteral("このキーを打ったゲームはまだありません。"));
        m_lblTitle->setText(title);
        return;
    }
    m_axisX->setTitleText(p.byDay ? QStringLiteral("日") : QStringLiteral("ゲーム"));
    m_misses->replace(p.misses);
    m_missTrend->replace(p.missTrend);
    m_times->replace(p.times);
    m_timeTrend->replace(p.timeTrend);
    double worst = 1, slowest = 1;
    for (const QPointF &point : p.misses + p.missTrend)
        worst = std::max(worst, point.y());
    for (const QPointF &point : p.times + p.timeTrend)
        slowest = std::max(slowest, point.y());
    ChartParts::setTicks(m_axisX, 0, double(p.misses.size()), false);
    ChartParts::setTicks(m_axisMisses, 0, std::min(worst, 100.0), true);
    ChartParts::setTicks(m_axisTimes, 0, slowest, true);
    m_area->setCurrentIndex(0);
}
