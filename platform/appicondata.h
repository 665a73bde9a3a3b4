#pragma once
#include <QtGlobal>

// The program's icon as premultiplied ARGB pixels, one square per size,
// written at build time by kolrin_writeicons from AppIcon::draw.
struct AppIconPixels
{
    int size;
    const quint32 *pixels;
};
extern const AppIconPixels AppIconSizes[];
extern const int AppIconSizeCount;
