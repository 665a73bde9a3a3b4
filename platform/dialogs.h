#pragma once
#include <QDialog>
#include <QFont>

class QApplication;
class QLabel;

// Shared habits of the game's fixed-size dialogs.
namespace Dialogs {

// A dialog frame with a close box only, of the given client size. Its icon
// is the application's.
void setUpFixedDialog(QDialog *dialog, int width, int height, const QString &title);
// Centres the dialog on the screen it will open on.
void centreOnScreen(QWidget *widget);
// What every run of the program sets up before its first window: Qt's own
// Japanese texts (standard buttons read "キャンセル", "はい"), the style, and
// the design's Japanese face mapped to the one Debian ships as the
// application's font, which the field also draws with.
void setUpApplication(QApplication &app);
// The design's Japanese face at a size given in points at 96 dots per inch.
QFont japaneseFont(qreal points, bool bold = false);
// Shows a one-line text in a label of fixed width, its letters narrowed (never
// made smaller) when the text would otherwise run past the label's end.
void setFittedText(QLabel *label, const QString &text);
// Texts keep the CR LF of their design; a label shows them as plain line breaks.
QString forLabel(const QString &text);

}
