#include "records/frmbest.h"

#include "records/zuvelm.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "records/ranking.h"

#include <QApplication>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTextLayout>

namespace {
// Draws a ranking line with its tabs as column stops placed for the widest
// level ("Level 32767a") and a name of seven full-width characters (what the
// clipboard keeps), so such a line fits without scrolling; the default stops,
// 80 pixels apart, pushed the date of a seven-kanji name out of sight.
class ColumnDelegate : public QStyledItemDelegate
{
    // A name longer than anyone types would take seconds to lay out at every
    // paint, and all but its start lies past the list's edge anyway.
    static constexpr qsizetype MaxLaidOut = 512;

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString text = opt.text.left(MaxLaidOut);
        opt.text.clear();
        QStyle *style = opt.widget ? opt.widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
        const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, opt.widget);
        const bool selected = opt.state & QStyle::State_Selected;
        painter->save();
        painter->setPen(opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        QTextLayout layout(text, opt.font);
        const QTextLine line = layOut(layout, opt.font);
        const qreal top = area.top() + (area.height() - line.height()) / 2;
        layout.draw(painter, QPointF(area.left(), top));
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        opt.text.truncate(MaxLaidOut);
        QTextLayout layout(opt.text, opt.font);
        const QTextLine line = layOut(layout, opt.font);
        const QStyle *style = opt.widget ? opt.widget->style() : QApplication::style();
        QSize size = style->sizeFromContents(QStyle::CT_ItemViewItem, &opt, QSize(), opt.widget);
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, &opt, opt.widget) + 1;
        size.setWidth(qCeil(line.naturalTextWidth()) + 2 * margin);
        return size;
    }

private:
    static QTextLine layOut(QTextLayout &layout, const QFont &font)
    {
        const QFontMetricsF metrics(font);
        constexpr qreal Gap = 4;
        const qreal name = qMax(metrics.horizontalAdvance(QStringLiteral("Level 32767a")),
                                metrics.horizontalAdvance(QStringLiteral("Level 32767r")))
            + Gap;
        const qreal date = name + metrics.horizontalAdvance(QString(7, QChar(0x5C71))) + Gap;
        QTextOption option;
        option.setWrapMode(QTextOption::NoWrap);
        option.setTabArray({name, date});
        layout.setTextOption(option);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        line.setLineWidth(1e6);
        layout.endLayout();
        line.setPosition(QPointF(0, 0));
        return line;
    }
};
}

frmBest::frmBest(ZuvelM &shared, Desktop &desktop, QWidget *parent)
    : QDialog(parent), m_shared(shared), m_desktop(desktop)
{
    Dialogs::setUpFixedDialog(this, 314, 229, QStringLiteral("成績順表示"));

    m_lstBest = new QListWidget(this);
    m_lstBest->setObjectName(QStringLiteral("lstBest"));
    // Five pixels wider than the design, taken from its margins, so that a
    // whole line of the widest kind fits beside the scroll bar.
    m_lstBest->setGeometry(6, 16, 302, 184);
    m_lstBest->setSortingEnabled(false);
    m_lstBest->setItemDelegate(new ColumnDelegate(m_lstBest));

    // Exit is the cancel button: Escape closes the window.
    m_cmdGo = new QPushButton(QStringLiteral("Exit"), this);
    m_cmdGo->setObjectName(QStringLiteral("cmdGo"));
    m_cmdGo->setGeometry(248, 208, 49, 17);
    m_cmdGo->setAutoDefault(false);
    connect(m_cmdGo, &QPushButton::clicked, this, &QDialog::reject);

    // Lies right of the client area: collects the clipboard text unseen.
    m_txtBest = new QPlainTextEdit(this);
    m_txtBest->setObjectName(QStringLiteral("txtBest"));
    m_txtBest->setGeometry(320, 40, 89, 33);
    m_txtBest->setFocusPolicy(Qt::NoFocus);

    setTabOrder(m_lstBest, m_cmdGo);
}

void frmBest::showModal()
{
    Form_Load();
    Dialogs::centreOnScreen(this);
    m_lstBest->setFocus();
    exec();
}

void frmBest::Form_Load()
{
    m_lstBest->clear();
    m_lstBest->addItems(rankingListLines(m_shared.Results, m_shared.RomajiMode));
    const QString text = rankingClipboardText(m_shared.Results, m_shared.RomajiMode);
    m_txtBest->setPlainText(text);
    m_desktop.setClipboardText(text);
}
