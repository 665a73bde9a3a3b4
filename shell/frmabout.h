#pragma once
#include <QDialog>

class Desktop;
class QLabel;
class QPushButton;

// The version window. It puts the home page address on the clipboard as it
// opens and says so as it closes.
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit frmAbout(Desktop &desktop, QWidget *parent = nullptr);

    void showModal();

    // The texts as the design writes them, line ends as CR LF.
    const QString &descriptionText() const { return m_description; }
    QLabel *lblTitle() const { return m_lblTitle; }
    QLabel *lblVersion() const { return m_lblVersion; }
    QLabel *lblDescription() const { return m_lblDescription; }
    QLabel *picIcon() const { return m_picIcon; }
    QPushButton *cmdOK() const { return m_cmdOK; }

    void done(int result) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void Form_Load();
    void Form_Unload();
    void copyAddress();

    Desktop &m_desktop;
    QString m_description;
    QLabel *m_picIcon;
    QLabel *m_lblTitle;
    QLabel *m_lblVersion;
    QLabel *m_lblDescription;
    QLabel *m_lblDisclaimer;
    QPushButton *m_cmdOK;
};
