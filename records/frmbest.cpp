#include "records/frmbest.h"

#include "game/zuvelm.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "records/ranking.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

frmBest::frmBest(ZuvelM &shared, Desktop &desktop, QWidget *parent)
    : QDialog(parent), m_shared(shared), m_desktop(desktop)
{
    Dialogs::setUpFixedDialog(this, 314, 229, QStringLiteral("成績順表示"));

    m_lstBest = new QListWidget(this);
    m_lstBest->setGeometry(8, 16, 297, 184);
    m_lstBest->setSortingEnabled(false);

    // Exit is the cancel button: Escape closes the window.
    m_cmdGo = new QPushButton(QStringLiteral("Exit"), this);
    m_cmdGo->setGeometry(248, 208, 49, 17);
    m_cmdGo->setAutoDefault(false);
    connect(m_cmdGo, &QPushButton::clicked, this, &QDialog::reject);

    // Lies right of the client area: collects the clipboard text unseen.
    m_txtBest = new QPlainTextEdit(this);
    m_txtBest->setGeometry(320, 40, 89, 33);
    m_txtBest->setFocusPolicy(Qt::NoFocus);

    setTabOrder(m_lstBest, m_cmdGo);
}

void frmBest::showModal()
{
    Form_Load();
    Dialogs::centreOnScreen(this);
    m_lstBest->setFocus();
    exec();
}

void frmBest::Form_Load()
{
    m_lstBest->clear();
    m_lstBest->addItems(rankingListLines(m_shared.Results, m_shared.RomajiMode));
    const QString text = rankingClipboardText(m_shared.Results, m_shared.RomajiMode);
    m_txtBest->setPlainText(text);
    m_desktop.setClipboardText(text);
}
