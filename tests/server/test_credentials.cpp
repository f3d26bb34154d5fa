// Tokens file, bearer header, loopback rule and log masking, without a database.

#include "server/credentials.h"
#include "server/http_server.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace ctb::server {
namespace {

QString write(QTemporaryDir& dir, const char* name, const char* text, mode_t mode) {
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
    f.close();
    EXPECT_EQ(::chmod(path.toLocal8Bit().constData(), mode), 0);
    return path;
}

std::string refusal(const QString& path) {
    try {
        (void)TokenTable::load(path);
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return {};
}

TEST(TokensFile, ReadableByItsOwnerOnly) {
    QTemporaryDir dir;
    const char* text = "ANA token-da-ana-0123456789\n";
    for (const mode_t mode : {0644, 0640, 0604, 0660, 0602}) {
        const std::string why = refusal(write(dir, "tokens", text, mode));
        EXPECT_NE(why.find("chmod 600"), std::string::npos) << std::oct << mode << ": " << why;
    }
    for (const mode_t mode : {0600, 0400}) {
        const QString path = write(dir, "tokens", text, mode);
        EXPECT_EQ(refusal(path), "") << std::oct << mode;
        ::chmod(path.toLocal8Bit().constData(), 0600);
    }
    EXPECT_NE(refusal(dir.filePath(QStringLiteral("absent"))).find("não encontrado"), std::string::npos);
    EXPECT_NE(refusal(dir.path()).find("não é um arquivo"), std::string::npos);
}

struct BadFile {
    const char* name;
    const char* text;
    const char* says;
};

TEST(TokensFile, MalformedFilesAreRefusedWithoutEchoingTokens) {
    const std::vector<BadFile> cases = {
        {"empty", "", "nenhum usuário"},
        {"comments only", "# nothing\n\n", "nenhum usuário"},
        {"user without token", "ANA\n", "linha 1"},
        {"three words", "ANA token-da-ana-0123456789 extra\n", "linha 1"},
        {"short token", "ANA curto\n", "menos de 16"},
        {"user twice", "ANA token-da-ana-0123456789\nana token-da-ana-9999999999\n", "mais de uma vez"},
    };
    for (const BadFile& c : cases) {
        std::string why;
        try {
            (void)TokenTable::fromText(QString::fromUtf8(c.text), QStringLiteral("f"));
        } catch (const std::runtime_error& e) {
            why = e.what();
        }
        EXPECT_NE(why.find(c.says), std::string::npos) << c.name << ": " << why;
        EXPECT_EQ(why.find("token-da-ana"), std::string::npos) << c.name;
    }
}

TEST(TokensFile, EachTokenNamesItsUser) {
    const TokenTable t = TokenTable::fromText(
        QStringLiteral("  # equipe\nANA   token-da-ana-0123456789\n\nBETO\ttoken-do-beto-9876543210  \n"),
        QStringLiteral("f"));
    EXPECT_EQ(t.size(), 2u);
    EXPECT_EQ(t.userFor("token-da-ana-0123456789"), QStringLiteral("ANA"));
    EXPECT_EQ(t.userFor("token-do-beto-9876543210"), QStringLiteral("BETO"));
    for (const char* wrong : {"", "token-da-ana-012345678", "token-da-ana-01234567890",
                              "TOKEN-DA-ANA-0123456789", "ANA", "token-da-ana-0123456789 "})
        EXPECT_FALSE(t.userFor(wrong).has_value()) << wrong;
}

TEST(BearerHeader, OnlyTheBearerSchemeGivesAToken) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"Bearer abc", "abc"},     {"bearer abc", "abc"},
        {"BEARER   abc  ", "abc"}, {"  Bearer abc", "abc"},
        {"Basic abc", ""},         {"Bearer", ""},
        {"Bearer ", ""},           {"abc", ""},
        {"Bearerabc", ""},         {"", ""},
    };
    for (const auto& [header, token] : cases)
        EXPECT_EQ(bearerToken(header), token) << header;
}

TEST(ListenAddress, BeyondLoopbackOnlyWithTokens) {
    for (const char* host : {"127.0.0.1", "127.1.2.3", "::1", "[::1]", "localhost"})
        EXPECT_TRUE(isLoopbackAddress(host)) << host;
    for (const char* host : {"0.0.0.0", "192.168.0.10", "10.1.1.1", "::", "example", "128.0.0.1"})
        EXPECT_FALSE(isLoopbackAddress(host)) << host;

    ServerOptions o;
    o.host = "0.0.0.0";
    try {
        AppServer::checkOptions(o);
        ADD_FAILURE() << "0.0.0.0 without tokens was accepted";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("--tokens"), std::string::npos) << e.what();
    }
    o.tokens = TokenTable::fromText(QStringLiteral("ANA token-da-ana-0123456789"), QStringLiteral("f"));
    EXPECT_NO_THROW(AppServer::checkOptions(o));
    o.tlsCert = "cert.pem";
    EXPECT_THROW(AppServer::checkOptions(o), std::runtime_error);  // a certificate without its key
}

TEST(LogMasking, PasswordsOfDatabaseUrlsNeverReachTheLog) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"postgresql://ctb:segredo@db:5432/ctb", "postgresql://ctb:***@db:5432/ctb"},
        {"banco postgres://u:p%40ss@h/n, pronto", "banco postgres://u:***@h/n, pronto"},
        {"POSTGRESQL://u:x@h/n", "POSTGRESQL://u:***@h/n"},
        {"postgresql://ctb@db:5432/ctb", "postgresql://ctb@db:5432/ctb"},
        {"/var/lib/ctb/ctb.sqlite", "/var/lib/ctb/ctb.sqlite"},
        {"a postgresql://a:1@h/x and postgresql://b:2@h/y",
         "a postgresql://a:***@h/x and postgresql://b:***@h/y"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(maskSecrets(QString::fromUtf8(in)), QString::fromUtf8(out)) << in;
}

}  // namespace
}  // namespace ctb::server
