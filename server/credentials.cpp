#include "server/credentials.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include <arpa/inet.h>
#include <openssl/crypto.h>
#include <openssl/sha.h>
#include <sys/stat.h>

#include <cstring>
#include <stdexcept>

namespace ctb::server {

namespace {

[[noreturn]] void refuse(const QString& text) {
    throw std::runtime_error(text.toStdString());
}

}  // namespace

TokenTable TokenTable::load(const QString& path) {
    const QByteArray local = path.toLocal8Bit();
    struct stat st {};
    if (::stat(local.constData(), &st) != 0)
        refuse(QStringLiteral("Arquivo de tokens %1 não encontrado.").arg(path));
    if (!S_ISREG(st.st_mode))
        refuse(QStringLiteral("%1 não é um arquivo de tokens (não é um arquivo comum).").arg(path));
    if ((st.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        refuse(QStringLiteral("O arquivo de tokens %1 pode ser lido ou alterado por outros usuários "
                              "(permissões %2). Restrinja-o ao dono: chmod 600 %1")
                   .arg(path)
                   .arg(st.st_mode & 0777, 4, 8, QLatin1Char('0')));
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        refuse(QStringLiteral("Não foi possível ler o arquivo de tokens %1: %2.").arg(path, f.errorString()));
    return fromText(QString::fromUtf8(f.readAll()), path);
}

TokenTable TokenTable::fromText(const QString& text, const QString& origin) {
    TokenTable table;
    QSet<QString> users;
    const QStringList lines = text.split(u'\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString line = lines[n].trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList parts = line.split(QRegularExpression(QStringLiteral("\\s+")));
        // Never echo the line: it holds a token.
        if (parts.size() != 2)
            refuse(QStringLiteral("Arquivo de tokens %1, linha %2: esperado \"USUÁRIO TOKEN\".")
                       .arg(origin)
                       .arg(n + 1));
        const QString& user = parts[0];
        const QByteArray token = parts[1].toUtf8();
        if (token.size() < kMinTokenLength)
            refuse(QStringLiteral("Arquivo de tokens %1, linha %2: o token de %3 tem menos de %4 caracteres.")
                       .arg(origin)
                       .arg(n + 1)
                       .arg(user)
                       .arg(kMinTokenLength));
        if (users.contains(user.toUpper()))
            refuse(QStringLiteral("Arquivo de tokens %1, linha %2: o usuário %3 aparece mais de uma vez.")
                       .arg(origin)
                       .arg(n + 1)
                       .arg(user));
        users.insert(user.toUpper());
        Entry e;
        e.user = user;
        SHA256(reinterpret_cast<const unsigned char*>(token.constData()),
               static_cast<std::size_t>(token.size()), e.digest.data());
        table.entries_.push_back(std::move(e));
    }
    if (table.entries_.empty())
        refuse(QStringLiteral("O arquivo de tokens %1 não tem nenhum usuário.").arg(origin));
    return table;
}

std::optional<QString> TokenTable::userFor(std::string_view token) const {
    if (token.empty())
        return std::nullopt;
    // Digests have one length whatever the token's, and every entry is compared.
    Digest d{};
    SHA256(reinterpret_cast<const unsigned char*>(token.data()), token.size(), d.data());
    const Entry* found = nullptr;
    for (const Entry& e : entries_) {
        const bool same = CRYPTO_memcmp(e.digest.data(), d.data(), d.size()) == 0;
        if (same)
            found = &e;
    }
    if (!found)
        return std::nullopt;
    return found->user;
}

std::string_view bearerToken(std::string_view value) {
    constexpr std::string_view kScheme = "bearer ";
    while (!value.empty() && value.front() == ' ')
        value.remove_prefix(1);
    if (value.size() <= kScheme.size())
        return {};
    for (std::size_t i = 0; i < kScheme.size(); ++i) {
        char c = value[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != kScheme[i])
            return {};
    }
    value.remove_prefix(kScheme.size());
    while (!value.empty() && value.front() == ' ')
        value.remove_prefix(1);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t'))
        value.remove_suffix(1);
    return value;
}

bool isLoopbackAddress(const std::string& host) {
    if (host == "localhost")
        return true;
    in_addr v4{};
    if (::inet_pton(AF_INET, host.c_str(), &v4) == 1)
        return (ntohl(v4.s_addr) >> 24) == 127;
    std::string h = host;
    if (h.size() > 2 && h.front() == '[' && h.back() == ']')
        h = h.substr(1, h.size() - 2);
    in6_addr v6{};
    if (::inet_pton(AF_INET6, h.c_str(), &v6) == 1) {
        static const in6_addr loopback = IN6ADDR_LOOPBACK_INIT;
        return std::memcmp(&v6, &loopback, sizeof v6) == 0;
    }
    return false;
}

QString maskSecrets(const QString& text) {
    static const QRegularExpression url(QStringLiteral("(postgres(?:ql)?://[^:/@\\s]*):[^@\\s]*@"),
                                        QRegularExpression::CaseInsensitiveOption);
    QString out = text;
    out.replace(url, QStringLiteral("\\1:***@"));
    return out;
}

}  // namespace ctb::server
