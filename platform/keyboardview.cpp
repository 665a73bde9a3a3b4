#include "platform/keyboardview.h"

#include "platform/dialogs.h"

#include <QPaintEvent>
#include <QPainter>

namespace {
constexpr qreal Pitch = 30;     // from one key's left edge to the next
constexpr qreal RowPitch = 28;
constexpr qreal KeyWidth = 27;  // the rest of the pitch is the gap
constexpr qreal KeyHeight = 25;
constexpr qreal Left = (KeyboardView::ViewWidth - (KeyboardLayout::Columns - 1) * Pitch - KeyWidth) / 2;
constexpr qreal Top = (KeyboardView::ViewHeight - (KeyboardLayout::Rows - 1) * RowPitch - KeyHeight) / 2;
constexpr qreal Radius = 3;
constexpr int CapPoints = 10;

const QColor Edge(120, 120, 120);
const QColor Plain(250, 250, 250);
const QColor Highlight(25, 85, 200);
const QColor MissRed(215, 30, 30);
const QColor MarkEdge(40, 40, 40);
const QColor LockedFill(200, 200, 200);
const QColor LockedInk(150, 150, 150);
const QColor NewestDot(230, 140, 0);
constexpr qreal NewestDotRadius = 3;

}

KeyboardView::KeyboardView(QWidget *parent) : QWidget(parent)
{
    setFixedSize(ViewWidth, ViewHeight);
    setFocusPolicy(Qt::NoFocus);
    m_flash.setSingleShot(true);
    m_flash.setInterval(FlashMs);
    connect(&m_flash, &QTimer::timeout, this, &KeyboardView::endFlash);
}

QColor KeyboardView::tintOf(Finger finger)
{
    // Pale enough for the black legends; the hues go round the colour wheel
    // from the left little finger to the right one, so neighbours differ.
    static const QColor tints[] = {
        QColor(250, 205, 205), QColor(250, 225, 190), QColor(245, 240, 180), QColor(205, 240, 195),
        QColor(190, 235, 235), QColor(200, 215, 250), QColor(225, 205, 245), QColor(245, 205, 235),
        QColor(225, 225, 225),
    };
    return tints[int(finger)];
}

QString KeyboardView::capOf(QChar key)
{
    // Japanese faces draw the backslash as a yen sign; the key beside / has
    // the backslash on it, and the full-width one keeps its shape.
    if (key == u'\\')
        return QStringLiteral("\uff3c");
    return key == u' ' ? QString() : QString(key);
}

QFont KeyboardView::capFont() const
{
    return Dialogs::japaneseFont(CapPoints);
}

QRectF KeyboardView::keyRect(QChar key) const
{
    for (const KeyboardLayout::Key &k : KeyboardLayout::keys()) {
        if (k.key == key)
            return {Left + k.column * Pitch, Top + k.row * RowPitch, KeyWidth + (k.width - 1) * Pitch, KeyHeight};
    }
    return {};
}

void KeyboardView::updateKey(QChar key)
{
    const QRectF rect = keyRect(key);
    if (!rect.isEmpty())
        update(rect.toAlignedRect().adjusted(-2, -2, 2, 2));
}

void KeyboardView::setHighlighted(QChar key)
{
    key = KeyboardLayout::keyOf(key);
    if (key == m_highlighted)
        return;
    updateKey(m_highlighted);
    m_highlighted = key;
    updateKey(m_highlighted);
}

void KeyboardView::flashMiss(QChar expected, QChar pressed)
{
    endFlash();
    m_flashing = KeyboardLayout::keyOf(expected);
    m_marked = KeyboardLayout::keyOf(pressed);
    updateKey(m_flashing);
    updateKey(m_marked);
    m_flash.start();
}

void KeyboardView::endFlash()
{
    m_flash.stop();
    updateKey(m_flashing);
    updateKey(m_marked);
    m_flashing = m_marked = QChar();
}

void KeyboardView::setKeyColours(const QHash<QChar, QColor> &colours)
{
    m_colours = colours;
    update();
}

void KeyboardView::setLessonKeys(const QString &letters, QChar newest)
{
    if (letters == m_lesson && newest == m_newest)
        return;
    m_lesson = letters;
    m_newest = newest;
    update();
}

bool KeyboardView::isLocked(QChar key) const
{
    return !m_lesson.isEmpty() && key >= u'A' && key <= u'Z' && !m_lesson.contains(key);
}

void KeyboardView::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(capFont());
    for (const KeyboardLayout::Key &key : KeyboardLayout::keys()) {
        // Half a pixel in, so the edges fall on whole pixels at scale 1.
        const QRectF rect = keyRect(key.key).adjusted(0.5, 0.5, -0.5, -0.5);
        if (!event->rect().intersects(rect.toAlignedRect().adjusted(-2, -2, 2, 2)))
            continue;
        QColor fill = m_colours.isEmpty() ? tintOf(key.finger) : m_colours.value(key.key, Plain);
        QColor ink = Qt::black;
        if (isLocked(key.key)) {
            fill = LockedFill;
            ink = LockedInk;
        }
        if (key.key == m_flashing) {
            fill = MissRed;
            ink = Qt::white;
        } else if (key.key == m_highlighted) {
            fill = Highlight;
            ink = Qt::white;
        }
        const bool marked = key.key == m_marked;
        p.setPen(QPen(marked ? MarkEdge : Edge, marked ? 3 : 1));
        p.setBrush(fill);
        p.drawRoundedRect(marked ? rect.adjusted(1, 1, -1, -1) : rect, Radius, Radius);
        p.setPen(ink);
        p.drawText(rect, Qt::AlignCenter, capOf(key.key));
        // The home keys' bumps, felt without looking.
        if (key.key == u'F' || key.key == u'J') {
            const QPointF bottom(rect.center().x(), rect.bottom() - 4);
            p.drawLine(bottom - QPointF(4, 0), bottom + QPointF(4, 0));
        }
        if (key.key == m_newest) {
            p.setPen(Qt::NoPen);
            p.setBrush(NewestDot);
            p.drawEllipse(rect.topRight() + QPointF(-5, 5), NewestDotRadius, NewestDotRadius);
        }
    }
}
