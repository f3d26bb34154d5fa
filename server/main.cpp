// ctb-server: the application server of the journal-entry module.
//
//   ctb-server --init-db DB [--demo] [--demo-size N]
//   ctb-server --db DB --listen 127.0.0.1:PORT [--tokens FILE] [--tls-cert FILE --tls-key FILE]
//              [--threads N] [--max-connections N] [--keep-alive SECONDS] [--max-body BYTES]
//              [--row-limit N] [--quiet] [--group-commit auto|on|off]

#include "platform/sql/database.h"
#include "platform/sql/error.h"
#include "server/credentials.h"
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

// Every line goes through the mask: a database URL may carry a password.
void say(const QString& text) {
    std::fprintf(stderr, "%s\n", ctb::server::maskSecrets(text).toLocal8Bit().constData());
}

QString databaseForLog(const QString& url) {
    try {
        return ctb::sql::DatabaseUrl::parse(url).display();
    } catch (const ctb::sql::SqlError&) {
        return ctb::server::maskSecrets(url);
    }
}

int usage() {
    say(QStringLiteral(
        "Uso:\n"
        "  ctb-server --init-db BANCO [--demo] [--demo-size N]\n"
        "  ctb-server --db BANCO --listen 127.0.0.1:PORTA [--tokens ARQUIVO] [--tls-cert ARQUIVO --tls-key "
        "ARQUIVO]\n"
        "    [--threads N] [--max-connections N] [--keep-alive SEGUNDOS] [--max-body BYTES] [--row-limit N]\n"
        "    [--quiet] [--group-commit auto|on|off]\n"
        "BANCO é o caminho de um arquivo SQLite ou postgresql://usuário@servidor:porta/banco.\n"
        "PORTA 0 escolhe uma porta livre (informada na linha \"escutando em\").\n"
        "--tokens: linhas \"USUÁRIO TOKEN\", arquivo legível só pelo dono; obrigatório fora de 127.0.0.1."));
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);

    QString initDb, db, listen, tokensFile, tlsCert, tlsKey;
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
        else if (a == QLatin1String("--tokens"))
            ok = value(tokensFile);
        else if (a == QLatin1String("--tls-cert"))
            ok = value(tlsCert);
        else if (a == QLatin1String("--tls-key"))
            ok = value(tlsKey);
        else if (a == QLatin1String("--max-connections"))
            ok = value(v) && (options.maxConnections = v.toInt(&ok), ok) && options.maxConnections > 0;
        else if (a == QLatin1String("--keep-alive"))
            ok = value(v) && (options.keepAliveSeconds = v.toInt(&ok), ok) && options.keepAliveSeconds > 0;
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
    QString host = listen.left(colon);
    if (host.startsWith(u'[') && host.endsWith(u']'))
        host = host.mid(1, host.size() - 2);
    options.host = host.toStdString();
    options.port = port;
    options.databaseUrl = db;
    options.tlsCert = tlsCert.toStdString();
    options.tlsKey = tlsKey.toStdString();
    if (!tokensFile.isEmpty()) {
        try {
            options.tokens = ctb::server::TokenTable::load(tokensFile);
        } catch (const std::exception& e) {
            say(QString::fromUtf8(e.what()));
            return 1;
        }
    }

    // SIGTERM and SIGINT are taken by one thread with sigwait; every other thread blocks them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    try {
        // A refused address or credentials never touch the database.
        ctb::server::AppServer::checkOptions(options);
        ctb::server::checkDatabase(db);
        ctb::server::AppServer server(options);
        server.bind();
        std::thread signalThread([&] {
            int sig = 0;
            sigwait(&stopSignals, &sig);
            say(QStringLiteral("Encerrando (sinal %1)...").arg(sig));
            server.stop();
        });
        const QString shownHost = host.contains(u':') ? u'[' + host + u']' : host;
        say(QStringLiteral("ctb-server: escutando em %1:%2, %3, banco %4, %5")
                .arg(shownHost)
                .arg(server.port())
                .arg(server.tls() ? QStringLiteral("https") : QStringLiteral("http"), databaseForLog(db),
                     options.tokens ? QStringLiteral("%1 usuário(s) com token").arg(options.tokens->size())
                                    : QStringLiteral("sem autenticação (somente esta máquina)")));
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
