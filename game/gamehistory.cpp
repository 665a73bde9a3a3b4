#include "game/gamehistory.h"

#include "platform/desktop.h"

#include <QApplication>
#include <QTimer>
#include <QUuid>

GameHistory::GameHistory(GameSession &session, Desktop &desktop, QWidget *window,
                         const QString &folder, const QString &player)
    : m_session(session), m_desktop(desktop), m_window(window), m_player(player),
      m_path(folder + GameDatabase::fileName()), m_recorder(session)
{
    connect(&session, &GameSession::gameOver, this, &GameHistory::gameOver);
    if (folder.isEmpty())
        return;
    m_store = std::make_unique<GameStore>(m_path);
    connect(m_store.get(), &GameStore::added, this, &GameHistory::stored);
    connect(m_store.get(), &GameStore::weightsFound, this, &GameHistory::useWeights);
    connect(m_store.get(), &GameStore::problem, this, [this](const QString &message) {
        m_untold << message;
        tellProblems();
    });
    // At start-up the database's driver and file are opened only once the
    // window is on the screen (its first paint, or a second at most for a
    // window never shown): loading them beside the window's own start held
    // the window back. What the features ask meanwhile waits its turn.
    if (m_window && !m_window->isVisible()) {
        m_store->hold();
        m_window->installEventFilter(this);
        m_releaseLatest.setSingleShot(true);
        connect(&m_releaseLatest, &QTimer::timeout, this, &GameHistory::releaseStore);
        m_releaseLatest.start(FirstRequestsLatestMs);
    }
    // Queued, so that a box waits for the game-over dialog to close and the
    // replay to start or not.
    connect(&session, &GameSession::promptChanged, this, &GameHistory::tellProblems,
            Qt::QueuedConnection);
    // A new prompt after the player or the mode changed.
    connect(&session, &GameSession::promptChanged, this, [this] {
        if (m_focus && !weightsAreFor(m_weightsMode, m_weightsKanaInput, m_weightsPlayer))
            refreshWeights();
    });
}

void GameHistory::gameOver(const GameSummary &summary)
{
    const QDateTime now = QDateTime::currentDateTime();
    GameRecord game = m_recorder.record(summary, m_player, now);
    // Made here, once: a copy of the game sent anywhere else keeps the name.
    game.uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    releaseStore();
    if (m_store)
        m_store->add(game, now);
    emit recorded(game);
    refreshWeights();
}

void GameHistory::addKept()
{
    if (m_store)
        m_store->addKept(QDateTime::currentDateTime());
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
    if (!weightsAreFor(m_weightsMode, m_weightsKanaInput, m_weightsPlayer))
        m_session.setKeyWeights({});
    m_weightsMode = m_session.romajiMode();
    m_weightsKanaInput = m_session.kanaInput();
    m_weightsPlayer = m_player;
    m_store->askWeights(m_weightsMode, GameRecorder::storedName(m_weightsPlayer), m_weightsKanaInput);
}

bool GameHistory::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window)
        return QObject::eventFilter(watched, event);
    // A window on its way to the screen paints soon: the latest release is
    // for one never shown, and an idle window is not woken for it.
    if (event->type() == QEvent::Show)
        m_releaseLatest.stop();
    else if (event->type() == QEvent::Paint)
        QMetaObject::invokeMethod(this, &GameHistory::releaseStore, Qt::QueuedConnection);
    return QObject::eventFilter(watched, event);
}

void GameHistory::releaseStore()
{
    if (!m_store)
        return;
    if (m_window)
        m_window->removeEventFilter(this);
    // An idle window wakes for nothing.
    m_releaseLatest.stop();
    m_store->release();
}

// Keys typed on the kana keys weigh nothing for romaji, nor the other way.
bool GameHistory::weightsAreFor(bool kanaMode, bool kanaInput, const QString &player) const
{
    return kanaMode == m_session.romajiMode() && kanaInput == m_session.kanaInput()
        && player == m_player;
}

void GameHistory::useWeights(bool kanaMode, const QString &player, const KeyWeights &weights,
                             bool kanaInput)
{
    // An answer to an earlier question the player has moved on from.
    // The store answers for the name as the files hold it.
    if (m_focus && weightsAreFor(kanaMode, kanaInput, m_player) && player == GameRecorder::storedName(m_player))
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
