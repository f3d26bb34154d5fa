// Starts a throwaway PostgreSQL cluster, prints "DIRECTORY PORT" and waits on standard input: the
// watchdog test kills it to see that the cluster goes with it.
#include "tests/support/pg_cluster.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    auto& cluster = ctb::test::PgCluster::instance();
    std::printf("%s %d\n", qPrintable(cluster.directory()), cluster.port());
    std::fflush(stdout);
    int c = 0;
    while ((c = std::getchar()) != EOF) {
    }
    return 0;
}
