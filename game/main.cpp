#include "game/frmzuvel.h"
#include "records/zuvelm.h"
#include "platform/appicon.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/folders.h"
#include "platform/launch.h"
#include "platform/programdir.h"
#include "platform/soundplayer.h"
#include "platform/terminationsignals.h"
#include "shell/helpwindow.h"

#include <QApplication>
#include <QStandardPaths>

#include <cstdio>
#include <cstdlib>

namespace {
// The game from its start to its window's close; every window is gone, the
// settings saved and the lock released, when it returns.
int play(QApplication &app)
{
    std::unique_ptr<HelpWindow> help; // made on first use: most games never open it
    QtDesktop desktop([&help](const QString &path) {
        if (!help)
            help = std::make_unique<HelpWindow>();
        help->open(path);
    });
    ZuvelM shared;
    const Folders folders = Folders::find(
        ProgramDir(),
        withTrailingSlash(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)));
    frmZuvel window(shared, desktop, folders);
    // A stop during start-up ends the process at once, saving nothing.
    if (!window.Form_Load())
        return 1;
    QObject::connect(&window, &frmZuvel::unloaded, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    // From here on a termination request closes the window as its close box
    // does; during start-up it still ends the process at once, saving nothing.
    // Nobody is left to answer a box, and every modal loop open ends with the
    // main one, so no box or dialog, nor one that would follow it, holds the
    // process.
    TerminationSignals terminations;
    QObject::connect(&terminations, &TerminationSignals::received, &window, [&] {
        desktop.setUnattended();
        window.close();
        QCoreApplication::exit(0);
    });
    window.adjustSize();
    Dialogs::centreOnScreen(&window);
    window.show();
    return app.exec();
}
}

int main(int argc, char *argv[])
{
    // Before anything else: --help answers in a terminal with no display.
    if (const std::optional<int> status = answerBeforeWindows(argc, argv))
        return *status;
    PlatformGuard guard;
    QApplication app(argc, argv);
    guard.release();
    // Names the player's data folder (~/.local/share/kolrin) and the window
    // class; the title every box shows is applicationTitle().
    QApplication::setApplicationName(QStringLiteral("kolrin"));
    QGuiApplication::setDesktopFileName(QStringLiteral(KOLRIN_APP_ID));
    QApplication::setWindowIcon(AppIcon::icon());
    Dialogs::setUpApplication(app);

    const int status = play(app);
    // The sound thread still waits on a hung audio server: Qt's teardown
    // would wait with it, or free what it uses. Everything of the game's own
    // is saved and closed by now.
    if (SoundPlayer::anyLeftRunning()) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
