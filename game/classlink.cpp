#include "game/classlink.h"

#include "game/gamehistory.h"
#include "game/gamesession.h"
#include "platform/desktop.h"
#include "platform/folders.h"
#include "platform/textfile.h"
#include "records/classreader.h"
#include "records/classsender.h"
#include "records/frmclassbest.h"
#include "records/zuvelm.h"
#include "shell/classserverdialog.h"

#include <QAction>
#include <QApplication>
#include <QDir>

namespace {
constexpr qint64 MaxIniBytes = 16 << 20;
}

ClassLink::ClassLink(QWidget *window, Desktop &desktop, const Folders &folders,
                     const ZuvelM &shared, GameSession &session, GameHistory &history)
    : m_window(window), m_desktop(desktop), m_folders(folders), m_shared(shared),
      m_session(session), m_history(history)
{
    // Queued, so that a box waits for the game-over dialog and the replay.
    connect(&session, &GameSession::promptChanged, this, &ClassLink::tellProblems,
            Qt::QueuedConnection);
}

ClassLink::~ClassLink() = default;

QString ClassLink::iniPath() const
{
    return m_folders.data + QStringLiteral("Kolrin.ini");
}

void ClassLink::start()
{
    if (!TextFile::exists(iniPath()))
        return;
    const TextFile::ReadResult ini = TextFile::readAll(iniPath(), MaxIniBytes);
    if (ini.ok())
        apply(ClassSettings::fromIni(ini.bytes));
}

void ClassLink::setActions(QAction *settingsAction, QAction *rankingAction)
{
    connect(settingsAction, &QAction::triggered, this, &ClassLink::openSettings);
    connect(rankingAction, &QAction::triggered, this, &ClassLink::openRanking);
    m_rankingAction = rankingAction;
    m_rankingAction->setVisible(m_settings.isSet());
}

// Games are sent only where the game keeps its database.
void ClassLink::apply(const ClassSettings &settings)
{
    m_settings = settings;
    if (m_rankingAction)
        m_rankingAction->setVisible(settings.isSet());
    if (!m_sender && (!settings.isSet() || !m_history.store()))
        return;
    if (!m_sender) {
        m_sender = std::make_unique<ClassSender>(*m_history.store());
        connect(&m_history, &GameHistory::stored, m_sender.get(), &ClassSender::sendWaiting);
        connect(m_sender.get(), &ClassSender::loginRefused, this, [this](const QString &reason) {
            m_untold << QStringLiteral("クラスのサーバーに入れません。ユーザー名とパスワード"
                                       " (~/.pgpass) を確かめてください。\n%1").arg(reason);
            tellProblems();
        });
    }
    m_sender->setSettings(settings);
}

void ClassLink::openSettings()
{
    ClassServerDialog dialog(m_settings, m_window);
    ClassReader reader;
    connect(&dialog, &ClassServerDialog::checkRequested, &reader, &ClassReader::check);
    connect(&reader, &ClassReader::checked, &dialog, &ClassServerDialog::showCheckResult);
    if (dialog.exec() != QDialog::Accepted || dialog.settings() == m_settings)
        return;
    const ClassSettings settings = dialog.settings();
    if (m_folders.canSave) {
        const bool exists = TextFile::exists(iniPath());
        const TextFile::ReadResult old =
            exists ? TextFile::readAll(iniPath(), MaxIniBytes) : TextFile::ReadResult{};
        const QByteArray bytes = old.ok() ? settings.toIni(old.bytes) : QByteArray();
        const QString error = bytes.isEmpty() ? (old.ok() ? QStringLiteral("一時フォルダーに設定を書けません。")
                                                          : old.error)
                                              : TextFile::replace(iniPath(), bytes);
        if (!error.isEmpty()) {
            m_desktop.critical(m_window, QStringLiteral("設定を保存できませんでした。\n%1\n%2")
                                             .arg(QDir::toNativeSeparators(iniPath()), error));
        }
    }
    apply(settings);
}

void ClassLink::openRanking()
{
    if (!m_settings.isSet())
        return;
    frmClassBest window(m_settings, GameDatabase::modeName(m_shared.RomajiMode, m_shared.KanaInput), m_window);
    window.showModal();
}

void ClassLink::tellProblems()
{
    // The field must not climb under a box, nor a box open over another.
    if (m_session.isRunning() || QApplication::activeModalWidget())
        return;
    while (!m_untold.isEmpty())
        m_desktop.critical(m_window, m_untold.takeFirst());
}
