#pragma once
#include "records/gamerecord.h"
#include "records/keypanel.h"

class QTableWidget;

// The tab of each key's speed: the keyboard coloured by the mean time to type
// each key (the typing itself: neither a prompt's first key, which includes
// reading it, nor the time spent on misses), and the slowest keys with their
// time and keys a minute. A key chosen shows its progress.
class KeySpeedPanel : public KeyPanel
{
    Q_OBJECT
public:
    static constexpr int ListedKeys = 10;

    explicit KeySpeedPanel(QWidget *parent = nullptr);

    void showTallies(const KeyTallies &keys);

    // White for the fastest key, deepening to orange for the slowest (the
    // chosen key stands out in the keyboard's blue).
    static QColor colourOf(double ms, double fastest, double slowest);

    void chooseKey(const QString &key);

    QTableWidget *keyTable() const { return m_keys; }

protected:
    void keyClicked(QChar key) override { chooseKey(QString(key)); }

private:
    void markChosen();

    QTableWidget *m_keys;
};
