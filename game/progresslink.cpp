#include "game/progresslink.h"

#include "game/gamehistory.h"
#include "platform/desktop.h"
#include "platform/folders.h"
#include "records/resultrecord.h"
#include "records/zuvelm.h"

ProgressLink::ProgressLink(QWidget *window, Desktop &desktop, const Folders &folders,
                           const ZuvelM &shared, const GameHistory &history,
                           std::function<void()> beforeLoading)
    : m_window(window), m_desktop(desktop), m_folders(folders), m_shared(shared),
      m_history(history), m_beforeLoading(std::move(beforeLoading))
{
    connect(&history, &GameHistory::stored, this, &ProgressLink::reload);
}

ProgressWindow::Source ProgressLink::source() const
{
    return {m_folders.data + ResultFile::fileName(m_shared.RomajiMode, m_shared.KanaInput),
            m_history.path(), m_shared.RomajiMode, m_shared.RomajiMode && m_shared.KanaInput};
}

void ProgressLink::open(const QString &playerName, bool gameRunning)
{
    if (!m_chart) {
        QString error;
        m_chart = ProgressWindow::create(m_folders.program, m_window, &error, m_beforeLoading);
        if (!m_chart) {
            m_desktop.critical(m_window, QStringLiteral("成績の推移を表示できません。\n%1").arg(error));
            return;
        }
    }
    m_chart->open(source(), playerName, gameRunning);
}

void ProgressLink::reload()
{
    if (m_chart && m_chart->isVisible())
        m_chart->reload(source());
}
