#include "shell/helpwindow.h"

#include "platform/desktop.h"

#include <QFile>
#include <QFileInfo>
#include <QTextCursor>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {
// A help document this large is damaged, not help.
constexpr qint64 MaxHelpBytes = 8 << 20;
}

HelpWindow::HelpWindow(QWidget *parent)
    : QWidget(parent, Qt::Window), m_browser(new QTextBrowser(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    m_browser->setOpenExternalLinks(true);
    resize(560, 600);
}

void HelpWindow::open(const QString &path)
{
    QString html;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.read(MaxHelpBytes);
        html = QString::fromUtf8(bytes);
    } else {
        html = QStringLiteral("<p>%1</p>").arg(file.errorString().toHtmlEscaped());
    }
    m_browser->setSearchPaths({QFileInfo(path).absolutePath()});
    m_browser->setHtml(html);
    m_browser->scrollToAnchor(QString());
    m_browser->moveCursor(QTextCursor::Start);
    const QString title = m_browser->documentTitle();
    setWindowTitle(title.isEmpty() ? applicationTitle() : title);
    show();
    raise();
    activateWindow();
}
