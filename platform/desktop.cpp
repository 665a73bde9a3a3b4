#include "platform/desktop.h"

#include "shell/helpwindow.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QUrl>

QString applicationTitle()
{
    return QStringLiteral("Kolrin");
}

namespace {
void messageBox(QWidget *parent, QMessageBox::Icon icon, const QString &text, const QString &title)
{
    QMessageBox box(icon, title.isEmpty() ? applicationTitle() : title, text, QMessageBox::Ok,
                    parent);
    box.exec();
}
}

QtDesktop::~QtDesktop()
{
    delete m_help;
}

void QtDesktop::critical(QWidget *parent, const QString &text, const QString &title)
{
    messageBox(parent, QMessageBox::Critical, text, title);
}

void QtDesktop::information(QWidget *parent, const QString &text, const QString &title)
{
    messageBox(parent, QMessageBox::Information, text, title);
}

QString QtDesktop::inputBox(QWidget *parent, const QString &prompt, const QString &title,
                            const QString &defaultText)
{
    QInputDialog dialog(parent);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.textValue();
}

void QtDesktop::setClipboardText(const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
}

void QtDesktop::openAddress(const QString &address)
{
    QDesktopServices::openUrl(QUrl(address));
}

void QtDesktop::showHelp(const QString &path)
{
    if (!m_help)
        m_help = new HelpWindow;
    m_help->open(path);
}
