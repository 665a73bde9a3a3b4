#pragma once
#include "records/gamerecord.h"

#include <QColor>
#include <QHash>
#include <QWidget>

class KeyboardView;
class KeyProgressChart;
class QComboBox;
class QLabel;
class QStackedWidget;
class QTableWidget;

// The tab of each key's speed: the keyboard coloured by the mean time to type
// each key (the typing itself: neither a prompt's first key, which includes
// reading it, nor the time spent on misses), and the slowest keys with their
// time and keys a minute. A key chosen shows its progress.
class KeySpeedPanel : public QWidget
{
    Q_OBJECT
public:
    static constexpr int ListedKeys = 10;

    explicit KeySpeedPanel(QWidget *parent = nullptr);

    int games() const;
    void showTallies(const KeyTallies &keys);
    void showMessage(const QString &text);

    // White for the fastest key, deepening to orange for the slowest (the
    // chosen key stands out in the keyboard's blue).
    static QColor colourOf(double ms, double fastest, double slowest);
    const QHash<QChar, QColor> &keyColours() const { return m_colours; }

    QString chosenKey() const { return m_chosen; }
    void chooseKey(const QString &key);

    QComboBox *cboRange() const { return m_cboRange; }
    KeyboardView *keyboard() const { return m_keyboard; }
    QStackedWidget *area() const { return m_area; }
    QLabel *lblMessage() const { return m_lblMessage; }
    QTableWidget *keyTable() const { return m_keys; }
    KeyProgressChart *keyChart() const { return m_chart; }

signals:
    void rangeChanged();
    void keyChosen();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void markChosen();

    QComboBox *m_cboRange;
    KeyboardView *m_keyboard;
    QStackedWidget *m_area;
    QLabel *m_lblMessage;
    QTableWidget *m_keys;
    KeyProgressChart *m_chart;
    QHash<QChar, QColor> m_colours;
    QString m_chosen;
};
