#pragma once
#include <QDialog>

class Desktop;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
struct ZuvelM;

// The ranking of the current mode: a list for the eye and the same lines on
// the clipboard, tab-separated, for pasting elsewhere.
class frmBest : public QDialog
{
    Q_OBJECT
public:
    frmBest(ZuvelM &shared, Desktop &desktop, QWidget *parent = nullptr);

    void showModal();

    QListWidget *lstBest() const { return m_lstBest; }

private:
    void Form_Load();

    ZuvelM &m_shared;
    Desktop &m_desktop;
    QListWidget *m_lstBest;
    QPushButton *m_cmdGo;
    QPlainTextEdit *m_txtBest;
};
