#pragma once
#include "platform/keyboardlayout.h"

#include <QColor>
#include <QHash>
#include <QSet>
#include <QTimer>
#include <QWidget>

// A picture of the JIS keyboard's main block: each key tinted by the finger
// that presses it (or by colours given instead), the home keys F and J marked,
// one key highlighted (its finger's tint kept as a ring), some outlined, and a
// miss flashed. Drawn with vectors on every paint,
// so it stays sharp at any desktop scale.
class KeyboardView : public QWidget
{
    Q_OBJECT
public:
    using Finger = ::Finger;
    static constexpr int ViewWidth = 413;
    static constexpr int ViewHeight = 148;
    static constexpr int FlashMs = 300;

    explicit KeyboardView(QWidget *parent = nullptr);

    // Null: no key.
    void setHighlighted(QChar key);
    QChar highlighted() const { return m_highlighted; }
    // The expected key flashes red and the pressed one is marked, for FlashMs.
    void flashMiss(QChar expected, QChar pressed);
    // Null once the flash is over.
    QChar flashingKey() const { return m_flashing; }
    QChar markedKey() const { return m_marked; }
    // Keys drawn with a thick outline; the others lose theirs.
    void setOutlined(const QSet<QChar> &keys);
    const QSet<QChar> &outlined() const { return m_outlined; }
    // Colours in place of the finger tints (empty: the tints); keys left out
    // are drawn plain.
    void setKeyColours(const QHash<QChar, QColor> &colours);
    // Kana input: the keys show their kana, the keys above are given by kana,
    // and the Shift keys are drawn, the one for the other hand lit with a key
    // that needs it.
    void setKanaLegends(bool on);
    bool kanaLegends() const { return m_kana; }
    // Where the lit Shift key is drawn; empty when none is.
    QRectF shiftRect() const;
    // A lesson's letters: the other letter keys grey, the newest one marked
    // with a dot. No letters: no lesson. A lesson of kana keys names them by
    // their kana (KeyboardLayout::kanaOf, unshifted) and greys the other kana
    // keys.
    void setLessonKeys(const QString &letters, QChar newest);
    bool isLocked(QChar key) const;
    QChar newestKey() const { return m_newest; }

    static Finger fingerOf(QChar key) { return KeyboardLayout::fingerOf(key); }
    static QColor tintOf(Finger finger);
    // Where the key is drawn, in the widget's pixels; empty for a key not on it.
    QRectF keyRect(QChar key) const;
    // What the key shows: its character, none on the space bar.
    static QString capOf(QChar key);
    QFont capFont() const;

    QSize sizeHint() const override { return {ViewWidth, ViewHeight}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void updateKey(QChar key);
    // The key as the lesson names it; null for a key it has nothing to do with.
    QChar lessonNameOf(QChar key) const;
    void endFlash();
    QChar keyFor(QChar c, bool *shifted = nullptr) const;
    void paintShiftKeys(QPainter &p);
    QRectF shiftKeyRect(bool left) const;

    QChar m_highlighted;
    QChar m_flashing;
    QChar m_marked;
    QHash<QChar, QColor> m_colours;
    bool m_kana = false;
    bool m_shift = false; // the highlighted key needs Shift
    QSet<QChar> m_outlined;
    QString m_lesson;
    QChar m_newest;
    QTimer m_flash;
};
