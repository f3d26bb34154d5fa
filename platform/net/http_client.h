#pragma once

// Synchronous HTTP client for application-server calls (POST /rdm/<ServerName>/<method>).
//
// Error policy: nothing throws for transport or protocol failures; the result says what went wrong
// with a Portuguese message ready for the user. One client may be shared between threads (calls are
// serialised), but one client per thread is the intended use.

#include "platform/export.h"
#include "platform/net/wire.h"

#include <QString>

#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ctb::net {

// Header names compare without regard to case.
using Headers = std::vector<std::pair<std::string, std::string>>;

[[nodiscard]] CTB_PLATFORM_EXPORT std::string findHeader(const Headers& headers,
                                                         std::string_view name);  // "" when absent

struct CTB_PLATFORM_EXPORT ClientOptions {
    std::chrono::milliseconds connectTimeout{3000};
    std::chrono::milliseconds readTimeout{60000};
    std::chrono::milliseconds writeTimeout{60000};
};

struct CTB_PLATFORM_EXPORT CallResult {
    bool ok = false;               // the server answered {"ok": true, ...}
    wire::Value value;             // the result when ok
    QString error;                 // the server's message, or a transport/protocol failure
    int httpStatus = 0;            // 0 when no HTTP answer arrived
    bool transportFailed = false;  // no answer at all (refused, timed out, connection lost)
    Headers headers;               // response headers

    [[nodiscard]] std::string header(std::string_view name) const { return findHeader(headers, name); }
};

// host may carry a scheme: "https://name" speaks HTTPS (the certificate is verified), "http://name" or
// a bare name plain HTTP.
class CTB_PLATFORM_EXPORT HttpClient {
  public:
    HttpClient(std::string host, int port, ClientOptions options = {});
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // Points the client at another server; the kept-alive connection is dropped when it changes.
    void setEndpoint(std::string host, int port);
    [[nodiscard]] std::string host() const;
    [[nodiscard]] int port() const;
    // Drops the kept-alive connection (the next call connects again).
    void close();
    // Sent as "Authorization: Bearer TOKEN" on every call from now on (never on /health); empty: none.
    void setBearerToken(std::string token);
    // HTTPS: the certificate authorities to trust (a PEM file); empty: the system's (SSL_CERT_FILE is
    // honoured). Takes effect on the next connection.
    void setTrustedCertificates(std::string caFile);

    [[nodiscard]] CallResult call(std::string_view serverName, std::string_view method,
                                  const std::vector<wire::Value>& args, const Headers& requestHeaders = {});
    // GET /health; ok when the server answers {"ok": true}.
    [[nodiscard]] CallResult health();

  private:
    struct Impl;
    CallResult finish(int status, const std::string& body, Headers headers);
    [[nodiscard]] QString endpointText() const;

    mutable std::mutex mutex_;
    std::string host_;
    int port_;
    ClientOptions options_;
    std::string bearerToken_;
    std::string caFile_;
    std::unique_ptr<Impl> impl_;
};

}  // namespace ctb::net
