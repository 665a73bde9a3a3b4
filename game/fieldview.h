#pragma once
#include <QColor>
#include <QFont>
#include <QList>
#include <QPixmap>
#include <QPointF>
#include <QWidget>

// The rising field: a sunken box that keeps what is drawn on it. Drawing goes into a
// backing pixmap and paintEvent only copies it, so moving the box moves the
// picture and nothing is redrawn on a tick. Letters printed are laid into the
// pixmap when it is next looked at, so the window shows before the first
// huge letters are rendered. Positions of text are in twips
// (1/1440 inch) at 96 dots per inch; the pixmap follows the screen's pixel
// ratio so letters stay crisp when the desktop is scaled.
class FieldView : public QWidget
{
    Q_OBJECT
public:
    explicit FieldView(QWidget *parent = nullptr);

    void clear();
    void setTextColor(const QColor &color) { m_color = color; }
    void setFontPoints(int points) { m_points = points; }
    void setTextPosition(int twipsX, int twipsY);
    // Narrows the letters of the text about to be printed, never their size,
    // until the whole text fits the surface; later prints (the typed part in
    // another colour) use the same letters. A clear goes back to normal width.
    void fitText(const QString &text);
    // Draws the text at the text position, then moves it to the next line.
    void print(const QString &text);
    // The field cleared and the text alone on it in black, fitted, at the
    // given size and origin (in twips).
    void printAfresh(const QString &text, int points, int originTwips);

    const QPixmap &image() const;
    // Where the letters drawn since the last clear have ink, in the drawing
    // surface's own pixels (0, 0 at its top left corner).
    QRectF inkBounds() const;
    // The texts printed since the last clear, in order.
    QStringList printed() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // What was drawn since the last clear, to draw again at a new pixel ratio.
    struct Stroke
    {
        QPointF baseline;
        QFont font;
        QColor color;
        QString text;
    };
    void paintStroke(const Stroke &stroke) const;
    void ensureImage() const;
    QSize surfaceSize() const;
    QFont textFont() const;

    mutable QPixmap m_image;
    mutable qsizetype m_painted = 0; // strokes already in the pixmap
    QColor m_color = Qt::black;
    int m_points = 9;
    int m_stretch = QFont::Unstretched;
    qreal m_shift = 0; // keeps a glyph reaching left of its origin (J) whole
    QPointF m_pos;
    QList<Stroke> m_strokes;
};
