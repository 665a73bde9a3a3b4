#pragma once
#include <QDialog>

class GameReportFeed;
class QLabel;
class QPushButton;
struct ZuvelM;

// The game-over dialog: the level reached, a rating word, and Replay or End;
// below them, with the feed on, the report of the game.
class frmReplay : public QDialog
{
    Q_OBJECT
public:
    explicit frmReplay(ZuvelM &shared, QWidget *parent = nullptr);
    frmReplay(ZuvelM &shared, const GameReportFeed &feed, QWidget *parent = nullptr);

    // Loads the captions afresh and waits for the answer.
    void showModal();

    QLabel *lblMes(int index) const { return m_lblMes[index]; }
    QLabel *lblTatujinn() const { return m_lblTatujinn; }
    QPushButton *cmdNext() const { return m_cmdNext; }
    QPushButton *cmdEnd() const { return m_cmdEnd; }
    const QString &ratingText() const { return m_ratingText; }
    // The report's lines, top to bottom, made the first time the feed is on.
    QList<QLabel *> reportLines() const { return m_report; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load();
    void cmdNext_Click();
    void cmdEnd_Click();
    void showReport();

    ZuvelM &m_shared;
    // Outlives each showing: a level that rates nothing keeps the last word.
    QString m_ratingText;
    QLabel *m_lblMes[3];
    QLabel *m_lblTatujinn;
    QPushButton *m_cmdNext;
    QPushButton *m_cmdEnd;
    const GameReportFeed *m_feed = nullptr;
    QList<QLabel *> m_report;
};
