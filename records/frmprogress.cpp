#include "records/frmprogress.h"

#include "platform/appicon.h"
#include "platform/textfile.h"
#include "records/chartparts.h"
#include "records/gamedatabase.h"
#include "records/keyhistory.h"
#include "records/keyprogresschart.h"
#include "records/keyspeedpanel.h"
#include "records/lessonprogressview.h"
#include "records/speedchart.h"
#include "records/weakkeyspanel.h"

#include <QChartView>
#include <QComboBox>
#include <QFile>
#include <QFontMetrics>
#include <QFutureWatcher>
#include <QGraphicsSimpleTextItem>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QLocale>
#include <QScatterSeries>
#include <QScopeGuard>
#include <QScreen>
#include <QStackedWidget>
#include <QTabWidget>
#include <QThread>
#include <QValueAxis>
#include <QVBoxLayout>
#include <QtConcurrent>

static_assert(SpeedProgressBuilder::PlayerColours == ProgressBuilder::PlayerColours);

namespace {
const QString Everyone = QStringLiteral("全員");
constexpr int DateGap = 4;

QString dated(const QString &date)
{
    return date.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(date);
}

// A result file of millions of lines takes a core for most of a second, so
// the files are read one at a time on a thread of their own, and the
// database's figures, which come in milliseconds, never queue behind them.
// Both outlive the window: closing it does not wait for a reading.
QThreadPool *pool(bool files)
{
    // At the normal priority: a thread of idle priority gets no time at all
    // while other programs keep the cores busy, and the game's end waits for
    // the reading to see it is no longer wanted.
    static QThreadPool *const filePool = [] {
        auto *p = new QThreadPool(QCoreApplication::instance());
        p->setMaxThreadCount(1);
        return p;
    }();
    static QThreadPool *const figurePool = [] {
        auto *p = new QThreadPool(QCoreApplication::instance());
        p->setMaxThreadCount(2);
        return p;
    }();
    return files ? filePool : figurePool;
}

struct Levels
{
    Progress progress;
    QByteArray chosen; // empty: everyone
};

// No player (an empty key) stands for everyone. A player the file lacks falls
// back to everyone, so the chart shows what there is.
// Stops, with nothing, once a newer reading is asked for or the window is gone.
Levels readLevels(const QString &path, QByteArray key, const std::function<bool()> &stale)
{
    auto build = [&path, &stale](const QByteArray &player) {
        ProgressBuilder builder(player.isEmpty() ? std::nullopt : std::optional(player));
        QFile file;
        if (TextFile::openForReading(path, file, nullptr))
            builder.addAll(file, stale);
        return builder.result();
    };
    Progress progress = build(key);
    if (stale())
        return {};
    if (!key.isEmpty() && !progress.playerKeys.contains(key)) {
        key.clear();
        progress = build(key);
    }
    return {progress, key};
}

struct KeyFigures
{
    KeyTallies keys, kana;
    KeyHistory::Verdict verdict;
};

struct SpeedFigures
{
    SpeedProgress progress;
    KeyHistory::Verdict verdict;
};

// What a tab of the database shows in place of figures it could not get.
QString emptyText(const KeyHistory::Verdict &verdict)
{
    return verdict.readable ? ChartParts::NoRecords : ChartParts::unreadable(verdict.reason);
}
}

ProgressWindow *kolrinCreateProgressWindow(QWidget *parent)
{
    return new frmProgress(parent);
}

frmProgress::frmProgress(QWidget *parent) : ProgressWindow(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("成績の推移"));
    setWindowIcon(AppIcon::icon());
    resize(960, 560);

    m_cboPlayer = new QComboBox(this);
    m_cboPlayer->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_cboPlayer->setMinimumContentsLength(16);
    connect(m_cboPlayer, &QComboBox::activated, this, &frmProgress::cboPlayer_Activated);

    m_tabs = new QTabWidget(this);
    m_tabs->setFocusPolicy(Qt::TabFocus);
    auto *levelTab = new QWidget(m_tabs);
    buildLevelTab(levelTab);
    m_speed = new SpeedChart(m_tabs);
    m_weakKeys = new WeakKeysPanel(m_tabs);
    m_keySpeeds = new KeySpeedPanel(m_tabs);
    m_tabs->addTab(levelTab, QStringLiteral("レベル"));
    m_tabs->addTab(m_speed, QStringLiteral("速さと正確さ"));
    m_tabs->addTab(m_weakKeys, QStringLiteral("苦手なキー"));
    m_tabs->addTab(m_keySpeeds, QStringLiteral("キーの速さ"));
    // The database's tabs are read when first shown, and again once stale.
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int tab) {
        if (m_stale[tab])
            loadTab(tab);
    });
    connect(m_weakKeys, &WeakKeysPanel::rangeChanged, this, [this] { loadTab(KeysTab); });
    connect(m_keySpeeds, &KeySpeedPanel::rangeChanged, this, [this] { loadTab(KeySpeedTab); });
    connect(m_weakKeys, &WeakKeysPanel::keyChosen, this, [this] { loadHistory(KeysTab); });
    connect(m_keySpeeds, &KeySpeedPanel::keyChosen, this, [this] { loadHistory(KeySpeedTab); });

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(ChartParts::choice(QStringLiteral("名前(&N):"), m_cboPlayer));
    layout->addWidget(m_tabs, 1);
}

void frmProgress::buildLevelTab(QWidget *tab)
{
    const QFont font = this->font();
    m_chart = ChartParts::chart(font);
    m_axisX = ChartParts::axis(m_chart, Qt::AlignBottom, QStringLiteral("ゲーム"), font);
    m_axisY = ChartParts::axis(m_chart, Qt::AlignLeft, QStringLiteral("レベル"), font);
    m_levels = ChartParts::dots(QStringLiteral("各ゲーム"), QColor(70, 130, 180));
    ChartParts::attach(m_chart, m_levels, m_axisX, m_axisY);
    for (const QColor &colour : ChartParts::PlayerColours + QList{ChartParts::OtherPlayers}) {
        m_players << ChartParts::dots(QString(), colour);
        ChartParts::attach(m_chart, m_players.last(), m_axisX, m_axisY);
        m_players.last()->setVisible(false);
    }
    m_average = ChartParts::line(QStringLiteral("直近10ゲームの平均"), QColor(0, 128, 0));
    m_best = ChartParts::line(QStringLiteral("最高記録"), QColor(200, 30, 30));
    ChartParts::attach(m_chart, m_average, m_axisX, m_axisY);
    ChartParts::attach(m_chart, m_best, m_axisX, m_axisY);

    // The dates of the first and the last game stand in a row the chart keeps
    // free below the axis, under those games.
    m_firstDate = new QGraphicsSimpleTextItem(m_chart);
    m_lastDate = new QGraphicsSimpleTextItem(m_chart);
    for (QGraphicsSimpleTextItem *item : {m_firstDate, m_lastDate})
        item->setFont(font);
    QMargins margins = m_chart->margins();
    margins.setBottom(margins.bottom() + QFontMetrics(font).height() + DateGap);
    m_chart->setMargins(margins);
    connect(m_chart, &QChart::plotAreaChanged, this, &frmProgress::placeDates);

    const ChartParts::Frame frame = ChartParts::frame(m_chart, tab);
    m_chartView = frame.view;
    m_chartArea = frame.area;
    m_lblEmpty = frame.message;
    m_lblSummary = frame.summary;
    m_lblEmpty->setText(ChartParts::Loading);
    m_chartArea->setCurrentWidget(m_lblEmpty);
}

void frmProgress::open(const Source &source, const QString &playerName, bool gameRunning)
{
    const bool wasOpen = isVisible();
    m_source = source;
    m_playerName = playerName;
    load(ProgressBuilder::keyOf(playerName));
    if (!m_placed) {
        placeBesideParent();
        m_placed = true;
    }
    show();
    raise();
    if (!wasOpen || !gameRunning)
        activateWindow();
}

void frmProgress::reload(const Source &source)
{
    m_source = source;
    load(playerAt(m_cboPlayer->currentIndex()));
}

void frmProgress::cboPlayer_Activated(int index)
{
    load(playerAt(index));
}

// The list shows a name cut short when it is very long; the key chooses it whole.
std::optional<QByteArray> frmProgress::playerAt(int index) const
{
    if (index <= 0)
        return std::nullopt;
    return m_cboPlayer->itemData(index).toByteArray();
}

// Work still on the worker threads stops: the game's end waits for those threads.
frmProgress::~frmProgress()
{
    for (QAtomicInt &asked : *m_asked)
        asked.fetchAndAddRelaxed(1);
}

// The database holds names whole: the game's own player by the name the game
// has, another by the name the list shows.
std::optional<QString> frmProgress::chosenName() const
{
    if (!m_chosen)
        return std::nullopt;
    if (*m_chosen == ProgressBuilder::keyOf(m_playerName))
        return m_playerName;
    return m_cboPlayer->itemText(m_cboPlayer->findData(*m_chosen));
}

// The work runs on a worker thread with copies of what it needs; only the
// newest answer for a tab is shown.
template <typename Result, typename Work, typename Show>
void frmProgress::run(int tab, Work work, Show show)
{
    const int generation = ++m_generation[tab];
    (*m_asked)[tab].storeRelaxed(generation);
    // Work asked for again before it ends may stop: its answer would not be shown.
    Stale stale = [asked = m_asked, tab, generation] { return (*asked)[tab].loadRelaxed() != generation; };
    ++m_loading;
    ++m_loadingTab[tab];
    auto *watcher = new QFutureWatcher<Result>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, tab, generation, show] {
        --m_loading;
        --m_loadingTab[tab];
        if (generation == m_generation[tab])
            show(watcher->result());
        watcher->deleteLater();
    });
    watcher->setFuture(QtConcurrent::run(pool(tab == LevelTab), [work = std::move(work), stale,
                                                                  busy = tab == LevelTab ? nullptr : m_figuresBusy] {
        if (busy)
            busy->ref();
        const auto done = qScopeGuard([&busy] {
            if (busy)
                busy->deref();
        });
        if constexpr (std::is_invocable_v<Work &, const Stale &>)
            return work(stale);
        else
            return work();
    }));
}

// Each tab on its own: the database's figures come in milliseconds, and do not
// wait for a result file of millions of lines. Should the file not have the
// player asked for, the levels show everyone, and the other tabs follow.
void frmProgress::load(std::optional<QByteArray> chosen)
{
    const QString path = m_source.results;
    const QByteArray key = chosen.value_or(QByteArray());
    m_chosen = chosen;
    reloadDatabaseTabs();
    // A reading overtaken stops, or is skipped if it has not begun. It gives
    // way to the database's figures between two chunks of the file.
    run<Levels>(LevelTab,
                [path, key, busy = m_figuresBusy](const Stale &stale) {
                    return readLevels(path, key, [&stale, &busy] {
                        while (busy->loadRelaxed() > 0 && !stale())
                            QThread::msleep(1);
                        return stale();
                    });
                },
                [this, asked = chosen](const Levels &levels) {
                    std::optional<QByteArray> shown;
                    if (!levels.chosen.isEmpty())
                        shown = levels.chosen;
                    fillPlayers(levels.progress, shown);
                    showProgress(levels.progress);
                    if (shown != asked && m_chosen == asked) {
                        m_chosen = shown;
                        reloadDatabaseTabs();
                    }
                });
}

void frmProgress::reloadDatabaseTabs()
{
    for (int tab = SpeedTab; tab < Tabs; ++tab)
        m_stale[tab] = true;
    if (m_tabs->currentIndex() != LevelTab)
        loadTab(m_tabs->currentIndex());
}

void frmProgress::loadTab(int tab)
{
    m_stale[tab] = false;
    const QString path = m_source.database;
    const int last = tab == KeysTab ? m_weakKeys->games() : tab == KeySpeedTab ? m_keySpeeds->games() : 0;
    const GameDatabase::Games games{m_source.kanaMode, chosenName(), last, m_source.kanaInput};
    if (tab == SpeedTab) {
        // Everyone's games are told apart in the players' colours of the levels.
        const QStringList coloured = games.player ? QStringList() : m_colouredNames;
        run<SpeedFigures>(SpeedTab, [path, games, coloured](const Stale &stale) {
            SpeedFigures figures;
            SpeedProgressBuilder builder(coloured);
            bool read = false;
            if (!path.isEmpty() && !stale()) {
                GameDatabase db(path, true);
                read = KeyHistory(db).forEachGame(games, [&builder](const QString &player, qint64 k, qint64 m, qint64 ms) {
                    builder.addGame(k, m, ms, player);
                }, coloured, stale);
            }
            if (stale())
                return figures;
            figures.progress = builder.result();
            if (figures.progress.games == 0) {
                figures.verdict = KeyHistory::check(path, games);
                if (!read && figures.verdict.readable && figures.verdict.games > 0)
                    figures.verdict = {false, 0, QStringLiteral("ゲームの記録を読み込めませんでした。")};
            }
            return figures;
        }, [this, coloured](const SpeedFigures &figures) {
            if (figures.progress.games == 0)
                m_speed->showMessage(emptyText(figures.verdict));
            else
                m_speed->showProgress(figures.progress, coloured);
        });
    } else if (tab == KeysTab || tab == KeySpeedTab) {
        if (tab == KeysTab)
            m_weakKeys->lessons()->load(path, games.kanaMode, games.player, games.kanaInput);
        const bool kana = games.kanaMode && tab == KeysTab;
        run<KeyFigures>(tab, [path, games, kana] {
            KeyFigures figures;
            if (!path.isEmpty()) {
                GameDatabase db(path, true);
                figures.keys = db.tallies(GameDatabase::Stats::Keys, games);
                if (kana)
                    figures.kana = db.tallies(GameDatabase::Stats::Kana, games);
            }
            if (figures.keys.isEmpty())
                figures.verdict = KeyHistory::check(path, games);
            return figures;
        }, [this, tab, kana = games.kanaMode, input = games.kanaInput](const KeyFigures &figures) {
            // A game without a key pressed still shows an empty keyboard.
            const bool none = figures.keys.isEmpty() && (!figures.verdict.readable || figures.verdict.games == 0);
            if (tab == KeysTab) {
                if (none)
                    m_weakKeys->showMessage(emptyText(figures.verdict));
                else
                    m_weakKeys->showTallies(figures.keys, figures.kana, kana, input);
            } else {
                if (none)
                    m_keySpeeds->showMessage(emptyText(figures.verdict));
                else
                    m_keySpeeds->showTallies(figures.keys);
            }
            if (!none)
                loadHistory(tab);
        });
    }
}

// The chosen key's progress over every game of the choice.
void frmProgress::loadHistory(int tab)
{
    const bool weak = tab == KeysTab;
    const QString key = weak ? m_weakKeys->chosenKey() : m_keySpeeds->chosenKey();
    KeyProgressChart *chart = weak ? m_weakKeys->keyChart() : m_keySpeeds->keyChart();
    if (key.isEmpty())
        return;
    const GameDatabase::Stats stats =
        weak && m_weakKeys->chosenIsKana() ? GameDatabase::Stats::Kana : GameDatabase::Stats::Keys;
    const QString path = m_source.database;
    const GameDatabase::Games games{m_source.kanaMode, chosenName(), 0};
    run<KeyProgress>(Tabs + (weak ? 0 : 1), [path, games, stats, key] {
        GameDatabase db(path, true);
        return KeyHistory(db).progress(stats, games, key);
    }, [chart](const KeyProgress &progress) { chart->showProgress(progress); });
}

void frmProgress::fillPlayers(const Progress &progress, const std::optional<QByteArray> &chosen)
{
    const QStringList coloured = progress.players.mid(0, ProgressBuilder::PlayerColours);
    if (coloured != m_colouredNames) {
        m_colouredNames = coloured;
        m_stale[SpeedTab] = true;
        if (!chosen && m_tabs->currentIndex() == SpeedTab)
            loadTab(SpeedTab);
    }
    m_cboPlayer->clear();
    m_cboPlayer->addItem(Everyone);
    for (qsizetype i = 0; i < progress.players.size(); ++i)
        m_cboPlayer->addItem(progress.players[i], progress.playerKeys[i]);
    m_cboPlayer->setCurrentIndex(chosen ? int(progress.playerKeys.indexOf(*chosen)) + 1 : 0);
}

void frmProgress::showProgress(const Progress &p)
{
    m_games = p.games;
    m_lblEmpty->setText(ChartParts::NoRecords);
    if (p.games == 0) {
        m_chartArea->setCurrentWidget(m_lblEmpty);
        m_lblSummary->clear();
        return;
    }
    // Everyone's levels are told apart by player; one player's are all one colour.
    const bool apart = !p.playerLevels.isEmpty();
    m_levels->replace(apart ? QList<QPointF>() : p.levels);
    m_levels->setVisible(!apart);
    for (qsizetype i = 0; i < m_players.size(); ++i) {
        const QList<QPointF> points = apart ? p.playerLevels.value(i) : QList<QPointF>();
        m_players[i]->replace(points);
        m_players[i]->setName(i < p.players.size() && i < ProgressBuilder::PlayerColours
                                  ? p.players[i]
                                  : QStringLiteral("ほかのプレイヤー"));
        m_players[i]->setVisible(!points.isEmpty());
    }
    // Names stand one under another beside the chart: in a row they would be cut.
    m_chart->legend()->setAlignment(apart ? Qt::AlignRight : Qt::AlignTop);
    m_best->replace(p.bestSteps);
    m_average->replace(p.recentAverages);

    double low = 0;
    double high = p.bestLevel;
    for (const QPointF &point : p.levels)
        low = std::min(low, point.y());
    ChartParts::setTicks(m_axisX, 0, double(p.games), false);
    ChartParts::setTicks(m_axisY, low, std::max(high, 1.0), true);

    m_firstDate->setText(p.firstDate);
    m_lastDate->setText(p.games > 1 ? p.lastDate : QString());
    m_chartArea->setCurrentWidget(m_chartView);
    placeDates();

    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    QString summary = QStringLiteral("ゲーム数 %1   最高 %2%3   直近10の平均 %4")
                          .arg(japanese.toString(p.games))
                          .arg(p.bestLevel)
                          .arg(dated(p.bestDate))
                          .arg(p.recentAverage, 0, 'f', 1);
    if (!p.firstDate.isEmpty() || !p.lastDate.isEmpty())
        summary += QStringLiteral("   %1～%2").arg(p.firstDate, p.lastDate);
    m_lblSummary->setText(summary);
    m_lblSummary->setToolTip(summary);
}

void frmProgress::placeDates()
{
    if (m_games == 0)
        return;
    const qreal top = m_chart->size().height() - m_chart->margins().bottom() + DateGap / 2;
    const qreal left = m_chart->mapToPosition(QPointF(1, 0), m_levels).x();
    const qreal right = m_chart->mapToPosition(QPointF(double(m_games), 0), m_levels).x();
    // Each date centred under its game, kept inside the chart.
    const qreal firstWidth = m_firstDate->boundingRect().width();
    const qreal lastWidth = m_lastDate->boundingRect().width();
    const qreal edge = m_chart->margins().left();
    m_firstDate->setPos(std::max(edge, left - firstWidth / 2), top);
    m_lastDate->setPos(std::min(m_chart->size().width() - edge - lastWidth, right - lastWidth / 2),
                       top);
    m_lastDate->setVisible(m_lastDate->x() >= m_firstDate->x() + firstWidth + DateGap);
}

QStringList frmProgress::dateLabels() const
{
    QStringList labels;
    for (const QGraphicsSimpleTextItem *item : {m_firstDate, m_lastDate}) {
        if (!item->text().isEmpty() && item->isVisible())
            labels << item->text();
    }
    return labels;
}

// Beside the game when the screen has room, so the game stays in sight.
void frmProgress::placeBesideParent()
{
    QWidget *game = parentWidget();
    QScreen *screen = game ? game->screen() : this->screen();
    if (!game || !screen)
        return;
    const QRect area = screen->availableGeometry();
    const QRect frame = game->frameGeometry();
    QPoint at(frame.right() + 8, frame.top());
    if (at.x() + width() > area.right())
        at.setX(std::max(area.left(), area.right() - width()));
    if (at.y() + height() > area.bottom())
        at.setY(std::max(area.top(), area.bottom() - height()));
    move(at);
}
