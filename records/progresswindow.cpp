#include "records/progresswindow.h"

#include <QCoreApplication>
#include <QLibrary>

namespace {
ProgressWindow::Factory linkedFactory = nullptr;
}

void ProgressWindow::useFactory(Factory factory)
{
    linkedFactory = factory;
}

ProgressWindow *ProgressWindow::create(QWidget *parent, QString *error)
{
    if (!linkedFactory) {
        // Loaded once and kept for the life of the program.
        static QLibrary library(QCoreApplication::applicationDirPath()
                                + QStringLiteral("/plugins/libkolrin_progress.so"));
        const auto factory =
            reinterpret_cast<Factory>(library.resolve("kolrinCreateProgressWindow"));
        if (!factory) {
            if (error)
                *error = library.errorString();
            return nullptr;
        }
        linkedFactory = factory;
    }
    return linkedFactory(parent);
}
