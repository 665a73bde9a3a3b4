#pragma once
#include "game/classlink.h"
#include "game/feedback.h"
#include "game/gamehistory.h"
#include "game/gamesession.h"
#include "game/kanainputlink.h"
#include "game/lessonlink.h"
#include "game/progresslink.h"
#include "game/summarylink.h"
#include "platform/folders.h"
#include "shell/options.h"
#include "shell/settingsstore.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QTimer>
#include <cstdint>
#include <memory>

class Desktop;
class FieldView;
class InstanceLock;
class KeyboardView;
class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class frmReplay;
class frmBest;
class frmAbout;
class frmWeb;
struct ZuvelM;

// The main window: the prompt, the rising field, the hidden box that takes the
// player's keys, the game's timer and the menus to every other window. The
// game itself is the session; the window forwards keys and ticks to it and
// draws what it reports.
class frmZuvel : public QMainWindow
{
    Q_OBJECT
public:
    static constexpr int ClientWidth = 413;
    static constexpr int ClientHeight = 391;
    static constexpr int FieldLeft = 16;

    frmZuvel(ZuvelM &shared, Desktop &desktop, const Folders &folders,
             QWidget *parent = nullptr);
    // Everything in one folder.
    frmZuvel(ZuvelM &shared, Desktop &desktop, const QString &programDir,
             QWidget *parent = nullptr);
    ~frmZuvel() override;

    // Start-up. False when it stopped (a second copy, a missing or unusable
    // file): the process then ends without showing the window or saving.
    bool Form_Load();

    GameSession &session() { return m_session; }
    GameHistory &history() { return m_history; }
    const LessonLink &lessons() const { return m_lessons; }
    ClassLink &classLink() { return m_class; }
    // For tests and the window's own wiring.
    std::int16_t level() const { return m_session.level(); }
    int charPos() const { return m_session.charPos(); }
    const QString &currentRomaji() const { return m_session.currentRomaji(); }
    const QString &playerName() const { return m_playerName; }
    float fieldTop() const { return m_session.fieldTop(); }
    // The field climbs.
    bool isPlaying() const { return m_session.isRunning(); }
    bool isPaused() const { return m_session.isPaused(); }
    QTimer &timer() { return m_tmrUp; }
    KeyboardView *keyboard() const { return m_feedback.keyboard(); }
    // The status bar's line, whether the bar shows or not.
    QString statusText() const { return m_session.statusText(now()); }

    FieldView *picPrint() const { return m_picPrint; }
    QLabel *lblKana() const { return m_lblKana; }
    QLineEdit *txtType() const { return m_txtType; }
    QPushButton *cmdStart() const { return m_cmdStart; }
    QAction *mnuRoma() const { return m_mnuRoma; }
    QAction *mnuNameOpt() const { return m_mnuNameOpt; }
    QAction *mnuFlexible() const { return m_mnuFlexible; }
    QAction *mnuPause() const { return m_mnuPause; }
    QAction *mnuStatusBar() const { return m_mnuStatusBar; }
    QAction *mnuPauseInactive() const { return m_mnuPauseInactive; }
    QAction *mnuKeyboard() const { return m_mnuKeyboard; }
    QAction *mnuSound() const { return m_mnuSound; }
    QAction *mnuFocusWeakKeys() const { return m_mnuFocusWeakKeys; }
    QAction *mnuGameSummary() const { return m_mnuGameSummary; }
    QAction *mnuLessons() const { return m_mnuLessons; }

    void tmrUp_Timer();
    void tmrCount_Timer();
    void cmdStart_Click();
    void mnuStart_Click();
    void mnuName_Click();
    void mnuBest_Click();
    void mnuProgress_Click();
    void mnuMokuji_Click();
    void mnuNet_Click();
    void mnuVer_Click();
    void mnuEnd_Click();

signals:
    void unloaded();
    // The options were read or changed: check marks follow.
    void optionsApplied();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildLayout();
    void buildMenus();
    QAction *addOption(QMenu *menu, const QString &text, bool Options::*option);
    void connectSession();
    void txtType_KeyPress(QKeyEvent *event);
    void mnuRoma_Click();
    void mnuNameOpt_Click();
    void mnuPause_Click();
    void Form_Unload();

    void LoadSettings();
    void SaveSettings();
    bool LoadRomajiTable();
    void DrawField();
    void DrawTyped(const KeyStroke &stroke);
    void DrawGreen(int length);
    void ShowPause();
    void ShowStatus();
    void ApplyOptions();
    void GameOver();
    qint64 now() const { return m_clock.elapsed(); }
    template <typename Window, typename... Args>
    void showModal(Window *&window, Args &...args);
    QString resultPath() const;
    void ReloadProgress();

    ZuvelM &m_shared;
    Desktop &m_desktop;
    Folders m_folders;
    SettingsStore m_store;
    std::unique_ptr<InstanceLock> m_lock;

    GameSession m_session;
    QString m_playerName;
    Options m_options;
    GameHistory m_history;
    SummaryLink m_summary{m_history};
    ProgressLink m_progress;
    KanaInputLink m_kanaInput{m_session, m_shared, m_progress};
    ClassLink m_class{this, m_desktop, m_folders, m_shared, m_session, m_history};
    QElapsedTimer m_clock;

    QTimer m_tmrUp;
    QTimer m_tmrCount;
    QPushButton *m_cmdStart = nullptr;
    QLineEdit *m_txtType = nullptr;
    FieldView *m_picPrint = nullptr;
    QLabel *m_lblKana = nullptr;
    QAction *m_mnuRoma = nullptr;
    QAction *m_mnuNameOpt = nullptr;
    QAction *m_mnuFlexible = nullptr;
    QAction *m_mnuPause = nullptr;
    QAction *m_mnuStatusBar = nullptr;
    QAction *m_mnuPauseInactive = nullptr;
    QAction *m_mnuKeyboard = nullptr;
    QAction *m_mnuSound = nullptr;
    QAction *m_mnuFocusWeakKeys = nullptr;
    QAction *m_mnuGameSummary = nullptr;
    QAction *m_mnuLessons = nullptr;
    QLabel *m_lblStatus = nullptr;
    Feedback m_feedback{m_session, *this};
    LessonLink m_lessons{*this, m_feedback};

    frmReplay *m_frmReplay = nullptr;
    frmBest *m_frmBest = nullptr;
    frmAbout *m_frmAbout = nullptr;
    frmWeb *m_frmWeb = nullptr;
    bool m_unloaded = false;
};
