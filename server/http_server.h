#pragma once

#include "server/credentials.h"

#include <QString>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <thread>

namespace ctb::server {

struct ServerOptions {
    QString databaseUrl;             // SQLite path or postgresql://user@host:port/name
    std::string host = "127.0.0.1";  // loopback unless told otherwise
    int port = 0;                    // 0: any free port (see AppServer::port)
    int threads = 16;                // database workers, each with its own database connection
    // Threads reading and writing client connections: grown on demand up to this many, so idle
    // keep-alive connections wait on their own threads and never on a database worker.
    int maxConnections = 1024;
    int keepAliveSeconds = 5;  // an idle connection is closed after this long
    // The largest legitimate request, a 10,000-line entry with 600-character histories of multi-byte
    // characters, encodes to about 17 MB (docs/http-api.md): the limit is about twice that.
    std::size_t maxBodyBytes = kDefaultMaxBodyBytes;
    int rowLimit = 100000;  // getLancamentos refuses larger lists
    bool logRequests = true;
    // Write calls sharing transactions on one connection (see WriteQueue). Auto: on SQLite, whose
    // writers take turns anyway; off on PostgreSQL, whose backends commit in parallel and group their
    // log flushes themselves.
    enum class GroupCommit { Auto, On, Off } groupCommit = GroupCommit::Auto;
    // With tokens every /rdm/ call needs "Authorization: Bearer TOKEN" (401 otherwise) and acts as the
    // token's user; without, the embedded default: no credentials, loopback only.
    std::optional<TokenTable> tokens;
    // Both set: HTTPS with this certificate and key (PEM files).
    std::string tlsCert, tlsKey;

    static constexpr std::size_t kDefaultMaxBodyBytes = 32u * 1024u * 1024u;
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

    // Throws std::runtime_error (Portuguese) for an address beyond this machine without tokens, or a
    // certificate without its key.
    static void checkOptions(const ServerOptions& options);
    // Binds the listening socket; throws std::runtime_error (Portuguese) when it cannot, and when the
    // address reaches beyond this machine without tokens or the certificate cannot be loaded.
    void bind();
    [[nodiscard]] int port() const { return port_; }
    [[nodiscard]] bool tls() const;  // serves HTTPS
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
