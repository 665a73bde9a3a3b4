#pragma once
// A private PostgreSQL 15 for the tests of the class server: a cluster made in
// a temporary folder by an unprivileged user (the tests may run as root, which
// PostgreSQL refuses), listening only on a Unix socket in that folder, loaded
// with server/kolrin-class.sql and ended with the test. Its processes form a
// group of their own, so a test can freeze, thaw or kill all of them at once.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QUuid>
#include <csignal>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

class PgServer
{
public:
    static QString binDir() { return QStringLiteral("/usr/lib/postgresql/15/bin/"); }
    // QSKIP's reason when the server's programs are not installed; empty otherwise.
    static QString missing()
    {
        for (const char *tool : {"initdb", "postgres", "psql"})
            if (!QFileInfo(binDir() + QLatin1String(tool)).isExecutable())
                return QStringLiteral("PostgreSQL 15 is not installed (postgresql-15)");
        return {};
    }

    PgServer() : m_dir(QDir::tempPath() + QStringLiteral("/kolrin-pg-XXXXXX"))
    {
        if (geteuid() == 0) {
            const passwd *user = getpwnam("nobody");
            if (user) {
                m_uid = user->pw_uid;
                m_gid = user->pw_gid;
                m_superuser = QStringLiteral("nobody");
            }
        } else if (const passwd *me = getpwuid(geteuid())) {
            m_superuser = QString::fromLocal8Bit(me->pw_name);
        }
        m_dir.setAutoRemove(true);
    }
    ~PgServer() { stop(); }
    PgServer(const PgServer &) = delete;
    PgServer &operator=(const PgServer &) = delete;

    QString socketDir() const { return m_dir.path(); }
    int port() const { return Port; }
    QString database() const { return QStringLiteral("kolrin"); }
    QString superuser() const { return m_superuser; }
    const QString &error() const { return m_error; }

    // initdb, start, create the database, load the class schema.
    bool setUp(const QString &schemaFile)
    {
        if (!m_dir.isValid())
            return fail(QStringLiteral("no temporary folder"));
        if (m_uid != uid_t(-1) && ::chown(QFile::encodeName(m_dir.path()).constData(), m_uid, m_gid) != 0)
            return fail(QStringLiteral("cannot give the folder away"));
        ::chmod(QFile::encodeName(m_dir.path()).constData(), 0755);
        if (!run(binDir() + QStringLiteral("initdb"),
                 {QStringLiteral("-D"), dataDir(), QStringLiteral("-U"), m_superuser,
                  QStringLiteral("-E"), QStringLiteral("UTF8"), QStringLiteral("--no-locale"),
                  QStringLiteral("--no-sync"), QStringLiteral("-A"), QStringLiteral("trust")}))
            return false;
        // The superuser without a password, everyone else with theirs.
        QFile hba(dataDir() + QStringLiteral("/pg_hba.conf"));
        if (!hba.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return fail(QStringLiteral("cannot write pg_hba.conf"));
        hba.write(QStringLiteral("local all %1 trust\nlocal all all scram-sha-256\n")
                      .arg(m_superuser).toUtf8());
        hba.close();
        if (!start())
            return false;
        return psql(QStringLiteral("postgres"), {QStringLiteral("-c"), QStringLiteral("CREATE DATABASE kolrin")})
            && psql(database(), {QStringLiteral("-f"), schemaFile});
    }

    bool start()
    {
        m_postgres = std::make_unique<QProcess>();
        // The server's own log stays in its folder, out of the test's output.
        m_postgres->setStandardOutputFile(m_dir.path() + QStringLiteral("/server.log"), QIODevice::Append);
        m_postgres->setStandardErrorFile(m_dir.path() + QStringLiteral("/server.log"), QIODevice::Append);
        m_postgres->setChildProcessModifier([] { ::setsid(); });
        const QStringList args{QStringLiteral("-D"), dataDir(), QStringLiteral("-k"), socketDir(),
                               QStringLiteral("-p"), QString::number(Port),
                               QStringLiteral("-c"), QStringLiteral("listen_addresses="),
                               QStringLiteral("-c"), QStringLiteral("fsync=off"),
                               QStringLiteral("-c"), QStringLiteral("max_connections=120"),
                               QStringLiteral("-c"), QStringLiteral("logging_collector=off"),
                               QStringLiteral("-c"), QStringLiteral("log_min_messages=fatal")};
        const auto [program, all] = asUser(binDir() + QStringLiteral("postgres"), args);
        m_postgres->start(program, all);
        if (!m_postgres->waitForStarted(5000))
            return fail(QStringLiteral("postgres did not start"));
        for (int i = 0; i < 200; ++i) {
            if (psql(QStringLiteral("postgres"), {QStringLiteral("-c"), QStringLiteral("SELECT 1")}, false))
                return true;
            if (m_postgres->state() == QProcess::NotRunning)
                break;
            QThread::msleep(50);
        }
        return fail(QStringLiteral("postgres does not answer"));
    }

    // Fast and brutal: a crash, as far as the clients can tell.
    void stop()
    {
        if (!m_postgres || m_postgres->state() == QProcess::NotRunning)
            return;
        const pid_t group = pid_t(m_postgres->processId());
        ::killpg(group, SIGCONT);
        ::killpg(group, SIGKILL);
        m_postgres->waitForFinished(5000);
        m_postgres.reset();
        // The postmaster's lock outlives a SIGKILL.
        QFile::remove(dataDir() + QStringLiteral("/postmaster.pid"));
    }
    void freeze() { signalAll(SIGSTOP); }
    void thaw() { signalAll(SIGCONT); }
    bool isRunning() const { return m_postgres && m_postgres->state() == QProcess::Running; }

    // SQL as the superuser, through psql; false (with the error) when it fails.
    bool sql(const QString &statement) { return psql(database(), {QStringLiteral("-c"), statement}); }
    // A login role of the given group with a password.
    bool addRole(const QString &name, const QString &password, const QString &group)
    {
        return sql(QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD '%2' IN ROLE %3")
                       .arg(name, password, group));
    }
    // The first column of the first row of a query, as text.
    QString value(const QString &query)
    {
        QProcess p;
        const auto [program, args] = asUser(binDir() + QStringLiteral("psql"),
            {QStringLiteral("-X"), QStringLiteral("-A"), QStringLiteral("-t"), QStringLiteral("-q"),
             QStringLiteral("-h"), socketDir(), QStringLiteral("-p"), QString::number(Port),
             QStringLiteral("-U"), m_superuser, QStringLiteral("-d"), database(),
             QStringLiteral("-c"), query});
        p.start(program, args);
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }
    // A .pgpass file for libpq (PGPASSFILE) with a line for each user and
    // password, readable only by its owner as libpq demands.
    QString writePassFile(const QList<std::pair<QString, QString>> &users)
    {
        const QString path = m_dir.path() + QStringLiteral("/pgpass");
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        for (const auto &[user, password] : users)
            file.write(QStringLiteral("%1:%2:%3:%4:%5\n")
                           .arg(socketDir()).arg(Port).arg(database(), user, password).toUtf8());
        file.close();
        return path;
    }

private:
    static constexpr int Port = 5432; // names the socket file only: nothing listens on TCP

    QString dataDir() const { return m_dir.path() + QStringLiteral("/data"); }
    bool fail(const QString &why)
    {
        m_error = why;
        return false;
    }
    void signalAll(int signal)
    {
        if (m_postgres && m_postgres->processId() > 0)
            ::killpg(pid_t(m_postgres->processId()), signal);
    }
    std::pair<QString, QStringList> asUser(const QString &program, const QStringList &args) const
    {
        if (m_uid == uid_t(-1))
            return {program, args};
        QStringList all{QStringLiteral("--reuid=%1").arg(m_uid), QStringLiteral("--regid=%1").arg(m_gid),
                        QStringLiteral("--clear-groups"), QStringLiteral("--"), program};
        return {QStringLiteral("setpriv"), all + args};
    }
    bool run(const QString &program, const QStringList &args)
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        const auto [prog, all] = asUser(program, args);
        p.setWorkingDirectory(m_dir.path());
        p.start(prog, all);
        if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
            return fail(QFileInfo(program).fileName() + QStringLiteral(": ")
                        + QString::fromLocal8Bit(p.readAll()));
        return true;
    }
    bool psql(const QString &db, const QStringList &more, bool keepError = true)
    {
        const QString before = m_error;
        const bool ok = run(binDir() + QStringLiteral("psql"),
                            QStringList{QStringLiteral("-X"), QStringLiteral("-q"),
                                        QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"),
                                        QStringLiteral("-h"), socketDir(), QStringLiteral("-p"),
                                        QString::number(Port), QStringLiteral("-U"), m_superuser,
                                        QStringLiteral("-d"), db} + more);
        if (!keepError)
            m_error = before;
        return ok;
    }

    QTemporaryDir m_dir;
    uid_t m_uid = uid_t(-1);
    gid_t m_gid = gid_t(-1);
    QString m_superuser;
    QString m_error;
    std::unique_ptr<QProcess> m_postgres;
};
