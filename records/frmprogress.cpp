#include "records/frmprogress.h"

#include "platform/appicon.h"
#include "platform/textfile.h"

#include <QChartView>
#include <QComboBox>
#include <QFile>
#include <QFontMetrics>
#include <QGraphicsSimpleTextItem>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QLocale>
#include <QScatterSeries>
#include <QScreen>
#include <QStackedWidget>
#include <QValueAxis>
#include <QVBoxLayout>
#include <cmath>

namespace {
const QString Everyone = QStringLiteral("全員");
constexpr int DateGap = 4;

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

// Ticks at round numbers; the range either ends on the first tick above the
// highest value (a best level on the frame's edge was half hidden) or, for the
// games, a little past the last one, so a long file leaves no wide empty strip
// and the dates of a short one stand apart.
void setTicks(QValueAxis *axis, double low, double high, bool endOnTick)
{
    const double step = tickStep(high - low);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(step);
    axis->setRange(std::floor(low / step) * step,
                   endOnTick ? (std::floor(high / step) + 1) * step : high + std::max(1.0, high / 50));
}

QString dated(const QString &date)
{
    return date.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(date);
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
    resize(640, 420);

    auto *label = new QLabel(QStringLiteral("名前(&N):"), this);
    m_cboPlayer = new QComboBox(this);
    m_cboPlayer->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_cboPlayer->setMinimumContentsLength(16);
    label->setBuddy(m_cboPlayer);
    connect(m_cboPlayer, &QComboBox::activated, this, &frmProgress::cboPlayer_Activated);
    auto *top = new QHBoxLayout;
    top->addWidget(label);
    top->addWidget(m_cboPlayer);
    top->addStretch();

    // The chart draws with the program's Japanese face, which its theme would
    // otherwise replace with its own.
    const QFont font = this->font();
    m_chart = new QChart;
    m_chart->legend()->setAlignment(Qt::AlignTop);
    m_chart->legend()->setFont(font);
    m_levels = new QScatterSeries;
    m_levels->setName(QStringLiteral("各ゲーム"));
    m_levels->setMarkerSize(5);
    m_levels->setColor(QColor(70, 130, 180));
    m_levels->setBorderColor(Qt::transparent);
    m_best = new QLineSeries;
    m_best->setName(QStringLiteral("最高記録"));
    m_best->setPen(QPen(QColor(200, 30, 30), 2));
    m_average = new QLineSeries;
    m_average->setName(QStringLiteral("直近10ゲームの平均"));
    m_average->setPen(QPen(QColor(0, 128, 0), 2));
    m_axisX = new QValueAxis;
    m_axisX->setTitleText(QStringLiteral("ゲーム"));
    m_axisX->setLabelFormat(QStringLiteral("%d"));
    m_axisY = new QValueAxis;
    m_axisY->setTitleText(QStringLiteral("レベル"));
    m_axisY->setLabelFormat(QStringLiteral("%d"));
    m_chart->addAxis(m_axisX, Qt::AlignBottom);
    m_chart->addAxis(m_axisY, Qt::AlignLeft);
    for (QValueAxis *axis : {m_axisX, m_axisY}) {
        axis->setLabelsFont(font);
        axis->setTitleFont(font);
    }
    for (QXYSeries *series : std::initializer_list<QXYSeries *>{m_levels, m_average, m_best}) {
        m_chart->addSeries(series);
        series->attachAxis(m_axisX);
        series->attachAxis(m_axisY);
    }

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

    m_chartView = new QChartView(m_chart, this);
    m_chartView->setRenderHint(QPainter::Antialiasing);
    m_chartView->setFocusPolicy(Qt::NoFocus);
    m_lblEmpty = new QLabel(QStringLiteral("まだ記録がありません。"), this);
    m_lblEmpty->setAlignment(Qt::AlignCenter);
    m_chartArea = new QStackedWidget(this);
    m_chartArea->addWidget(m_chartView);
    m_chartArea->addWidget(m_lblEmpty);

    // One line that a narrow window cuts short rather than one that widens it.
    m_lblSummary = new QLabel(this);
    m_lblSummary->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_lblSummary->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_chartArea, 1);
    layout->addWidget(m_lblSummary);
}

void frmProgress::open(const QString &path, const QString &playerName, bool gameRunning)
{
    const bool wasOpen = isVisible();
    load(path, ProgressBuilder::keyOf(playerName));
    if (!m_placed) {
        placeBesideParent();
        m_placed = true;
    }
    show();
    raise();
    if (!wasOpen || !gameRunning)
        activateWindow();
}

void frmProgress::reload(const QString &path)
{
    load(path, playerAt(m_cboPlayer->currentIndex()));
}

void frmProgress::cboPlayer_Activated(int index)
{
    load(m_path, playerAt(index));
}

// The list shows a name cut short when it is very long; the key chooses it whole.
std::optional<QByteArray> frmProgress::playerAt(int index) const
{
    if (index <= 0)
        return std::nullopt;
    return m_cboPlayer->itemData(index).toByteArray();
}

// No player stands for everyone. A player the file lacks falls back to
// everyone, so the chart shows what there is.
void frmProgress::load(const QString &path, std::optional<QByteArray> chosen)
{
    m_path = path;
    auto build = [&path](const std::optional<QByteArray> &player) {
        ProgressBuilder builder(player);
        QFile file;
        if (TextFile::openForReading(path, file, nullptr))
            builder.addAll(file);
        return builder.result();
    };
    Progress progress = build(chosen);
    if (chosen && !progress.playerKeys.contains(*chosen)) {
        chosen.reset();
        progress = build(chosen);
    }
    fillPlayers(progress, chosen);
    showProgress(progress);
}

void frmProgress::fillPlayers(const Progress &progress, const std::optional<QByteArray> &chosen)
{
    m_cboPlayer->clear();
    m_cboPlayer->addItem(Everyone);
    for (qsizetype i = 0; i < progress.players.size(); ++i)
        m_cboPlayer->addItem(progress.players[i], progress.playerKeys[i]);
    m_cboPlayer->setCurrentIndex(chosen ? int(progress.playerKeys.indexOf(*chosen)) + 1 : 0);
}

void frmProgress::showProgress(const Progress &p)
{
    m_games = p.games;
    if (p.games == 0) {
        m_chartArea->setCurrentWidget(m_lblEmpty);
        m_lblSummary->clear();
        return;
    }
    m_levels->replace(p.levels);
    m_best->replace(p.bestSteps);
    m_average->replace(p.recentAverages);

    double low = 0;
    double high = p.bestLevel;
    for (const QPointF &point : p.levels)
        low = std::min(low, point.y());
    setTicks(m_axisX, 0, double(p.games), false);
    setTicks(m_axisY, low, std::max(high, 1.0), true);

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
