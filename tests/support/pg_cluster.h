#pragma once

#include <QString>

namespace ctb::test {

// A throwaway PostgreSQL cluster for one test process: initdb in a temporary directory (as the
// postgres user when running as root), listening on 127.0.0.1 and a free port, stopped at exit. A
// watchdog process stops it and removes its directory when the test process ends without doing so.
class PgCluster {
  public:
    // Started on first use; a failure to start is fatal for the test process.
    static PgCluster& instance();

    // Creates a new empty database and returns its URL, postgresql://ctb@127.0.0.1:PORT/NAME.
    [[nodiscard]] QString createDatabase();
    [[nodiscard]] int port() const { return port_; }
    [[nodiscard]] const QString& directory() const { return dir_; }

    PgCluster(const PgCluster&) = delete;
    PgCluster& operator=(const PgCluster&) = delete;
    ~PgCluster();

  private:
    PgCluster();
    QString dir_;
    int port_ = 0;
    int next_ = 0;
    int watchdog_ = -1;  // write end of the watchdog's pipe
};

// A fresh path for a SQLite database file in a temporary directory of this process.
[[nodiscard]] QString tempSqlitePath(const QString& stem = QStringLiteral("test"));

}  // namespace ctb::test
