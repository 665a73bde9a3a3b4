#pragma once
#include "records/gamerecord.h"

#include <QColor>
#include <QHash>
#include <QWidget>

class KeyboardView;
class KeyProgressChart;
class LessonProgressView;
class QComboBox;
class QLabel;
class QStackedWidget;
class QTableWidget;

// The tab of weak keys: each key coloured by its miss rate, over the last
// game, the last ten or all of them, and the keys (in kana mode also the kana)
// missed most often, each with its right keys, misses, miss rate and typing
// time. A key chosen on the keyboard or in a list shows its progress.
class WeakKeysPanel : public QWidget
{
    Q_OBJECT
public:
    static constexpr int ListedKeys = 5;
    static constexpr int ListedKana = 10;

    explicit WeakKeysPanel(QWidget *parent = nullptr);

    // The games chosen: 1, 10, or 0 for all.
    int games() const;
    void showTallies(const KeyTallies &keys, const KeyTallies &kana, bool kanaMode,
                     bool kanaInput = false);
    // In place of the figures: no games yet, loading, or a file that cannot be read.
    void showMessage(const QString &text);

    // White for a key never missed, deepening to red at a miss in four.
    static QColor colourOf(const KeyTally &tally);
    const QHash<QChar, QColor> &keyColours() const { return m_colours; }

    // The key or kana whose progress is shown; empty for none.
    QString chosenKey() const { return m_chosen; }
    bool chosenIsKana() const { return m_chosenKana; }
    void chooseKey(const QString &key, bool kana);

    QComboBox *cboRange() const { return m_cboRange; }
    KeyboardView *keyboard() const { return m_keyboard; }
    QStackedWidget *area() const { return m_area; }
    QLabel *lblMessage() const { return m_lblMessage; }
    QTableWidget *keyTable() const { return m_keys; }
    QTableWidget *kanaTable() const { return m_kana; }
    KeyProgressChart *keyChart() const { return m_chart; }
    LessonProgressView *lessons() const { return m_lessons; }

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
    QTableWidget *m_kana;
    KeyProgressChart *m_chart;
    LessonProgressView *m_lessons;
    QHash<QChar, QColor> m_colours;
    QString m_chosen;
    bool m_chosenKana = false;
};
