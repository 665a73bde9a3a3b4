#include "game/frmzuvel.h"

#include "game/fieldmotion.h"
#include "game/fieldview.h"
#include "platform/clockseed.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/instancelock.h"
#include "platform/largetext.h"
#include "platform/textfile.h"
#include "records/frmbest.h"
#include "records/frmreplay.h"
#include "records/resultrecord.h"
#include "records/zuvelm.h"
#include "shell/frmabout.h"
#include "shell/frmweb.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>

namespace {
const QColor TypedGreen(0, 128, 0);
constexpr int FieldPoints = 120;
// Small enough for the sentence to fit the field whole.
constexpr int PausedPoints = 36;
const QString PausedText = QStringLiteral("一時停止中");
constexpr int HintPoints = 18;
const QString PauseHint = QStringLiteral("Escで再開");
constexpr int CountStepMs = 500;
constexpr int TextOriginTwips = 10;
}

frmZuvel::frmZuvel(ZuvelM &shared, Desktop &desktop, const QString &programDir, QWidget *parent)
    : frmZuvel(shared, desktop, Folders::single(programDir), parent)
{
}

frmZuvel::frmZuvel(ZuvelM &shared, Desktop &desktop, const Folders &folders, QWidget *parent)
    : QMainWindow(parent), m_shared(shared), m_desktop(desktop), m_folders(folders),
      m_store(folders.data, folders.canSave), m_session(clockSeed),
      m_history(m_session, desktop, this, folders.canSave ? folders.data : QString(), m_playerName),
      // Saved first: a library broken inside, past what the check can see, may
      // still end the process as it loads.
      m_progress(this, desktop, m_folders, m_shared, m_history, [this] { SaveSettings(); })
{
    setWindowTitle(QStringLiteral("Kolrin(Typing Zuvel)"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    buildLayout();
    buildMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    m_clock.start();
    m_tmrUp.setTimerType(Qt::PreciseTimer);
    m_tmrUp.setInterval(FieldMotion::TickMs);
    connect(&m_tmrUp, &QTimer::timeout, this, &frmZuvel::tmrUp_Timer);
    m_tmrCount.setSingleShot(true);
    connect(&m_tmrCount, &QTimer::timeout, this, &frmZuvel::tmrCount_Timer);
    connectSession();
}

frmZuvel::~frmZuvel() = default;

// The window draws what the game reports; the timer runs while the field climbs.
void frmZuvel::connectSession()
{
    connect(&m_session, &GameSession::fieldMoved, this,
            [this](float top) { m_picPrint->move(FieldLeft, int(top)); });
    connect(&m_session, &GameSession::promptChanged, this, &frmZuvel::DrawField);
    connect(&m_session, &GameSession::keyAccepted, this, &frmZuvel::DrawTyped);
    connect(&m_session, &GameSession::promptCompleted, m_txtType, &QLineEdit::clear);
    connect(&m_session, &GameSession::pausedChanged, this, &frmZuvel::ShowPause);
    connect(&m_session, &GameSession::countChanged, this, &frmZuvel::ShowPause);
    connect(&m_lessons.tracker(), &LessonTracker::lettersChanged, this, &frmZuvel::ShowStatus);
    connect(&m_session, &GameSession::runningChanged, this, [this](bool running) {
        running ? m_tmrUp.start(int(m_session.msToNextTick(now()))) : m_tmrUp.stop();
        m_mnuPause->setEnabled(m_session.inGame());
        ShowStatus();
    });
}

void frmZuvel::buildLayout()
{
    auto *client = new QWidget(this);
    client->setFixedSize(ClientWidth, ClientHeight);
    setCentralWidget(client);

    m_cmdStart = new QPushButton(QStringLiteral("Start"), client);
    m_cmdStart->setObjectName(QStringLiteral("cmdStart"));
    m_cmdStart->setGeometry(352, 8, 57, 25);
    m_cmdStart->setFocusPolicy(Qt::NoFocus);
    m_cmdStart->setDefault(true); // Enter starts a game while it is shown
    connect(m_cmdStart, &QPushButton::clicked, this, &frmZuvel::cmdStart_Click);

    // Lies right of the client area: the player never sees it, but it holds
    // the focus and takes every key.
    m_txtType = new QLineEdit(client);
    m_txtType->setObjectName(QStringLiteral("txtType"));
    m_txtType->setGeometry(424, 16, 41, 25);
    m_txtType->setAttribute(Qt::WA_InputMethodEnabled, false);
    // Keys never reach the box itself (the judge fills it), and a read-only box
    // has no blinking cursor to wake the idle game twice a second.
    m_txtType->setReadOnly(true);
    m_txtType->installEventFilter(this);

    m_picPrint = new FieldView(client);
    m_picPrint->setObjectName(QStringLiteral("picPrint"));
    m_picPrint->setGeometry(FieldLeft, int(FieldMotion::RestTop), 377, 153);
    m_picPrint->setFocusPolicy(Qt::NoFocus);

    m_lblKana = new QLabel(QStringLiteral("ABC"), client);
    m_lblKana->setObjectName(QStringLiteral("lblKana"));
    m_lblKana->setGeometry(80, 24, 186, 97);
    m_lblKana->setFont(Dialogs::japaneseFont(72));
    LargeText::settleBeforePaint(m_lblKana);
    m_lblKana->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The label is part of the window's own surface: the field passes over it.
    m_lblKana->lower();

    m_txtType->setFocus();
}

QString frmZuvel::resultPath() const
{
    return m_folders.data + ResultFile::fileName(m_shared.RomajiMode, m_shared.KanaInput);
}

bool frmZuvel::Form_Load()
{
    m_lock = std::make_unique<InstanceLock>(m_folders.data);
    if (!m_lock->acquire()) {
        m_desktop.critical(nullptr, QStringLiteral("二重起動です。"));
        return false;
    }
    // Only with the lock ours can no other copy be halfway through a save.
    if (m_lock->held())
        TextFile::removeLeftovers(m_folders.data, {QStringLiteral("Kolrin.cfg"), QStringLiteral("Kolrin.ini"),
                                                   GameDatabase::fileName() + QStringLiteral(".pending")});
    if (!TextFile::exists(m_folders.program + QStringLiteral("Kolrin.hlp"))) {
        m_desktop.critical(nullptr, QStringLiteral("Kolrin.hlpが見つかりません"));
        return false;
    }
    LoadSettings();
    m_class.start();
    if (!LoadRomajiTable())
        return false;
    if (!m_folders.canSave) {
        m_desktop.critical(nullptr, QStringLiteral("成績と設定を保存する場所がありません。\n%1")
                                        .arg(QDir::toNativeSeparators(m_folders.data)));
    }
    if (!m_store.problem().isEmpty())
        m_desktop.critical(nullptr, m_store.problem());
    if (m_shared.AskNameAtStart)
        mnuName_Click();
    m_session.begin();
    m_history.addKept();
    m_txtType->setFocus();
    return true;
}

void frmZuvel::LoadSettings()
{
    Settings settings{true, m_shared.RomajiMode, m_playerName};
    m_store.load(settings, m_options);
    m_shared.AskNameAtStart = settings.askNameAtStart;
    m_shared.RomajiMode = settings.romajiMode;
    m_playerName = settings.playerName;
    m_mnuNameOpt->setChecked(m_shared.AskNameAtStart);
    m_mnuRoma->setChecked(m_shared.RomajiMode);
    m_session.setRomajiMode(m_shared.RomajiMode);
    ApplyOptions();
}

void frmZuvel::SaveSettings()
{
    const Settings settings{m_shared.AskNameAtStart, m_shared.RomajiMode, m_playerName};
    QString failed;
    const QString error = m_store.save(settings, m_options, &failed);
    if (!error.isEmpty()) {
        m_desktop.critical(this, QStringLiteral("設定を保存できませんでした。\n%1\n%2")
                                     .arg(QDir::toNativeSeparators(failed), error));
    }
}

bool frmZuvel::LoadRomajiTable()
{
    RomajiTable::Loaded loaded =
        RomajiTable::load(m_folders.table, m_folders.program + QStringLiteral("Romaji.tbl"));
    if (!loaded.error.isEmpty()) {
        m_desktop.critical(nullptr, loaded.error, QStringLiteral("警告"));
        return false;
    }
    m_session.setTable(std::move(loaded.table));
    return true;
}

// The field where the game has it, the prompt's romaji in black and its typed
// part in green over it.
void frmZuvel::DrawField()
{
    if (m_session.isPaused() || m_session.isCounting())
        return;
    m_lblKana->setText(m_session.prompt().kana);
    m_picPrint->printAfresh(m_session.fieldText(), FieldPoints, TextOriginTwips);
    if (m_session.typedLength() > 0)
        DrawGreen(m_session.typedLength());
}

// The hidden box collects the letters of the prompt typed so far.
void frmZuvel::DrawTyped(const KeyStroke &stroke)
{
    DrawGreen(stroke.position + 1);
    if (!stroke.completes)
        m_txtType->setText(m_txtType->text() + stroke.pressed);
}

// The first `length` characters of the prompt in green over the black.
void frmZuvel::DrawGreen(int length)
{
    m_picPrint->setTextPosition(TextOriginTwips, TextOriginTwips);
    m_picPrint->setTextColor(TypedGreen);
    m_picPrint->print(m_session.fieldTyped(length));
}

// Paused, the prompt hides, the field stays and says how to go on; then the
// count. Back, the session has the prompt drawn again.
void frmZuvel::ShowPause()
{
    const int count = m_session.count();
    count > 0 ? m_tmrCount.start(CountStepMs) : m_tmrCount.stop();
    if (count > 0) {
        m_picPrint->printAfresh(QString::number(count), FieldPoints, TextOriginTwips);
    } else if (m_session.isPaused()) {
        m_lblKana->clear();
        m_picPrint->printAfresh(PausedText, PausedPoints, TextOriginTwips);
        m_picPrint->setFontPoints(HintPoints);
        m_picPrint->print(PauseHint);
    }
}

void frmZuvel::tmrCount_Timer()
{
    m_session.stepCount(now());
}

void frmZuvel::mnuStart_Click()
{
    m_session.start(now());
}

void frmZuvel::cmdStart_Click()
{
    mnuStart_Click();
    m_cmdStart->hide();
    m_txtType->setFocus();
}

void frmZuvel::tmrUp_Timer()
{
    if (m_session.tick(now()))
        return GameOver();
    // Each tick aimed at its own moment of playing time: one late, or a pause, moves no other.
    m_tmrUp.setInterval(int(m_session.msToNextTick(now())));
    ShowStatus();
}

// The climb has stopped: the result is written, then the dialog asks for a replay.
void frmZuvel::GameOver()
{
    const QString saveError =
        m_folders.canSave ? ResultFile::append(resultPath(), m_session.level(), m_playerName,
                                               QDateTime::currentDateTime())
                          : QString();
    ShowStatus();
    ReloadProgress();
    // Told only once the timer is off, so no tick runs under the message.
    if (!saveError.isEmpty())
        m_desktop.critical(this, saveError);
    m_shared.FinalLevel = m_session.level();
    showModal(m_frmReplay, m_shared, m_summary.feed());
    m_txtType->clear();
    m_session.ResetGame();
    if (m_shared.ReplayRequested)
        m_session.start(now());
    else
        m_cmdStart->show();
    m_txtType->setFocus();
}

bool frmZuvel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_txtType && event->type() == QEvent::KeyPress) {
        txtType_KeyPress(static_cast<QKeyEvent *>(event));
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmZuvel::txtType_KeyPress(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && m_cmdStart->isVisible()) {
        m_cmdStart->click();
        return;
    }
    m_session.key(m_kanaInput.keyText(event), now());
    ShowStatus();
}

void frmZuvel::mnuRoma_Click()
{
    // The menu item has already turned its check mark over.
    m_shared.RomajiMode = m_mnuRoma->isChecked();
    m_session.switchMode(m_shared.RomajiMode, now());
    ShowStatus();
    ReloadProgress();
}

void frmZuvel::mnuNameOpt_Click()
{
    m_shared.AskNameAtStart = m_mnuNameOpt->isChecked();
}

void frmZuvel::mnuPause_Click()
{
    if (m_session.isPaused())
        m_session.resume();
    else
        m_session.pause(now());
}

// Check marks, the session and the status bar after the options changed.
// The bar sits below the client area, which keeps its size: the window grows.
// Off, no bar is ever made, so the window is as it always was.
void frmZuvel::ApplyOptions()
{
    emit optionsApplied();
    m_session.setFlexibleRomaji(m_options.flexibleRomaji);
    m_history.setFocusWeakKeys(m_options.focusWeakKeys);
    m_kanaInput.apply(m_options.kanaInput);
    m_summary.setOn(m_options.gameSummary);
    if (m_options.statusBar && !m_lblStatus) {
        statusBar()->setSizeGripEnabled(false);
        m_lblStatus = new QLabel(statusBar());
        m_lblStatus->setObjectName(QStringLiteral("lblStatus"));
        statusBar()->addWidget(m_lblStatus, 1);
    }
    if (m_lblStatus)
        statusBar()->setVisible(m_options.statusBar);
    m_feedback.apply(m_options);
    m_lessons.apply(m_options);
    ShowStatus();
}

void frmZuvel::ShowStatus()
{
    // Huge figures late in a long game would run past the window's edge.
    if (m_lblStatus && m_options.statusBar)
        Dialogs::setFittedText(m_lblStatus, statusText());
}

void frmZuvel::changeEvent(QEvent *event)
{
    // Another program, or one of the game's own windows, took the keys.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()
        && m_options.pauseWhenInactive)
        m_session.pause(now());
    QMainWindow::changeEvent(event);
}

void frmZuvel::mnuName_Click()
{
    QString name = m_desktop.inputBox(this, QStringLiteral("練習する人の名前を入力して下さい。"),
                                      QStringLiteral("名前の入力"), m_playerName);
    // A quote would end the name early in the result files.
    name.replace(u'"', QChar(0x201D));
    m_playerName = name;
    m_txtType->setFocus();
}

void frmZuvel::mnuBest_Click()
{
    const QString path = resultPath();
    if (!TextFile::exists(path))
        return;
    m_shared.Results = readRanking(path);
    showModal(m_frmBest, m_shared, m_desktop);
}

void frmZuvel::mnuProgress_Click()
{
    m_progress.open(m_playerName, isPlaying());
}

// An open chart follows the results; it never takes the game's keys.
void frmZuvel::ReloadProgress()
{
    m_progress.reload();
}

void frmZuvel::mnuMokuji_Click()
{
    m_desktop.showHelp(m_folders.program + QStringLiteral("Kolrin.hlp"));
}

// Made on first use and kept; the keys come back to the game when it closes.
template <typename Window, typename... Args>
void frmZuvel::showModal(Window *&window, Args &...args)
{
    if (!window)
        window = new Window(args..., this);
    window->showModal();
    m_txtType->setFocus();
}

void frmZuvel::mnuNet_Click()
{
    showModal(m_frmWeb, m_desktop);
}

void frmZuvel::mnuVer_Click()
{
    showModal(m_frmAbout, m_desktop);
}

void frmZuvel::mnuEnd_Click()
{
    close();
}

void frmZuvel::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

void frmZuvel::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_session.stop();
    SaveSettings();
    emit unloaded();
}
