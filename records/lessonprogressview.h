#pragma once
#include "records/lessonrule.h"

#include <QList>
#include <QWidget>
#include <optional>

class QLabel;
class QTableWidget;

// Beside the weak keys: each letter a player's lessons have brought, newest
// first, with its attempts, misses and typing time against what the next
// letter asks. Hidden for everyone, and for a player who never had lessons
// in the mode.
class LessonProgressView : public QWidget
{
    Q_OBJECT
public:
    static constexpr int MaxTableHeight = 190;

    explicit LessonProgressView(QWidget *parent = nullptr);

    // Reads the player's letters and recent games on a worker thread; only
    // the newest answer is shown. `kanaInput`: the kana mode's games typed on
    // the kana keys, whose lesson is one of those keys.
    void load(const QString &database, bool kanaMode, const std::optional<QString> &player,
              bool kanaInput = false);
    struct Letter
    {
        QChar letter;
        LessonRule::Progress progress;
    };
    // In the order they came; none: hidden.
    void showLetters(const QList<Letter> &letters, const LessonRule::Course &course = LessonRule::LetterCourse);

    bool isLoading() const { return m_loading > 0; }
    QLabel *heading() const { return m_heading; }
    QTableWidget *table() const { return m_table; }

private:
    int m_generation = 0;
    int m_loading = 0;
    QLabel *m_heading;
    QTableWidget *m_table;
};
