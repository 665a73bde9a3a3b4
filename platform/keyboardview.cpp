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
constexpr int KanaShiftPoints = 6;

const QColor Edge(120, 120, 120);
const QColor Plain(250, 250, 250);
const QColor Highlight(25, 85, 200);
const QColor MissRed(215, 30, 30);
const QColor MarkEdge(40, 40, 40);
const QColor OutlineEdge(225, 110, 0);
constexpr qreal OutlineWidth = 2;
// The finger's tint inside the highlighted key's edge.
constexpr qreal RingWidth = 3;
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

QChar KeyboardView::keyFor(QChar c, bool *shifted) const
{
    if (shifted)
        *shifted = false;
    return m_kana ? KeyboardLayout::keyOfKana(c, shifted) : KeyboardLayout::keyOf(c);
}

void KeyboardView::setHighlighted(QChar key)
{
    bool shift = false;
    key = keyFor(key, &shift);
    if (key == m_highlighted && shift == m_shift)
        return;
    updateKey(m_highlighted);
    m_highlighted = key;
    m_shift = shift;
    updateKey(m_highlighted);
    if (m_kana) {
        update(shiftKeyRect(true).toAlignedRect().adjusted(-2, -2, 2, 2));
        update(shiftKeyRect(false).toAlignedRect().adjusted(-2, -2, 2, 2));
    }
}

void KeyboardView::setKanaLegends(bool on)
{
    if (on == m_kana)
        return;
    m_kana = on;
    m_highlighted = QChar();
    m_shift = false;
    endFlash();
    update();
}

// A key of the right hand wants the left Shift, and the other way round.
QRectF KeyboardView::shiftRect() const
{
    if (!m_kana || !m_shift || m_highlighted.isNull())
        return {};
    return shiftKeyRect(KeyboardLayout::fingerOf(m_highlighted) >= Finger::RightIndex);
}

// Beside the bottom row of letters: the left one fills the stagger, the right
// one what is left of the widest row.
QRectF KeyboardView::shiftKeyRect(bool left) const
{
    constexpr int BottomRow = 3;
    constexpr qreal RowStart = 1.25;
    constexpr qreal RowEnd = RowStart + 11;
    const qreal column = left ? 0 : RowEnd;
    const qreal width = left ? RowStart : KeyboardLayout::Columns - RowEnd;
    return {Left + column * Pitch, Top + BottomRow * RowPitch, KeyWidth + (width - 1) * Pitch, KeyHeight};
}

void KeyboardView::paintShiftKeys(QPainter &p)
{
    const QRectF lit = shiftRect();
    for (const bool left : {true, false}) {
        const QRectF rect = shiftKeyRect(left).adjusted(0.5, 0.5, -0.5, -0.5);
        const bool on = !lit.isEmpty() && lit.contains(rect.center());
        p.setPen(QPen(Edge, 1));
        p.setBrush(on ? Highlight : tintOf(Finger::Thumb));
        p.drawRoundedRect(rect, Radius, Radius);
        p.setPen(on ? Qt::white : Qt::black);
        p.drawText(rect, Qt::AlignCenter, QStringLiteral("\u21e7"));
    }
}

void KeyboardView::flashMiss(QChar expected, QChar pressed)
{
    endFlash();
    m_flashing = keyFor(expected);
    m_marked = keyFor(pressed);
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

void KeyboardView::setOutlined(const QSet<QChar> &keys)
{
    QSet<QChar> outlined;
    for (QChar key : keys) {
        if (!KeyboardLayout::keyOf(key).isNull())
            outlined.insert(KeyboardLayout::keyOf(key));
    }
    if (outlined == m_outlined)
        return;
    for (QChar key : std::as_const(m_outlined) + outlined)
        updateKey(key);
    m_outlined = outlined;
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
    const QChar name = lessonNameOf(key);
    return !name.isNull() && !m_lesson.contains(name);
}

QChar KeyboardView::lessonNameOf(QChar key) const
{
    if (m_lesson.isEmpty())
        return {};
    const bool letters = m_lesson[0] >= u'A' && m_lesson[0] <= u'Z';
    if (!letters)
        return KeyboardLayout::kanaOf(key, false);
    return key >= u'A' && key <= u'Z' ? key : QChar();
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
        const bool outlined = !marked && m_outlined.contains(key.key);
        p.setPen(marked ? QPen(MarkEdge, 3) : outlined ? QPen(OutlineEdge, OutlineWidth) : QPen(Edge, 1));
        p.setBrush(fill);
        const qreal inset = marked ? 1 : outlined ? OutlineWidth / 2 - 0.5 : 0;
        p.drawRoundedRect(rect.adjusted(inset, inset, -inset, -inset), Radius, Radius);
        // The highlight still says which finger presses the key.
        if (key.key == m_highlighted && key.key != m_flashing) {
            const qreal in = (outlined ? OutlineWidth : 1) - 0.5 + RingWidth / 2;
            p.setPen(QPen(tintOf(key.finger), RingWidth));
            p.setBrush(Qt::NoBrush);
            p.drawRoundedRect(rect.adjusted(in, in, -in, -in), Radius, Radius);
        }
        p.setPen(ink);
        if (m_kana) {
            const QChar kana = KeyboardLayout::kanaOf(key.key, false);
            if (!kana.isNull()) // none on the space bar
                p.drawText(rect, Qt::AlignCenter, kana);
            // The small kana or sign Shift gives, small in the corner as printed.
            const QChar shifted = KeyboardLayout::kanaOf(key.key, true);
            if (!shifted.isNull()) {
                const QFont cap = p.font();
                p.setFont(Dialogs::japaneseFont(KanaShiftPoints));
                p.drawText(rect.adjusted(0, 0, -2, 0), Qt::AlignRight | Qt::AlignTop, shifted);
                p.setFont(cap);
            }
        } else {
            p.drawText(rect, Qt::AlignCenter, capOf(key.key));
        }
        // The home keys' bumps, felt without looking.
        if (key.key == u'F' || key.key == u'J') {
            const QPointF bottom(rect.center().x(), rect.bottom() - 4);
            p.drawLine(bottom - QPointF(4, 0), bottom + QPointF(4, 0));
        }
        if (!m_newest.isNull() && lessonNameOf(key.key) == m_newest) {
            p.setPen(Qt::NoPen);
            p.setBrush(NewestDot);
            p.drawEllipse(rect.topRight() + QPointF(-5, 5), NewestDotRadius, NewestDotRadius);
        }
    }
    if (m_kana)
        paintShiftKeys(p);
}
