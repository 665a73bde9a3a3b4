#pragma once
#include <QMessageBox>
#include <QString>
#include <functional>
#include <memory>

class QInputDialog;
class QWidget;

// What the windows ask of the desktop beyond their own widgets: modal boxes,
// the clipboard, the browser and the help viewer. Window tests answer these
// through a fake instead of real modal boxes.
class Desktop
{
public:
    virtual ~Desktop() = default;

    // Modal boxes with one OK button; an empty title means the application's.
    virtual void critical(QWidget *parent, const QString &text, const QString &title = {}) = 0;
    virtual void information(QWidget *parent, const QString &text, const QString &title = {}) = 0;
    // The field's text on OK, the empty text on Cancel, Escape or the close box.
    virtual QString inputBox(QWidget *parent, const QString &prompt, const QString &title,
                             const QString &defaultText) = 0;
    virtual void setClipboardText(const QString &text) = 0;
    // Opens an address in the user's browser; whether one opened is not told.
    virtual void openAddress(const QString &address) = 0;
    // Opens the help document at its contents without blocking the game.
    virtual void showHelp(const QString &path) = 0;
};

// The real desktop through Qt. The help viewer is a window, so the layer that
// owns windows hands it in; the platform layer never reaches up to one.
class QtDesktop : public Desktop
{
public:
    using HelpOpener = std::function<void(const QString &path)>;
    explicit QtDesktop(HelpOpener openHelp = {});
    void critical(QWidget *parent, const QString &text, const QString &title) override;
    void information(QWidget *parent, const QString &text, const QString &title) override;
    QString inputBox(QWidget *parent, const QString &prompt, const QString &title,
                     const QString &defaultText) override;
    void setClipboardText(const QString &text) override;
    void openAddress(const QString &address) override;
    void showHelp(const QString &path) override;

    // From now on nobody is there to answer (the session is ending): a box's
    // text goes to the standard error instead of waiting on the screen, and
    // an input box answers as its Cancel does.
    void setUnattended() { m_unattended = true; }

    // The boxes as they are built before they run, for checking their looks.
    static std::unique_ptr<QMessageBox> messageBox(QWidget *parent, QMessageBox::Icon icon,
                                                   const QString &text, const QString &title);
    static std::unique_ptr<QInputDialog> inputDialog(QWidget *parent, const QString &prompt,
                                                     const QString &title,
                                                     const QString &defaultText);

private:
    bool told(const QString &text) const;

    HelpOpener m_openHelp;
    bool m_unattended = false;
};

// The title of every message box that names none of its own.
QString applicationTitle();
