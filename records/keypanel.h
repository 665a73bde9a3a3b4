#pragma once
#include <QColor>
#include <QHash>
#include <QWidget>

class KeyboardView;
class KeyProgressChart;
class QComboBox;
class QGridLayout;
class QLabel;
class QLayout;
class QStackedWidget;

// What the chart's key tabs share: the range of games, the keyboard coloured
// key by key, a note on what the list below it holds, the chosen key's
// progress beside them, and a message in their place while there are no
// figures. A key clicked on the keyboard is handed to keyClicked().
class KeyPanel : public QWidget
{
    Q_OBJECT
public:
    // The games chosen: 1, 10, or 0 for all.
    int games() const;
    // In place of the figures: no games yet, loading, or a file that cannot be read.
    void showMessage(const QString &text);

    const QHash<QChar, QColor> &keyColours() const { return m_colours; }
    // The key whose progress is shown; empty for none.
    QString chosenKey() const { return m_chosen; }

    QComboBox *cboRange() const { return m_cboRange; }
    KeyboardView *keyboard() const { return m_keyboard; }
    QStackedWidget *area() const { return m_area; }
    QLabel *lblMessage() const { return m_lblMessage; }
    KeyProgressChart *keyChart() const { return m_chart; }

signals:
    void rangeChanged();
    void keyChosen();

protected:
    KeyPanel(const QString &note, QWidget *parent);
    // The parent of the panel's own lists, and where they go: below the note.
    QWidget *content() const { return m_content; }
    void setLists(QWidget *lists);
    void setLists(QLayout *lists);
    // The figures in place of the message.
    void showFigures();
    virtual void keyClicked(QChar key) = 0;
    bool eventFilter(QObject *watched, QEvent *event) override;

    QHash<QChar, QColor> m_colours;
    QString m_chosen;
    KeyboardView *m_keyboard;
    KeyProgressChart *m_chart;

private:
    static constexpr int ListsRow = 2;
    QComboBox *m_cboRange;
    QWidget *m_content;
    QGridLayout *m_grid;
    QStackedWidget *m_area;
    QLabel *m_lblMessage;
};
