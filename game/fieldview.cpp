#include "game/fieldview.h"

#include <QFontMetricsF>
#include <QPainter>
#include <qdrawutil.h>

namespace {
constexpr qreal TwipsPerPixel = 15; // 1440 twips an inch at 96 pixels an inch
constexpr int Border = 2;           // a sunken edge around the drawing surface
}

FieldView::FieldView(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FieldView::ensureImage()
{
    const qreal dpr = devicePixelRatioF();
    if (!m_image.isNull() && m_image.devicePixelRatio() == dpr
        && m_image.deviceIndependentSize() == QSizeF(surfaceSize()))
        return;
    m_image = QPixmap(surfaceSize() * dpr);
    m_image.setDevicePixelRatio(dpr);
    m_image.fill(palette().color(QPalette::Button));
    // Moved to a screen of another pixel ratio: draw the same picture again
    // at the new ratio rather than scale the old pixels.
    for (const Stroke &stroke : std::as_const(m_strokes))
        paintStroke(stroke);
}

void FieldView::paintStroke(const Stroke &stroke)
{
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
    m_image = QPixmap();
    ensureImage();
    m_pos = QPointF(0, 0);
    update();
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
    return f;
}

void FieldView::print(const QString &text)
{
    ensureImage();
    const QFont f = textFont();
    const QFontMetricsF metrics(f);
    m_strokes.append({QPointF(m_pos.x(), m_pos.y() + metrics.ascent()), f, m_color, text});
    paintStroke(m_strokes.constLast());
    m_pos = QPointF(0, m_pos.y() + metrics.height());
    update();
}

void FieldView::paintEvent(QPaintEvent *)
{
    ensureImage();
    QPainter p(this);
    p.drawPixmap(Border, Border, m_image);
    qDrawShadePanel(&p, rect(), palette(), true, Border);
}
