// Application-server benchmarks through HTTP, on a database made by `ctb-server --init-db DB --demo-size N`.
//
//   bench_server --db DB [--server HOST:PORT] [--company 01] [--iterations 200] [--seconds 3]
//                [--only list|open|confirm|number] [--clients N]
//
// Without --server the server runs in this process on a free port. Prints p50/p99 per call: end to end
// (client) and inside the server (its X-Ctb-Tempo-Us header, JSON included).

#include "platform/net/http_client.h"
#include "platform/sql/database.h"
#include "server/http_server.h"
#include "server/packets.h"

#include <QCoreApplication>
#include <QDate>
#include <QSqlQuery>
#include <QStringList>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace ctb;
using wire::Value;
using Clock = std::chrono::steady_clock;

const char* kModule = "CTB10000.rdmLancamento";

struct Samples {
    std::vector<double> e2e, server;
    void print(const char* name, std::size_t rows) {
        auto pct = [](std::vector<double> v, double p) {
            if (v.empty())
                return 0.0;
            std::sort(v.begin(), v.end());
            return v[std::min(v.size() - 1, static_cast<std::size_t>(p * static_cast<double>(v.size())))];
        };
        std::printf(
            "%-44s rows %6zu  end-to-end p50 %7.2f ms p99 %7.2f ms   server p50 %7.2f ms p99 %7.2f ms\n",
            name, rows, pct(e2e, 0.5), pct(e2e, 0.99), pct(server, 0.5), pct(server, 0.99));
        std::fflush(stdout);
    }
};

net::CallResult timed(net::HttpClient& c, const char* method, const std::vector<Value>& args, Samples& s,
                      const net::Headers& h = {}) {
    const auto t0 = Clock::now();
    auto r = c.call(kModule, method, args, h);
    s.e2e.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    const std::string us = r.header(server::kServerTimeHeader);
    if (!us.empty())
        s.server.push_back(std::stod(us) / 1000.0);
    if (!r.ok)
        std::fprintf(stderr, "%s: %s\n", method, r.error.toStdString().c_str());
    return r;
}

Value str(const QString& s) {
    return Value::fromString(s);
}

std::vector<Value> criteria(const QString& company, QDate from, QDate to) {
    std::vector<Value> a = {str(company),         Value::fromDate(from),    Value::fromDate(to),
                            str(QString()),       str(QStringLiteral("T")), str(QStringLiteral("T")),
                            Value::fromNumber(0), Value::fromNumber(0)};
    for (int i = 0; i < 10; ++i)
        a.push_back(str(QStringLiteral("T")));
    a.push_back(str(QString()));
    return a;
}

std::size_t rowsOf(const net::CallResult& r) {
    if (!r.ok || !r.value.isArray() || !r.value.array()[0].isPacket())
        return 0;
    return r.value.array()[0].packet().rows.size();
}

QVariant scalar(QSqlDatabase db, const QString& sql) {
    QSqlQuery q(db);
    if (!q.exec(sql) || !q.next())
        return {};
    return q.value(0);
}

DataPacket entryPacket(const QString& company, const QString& number, QDate day, int lines,
                       const QString& debitAcc, const QString& creditAcc) {
    DataPacket p{server::entryLineFields(), {}};
    for (int i = 0; i < lines; ++i) {
        Row r(static_cast<int>(p.fields.size()));
        const bool debit = i < lines / 2;
        const double v = 10.0 + (i % (lines / 2));
        r.setText(0, company);
        r.setText(1, number);
        r.setText(2, QString::number(i + 1));
        r.setText(3, debit ? debitAcc : creditAcc);
        r.setMsecs(5, wire::msecsFromDate(day));
        r.setNumber(debit ? 7 : 6, v);
        r.setNumber(8, debit ? -v : v);
        r.setText(9, QStringLiteral("BENCH"));
        r.setText(10, QStringLiteral("Lançamento de teste de desempenho"));
        r.setText(12, u"M");
        r.setText(14, debit ? u"D" : u"C");
        p.rows.push_back(std::move(r));
    }
    return p;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    QString dbUrl, serverAddr, company = QStringLiteral("01");
    int iterations = 200;
    double seconds = 3;
    QString only;  // list, open, confirm or number: one group of measures
    std::vector<int> confirmClients = {1, 8};
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == u"--db")
            dbUrl = args[i + 1];
        else if (args[i] == u"--server")
            serverAddr = args[i + 1];
        else if (args[i] == u"--company")
            company = args[i + 1];
        else if (args[i] == u"--iterations")
            iterations = args[i + 1].toInt();
        else if (args[i] == u"--seconds")
            seconds = args[i + 1].toDouble();
        else if (args[i] == u"--only")
            only = args[i + 1];
        else if (args[i] == u"--clients")
            confirmClients = {args[i + 1].toInt()};
    }
    if (dbUrl.isEmpty()) {
        std::fprintf(stderr, "uso: bench_server --db BANCO [--server HOST:PORTA] [--company 01]\n");
        return 2;
    }
    auto database = sql::openDatabase(dbUrl);
    QSqlDatabase db = database->handle();

    std::unique_ptr<server::AppServer> local;
    std::string host = "127.0.0.1";
    int port = 0;
    if (serverAddr.isEmpty()) {
        server::ServerOptions o;
        o.databaseUrl = dbUrl;
        o.logRequests = false;
        const auto t0 = Clock::now();
        local = std::make_unique<server::AppServer>(o);
        local->start();
        port = local->port();
        net::HttpClient probe(host, port);
        (void)probe.health();
        std::printf("in-process server ready in %.1f ms\n",
                    std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    } else {
        host = serverAddr.section(u':', 0, 0).toStdString();
        port = serverAddr.section(u':', 1, 1).toInt();
    }
    std::printf("backend %s, lines stored %lld\n",
                database->backend() == sql::Backend::PostgreSQL ? "postgresql" : "sqlite",
                scalar(db, QStringLiteral("SELECT COUNT(*) FROM LANCCONT")).toLongLong());
    net::HttpClient client(host, port);
    auto wants = [&](const QString& group) { return only.isEmpty() || only == group; };

    // A recent full month of the company and an account range of about 1,000 lines in it.
    const QDate today = QDate::currentDate();
    const QDate monthStart = QDate(today.year(), today.month(), 1).addMonths(-1);
    const QDate monthEnd = monthStart.addMonths(1).addDays(-1);
    if (wants(QStringLiteral("list"))) {
        QString fromAcc, toAcc;
        {
            QSqlQuery q(db);
            q.prepare(QStringLiteral(
                "SELECT CDCONTCTBL, COUNT(*) FROM LANCCONT WHERE CDEMPRESA = :E AND DTLANCCONT >= :A "
                "AND DTLANCCONT <= :B GROUP BY CDCONTCTBL ORDER BY CDCONTCTBL"));
            q.bindValue(QStringLiteral(":E"), company);
            q.bindValue(QStringLiteral(":A"), monthStart.toString(Qt::ISODate));
            q.bindValue(QStringLiteral(":B"), monthEnd.toString(Qt::ISODate));
            q.exec();
            // The run of consecutive accounts whose lines come closest to 1,000.
            std::vector<std::pair<QString, long long>> accounts;
            while (q.next())
                accounts.emplace_back(q.value(0).toString(), q.value(1).toLongLong());
            long long best = -1;
            for (std::size_t i = 0; i < accounts.size(); ++i) {
                long long sum = 0;
                for (std::size_t j = i; j < accounts.size() && sum < 1000; ++j) {
                    sum += accounts[j].second;
                    if (best < 0 || std::llabs(sum - 1000) < std::llabs(best - 1000)) {
                        best = sum;
                        fromAcc = accounts[i].first;
                        toAcc = accounts[j].first;
                    }
                }
            }
        }
        {
            Samples s;
            auto a = criteria(company, monthStart, monthEnd);
            a[3] = str(fromAcc);
            a[4] = a[5] = str(toAcc);
            std::size_t rows = 0;
            for (int i = 0; i < iterations; ++i)
                rows = rowsOf(timed(client, "getLancamentos", a, s));
            s.print("list: one month, account range", rows);
        }
        {
            Samples s;
            const QString hist =
                scalar(db, QStringLiteral("SELECT DSHISTLANC FROM LANCCONT WHERE CDEMPRESA = "
                                          "'%1' AND DSHISTLANC LIKE 'PAGAMENTO NF%%' "
                                          "ORDER BY NRLANCCONT DESC LIMIT 1")
                               .arg(company))
                    .toString();
            // A document-number piece: rare, so the answer stays small and the search dominates.
            const QString needle = hist.mid(13, 6).toLower();
            auto a = criteria(company, today.addYears(-3), today);
            a[9] = str(needle);
            std::size_t rows = 0;
            for (int i = 0; i < iterations; ++i)
                rows = rowsOf(timed(client, "getLancamentos", a, s));
            s.print(qPrintable(QStringLiteral("list: history text \"%1\", 3 years").arg(needle)), rows);
        }
        {
            Samples s;
            QStringList clients;
            QSqlQuery q(db);
            q.exec(QStringLiteral(
                       "SELECT DISTINCT CDCONTCOME FROM LANCCONT WHERE CDEMPRESA = '%1' AND IDLANCCOME = 'C' "
                       "ORDER BY CDCONTCOME LIMIT 3")
                       .arg(company));
            while (q.next())
                clients << u'\'' + q.value(0).toString().replace(QStringLiteral("'"), QStringLiteral("''")) +
                               u'\'';
            auto a = criteria(company, monthStart, monthEnd);
            a[15] = str(clients.join(u','));
            a[16] = str(QStringLiteral("_C_"));
            std::size_t rows = 0;
            for (int i = 0; i < iterations; ++i)
                rows = rowsOf(timed(client, "getLancamentos", a, s));
            s.print("list: client list (3 clients), one month", rows);
        }
    }

    // Opening an entry: the four calls of the screen.
    const QString debitAcc =
        scalar(db, QStringLiteral("SELECT MIN(CDCONTCTBL) FROM CONTCTBL WHERE IDTIPOCONT = 'A' AND "
                                  "IDCONTCCUS IS NULL AND IDTIPOCOME IS NULL"))
            .toString();
    const QString creditAcc =
        scalar(db, QStringLiteral("SELECT MAX(CDCONTCTBL) FROM CONTCTBL WHERE IDTIPOCONT = 'A' AND "
                                  "IDCONTCCUS IS NULL AND IDTIPOCOME IS NULL"))
            .toString();
    const QString ym = today.toString(QStringLiteral("yyyyMM"));
    auto open = [&](const QString& number, const char* name, int times) {
        Samples s;
        std::size_t rows = 0;
        for (int i = 0; i < times; ++i) {
            const auto t0 = Clock::now();
            Samples inner;
            auto r = timed(client, "getLancFiltrado", {str(company), str(number)}, inner);
            rows = r.ok ? r.value.packet().rows.size() : 0;
            (void)timed(client, "getDebitos", {str(company), str(number)}, inner);
            (void)timed(client, "getCreditos", {str(company), str(number)}, inner);
            (void)timed(client, "GetLancCCusto", {str(company), str(number)}, inner);
            s.e2e.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
            double srv = 0;
            for (double v : inner.server)
                srv += v;
            s.server.push_back(srv);
        }
        s.print(name, rows);
    };
    if (wants(QStringLiteral("open"))) {
        open(
            scalar(db,
                   QStringLiteral("SELECT MAX(NRLANCCONT) FROM LANCCONT WHERE CDEMPRESA = '%1'").arg(company))
                .toString(),
            "open entry (4 calls), a generated entry", iterations);
        {
            const QString nr =
                client.call(kModule, "getProximoNRLANCCONT", {str(company), str(ym)}).value.toString();
            const auto r =
                client.call(kModule, "SetLancamento",
                            {Value::fromPacket(entryPacket(company, nr, today, 1000, debitAcc, creditAcc)),
                             Value::fromPacket(DataPacket{server::allocationFields(), {}}),
                             str(QStringLiteral("BENCH"))});
            if (!r.ok)
                std::fprintf(stderr, "1,000-line entry refused: %s\n", r.error.toStdString().c_str());
            open(nr, "open entry (4 calls), 1,000 lines", std::max(10, iterations / 10));
        }
    }

    // Confirms: a new 4-line entry per call (number, then store), with 1 and 8 clients. A new entry's number
    // must be one the server handed out: each client gets a month of its own in a far year, counted as
    // handed out here, so the figure is the store alone (numbering is measured below).
    int round = 0;
    for (int clients : confirmClients) {
        ++round;
        for (int c = 0; c < clients; ++c) {
            QSqlQuery q(db);
            q.prepare(
                QStringLiteral("INSERT INTO NUMLANC (CDEMPRESA, ANOMES, ULTIMO) VALUES (:E, :M, 999999)"));
            q.bindValue(QStringLiteral(":E"), company);
            q.bindValue(QStringLiteral(":M"),
                        QStringLiteral("%1%2").arg(2090 + round).arg(c % 12 + 1, 2, 10, QLatin1Char('0')));
            (void)q.exec();  // already there from an earlier run: fine
        }
        if (!wants(QStringLiteral("confirm")))
            break;
        std::atomic<long> stored{0}, failed{0};
        std::vector<std::vector<double>> lat(static_cast<std::size_t>(clients)),
            srv(static_cast<std::size_t>(clients));
        const auto until = Clock::now() + std::chrono::duration<double>(seconds);
        std::vector<std::thread> threads;
        const auto t0 = Clock::now();
        for (int c = 0; c < clients; ++c) {
            threads.emplace_back([&, c] {
                net::HttpClient hc(host, port);
                int seq = 0;
                while (Clock::now() < until) {
                    const QString nr = QStringLiteral("%1%2%3")
                                           .arg(2090 + round)
                                           .arg(c % 12 + 1, 2, 10, QLatin1Char('0'))
                                           .arg(++seq + (c / 12) * 500000, 6, 10, QLatin1Char('0'));
                    const auto s0 = Clock::now();
                    const auto r =
                        hc.call(kModule, "SetLancamento",
                                {Value::fromPacket(entryPacket(company, nr, today, 4, debitAcc, creditAcc)),
                                 Value::fromPacket(DataPacket{server::allocationFields(), {}}),
                                 str(QStringLiteral("BENCH"))});
                    lat[static_cast<std::size_t>(c)].push_back(
                        std::chrono::duration<double, std::milli>(Clock::now() - s0).count());
                    if (const std::string us = r.header(server::kServerTimeHeader); !us.empty())
                        srv[static_cast<std::size_t>(c)].push_back(std::stod(us) / 1000.0);
                    if (r.ok)
                        ++stored;
                    else if (++failed == 1)
                        std::fprintf(stderr, "SetLancamento: %s\n", r.error.toStdString().c_str());
                }
            });
        }
        for (auto& t : threads)
            t.join();
        const double secs = std::chrono::duration<double>(Clock::now() - t0).count();
        Samples s;
        for (auto& v : lat)
            s.e2e.insert(s.e2e.end(), v.begin(), v.end());
        for (auto& v : srv)
            s.server.insert(s.server.end(), v.begin(), v.end());
        std::printf(
            "SetLancamento, %d client(s): %.0f entries/s (4-line entries, store only; %ld stored, %ld "
            "failed)\n",
            clients, static_cast<double>(stored) / secs, stored.load(), failed.load());
        s.print("  SetLancamento latency (4 lines)", 4);
    }

    if (wants(QStringLiteral("number"))) {
        Samples s;
        for (int i = 0; i < iterations; ++i)
            (void)timed(client, "getProximoNRLANCCONT", {str(company), str(ym)}, s);
        s.print("getProximoNRLANCCONT", 1);
    }

    if (local) {
        FILE* f = std::fopen("/proc/self/status", "r");
        char line[256];
        while (f && std::fgets(line, sizeof line, f))
            if (std::string(line).rfind("VmRSS:", 0) == 0)
                std::printf("resident memory (bench + in-process server): %s", line);
        if (f)
            std::fclose(f);
    }
    return 0;
}
