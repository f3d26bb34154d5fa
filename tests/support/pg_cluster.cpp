#include "tests/support/pg_cluster.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>

#include <fcntl.h>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>

namespace ctb::test {
namespace {

const QString kBin = QStringLiteral("/usr/lib/postgresql/15/bin/");

bool runningAsRoot() {
    return ::geteuid() == 0;
}

// Runs a PostgreSQL tool, as the postgres user when we are root (initdb refuses to run as root).
bool run(const QString& tool, const QStringList& args, QString* output = nullptr) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    if (runningAsRoot())
        p.start(QStringLiteral("runuser"), QStringList{QStringLiteral("-u"), QStringLiteral("postgres"),
                                                       QStringLiteral("--"), kBin + tool} +
                                               args);
    else
        p.start(kBin + tool, args);
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

// A shell that outlives this process and stops the cluster when the process is gone, however it ended
// (a crash or an abort skips the destructor). It waits for the end of a pipe only this process writes.
void watchOverCluster(const QString& dir) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return;
    const QString stop =
        QStringLiteral(
            "read x; if [ -f '%1/data/postmaster.pid' ]; then %2%3pg_ctl -D '%1/data' -m immediate stop "
            ">/dev/null 2>&1; fi; rm -rf '%1'")
            .arg(dir, runningAsRoot() ? QStringLiteral("runuser -u postgres -- ") : QString(), kBin);
    const QByteArray script = stop.toLocal8Bit();
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Only async-signal-safe calls until exec: this process may have other threads.
        ::dup2(fds[0], 0);
        ::execl("/bin/sh", "sh", "-c", script.constData(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(fds[0]);
    // The write end stays open (close-on-exec, so no tool started later holds it) until this process ends.
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
                 QStringLiteral("start")})) {
            watchOverCluster(dir_);
            return;
        }
    }
    fail("pg_ctl start failed");
}

PgCluster::~PgCluster() {
    run(QStringLiteral("pg_ctl"), {QStringLiteral("-D"), dir_ + QStringLiteral("/data"), QStringLiteral("-m"),
                                   QStringLiteral("immediate"), QStringLiteral("stop")});
    QDir(dir_).removeRecursively();
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
