#include "game/gamehistory.h"

#include "platform/desktop.h"

#include <QApplication>
#include <QUuid>

GameHistory::GameHistory(GameSession &session, Desktop &desktop, QWidget *window,
                         const QString &folder, const QString &player)
    : m_session(session), m_desktop(desktop), m_window(window), m_player(player),
      m_path(folder + GameDatabase::fileName()), m_recorder(session)
{
    if (folder.isEmpty())
        return;
    m_store = std::make_unique<GameStore>(m_path);
    connect(&session, &GameSession::gameOver, this, &GameHistory::gameOver);
    connect(m_store.get(), &GameStore::added, this, &GameHistory::stored);
    connect(m_store.get(), &GameStore::weightsFound, this, &GameHistory::useWeights);
    connect(m_store.get(), &GameStore::problem, this, [this](const QString &message) {
        m_untold << message;
        tellProblems();
    });
    // Queued, so that a box waits for the game-over dialog to close and the
    // replay to start or not.
    connect(&session, &GameSession::promptChanged, this, &GameHistory::tellProblems,
            Qt::QueuedConnection);
    // A new prompt after the player or the mode changed.
    connect(&session, &GameSession::promptChanged, this, [this] {
        if (m_focus && (m_weightsMode != m_session.romajiMode() || m_weightsPlayer != m_player))
            refreshWeights();
    });
}

void GameHistory::gameOver(const GameSummary &summary)
{
    const QDateTime now = QDateTime::currentDateTime();
    GameRecord game = m_recorder.record(summary, m_player, now);
    // Made here, once: a copy of the game sent anywhere else keeps the name.
    game.uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    m_store->add(game, now);
    refreshWeights();
}

void GameHistory::setFocusWeakKeys(bool on)
{
    if (on == m_focus)
        return;
    m_focus = on;
    m_session.setKeyWeights({});
    refreshWeights();
}

void GameHistory::refreshWeights()
{
    if (!m_focus || !m_store)
        return;
    if (m_weightsMode != m_session.romajiMode() || m_weightsPlayer != m_player)
        m_session.setKeyWeights({});
    m_weightsMode = m_session.romajiMode();
    m_weightsPlayer = m_player;
    m_store->askWeights(m_weightsMode, m_weightsPlayer);
}

void GameHistory::useWeights(bool kanaMode, const QString &player, const KeyWeights &weights)
{
    // An answer to an earlier question the player has moved on from.
    if (m_focus && kanaMode == m_session.romajiMode() && player == m_player)
        m_session.setKeyWeights(weights);
}

void GameHistory::tellProblems()
{
    // The field must not climb under a box, nor a box open over another.
    if (m_session.isRunning() || QApplication::activeModalWidget())
        return;
    while (!m_untold.isEmpty())
        m_desktop.critical(m_window, m_untold.takeFirst());
}
