#pragma once
#include "records/progress.h"
#include "records/progresswindow.h"

#include <QAtomicInt>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class QChart;
class QChartView;
class QComboBox;
class QGraphicsSimpleTextItem;
class QLabel;
class QLineSeries;
class QScatterSeries;
class QStackedWidget;
class QTabWidget;
class QValueAxis;
class KeySpeedPanel;
class SpeedChart;
class WeakKeysPanel;

// A player's progress in the current mode, in four tabs: the levels of the
// result file, and from the game database each game's speed and accuracy, the
// keys missed most and each key's typing time, with a chosen key's progress.
// Not modal: it stays open beside the game and follows every game's end. The
// files are read on worker threads, each tab on its own, so the game answers
// whatever their size; a tab keeps what it shows until its new figures come.
class frmProgress : public ProgressWindow
{
    Q_OBJECT
public:
    enum Tab { LevelTab, SpeedTab, KeysTab, KeySpeedTab };

    explicit frmProgress(QWidget *parent = nullptr);
    ~frmProgress() override;

    void open(const Source &source, const QString &playerName, bool gameRunning) override;
    // A player the file no longer has gives way to everyone.
    void reload(const Source &source) override;

    QTabWidget *tabs() const { return m_tabs; }
    QComboBox *cboPlayer() const { return m_cboPlayer; }
    QLabel *lblSummary() const { return m_lblSummary; }
    QLabel *lblEmpty() const { return m_lblEmpty; }
    QStackedWidget *chartArea() const { return m_chartArea; }
    QScatterSeries *levelSeries() const { return m_levels; }
    // With everyone chosen: one a coloured player, the others' last.
    const QList<QScatterSeries *> &playerSeries() const { return m_players; }
    QValueAxis *levelAxis() const { return m_axisY; }
    QStringList dateLabels() const;
    SpeedChart *speedChart() const { return m_speed; }
    WeakKeysPanel *weakKeys() const { return m_weakKeys; }
    KeySpeedPanel *keySpeeds() const { return m_keySpeeds; }
    // Figures asked for and not yet shown: of any tab, or of one.
    bool isLoading() const { return m_loading > 0; }
    bool isLoading(Tab tab) const { return m_loadingTab[tab] > 0; }

private:
    void buildLevelTab(QWidget *tab);
    void load(std::optional<QByteArray> chosen);
    void loadTab(int tab);
    void loadHistory(int tab);
    void reloadDatabaseTabs();
    using Stale = std::function<bool()>;
    template <typename Result, typename Work, typename Show>
    void run(int tab, Work work, Show show);
    void cboPlayer_Activated(int index);
    void fillPlayers(const Progress &progress, const std::optional<QByteArray> &chosen);
    std::optional<QByteArray> playerAt(int index) const;
    std::optional<QString> chosenName() const;
    void showProgress(const Progress &progress);
    void placeDates();
    void placeBesideParent();

    Source m_source;
    QString m_playerName; // as the game has it, however long
    std::optional<QByteArray> m_chosen;
    QStringList m_colouredNames; // the players of the levels' colours, in order
    qint64 m_games = 0;
    bool m_placed = false;
    static constexpr int Tabs = 4;
    // A tab's figures, then the chosen key's progress of the two key tabs.
    int m_generation[Tabs + 2] = {};
    bool m_stale[Tabs] = {};
    int m_loadingTab[Tabs + 2] = {};
    // The database's figures being worked out: the levels' reading waits.
    std::shared_ptr<QAtomicInt> m_figuresBusy = std::make_shared<QAtomicInt>(0);
    // Each tab's newest generation, for the work on the worker threads.
    std::shared_ptr<std::array<QAtomicInt, Tabs + 2>> m_asked = std::make_shared<std::array<QAtomicInt, Tabs + 2>>();
    int m_loading = 0;

    QComboBox *m_cboPlayer;
    QTabWidget *m_tabs;
    QStackedWidget *m_chartArea;
    QChartView *m_chartView;
    QLabel *m_lblEmpty;
    QLabel *m_lblSummary;
    QChart *m_chart;
    QValueAxis *m_axisX;
    QValueAxis *m_axisY;
    QScatterSeries *m_levels;
    QList<QScatterSeries *> m_players;
    QLineSeries *m_best;
    QLineSeries *m_average;
    QGraphicsSimpleTextItem *m_firstDate;
    QGraphicsSimpleTextItem *m_lastDate;
    SpeedChart *m_speed;
    WeakKeysPanel *m_weakKeys;
    KeySpeedPanel *m_keySpeeds;
};
