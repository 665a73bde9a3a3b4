#pragma once
#include <QString>

// The addresses the game shows and opens, kept in one place. The project has
// no public site yet, so they sit under the reserved example.jp domain.
namespace Links {

QString homePage();
// The web-links window's buttons, by their index 0 to 2.
QString webButtonAddress(int index);

}
