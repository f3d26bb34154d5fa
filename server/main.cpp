// ctb-server: the application server of the journal-entry module.
//
//   ctb-server --init-db DB [--demo] [--demo-size N]
//   ctb-server --db DB --listen 127.0.0.1:PORT [--threads N] [--max-body BYTES] [--row-limit N] [--quiet]
//              [--group-commit auto|on|off]

#include "server/http_server.h"
#include "server/server_schema.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <pthread.h>
#include <csignal>
#include <cstdio>
#include <exception>
#include <thread>

namespace {

void say(const QString& text) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

int usage() {
    say(QStringLiteral(
        "Uso:\n"
        "  ctb-server --init-db BANCO [--demo] [--demo-size N]\n"
        "  ctb-server --db BANCO --listen 127.0.0.1:PORTA [--threads N] [--max-body BYTES] [--row-limit N] "
        "[--quiet]\n"
        "    [--group-commit auto|on|off]\n"
        "BANCO é o caminho de um arquivo SQLite ou postgresql://usuário@servidor:porta/banco."));
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);

    QString initDb, db, listen;
    bool demo = false;
    long long demoSize = -1;
    ctb::server::ServerOptions options;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](QString& out) {
            if (i + 1 >= args.size())
                return false;
            out = args[++i];
            return true;
        };
        QString v;
        bool ok = true;
        if (a == QLatin1String("--init-db"))
            ok = value(initDb);
        else if (a == QLatin1String("--db"))
            ok = value(db);
        else if (a == QLatin1String("--listen"))
            ok = value(listen);
        else if (a == QLatin1String("--demo"))
            demo = true;
        else if (a == QLatin1String("--demo-size"))
            ok = value(v) && (demoSize = v.toLongLong(&ok), ok) && demoSize >= 0;
        else if (a == QLatin1String("--threads"))
            ok = value(v) && (options.threads = v.toInt(&ok), ok) && options.threads > 0;
        else if (a == QLatin1String("--max-body"))
            ok = value(v) && (options.maxBodyBytes = v.toULongLong(&ok), ok) && options.maxBodyBytes > 0;
        else if (a == QLatin1String("--row-limit"))
            ok = value(v) && (options.rowLimit = v.toInt(&ok), ok) && options.rowLimit > 0;
        else if (a == QLatin1String("--quiet"))
            options.logRequests = false;
        else if (a == QLatin1String("--group-commit")) {
            ok = value(v);
            using G = ctb::server::ServerOptions::GroupCommit;
            if (v == QLatin1String("on"))
                options.groupCommit = G::On;
            else if (v == QLatin1String("off"))
                options.groupCommit = G::Off;
            else if (v == QLatin1String("auto"))
                options.groupCommit = G::Auto;
            else
                ok = false;
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h"))
            return usage(), 0;
        else {
            say(QStringLiteral("Opção desconhecida: %1").arg(a));
            return usage();
        }
        if (!ok) {
            say(QStringLiteral("Valor inválido ou ausente para %1.").arg(a));
            return usage();
        }
    }

    if (!initDb.isEmpty()) {
        try {
            ctb::server::initDatabase(initDb, demo, demoSize);
            say(QStringLiteral("Banco de dados criado: %1").arg(initDb));
            return 0;
        } catch (const std::exception& e) {
            say(QString::fromUtf8(e.what()));
            return 1;
        }
    }
    if (db.isEmpty() || listen.isEmpty())
        return usage();

    const qsizetype colon = listen.lastIndexOf(u':');
    bool portOk = false;
    const int port = colon > 0 ? listen.mid(colon + 1).toInt(&portOk) : 0;
    if (!portOk || port < 0 || port > 65535) {
        say(QStringLiteral("Endereço de escuta inválido: %1 (use 127.0.0.1:PORTA).").arg(listen));
        return 2;
    }
    options.host = listen.left(colon).toStdString();
    options.port = port;
    options.databaseUrl = db;

    // SIGTERM and SIGINT are taken by one thread with sigwait; every other thread blocks them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    try {
        ctb::server::checkDatabase(db);
        ctb::server::AppServer server(options);
        server.bind();
        std::thread signalThread([&] {
            int sig = 0;
            sigwait(&stopSignals, &sig);
            say(QStringLiteral("Encerrando (sinal %1)...").arg(sig));
            server.stop();
        });
        say(QStringLiteral("ctb-server: escutando em %1:%2, banco %3")
                .arg(QString::fromStdString(options.host))
                .arg(server.port())
                .arg(db));
        server.run();
        // run() also returns when the listening socket fails; wake the signal thread in that case.
        pthread_kill(signalThread.native_handle(), SIGTERM);
        signalThread.join();
        say(QStringLiteral("ctb-server encerrado."));
        return 0;
    } catch (const std::exception& e) {
        say(QString::fromUtf8(e.what()));
        return 1;
    }
}
