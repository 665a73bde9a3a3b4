#pragma once
#include <QColor>
#include <QFont>
#include <QString>

class QChart;
class QChartView;
class KeyboardView;
class QComboBox;
class QTableWidget;
class QHBoxLayout;
class QLabel;
class QStackedWidget;
class QLineSeries;
class QXYSeries;
class QScatterSeries;
class QValueAxis;
class QWidget;

// The pieces the chart window's tabs share, each drawn with the program's
// Japanese face, which the charts' theme would otherwise replace with its own.
namespace ChartParts {

extern const QString NoRecords; // "まだ記録がありません。"
extern const QString Loading;
// The database is there and cannot be read: "読めません" and why.
QString unreadable(const QString &reason);

// Okabe and Ito's colours, told apart with the common colour blindnesses.
extern const QColor Blue, Orange, SkyBlue, ReddishPurple, Black, Yellow, Vermillion, BluishGreen;
// One a player, none near the red of a best line or the green of an average.
extern const QList<QColor> PlayerColours;
extern const QColor OtherPlayers;

QChart *chart(const QFont &font);
// Whole numbers along it.
QValueAxis *axis(QChart *chart, Qt::Alignment side, const QString &title, const QFont &font);
QScatterSeries *dots(const QString &name, const QColor &colour);
QLineSeries *line(const QString &name, const QColor &colour);
// A series drawn against both axes.
void attach(QChart *chart, QXYSeries *series, QValueAxis *x, QValueAxis *y);

// Ticks at round numbers; the range either ends on the first tick above the
// highest value (a best level on the frame's edge was half hidden) or, for the
// games, a little past the last one, so a long file leaves no wide empty strip
// and the dates of a short one stand apart.
void setTicks(QValueAxis *axis, double low, double high, bool endOnTick);

// A tab's word in place of its figures: none yet, or loading.
QLabel *message(QWidget *parent);

// A chart laid out in `tab`: its view, or a message in its place, and below
// them one line that a narrow window cuts short rather than one that widens it.
struct Frame
{
    QChartView *view;
    QStackedWidget *area; // the view first, then the message
    QLabel *message;
    QLabel *summary;
};
Frame frame(QChart *chart, QWidget *tab);

// A label and the choice it names, in a row of their own.
QHBoxLayout *choice(const QString &label, QComboBox *combo);

// The games a key tab reads: the last one, the last ten (the first choice)
// or all; games() gives 1, 10 or 0.
QComboBox *rangeChoice(QWidget *parent);
int games(const QComboBox *range);
// A list of keys, as tall as its rows, a row chosen by a click.
QTableWidget *keyTable(const QStringList &headers, QWidget *parent);
// The row's cells, the first centred, the others right-aligned.
void setRow(QTableWidget *table, int row, const QStringList &cells);
// The key drawn at `pos`, null for none.
QChar keyAt(const KeyboardView *keyboard, const QPointF &pos);

}
