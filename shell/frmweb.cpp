#include "shell/frmweb.h"

#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "shell/links.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

frmWeb::frmWeb(Desktop &desktop, QWidget *parent) : QDialog(parent), m_desktop(desktop)
{
    Dialogs::setUpFixedDialog(this, 403, 251, QStringLiteral("Ruzo関連のURLにアクセスする"));

    m_lblWeb = new QLabel(this);
    m_lblWeb->setObjectName(QStringLiteral("lblWeb"));
    m_lblWeb->setGeometry(32, 16, 345, 73);
    m_lblWeb->setWordWrap(true);
    m_lblWeb->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    const char16_t *captions[3] = {u"作者の作品一覧にアクセスするページ", u"Ruzoのホームページ",
                                   u"Ruzoのサポート会議室"};
    for (int i = 0; i < 3; ++i) {
        m_cmdBrowse[i] = new QPushButton(QString::fromUtf16(captions[i]), this);
        m_cmdBrowse[i]->setObjectName(QStringLiteral("cmdBrowse%1").arg(i));
        m_cmdBrowse[i]->setGeometry(32, 104 + 36 * i, 337, 25);
        connect(m_cmdBrowse[i], &QPushButton::clicked, this, [this, i] { cmdBrowse_Click(i); });
    }
    m_cmdBrowse[0]->setDefault(true);

    m_cmdCancel = new QPushButton(QStringLiteral("キャンセル"), this);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cmdCancel->setGeometry(280, 216, 89, 25);
    connect(m_cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    // The focus starts on the home page and moves 1, 2, 0, then Cancel.
    setTabOrder(m_cmdBrowse[1], m_cmdBrowse[2]);
    setTabOrder(m_cmdBrowse[2], m_cmdBrowse[0]);
    setTabOrder(m_cmdBrowse[0], m_cmdCancel);
}

void frmWeb::showModal()
{
    Form_Load();
    Dialogs::centreOnScreen(this);
    m_cmdBrowse[1]->setFocus();
    exec();
}

void frmWeb::Form_Load()
{
    m_webText = QStringLiteral("　この画面ではインターネットエクスプローラーなどのWebブラウザを使って、")
        + QStringLiteral("所定のURLにアクセスできます。") + QStringLiteral("\r\n\r\n")
        + QStringLiteral("　例えば、「Ruzoのホームページ」をクリックすると、") + Links::webButtonAddress(1)
        + QStringLiteral("にアクセスします。");
    m_lblWeb->setText(Dialogs::forLabel(m_webText));
}

void frmWeb::cmdBrowse_Click(int index)
{
    OpenAddress(Links::webButtonAddress(index));
}

void frmWeb::OpenAddress(const QString &address)
{
    m_desktop.openAddress(address);
}

void frmWeb::keyPressEvent(QKeyEvent *event)
{
    // キャンセル is no cancel button: Escape leaves the window open.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
