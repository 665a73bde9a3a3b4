#pragma once
#include "records/gamerecord.h"

#include <QColor>
#include <QHash>
#include <QWidget>

class KeyboardView;
class LessonProgressView;
class QComboBox;
class QLabel;
class QStackedWidget;
class QTableWidget;

// The tab of weak keys: each key coloured by its miss rate, over the last
// game, the last ten or all of them, and the keys (in kana mode also the kana)
// missed most often, each with its right keys, miss rate and mean time.
class WeakKeysPanel : public QWidget
{
    Q_OBJECT
public:
    static constexpr int ListedKeys = 5;
    static constexpr int ListedKana = 10;

    explicit WeakKeysPanel(QWidget *parent = nullptr);

    // The games chosen: 1, 10, or 0 for all.
    int games() const;
    void showTallies(const KeyTallies &keys, const KeyTallies &kana, bool kanaMode);
    // In place of the figures: no games yet, or loading.
    void showMessage(const QString &text);

    // White for a key never missed, deepening to red at a miss in four.
    static QColor colourOf(const KeyTally &tally);
    const QHash<QChar, QColor> &keyColours() const { return m_colours; }

    QComboBox *cboRange() const { return m_cboRange; }
    KeyboardView *keyboard() const { return m_keyboard; }
    QStackedWidget *area() const { return m_area; }
    QLabel *lblMessage() const { return m_lblMessage; }
    QTableWidget *keyTable() const { return m_keys; }
    QTableWidget *kanaTable() const { return m_kana; }
    LessonProgressView *lessons() const { return m_lessons; }

signals:
    void rangeChanged();

private:
    QComboBox *m_cboRange;
    KeyboardView *m_keyboard;
    QStackedWidget *m_area;
    QLabel *m_lblMessage;
    QTableWidget *m_keys;
    QTableWidget *m_kana;
    LessonProgressView *m_lessons;
    QHash<QChar, QColor> m_colours;
};
