#pragma once
#include "records/progress.h"
#include "records/progresswindow.h"

class QChart;
class QChartView;
class QComboBox;
class QGraphicsSimpleTextItem;
class QLabel;
class QLineSeries;
class QScatterSeries;
class QStackedWidget;
class QValueAxis;

// One player's levels over the games of the current mode's result file, as a
// chart. Not modal: it stays open beside the game and follows every game's end.
class frmProgress : public ProgressWindow
{
    Q_OBJECT
public:
    explicit frmProgress(QWidget *parent = nullptr);

    void open(const QString &path, const QString &playerName, bool gameRunning) override;
    // A player the file no longer has gives way to everyone.
    void reload(const QString &path) override;

    QComboBox *cboPlayer() const { return m_cboPlayer; }
    QLabel *lblSummary() const { return m_lblSummary; }
    QLabel *lblEmpty() const { return m_lblEmpty; }
    QStackedWidget *chartArea() const { return m_chartArea; }
    QScatterSeries *levelSeries() const { return m_levels; }
    QValueAxis *levelAxis() const { return m_axisY; }
    QStringList dateLabels() const;

private:
    void load(const QString &path, std::optional<QByteArray> chosen);
    void cboPlayer_Activated(int index);
    void fillPlayers(const Progress &progress, const std::optional<QByteArray> &chosen);
    std::optional<QByteArray> playerAt(int index) const;
    void showProgress(const Progress &progress);
    void placeDates();
    void placeBesideParent();

    QString m_path;
    qint64 m_games = 0;
    bool m_placed = false;

    QComboBox *m_cboPlayer;
    QStackedWidget *m_chartArea;
    QChartView *m_chartView;
    QLabel *m_lblEmpty;
    QLabel *m_lblSummary;
    QChart *m_chart;
    QValueAxis *m_axisX;
    QValueAxis *m_axisY;
    QScatterSeries *m_levels;
    QLineSeries *m_best;
    QLineSeries *m_average;
    QGraphicsSimpleTextItem *m_firstDate;
    QGraphicsSimpleTextItem *m_lastDate;
};
