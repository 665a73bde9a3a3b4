#include "records/lessonprogressview.h"

#include "records/gamedatabase.h"
#include "records/lessonrecords.h"

#include <QFutureWatcher>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtConcurrent>

namespace {
const QColor Met(205, 240, 205);
const QColor NotYet(255, 225, 215);

const LessonRule::Course &courseOf(bool kanaKeys)
{
    return kanaKeys ? LessonRule::KanaCourse : LessonRule::LetterCourse;
}

QList<LessonProgressView::Letter> readLesson(const QString &database, bool kanaMode,
                                             const QString &player, bool kanaKeys)
{
    GameDatabase db(database, true);
    LessonRecords::Lesson lesson =
        LessonRecords(db).read(kanaMode, player, LessonRule::RecentGames, kanaKeys);
    QList<LessonProgressView::Letter> letters;
    if (lesson.kept.isEmpty())
        return letters;
    // The games keep what was typed on a kana key by the legend.
    if (kanaKeys) {
        for (KeyTallies &game : lesson.games)
            game = LessonRule::byKanaKey(game);
    }
    // As the game holds them: the home row is never taken away.
    const LessonRule::Course &course = courseOf(kanaKeys);
    for (QChar c : course.sorted(lesson.kept + course.homeRow()))
        letters.append({c, LessonRule::progressOf(c, lesson.games)});
    return letters;
}
}

LessonProgressView::LessonProgressView(QWidget *parent) : QWidget(parent)
{
    m_heading = new QLabel(this);
    m_table = new QTableWidget(0, 4, this);
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    m_table->setHorizontalHeaderLabels(
        {QStringLiteral("キー"), QStringLiteral("打鍵 (%1以上)").arg(LessonRule::MinAttempts),
         QStringLiteral("ミス率 (%1%以下)").arg(LessonRule::MaxMissRate * 100),
         QStringLiteral("平均 ms (%1以下)").arg(japanese.toString(LessonRule::MaxTypingMs))});
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    m_table->setFocusPolicy(Qt::NoFocus);
    m_table->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    m_table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_table->setMaximumHeight(MaxTableHeight);
    m_table->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Maximum);
    m_table->setToolTip(QStringLiteral("ミス率と平均は直近%1回の打鍵から、平均はお題の最初のキーを除いて")
                            .arg(LessonRule::MissWindow));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_heading);
    layout->addWidget(m_table);
    hide();
}

void LessonProgressView::load(const QString &database, bool kanaMode,
                              const std::optional<QString> &player, bool kanaInput)
{
    const bool kanaKeys = kanaMode && kanaInput;
    const int generation = ++m_generation;
    if (database.isEmpty() || !player) {
        showLetters({});
        return;
    }
    ++m_loading;
    auto *watcher = new QFutureWatcher<QList<Letter>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, generation, kanaKeys] {
        --m_loading;
        if (generation == m_generation)
            showLetters(watcher->result(), courseOf(kanaKeys));
        watcher->deleteLater();
    });
    watcher->setFuture(QtConcurrent::run(readLesson, database, kanaMode, *player, kanaKeys));
}

void LessonProgressView::showLetters(const QList<Letter> &letters, const LessonRule::Course &course)
{
    setVisible(!letters.isEmpty());
    if (letters.isEmpty())
        return;
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    qsizetype mastered = 0;
    for (const Letter &l : letters)
        mastered += l.progress.met();
    const QChar next = letters.size() < course.size() ? course.order[letters.size()] : QChar();
    QString heading = QStringLiteral("キーを順に覚える: キー %1/%2　できたキー %3")
                          .arg(letters.size())
                          .arg(course.size())
                          .arg(mastered);
    if (!next.isNull())
        heading += QStringLiteral("　次のキー: %1").arg(next);
    m_heading->setText(heading);

    m_table->setRowCount(int(letters.size()));
    for (int row = 0; row < int(letters.size()); ++row) {
        const Letter &l = letters[letters.size() - 1 - row];
        const LessonRule::Progress &p = l.progress;
        const QString cells[] = {QString(l.letter), japanese.toString(p.attempts),
                                 QString::number(p.missRate * 100, 'f', 1) + u'%',
                                 p.typingMs > 0 ? japanese.toString(qRound64(p.typingMs))
                                                : QStringLiteral("—")};
        const bool met[] = {p.met(), p.enoughAttempts(), p.accurate(), p.fast()};
        for (int column = 0; column < 4; ++column) {
            auto *item = new QTableWidgetItem(cells[column]);
            item->setTextAlignment(column == 0 ? Qt::AlignCenter : Qt::AlignRight | Qt::AlignVCenter);
            item->setBackground(met[column] ? Met : NotYet);
            m_table->setItem(row, column, item);
        }
    }
}
