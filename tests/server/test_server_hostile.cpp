// Ten thousand malformed or hostile requests against the server, once per backend: bad JSON, wrong
// types and counts, injection in every text argument and packet cell, huge and deeply nested bodies,
// bad UTF-8, wrong headers and broken HTTP. None may get a 5xx, crash the server or store anything,
// and the server still answers afterwards.

#include "tests/server/entry_packets.h"
#include "tests/server/server_fixture.h"

#include <httplib.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>

namespace ctb::test {
namespace {

const QDate kDay(2026, 6, 10);

struct MethodShape {
    const char* name;
    std::string args;  // one letter per argument: t text, d date, n number, p packet
};

const std::vector<MethodShape> kMethods = {
    {"getLancamentos", "tddtttnnttttttttttt"},
    {"getLancFiltrado", "tt"},
    {"getDebitos", "tt"},
    {"getCreditos", "tt"},
    {"GetLancCCusto", "tt"},
    {"getProximoNRLANCCONT", "tt"},
    {"SetLancamento", "ppt"},
    {"DeletaLancamento", "tt"},
    {"getEmprRelac", "tt"},
    {"ValidaPeriodoContabil", "td"},
    {"BuscaCodigoLote", "tt"},
    {"ValidaMapa", "tt"},
};

// Texts an attacker types into every field.
const std::vector<std::string> kHostileTexts = {
    "' OR '1'='1",
    "'; DROP TABLE LANCCONT; --",
    "T1'--",
    "1; DELETE FROM NUMLANC",
    "') UNION SELECT CDEMPRESA, NMEMPRESA FROM EMPRESA --",
    "%' OR 1=1 --",
    "'0001'); DROP TABLE LANCCCUSTO; --",
    "'T1','T2'",
    "\\",
    "\\'",
    "\"",
    std::string("\0", 1),
    std::string("T1\0' OR 1=1", 11),
    "\x01\x02\x1f",
    "\xe2\x80\xae",  // right-to-left override
    "\xf0\x9f\x92\xa3",
    "$(rm -rf /)",
    "<script>alert(1)</script>",
    "%00%27",
    "999999999999999999999999999999",
    "-1",
    "NaN",
    std::string(5000, 'A'),
    std::string(70000, '\''),
};

std::string jsonString(const std::string& utf8) {
    std::string out = "\"";
    for (const unsigned char c : utf8) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + '"';
}

std::string validArg(char type, std::size_t index, const std::string& method) {
    switch (type) {
        case 'd':
            return index == 2 ? "\"2026-12-31\"" : "\"2026-01-01\"";
        case 'n':
            return "0";
        case 'p': {
            // Lines of company ZZ (unknown) under a number never handed out: refused whatever the mutation.
            const QString company = QStringLiteral("ZZ"), number = QStringLiteral("202606999999");
            DataPacket p = index == 0 ? entryPacket(company, number, kDay, {{"1", "D", 10}, {"2", "C", 10}})
                                      : allocPacket(company, number, kDay, {{"1", "T101", "T501", -10}});
            return wire::encodePacket(p);
        }
        default:
            if (method == "getProximoNRLANCCONT")
                return index == 0 ? "\"ZZ\"" : "\"202612\"";
            if (method == "getLancamentos")
                return index == 0 ? "\"T1\"" : index == 18 ? "\"\"" : "\"T\"";
            return index == 0 ? "\"T1\"" : "\"202606000001\"";
    }
}

std::string body(const std::vector<std::string>& args) {
    std::string b = "{\"args\": [";
    for (std::size_t i = 0; i < args.size(); ++i)
        b += (i ? ", " : "") + args[i];
    return b + "]}";
}

std::vector<std::string> validArgs(const MethodShape& m) {
    std::vector<std::string> a;
    for (std::size_t i = 0; i < m.args.size(); ++i)
        a.push_back(validArg(m.args[i], i, m.name));
    return a;
}

class Hostile : public ServerTest {
  protected:
    struct Tally {
        long sent = 0, unanswered = 0;
        std::map<int, long> byStatus;
    };

    void expectSafe(int status, const std::string& what) {
        ++tally_.sent;
        ++tally_.byStatus[status];
        if (status >= 500 && ++reported_ <= 15)
            ADD_FAILURE() << "status " << status << " for " << what.substr(0, 300);
    }

    void post(const std::string& method, const std::string& b, const httplib::Headers& headers = {}) {
        const auto t0 = std::chrono::steady_clock::now();
        auto res =
            client().Post(("/rdm/CTB10000.rdmLancamento/" + method).c_str(), headers, b, "application/json");
        if (!res) {
            slow(t0, "unanswered " + method + " " + b);
            ++tally_.sent;
            ++tally_.unanswered;
            http_.reset();  // a closed connection: open a new one
            return;
        }
        expectSafe(res->status, method + " " + b);
        slow(t0, method + " " + b);
        if (res->status >= 400 && res->body.find("\"ok\": false") == std::string::npos && ++reported_ <= 15)
            ADD_FAILURE() << "no JSON error for " << method << ": " << res->body.substr(0, 200);
    }

    // Bytes straight onto a socket (broken HTTP); the write side is closed so the server never waits for
    // more.
    void raw(const std::string& bytes) {
        const auto t0 = std::chrono::steady_clock::now();
        struct Slow {
            Hostile* self;
            std::chrono::steady_clock::time_point t0;
            const std::string& what;
            ~Slow() { self->slow(t0, "raw " + what); }
        } slowGuard{this, t0, bytes};
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<std::uint16_t>(server_->port()));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        timeval tv{10, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
            ::close(fd);
            ADD_FAILURE() << "the server no longer accepts connections";
            return;
        }
        (void)::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        ::shutdown(fd, SHUT_WR);
        std::string got;
        char buf[4096];
        for (ssize_t n; (n = ::recv(fd, buf, sizeof buf, 0)) > 0;)
            got.append(buf, static_cast<std::size_t>(n));
        ::close(fd);
        if (got.rfind("HTTP/1.", 0) != 0 || got.size() < 12) {
            ++tally_.sent;
            ++tally_.unanswered;
            return;
        }
        // Every answer on the connection (pipelined requests get several).
        for (std::size_t at = 0; (at = got.find("HTTP/1.", at)) != std::string::npos; at += 8)
            if (at + 12 <= got.size() &&
                (at == 0 || got.compare(at - 2, 2, "\r\n") == 0 || got[at - 1] == '}'))
                expectSafe(std::atoi(got.c_str() + at + 9), "raw " + bytes.substr(0, 200));
    }

    void slow(std::chrono::steady_clock::time_point t0, const std::string& what) {
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        if (s > 0.5)
            std::fprintf(stderr, "slow (%.1f s): %s\n", s, what.substr(0, 120).c_str());
    }

    httplib::Client& client() {
        if (!http_) {
            http_ = std::make_unique<httplib::Client>("127.0.0.1", server_->port());
            http_->set_read_timeout(std::chrono::seconds(20));
            http_->set_keep_alive(true);
            http_->set_tcp_nodelay(true);  // without it every answer waits ~40 ms for a delayed ACK
        }
        return *http_;
    }

    long long stored() {
        return count(
            QStringLiteral("SELECT (SELECT COUNT(*) FROM LANCCONT) + (SELECT COUNT(*) FROM LANCCCUSTO) + "
                           "(SELECT COUNT(*) FROM LANCVERSAO) + (SELECT COUNT(*) FROM LANCAUDIT) + "
                           "(SELECT COUNT(*) FROM EMPRESA) + (SELECT SUM(ULTIMO) FROM NUMLANC)"));
    }

    std::unique_ptr<httplib::Client> http_;
    Tally tally_;
    int reported_ = 0;
};

TEST_P(Hostile, TenThousandRequestsGetNo5xxAndStoreNothing) {
    // One entry to aim at.
    ASSERT_TRUE(
        call("SetLancamento",
             {Value::fromPacket(entryPacket(QStringLiteral("T1"), QStringLiteral("202606000001"), kDay,
                                            {{"1", "D", 10}, {"2", "C", 10}})),
              Value::fromPacket(allocPacket(QStringLiteral("T1"), QStringLiteral("202606000001"), kDay, {})),
              str("OPER")})
            .ok);
    const long long before = stored();
    const long target =
        std::getenv("CTB_HOSTILE_REQUESTS") ? std::atol(std::getenv("CTB_HOSTILE_REQUESTS")) : 10000;
    std::mt19937 rng(20261209);
    const auto started = std::chrono::steady_clock::now();
    auto phase = [&](const char* name) {
        std::fprintf(stderr, "%-12s %6ld requests, %.1f s\n", name, tally_.sent,
                     std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    };
    auto below = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };

    // Injection in every text argument of every method.
    for (const MethodShape& m : kMethods)
        for (std::size_t i = 0; i < m.args.size(); ++i) {
            if (m.args[i] != 't')
                continue;
            for (const std::string& h : kHostileTexts) {
                auto a = validArgs(m);
                a[i] = jsonString(h);
                post(m.name, body(a));
            }
        }
    phase("injection");
    // ... and in every cell of a confirm's packets, and as its operator.
    const std::vector<int> lineTextFields = {0, 1, 2, 3, 9, 10, 11, 12, 14, 15, 16};
    for (int field : lineTextFields)
        for (const std::string& h : kHostileTexts) {
            DataPacket p = entryPacket(QStringLiteral("T1"), QStringLiteral("202606999999"), kDay,
                                       {{"1", "D", 10}, {"2", "C", 10}});
            const QString text = QString::fromUtf8(h.data(), static_cast<qsizetype>(h.size()));
            const int size = p.fields[static_cast<std::size_t>(field)].size;
            for (Row& r : p.rows)
                r.setText(field, size > 0 ? QStringView(text).left(size) : QStringView(text));
            post("SetLancamento", body({wire::encodePacket(p),
                                        wire::encodePacket(allocPacket(
                                            QStringLiteral("T1"), QStringLiteral("202606999999"), kDay, {})),
                                        jsonString(h)}));
        }
    phase("cells");
    // Wrong types and counts.
    const std::vector<std::string> wrongValues = {
        "null", "true",  "1.5",   "-1e308",          "\"texto\"",
        "[]",   "{}",    "[[1]]", "{\"fields\": 1}", "\"2026-02-30\"",
        "\"\"", "1e999", "-0",    "\"9999-99-99\"",  "{\"rows\": []}"};
    for (const MethodShape& m : kMethods) {
        for (std::size_t i = 0; i < m.args.size(); ++i)
            for (const std::string& w : wrongValues) {
                auto a = validArgs(m);
                a[i] = w;
                post(m.name, body(a));
            }
        for (std::size_t n : {std::size_t{0}, m.args.size() - 1, m.args.size() + 1, std::size_t{200}}) {
            std::vector<std::string> a = validArgs(m);
            a.resize(n, "\"T\"");
            post(m.name, body(a));
        }
    }
    phase("types");
    // Bad UTF-8 and escapes in texts.
    const std::vector<std::string> badUtf8 = {"\"\xff\"",
                                              "\"\xc0\x80\"",
                                              "\"\xed\xa0\x80\"",
                                              "\"\xe2\x82\"",
                                              "\"\\ud800\"",
                                              "\"\\udc00\\ud800\"",
                                              "\"\\u00\"",
                                              "\"\\x41\"",
                                              "\"\xf8\x88\x80\x80\x80\"",
                                              "\"\xf4\x90\x80\x80\"",
                                              "\"T1\x80\"",
                                              "\"\\u0000\""};
    for (const MethodShape& m : kMethods)
        for (std::size_t i = 0; i < m.args.size(); ++i)
            for (const std::string& u : badUtf8) {
                auto a = validArgs(m);
                a[i] = u;
                post(m.name, body(a));
            }
    phase("utf8");
    // Deep nesting and huge bodies.
    for (std::size_t depth : {65u, 100u, 1000u, 100000u, 1000000u}) {
        post("getEmprRelac", std::string(depth, '[') + std::string(depth, ']'));
        post("getEmprRelac", "{\"args\": " + std::string(depth, '[') + std::string(depth, ']') + "}");
        std::string objects;
        for (std::size_t i = 0; i < std::min<std::size_t>(depth, 200000); ++i)
            objects += "{\"a\": ";
        post("getEmprRelac", objects);
    }
    post("SetLancamento", std::string(5u * 1024u * 1024u, '['));  // over the limit: 413
    post("getEmprRelac", body({jsonString(std::string(1u << 20, 'x')), "\"T101\""}));
    {
        // A packet of a hundred thousand fields, and one of a hundred thousand empty rows.
        std::string fields = "{\"fields\": [";
        for (int i = 0; i < 100000; ++i)
            fields += (i ? ", " : "") + std::string("{\"name\": \"F") + std::to_string(i) +
                      "\", \"type\": \"float\"}";
        post("SetLancamento", body({fields + "], \"rows\": []}", validArg('p', 1, ""), "\"OPER\""}));
        std::string rows = R"({"fields": [{"name": "CDEMPRESA", "type": "string", "size": 2}], "rows": [)";
        for (int i = 0; i < 100000; ++i)
            rows += i ? ", [null]" : "[null]";
        post("SetLancamento", body({rows + "]}", validArg('p', 1, ""), "\"OPER\""}));
    }
    phase("huge");
    // Broken packets: field declarations and cells.
    const std::vector<std::string> badPackets = {
        R"({"fields": [{"name": "CDEMPRESA", "type": "blob"}], "rows": []})",
        R"({"fields": [{"name": "CDEMPRESA", "type": "string", "size": -1}], "rows": []})",
        R"({"fields": [{"name": "CDEMPRESA", "type": "string", "size": 1e12}], "rows": []})",
        R"({"fields": [{"name": "A", "type": "float"}, {"name": "A", "type": "float"}], "rows": [[1, 2]]})",
        R"({"fields": [{"name": "A", "type": "float"}], "rows": [[1, 2]]})",
        R"({"fields": [{"name": "A", "type": "float"}], "rows": [[]]})",
        R"({"fields": [{"name": "A", "type": "float"}], "rows": [["x"]]})",
        R"({"fields": [{"name": "A", "type": "date"}], "rows": [["2026-13-45"]]})",
        R"({"fields": [{"name": "A", "type": "string", "size": 2}], "rows": [["abc"]]})",
        R"({"fields": [{"name": "A", "type": "integer"}], "rows": [[1.5]]})",
        R"({"fields": [{"name": "A", "type": "integer"}], "rows": [[true]]})",
        R"({"fields": [{"name": "A", "type": "float"}], "rows": [[{"x": 1}]]})",
        R"({"fields": [{"name": "", "type": "float"}], "rows": []})",
        R"({"fields": [], "rows": [[]]})",
        R"({"rows": [[1]]})",
        R"({"fields": [{"name": "A", "type": "float"}]})",
        R"({"fields": [{"name": "A", "type": "float"}], "rows": [[1]], "extra": 1})",
        R"({"fields": {"name": "A"}, "rows": []})",
        R"({"fields": [{"name": "A", "type": "float", "size": 2, "x": 1}], "rows": []})",
    };
    for (const std::string& p : badPackets) {
        post("SetLancamento", body({p, validArg('p', 1, ""), "\"OPER\""}));
        post("SetLancamento", body({validArg('p', 0, ""), p, "\"OPER\""}));
    }
    phase("packets");
    // Wrong headers on well-formed calls.
    const std::vector<std::string> badVersions = {"-1",  "abc", "1e3",  "99999999999999999999999",
                                                  "1 2", "",    " ",    "0x10",
                                                  "+1",  "1.0", "\xff", std::string(10000, '9')};
    for (const std::string& v : badVersions) {
        post("SetLancamento", body(validArgs(kMethods[6])), {{"X-Ctb-Versao", v}});
        post("DeletaLancamento", body(validArgs(kMethods[7])), {{"X-Ctb-Versao", v}});
        post("DeletaLancamento", body(validArgs(kMethods[7])), {{"X-Ctb-Operador", v}});
        post("getEmprRelac", body(validArgs(kMethods[8])), {{"Authorization", v}});
    }
    for (const char* type : {"text/plain", "application/x-www-form-urlencoded",
                             "multipart/form-data; boundary=x", "application/json; charset=latin1", ""})
        post("getEmprRelac", body(validArgs(kMethods[8])), {{"Content-Type", type}});
    phase("headers");
    // Broken HTTP on raw sockets.
    const std::string okBody = body(validArgs(kMethods[8]));
    const std::string path = "/rdm/CTB10000.rdmLancamento/getEmprRelac";
    const std::vector<std::string> broken = {
        "GARBAGE\r\n\r\n",
        "POST\r\n\r\n",
        "POST " + path + "\r\n\r\n",
        "POST " + path + " HTTP/9.9\r\nHost: x\r\n\r\n",
        "PUT " + path + " HTTP/1.1\r\nHost: x\r\nContent-Length: 2\r\n\r\n{}",
        "DELETE " + path + " HTTP/1.1\r\nHost: x\r\n\r\n",
        "GET " + path + " HTTP/1.1\r\nHost: x\r\n\r\n",
        "POST /rdm/../../etc/passwd HTTP/1.1\r\nHost: x\r\nContent-Length: 2\r\n\r\n{}",
        "POST /rdm/CTB10000.rdmLancamento/getEmprRelac%00 HTTP/1.1\r\nHost: x\r\nContent-Length: 2\r\n\r\n{}",
        "POST /rdm/%ff%fe/%c0%af HTTP/1.1\r\nHost: x\r\nContent-Length: 2\r\n\r\n{}",
        "POST /rdm/a/b/c/d HTTP/1.1\r\nHost: x\r\nContent-Length: 2\r\n\r\n{}",
        "POST " + path + " HTTP/1.1\r\nHost: x\r\nContent-Length: abc\r\n\r\n" + okBody,
        "POST " + path + " HTTP/1.1\r\nHost: x\r\nContent-Length: -5\r\n\r\n" + okBody,
        "POST " + path + " HTTP/1.1\r\nHost: x\r\nContent-Length: 99999999999999999999\r\n\r\n" + okBody,
        "POST " + path + " HTTP/1.1\r\nHost: x\r\nContent-Length: 100000\r\n\r\n" + okBody,
        "POST " + path + " HTTP/1.1\r\nHost: x\r\nContent-Length: 5\r\n\r\n" + okBody,
        "POST " + path + " HTTP/1.1\r\nHost: x\r\nContent-Length: 2\r\nContent-Length: 200\r\n\r\n{}",
        "POST " + path + " HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n{}\r\n0\r\n\r\n",
        "POST " + path +
            " HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\nfffffffffffffff\r\n{}\r\n",
        "POST " + path +
            " HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\nContent-Length: "
            "3\r\n\r\n2\r\n{}\r\n0\r\n\r\n",
        "POST " + path + " HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: gzip\r\n\r\n{}",
        "POST " + path + " HTTP/1.1\r\nHost: x\r\nContent-Encoding: gzip\r\nContent-Length: 4\r\n\r\nabcd",
        "POST " + path + " HTTP/1.1\r\nHost: x\r\nContent-Encoding: br\r\nContent-Length: 4\r\n\r\nabcd",
        "POST " + path + " HTTP/1.1\r\nHeaderWithoutColon\r\nContent-Length: 2\r\n\r\n{}",
        "POST " + path + " HTTP/1.1\r\nX-Long: " + std::string(100000, 'a') + "\r\n\r\n",
        "POST " + path + " HTTP/1.1\r\n" + std::string(20000, 'H') + ": v\r\n\r\n",
        "POST " + path + " HTTP/1.1\r\nHost: x\r\nX-Ctb-Versao: \x01\x02\r\nContent-Length: 2\r\n\r\n{}",
        "POST " + path + " HTTP/1.1\nHost: x\nContent-Length: 2\n\n{}",
        "POST " + path + " HTTP/1.1\r\nHost: x\r\nExpect: 100-continue\r\nContent-Length: 2\r\n\r\n{}",
        "POST " + path + " HTTP/1.1\r\nHost: x\r\nContent-Length: 2\r\n\r\n{}GARBAGE\r\n\r\n",
        "POST " + path + " HTTP/1.1\r\nHost: x\r\nRange: bytes=0-1,1-2,2-3\r\nContent-Length: 2\r\n\r\n{}",
        std::string("\0\0\0\0", 4),
        "\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03",  // a TLS hello to the plain port
    };
    for (const std::string& b : broken)
        raw(b);
    // Many headers, and pipelined requests of which some are broken.
    {
        std::string many = "POST " + path + " HTTP/1.1\r\nHost: x\r\n";
        for (int i = 0; i < 2000; ++i)
            many += "X-H" + std::to_string(i) + ": v\r\n";
        raw(many + "Content-Length: 2\r\n\r\n{}");
        std::string piped;
        for (int i = 0; i < 50; ++i)
            piped += "POST " + path +
                     " HTTP/1.1\r\nHost: x\r\nContent-Length: " + std::to_string(okBody.size()) + "\r\n\r\n" +
                     (i % 7 == 3 ? std::string(okBody.size(), '{') : okBody);
        raw(piped);
    }
    phase("raw");
    // The rest: random damage to valid bodies of every method (cut, flipped, inserted, repeated bytes).
    std::vector<std::pair<std::string, std::string>> bases;
    for (const MethodShape& m : kMethods)
        bases.emplace_back(m.name, body(validArgs(m)));
    long raws = 0;
    while (tally_.sent < target) {
        const auto& [method, base] = bases[below(bases.size())];
        std::string b = base;
        const int damage = 1 + static_cast<int>(below(4));
        for (int d = 0; d < damage && !b.empty(); ++d) {
            const std::size_t at = below(b.size());
            switch (below(5)) {
                case 0:
                    b.resize(at);
                    break;
                case 1:
                    b[at] = static_cast<char>(rng());
                    break;
                case 2:
                    b.insert(at, 1, "{}[]\",:\\0e-.tfn\x80\xff"[below(18)]);
                    break;
                case 3:
                    b.insert(at, b.substr(at, below(64)));
                    break;
                default:
                    b.erase(at, below(16));
            }
        }
        if (++raws % 50 == 0)
            raw("POST /rdm/CTB10000.rdmLancamento/" + method + " HTTP/1.1\r\nHost: x\r\nContent-Length: " +
                std::to_string(b.size() + below(3)) + "\r\n\r\n" + b);
        else
            post(method, b);
    }

    phase("random");
    std::printf("hostile requests sent: %ld (%ld without an HTTP answer); by status:", tally_.sent,
                tally_.unanswered);
    for (const auto& [status, n] : tally_.byStatus)
        std::printf(" %d: %ld", status, n);
    std::printf("\n");
    EXPECT_GE(tally_.sent, target);
    EXPECT_EQ(stored(), before);
    EXPECT_TRUE(client_->health().ok);
    EXPECT_TRUE(call("getEmprRelac", {str("T1"), str("T101")}).value.toBool());
    EXPECT_EQ(call("getLancFiltrado", {str("T1"), str("202606000001")}).value.packet().rows.size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Backends, Hostile, ::testing::Values(std::string("sqlite"), std::string("postgres")),
                         backendName);

}  // namespace
}  // namespace ctb::test
