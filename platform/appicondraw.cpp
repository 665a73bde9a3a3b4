#include "platform/appicon.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

QImage AppIcon::draw(int size)
{
    QImage pm(size, size, QImage::Format_ARGB32_Premultiplied);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    QPainterPath frame;
    frame.addRoundedRect(QRectF(0.5, 0.5, s - 1, s - 1), s * 0.18, s * 0.18);
    p.fillPath(frame, QColor(250, 248, 236));
    p.setPen(QPen(QColor(60, 60, 60), qMax(1.0, s / 32)));
    p.drawPath(frame);

    // The field: a green band with an arrow climbing out of it.
    p.fillRect(QRectF(s * 0.12, s * 0.64, s * 0.76, s * 0.24), QColor(0, 128, 0));
    QPainterPath arrow;
    arrow.moveTo(s * 0.76, s * 0.12);
    arrow.lineTo(s * 0.92, s * 0.34);
    arrow.lineTo(s * 0.60, s * 0.34);
    arrow.closeSubpath();
    p.fillPath(arrow, QColor(200, 30, 30));
    p.fillRect(QRectF(s * 0.72, s * 0.32, s * 0.08, s * 0.30), QColor(200, 30, 30));

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(int(s * 0.55));
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QRectF(s * 0.08, s * 0.04, s * 0.6, s * 0.62), Qt::AlignCenter, QStringLiteral("K"));
    return pm;
}
