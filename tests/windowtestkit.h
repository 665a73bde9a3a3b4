#pragma once
// Shared pieces of the window tests: a desktop whose boxes answer at once and
// remember what they were asked, a throw-away program folder, and a way to
// answer a modal window from inside its own event loop.
#include "game/frmzuvel.h"
#include "records/zuvelm.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "records/frmbest.h"
#include "records/frmreplay.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFont>
#include <QListWidget>
#include <QPointer>
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

namespace ModalKit {
// How long a modal window may take to show, and to close once answered.
constexpr int PatienceMs = 5000;

inline QByteArray currentTest()
{
    return QByteArray(QTest::currentTestFunction()) + '(' + QTest::currentDataTag() + ')';
}

// The test function in which a modal window failed: its later rows fail at
// once instead of each waiting out the same broken window.
inline QByteArray &brokenFunction()
{
    static QByteArray name;
    return name;
}

inline bool inBrokenFunction()
{
    return !brokenFunction().isEmpty() && brokenFunction() == QTest::currentTestFunction();
}

// Answers set up and not yet given; a modal window that shows while there is
// none was not expected.
inline int &pendingAnswers()
{
    static int count = 0;
    return count;
}

inline void fail(const QByteArray &message)
{
    QTest::qFail(message.constData(), __FILE__, __LINE__);
}

// Innermost first; each nested exec() returns as soon as control unwinds to it.
inline void closeModals()
{
    for (int n = 0; n < 16; ++n) {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        modal->close();
        if (modal->isVisible())
            modal->hide(); // a window that refuses its close box
    }
}

// A failed test may go on to open a window no answer is waiting for; it must
// end at once rather than at the test runner's timeout.
inline void closeModalsUntilTestEnds()
{
    brokenFunction() = QTest::currentTestFunction();
    closeModals();
    auto *reaper = new QTimer;
    reaper->setInterval(20);
    QObject::connect(reaper, &QTimer::timeout, [reaper, test = currentTest()] {
        if (currentTest() == test) {
            closeModals();
            return;
        }
        reaper->stop();
        reaper->deleteLater();
    });
    reaper->start();
}

// Notices whether a window hid; it may show again later for another answer.
struct HideWatch : QObject
{
    bool hidden = false;
    bool eventFilter(QObject *, QEvent *event) override
    {
        hidden |= event->type() == QEvent::Hide;
        return false;
    }
};

inline void failIfStillOpenLater(QWidget *modal)
{
    auto *watch = new HideWatch;
    watch->setParent(modal);
    modal->installEventFilter(watch);
    QTimer::singleShot(PatienceMs, watch, [watch, test = currentTest()] {
        if (!watch->hidden && currentTest() == test) {
            fail(watch->parent()->metaObject()->className()
                 + QByteArray(" stayed open after its answer"));
            closeModalsUntilTestEnds();
        }
        watch->deleteLater();
    });
}

// Fails the test when a modal window shows that no answer waits for (the
// ranking on a missing file, say): without it the test would sit in that
// window's event loop until the test runner kills it.
struct UnexpectedModalGuard : QObject
{
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Show || !watched->isWidgetType())
            return false;
        auto *widget = static_cast<QWidget *>(watched);
        if (!widget->isWindow() || widget->windowModality() == Qt::NonModal || pendingAnswers() > 0)
            return false;
        const QPointer<QWidget> modal(widget);
        const auto check = [modal, test = currentTest()] {
            if (!modal || !modal->isVisible() || currentTest() != test || pendingAnswers() > 0)
                return;
            fail("a modal " + QByteArray(modal->metaObject()->className())
                 + " opened that no answer was waiting for");
            closeModalsUntilTestEnds();
        };
        if (inBrokenFunction())
            QTimer::singleShot(0, this, check);
        else
            QTimer::singleShot(PatienceMs, this, check);
        return false;
    }
};

inline void installUnexpectedModalGuard()
{
    static UnexpectedModalGuard guard;
    qApp->installEventFilter(&guard);
}
Q_COREAPP_STARTUP_FUNCTION(installUnexpectedModalGuard)
}

// Runs `answer` on the next modal window once it is showing. Each call answers
// one window; the check runs inside that window's own event loop. A failed
// check closes the modal windows, so the test ends with that check's message,
// and later rows of the same test function fail at once.
inline void whenModal(std::function<void(QWidget *)> answer)
{
    auto *poll = new QTimer;
    poll->setInterval(5);
    QElapsedTimer waited;
    waited.start();
    ++ModalKit::pendingAnswers();
    QObject::connect(poll, &QTimer::timeout, [poll, answer, waited, test = ModalKit::currentTest()] {
        QWidget *modal = QApplication::activeModalWidget();
        const bool showing = modal && modal->isVisible();
        const bool sameTest = ModalKit::currentTest() == test;
        const bool broken = sameTest && ModalKit::inBrokenFunction();
        if (!showing && sameTest && !broken && !waited.hasExpired(ModalKit::PatienceMs))
            return;
        poll->stop();
        poll->deleteLater();
        --ModalKit::pendingAnswers();
        if (broken) {
            ModalKit::fail("not run: a modal window of an earlier row of this test failed");
            ModalKit::closeModalsUntilTestEnds();
            return;
        }
        if (!sameTest || !showing) {
            ModalKit::fail("no modal window showed for the answer set up in " + test);
            return;
        }
        const QPointer<QWidget> answered(modal);
        answer(modal);
        if (QTest::currentTestFailed())
            ModalKit::closeModalsUntilTestEnds();
        else if (answered && answered->isVisible())
            ModalKit::failIfStillOpenLater(answered);
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
    // Waits for the game database to answer what it was asked, and for the box
    // it may have for the player.
    void settle()
    {
        for (int n = 0; n < 1000 && window->history().isBusy(); ++n)
            QTest::qWait(5);
        QTest::qWait(20);
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
