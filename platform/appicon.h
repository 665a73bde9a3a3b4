#pragma once
#include <QIcon>
#include <QImage>
#include <QPixmap>

// The game's icon: a green field rising under a black "K".
namespace AppIcon {
// Drawn in code; the build writes it out once (see kolrin_writeicons), so a
// start of the game neither paints it nor loads a font or image plugin for it.
QImage draw(int size);
// The built-in square nearest the size asked for (16 to 64 pixels).
QPixmap pixmap(int size);
QIcon icon();
}
