#include "tests/support/pg_cluster.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace ctb::test {
namespace {

bool hasInitdb(const QString& dir) {
    return !dir.isEmpty() && QFileInfo(dir + QStringLiteral("/initdb")).isExecutable();
}

// The folder of initdb and pg_ctl (not on PATH on Debian): $CTB_PG_BINDIR, `pg_config --bindir`, the
// newest /usr/lib/postgresql/N/bin, or the folder of an initdb on PATH. Ends with a slash.
QString findBinDir() {
    const QString env = qEnvironmentVariable("CTB_PG_BINDIR");
    if (hasInitdb(env))
        return env + QLatin1Char('/');
    QProcess pgConfig;
    pgConfig.start(QStringLiteral("pg_config"), {QStringLiteral("--bindir")});
    if (pgConfig.waitForFinished(10000) && pgConfig.exitCode() == 0) {
        const QString dir = QString::fromLocal8Bit(pgConfig.readAllStandardOutput()).trimmed();
        if (hasInitdb(dir))
            return dir + QLatin1Char('/');
    }
    QStringList versions =
        QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCollator numeric;
    numeric.setNumericMode(true);
    std::sort(versions.begin(), versions.end(),
              [&](const QString& a, const QString& b) { return numeric.compare(a, b) > 0; });
    for (const QString& v : versions) {
        const QString dir = QStringLiteral("/usr/lib/postgresql/%1/bin").arg(v);
        if (hasInitdb(dir))
            return dir + QLatin1Char('/');
    }
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("initdb"));
    if (!onPath.isEmpty())
        return QFileInfo(onPath).absolutePath() + QLatin1Char('/');
    return {};
}

const QString& binDir() {
    static const QString dir = findBinDir();
    return dir;
}

bool runningAsRoot() {
    return ::geteuid() == 0;
}

// Runs a PostgreSQL tool, as the postgres user when we are root (initdb refuses to run as root).
bool run(const QString& tool, const QStringList& args, QString* output = nullptr) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    if (runningAsRoot())
        p.start(QStringLiteral("runuser"), QStringList{QStringLiteral("-u"), QStringLiteral("postgres"),
                                                       QStringLiteral("--"), binDir() + tool} +
                                               args);
    else
        p.start(binDir() + tool, args);
    if (!p.waitForFinished(120000))
        return false;
    const QString out = QString::fromLocal8Bit(p.readAll());
    if (output)
        *output = out;
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        std::fprintf(stderr, "%s failed:\n%s\n", qPrintable(tool), qPrintable(out));
        return false;
    }
    return true;
}

int freePort() {
    QTcpServer s;
    if (!s.listen(QHostAddress::LocalHost, 0))
        return 0;
    return s.serverPort();
}

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "PostgreSQL test cluster: %s\n", what);
    std::abort();
}

// A process that outlives this one and stops the cluster once this one is gone, however it ended (a
// crash, abort(), SIGKILL on a test timeout): it waits for the end of a pipe whose only writer is this
// process. Double-forked, so it is no child of the test (a test runner that kills the test's process
// tree spares it), and with nothing of ours open but that pipe. Returns the pipe's write end.
int startWatchdog(const QString& dir, const QString& pgCtl) {
    const QString stop = QStringLiteral("'%1' -D '%2/data' -m immediate stop").arg(pgCtl, dir);
    const QString script =
        QStringLiteral(
            "cat >/dev/null; if [ -f '%1/data/postmaster.pid' ]; then %2; fi; "
            "rm -rf '%1'")
            .arg(dir, runningAsRoot() ? QStringLiteral("runuser -u postgres -- ") + stop : stop);
    // Everything the child needs is made before fork: after it, only async-signal-safe calls.
    const QByteArray scriptBytes = script.toLocal8Bit();
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        fail("cannot create the watchdog's pipe");
    const int devNull = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    if (devNull < 0)
        fail("cannot open /dev/null");
    const pid_t child = ::fork();
    if (child < 0)
        fail("cannot start the watchdog");
    if (child == 0) {
        if (::fork() != 0)
            ::_exit(0);
        ::setsid();
        ::dup2(fds[0], 0);
        ::dup2(devNull, 1);
        ::dup2(devNull, 2);
        ::close_range(3, ~0U, 0);
        ::execl("/bin/sh", "sh", "-c", scriptBytes.constData(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::waitpid(child, nullptr, 0);
    ::close(fds[0]);
    ::close(devNull);
    return fds[1];
}

}  // namespace

PgCluster& PgCluster::instance() {
    static PgCluster cluster;
    return cluster;
}

PgCluster::PgCluster() {
    char tmpl[] = "/tmp/ctb-pg-XXXXXX";
    if (!::mkdtemp(tmpl))
        fail("cannot create a temporary directory");
    dir_ = QString::fromLocal8Bit(tmpl);
    QDir().mkpath(dir_ + QStringLiteral("/data"));
    QDir().mkpath(dir_ + QStringLiteral("/run"));
    if (runningAsRoot()) {
        const QString cmd = QStringLiteral("chown -R postgres:postgres '%1' && chmod 700 '%1'").arg(dir_);
        if (std::system(cmd.toLocal8Bit().constData()) != 0)
            fail("cannot hand the directory to postgres");
    }
    if (binDir().isEmpty())
        fail("no initdb found (set CTB_PG_BINDIR, or install PostgreSQL)");
    watchdog_ = startWatchdog(dir_, binDir() + QStringLiteral("pg_ctl"));
    if (!run(QStringLiteral("initdb"),
             {QStringLiteral("-D"), dir_ + QStringLiteral("/data"), QStringLiteral("-U"),
              QStringLiteral("ctb"), QStringLiteral("--auth=trust"), QStringLiteral("-E"),
              QStringLiteral("UTF8"), QStringLiteral("--locale=C.UTF-8")}))
        fail("initdb failed");
    // A port can be taken between the probe and the start: try a few.
    for (int attempt = 0; attempt < 5; ++attempt) {
        port_ = freePort();
        const QString opts = QStringLiteral(
                                 "-k %1/run -c listen_addresses=127.0.0.1 -p %2 -c fsync=off "
                                 "-c max_connections=200")
                                 .arg(dir_)
                                 .arg(port_);
        if (run(QStringLiteral("pg_ctl"),
                {QStringLiteral("-D"), dir_ + QStringLiteral("/data"), QStringLiteral("-l"),
                 dir_ + QStringLiteral("/run/pg.log"), QStringLiteral("-w"), QStringLiteral("-o"), opts,
                 QStringLiteral("start")}))
            return;
    }
    fail("pg_ctl start failed");
}

PgCluster::~PgCluster() {
    run(QStringLiteral("pg_ctl"), {QStringLiteral("-D"), dir_ + QStringLiteral("/data"), QStringLiteral("-m"),
                                   QStringLiteral("immediate"), QStringLiteral("stop")});
    QDir(dir_).removeRecursively();
    // The watchdog sees the pipe end and finds nothing left to do.
    ::close(watchdog_);
}

QString PgCluster::createDatabase() {
    const QString name = QStringLiteral("t%1_%2").arg(::getpid()).arg(++next_);
    if (!run(QStringLiteral("createdb"),
             {QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"), QString::number(port_),
              QStringLiteral("-U"), QStringLiteral("ctb"), name}))
        fail("createdb failed");
    return QStringLiteral("postgresql://ctb@127.0.0.1:%1/%2").arg(port_).arg(name);
}

QString tempSqlitePath(const QString& stem) {
    static QTemporaryDir dir;
    static int n = 0;
    return dir.filePath(QStringLiteral("%1-%2.db").arg(stem).arg(++n));
}

}  // namespace ctb::test
