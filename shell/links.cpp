#include "shell/links.h"

QString Links::homePage()
{
    return QStringLiteral("https://ruzo.example.jp/");
}

QString Links::webButtonAddress(int index)
{
    switch (index) {
    case 0:
        return QStringLiteral("https://soft.example.jp/author/works/");
    case 1:
        return homePage();
    case 2:
        return QStringLiteral("https://support.ruzo.example.jp/forum/");
    }
    return {};
}
