#pragma once
#include "records/speedprogress.h"

#include <QWidget>

class QChart;
class QLabel;
class QLineSeries;
class QScatterSeries;
class QStackedWidget;
class QValueAxis;

// The tab of speed and accuracy: each game's 打/分 and 正確さ, and their
// averages over the last ten games, with a line that sums them up.
class SpeedChart : public QWidget
{
    Q_OBJECT
public:
    static constexpr double AccuracyTop = 110;

    explicit SpeedChart(QWidget *parent = nullptr);

    // `players` names progress.playerSpeeds' lists, the others' last.
    void showProgress(const SpeedProgress &progress, const QStringList &players = {});
    // In place of the chart: no games yet, or loading.
    void showMessage(const QString &text);

    QStackedWidget *area() const { return m_area; }
    QLabel *lblMessage() const { return m_lblMessage; }
    QLabel *lblSummary() const { return m_lblSummary; }
    QScatterSeries *speedSeries() const { return m_speeds; }
    QScatterSeries *accuracySeries() const { return m_accuracies; }
    QValueAxis *accuracyAxis() const { return m_axisAccuracy; }
    QValueAxis *speedAxis() const { return m_axisSpeed; }
    // With everyone chosen: each player's speeds (dots) and accuracies
    // (squares) in the player's colour, the others' last.
    const QList<QScatterSeries *> &playerSpeedSeries() const { return m_playerSpeeds; }
    const QList<QScatterSeries *> &playerAccuracySeries() const { return m_playerAccuracies; }

private:
    QStackedWidget *m_area;
    QLabel *m_lblMessage;
    QLabel *m_lblSummary;
    QChart *m_chart;
    QValueAxis *m_axisX;
    QValueAxis *m_axisSpeed;
    QValueAxis *m_axisAccuracy;
    QScatterSeries *m_speeds;
    QLineSeries *m_speedAverages;
    QScatterSeries *m_accuracies;
    QLineSeries *m_accuracyAverages;
    QList<QScatterSeries *> m_playerSpeeds, m_playerAccuracies;
};
