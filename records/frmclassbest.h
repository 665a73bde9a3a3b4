#pragma once
#include "records/classreader.h"

#include <QDialog>

class QButtonGroup;
class QLabel;
class QRadioButton;
class QTreeWidget;

// The class's ranking from the class server: the 30 best games of the mode in
// the ranking's columns, and each player's best, over this week, this month
// or all time. Read on a thread of its own; the window says so meanwhile, and
// says why when the server cannot be read.
class frmClassBest : public QDialog
{
    Q_OBJECT
public:
    // `mode` as games.mode has it.
    frmClassBest(const ClassSettings &settings, const QString &mode, QWidget *parent = nullptr);

    // Reads again from the server; `now` picks the week and the month.
    void load(ClassReader::Period period, const QDateTime &now);
    void showModal();

    QTreeWidget *best() const { return m_best; }
    QTreeWidget *players() const { return m_players; }
    QLabel *status() const { return m_status; }
    QRadioButton *periodButton(ClassReader::Period period) const;

private:
    void showRanking(const ClassServer::Ranking &ranking, const QString &message);

    ClassSettings m_settings;
    QString m_mode;
    ClassReader m_reader;
    QButtonGroup *m_periods;
    QTreeWidget *m_best;
    QTreeWidget *m_players;
    QLabel *m_status;
};
