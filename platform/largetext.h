#pragma once
#include <QFont>

class QWidget;

// Text too large for Qt's glyph cache is drawn from each glyph's outline, and
// Qt's FreeType engine (6.4) loads that outline with the sub-pixel offset of
// whatever small glyph of the same font file it rendered last: one prompt came
// out with different edges depending on what the window had drawn just before
// (a status bar figure, the keyboard guide's legends). These put the offset
// back to none, so large text is the same picture every time it is drawn.
namespace LargeText {

// Right before drawing large text in `font`.
void settle(const QFont &font);
// For a widget that draws its own font large (a label): before each paint.
void settleBeforePaint(QWidget *widget);

}
