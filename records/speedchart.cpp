#include "records/speedchart.h"

#include "records/chartparts.h"

#include <QChart>
#include <QLegend>
#include <QLegendMarker>
#include <QLabel>
#include <QLineSeries>
#include <QLocale>
#include <QScatterSeries>
#include <QStackedWidget>
#include <QValueAxis>

namespace {
const QColor SpeedAverage(20, 40, 140), AccuracyAverage(190, 80, 0), AverageGrey(110, 110, 110);
}

SpeedChart::SpeedChart(QWidget *parent) : QWidget(parent)
{
    const QFont font = this->font();
    m_chart = ChartParts::chart(font);
    m_axisX = ChartParts::axis(m_chart, Qt::AlignBottom, QStringLiteral("ゲーム"), font);
    m_axisSpeed = ChartParts::axis(m_chart, Qt::AlignLeft, QStringLiteral("打/分"), font);
    m_axisAccuracy = ChartParts::axis(m_chart, Qt::AlignRight, QStringLiteral("正確さ (%)"), font);
    m_speeds = ChartParts::dots(QStringLiteral("打/分"), QColor(70, 130, 180));
    m_speedAverages = ChartParts::line(QStringLiteral("打/分 (直近10ゲームの平均)"), SpeedAverage);
    m_accuracies = ChartParts::dots(QStringLiteral("正確さ"), QColor(240, 150, 60));
    m_accuracyAverages = ChartParts::line(QStringLiteral("正確さ (直近10ゲームの平均)"), AccuracyAverage);
    ChartParts::attach(m_chart, m_speeds, m_axisX, m_axisSpeed);
    ChartParts::attach(m_chart, m_accuracies, m_axisX, m_axisAccuracy);
    ChartParts::attach(m_chart, m_speedAverages, m_axisX, m_axisSpeed);
    ChartParts::attach(m_chart, m_accuracyAverages, m_axisX, m_axisAccuracy);
    for (const QColor &colour : ChartParts::PlayerColours + QList{ChartParts::OtherPlayers}) {
        m_playerSpeeds << ChartParts::dots(QString(), colour);
        m_playerAccuracies << ChartParts::dots(QString(), colour);
        m_playerAccuracies.last()->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
        ChartParts::attach(m_chart, m_playerSpeeds.last(), m_axisX, m_axisSpeed);
        ChartParts::attach(m_chart, m_playerAccuracies.last(), m_axisX, m_axisAccuracy);
        m_playerSpeeds.last()->setVisible(false);
        m_playerAccuracies.last()->setVisible(false);
    }

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

void SpeedChart::showProgress(const SpeedProgress &p, const QStringList &players)
{
    if (p.games == 0) {
        showMessage(ChartParts::NoRecords);
        return;
    }
    const bool apart = !p.playerSpeeds.isEmpty();
    // A series put aside keeps its dots, hidden: the chart makes an item for
    // every dot, and emptying one series to fill another at each choice of
    // player took the window's thread for a tenth of a second.
    if (!apart) {
        m_speeds->replace(p.speeds);
        m_accuracies->replace(p.accuracies);
    }
    m_speeds->setVisible(!apart);
    m_accuracies->setVisible(!apart);
    for (qsizetype i = 0; i < m_playerSpeeds.size(); ++i) {
        const QList<QPointF> speeds = apart ? p.playerSpeeds.value(i) : QList<QPointF>();
        const QList<QPointF> accuracies = apart ? p.playerAccuracies.value(i) : QList<QPointF>();
        if (apart) {
            m_playerSpeeds[i]->replace(speeds);
            m_playerAccuracies[i]->replace(accuracies);
        }
        m_playerSpeeds[i]->setName(i < players.size() && i < SpeedProgressBuilder::PlayerColours
                                       ? players[i]
                                       : QStringLiteral("ほかのプレイヤー"));
        m_playerSpeeds[i]->setVisible(!speeds.isEmpty() || !accuracies.isEmpty());
        m_playerAccuracies[i]->setVisible(!accuracies.isEmpty());
        // A player is named once: the dots of speed stand for both.
        for (QLegendMarker *marker : m_chart->legend()->markers(m_playerAccuracies[i]))
            marker->setVisible(false);
    }
    m_axisSpeed->setTitleText(apart ? QStringLiteral("打/分 (●)") : QStringLiteral("打/分"));
    m_axisAccuracy->setTitleText(apart ? QStringLiteral("正確さ (%) (■)") : QStringLiteral("正確さ (%)"));
    m_chart->legend()->setAlignment(apart ? Qt::AlignRight : Qt::AlignTop);
    // The players' colours are theirs alone: the averages turn grey beside them,
    // the accuracy's dashed.
    m_speedAverages->setPen(QPen(apart ? AverageGrey : SpeedAverage, 2));
    m_accuracyAverages->setPen(QPen(apart ? AverageGrey : AccuracyAverage, 2, apart ? Qt::DashLine : Qt::SolidLine));
    m_speedAverages->replace(p.speedAverages);
    m_accuracyAverages->replace(p.accuracyAverages);
    double fastest = 1;
    for (const QPointF &point : p.speeds)
        fastest = std::max(fastest, point.y());
    ChartParts::setTicks(m_axisX, 0, double(p.games), false);
    ChartParts::setTicks(m_axisSpeed, 0, fastest, true);
    // Room above 100%, so that perfect games stand clear of the frame.
    m_axisAccuracy->setTickType(QValueAxis::TicksDynamic);
    m_axisAccuracy->setTickAnchor(0);
    m_axisAccuracy->setTickInterval(20);
    m_axisAccuracy->setRange(0, AccuracyTop);
    m_area->setCurrentIndex(0);

    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    const QString summary = QStringLiteral("ゲーム数 %1   直近10の平均 %2 打/分   正確さ %3%")
                                .arg(japanese.toString(p.games))
                                .arg(p.recentSpeed, 0, 'f', 0)
                                .arg(p.recentAccuracy, 0, 'f', 1);
    m_lblSummary->setText(summary);
    m_lblSummary->setToolTip(summary);
}
