#include "game/feedback.h"

#include "platform/keyboardview.h"
#include "platform/soundplayer.h"

#include <QMainWindow>
#include <QVBoxLayout>

Feedback::Feedback(const GameSession &session, QMainWindow &window)
    : m_session(session), m_window(window)
{
    // The next key moves with every accepted key and new prompt, and goes
    // dark while the prompt is hidden.
    connect(&session, &GameSession::promptChanged, this, &Feedback::showNextKey);
    connect(&session, &GameSession::keyAccepted, this, &Feedback::showNextKey);
    connect(&session, &GameSession::pausedChanged, this, &Feedback::showNextKey);
    connect(&session, &GameSession::countChanged, this, &Feedback::showNextKey);
    connect(&session, &GameSession::keyAccepted, this, [this](const KeyStroke &stroke) {
        // The last key of a prompt chimes instead.
        if (!stroke.completes)
            play(SoundEffect::Click);
    });
    connect(&session, &GameSession::keyMissed, this, [this](const KeyStroke &stroke) {
        if (m_keyboard)
            m_keyboard->flashMiss(stroke.expected, stroke.pressed);
        play(SoundEffect::Buzz);
    });
    connect(&session, &GameSession::keyWeightsChanged, this, &Feedback::showFavouredKeys);
    connect(&session, &GameSession::promptCompleted, this, [this] { play(SoundEffect::Chime); });
    connect(&session, &GameSession::gameOver, this, [this] { play(SoundEffect::Fall); });
}

Feedback::~Feedback()
{
    // A hung audio server must neither hold the closing game nor keep the
    // lock, so that a new start is not refused as a second copy.
    SoundPlayer::finishWithin(m_player, 300);
}

void Feedback::showKeyboard(bool on)
{
    if (on && !m_keyboard) {
        // The client area and the keyboard in one column: the client keeps
        // its size and the window grows, the status bar staying at the bottom.
        QWidget *focus = m_window.focusWidget();
        QWidget *client = m_window.takeCentralWidget();
        auto *column = new QWidget(&m_window);
        auto *layout = new QVBoxLayout(column);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        layout->addWidget(client);
        m_keyboard = new KeyboardView(column);
        m_keyboard->setObjectName(QStringLiteral("keyboard"));
        layout->addWidget(m_keyboard);
        m_window.setCentralWidget(column);
        client->show();
        if (focus)
            focus->setFocus(); // lost as the client moved into the column
        showNextKey();
        showFavouredKeys();
    }
    if (m_keyboard)
        m_keyboard->setVisible(on);
}

void Feedback::playSounds(bool on)
{
    m_sound = on;
    if (!on || m_playerTried)
        return;
    m_playerTried = true;
    QString error;
    m_player = SoundPlayer::create(this, &error);
    if (!m_player)
        qWarning("No sound: %s", qPrintable(error));
}

void Feedback::showNextKey()
{
    if (!m_keyboard)
        return;
    m_keyboard->setKanaLegends(m_session.kanaInput());
    m_keyboard->setHighlighted(m_session.nextKey());
}

// The keys the prompt draw favours now are outlined.
void Feedback::showFavouredKeys()
{
    if (!m_keyboard)
        return;
    QSet<QChar> favoured;
    const KeyWeights &weights = m_session.keyWeights();
    for (auto it = weights.cbegin(); it != weights.cend(); ++it) {
        if (*it > 1)
            favoured.insert(it.key());
    }
    m_keyboard->setOutlined(favoured);
}

void Feedback::play(SoundEffect effect)
{
    if (m_sound && m_player)
        m_player->play(effect);
}
