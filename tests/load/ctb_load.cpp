// Load and fault tool for ctb-server: prepares a database, drives confirms from several clients for a
// fixed time (surviving servers that die and come back), then checks the stored books from the database.
//
//   ctb-load prepare --db DB
//   ctb-load run --server HOST:PORT[,HOST:PORT...] --acks FILE [--clients 8] [--seconds 10]
//                [--token TOKEN] [--grace SECONDS]
//   ctb-load check --db DB --acks FILE
//   ctb-load free-port
//
// run appends one line per acknowledged confirm to FILE ("NUMBER LINES DEBIT_CENTS ALLOCATIONS"), and
// prints the figures. check exits non-zero at the first broken rule: an acknowledged entry missing or not
// whole, an entry half stored or unbalanced, allocations not adding up, a number used twice.

#include "db/schema.h"
#include "platform/net/http_client.h"
#include "platform/sql/database.h"
#include "platform/sql/error.h"
#include "server/packets.h"

#include <QCoreApplication>
#include <QDate>
#include <QFile>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTextStream>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

namespace {

using namespace ctb;
using wire::Value;
using Clock = std::chrono::steady_clock;

const char* kModule = "CTB10000.rdmLancamento";
const QString kCompany = QStringLiteral("L1");
const QString kMonth = QStringLiteral("202606");
const QDate kDay(2026, 6, 15);
const QString kDebit = QStringLiteral("7.1.01.001"), kCredit = QStringLiteral("7.2.01.001"),
              kManaged = QStringLiteral("7.3.01.001");  // every line on it carries allocations adding up
const QStringList kBranches = {QStringLiteral("L101"), QStringLiteral("L102")};
const QStringList kCentres = {QStringLiteral("L501"), QStringLiteral("L502")};

[[noreturn]] void die(const QString& text) {
    std::fprintf(stderr, "ctb-load: %s\n", text.toUtf8().constData());
    std::exit(1);
}

QString option(const QStringList& args, const char* name, const QString& fallback = {}) {
    const qsizetype i = args.indexOf(QLatin1String(name));
    if (i < 0 || i + 1 >= args.size())
        return fallback;
    return args[i + 1];
}

void exec(QSqlDatabase& db, const QString& sql) {
    QSqlQuery q(db);
    if (!q.exec(sql))
        die(sql + QStringLiteral(": ") + q.lastError().text());
}

int prepare(const QStringList& args) {
    const QString url = option(args, "--db");
    if (url.isEmpty())
        die(QStringLiteral("prepare needs --db"));
    auto database = sql::openDatabase(url, {}, sql::OpenMode::CreateIfMissing);
    QSqlDatabase db = database->handle();
    (void)db::createSchema(db);
    const QStringList rows = {
        QStringLiteral("INSERT INTO EMPRESA (CDEMPRESA, NMEMPRESA) VALUES ('L1', 'Empresa da carga')"),
        QStringLiteral(
            "INSERT INTO CONTOPECTBL (CDEMPRESA, IDCONTGERE, IDCONTCOME, IDMSMCONTADBCR, DTINICLANC, "
            "DTFINALANC) VALUES ('L1', 'S', 'N', 'N', '2000-01-01', '2099-12-31')"),
        QStringLiteral("INSERT INTO HISTPADR (CDHISTPADR, DSHISTPADR) VALUES ('L001', 'Carga')"),
        QStringLiteral("INSERT INTO CONTCTBL (CDCONTCTBL, CDCONTREDU, NMCONTCTBL, IDTIPOCONT, IDCONTCCUS, "
                       "IDTIPOCOME) VALUES ('7.1.01.001', '7001', 'Caixa da carga', 'A', NULL, NULL)"),
        QStringLiteral("INSERT INTO CONTCTBL (CDCONTCTBL, CDCONTREDU, NMCONTCTBL, IDTIPOCONT, IDCONTCCUS, "
                       "IDTIPOCOME) VALUES ('7.2.01.001', '7002', 'Receita da carga', 'A', NULL, NULL)"),
        QStringLiteral(
            "INSERT INTO CONTCTBL (CDCONTCTBL, CDCONTREDU, NMCONTCTBL, IDTIPOCONT, IDCONTCCUS, "
            "IDTIPOCOME) VALUES ('7.3.01.001', '7003', 'Despesa gerencial da carga', 'A', 'G', NULL)"),
    };
    for (const QString& r : rows)
        exec(db, r);
    for (const QString& b : kBranches) {
        exec(db, QStringLiteral("INSERT INTO FILIAL (CDFILIAL, NMFILIAL) VALUES ('%1', 'Filial %1')").arg(b));
        exec(db, QStringLiteral("INSERT INTO EMPRFILIAL (CDEMPRESA, CDFILIAL) VALUES ('L1', '%1')").arg(b));
    }
    for (const QString& c : kCentres) {
        exec(db, QStringLiteral("INSERT INTO CENTCUST (CDCENTCUST, NMCENTCUST) VALUES ('%1', 'Centro %1')")
                     .arg(c));
        for (const QString& b : kBranches)
            exec(db, QStringLiteral("INSERT INTO CENTCUSTFIL (CDFILIAL, CDCENTCUST) VALUES ('%1', '%2')")
                         .arg(b, c));
    }
    std::printf("prepared %s\n", database->url().display().toUtf8().constData());
    return 0;
}

// --- run ---

struct Line {
    QString seq, account, side;
    std::int64_t cents;  // signed: debit negative
};
struct Allocation {
    QString seq, branch, centre;
    std::int64_t cents;
};
struct Entry {
    std::vector<Line> lines;
    std::vector<Allocation> allocations;
    std::int64_t debitCents = 0;
};

Entry makeEntry(std::mt19937_64& rng) {
    Entry e;
    auto pick = [&](std::int64_t lo, std::int64_t hi) {
        return std::uniform_int_distribution<std::int64_t>(lo, hi)(rng);
    };
    const int debits = static_cast<int>(pick(1, 3)), credits = static_cast<int>(pick(1, 3));
    int seq = 0;
    for (int i = 0; i < debits; ++i) {
        const std::int64_t c = pick(100, 5'000'000);
        const bool managed = i == 0 && pick(0, 1) == 1;
        const QString s = QString::number(++seq);
        e.lines.push_back({s, managed ? kManaged : kDebit, QStringLiteral("D"), -c});
        e.debitCents += c;
        if (managed) {
            // Shares that add up to the line, each on its own branch and cost centre.
            const int n = static_cast<int>(pick(1, 3));
            std::int64_t left = c;
            for (int k = 0; k < n; ++k) {
                const std::int64_t share = k == n - 1 ? left : pick(1, left - (n - 1 - k));
                left -= share;
                e.allocations.push_back({s, kBranches[k % 2], kCentres[(k / 2) % 2], -share});
            }
        }
    }
    std::int64_t left = e.debitCents;
    for (int i = 0; i < credits; ++i) {
        const std::int64_t c = i == credits - 1 ? left : pick(1, left - (credits - 1 - i));
        left -= c;
        e.lines.push_back({QString::number(++seq), kCredit, QStringLiteral("C"), c});
    }
    return e;
}

std::vector<Value> confirmArgs(const QString& number, const Entry& e) {
    DataPacket lines{server::entryLineFields(), {}};
    for (const Line& l : e.lines) {
        Row r(static_cast<int>(lines.fields.size()));
        r.setText(0, kCompany);
        r.setText(1, number);
        r.setText(2, l.seq);
        r.setText(3, l.account);
        r.setMsecs(5, wire::msecsFromDate(kDay));
        const double v = static_cast<double>(l.cents) / 100.0;
        r.setNumber(l.cents < 0 ? 7 : 6, std::abs(v));
        r.setNumber(8, v);
        r.setText(9, QStringLiteral("CARGA"));
        r.setText(10, QStringLiteral("Lançamento da carga ") + number);
        r.setText(12, u"M");
        r.setText(14, l.side);
        r.setText(15, u"L001");
        lines.rows.push_back(std::move(r));
    }
    DataPacket allocations{server::allocationFields(), {}};
    for (const Allocation& a : e.allocations) {
        Row r(static_cast<int>(allocations.fields.size()));
        r.setText(0, kCompany);
        r.setText(1, number);
        r.setText(2, a.seq);
        r.setText(3, a.branch);
        r.setText(5, a.centre);
        r.setMsecs(7, wire::msecsFromDate(kDay));
        const double v = static_cast<double>(a.cents) / 100.0;
        r.setNumber(8, v);
        r.setNumber(v < 0 ? 10 : 9, std::abs(v));
        allocations.rows.push_back(std::move(r));
    }
    return {Value::fromPacket(std::move(lines)), Value::fromPacket(std::move(allocations)),
            Value::fromString(QStringLiteral("CARGA"))};
}

struct Endpoint {
    std::string host;
    int port = 0;
};

std::vector<Endpoint> endpoints(const QString& list) {
    std::vector<Endpoint> out;
    for (const QString& e : list.split(u',', Qt::SkipEmptyParts)) {
        const qsizetype colon = e.lastIndexOf(u':');
        if (colon <= 0)
            die(QStringLiteral("bad server %1").arg(e));
        out.push_back({e.left(colon).toStdString(), e.mid(colon + 1).toInt()});
    }
    if (out.empty())
        die(QStringLiteral("run needs --server HOST:PORT"));
    return out;
}

// An answer that says nothing about whether the call ran: retry.
bool unanswered(const net::CallResult& r) {
    return r.transportFailed || r.httpStatus >= 500;
}

int run(const QStringList& args) {
    const std::vector<Endpoint> servers = endpoints(option(args, "--server"));
    const QString acksPath = option(args, "--acks");
    if (acksPath.isEmpty())
        die(QStringLiteral("run needs --acks FILE"));
    const int clients = option(args, "--clients", QStringLiteral("8")).toInt();
    const double seconds = option(args, "--seconds", QStringLiteral("10")).toDouble();
    // How long past the end a call cut by a failure may still be retried.
    const double grace = option(args, "--grace", QStringLiteral("20")).toDouble();
    const std::string token = option(args, "--token").toStdString();
    net::Headers headers;
    if (!token.empty())
        headers.emplace_back("Authorization", "Bearer " + token);

    QFile acks(acksPath);
    if (!acks.open(QIODevice::Append | QIODevice::Text))
        die(QStringLiteral("cannot write %1").arg(acksPath));
    std::mutex acksMutex;
    std::atomic<long> acked{0}, retriedStored{0}, unansweredCalls{0}, refused{0}, lost{0};
    const auto t0 = Clock::now();
    const auto until = t0 + std::chrono::duration<double>(seconds);
    const auto hardStop = until + std::chrono::duration<double>(grace);

    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c) {
        threads.emplace_back([&, c] {
            std::mt19937_64 rng(0x5eed0000u + static_cast<unsigned>(c));
            std::size_t at = static_cast<std::size_t>(c) % servers.size();
            net::ClientOptions o;
            o.connectTimeout = std::chrono::milliseconds(500);
            o.readTimeout = std::chrono::milliseconds(15000);
            net::HttpClient client(servers[at].host, servers[at].port, o);
            auto failOver = [&] {
                ++unansweredCalls;
                at = (at + 1) % servers.size();
                client.setEndpoint(servers[at].host, servers[at].port);
                std::this_thread::sleep_for(std::chrono::milliseconds(20));  // a restart takes a moment
            };
            while (Clock::now() < until) {
                QString number;
                while (number.isEmpty() && Clock::now() < until) {
                    const auto r =
                        client.call(kModule, "getProximoNRLANCCONT",
                                    {Value::fromString(kCompany), Value::fromString(kMonth)}, headers);
                    if (r.ok)
                        number = r.value.toString();
                    else if (unanswered(r))
                        failOver();
                    else
                        die(QStringLiteral("getProximoNRLANCCONT refused: ") + r.error);
                }
                if (number.isEmpty())
                    break;
                const Entry e = makeEntry(rng);
                const auto callArgs = confirmArgs(number, e);
                bool failedBefore = false;
                for (;;) {
                    if (Clock::now() >= hardStop) {
                        ++lost;
                        break;
                    }
                    const auto r = client.call(kModule, "SetLancamento", callArgs, headers);
                    if (r.ok || (failedBefore && r.error.startsWith(QStringLiteral("Já existe")))) {
                        // A retry refused as existing: the call cut by the failure had committed.
                        (r.ok ? acked : retriedStored)++;
                        const QString line = QStringLiteral("%1 %2 %3 %4\n")
                                                 .arg(number)
                                                 .arg(e.lines.size())
                                                 .arg(e.debitCents)
                                                 .arg(e.allocations.size());
                        std::lock_guard lock(acksMutex);
                        acks.write(line.toUtf8());
                        acks.flush();
                        break;
                    }
                    if (unanswered(r)) {
                        failedBefore = true;
                        failOver();
                        continue;
                    }
                    if (++refused == 1)
                        std::fprintf(stderr, "ctb-load: refused: %s\n", r.error.toUtf8().constData());
                    break;
                }
            }
        });
    }
    for (auto& t : threads)
        t.join();
    const double elapsed = std::chrono::duration<double>(Clock::now() - t0).count();
    std::printf(
        "confirms acknowledged: %ld in %.1f s by %d clients: %.0f confirms/s; stored by a call cut short "
        "(found on retry): %ld; unanswered calls retried: %ld; refused: %ld; given up: %ld\n",
        acked.load(), elapsed, clients, static_cast<double>(acked.load()) / elapsed, retriedStored.load(),
        unansweredCalls.load(), refused.load(), lost.load());
    return refused.load() == 0 ? 0 : 1;
}

// --- check ---

std::int64_t cents(const QVariant& v) {
    return std::llround(v.toDouble() * 100.0);
}

QSqlQuery query(QSqlDatabase& db, const QString& sql) {
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(sql))
        die(sql + QStringLiteral(": ") + q.lastError().text());
    return q;
}

int check(const QStringList& args) {
    auto database = sql::openDatabase(option(args, "--db"));
    QSqlDatabase db = database->handle();
    QFile acksFile(option(args, "--acks"));
    if (!acksFile.open(QIODevice::ReadOnly | QIODevice::Text))
        die(QStringLiteral("cannot read the acknowledgements"));
    struct Ack {
        long long lines, debitCents, allocations;
    };
    std::map<QString, Ack> acks;
    int problems = 0;
    auto fail = [&](const QString& text) {
        if (++problems <= 20)
            std::fprintf(stderr, "ctb-load check: %s\n", text.toUtf8().constData());
    };
    QTextStream in(&acksFile);
    while (!in.atEnd()) {
        const QStringList f = in.readLine().split(u' ', Qt::SkipEmptyParts);
        if (f.size() != 4) {
            fail(QStringLiteral("a torn acknowledgement line"));
            continue;
        }
        if (acks.count(f[0]))
            fail(QStringLiteral("number %1 acknowledged twice").arg(f[0]));
        acks[f[0]] = {f[1].toLongLong(), f[2].toLongLong(), f[3].toLongLong()};
    }

    // Every stored entry: lines, balance, sides, debit total.
    struct Stored {
        long long lines = 0, allocations = 0, audits = 0, auditLines = -1, version = 0;
        std::int64_t sum = 0, debit = 0;
        bool hasDebit = false, hasCredit = false;
    };
    std::map<QString, Stored> stored;
    {
        QSqlQuery q =
            query(db, QStringLiteral("SELECT NRLANCCONT, VRLANCAMENT, IDTIPOLANC FROM LANCCONT WHERE "
                                     "CDEMPRESA = 'L1'"));
        while (q.next()) {
            Stored& s = stored[q.value(0).toString()];
            const std::int64_t c = cents(q.value(1));
            ++s.lines;
            s.sum += c;
            if (q.value(2).toString() == QLatin1String("D")) {
                s.hasDebit = true;
                s.debit -= c;
            } else {
                s.hasCredit = true;
            }
        }
    }
    {
        QSqlQuery q = query(
            db, QStringLiteral("SELECT NRLANCCONT, COUNT(*) FROM LANCCCUSTO WHERE CDEMPRESA = 'L1' GROUP BY "
                               "NRLANCCONT"));
        while (q.next()) {
            if (!stored.count(q.value(0).toString()))
                fail(QStringLiteral("allocations of %1 without lines").arg(q.value(0).toString()));
            stored[q.value(0).toString()].allocations = q.value(1).toLongLong();
        }
    }
    {
        QSqlQuery q =
            query(db, QStringLiteral("SELECT NRLANCCONT, NRLINHAS, ACAO FROM LANCAUDIT WHERE CDEMPRESA = "
                                     "'L1'"));
        while (q.next()) {
            auto it = stored.find(q.value(0).toString());
            if (it == stored.end()) {
                fail(QStringLiteral("audit row of %1, which has no lines").arg(q.value(0).toString()));
                continue;
            }
            ++it->second.audits;
            it->second.auditLines = q.value(1).toLongLong();
            if (q.value(2).toString() != QLatin1String("INCLUSAO"))
                fail(QStringLiteral("%1 was changed (%2)").arg(it->first, q.value(2).toString()));
        }
    }
    {
        QSqlQuery q =
            query(db, QStringLiteral("SELECT NRLANCCONT, VERSAO FROM LANCVERSAO WHERE CDEMPRESA = 'L1'"));
        while (q.next()) {
            auto it = stored.find(q.value(0).toString());
            if (it != stored.end())
                it->second.version = q.value(1).toLongLong();
        }
    }
    long long lines = 0, allocations = 0;
    for (const auto& [number, s] : stored) {
        lines += s.lines;
        allocations += s.allocations;
        if (s.sum != 0)
            fail(QStringLiteral("%1 does not balance (%2 cents)").arg(number).arg(s.sum));
        if (!s.hasDebit || !s.hasCredit)
            fail(QStringLiteral("%1 lacks a side").arg(number));
        // Stored once and whole: one inclusion, written with the lines in their transaction.
        if (s.audits != 1 || s.auditLines != s.lines)
            fail(QStringLiteral("%1: %2 audit rows for %3 lines (audit says %4)")
                     .arg(number)
                     .arg(s.audits)
                     .arg(s.lines)
                     .arg(s.auditLines));
        if (s.version != 1)
            fail(QStringLiteral("%1 at version %2").arg(number).arg(s.version));
    }
    // Every line on the managed account: its shares add up to it.
    {
        QSqlQuery q = query(
            db, QStringLiteral(
                    "SELECT L.NRLANCCONT, L.NRSEQLANC, L.VRLANCAMENT, SUM(A.VRLANCCUST), COUNT(A.CDFILIAL) "
                    "FROM LANCCONT L LEFT JOIN LANCCCUSTO A ON A.CDEMPRESA = L.CDEMPRESA AND "
                    "A.NRLANCCONT = L.NRLANCCONT AND A.NRSEQLANC = L.NRSEQLANC WHERE L.CDEMPRESA = 'L1' "
                    "AND L.CDCONTCTBL = '7.3.01.001' GROUP BY L.NRLANCCONT, L.NRSEQLANC, L.VRLANCAMENT"));
        while (q.next())
            if (q.value(4).toLongLong() == 0 || cents(q.value(2)) != cents(q.value(3)))
                fail(QStringLiteral("%1/%2: allocations do not add up")
                         .arg(q.value(0).toString(), q.value(1).toString()));
    }
    // Acknowledged means stored, whole, as sent.
    for (const auto& [number, a] : acks) {
        auto it = stored.find(number);
        if (it == stored.end()) {
            fail(QStringLiteral("acknowledged %1 is missing").arg(number));
            continue;
        }
        if (it->second.lines != a.lines || it->second.debit != a.debitCents ||
            it->second.allocations != a.allocations)
            fail(QStringLiteral("%1 differs from what was acknowledged").arg(number));
    }
    // The counter stands above every stored number.
    {
        QSqlQuery q =
            query(db, QStringLiteral("SELECT ULTIMO FROM NUMLANC WHERE CDEMPRESA = 'L1' AND ANOMES = "
                                     "'202606'"));
        const long long last = q.next() ? q.value(0).toLongLong() : 0;
        for (const auto& [number, s] : stored)
            if (number.mid(6).toLongLong() > last)
                fail(QStringLiteral("%1 is above the counter %2").arg(number).arg(last));
    }
    std::printf("entries checked: %zu (%zu acknowledged), lines %lld, allocations %lld: %s\n", stored.size(),
                acks.size(), lines, allocations, problems ? "FAILED" : "every rule holds");
    return problems ? 1 : 0;
}

// A port the system gives on 127.0.0.1 (for programs that cannot take port 0 themselves).
int freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0)
        die(QStringLiteral("no free port"));
    std::printf("%d\n", ntohs(a.sin_port));
    ::close(fd);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    try {
        if (args.value(0) == QLatin1String("prepare"))
            return prepare(args);
        if (args.value(0) == QLatin1String("run"))
            return run(args);
        if (args.value(0) == QLatin1String("check"))
            return check(args);
        if (args.value(0) == QLatin1String("free-port"))
            return freePort();
    } catch (const std::exception& e) {
        die(QString::fromUtf8(e.what()));
    }
    std::fprintf(stderr, "usage: ctb-load prepare|run|check ... (see the source)\n");
    return 2;
}
