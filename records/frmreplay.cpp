#include "records/frmreplay.h"

#include "records/zuvelm.h"
#include "platform/dialogs.h"
#include "records/gamereportfeed.h"
#include "records/rating.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace {
constexpr int Width = 222;
constexpr int Height = 117;
// The report's lines, below the rating.
constexpr int ReportLeft = 24;
constexpr int ReportTop = 110;
constexpr int ReportWidth = 190;
constexpr int ReportLineHeight = 17;
constexpr int ReportLines = 5;
constexpr int ReportBottom = 8;
}

frmReplay::frmReplay(ZuvelM &shared, QWidget *parent) : QDialog(parent), m_shared(shared)
{
    Dialogs::setUpFixedDialog(this, Width, Height, QStringLiteral("リプレイ"));

    m_cmdNext = new QPushButton(QStringLiteral("Replay"), this);
    m_cmdNext->setObjectName(QStringLiteral("cmdNext"));
    m_cmdNext->setGeometry(152, 16, 65, 25);
    m_cmdEnd = new QPushButton(QStringLiteral("End"), this);
    m_cmdEnd->setObjectName(QStringLiteral("cmdEnd"));
    m_cmdEnd->setGeometry(152, 48, 65, 25);
    setTabOrder(m_cmdNext, m_cmdEnd);
    connect(m_cmdNext, &QPushButton::clicked, this, &frmReplay::cmdNext_Click);
    connect(m_cmdEnd, &QPushButton::clicked, this, &frmReplay::cmdEnd_Click);

    // Wider and one pixel taller than the design, which cut "Level 23" to
    // "Level 2" in the Japanese face; they still end left of the buttons.
    const struct { const char16_t *caption; int left, top, width; bool bold; } mes[3] = {
        {u"Game overです。", 24, 16, 120, false},
        {u"リプレイしますか？", 24, 32, 116, false},
        {u"Level ", 40, 64, 104, true},
    };
    for (int i = 0; i < 3; ++i) {
        m_lblMes[i] = new QLabel(QString::fromUtf16(mes[i].caption), this);
        m_lblMes[i]->setObjectName(QStringLiteral("lblMes%1").arg(i));
        m_lblMes[i]->setGeometry(mes[i].left, mes[i].top, mes[i].width, 16);
        m_lblMes[i]->setFont(Dialogs::japaneseFont(11.25, mes[i].bold));
    }
    m_lblTatujinn = new QLabel(QStringLiteral("あなたは初級者です。"), this);
    m_lblTatujinn->setObjectName(QStringLiteral("lblTatujinn"));
    m_lblTatujinn->setGeometry(32, 88, 150, 14);
}

frmReplay::frmReplay(ZuvelM &shared, const GameReportFeed &feed, QWidget *parent)
    : frmReplay(shared, parent)
{
    m_feed = &feed;
    // The comparison with earlier games comes in while the dialog shows.
    connect(&feed, &GameReportFeed::changed, this, [this] {
        if (!m_report.isEmpty())
            showReport();
    });
}

void frmReplay::showModal()
{
    Form_Load();
    Dialogs::centreOnScreen(this);
    m_cmdNext->setFocus();
    exec();
}

void frmReplay::Form_Load()
{
    m_lblMes[2]->setText(QStringLiteral("Level ") + QString::number(m_shared.FinalLevel));
    m_ratingText = RatePlayer(m_shared.FinalLevel, m_shared.RomajiMode, m_ratingText);
    m_lblTatujinn->setText(QStringLiteral("あなたは、") + m_ratingText
                           + QStringLiteral("です。    "));
    // Off, nothing is made or drawn: the dialog is the one it always was.
    const bool report = m_feed && m_feed->isOn();
    setFixedSize(Width, report ? ReportTop + ReportLines * ReportLineHeight + ReportBottom : Height);
    if (report && m_report.isEmpty()) {
        for (int i = 0; i < ReportLines; ++i) {
            auto *line = new QLabel(this);
            line->setObjectName(QStringLiteral("lblReport%1").arg(i));
            line->setGeometry(ReportLeft, ReportTop + i * ReportLineHeight, ReportWidth,
                              ReportLineHeight - 1);
            m_report.append(line);
        }
    }
    for (QLabel *line : std::as_const(m_report))
        line->setVisible(report);
    if (report)
        showReport();
}

void frmReplay::showReport()
{
    const GameReport &report = m_feed->report();
    const QString lines[ReportLines] = {report.speedLine(), report.accuracyLine(),
                                        report.averageLine(), report.missLine(), report.slowLine()};
    for (int i = 0; i < ReportLines; ++i)
        Dialogs::setFittedText(m_report[i], lines[i]);
}

void frmReplay::cmdNext_Click()
{
    m_shared.ReplayRequested = true;
    accept();
}

void frmReplay::cmdEnd_Click()
{
    m_shared.ReplayRequested = false;
    reject();
}

void frmReplay::keyPressEvent(QKeyEvent *event)
{
    // The dialog has no cancel button: Escape answers nothing.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmReplay::closeEvent(QCloseEvent *event)
{
    // The close box stands for End, never for an answer from an earlier game.
    m_shared.ReplayRequested = false;
    QDialog::closeEvent(event);
}
