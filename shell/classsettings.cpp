#include "shell/classsettings.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

namespace {
const QString Group = QStringLiteral("ClassServer");

// QSettings reads only named files.
QString scratchFile(const QTemporaryDir &dir, const QByteArray &bytes)
{
    const QString path = dir.filePath(QStringLiteral("Kolrin.ini"));
    QFile file(path);
    if (!dir.isValid() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return path;
}
}

ClassSettings ClassSettings::fromIni(const QByteArray &bytes)
{
    ClassSettings settings;
    // Most players' files have options only: a start spares itself the
    // scratch copy and the second parse then.
    if (!bytes.contains("[" + Group.toLatin1() + "]"))
        return settings;
    QTemporaryDir dir;
    const QString path = scratchFile(dir, bytes);
    if (path.isEmpty())
        return settings;
    QSettings ini(path, QSettings::IniFormat);
    ini.beginGroup(Group);
    settings.service = ini.value(QStringLiteral("Service")).toString().trimmed();
    settings.host = ini.value(QStringLiteral("Host")).toString().trimmed();
    const int port = ini.value(QStringLiteral("Port")).toInt();
    settings.port = port > 0 && port < 65536 ? port : 0;
    settings.database = ini.value(QStringLiteral("Database")).toString().trimmed();
    settings.user = ini.value(QStringLiteral("User")).toString().trimmed();
    settings.className = ini.value(QStringLiteral("Class")).toString().trimmed().left(MaxClassLength);
    return settings;
}

QByteArray ClassSettings::toIni(const QByteArray &previous) const
{
    QTemporaryDir dir;
    const QString path = scratchFile(dir, previous);
    if (path.isEmpty())
        return {};
    {
        QSettings ini(path, QSettings::IniFormat);
        ini.beginGroup(Group);
        ini.setValue(QStringLiteral("Service"), service);
        ini.setValue(QStringLiteral("Host"), host);
        ini.setValue(QStringLiteral("Port"), port);
        ini.setValue(QStringLiteral("Database"), database);
        ini.setValue(QStringLiteral("User"), user);
        ini.setValue(QStringLiteral("Class"), className);
        ini.endGroup();
        ini.sync();
        if (ini.status() != QSettings::NoError)
            return previous.isEmpty() ? QByteArray() : toIni(QByteArray());
    }
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
