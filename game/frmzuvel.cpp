#include "game/frmzuvel.h"

#include "game/fieldmotion.h"
#include "game/fieldview.h"
#include "game/prompt.h"
#include "game/typingjudge.h"
#include "game/zuvelm.h"
#include "platform/cp932.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/instancelock.h"
#include "platform/textfile.h"
#include "records/frmbest.h"
#include "records/frmprogress.h"
#include "records/frmreplay.h"
#include "records/resultrecord.h"
#include "shell/frmabout.h"
#include "shell/frmweb.h"
#include "shell/settings.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <chrono>

namespace {
const QColor TypedGreen(0, 128, 0);
constexpr int FieldPoints = 120;
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

    QMenu *option = menuBar()->addMenu(QStringLiteral("ｵﾌﾟｼｮﾝ(&O)"));
    m_mnuRoma = option->addAction(QStringLiteral("ローマ字"));
    m_mnuRoma->setCheckable(true);
    connect(m_mnuRoma, &QAction::triggered, this, &frmZuvel::mnuRoma_Click);
    m_mnuNameOpt = option->addAction(QStringLiteral("起動時の名前問い合わせ"));
    m_mnuNameOpt->setCheckable(true);
    m_mnuNameOpt->setChecked(true);
    connect(m_mnuNameOpt, &QAction::triggered, this, &frmZuvel::mnuNameOpt_Click);

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
    const QString path = dataPath(QStringLiteral("Kolrin.cfg"));
    const QString error = TextFile::replace(path, settings.toFile());
    if (!error.isEmpty()) {
        m_desktop.critical(this, QStringLiteral("設定を保存できませんでした。\n%1\n%2")
                                     .arg(QDir::toNativeSeparators(path), error));
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
    m_lblKana->setText(prompt.kana);
}

void frmZuvel::DrawField()
{
    m_picPrint->setTextColor(Qt::black);
    m_fieldTop = FieldMotion::RestTop;
    m_picPrint->move(FieldLeft, int(m_fieldTop));
    m_picPrint->clear();
    m_picPrint->setFontPoints(FieldPoints);
    m_picPrint->setTextPosition(TextOriginTwips, TextOriginTwips);
    m_picPrint->fitText(m_currentRomaji);
    m_picPrint->print(m_currentRomaji);
}

void frmZuvel::DrawTyped()
{
    m_picPrint->setTextPosition(TextOriginTwips, TextOriginTwips);
    m_picPrint->setTextColor(TypedGreen);
    m_picPrint->print(m_currentRomaji.left(m_charPos));
}

void frmZuvel::ResetGame()
{
    m_level = 1;
    m_charPos = 1;
    m_txtType->clear();
    DrawField();
}

void frmZuvel::mnuStart_Click()
{
    // Starting a running timer again would shift its beat.
    if (!m_tmrUp.isActive())
        m_tmrUp.start();
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
    if (!FieldMotion::reachedTop(m_fieldTop))
        return;

    const QString saveError = SaveResult();
    m_tmrUp.stop();
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
        m_tmrUp.start();
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

    const Judgement judgement = judgeKey(event->text(), m_currentRomaji, m_charPos);
    if (judgement.verdict == KeyVerdict::Rejected)
        return;
    DrawTyped();
    if (judgement.verdict == KeyVerdict::Advanced) {
        ++m_charPos;
        m_txtType->setText(m_txtType->text() + judgement.key);
        return;
    }
    m_txtType->clear();
    m_charPos = 1;
    NextPrompt();
    DrawField();
    m_level = raisedLevel(m_level);
    if (!m_tmrUp.isActive())
        m_tmrUp.start();
}

void frmZuvel::mnuRoma_Click()
{
    // The menu item has already turned its check mark over.
    m_shared.RomajiMode = m_mnuRoma->isChecked();
    if (!m_shared.RomajiMode)
        m_lblKana->clear();
    NextPrompt();
    m_charPos = 1;
    DrawField();
    ReloadProgress();
}

void frmZuvel::mnuNameOpt_Click()
{
    m_shared.AskNameAtStart = m_mnuNameOpt->isChecked();
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
    if (!m_frmProgress)
        m_frmProgress = new frmProgress(this);
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
