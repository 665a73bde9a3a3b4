#pragma once
#include <QIcon>
#include <QPixmap>

// The game's icon, drawn in code: a green field rising under a black "K".
namespace AppIcon {
QPixmap pixmap(int size);
QIcon icon();
}
