#include "platform/programdir.h"

#include <QCoreApplication>

QString withTrailingSlash(const QString &dir)
{
    if (dir.endsWith(u'/'))
        return dir;
    return dir + u'/';
}

QString ProgramDir()
{
    return withTrailingSlash(QCoreApplication::applicationDirPath());
}
