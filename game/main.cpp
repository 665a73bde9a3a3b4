#include "game/frmzuvel.h"
#include "game/zuvelm.h"
#include "platform/appicon.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/programdir.h"
#include "platform/terminationsignals.h"
#include "shell/helpwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(applicationTitle());
    QApplication::setWindowIcon(AppIcon::icon());
    Dialogs::setUpApplication(app);

    std::unique_ptr<HelpWindow> help; // made on first use: most games never open it
    QtDesktop desktop([&help](const QString &path) {
        if (!help)
            help = std::make_unique<HelpWindow>();
        help->open(path);
    });
    ZuvelM shared;
    frmZuvel window(shared, desktop, ProgramDir());
    // A stop during start-up ends the process at once, saving nothing.
    if (!window.Form_Load())
        return 1;
    QObject::connect(&window, &frmZuvel::unloaded, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    // From here on a termination request closes the window as its close box
    // does; during start-up it still ends the process at once, saving nothing.
    TerminationSignals terminations;
    QObject::connect(&terminations, &TerminationSignals::received, &window, &QWidget::close);
    window.adjustSize();
    Dialogs::centreOnScreen(&window);
    window.show();
    return app.exec();
}
