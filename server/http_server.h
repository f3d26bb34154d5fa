#pragma once

#include <QString>

#include <cstddef>
#include <memory>
#include <string>
#include <thread>

namespace ctb::server {

struct ServerOptions {
    QString databaseUrl;             // SQLite path or postgresql://user@host:port/name
    std::string host = "127.0.0.1";  // loopback unless told otherwise
    int port = 0;                    // 0: any free port (see AppServer::port)
    int threads = 16;                // worker threads, each with its own database connection
    std::size_t maxBodyBytes = 32u * 1024u * 1024u;
    int rowLimit = 100000;  // getLancamentos refuses larger lists
    bool logRequests = true;
    // Write calls sharing transactions on one connection (see WriteQueue). Auto: on SQLite, whose
    // writers take turns anyway; off on PostgreSQL, whose backends commit in parallel and group their
    // log flushes themselves.
    enum class GroupCommit { Auto, On, Off } groupCommit = GroupCommit::Auto;
};

// Response header with the entry's row version; request header with the version a confirm or delete
// is based on; request header naming the operator of a delete.
inline constexpr const char* kVersionHeader = "X-Ctb-Versao";
inline constexpr const char* kOperatorHeader = "X-Ctb-Operador";
// Response header: microseconds the server spent on the call, decoding and encoding included.
inline constexpr const char* kServerTimeHeader = "X-Ctb-Tempo-Us";

// The application server over HTTP/1.1. Routes parse and render only; the rules are the service's.
class AppServer {
  public:
    explicit AppServer(ServerOptions options);
    ~AppServer();  // stops and joins
    AppServer(const AppServer&) = delete;
    AppServer& operator=(const AppServer&) = delete;

    // Binds the listening socket; throws std::runtime_error (Portuguese) when it cannot.
    void bind();
    [[nodiscard]] int port() const { return port_; }
    // Serves until stop() (blocking).
    void run();
    // bind() and run() on a background thread (tests, benchmarks).
    void start();
    // Stops accepting, finishes the requests in flight, closes the connections. Safe from any thread.
    void stop();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    int port_ = 0;
    std::thread thread_;
};

}  // namespace ctb::server
