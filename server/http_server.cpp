#include "server/http_server.h"

#include "platform/net/wire.h"
#include "platform/sql/error.h"
#include "server/dispatcher.h"
#include "server/errors.h"
#include "server/service.h"
#include "server/storage.h"
#include "server/write_queue.h"

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <stdexcept>

namespace ctb::server {

namespace {

// What one worker thread owns: its database connection, opened on first use and closed by the
// thread itself when it ends (a QtSql connection belongs to the thread that opened it).
class Worker {
  public:
    Worker(const ServerOptions& options, ServiceOptions service)
        : options_(options), serviceOptions_(service) {}
    LancamentoService& service() {
        if (!service_) {
            storage_ = std::make_unique<Storage>(options_.databaseUrl);
            service_ = std::make_unique<LancamentoService>(*storage_, serviceOptions_);
        }
        return *service_;
    }
    // After a database failure the connection may be broken: the next request opens a new one.
    void reset() {
        service_.reset();
        storage_.reset();
    }

  private:
    const ServerOptions& options_;
    ServiceOptions serviceOptions_;
    std::unique_ptr<Storage> storage_;
    std::unique_ptr<LancamentoService> service_;
};

thread_local Worker* tlsWorker = nullptr;

struct RequestLog {
    std::chrono::steady_clock::time_point start;
    bool started = false;
    std::string outcome;
};
thread_local RequestLog tlsLog;

// cpp-httplib runs each connection as one task; these threads also own the database connections.
class WorkerPool : public httplib::TaskQueue {
  public:
    WorkerPool(const ServerOptions& options, ServiceOptions service, int threads) {
        for (int i = 0; i < threads; ++i)
            threads_.emplace_back([this, &options, service] { loop(options, service); });
    }
    void enqueue(std::function<void()> fn) override {
        {
            std::lock_guard lock(mutex_);
            jobs_.push_back(std::move(fn));
        }
        cond_.notify_one();
    }
    void shutdown() override {
        {
            std::lock_guard lock(mutex_);
            shutdown_ = true;
        }
        cond_.notify_all();
        for (auto& t : threads_)
            t.join();
    }

  private:
    void loop(const ServerOptions& options, ServiceOptions service) {
        Worker worker(options, service);
        tlsWorker = &worker;
        for (;;) {
            std::function<void()> job;
            {
                std::unique_lock lock(mutex_);
                cond_.wait(lock, [&] { return shutdown_ || !jobs_.empty(); });
                if (shutdown_ && jobs_.empty())
                    break;
                job = std::move(jobs_.front());
                jobs_.pop_front();
            }
            job();
        }
        tlsWorker = nullptr;
    }

    std::mutex mutex_;
    std::condition_variable cond_;
    std::deque<std::function<void()>> jobs_;
    std::vector<std::thread> threads_;
    bool shutdown_ = false;
};

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
    bool ok = false;
    const qlonglong n = QString::fromStdString(v).trimmed().toLongLong(&ok);
    if (!ok || n < 0)
        throw BadRequest(QStringLiteral("Cabeçalho %1 inválido: \"%2\".")
                             .arg(QLatin1String(kVersionHeader), QString::fromStdString(v).left(40)));
    return n;
}

}  // namespace

struct AppServer::Impl {
    explicit Impl(ServerOptions o) : options(std::move(o)) {
        const bool postgres = options.databaseUrl.trimmed().startsWith(QLatin1String("postgres://")) ||
                              options.databaseUrl.trimmed().startsWith(QLatin1String("postgresql://"));
        if (options.groupCommit == ServerOptions::GroupCommit::On ||
            (options.groupCommit == ServerOptions::GroupCommit::Auto && !postgres))
            writer = std::make_unique<WriteQueue>(options.databaseUrl, options.rowLimit);
    }
    ServerOptions options;
    std::unique_ptr<WriteQueue> writer;  // outlives the workers (http below is destroyed first)
    HistoryIndexSchedule historyIndex;   // without the writer, the workers index after their commits
    Dispatcher dispatcher;
    httplib::Server http;
    bool bound = false;

    void handle(const httplib::Request& req, httplib::Response& res) {
        const auto started = std::chrono::steady_clock::now();
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
            ctx.expectedVersion = versionHeader(req);
            ctx.user = QString::fromStdString(req.get_header_value(kOperatorHeader));
            std::vector<wire::Value> args;
            try {
                args = wire::decodeRequest(req.body);
            } catch (const wire::WireError& e) {
                throw BadRequest(e.message());
            }
            if (!tlsWorker)
                throw std::runtime_error("worker thread without a database connection");
            const wire::Value result = Dispatcher::call(*m, tlsWorker->service(), args, ctx);
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
        } catch (const NotFound& e) {
            renderError(res, 404, e.message());
        } catch (const DbError& e) {
            tlsWorker->reset();
            renderError(res, 500, e.message());
        } catch (const sql::SqlError& e) {
            tlsWorker->reset();
            renderError(res, 503, QString::fromUtf8(e.what()));
        } catch (const wire::WireError& e) {
            renderError(res, 500, QStringLiteral("Falha ao montar a resposta: %1").arg(e.message()));
        } catch (const std::exception& e) {
            renderError(res, 500,
                        QStringLiteral("Erro interno do servidor: %1").arg(QString::fromUtf8(e.what())));
        }
    }
};

AppServer::AppServer(ServerOptions options) : impl_(std::make_unique<Impl>(std::move(options))) {
    auto& http = impl_->http;
    Impl* impl = impl_.get();
    const int threads = std::max(1, impl->options.threads);
    http.new_task_queue = [impl, threads] {
        ServiceOptions service{impl->options.rowLimit, impl->writer.get(),
                               impl->writer ? nullptr : &impl->historyIndex};
        return new WorkerPool(impl->options, service, threads);
    };
    http.set_tcp_nodelay(true);
    http.set_keep_alive_max_count(100000);
    http.set_keep_alive_timeout(5);
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
                renderError(
                    res, 404,
                    QStringLiteral("Recurso não encontrado: %1 %2.")
                        .arg(QString::fromStdString(req.method), QString::fromStdString(req.path).left(200)));
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
    http.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
        renderError(res, 500, QStringLiteral("Erro interno do servidor."));
    });
    if (impl->options.logRequests) {
        http.set_logger([](const httplib::Request& req, const httplib::Response& res) {
            double ms = 0;
            if (tlsLog.started)
                ms =
                    std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - tlsLog.start)
                        .count();
            tlsLog.started = false;
            // One write per line so lines of concurrent requests do not interleave.
            const std::string line = req.method + ' ' + req.path + ' ' + std::to_string(res.status) + ' ' +
                                     std::to_string(ms).substr(0, std::to_string(ms).find('.') + 3) + "ms " +
                                     (tlsLog.outcome.empty() ? std::string("-") : tlsLog.outcome) + '\n';
            std::fwrite(line.data(), 1, line.size(), stderr);
        });
    }
}

AppServer::~AppServer() {
    stop();
}

void AppServer::bind() {
    if (impl_->bound)
        return;
    auto& http = impl_->http;
    const std::string& host = impl_->options.host;
    if (impl_->options.port == 0) {
        port_ = http.bind_to_any_port(host);
        if (port_ <= 0)
            port_ = 0;
    } else if (http.bind_to_port(host, impl_->options.port)) {
        port_ = impl_->options.port;
    }
    if (port_ == 0)
        throw std::runtime_error(
            QStringLiteral("Não foi possível escutar em %1:%2 (porta em uso ou endereço inválido).")
                .arg(QString::fromStdString(host))
                .arg(impl_->options.port)
                .toStdString());
    impl_->bound = true;
}

void AppServer::run() {
    bind();
    impl_->http.listen_after_bind();
}

void AppServer::start() {
    bind();
    thread_ = std::thread([this] { impl_->http.listen_after_bind(); });
    // Wait until the accept loop runs so that stop() right after start() is not lost.
    while (!impl_->http.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void AppServer::stop() {
    impl_->http.stop();
    if (thread_.joinable())
        thread_.join();
}

}  // namespace ctb::server
