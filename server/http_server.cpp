#include "server/http_server.h"

#include "platform/net/wire.h"
#include "platform/sql/error.h"
#include "server/dispatcher.h"
#include "server/errors.h"
#include "server/service.h"
#include "server/storage.h"
#include "server/worker_pools.h"
#include "server/write_queue.h"

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <optional>
#include <random>
#include <stdexcept>

namespace ctb::server {

namespace {

struct RequestLog {
    std::chrono::steady_clock::time_point start;
    bool started = false;
    std::string outcome;
};
thread_local RequestLog tlsLog;

constexpr const char* kJson = "application/json; charset=utf-8";

// The one error renderer: every failure leaves as {"ok": false, "error": "..."}.
void renderError(httplib::Response& res, int status, const QString& message) {
    res.status = status;
    res.body = wire::encodeError(message);
    res.set_header("Content-Type", kJson);
    tlsLog.outcome = (status == 200 ? "recusado: " : "erro: ") + message.left(120).toStdString();
}

void renderOk(httplib::Response& res, const wire::Value& result) {
    res.status = 200;
    res.body = wire::encodeOk(result);
    res.set_header("Content-Type", kJson);
    tlsLog.outcome = "ok";
}

std::optional<std::int64_t> versionHeader(const httplib::Request& req) {
    if (!req.has_header(kVersionHeader))
        return std::nullopt;
    const std::string v = req.get_header_value(kVersionHeader);
    // Digits only: "+1", " 1" or "1e0" are not a version a client loaded.
    bool ok = !v.empty() && v.size() <= 18;
    for (const char c : v)
        ok = ok && c >= '0' && c <= '9';
    const qlonglong n = ok ? std::stoll(v) : -1;
    if (!ok || n < 0)
        throw BadRequest(QStringLiteral("Cabeçalho %1 inválido: \"%2\".")
                             .arg(QLatin1String(kVersionHeader), QString::fromStdString(v.substr(0, 40))));
    return n;
}

void logLine(const QString& text) {
    const std::string line = maskSecrets(text).toStdString() + '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
}

// Incident numbers: a random prefix per process, so two servers on one database never give the same one,
// then a sequence.
class Incidents {
  public:
    Incidents() {
        std::random_device rd;
        prefix_ = QStringLiteral("%1").arg(rd() % 0xFFFFFFu, 6, 16, QLatin1Char('0')).toUpper();
    }
    // Logs what happened with a new number and returns the number.
    QString record(const QString& what, const QString& detail) {
        const QString id = QStringLiteral("%1-%2").arg(prefix_).arg(++next_, 6, 10, QLatin1Char('0'));
        QString oneLine = detail;
        oneLine.replace(u'\n', QStringLiteral(" | "));
        logLine(QStringLiteral("ctb-server: incidente %1 (%2): %3").arg(id, what, oneLine));
        return id;
    }

  private:
    QString prefix_;
    std::atomic<unsigned> next_{0};
};

}  // namespace

struct AppServer::Impl {
    explicit Impl(ServerOptions o) : options(std::move(o)) {
        const bool postgres = options.databaseUrl.trimmed().startsWith(QLatin1String("postgres://")) ||
                              options.databaseUrl.trimmed().startsWith(QLatin1String("postgresql://"));
        if (options.groupCommit == ServerOptions::GroupCommit::On ||
            (options.groupCommit == ServerOptions::GroupCommit::Auto && !postgres))
            writer = std::make_unique<WriteQueue>(options.databaseUrl, options.rowLimit);
        workers = std::make_unique<DatabaseWorkers>(
            options.databaseUrl,
            ServiceOptions{options.rowLimit, writer.get(), writer ? nullptr : &historyIndex},
            std::max(1, options.threads));
        if (!options.tlsCert.empty() || !options.tlsKey.empty()) {
            auto ssl = std::make_unique<httplib::SSLServer>(options.tlsCert.c_str(), options.tlsKey.c_str());
            tlsValid = ssl->is_valid();
            http = std::move(ssl);
        } else {
            http = std::make_unique<httplib::Server>();
        }
    }
    ServerOptions options;
    std::unique_ptr<WriteQueue> writer;  // outlives the workers
    HistoryIndexSchedule historyIndex;   // without the writer, the workers index after their commits
    std::unique_ptr<DatabaseWorkers> workers;
    Dispatcher dispatcher;
    Incidents incidents;
    std::unique_ptr<httplib::Server> http;  // destroyed first: no request reaches the workers after it
    bool tlsValid = true;
    bool bound = false;

    ~Impl() {
        http.reset();
        workers.reset();
        writer.reset();
    }

    // The user the request acts as; nullopt when credentials are configured and the request lacks them.
    std::optional<QString> authenticate(const httplib::Request& req) const {
        if (!options.tokens)
            return QString();
        const std::string header = req.get_header_value("Authorization");
        return options.tokens->userFor(bearerToken(header));
    }

    void handle(const httplib::Request& req, httplib::Response& res) {
        const auto started = std::chrono::steady_clock::now();
        const std::optional<QString> user = authenticate(req);
        if (!user) {
            res.set_header("WWW-Authenticate", "Bearer");
            renderError(
                res, 401,
                QStringLiteral("Credenciais ausentes ou inválidas: o servidor de aplicação recusou o "
                               "acesso. Verifique o arquivo de token configurado para este usuário."));
            return;
        }
        const std::string module = req.matches[1];
        const std::string method = req.matches[2];
        const Dispatcher::Method* m = dispatcher.find(module, method);
        if (!m) {
            renderError(
                res, 404,
                QStringLiteral("Método desconhecido: %1/%2.")
                    .arg(QString::fromStdString(module).left(80), QString::fromStdString(method).left(80)));
            return;
        }
        try {
            CallContext ctx;
            ctx.authenticatedUser = *user;
            ctx.expectedVersion = versionHeader(req);
            ctx.user = QString::fromStdString(req.get_header_value(kOperatorHeader));
            std::vector<wire::Value> args;
            try {
                args = wire::decodeRequest(req.body);
            } catch (const wire::WireError& e) {
                throw BadRequest(e.message());
            }
            wire::Value result;
            // Only the call itself holds a database worker; reading and writing the connection do not.
            workers->run(
                [&](LancamentoService& service) { result = Dispatcher::call(*m, service, args, ctx); });
            if (ctx.version)
                res.set_header(kVersionHeader, std::to_string(*ctx.version));
            renderOk(res, result);
            // Time spent inside the server, JSON included (for benchmarks and slow-call hunting).
            res.set_header(kServerTimeHeader,
                           std::to_string(std::chrono::duration_cast<std::chrono::microseconds>(
                                              std::chrono::steady_clock::now() - started)
                                              .count()));
        } catch (const Refusal& e) {
            renderError(res, 200, e.message());
        } catch (const BadRequest& e) {
            renderError(res, 400, e.message());
        } catch (const Forbidden& e) {
            renderError(res, 403, e.message());
        } catch (const NotFound& e) {
            renderError(res, 404, e.message());
        } catch (const DbError& e) {
            // The driver's text stays in the log; the client gets the incident number to quote.
            renderError(res, 500,
                        databaseMessage(incidents.record(QStringLiteral("banco de dados"), e.message())));
        } catch (const sql::SqlError& e) {
            renderError(
                res, 503,
                QStringLiteral("O banco de dados não está disponível (incidente %1). Nada foi gravado; "
                               "tente novamente em instantes e, se persistir, informe o número do "
                               "incidente ao suporte.")
                    .arg(incidents.record(QStringLiteral("conexão"), QString::fromUtf8(e.what()))));
        } catch (const wire::WireError& e) {
            renderError(res, 500, internalMessage(incidents.record(QStringLiteral("resposta"), e.message())));
        } catch (const std::exception& e) {
            renderError(
                res, 500,
                internalMessage(incidents.record(QStringLiteral("interno"), QString::fromUtf8(e.what()))));
        }
    }

    static QString databaseMessage(const QString& incident) {
        return QStringLiteral(
                   "Falha no banco de dados (incidente %1). A operação não foi concluída e nada foi gravado; "
                   "tente novamente e, se persistir, informe o número do incidente ao suporte.")
            .arg(incident);
    }
    static QString internalMessage(const QString& incident) {
        return QStringLiteral(
                   "Erro interno do servidor de aplicação (incidente %1). Informe o número do "
                   "incidente ao suporte.")
            .arg(incident);
    }
};

AppServer::AppServer(ServerOptions options) : impl_(std::make_unique<Impl>(std::move(options))) {
    auto& http = *impl_->http;
    Impl* impl = impl_.get();
    const int maxConnections = std::max(4, impl->options.maxConnections);
    http.new_task_queue = [maxConnections] { return new ConnectionThreads(maxConnections); };
    http.set_tcp_nodelay(true);
    http.set_keep_alive_max_count(100000);
    http.set_keep_alive_timeout(std::max(1, impl->options.keepAliveSeconds));
    http.set_read_timeout(30);
    http.set_write_timeout(30);
    http.set_payload_max_length(impl->options.maxBodyBytes);

    http.set_pre_routing_handler([](const httplib::Request&, httplib::Response&) {
        tlsLog.start = std::chrono::steady_clock::now();
        tlsLog.started = true;
        tlsLog.outcome.clear();
        return httplib::Server::HandlerResponse::Unhandled;
    });
    http.Get("/health", [](const httplib::Request&, httplib::Response& res) {
        res.body = R"({"ok": true})";
        res.set_header("Content-Type", kJson);
        tlsLog.outcome = "ok";
    });
    http.Post(R"(/rdm/([^/]+)/([^/]+))",
              [impl](const httplib::Request& req, httplib::Response& res) { impl->handle(req, res); });
    http.set_error_handler([impl](const httplib::Request& req, httplib::Response& res) {
        if (!res.body.empty())
            return;
        switch (res.status) {
            case 404:
                renderError(res, 404,
                            QStringLiteral("Recurso não encontrado: %1 %2.")
                                .arg(QString::fromStdString(req.method).left(20),
                                     QString::fromStdString(req.path).left(200)));
                break;
            case 413:
                renderError(res, 413,
                            QStringLiteral("Requisição maior que o limite de %1 bytes.")
                                .arg(impl->options.maxBodyBytes));
                break;
            case 400:
                renderError(res, 400, QStringLiteral("Requisição HTTP inválida."));
                break;
            default:
                renderError(res, res.status, QStringLiteral("Falha HTTP %1.").arg(res.status));
        }
    });
    http.set_exception_handler([impl](const httplib::Request&, httplib::Response& res, std::exception_ptr e) {
        QString detail = QStringLiteral("exceção desconhecida");
        try {
            if (e)
                std::rethrow_exception(e);
        } catch (const std::exception& x) {
            detail = QString::fromUtf8(x.what());
        } catch (...) {
        }
        renderError(res, 500,
                    Impl::internalMessage(impl->incidents.record(QStringLiteral("interno"), detail)));
    });
    if (impl->options.logRequests) {
        http.set_logger([](const httplib::Request& req, const httplib::Response& res) {
            double ms = 0;
            if (tlsLog.started)
                ms =
                    std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - tlsLog.start)
                        .count();
            tlsLog.started = false;
            // One write per line so lines of concurrent requests do not interleave; the path is the
            // client's text, so only its first characters.
            char duration[32];
            std::snprintf(duration, sizeof duration, "%.2fms", ms);
            logLine(QStringLiteral("%1 %2 %3 %4 %5")
                        .arg(QString::fromStdString(req.method).left(20),
                             QString::fromStdString(req.path).left(200))
                        .arg(res.status)
                        .arg(QLatin1String(duration), tlsLog.outcome.empty()
                                                          ? QStringLiteral("-")
                                                          : QString::fromStdString(tlsLog.outcome)));
        });
    }
}

AppServer::~AppServer() {
    stop();
}

void AppServer::checkOptions(const ServerOptions& o) {
    if (!o.tokens && !isLoopbackAddress(o.host))
        throw std::runtime_error(
            QStringLiteral("Recusado: escutar em %1 exporia o servidor a outras máquinas sem autenticação. "
                           "Informe --tokens ARQUIVO (linhas \"USUÁRIO TOKEN\") ou escute em 127.0.0.1.")
                .arg(QString::fromStdString(o.host))
                .toStdString());
    if (o.tlsCert.empty() != o.tlsKey.empty())
        throw std::runtime_error("Para HTTPS informe --tls-cert e --tls-key juntos.");
}

void AppServer::bind() {
    if (impl_->bound)
        return;
    const ServerOptions& o = impl_->options;
    checkOptions(o);
    if (!impl_->tlsValid)
        throw std::runtime_error(
            QStringLiteral("Não foi possível carregar o certificado %1 e a chave %2 (arquivos PEM).")
                .arg(QString::fromStdString(o.tlsCert), QString::fromStdString(o.tlsKey))
                .toStdString());
    auto& http = *impl_->http;
    if (o.port == 0) {
        port_ = http.bind_to_any_port(o.host);
        if (port_ <= 0)
            port_ = 0;
    } else if (http.bind_to_port(o.host, o.port)) {
        port_ = o.port;
    }
    if (port_ == 0)
        throw std::runtime_error(
            QStringLiteral("Não foi possível escutar em %1:%2 (porta em uso ou endereço inválido).")
                .arg(QString::fromStdString(o.host))
                .arg(o.port)
                .toStdString());
    impl_->bound = true;
}

void AppServer::run() {
    bind();
    impl_->http->listen_after_bind();
}

void AppServer::start() {
    bind();
    thread_ = std::thread([this] { impl_->http->listen_after_bind(); });
    // Wait until the accept loop runs so that stop() right after start() is not lost.
    while (!impl_->http->is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void AppServer::stop() {
    impl_->http->stop();
    if (thread_.joinable())
        thread_.join();
}

bool AppServer::tls() const {
    return !impl_->options.tlsCert.empty();
}

}  // namespace ctb::server
