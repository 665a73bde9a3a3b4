// Build helper: writes the game's icon as PNG files for the desktop's icon
// theme, <size>.png in the given folder, and as C++ pixel data for the
// program's own windows.
//   kolrin_writeicons ICON_DIR DATA_SOURCE
#include "platform/appicon.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral(".")))
        return 1;
    for (int size : {16, 32, 48, 64, 128, 256}) {
        if (!AppIcon::draw(size).save(dir.filePath(QStringLiteral("%1.png").arg(size))))
            return 1;
    }

    QFile source(QString::fromLocal8Bit(argv[2]));
    if (!source.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 1;
    QTextStream out(&source);
    out << "// Written by kolrin_writeicons; do not edit.\n#include \"platform/appicondata.h\"\n\n";
    // The sizes a window frame or task bar asks for.
    const int sizes[] = {16, 24, 32, 48, 64};
    for (int size : sizes) {
        const QImage image = AppIcon::draw(size);
        out << "static const quint32 icon" << size << "[] = {";
        for (int y = 0; y < size; ++y) {
            const auto *line = reinterpret_cast<const quint32 *>(image.constScanLine(y));
            for (int x = 0; x < size; ++x)
                out << (x % 8 ? " " : "\n    ") << "0x" << Qt::hex << line[x] << Qt::dec << "u,";
        }
        out << "\n};\n";
    }
    out << "\nconst AppIconPixels AppIconSizes[] = {";
    for (int size : sizes)
        out << "{" << size << ", icon" << size << "}, ";
    out << "};\nconst int AppIconSizeCount = " << std::size(sizes) << ";\n";
    out.flush();
    return source.error() == QFileDevice::NoError ? 0 : 1;
}
