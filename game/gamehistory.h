#pragma once
#include "game/gamerecorder.h"
#include "records/gamestore.h"

#include <QObject>
#include <QStringList>
#include <QTimer>
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
    // Writes the games an earlier session could not, once this copy holds the
    // folder.
    void addKept();
    // Requests to the file not yet answered.
    bool isBusy() const { return m_store && m_store->isBusy(); }
    // The file's thread, for a feature's own questions; null when nothing is recorded.
    GameStore *store() const { return m_store.get(); }

signals:
    // A game is in the database.
    void stored();
    // A game ended; it goes to the database when there is one.
    void recorded(const GameRecord &game);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static constexpr int FirstRequestsLatestMs = 1000;
    void releaseStore();
    void gameOver(const GameSummary &summary);
    void refreshWeights();
    void useWeights(bool kanaMode, const QString &player, const KeyWeights &weights,
                    bool kanaInput);
    bool weightsAreFor(bool kanaMode, bool kanaInput, const QString &player) const;
    void tellProblems();

    GameSession &m_session;
    Desktop &m_desktop;
    QWidget *m_window;
    const QString &m_player;
    QString m_path;
    GameRecorder m_recorder;
    std::unique_ptr<GameStore> m_store;
    QTimer m_releaseLatest;
    bool m_focus = false;
    // Whom and which mode the weights in use are for.
    bool m_weightsMode = false;
    bool m_weightsKanaInput = false;
    QString m_weightsPlayer;
    QStringList m_untold;
};
