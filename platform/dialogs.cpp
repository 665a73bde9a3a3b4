#include "platform/dialogs.h"

#include <QApplication>
#include <QIconEngine>
#include <QLabel>
#include <QLibraryInfo>
#include <QProxyStyle>
#include <QScreen>
#include <QTranslator>

namespace {
const QString DesignFace = QStringLiteral("ＭＳ Ｐゴシック");

// Loads a standard icon only when it is first drawn. The menu bar asks for the
// icon of its overflow button as it is made, and loading that icon probes every
// image-format plugin at start-up, for a button that shows only when the menus
// do not fit.
class LazyStandardIcon : public QIconEngine
{
public:
    LazyStandardIcon(const QStyle *style, QStyle::StandardPixmap which)
        : m_style(style), m_which(which) {}
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QIconEngine *clone() const override { return new LazyStandardIcon(m_style, m_which); }

private:
    const QIcon &icon()
    {
        if (m_icon.isNull())
            m_icon = m_style->standardIcon(m_which);
        return m_icon;
    }
    const QStyle *m_style;
    QStyle::StandardPixmap m_which;
    QIcon m_icon;
};

class AppStyle : public QProxyStyle
{
public:
    QIcon standardIcon(StandardPixmap which, const QStyleOption *option,
                       const QWidget *widget) const override
    {
        if (which == SP_ToolBarHorizontalExtensionButton || which == SP_ToolBarVerticalExtensionButton)
            return QIcon(new LazyStandardIcon(baseStyle(), which));
        return QProxyStyle::standardIcon(which, option, widget);
    }
};
}

void Dialogs::setUpFixedDialog(QDialog *dialog, int width, int height, const QString &title)
{
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                           | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    dialog->setFixedSize(width, height);
    dialog->setWindowTitle(title);
}

void Dialogs::centreOnScreen(QWidget *widget)
{
    QScreen *screen = widget->screen() ? widget->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    widget->move(area.center() - QPoint(widget->width() / 2, widget->height() / 2));
}

void Dialogs::setUpApplication(QApplication &app)
{
    // Whatever the locale; without the translations package the English
    // texts stay and the game runs as before.
    auto *translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_ja"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
    QApplication::setStyle(new AppStyle);
    QFont::insertSubstitution(DesignFace, QStringLiteral("IPAPGothic"));
    QApplication::setFont(japaneseFont(9));
}

QFont Dialogs::japaneseFont(qreal points, bool bold)
{
    // Named by its substitute: a font asked for by a family the system lacks
    // costs a fontconfig fallback search (a tenth of the start-up) first.
    QFont font(QFont::substitute(DesignFace));
    font.setPixelSize(qRound(points * 96.0 / 72.0));
    font.setBold(bold);
    return font;
}

void Dialogs::setFittedText(QLabel *label, const QString &text)
{
    constexpr int NarrowestStretch = 60;
    QFont font = label->font();
    font.setStretch(QFont::Unstretched);
    const int width = label->contentsRect().width();
    while (font.stretch() > NarrowestStretch && QFontMetrics(font).horizontalAdvance(text) > width)
        font.setStretch(font.stretch() - 1);
    label->setFont(font);
    label->setText(text);
}

QString Dialogs::forLabel(const QString &text)
{
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return out;
}
