#include "shell/helpwindow.h"

#include "platform/desktop.h"
#include "platform/textfile.h"

#include <QFileInfo>
#include <QShortcut>
#include <QTextCursor>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {
// The text browser lays a long unbroken line out in quadratic time (a 256 KB
// one took 14 s), so a help document beyond these is shown as a sentence
// rather than frozen on; the shipped one is about 15 KB.
constexpr qint64 MaxHelpBytes = 256 << 10;
constexpr qsizetype MaxLineBytes = 16 << 10;

// Lines may end in LF, CR LF or, in an old Mac file, CR alone.
bool hasOverlongLine(const QByteArray &bytes)
{
    qsizetype run = 0;
    for (const char c : bytes) {
        run = c == '\n' || c == '\r' ? 0 : run + 1;
        if (run > MaxLineBytes)
            return true;
    }
    return false;
}
}

HelpWindow::HelpWindow(QWidget *parent)
    : QWidget(parent, Qt::Window), m_browser(new QTextBrowser(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    m_browser->setOpenExternalLinks(true);
    // Escape closes it, as it closes the ranking and the version window.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    resize(560, 600);
}

void HelpWindow::open(const QString &path)
{
    QString html;
    const QString name = QFileInfo(path).fileName().toHtmlEscaped();
    if (!TextFile::exists(path)) {
        html = QStringLiteral("<p>ヘルプファイル %1 が見つかりません。</p>").arg(name);
    } else {
        const TextFile::ReadResult file = TextFile::readAll(path, MaxHelpBytes);
        if (!file.ok() || hasOverlongLine(file.bytes))
            html = QStringLiteral("<p>ヘルプファイル %1 は大きすぎるか読み込めないため、表示できません。</p>")
                       .arg(name);
        else
            html = QString::fromUtf8(file.bytes);
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
