#include "shell/frmabout.h"

#include "platform/appicon.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "shell/links.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

frmAbout::frmAbout(Desktop &desktop, QWidget *parent) : QDialog(parent), m_desktop(desktop)
{
    Dialogs::setUpFixedDialog(this, 382, 237, QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));

    m_picIcon = new QLabel(this);
    m_picIcon->setObjectName(QStringLiteral("picIcon"));
    m_picIcon->setGeometry(16, 16, 36, 36);
    m_picIcon->setAlignment(Qt::AlignCenter);
    m_picIcon->setPixmap(AppIcon::pixmap(32));
    m_picIcon->installEventFilter(this);

    m_lblTitle = new QLabel(this);
    m_lblTitle->setObjectName(QStringLiteral("lblTitle"));
    m_lblTitle->setGeometry(72, 16, 259, 32);
    m_lblTitle->setFont(Dialogs::japaneseFont(12, true));
    m_lblVersion = new QLabel(this);
    m_lblVersion->setObjectName(QStringLiteral("lblVersion"));
    m_lblVersion->setGeometry(70, 52, 259, 15);
    m_lblDescription = new QLabel(this);
    m_lblDescription->setObjectName(QStringLiteral("lblDescription"));
    // Five lines in the Japanese face need more than the 62 pixels of the
    // design; the label reaches down to just above the rule.
    m_lblDescription->setGeometry(72, 75, 267, 86);
    m_lblDescription->setWordWrap(true);
    m_lblDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_lblDescription->installEventFilter(this);
    m_lblDisclaimer = new QLabel(this);
    m_lblDisclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
    m_lblDisclaimer->setGeometry(17, 175, 258, 55);
    m_lblDisclaimer->setWordWrap(true);
    m_lblDisclaimer->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // OK is both the default and the cancel button: Enter and Escape close.
    m_cmdOK = new QPushButton(QStringLiteral("OK"), this);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdOK->setGeometry(283, 175, 92, 23);
    m_cmdOK->setDefault(true);
    connect(m_cmdOK, &QPushButton::clicked, this, &QDialog::accept);
}

void frmAbout::showModal()
{
    Form_Load();
    Dialogs::centreOnScreen(this);
    m_cmdOK->setFocus();
    exec();
}

void frmAbout::copyAddress()
{
    m_desktop.setClipboardText(Links::homePage());
}

void frmAbout::Form_Load()
{
    setWindowTitle(QStringLiteral("Kolrin") + QStringLiteral("のﾊﾞｰｼﾞｮﾝ情報"));
    copyAddress();
    m_lblVersion->setText(QStringLiteral("ﾊﾞｰｼﾞｮﾝ 1.1  (2001/12/02)"));
    m_lblTitle->setText(QStringLiteral("Ｋｏｌｒｉｎ　(Typing Zuvel)"));
    m_description = QStringLiteral("このソフトは、タイプ練習ソフトRuzo関連のフリーウェアです。"
                                   "文字が上に到達するまでにタイピングして下さい。Ruzoの最新版は常に")
        + QStringLiteral("\r\n") + QStringLiteral("   ") + Links::homePage()
        + QStringLiteral("\r\n") + QStringLiteral("にて公開されています。");
    m_lblDescription->setText(Dialogs::forLabel(m_description));
    const QString disclaimer = QStringLiteral("Copyright (C) 2001 Kolrin の作者") + QStringLiteral("\r\n\r\n")
        + QStringLiteral("このソフトは GNU GPL バージョン3以降の条件で配布しています。");
    m_lblDisclaimer->setText(Dialogs::forLabel(disclaimer));
}

void frmAbout::done(int result)
{
    Form_Unload();
    QDialog::done(result);
}

void frmAbout::Form_Unload()
{
    m_desktop.information(this, QStringLiteral(
        "タイプ練習ソフトRuzoのホームページのURLをクリップボードにコピーしました。"));
}

bool frmAbout::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == m_lblDescription || watched == m_picIcon)
        && event->type() == QEvent::MouseButtonRelease) {
        copyAddress();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmAbout::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    // An etched rule: a grey line with a white one below it.
    QPainter p(this);
    p.fillRect(QRect(6, 163, 377 - 6 + 1, 1), QColor(128, 128, 128));
    p.fillRect(QRect(6, 164, 377 - 6 + 1, 2), Qt::white);
}
