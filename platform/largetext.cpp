#include "platform/largetext.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QObject>
#include <QWidget>

namespace {

// Glyphs this large are never kept in the engine's cache, so measuring one
// loads it afresh, and a fresh load is made at no offset.
constexpr int UncachedPixels = 1024;

class SettleFilter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            LargeText::settle(static_cast<QWidget *>(watched)->font());
        return false;
    }
};

}

void LargeText::settle(const QFont &font)
{
    QFont uncached = font;
    uncached.setStretch(QFont::Unstretched);
    uncached.setPixelSize(UncachedPixels);
    QFontMetricsF(uncached).horizontalAdvance(QLatin1Char('H'));
}

void LargeText::settleBeforePaint(QWidget *widget)
{
    widget->installEventFilter(new SettleFilter(widget));
}
