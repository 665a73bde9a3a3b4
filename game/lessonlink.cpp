#include "game/lessonlink.h"

#include "game/feedback.h"
#include "game/fieldview.h"
#include "game/frmzuvel.h"
#include "platform/dialogs.h"
#include "platform/keyboardview.h"
#include "platform/soundplayer.h"

#include <QDateTime>
#include <QLabel>
#include <QPointer>

namespace {
constexpr int MessageMargin = 6;
}

LessonLink::LessonLink(frmZuvel &window, const Feedback &feedback)
    : m_window(window), m_feedback(feedback), m_tracker(window.session())
{
    m_hide.setSingleShot(true);
    m_hide.setInterval(MessageMs);
    connect(&m_hide, &QTimer::timeout, this, [this] { m_message->hide(); });
    connect(&m_tracker, &LessonTracker::lettersChanged, this, &LessonLink::showKeys);
    connect(&m_tracker, &LessonTracker::keep, this, &LessonLink::keep);
    connect(&m_tracker, &LessonTracker::unlocked, this, &LessonLink::announce);
    // A new prompt after the player or the mode changed.
    connect(&window.session(), &GameSession::promptChanged, this, &LessonLink::follow);
}

void LessonLink::apply(const Options &options)
{
    m_sound = options.sound;
    m_option = options.lessons;
    follow();
    // The guide may have just been made.
    showKeys();
}

void LessonLink::setOn(bool on)
{
    if (on == m_on)
        return;
    m_on = on;
    if (m_on)
        reload();
    else
        m_tracker.stop();
}

// Also after kana input was turned on or off: the session says so with a
// new guide.
void LessonLink::follow()
{
    setOn(m_option);
    const GameSession &session = m_window.session();
    if (m_on && (m_kanaMode != session.romajiMode() || m_kanaKeys != session.kanaKeyLessons()
                 || m_player != m_window.playerName()))
        reload();
}

void LessonLink::reload()
{
    m_kanaMode = m_window.session().romajiMode();
    m_kanaKeys = m_window.session().kanaKeyLessons();
    m_player = m_window.playerName();
    m_tracker.await(m_kanaKeys);
    GameStore *store = m_window.history().store();
    if (!store) {
        m_tracker.start({}, {});
        return;
    }
    ++m_loading;
    // Answered on the window's thread, and only while both are there.
    store->run([store, self = QPointer<LessonLink>(this), kanaMode = m_kanaMode, kanaKeys = m_kanaKeys,
                player = m_player](GameDatabase &db) {
        const LessonRecords::Lesson lesson =
            LessonRecords(db).read(kanaMode, player, Lessons::RecentGames, kanaKeys);
        QMetaObject::invokeMethod(store, [self, kanaMode, kanaKeys, player, lesson] {
            if (self)
                self->use(kanaMode, kanaKeys, player, lesson);
        }, Qt::QueuedConnection);
    });
}

void LessonLink::use(bool kanaMode, bool kanaKeys, const QString &player,
                     const LessonRecords::Lesson &lesson)
{
    --m_loading;
    // An answer to an earlier question the player has moved on from.
    if (!m_on || kanaMode != m_kanaMode || kanaKeys != m_kanaKeys || player != m_player)
        return;
    // A file that could not be read says nothing of the letters kept: the
    // home row for now, and the letters come back once it can be read.
    if (!lesson.read)
        m_tracker.start(m_tracker.course().homeRow(), {});
    else
        m_tracker.start(lesson.kept, lesson.games);
}

void LessonLink::keep(const QString &letters)
{
    GameStore *store = m_window.history().store();
    if (!store)
        return;
    store->run([kanaMode = m_kanaMode, kanaKeys = m_kanaKeys, player = m_player, letters,
                now = QDateTime::currentDateTime()](GameDatabase &db) {
        LessonRecords(db).keep(kanaMode, player, letters, now, kanaKeys);
    });
}

// On the field, which climbs on: the game does not stop for it.
void LessonLink::announce(const QString &letters)
{
    if (!m_message) {
        m_message = new QLabel(m_window.picPrint());
        m_message->setObjectName(QStringLiteral("lblNewKey"));
        m_message->setFont(Dialogs::japaneseFont(MessagePoints, true));
        m_message->setStyleSheet(QStringLiteral(
            "QLabel { background: rgb(255, 244, 190); color: black;"
            " border: 1px solid rgb(200, 120, 0); padding: 2px 6px; }"));
    }
    QStringList shown;
    for (QChar c : letters)
        shown << QString(c);
    const QString text = QStringLiteral("新しいキー: %1").arg(shown.join(u' '));
    m_message->setText(text);
    m_message->adjustSize();
    const QWidget *field = m_window.picPrint();
    // Keys the word list never asks for come all at once: a line of them
    // would run off the field.
    const int room = field->width() - 2 * MessageMargin;
    if (m_message->width() > room) {
        const int frame = m_message->width() - m_message->fontMetrics().horizontalAdvance(text);
        m_message->setText(m_message->fontMetrics().elidedText(text, Qt::ElideRight, room - frame));
        m_message->adjustSize();
    }
    m_message->move(field->width() - m_message->width() - MessageMargin,
                    field->height() - m_message->height() - MessageMargin);
    m_message->show();
    m_message->raise();
    m_hide.start();
    if (m_sound && m_feedback.soundPlayer())
        m_feedback.soundPlayer()->play(SoundEffect::Unlock);
}

void LessonLink::showKeys()
{
    if (KeyboardView *keyboard = m_feedback.keyboard())
        keyboard->setLessonKeys(m_tracker.letters(), m_tracker.newest());
}
