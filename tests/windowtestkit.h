#pragma once
// Shared pieces of the window tests: a desktop whose boxes answer at once and
// remember what they were asked, a throw-away program folder, and a way to
// answer a modal window from inside its own event loop.
#include "game/frmzuvel.h"
#include "game/zuvelm.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "records/frmbest.h"
#include "records/frmreplay.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QListWidget>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

class FakeDesktop : public Desktop
{
public:
    struct Box
    {
        QString kind, text, title;
    };
    QList<Box> boxes;
    QStringList inputAnswers; // taken in turn; none left means Cancel
    struct Input
    {
        QString prompt, title, defaultText;
    };
    QList<Input> inputs;
    QStringList clipboard;
    QStringList opened;
    QStringList helpShown;
    std::function<void()> onBox; // runs while a box is "open"

    void critical(QWidget *, const QString &text, const QString &title) override
    {
        boxes.append({QStringLiteral("critical"), text, title.isEmpty() ? applicationTitle() : title});
        if (onBox)
            onBox();
    }
    void information(QWidget *, const QString &text, const QString &title) override
    {
        boxes.append({QStringLiteral("information"), text, title.isEmpty() ? applicationTitle() : title});
        if (onBox)
            onBox();
    }
    QString inputBox(QWidget *, const QString &prompt, const QString &title,
                     const QString &defaultText) override
    {
        inputs.append({prompt, title, defaultText});
        return inputAnswers.isEmpty() ? QString() : inputAnswers.takeFirst();
    }
    void setClipboardText(const QString &text) override { clipboard.append(text); }
    void openAddress(const QString &address) override { opened.append(address); }
    void showHelp(const QString &path) override { helpShown.append(path); }
};

// A program folder holding copies of the shipped data files.
class ProgramFolder
{
public:
    explicit ProgramFolder(bool withHelp = true, bool withTable = true)
    {
        if (withHelp)
            QFile::copy(QStringLiteral(KOLRIN_DATA_DIR "/Kolrin.hlp"), file("Kolrin.hlp"));
        if (withTable)
            QFile::copy(QStringLiteral(KOLRIN_DATA_DIR "/Romaji.tbl"), file("Romaji.tbl"));
    }
    QString path() const { return m_dir.path() + u'/'; }
    QString file(const char *name) const { return path() + QString::fromUtf8(name); }
    void write(const char *name, const QByteArray &bytes) const
    {
        QFile f(file(name));
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(bytes);
    }
    QByteArray read(const char *name) const
    {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    bool has(const char *name) const { return QFile::exists(file(name)); }

private:
    QTemporaryDir m_dir;
};

// Runs `answer` on the next modal window once it is showing. Each call answers
// one window; the check runs inside that window's own event loop.
inline void whenModal(std::function<void(QWidget *)> answer)
{
    auto *poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, answer] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        answer(modal);
    });
    poll->start();
}

// Translations, style and fonts, as the program sets them up.
inline void useDesignFont()
{
    Dialogs::setUpApplication(*qApp);
}

// The main window over a program folder, started as the program starts it.
// `answers` are given to the name questions in turn.
struct Session
{
    ZuvelM shared;
    FakeDesktop desktop;
    std::unique_ptr<frmZuvel> window;
    bool loaded = false;

    explicit Session(const ProgramFolder &folder, const QStringList &answers = {})
    {
        desktop.inputAnswers = answers;
        window = std::make_unique<frmZuvel>(shared, desktop, folder.path());
        loaded = window->Form_Load();
    }
    explicit Session(const Folders &folders, const QStringList &answers = {})
    {
        desktop.inputAnswers = answers;
        window = std::make_unique<frmZuvel>(shared, desktop, folders);
        loaded = window->Form_Load();
    }
    // A game played without keys until the field reaches the top; the
    // game-over dialog is answered End.
    void playToTheEnd()
    {
        window->mnuStart_Click();
        whenModal([](QWidget *modal) { qobject_cast<frmReplay *>(modal)->cmdEnd()->click(); });
        for (int i = 0; i < 1000 && window->isPlaying(); ++i)
            window->tmrUp_Timer();
    }
    // The ranking's lines as the window lists them, then closed.
    QStringList ranking()
    {
        QStringList lines;
        whenModal([&lines](QWidget *modal) {
            auto *best = qobject_cast<frmBest *>(modal);
            for (int i = 0; i < best->lstBest()->count(); ++i)
                lines << best->lstBest()->item(i)->text();
            best->close();
        });
        window->mnuBest_Click();
        return lines;
    }
};
