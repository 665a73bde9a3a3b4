#include "game/frmzuvel.h"

#include "game/fieldmotion.h"
#include "game/fieldview.h"
#include "game/prompt.h"
#include "game/romajispelling.h"
#include "game/typingjudge.h"
#include "game/zuvelm.h"
#include "platform/cp932.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/instancelock.h"
#include "platform/textfile.h"
#include "records/frmbest.h"
#include "records/progresswindow.h"
#include "records/frmreplay.h"
#include "records/resultrecord.h"
#include "shell/frmabout.h"
#include "shell/frmweb.h"
#include "shell/settings.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <chrono>

namespace {
const QColor TypedGreen(0, 128, 0);
constexpr int FieldPoints = 120;
// Small enough for the sentence to fit the field whole.
constexpr int PausedPoints = 36;
const QString PausedText = QStringLiteral("一時停止中");
constexpr int TextOriginTwips = 10;
// Files the game reads whole; anything larger is damaged.
constexpr qint64 MaxTableBytes = 16 << 20;
constexpr qint64 MaxSettingsBytes = 16 << 20;

std::uint64_t clockSeed()
{
    // Nanoseconds, so two prompts made within one second still differ.
    return std::uint64_t(std::chrono::system_clock::now().time_since_epoch().count())
        ^ std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
}

const QString TableMissing = QStringLiteral("ローマ字テーブル Romaji.tbl　が見つかりません。");
const QString TableTitle = QStringLiteral("警告");
}

frmZuvel::frmZuvel(ZuvelM &shared, Desktop &desktop, const QString &programDir, QWidget *parent)
    : frmZuvel(shared, desktop, Folders::single(programDir), parent)
{
}

frmZuvel::frmZuvel(ZuvelM &shared, Desktop &desktop, const Folders &folders, QWidget *parent)
    : QMainWindow(parent), m_shared(shared), m_desktop(desktop), m_folders(folders)
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
}

frmZuvel::~frmZuvel() = default;

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
    m_lblKana->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The label is part of the window's own surface: the field passes over it.
    m_lblKana->lower();

    m_txtType->setFocus();
}

void frmZuvel::buildMenus()
{
    QMenu *game = menuBar()->addMenu(QStringLiteral("ｹﾞｰﾑ(&G)"));
    QAction *start = game->addAction(QStringLiteral("ｹﾞｰﾑの開始"));
    start->setShortcut(Qt::Key_F2);
    connect(start, &QAction::triggered, this, &frmZuvel::mnuStart_Click);
    m_mnuPause = game->addAction(QStringLiteral("一時停止(&P)"));
    m_mnuPause->setShortcut(Qt::Key_Escape);
    m_mnuPause->setEnabled(false);
    connect(m_mnuPause, &QAction::triggered, this, &frmZuvel::mnuPause_Click);
    QAction *name = game->addAction(QStringLiteral("名前の入力(&N)"));
    name->setShortcut(Qt::Key_F5);
    connect(name, &QAction::triggered, this, &frmZuvel::mnuName_Click);
    QAction *end = game->addAction(QStringLiteral("ｹﾞｰﾑの終了(&X)"));
    connect(end, &QAction::triggered, this, &frmZuvel::mnuEnd_Click);

    QMenu *view = menuBar()->addMenu(QStringLiteral("表示(&V)"));
    connect(view->addAction(QStringLiteral("成績順の表示")), &QAction::triggered, this,
            &frmZuvel::mnuBest_Click);
    connect(view->addAction(QStringLiteral("成績の推移(&P)")), &QAction::triggered, this,
            &frmZuvel::mnuProgress_Click);
    view->addSeparator();
    m_mnuStatusBar = view->addAction(QStringLiteral("ステータスバー(&S)"));
    m_mnuStatusBar->setCheckable(true);
    connect(m_mnuStatusBar, &QAction::triggered, this, &frmZuvel::mnuStatusBar_Click);

    QMenu *option = menuBar()->addMenu(QStringLiteral("ｵﾌﾟｼｮﾝ(&O)"));
    m_mnuRoma = option->addAction(QStringLiteral("ローマ字"));
    m_mnuRoma->setCheckable(true);
    connect(m_mnuRoma, &QAction::triggered, this, &frmZuvel::mnuRoma_Click);
    m_mnuNameOpt = option->addAction(QStringLiteral("起動時の名前問い合わせ"));
    m_mnuNameOpt->setCheckable(true);
    m_mnuNameOpt->setChecked(true);
    connect(m_mnuNameOpt, &QAction::triggered, this, &frmZuvel::mnuNameOpt_Click);
    option->addSeparator();
    m_mnuFlexible = option->addAction(QStringLiteral("ローマ字の別のつづりも受け付ける"));
    m_mnuFlexible->setCheckable(true);
    connect(m_mnuFlexible, &QAction::triggered, this, &frmZuvel::mnuFlexible_Click);
    m_mnuPauseInactive = option->addAction(QStringLiteral("ウィンドウを離れたら一時停止"));
    m_mnuPauseInactive->setCheckable(true);
    connect(m_mnuPauseInactive, &QAction::triggered, this, &frmZuvel::mnuPauseInactive_Click);

    QMenu *help = menuBar()->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    connect(help->addAction(QStringLiteral("目次(&C)")), &QAction::triggered, this,
            &frmZuvel::mnuMokuji_Click);
    connect(help->addAction(QStringLiteral("ｲﾝﾀｰﾈｯﾄに接続")), &QAction::triggered, this,
            &frmZuvel::mnuNet_Click);
    connect(help->addAction(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)")), &QAction::triggered, this,
            &frmZuvel::mnuVer_Click);
}

QString frmZuvel::filePath(const QString &name) const
{
    return m_folders.program + name;
}

QString frmZuvel::dataPath(const QString &name) const
{
    return m_folders.data + name;
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
        TextFile::removeLeftovers(m_folders.data,
                                  {QStringLiteral("Kolrin.cfg"), QStringLiteral("Kolrin.ini")});
    if (!TextFile::exists(filePath(QStringLiteral("Kolrin.hlp")))) {
        m_desktop.critical(nullptr, QStringLiteral("Kolrin.hlpが見つかりません"));
        return false;
    }
    LoadSettings();
    if (!LoadRomajiTable())
        return false;
    if (!m_folders.canSave) {
        m_desktop.critical(nullptr, QStringLiteral("成績と設定を保存する場所がありません。\n%1")
                                        .arg(QDir::toNativeSeparators(m_folders.data)));
    }
    if (m_shared.AskNameAtStart)
        mnuName_Click();
    m_fieldTop = FieldMotion::RestTop;
    m_picPrint->move(FieldLeft, int(m_fieldTop));
    m_level = 1;
    NextPrompt();
    m_charPos = 1;
    DrawField();
    m_txtType->setFocus();
    return true;
}

void frmZuvel::LoadSettings()
{
    Settings settings;
    settings.romajiMode = m_shared.RomajiMode;
    settings.playerName = m_playerName;
    const QString path = dataPath(QStringLiteral("Kolrin.cfg"));
    if (TextFile::exists(path)) {
        const TextFile::ReadResult file = TextFile::readAll(path, MaxSettingsBytes);
        if (file.ok())
            settings.applyFile(Cp932::decode(file.bytes));
        else
            settings.applyUnreadableFile();
    }
    m_shared.AskNameAtStart = settings.askNameAtStart;
    m_shared.RomajiMode = settings.romajiMode;
    m_playerName = settings.playerName;
    m_mnuNameOpt->setChecked(m_shared.AskNameAtStart);
    m_mnuRoma->setChecked(m_shared.RomajiMode);

    // Missing or damaged: every option off, and nothing said.
    const QString ini = dataPath(QStringLiteral("Kolrin.ini"));
    if (TextFile::exists(ini)) {
        const TextFile::ReadResult file = TextFile::readAll(ini, MaxSettingsBytes);
        if (file.ok())
            m_options = Options::fromIni(file.bytes);
    }
    m_mnuFlexible->setChecked(m_options.flexibleRomaji);
    m_mnuStatusBar->setChecked(m_options.statusBar);
    m_mnuPauseInactive->setChecked(m_options.pauseWhenInactive);
    ApplyStatusBar();
}

void frmZuvel::SaveSettings()
{
    // The player was told at start-up; once is enough.
    if (!m_folders.canSave)
        return;
    Settings settings;
    settings.askNameAtStart = m_shared.AskNameAtStart;
    settings.romajiMode = m_shared.RomajiMode;
    settings.playerName = m_playerName;
    QList<TextFile::Replacement> files{{dataPath(QStringLiteral("Kolrin.cfg")), settings.toFile()}};

    // A player who never touched an option gets no new file, and an odd
    // thing standing in its place (a FIFO, say) does not stop the save.
    QString failed = files[0].path;
    QString error;
    const QString ini = dataPath(QStringLiteral("Kolrin.ini"));
    const bool iniExists = TextFile::exists(ini);
    if (iniExists || !m_options.isDefault()) {
        // An unreadable one comes back empty: the options are written afresh.
        const QByteArray previous =
            iniExists ? TextFile::readAll(ini, MaxSettingsBytes).bytes : QByteArray();
        QByteArray content;
        if (m_options.toIni(previous, &content, &error))
            files.append({ini, content});
        else
            failed = ini;
    }
    // Both files or neither: the settings never come back half old.
    if (error.isEmpty())
        error = TextFile::replaceAll(files, &failed);
    if (!error.isEmpty()) {
        m_desktop.critical(this, QStringLiteral("設定を保存できませんでした。\n%1\n%2")
                                     .arg(QDir::toNativeSeparators(failed), error));
    }
}

bool frmZuvel::LoadRomajiTable()
{
    const QString &path = m_folders.table;
    if (!TextFile::exists(path)) {
        m_desktop.critical(nullptr, TableMissing, TableTitle);
        return false;
    }
    const TextFile::ReadResult file = TextFile::readAll(path, MaxTableBytes);
    if (!file.ok()) {
        m_desktop.critical(nullptr,
                           QStringLiteral("ローマ字テーブル Romaji.tbl　を読み込めません。\n%1")
                               .arg(file.error),
                           TableTitle);
        return false;
    }
    RomajiTable::Error error = RomajiTable::Error::None;
    m_table = RomajiTable::parse(Cp932::decode(file.bytes), &error);
    if (error != RomajiTable::Error::None) {
        m_desktop.critical(nullptr,
                           QStringLiteral("ローマ字テーブル Romaji.tbl　が正しくありません。\n%1")
                               .arg(RomajiTable::describe(error)),
                           TableTitle);
        return false;
    }
    return true;
}

void frmZuvel::NextPrompt()
{
    RandomSource random(clockSeed());
    const Prompt prompt = ::NextPrompt(m_table, m_shared.RomajiMode, random);
    m_currentRomaji = prompt.romaji;
    m_spellings = m_shared.RomajiMode ? RomajiSpelling::spellingsOf(prompt.tableKana, prompt.romaji)
                                      : QStringList{prompt.romaji};
    m_kanaText = prompt.kana;
    m_lblKana->setText(prompt.kana);
}

void frmZuvel::DrawField()
{
    m_fieldTop = FieldMotion::RestTop;
    m_picPrint->move(FieldLeft, int(m_fieldTop));
    DrawPrompt();
}

// The prompt's romaji in black where the field stands.
void frmZuvel::DrawPrompt()
{
    DrawOnField(m_currentRomaji, FieldPoints);
}

void frmZuvel::DrawOnField(const QString &text, int points)
{
    m_picPrint->setTextColor(Qt::black);
    m_picPrint->clear();
    m_picPrint->setFontPoints(points);
    m_picPrint->setTextPosition(TextOriginTwips, TextOriginTwips);
    m_picPrint->fitText(text);
    m_picPrint->print(text);
}

void frmZuvel::DrawTyped()
{
    DrawGreen(m_charPos);
}

// The first `length` characters of the prompt in green over the black.
void frmZuvel::DrawGreen(int length)
{
    m_picPrint->setTextPosition(TextOriginTwips, TextOriginTwips);
    m_picPrint->setTextColor(TypedGreen);
    m_picPrint->print(m_currentRomaji.left(length));
}

void frmZuvel::ResetGame()
{
    m_level = 1;
    m_charPos = 1;
    // A spelling the player had switched to gives way to the table's again.
    m_currentRomaji = m_spellings.value(0, m_currentRomaji);
    m_txtType->clear();
    DrawField();
}

void frmZuvel::mnuStart_Click()
{
    // Starting a running timer again would shift its beat; a paused game goes on.
    if (m_paused)
        Resume();
    else if (!m_tmrUp.isActive())
        StartTimer();
}

// A game begins: the timer runs and the figures count from now.
void frmZuvel::StartTimer()
{
    m_tmrUp.start();
    m_stats.start(m_clock.elapsed());
    m_mnuPause->setEnabled(true);
    ShowStatus();
}

void frmZuvel::cmdStart_Click()
{
    mnuStart_Click();
    m_cmdStart->hide();
    m_txtType->setFocus();
}

QString frmZuvel::SaveResult()
{
    if (!m_folders.canSave)
        return {};
    const QString path = dataPath(ResultFile::fileName(m_shared.RomajiMode));
    const QString error = TextFile::append(
        path, ResultFile::formatLine(m_level, m_playerName, QDateTime::currentDateTime()));
    if (error.isEmpty())
        return {};
    return QStringLiteral("成績を保存できませんでした。\n%1\n%2")
        .arg(QDir::toNativeSeparators(path), error);
}

void frmZuvel::tmrUp_Timer()
{
    m_fieldTop = FieldMotion::risen(m_fieldTop, m_level);
    m_picPrint->move(FieldLeft, int(m_fieldTop));
    if (!FieldMotion::reachedTop(m_fieldTop)) {
        ShowStatus();
        return;
    }

    const QString saveError = SaveResult();
    m_tmrUp.stop();
    m_stats.stop(m_clock.elapsed(), m_level);
    m_mnuPause->setEnabled(false);
    ShowStatus();
    ReloadProgress();
    // Told only once the timer is off, so no tick runs under the message.
    if (!saveError.isEmpty())
        m_desktop.critical(this, saveError);
    m_shared.FinalLevel = m_level;
    if (!m_frmReplay)
        m_frmReplay = new frmReplay(m_shared, this);
    m_frmReplay->showModal();
    ResetGame();
    if (m_shared.ReplayRequested)
        StartTimer();
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
    if (event->text().isEmpty())
        return; // not a character: the judge never sees it
    if (m_paused)
        return; // the prompt is hidden: nothing typed counts

    KeyVerdict verdict;
    QChar key;
    if (judgesSpellings()) {
        const RomajiSpelling::Judgement judgement = RomajiSpelling::judgeKey(
            event->text(), m_currentRomaji.left(m_charPos - 1), m_spellings);
        verdict = judgement.verdict;
        key = judgement.key;
        if (verdict != KeyVerdict::Rejected && judgement.guide != m_currentRomaji) {
            // The player left the shown spelling: show the one being typed,
            // where the field stands.
            m_currentRomaji = judgement.guide;
            DrawPrompt();
        }
    } else {
        const Judgement judgement = judgeKey(event->text(), m_currentRomaji, m_charPos);
        verdict = judgement.verdict;
        key = judgement.key;
    }
    if (verdict == KeyVerdict::Rejected) {
        m_stats.missed();
        ShowStatus();
        return;
    }
    m_stats.accepted();
    DrawTyped();
    if (verdict == KeyVerdict::Advanced) {
        ++m_charPos;
        m_txtType->setText(m_txtType->text() + key);
        ShowStatus();
        return;
    }
    m_txtType->clear();
    m_charPos = 1;
    NextPrompt();
    DrawField();
    m_level = raisedLevel(m_level);
    // Completed while idle: the game starts here, counting from now.
    if (!m_tmrUp.isActive())
        StartTimer();
    ShowStatus();
}

void frmZuvel::mnuRoma_Click()
{
    // A switch during a pause goes on as during a game: the field climbs again.
    if (m_paused)
        Resume();
    // The menu item has already turned its check mark over.
    m_shared.RomajiMode = m_mnuRoma->isChecked();
    if (!m_shared.RomajiMode)
        m_lblKana->clear();
    NextPrompt();
    m_charPos = 1;
    DrawField();
    ShowStatus();
    ReloadProgress();
}

void frmZuvel::mnuNameOpt_Click()
{
    m_shared.AskNameAtStart = m_mnuNameOpt->isChecked();
}

void frmZuvel::mnuFlexible_Click()
{
    m_options.flexibleRomaji = m_mnuFlexible->isChecked();
}

void frmZuvel::mnuPause_Click()
{
    if (m_paused)
        Resume();
    else if (m_tmrUp.isActive())
        Pause();
}

// The timer stops and the prompt hides; the field stays where it stands.
void frmZuvel::Pause()
{
    m_paused = true;
    m_tmrUp.stop();
    m_stats.pause(m_clock.elapsed());
    m_lblKana->clear();
    DrawOnField(PausedText, PausedPoints);
    ShowStatus();
}

// The prompt comes back with its typed part green, and the timer runs on.
void frmZuvel::Resume()
{
    m_paused = false;
    m_stats.resume(m_clock.elapsed());
    m_lblKana->setText(m_kanaText);
    DrawPrompt();
    if (m_charPos > 1)
        DrawGreen(m_charPos - 1);
    m_tmrUp.start();
    ShowStatus();
}

void frmZuvel::mnuStatusBar_Click()
{
    m_options.statusBar = m_mnuStatusBar->isChecked();
    ApplyStatusBar();
}

void frmZuvel::mnuPauseInactive_Click()
{
    m_options.pauseWhenInactive = m_mnuPauseInactive->isChecked();
}

// The bar sits below the client area, which keeps its size: the window grows.
// Off, no bar is ever made, so the window is as it always was.
void frmZuvel::ApplyStatusBar()
{
    if (m_options.statusBar && !m_lblStatus) {
        statusBar()->setSizeGripEnabled(false);
        m_lblStatus = new QLabel(statusBar());
        m_lblStatus->setObjectName(QStringLiteral("lblStatus"));
        statusBar()->addWidget(m_lblStatus, 1);
    }
    if (m_lblStatus)
        statusBar()->setVisible(m_options.statusBar);
    ShowStatus();
}

QString frmZuvel::statusText() const
{
    return m_stats.statusText(m_level, m_clock.elapsed());
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
        && m_options.pauseWhenInactive && m_tmrUp.isActive())
        Pause();
    QMainWindow::changeEvent(event);
}

// Other spellings count for kana prompts only, with the option on.
bool frmZuvel::judgesSpellings() const
{
    return m_options.flexibleRomaji && m_shared.RomajiMode;
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
    const QString path = dataPath(ResultFile::fileName(m_shared.RomajiMode));
    if (!TextFile::exists(path))
        return;
    m_shared.Results.clear();
    QFile file;
    if (TextFile::openForReading(path, file, nullptr)) {
        RankingBuilder builder;
        builder.addAll(file);
        m_shared.Results = builder.result();
    }
    if (!m_frmBest)
        m_frmBest = new frmBest(m_shared, m_desktop, this);
    m_frmBest->showModal();
    m_txtType->setFocus();
}

void frmZuvel::mnuProgress_Click()
{
    if (!m_frmProgress) {
        QString error;
        // Saved first: a library broken inside, past what the check can see,
        // may still end the process as it loads.
        m_frmProgress = ProgressWindow::create(m_folders.program, this, &error,
                                               [this] { SaveSettings(); });
        if (!m_frmProgress) {
            m_desktop.critical(this, QStringLiteral("成績の推移を表示できません。\n%1").arg(error));
            return;
        }
    }
    m_frmProgress->open(dataPath(ResultFile::fileName(m_shared.RomajiMode)), m_playerName,
                        isPlaying());
}

// An open chart follows the results; it never takes the game's keys.
void frmZuvel::ReloadProgress()
{
    if (m_frmProgress && m_frmProgress->isVisible())
        m_frmProgress->reload(dataPath(ResultFile::fileName(m_shared.RomajiMode)));
}

void frmZuvel::mnuMokuji_Click()
{
    m_desktop.showHelp(filePath(QStringLiteral("Kolrin.hlp")));
}

void frmZuvel::mnuNet_Click()
{
    if (!m_frmWeb)
        m_frmWeb = new frmWeb(m_desktop, this);
    m_frmWeb->showModal();
    m_txtType->setFocus();
}

void frmZuvel::mnuVer_Click()
{
    if (!m_frmAbout)
        m_frmAbout = new frmAbout(m_desktop, this);
    m_frmAbout->showModal();
    m_txtType->setFocus();
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
    m_tmrUp.stop();
    SaveSettings();
    emit unloaded();
}
