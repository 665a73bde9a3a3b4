#pragma once
#include "game/gamerecorder.h"
#include "records/gamestore.h"

#include <QObject>
#include <QStringList>
#include <memory>

class Desktop;
class QWidget;

// Every finished game's keys in the game database, beside its result line,
// and, with the option on, prompts that favour the player's weak keys. Whatever
// becomes of the file, the game plays on: a trouble with it is told in a box
// once no game runs and no other box is open.
class GameHistory : public QObject
{
    Q_OBJECT
public:
    // No folder: nothing is recorded. `player` is the window's, which may
    // change between games.
    GameHistory(GameSession &session, Desktop &desktop, QWidget *window, const QString &folder,
                const QString &player);

    // Empty when nothing is recorded.
    QString path() const { return m_store ? m_path : QString(); }
    void setFocusWeakKeys(bool on);
    // Requests to the file not yet answered.
    GameStore *store() const { return m_store.get(); }
    bool isBusy() const { return m_store && m_store->isBusy(); }

signals:
    // A game is in the database.
    void stored();

private:
    void gameOver(const GameSummary &summary);
    void refreshWeights();
    void useWeights(bool kanaMode, const QString &player, const KeyWeights &weights);
    void tellProblems();

    GameSession &m_session;
    Desktop &m_desktop;
    QWidget *m_window;
    const QString &m_player;
    QString m_path;
    GameRecorder m_recorder;
    std::unique_ptr<GameStore> m_store;
    bool m_focus = false;
    // Whom and which mode the weights in use are for.
    bool m_weightsMode = false;
    QString m_weightsPlayer;
    QStringList m_untold;
};
