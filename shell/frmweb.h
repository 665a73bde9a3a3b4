#pragma once
#include <QDialog>

class Desktop;
class QLabel;
class QPushButton;

// Three buttons that open the maker's pages in the user's browser. The window
// stays open so several can be opened in turn.
class frmWeb : public QDialog
{
    Q_OBJECT
public:
    explicit frmWeb(Desktop &desktop, QWidget *parent = nullptr);

    void showModal();

    const QString &webText() const { return m_webText; }
    QPushButton *cmdBrowse(int index) const { return m_cmdBrowse[index]; }
    QPushButton *cmdCancel() const { return m_cmdCancel; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Form_Load();
    void cmdBrowse_Click(int index);
    void OpenAddress(const QString &address);

    Desktop &m_desktop;
    QString m_webText;
    QLabel *m_lblWeb;
    QPushButton *m_cmdBrowse[3];
    QPushButton *m_cmdCancel;
};
