#pragma once
#include "records/keyprogress.h"

#include <QWidget>

class QChart;
class QLabel;
class QLineSeries;
class QScatterSeries;
class QStackedWidget;
class QValueAxis;

// One chosen key over time: its miss rate and its typing time in each game
// (or day), each with the straight line that best fits it, so that a learner
// sees whether the key is getting better.
class KeyProgressChart : public QWidget
{
    Q_OBJECT
public:
    explicit KeyProgressChart(QWidget *parent = nullptr);

    void showProgress(const KeyProgress &progress);
    // In place of the chart: no key chosen yet, loading, or nothing to show.
    void showMessage(const QString &text);

    QLabel *lblTitle() const { return m_lblTitle; }
    QStackedWidget *area() const { return m_area; }
    QLabel *lblMessage() const { return m_lblMessage; }
    QScatterSeries *missSeries() const { return m_misses; }
    QScatterSeries *timeSeries() const { return m_times; }
    QLineSeries *missTrend() const { return m_missTrend; }
    QLineSeries *timeTrend() const { return m_timeTrend; }
    QValueAxis *axisX() const { return m_axisX; }

    static const QString Choose;

private:
    QLabel *m_lblTitle;
    QStackedWidget *m_area;
    QLabel *m_lblMessage;
    QChart *m_chart;
    QValueAxis *m_axisX;
    QValueAxis *m_axisMisses;
    QValueAxis *m_axisTimes;
    QScatterSeries *m_misses;
    QScatterSeries *m_times;
    QLineSeries *m_missTrend;
    QLineSeries *m_timeTrend;
};
