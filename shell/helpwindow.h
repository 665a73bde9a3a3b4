#pragma once
#include <QWidget>

class QTextBrowser;

// The help document in a window of its own, beside the game, not modal.
class HelpWindow : public QWidget
{
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *parent = nullptr);
    // Shows the document from its contents; a second call raises the window.
    void open(const QString &path);
    QTextBrowser *browser() const { return m_browser; }

private:
    QTextBrowser *m_browser;
};
