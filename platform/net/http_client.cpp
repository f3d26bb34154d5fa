#include "platform/net/http_client.h"

#include <httplib.h>

#include <algorithm>
#include <cctype>

namespace ctb::net {

namespace {

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// Names are plain identifiers with dots; anything else is escaped so it cannot change the path.
void appendPathSegment(std::string& out, std::string_view s) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (std::isalnum(c) || c == '.' || c == '_' || c == '-' || c == '~') {
            out.push_back(ch);
        } else {
            out.push_back('%');
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 15]);
        }
    }
}

QString seconds(std::chrono::milliseconds ms) {
    if (ms.count() % 1000 == 0)
        return QString::number(ms.count() / 1000);
    return QString::number(static_cast<double>(ms.count()) / 1000.0, 'f', 1).replace(u'.', u',');
}

}  // namespace

std::string findHeader(const Headers& headers, std::string_view name) {
    for (const auto& [k, v] : headers)
        if (sameName(k, name))
            return v;
    return {};
}

// "https://name" or "http://name" or "name", with the port, as the universal client takes it.
std::string schemeHostPort(const std::string& host, int port) {
    std::string rest = host;
    std::string scheme = "http://";
    for (const char* s : {"https://", "http://"}) {
        const std::string_view prefix(s);
        if (rest.size() >= prefix.size() &&
            sameName(std::string_view(rest).substr(0, prefix.size()), prefix)) {
            scheme = s;
            rest = rest.substr(prefix.size());
        }
    }
    return scheme + rest + ':' + std::to_string(port);
}

struct HttpClient::Impl {
    Impl(const std::string& host, int port, const ClientOptions& o, const std::string& caFile)
        : client(schemeHostPort(host, port)) {
        if (!caFile.empty())
            client.set_ca_cert_path(caFile);
        client.enable_server_certificate_verification(true);
        client.set_keep_alive(true);
        client.set_tcp_nodelay(true);  // without it every answer waits ~40 ms for delayed ACK
        client.set_connection_timeout(o.connectTimeout);
        client.set_read_timeout(o.readTimeout);
        client.set_write_timeout(o.writeTimeout);
    }
    httplib::Client client;
};

HttpClient::HttpClient(std::string host, int port, ClientOptions options)
    : host_(std::move(host)), port_(port), options_(options) {}

HttpClient::~HttpClient() = default;

void HttpClient::setEndpoint(std::string host, int port) {
    std::lock_guard lock(mutex_);
    if (host == host_ && port == port_)
        return;
    host_ = std::move(host);
    port_ = port;
    impl_.reset();
}

std::string HttpClient::host() const {
    std::lock_guard lock(mutex_);
    return host_;
}

int HttpClient::port() const {
    std::lock_guard lock(mutex_);
    return port_;
}

void HttpClient::close() {
    std::lock_guard lock(mutex_);
    impl_.reset();
}

void HttpClient::setBearerToken(std::string token) {
    std::lock_guard lock(mutex_);
    bearerToken_ = std::move(token);
}

void HttpClient::setTrustedCertificates(std::string caFile) {
    std::lock_guard lock(mutex_);
    caFile_ = std::move(caFile);
    impl_.reset();
}

QString HttpClient::endpointText() const {
    return QString::fromStdString(host_) + u':' + QString::number(port_);
}

CallResult HttpClient::call(std::string_view serverName, std::string_view method,
                            const std::vector<wire::Value>& args, const Headers& requestHeaders) {
    CallResult failed;
    std::string body;
    try {
        body = wire::encodeRequest(args);
    } catch (const wire::WireError& e) {
        failed.error =
            QStringLiteral("Não foi possível enviar os argumentos ao servidor de aplicação: ") + e.message();
        return failed;
    }
    std::string path = "/rdm/";
    appendPathSegment(path, serverName);
    path.push_back('/');
    appendPathSegment(path, method);

    httplib::Headers headers;
    for (const auto& [k, v] : requestHeaders)
        headers.emplace(k, v);

    std::lock_guard lock(mutex_);
    if (!bearerToken_.empty() && !headers.count("Authorization"))
        headers.emplace("Authorization", "Bearer " + bearerToken_);
    if (!impl_)
        impl_ = std::make_unique<Impl>(host_, port_, options_, caFile_);
    const auto started = std::chrono::steady_clock::now();
    httplib::Result res = impl_->client.Post(path.c_str(), headers, body, "application/json; charset=utf-8");
    if (!res) {
        const auto elapsed = std::chrono::steady_clock::now() - started;
        const QString where = endpointText();
        failed.transportFailed = true;
        switch (res.error()) {
            case httplib::Error::Connection:
            case httplib::Error::ConnectionTimeout:
            case httplib::Error::BindIPAddress:
                failed.error = QStringLiteral(
                                   "Não foi possível conectar ao servidor de aplicação %1. Verifique se "
                                   "ele está em execução e tente de novo.")
                                   .arg(where);
                break;
            case httplib::Error::Read:
                failed.error = elapsed >= options_.readTimeout - std::chrono::milliseconds(50)
                                   ? QStringLiteral(
                                         "O servidor de aplicação %1 não respondeu em %2 segundos. Tente de "
                                         "novo; se persistir, avise o responsável pelo servidor.")
                                         .arg(where, seconds(options_.readTimeout))
                                   : QStringLiteral(
                                         "A conexão com o servidor de aplicação %1 foi interrompida. Tente "
                                         "de novo.")
                                         .arg(where);
                break;
            case httplib::Error::SSLConnection:
            case httplib::Error::SSLServerVerification:
                failed.error =
                    QStringLiteral(
                        "Não foi possível estabelecer a conexão segura (HTTPS) com o servidor de "
                        "aplicação %1: o certificado do servidor não foi aceito. Verifique o endereço "
                        "e a autoridade certificadora configurada.")
                        .arg(where);
                break;
            case httplib::Error::Write:
                failed.error =
                    QStringLiteral(
                        "Não foi possível enviar o pedido ao servidor de aplicação %1. Tente de novo.")
                        .arg(where);
                break;
            default:
                failed.error = QStringLiteral(
                                   "Falha na comunicação com o servidor de aplicação %1 (%2). Tente "
                                   "de novo.")
                                   .arg(where, QString::fromStdString(httplib::to_string(res.error())));
        }
        impl_.reset();  // a broken connection is not reused
        return failed;
    }
    Headers out;
    out.reserve(res->headers.size());
    for (const auto& [k, v] : res->headers)
        out.emplace_back(k, v);
    return finish(res->status, res->body, std::move(out));
}

CallResult HttpClient::health() {
    std::lock_guard lock(mutex_);
    if (!impl_)
        impl_ = std::make_unique<Impl>(host_, port_, options_, caFile_);
    httplib::Result res = impl_->client.Get("/health");
    if (!res) {
        CallResult failed;
        failed.transportFailed = true;
        failed.error = QStringLiteral(
                           "Não foi possível conectar ao servidor de aplicação %1. Verifique se ele "
                           "está em execução e tente de novo.")
                           .arg(endpointText());
        impl_.reset();
        return failed;
    }
    Headers out;
    for (const auto& [k, v] : res->headers)
        out.emplace_back(k, v);
    return finish(res->status, res->body, std::move(out));
}

CallResult HttpClient::finish(int status, const std::string& body, Headers headers) {
    CallResult r;
    r.httpStatus = status;
    r.headers = std::move(headers);
    std::optional<wire::Answer> answer;
    QString problem;
    try {
        answer = wire::decodeAnswer(body);
    } catch (const wire::WireError& e) {
        // "Resposta inválida do servidor ...: <why>." reads once: the codec's own lead-in goes.
        problem = e.message();
        for (const QString& lead :
             {QStringLiteral("Resposta inválido: "), QStringLiteral("Resposta inválida: ")})
            if (problem.startsWith(lead))
                problem.remove(0, lead.size());
        while (problem.endsWith(u'.'))
            problem.chop(1);
    }
    if (status == 200) {
        if (!answer) {
            r.error = QStringLiteral(
                          "Resposta inválida do servidor de aplicação %1: %2. Confira se o endereço "
                          "configurado está correto.")
                          .arg(endpointText(), problem);
            return r;
        }
        r.ok = answer->ok;
        r.value = std::move(answer->result);
        r.error = std::move(answer->error);
        if (!r.ok && r.error.isEmpty())
            r.error = QStringLiteral(
                "O servidor de aplicação recusou o pedido sem dizer o motivo. Avise o "
                "responsável pelo servidor.");
        return r;
    }
    if (status == 401) {
        r.error =
            QStringLiteral(
                "O servidor de aplicação %1 recusou as credenciais (token ausente ou inválido). Verifique "
                "o arquivo de token informado ao sistema (--token-file ou a variável CTB_TOKEN_FILE) e "
                "entre novamente; se o problema continuar, peça ao administrador um token novo.")
                .arg(endpointText());
        return r;
    }
    // Refused requests (400, 403, 404, 500) still carry {"ok": false, "error": ...} when the server wrote
    // them.
    if (answer && !answer->ok && !answer->error.isEmpty()) {
        r.error = std::move(answer->error);
    } else {
        const QString what =
            status == 404 ? QStringLiteral("Confira se o endereço configurado está correto.")
            : status >= 500
                ? QStringLiteral("Tente de novo; se persistir, avise o responsável pelo servidor.")
                : QStringLiteral("Avise o responsável pelo servidor.");
        r.error = QStringLiteral("O servidor de aplicação %1 respondeu com o código HTTP %2. %3")
                      .arg(endpointText())
                      .arg(status)
                      .arg(what);
    }
    return r;
}

}  // namespace ctb::net
