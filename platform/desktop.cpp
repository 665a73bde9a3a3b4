#include "platform/desktop.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QUrl>

#include <cstdio>

QString applicationTitle()
{
    return QStringLiteral("Kolrin");
}

QtDesktop::QtDesktop(HelpOpener openHelp) : m_openHelp(std::move(openHelp)) {}

std::unique_ptr<QMessageBox> QtDesktop::messageBox(QWidget *parent, QMessageBox::Icon icon,
                                                   const QString &text, const QString &title)
{
    auto box = std::make_unique<QMessageBox>(icon, title.isEmpty() ? applicationTitle() : title,
                                             text, QMessageBox::Ok, parent);
    // The box makes its label exactly as wide as the text advances, and the
    // ink of a last letter such as "ん" reaches a pixel further.
    if (auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label")))
        label->setContentsMargins(0, 0, 2, 0);
    return box;
}

std::unique_ptr<QInputDialog> QtDesktop::inputDialog(QWidget *parent, const QString &prompt,
                                                     const QString &title,
                                                     const QString &defaultText)
{
    auto dialog = std::make_unique<QInputDialog>(parent);
    dialog->setInputMode(QInputDialog::TextInput);
    dialog->setWindowTitle(title);
    dialog->setLabelText(prompt);
    dialog->setTextValue(defaultText);
    return dialog;
}

// Written where a session's log keeps it, when no box can be answered.
bool QtDesktop::told(const QString &text) const
{
    if (m_unattended)
        std::fputs(qPrintable(applicationTitle() + QStringLiteral(": ") + text + u'\n'), stderr);
    return m_unattended;
}

void QtDesktop::critical(QWidget *parent, const QString &text, const QString &title)
{
    if (!told(text))
        messageBox(parent, QMessageBox::Critical, text, title)->exec();
}

void QtDesktop::information(QWidget *parent, const QString &text, const QString &title)
{
    if (!told(text))
        messageBox(parent, QMessageBox::Information, text, title)->exec();
}

QString QtDesktop::inputBox(QWidget *parent, const QString &prompt, const QString &title,
                            const QString &defaultText)
{
    if (m_unattended)
        return {};
    const auto dialog = inputDialog(parent, prompt, title, defaultText);
    if (dialog->exec() != QDialog::Accepted)
        return {};
    return dialog->textValue();
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
    if (m_openHelp)
        m_openHelp(path);
}
