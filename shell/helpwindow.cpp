#include "shell/helpwindow.h"

#include "platform/desktop.h"
#include "platform/textfile.h"

#include <QFileInfo>
#include <QShortcut>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextCursor>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace {
// The text browser lays a long stretch of text it cannot break out in
// quadratic time (a 256 KB one took 14 s), so a help document beyond these is
// shown as a sentence rather than frozen on; the shipped one is about 15 KB.
// Long lines of the file itself cost nothing: a page minified onto one line
// has its blanks and tags.
constexpr qint64 MaxHelpBytes = 256 << 10;
constexpr qsizetype MaxUnbrokenChars = 16 << 10;

// The longest run of the document's text with no place to break a line.
qsizetype longestUnbroken(const QTextDocument &document)
{
    qsizetype longest = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        if (text.size() <= longest)
            continue;
        QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, text);
        qsizetype from = 0;
        for (qsizetype at = breaks.toNextBoundary(); at >= 0; at = breaks.toNextBoundary()) {
            longest = std::max(longest, at - from);
            from = at;
        }
    }
    return longest;
}

bool laysOutInTime(const QString &html)
{
    QTextDocument document;
    document.setHtml(html);
    return longestUnbroken(document) <= MaxUnbrokenChars;
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
        html = QString::fromUtf8(file.bytes);
        if (!file.ok() || !laysOutInTime(html))
            html = QStringLiteral("<p>ヘルプファイル %1 は大きすぎるか読み込めないため、表示できません。</p>")
                       .arg(name);
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
