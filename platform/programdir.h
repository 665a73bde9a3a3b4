#pragma once
#include <QString>

// The folder that holds the executable, ending in exactly one "/" (the root
// stays "/"). Every file of the game is this folder plus a bare file name.
QString ProgramDir();

// The rule alone, for a folder path as the system reports it.
inline QString withTrailingSlash(const QString &dir)
{
    return dir.endsWith(u'/') ? dir : dir + u'/';
}
