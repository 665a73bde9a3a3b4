#include "records/progresswindow.h"

#include "platform/pluginlibrary.h"

#include <QDir>

namespace {
ProgressWindow::Factory linkedFactory = nullptr;
}

void ProgressWindow::useFactory(Factory factory)
{
    linkedFactory = factory;
}

ProgressWindow *ProgressWindow::create(const QString &programDir, QWidget *parent, QString *error,
                                       const std::function<void()> &beforeLoading)
{
    if (!linkedFactory) {
        const QString path = programDir + QStringLiteral("plugins/libkolrin_progress.so");
        QString reason;
        linkedFactory = reinterpret_cast<Factory>(loadPluginSymbol(
            path, "kolrinCreateProgressWindow",
            QStringLiteral("このゲームの成績の推移のライブラリではありません。"), beforeLoading, &reason));
        if (!linkedFactory) {
            if (error)
                *error = QDir::toNativeSeparators(path) + u'\n' + reason;
            return nullptr;
        }
    }
    return linkedFactory(parent);
}
