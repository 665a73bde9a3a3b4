#include "platform/programdir.h"

#include <QCoreApplication>

QString ProgramDir()
{
    return withTrailingSlash(QCoreApplication::applicationDirPath());
}
