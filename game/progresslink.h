#pragma once
#include "records/progresswindow.h"

#include <functional>

class Desktop;
class GameHistory;
struct Folders;
struct ZuvelM;

// The chart of progress beside the game: made from its library the first time
// the player asks for it, and then following every game's result line and
// every game the database takes, without taking the game's keys.
class ProgressLink : public QObject
{
    Q_OBJECT
public:
    // `beforeLoading` runs just before the library is mapped.
    ProgressLink(QWidget *window, Desktop &desktop, const Folders &folders, const ZuvelM &shared,
                 const GameHistory &history, std::function<void()> beforeLoading);

    void open(const QString &playerName, bool gameRunning);
    void reload();

private:
    ProgressWindow::Source source() const;

    QWidget *m_window;
    Desktop &m_desktop;
    const Folders &m_folders;
    const ZuvelM &m_shared;
    const GameHistory &m_history;
    std::function<void()> m_beforeLoading;
    ProgressWindow *m_chart = nullptr;
};
