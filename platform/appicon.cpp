#include "platform/appicon.h"

#include "platform/appicondata.h"

namespace {
QImage builtIn(const AppIconPixels &square)
{
    // The pixels are constant data: QImage only wraps them.
    return QImage(reinterpret_cast<const uchar *>(square.pixels), square.size, square.size,
                  QImage::Format_ARGB32_Premultiplied);
}
}

QPixmap AppIcon::pixmap(int size)
{
    const AppIconPixels *best = &AppIconSizes[0];
    for (int i = 0; i < AppIconSizeCount; ++i) {
        if (AppIconSizes[i].size <= size)
            best = &AppIconSizes[i];
    }
    return QPixmap::fromImage(builtIn(*best));
}

QIcon AppIcon::icon()
{
    QIcon icon;
    for (int i = 0; i < AppIconSizeCount; ++i)
        icon.addPixmap(QPixmap::fromImage(builtIn(AppIconSizes[i])));
    return icon;
}
