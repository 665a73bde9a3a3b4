#include "game/fieldview.h"

#include "platform/largetext.h"

#include <QFontMetricsF>
#include <QPainter>
#include <qdrawutil.h>

namespace {
constexpr qreal TwipsPerPixel = 15; // 1440 twips an inch at 96 pixels an inch
constexpr int Border = 2;           // a sunken edge around the drawing surface
constexpr int NarrowestStretch = 60; // percent of the normal width
}

FieldView::FieldView(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FieldView::ensureImage() const
{
    const qreal dpr = devicePixelRatioF();
    if (m_image.isNull() || m_image.devicePixelRatio() != dpr
        || m_image.deviceIndependentSize() != QSizeF(surfaceSize())) {
        // Also when moved to a screen of another pixel ratio: the same picture
        // is drawn again at the new ratio rather than the old pixels scaled.
        m_image = QPixmap(surfaceSize() * dpr);
        m_image.setDevicePixelRatio(dpr);
        m_image.fill(palette().color(QPalette::Button));
        m_painted = 0;
    }
    for (; m_painted < m_strokes.size(); ++m_painted)
        paintStroke(m_strokes[m_painted]);
}

const QPixmap &FieldView::image() const
{
    ensureImage();
    return m_image;
}

void FieldView::paintStroke(const Stroke &stroke) const
{
    LargeText::settle(stroke.font);
    QPainter p(&m_image);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(stroke.font);
    p.setPen(stroke.color);
    p.drawText(stroke.baseline, stroke.text);
}

QSize FieldView::surfaceSize() const
{
    return size() - QSize(2 * Border, 2 * Border);
}

void FieldView::clear()
{
    m_strokes.clear();
    m_stretch = QFont::Unstretched;
    m_shift = 0;
    m_image = QPixmap();
    m_pos = QPointF(0, 0);
    update();
}

void FieldView::printAfresh(const QString &text, int points, int originTwips)
{
    setTextColor(Qt::black);
    clear();
    setFontPoints(points);
    setTextPosition(originTwips, originTwips);
    fitText(text);
    print(text);
}

void FieldView::setTextPosition(int twipsX, int twipsY)
{
    m_pos = QPointF(twipsX / TwipsPerPixel, twipsY / TwipsPerPixel);
}

QFont FieldView::textFont() const
{
    QFont f = font();
    // Points at 96 dots per inch, whatever the screen reports, as the layout.
    f.setPixelSize(qRound(m_points * 96.0 / 72.0));
    f.setStretch(m_stretch);
    return f;
}

void FieldView::fitText(const QString &text)
{
    // Three wide capitals (WWW) at the design size run about 70 pixels past
    // the right edge, and the player would have to type a letter they cannot see.
    const auto rightEdge = [this, &text] {
        const QFontMetricsF metrics(textFont());
        const QRectF ink = metrics.tightBoundingRect(text);
        m_shift = qMax<qreal>(0, -(m_pos.x() + ink.left()));
        return m_pos.x() + m_shift + qMax(ink.right(), metrics.horizontalAdvance(text));
    };
    const qreal width = surfaceSize().width();
    m_stretch = QFont::Unstretched;
    const qreal right = rightEdge();
    if (right <= width)
        return;
    m_stretch = int(int(QFont::Unstretched) * (width - m_pos.x()) / (right - m_pos.x()));
    while (m_stretch > NarrowestStretch && rightEdge() > width)
        --m_stretch;
}

void FieldView::print(const QString &text)
{
    const QFont f = textFont();
    const QFontMetricsF metrics(f);
    m_strokes.append({QPointF(m_pos.x() + m_shift, m_pos.y() + metrics.ascent()), f, m_color, text});
    m_pos = QPointF(0, m_pos.y() + metrics.height());
    update();
}

QRectF FieldView::inkBounds() const
{
    QRectF bounds;
    for (const Stroke &stroke : m_strokes)
        bounds |= QFontMetricsF(stroke.font).tightBoundingRect(stroke.text).translated(stroke.baseline);
    return bounds;
}

QStringList FieldView::printed() const
{
    QStringList texts;
    for (const Stroke &stroke : m_strokes)
        texts << stroke.text;
    return texts;
}

void FieldView::paintEvent(QPaintEvent *)
{
    ensureImage();
    QPainter p(this);
    p.drawPixmap(Border, Border, m_image);
    qDrawShadePanel(&p, rect(), palette(), true, Border);
}
