#pragma once
#include "shell/classsettings.h"

#include <QObject>
#include <QStringList>
#include <memory>

class ClassReader;
class ClassSender;
class Desktop;
class GameHistory;
class GameSession;
class QAction;
class QWidget;
struct Folders;
struct ZuvelM;

// The class server beside the game: Kolrin.ini's [ClassServer] read at start,
// every game the database took sent on, the settings dialog and the class's
// ranking. Without a server set it starts no thread and connects nowhere.
class ClassLink : public QObject
{
    Q_OBJECT
public:
    ClassLink(QWidget *window, Desktop &desktop, const Folders &folders, const ZuvelM &shared,
              GameSession &session, GameHistory &history);
    ~ClassLink() override;

    // After the settings were read.
    void start();
    // ｵﾌﾟｼｮﾝ and 表示 items; the ranking's shows only with a server set.
    void setActions(QAction *settingsAction, QAction *rankingAction);
    void openSettings();
    void openRanking();

    const ClassSettings &settings() const { return m_settings; }
    ClassSender *sender() const { return m_sender.get(); }

private:
    void apply(const ClassSettings &settings);
    void tellProblems();
    QString iniPath() const;

    QWidget *m_window;
    Desktop &m_desktop;
    const Folders &m_folders;
    const ZuvelM &m_shared;
    GameSession &m_session;
    GameHistory &m_history;
    ClassSettings m_settings;
    std::unique_ptr<ClassSender> m_sender;
    QAction *m_rankingAction = nullptr;
    QStringList m_untold;
};
