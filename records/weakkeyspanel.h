#pragma once
#include "records/gamerecord.h"
#include "records/keypanel.h"

class LessonProgressView;
class QTableWidget;

// The tab of weak keys: each key coloured by its miss rate, over the last
// game, the last ten or all of them, and the keys (in kana mode also the kana)
// missed most often, each with its right keys, misses, miss rate and typing
// time. A key chosen on the keyboard or in a list shows its progress.
class WeakKeysPanel : public KeyPanel
{
    Q_OBJECT
public:
    static constexpr int ListedKeys = 5;
    static constexpr int ListedKana = 10;

    explicit WeakKeysPanel(QWidget *parent = nullptr);

    void showTallies(const KeyTallies &keys, const KeyTallies &kana, bool kanaMode,
                     bool kanaInput = false);

    // White for a key never missed, deepening to red at a miss in four.
    static QColor colourOf(const KeyTally &tally);

    // Whether the chosen key is one of the kana's list.
    bool chosenIsKana() const { return m_chosenKana; }
    void chooseKey(const QString &key, bool kana);

    QTableWidget *keyTable() const { return m_keys; }
    QTableWidget *kanaTable() const { return m_kana; }
    LessonProgressView *lessons() const { return m_lessons; }

protected:
    void keyClicked(QChar key) override { chooseKey(QString(key), false); }

private:
    void markChosen();

    QTableWidget *m_keys;
    QTableWidget *m_kana;
    LessonProgressView *m_lessons;
    bool m_chosenKana = false;
};
