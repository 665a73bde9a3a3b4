// Build helper: writes the game's icon as PNG files for the desktop's icon
// theme, one per size, named <size>.png in the given folder.
#include "platform/appicon.h"

#include <QDir>
#include <QGuiApplication>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2)
        return 2;
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral(".")))
        return 1;
    for (int size : {16, 32, 48, 64, 128, 256}) {
        if (!AppIcon::pixmap(size).save(dir.filePath(QStringLiteral("%1.png").arg(size))))
            return 1;
    }
    return 0;
}
