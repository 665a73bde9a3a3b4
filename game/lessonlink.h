#pragma once
#include "game/lessontracker.h"
#include "records/lessonrecords.h"
#include "shell/options.h"

#include <QObject>
#include <QTimer>

class Feedback;
class QLabel;
class frmZuvel;

// Lessons beside the game, with their option: the player's letters read from
// and kept in the game database, the keyboard guide greying the letters not
// yet come, and a new letter told on the field for a moment, with a chime when
// sounds are on. Kana typed on the kana keys have a lesson of those keys
// instead, kept apart. Off, nothing of it runs and every letter is drawn.
class LessonLink : public QObject
{
    Q_OBJECT
public:
    static constexpr int MessageMs = 2000;
    static constexpr int MessagePoints = 14;

    LessonLink(frmZuvel &window, const Feedback &feedback);

    void apply(const Options &options);
    const LessonTracker &tracker() const { return m_tracker; }
    // The field's message of a new letter; null until the first one.
    QLabel *message() const { return m_message; }
    // Requests to the database not yet answered.
    bool isLoading() const { return m_loading > 0; }

private:
    void follow();
    void setOn(bool on);
    void reload();
    void use(bool kanaMode, bool kanaKeys, const QString &player, const LessonRecords::Lesson &lesson);
    void keep(const QString &letters);
    void announce(const QString &letters);
    void showKeys();

    frmZuvel &m_window;
    const Feedback &m_feedback;
    LessonTracker m_tracker;
    bool m_on = false;
    bool m_option = false;
    bool m_sound = false;
    // Whom and which mode the tracker's letters are for.
    bool m_kanaMode = false;
    bool m_kanaKeys = false;
    QString m_player;
    int m_loading = 0;
    QLabel *m_message = nullptr;
    QTimer m_hide;
};
