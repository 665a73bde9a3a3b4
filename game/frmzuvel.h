#pragma once
#include "game/romajitable.h"
#include "game/typingstats.h"
#include "platform/folders.h"
#include "shell/options.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QTimer>
#include <cstdint>
#include <memory>

class Desktop;
class FieldView;
class InstanceLock;
class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class frmReplay;
class frmBest;
class ProgressWindow;
class frmAbout;
class frmWeb;
struct ZuvelM;

// The main window: the prompt, the rising field, the hidden box that takes the
// player's keys, the game's timer and the menus to every other window.
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

    // For tests and the window's own wiring.
    std::int16_t level() const { return m_level; }
    int charPos() const { return m_charPos; }
    const QString &currentRomaji() const { return m_currentRomaji; }
    const QString &playerName() const { return m_playerName; }
    float fieldTop() const { return m_fieldTop; }
    bool isPlaying() const { return m_tmrUp.isActive(); }
    QTimer &timer() { return m_tmrUp; }

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
    bool isPaused() const { return m_paused; }
    // The status bar's line, whether the bar shows or not.
    QString statusText() const;

    void tmrUp_Timer();
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

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildLayout();
    void buildMenus();
    void txtType_KeyPress(QKeyEvent *event);
    void mnuRoma_Click();
    void mnuNameOpt_Click();
    void mnuFlexible_Click();
    void mnuPause_Click();
    void mnuStatusBar_Click();
    void mnuPauseInactive_Click();
    void Form_Unload();

    void LoadSettings();
    void SaveSettings();
    bool LoadRomajiTable();
    void NextPrompt();
    void DrawField();
    void DrawPrompt();
    void DrawOnField(const QString &text, int points);
    void DrawTyped();
    void DrawGreen(int length);
    bool judgesSpellings() const;
    void StartTimer();
    void Pause();
    void Resume();
    void ShowStatus();
    void ApplyStatusBar();
    void ResetGame();
    QString SaveResult();
    QString filePath(const QString &name) const;
    QString dataPath(const QString &name) const;
    void ReloadProgress();

    ZuvelM &m_shared;
    Desktop &m_desktop;
    Folders m_folders;
    std::unique_ptr<InstanceLock> m_lock;

    RomajiTable m_table;
    QString m_playerName;
    std::int16_t m_level = 0;
    QString m_currentRomaji;
    int m_charPos = 0;
    Options m_options;
    QStringList m_spellings; // every spelling of the kana prompt, the table's first
    QString m_kanaText;      // the large label's prompt, back after a pause
    bool m_paused = false;
    TypingStats m_stats;
    QElapsedTimer m_clock;
    float m_fieldTop = 0;

    QTimer m_tmrUp;
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
    QLabel *m_lblStatus = nullptr;

    frmReplay *m_frmReplay = nullptr;
    frmBest *m_frmBest = nullptr;
    ProgressWindow *m_frmProgress = nullptr;
    frmAbout *m_frmAbout = nullptr;
    frmWeb *m_frmWeb = nullptr;
    bool m_unloaded = false;
};
