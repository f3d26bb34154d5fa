// A test process that dies without stopping its PostgreSQL cluster (a crash, SIGKILL on a timeout) does
// not leave the cluster running: its watchdog stops it and removes its directory.
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpSocket>
#include <QThread>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <functional>

namespace {

// Waits for a state, not for a time: the deadline only ends a wait that would never finish.
bool waitFor(const std::function<bool()>& done, int deadlineMs = 60000) {
    const QDeadlineTimer deadline(deadlineMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
    return true;
}

bool processAlive(qint64 pid) {
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

bool portAnswers(int port) {
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(port));
    return socket.waitForConnected(2000);
}

TEST(PgWatchdog, AKilledOwnerTakesItsClusterWithIt) {
    QProcess holder;
    holder.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    holder.start(QStringLiteral(CTB_PG_CLUSTER_HOLDER), {});
    ASSERT_TRUE(holder.waitForStarted());
    ASSERT_TRUE(waitFor([&] { return holder.canReadLine() || holder.waitForReadyRead(100); }));
    const QStringList started = QString::fromLocal8Bit(holder.readLine()).trimmed().split(u' ');
    ASSERT_EQ(started.size(), 2) << started.join(u' ').toStdString();
    const QString dir = started[0];
    const int port = started[1].toInt();

    QFile pidFile(dir + QStringLiteral("/data/postmaster.pid"));
    ASSERT_TRUE(pidFile.open(QIODevice::ReadOnly)) << dir.toStdString();
    const qint64 postmaster = QString::fromLatin1(pidFile.readLine()).trimmed().toLongLong();
    pidFile.close();
    ASSERT_GT(postmaster, 0);
    ASSERT_TRUE(processAlive(postmaster));
    ASSERT_TRUE(portAnswers(port));

    holder.kill();  // SIGKILL: no destructor, no atexit
    ASSERT_TRUE(holder.waitForFinished());

    EXPECT_TRUE(waitFor([&] { return !processAlive(postmaster); })) << "postmaster " << postmaster;
    EXPECT_TRUE(waitFor([&] { return !QDir(dir).exists(); })) << dir.toStdString();
    EXPECT_FALSE(portAnswers(port));
}

}  // namespace
