#include "records/speedchart.h"

#include "records/chartparts.h"

#include <QChart>
#include <QLabel>
#include <QLineSeries>
#include <QLocale>
#include <QScatterSeries>
#include <QStackedWidget>
#include <QValueAxis>

SpeedChart::SpeedChart(QWidget *parent) : QWidget(parent)
{
    const QFont font = this->font();
    m_chart = ChartParts::chart(font);
    m_axisX = ChartParts::axis(m_chart, Qt::AlignBottom, QStringLiteral("ゲーム"), font);
    m_axisSpeed = ChartParts::axis(m_chart, Qt::AlignLeft, QStringLiteral("打/分"), font);
    m_axisAccuracy = ChartParts::axis(m_chart, Qt::AlignRight, QStringLiteral("正確さ (%)"), font);
    m_speeds = ChartParts::dots(QStringLiteral("打/分"), QColor(70, 130, 180));
    m_speedAverages = ChartParts::line(QStringLiteral("打/分 (直近10ゲームの平均)"), QColor(20, 40, 140));
    m_accuracies = ChartParts::dots(QStringLiteral("正確さ"), QColor(240, 150, 60));
    m_accuracyAverages = ChartParts::line(QStringLiteral("正確さ (直近10ゲームの平均)"), QColor(190, 80, 0));
    ChartParts::attach(m_chart, m_speeds, m_axisX, m_axisSpeed);
    ChartParts::attach(m_chart, m_accuracies, m_axisX, m_axisAccuracy);
    ChartParts::attach(m_chart, m_speedAverages, m_axisX, m_axisSpeed);
    ChartParts::attach(m_chart, m_accuracyAverages, m_axisX, m_axisAccuracy);

    const ChartParts::Frame frame = ChartParts::frame(m_chart, this);
    m_area = frame.area;
    m_lblMessage = frame.message;
    m_lblSummary = frame.summary;
    showMessage(ChartParts::Loading);
}

void SpeedChart::showMessage(const QString &text)
{
    m_lblMessage->setText(text);
    m_area->setCurrentWidget(m_lblMessage);
    m_lblSummary->clear();
}

void SpeedChart::showProgress(const SpeedProgress &p)
{
    if (p.games == 0) {
        showMessage(ChartParts::NoRecords);
        return;
    }
    m_speeds->replace(p.speeds);
    m_speedAverages->replace(p.speedAverages);
    m_accuracies->replace(p.accuracies);
    m_accuracyAverages->replace(p.accuracyAverages);
    double fastest = 1;
    for (const QPointF &point : p.speeds)
        fastest = std::max(fastest, point.y());
    ChartParts::setTicks(m_axisX, 0, double(p.games), false);
    ChartParts::setTicks(m_axisSpeed, 0, fastest, true);
    m_axisAccuracy->setTickType(QValueAxis::TicksFixed);
    m_axisAccuracy->setTickCount(6);
    m_axisAccuracy->setRange(0, 100);
    m_area->setCurrentIndex(0);

    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    const QString summary = QStringLiteral("ゲーム数 %1   直近10の平均 %2 打/分   正確さ %3%")
                                .arg(japanese.toString(p.games))
                                .arg(p.recentSpeed, 0, 'f', 0)
                                .arg(p.recentAccuracy, 0, 'f', 1);
    m_lblSummary->setText(summary);
    m_lblSummary->setToolTip(summary);
}
