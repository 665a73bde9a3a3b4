#pragma once
#include <QByteArray>
#include <QString>

// Where the class server is, in Kolrin.ini's group [ClassServer]:
//   [ClassServer]
//   Service=name of a pg_service.conf entry (or empty)
//   Host=name, address or socket folder (or empty)
//   Port=5432 (0: libpq's default)
//   Database=kolrin
//   User=role name
//   Class=the class's name in the ranking
// There is no password: libpq reads it from ~/.pgpass, the service file or
// PGPASSWORD, as it does for every PostgreSQL program. The group is written
// only once a server was set; without Host or Service nothing connects.
struct ClassSettings
{
    static constexpr int MaxClassLength = 64;

    QString service;
    QString host;
    int port = 0;
    QString database;
    QString user;
    QString className;

    bool isSet() const { return (!service.isEmpty() || !host.isEmpty()) && !className.isEmpty(); }
    bool operator==(const ClassSettings &) const = default;

    static ClassSettings fromIni(const QByteArray &bytes);
    // `previous` with the group written over it; the other groups are kept.
    // Empty when QSettings could not produce it.
    QByteArray toIni(const QByteArray &previous) const;
};
