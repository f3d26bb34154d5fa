// The application server over real HTTP on a throwaway database, once per backend.

#include "server/packets.h"
#include "tests/server/entry_packets.h"
#include "tests/server/server_fixture.h"

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <set>
#include <thread>

namespace ctb::test {
namespace {

using wire::Value;

const QDate kDay(2026, 6, 10);

// The nineteen arguments with nothing restricted but company and dates.
std::vector<Value> allCriteria(const char* company = "T1", QDate from = QDate(2026, 1, 1),
                               QDate to = QDate(2026, 12, 31)) {
    std::vector<Value> a = {str(company), Value::fromDate(from), Value::fromDate(to), str(""), str("T"),
                            str("T"),     Value::fromNumber(0),  Value::fromNumber(0)};
    for (int i = 0; i < 10; ++i)
        a.push_back(str("T"));
    a.push_back(str(""));
    return a;
}

enum Arg {
    kAccountFrom = 3,
    kAccountBound = 4,
    kAccountBound2 = 5,
    kValueFrom = 6,
    kValueTo = 7,
    kValueFlag = 8,
    kHistText = 9,
    kDocument = 10,
    kCentres = 11,
    kBranches = 12,
    kBanks = 13,
    kSuppliers = 14,
    kClients = 15,
    kKinds = 16,
    kHistList = 17,
    kEntry = 18
};

class Http : public ServerTest {
  protected:
    // A new entry (no version sent).
    void store(const char* number, const std::vector<LineSpec>& lines,
               const std::vector<AllocSpec>& allocs = {}, const char* document = "DOC1", QDate day = kDay,
               const char* company = "T1") {
        storeAt("", number, lines, allocs, document, day, company);
    }
    // A change of the entry loaded at that version ("" sends none).
    void storeAt(const char* version, const char* number, const std::vector<LineSpec>& lines,
                 const std::vector<AllocSpec>& allocs = {}, const char* document = "DOC1", QDate day = kDay,
                 const char* company = "T1") {
        net::Headers headers;
        if (*version)
            headers.emplace_back(server::kVersionHeader, version);
        const auto r =
            call("SetLancamento",
                 {Value::fromPacket(entryPacket(QString::fromLatin1(company), QString::fromLatin1(number),
                                                day, lines, document)),
                  Value::fromPacket(
                      allocPacket(QString::fromLatin1(company), QString::fromLatin1(number), day, allocs)),
                  str("OPER")},
                 headers);
        ASSERT_TRUE(r.ok) << number << ": " << r.error.toStdString();
    }
    // A small journal the list criteria pick from.
    void storeJournal() {
        store("202606000001", {{"1", "D", 100.00, "8.1.01.001", "Pagamento de aluguel"},
                               {"2", "C", 100.00, "8.2.01.001", "Pagamento de aluguel", "F", "F001"}});
        store("202606000002",
              {{"1", "D", 250.50, "8.1.01.002", "Venda a prazo", "C", "C001"},
               {"2", "C", 250.50, "8.1.01.001", "Venda a prazo", "", "", "T002"}},
              {}, "NF-77");
        store("202606000003",
              {{"1", "D", 40.00, "8.3.01.001", "Despesa com 100% de rateio"},
               {"2", "C", 40.00, "8.4.01.001", "Banco", "B", "B-1"}},
              {{"1", "T101", "T501", -30.00}, {"1", "T102", "T502", -10.00}});
        store("202607000001", {{"1", "D", 5.00}, {"2", "C", 5.00, "8.2.01.001"}}, {}, "DOC1",
              QDate(2026, 7, 1));
    }
    std::vector<QString> listed(std::vector<Value> args) {
        const auto r = call("getLancamentos", std::move(args));
        EXPECT_TRUE(r.ok) << r.error.toStdString();
        std::vector<QString> keys;
        if (!r.ok || !r.value.isArray() || r.value.array().size() != 2)
            return keys;
        const Value& first = r.value.array()[0];
        if (!first.isPacket()) {
            ADD_FAILURE() << "refused: " << first.toString().toStdString();
            return keys;
        }
        for (const Row& row : first.packet().rows)
            keys.push_back(row.text(1) + u'/' + row.text(2));
        return keys;
    }
    QString refusedText(std::vector<Value> args) {
        const auto r = call("getLancamentos", std::move(args));
        EXPECT_TRUE(r.ok) << r.error.toStdString();
        if (!r.ok || !r.value.isArray() || r.value.array().empty())
            return {};
        return r.value.array()[0].isString() ? r.value.array()[0].toString() : QString();
    }
    long long lines(const char* number) {
        return count(QStringLiteral("SELECT COUNT(*) FROM LANCCONT WHERE NRLANCCONT = '%1'")
                         .arg(QLatin1String(number)));
    }
};

using K = std::vector<QString>;
QString k(const char* s) {
    return QString::fromLatin1(s);
}

// --- transport ---

TEST_P(Http, HealthAnswersOk) {
    const auto r = client_->health();
    EXPECT_TRUE(r.ok) << r.error.toStdString();
}

TEST_P(Http, UnknownModuleOrMethodIs404) {
    EXPECT_EQ(call("getNada", {}).httpStatus, 404);
    EXPECT_EQ(call("getLancFiltrado", {str("T1"), str("1")}, {}, "CTB99999.rdmOutro").httpStatus, 404);
    // SetLancamento is not a method of the assessment-map module.
    EXPECT_EQ(call("SetLancamento", {}, {}, kMaps).httpStatus, 404);
}

TEST_P(Http, MalformedRequestsAre400AndStoreNothing) {
    // Wrong argument count, wrong type, a text where a packet goes, a bad date.
    EXPECT_EQ(call("getEmprRelac", {str("T1")}).httpStatus, 400);
    EXPECT_EQ(call("getEmprRelac", {str("T1"), Value::fromNumber(101)}).httpStatus, 400);
    EXPECT_EQ(call("ValidaPeriodoContabil", {str("T1"), str("10/06/2026")}).httpStatus, 400);
    EXPECT_EQ(call("SetLancamento", {str("x"), str("y"), str("OPER")}).httpStatus, 400);
    auto args = allCriteria();
    args.pop_back();
    EXPECT_EQ(call("getLancamentos", args).httpStatus, 400);
    // Bad JSON through a raw request.
    httplib::Client raw("127.0.0.1", server_->port());
    auto res = raw.Post("/rdm/CTB10000.rdmLancamento/getEmprRelac", "{\"args\": [", "application/json");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 400);
    EXPECT_NE(res->body.find("\"ok\": false"), std::string::npos);
    res = raw.Post("/rdm/CTB10000.rdmLancamento/getEmprRelac", "{\"args\": [\"T1\", \"T101\"], \"extra\": 1}",
                   "application/json");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 400);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LANCCONT")), 0);
}

TEST_P(Http, BodyOverTheLimitIs413) {
    httplib::Client raw("127.0.0.1", server_->port());
    const std::string big(5u * 1024u * 1024u, ' ');
    auto res = raw.Post("/rdm/CTB10000.rdmLancamento/SetLancamento", big, "application/json");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 413);
    // The server keeps serving.
    EXPECT_TRUE(client_->health().ok);
}

// --- small methods ---

TEST_P(Http, EmprRelacPeriodLotAndMap) {
    EXPECT_TRUE(call("getEmprRelac", {str("T1"), str("T101")}).value.toBool());
    EXPECT_FALSE(call("getEmprRelac", {str("T1"), str("T199")}).value.toBool());
    EXPECT_FALSE(call("getEmprRelac", {str("T1"), str("' OR '1'='1")}).value.toBool());

    EXPECT_TRUE(call("ValidaPeriodoContabil", {str("T1"), date(2026, 1, 1)}).value.toBool());
    EXPECT_TRUE(call("ValidaPeriodoContabil", {str("T1"), date(2026, 12, 31)}).value.toBool());
    EXPECT_FALSE(call("ValidaPeriodoContabil", {str("T1"), date(2025, 12, 31)}).value.toBool());
    EXPECT_FALSE(call("ValidaPeriodoContabil", {str("T1"), date(2027, 1, 1)}).value.toBool());
    // No accounting options: no closed period.
    EXPECT_TRUE(call("ValidaPeriodoContabil", {str("T2"), date(1999, 1, 1)}).value.toBool());

    exec(QStringLiteral(
        "INSERT INTO LOTELANC (CDEMPRESA, NRLANCCONT, CDLOTE) VALUES ('T1', '202606000009', '77')"));
    EXPECT_EQ(call("BuscaCodigoLote", {str("T1"), str("202606000009")}).value.toString(),
              QStringLiteral("77"));
    EXPECT_EQ(call("BuscaCodigoLote", {str("T1"), str("202606000008")}).value.toString(), QString());

    auto r = call("ValidaMapa", {str("T1"), str("202606000005")}, {}, kMaps);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.value.array()[0].toString(), QStringLiteral("OK"));
    EXPECT_TRUE(r.value.array()[1].packet().rows.empty());
    EXPECT_EQ(r.value.array()[1].packet().fields, server::mapaApuracFields());
    exec(
        QStringLiteral("INSERT INTO MAPAAPURLANC (CDEMPRESA, NRLANCCONT, ANO, MES, IMPOSTO) "
                       "VALUES ('T1', '202606000005', '2005', '01', 'ICMS')"));
    r = call("ValidaMapa", {str("T1"), str("202606000005")}, {}, kMaps);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.value.array()[0].toString(), QStringLiteral("ERRO"));
    const Row& map = r.value.array()[1].packet().rows.at(0);
    EXPECT_EQ(map.text(0), QStringLiteral("01"));
    EXPECT_EQ(map.text(1), QStringLiteral("2005"));
    EXPECT_EQ(map.text(2), QStringLiteral("ICMS"));
}

// --- numbering ---

TEST_P(Http, NumbersFollowThePerCompanyMonthSequence) {
    EXPECT_EQ(call("getProximoNRLANCCONT", {str("T1"), str("202612")}).value.toString(),
              QStringLiteral("202612000001"));
    EXPECT_EQ(call("getProximoNRLANCCONT", {str("T1"), str("202612")}).value.toString(),
              QStringLiteral("202612000002"));
    EXPECT_EQ(call("getProximoNRLANCCONT", {str("T2"), str("202612")}).value.toString(),
              QStringLiteral("202612000001"));
    EXPECT_EQ(call("getProximoNRLANCCONT", {str("T1"), str("202701")}).value.toString(),
              QStringLiteral("202701000001"));
    // A month whose entries other modules wrote continues after them.
    exec(QStringLiteral(
        "INSERT INTO LANCCONT (CDEMPRESA, NRLANCCONT, NRSEQLANC, CDCONTCTBL, DTLANCCONT, VRLANCAMENT, "
        "IDTIPOLANC) VALUES ('T1', '202605000041', '1', '8.1.01.001', '2026-05-02', -1, 'D')"));
    EXPECT_EQ(call("getProximoNRLANCCONT", {str("T1"), str("202605")}).value.toString(),
              QStringLiteral("202605000042"));
}

TEST_P(Http, MalformedMonthOrUnknownCompanyIsRefused) {
    for (const char* bad : {"", "2026", "202613", "2026-12", "abcdef", "202612'--"}) {
        const auto r = call("getProximoNRLANCCONT", {str("T1"), str(bad)});
        EXPECT_FALSE(r.ok) << bad;
        EXPECT_EQ(r.httpStatus, 200) << bad;
    }
    EXPECT_FALSE(call("getProximoNRLANCCONT", {str("ZZ"), str("202612")}).ok);
    // Only the fixture's months are counted.
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM NUMLANC WHERE ULTIMO <> 990000")), 0);
}

TEST_P(Http, NumbersAreUniqueUnderEightConcurrentClients) {
    constexpr int kClients = 8, kEach = 25;
    std::vector<std::vector<QString>> got(kClients);
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int c = 0; c < kClients; ++c) {
        threads.emplace_back([&, c] {
            net::HttpClient client("127.0.0.1", server_->port());
            for (int i = 0; i < kEach; ++i) {
                const auto r = client.call(kModule, "getProximoNRLANCCONT", {str("T1"), str("202611")});
                if (!r.ok)
                    ++failures;
                else
                    got[c].push_back(r.value.toString());
            }
        });
    }
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(failures.load(), 0);
    std::set<QString> all;
    for (const auto& v : got)
        all.insert(v.begin(), v.end());
    EXPECT_EQ(all.size(), static_cast<std::size_t>(kClients * kEach));
    EXPECT_EQ(*all.rbegin(), QStringLiteral("202611%1").arg(kClients * kEach, 6, 10, QLatin1Char('0')));
}

TEST_P(Http, NumbersAreUniqueAcrossTwoServerInstances) {
    server::ServerOptions o;
    o.databaseUrl = url_;
    o.threads = 4;
    o.logRequests = false;
    server::AppServer second(o);
    second.start();
    std::vector<QString> a, b;
    std::thread ta([&] {
        net::HttpClient c("127.0.0.1", server_->port());
        for (int i = 0; i < 30; ++i)
            a.push_back(c.call(kModule, "getProximoNRLANCCONT", {str("T1"), str("202610")}).value.toString());
    });
    std::thread tb([&] {
        net::HttpClient c("127.0.0.1", second.port());
        for (int i = 0; i < 30; ++i)
            b.push_back(c.call(kModule, "getProximoNRLANCCONT", {str("T1"), str("202610")}).value.toString());
    });
    ta.join();
    tb.join();
    std::set<QString> all(a.begin(), a.end());
    all.insert(b.begin(), b.end());
    EXPECT_EQ(all.size(), 60u);
    EXPECT_FALSE(all.contains(QString()));
}

// --- storing and loading ---

TEST_P(Http, StoredEntryLoadsBackWithNamesSidesAndVersion) {
    store("202606000001",
          {{"1", "D", 150.00, "8.3.01.001", "Aluguel de junho"}, {"2", "C", 150.00, "8.1.01.001"}},
          {{"1", "T101", "T501", -100.00}, {"1", "T102", "T502", -50.00}});

    auto r = call("getLancFiltrado", {str("T1"), str("202606000001")});
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.header(server::kVersionHeader), "1");
    const DataPacket& all = r.value.packet();
    EXPECT_EQ(all.fields, server::entryLineFields());
    ASSERT_EQ(all.rows.size(), 2u);
    const Row& d = all.rows[0];
    EXPECT_EQ(d.text(2), QStringLiteral("1"));
    EXPECT_EQ(d.text(4), QStringLiteral("Despesa gerencial"));
    EXPECT_EQ(d.text(13), QStringLiteral("9004"));
    EXPECT_EQ(wire::dateFromMsecs(d.msecs(5)), kDay);
    EXPECT_DOUBLE_EQ(d.number(7), 150.00);
    EXPECT_TRUE(d.isNull(6));
    EXPECT_DOUBLE_EQ(d.number(8), -150.00);
    EXPECT_EQ(d.text(10), QStringLiteral("Aluguel de junho"));
    EXPECT_DOUBLE_EQ(all.rows[1].number(6), 150.00);

    r = call("getDebitos", {str("T1"), str("202606000001")});
    ASSERT_EQ(r.value.packet().rows.size(), 1u);
    EXPECT_EQ(r.value.packet().rows[0].text(14), QStringLiteral("D"));
    r = call("getCreditos", {str("T1"), str("202606000001")});
    ASSERT_EQ(r.value.packet().rows.size(), 1u);
    EXPECT_EQ(r.value.packet().rows[0].text(14), QStringLiteral("C"));

    r = call("GetLancCCusto", {str("T1"), str("202606000001")});
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.header(server::kVersionHeader), "1");
    const DataPacket& al = r.value.packet();
    EXPECT_EQ(al.fields, server::allocationFields());
    ASSERT_EQ(al.rows.size(), 2u);
    EXPECT_EQ(al.rows[0].text(3), QStringLiteral("T101"));
    EXPECT_EQ(al.rows[0].text(4), QStringLiteral("Filial Um"));
    EXPECT_EQ(al.rows[0].text(6), QString::fromUtf8("Administração"));
    EXPECT_DOUBLE_EQ(al.rows[0].number(8), -100.00);
    EXPECT_DOUBLE_EQ(al.rows[0].number(10), 100.00);

    // Audit trail and version.
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LANCAUDIT WHERE NRLANCCONT = '202606000001' AND "
                                   "CDOPERADOR = 'OPER' AND ACAO = 'INCLUSAO'")),
              1);
    storeAt("1", "202606000001", {{"1", "D", 10.00, "8.1.01.002"}, {"2", "C", 10.00, "8.1.01.001"}});
    EXPECT_EQ(lines("202606000001"), 2);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LANCCCUSTO WHERE NRLANCCONT = '202606000001'")), 0);
    EXPECT_EQ(call("getDebitos", {str("T1"), str("202606000001")}).header(server::kVersionHeader), "2");
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LANCAUDIT WHERE ACAO = 'ALTERACAO'")), 1);
}

TEST_P(Http, AmountsAreStoredExactly) {
    store("202606000001", {{"1", "D", 0.1}, {"2", "D", 0.2}, {"3", "C", 0.3, "8.2.01.001"}});
    store("202606000002", {{"1", "D", 12345678901.23}, {"2", "C", 12345678901.23, "8.2.01.001"}});
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LANCCONT WHERE NRLANCCONT = '202606000001' AND "
                                   "ABS(VRLANCAMENT * 100 - ROUND(VRLANCAMENT * 100)) < 0.0000001")),
              3);
    const auto r = call("getDebitos", {str("T1"), str("202606000002")});
    EXPECT_DOUBLE_EQ(r.value.packet().rows.at(0).number(7), 12345678901.23);
}

struct SetRefusal {
    const char* name;
    std::vector<LineSpec> lines;
    std::vector<AllocSpec> allocs;
    const char* company;
    QDate day;
    const char* message;  // start of the refusal
};

TEST_P(Http, EachRefusalStoresNothing) {
    exec(QStringLiteral(
        "INSERT INTO LOTELANC (CDEMPRESA, NRLANCCONT, CDLOTE) VALUES ('T1', '202606000090', 'L55')"));
    exec(
        QStringLiteral("INSERT INTO MAPAAPURLANC (CDEMPRESA, NRLANCCONT, ANO, MES, IMPOSTO) "
                       "VALUES ('T1', '202606000091', '2005', '01', 'ICMS')"));
    const std::vector<SetRefusal> cases = {
        {"unknown account",
         {{"1", "D", 10, "9.9.99.999"}, {"2", "C", 10}},
         {},
         "T1",
         kDay,
         "Conta Contábil não cadastrada."},
        {"synthetic account",
         {{"1", "D", 10, "8"}, {"2", "C", 10}},
         {},
         "T1",
         kDay,
         "Conta Contábil não cadastrada."},
        {"unknown history",
         {{"1", "D", 10, "8.1.01.001", "x", "", "", "T999"}, {"2", "C", 10}},
         {},
         "T1",
         kDay,
         "Histórico Padrão não cadastrado."},
        {"unbalanced",
         {{"1", "D", 10.01}, {"2", "C", 10}},
         {},
         "T1",
         kDay,
         "Valor total de crédito difere do total de débito."},
        {"outside period",
         {{"1", "D", 10}, {"2", "C", 10}},
         {},
         "T1",
         QDate(2025, 12, 31),
         "Operação bloqueada! Data do lançamento fora do período contábil."},
        {"unknown company", {{"1", "D", 10}, {"2", "C", 10}}, {}, "ZZ", kDay, "Empresa não cadastrada."},
        {"branch of another company",
         {{"1", "D", 10, "8.3.01.001"}, {"2", "C", 10}},
         {{"1", "T199", "T501", -10}},
         "T1",
         kDay,
         "Filial não relacionada à empresa do lançamento contábil."},
        {"cost centre not of the branch",
         {{"1", "D", 10, "8.3.01.001"}, {"2", "C", 10}},
         {{"1", "T102", "T501", -10}},
         "T1",
         kDay,
         "Centro de Custo não cadastrado para filial informada."},
        {"managerial line without allocation",
         {{"1", "D", 10, "8.3.01.001"}, {"2", "C", 10}},
         {},
         "T1",
         kDay,
         "Lançamento gerencial deve ser informado para as contas do tipo Gerencial e/ou Oficial/Gerencial "
         "para a "
         "partida de Débito"},
        {"allocations not adding up",
         {{"1", "D", 100, "8.3.01.001"}, {"2", "C", 100}},
         {{"1", "T101", "T501", -60}, {"1", "T102", "T502", -30}},
         "T1",
         kDay,
         "A soma dos rateios deve ser igual ao valor da partida de Débito."},
        {"allocation with the wrong sign",
         {{"1", "D", 100, "8.3.01.001"}, {"2", "C", 100}},
         {{"1", "T101", "T501", 100}},
         "T1",
         kDay,
         "A soma dos rateios deve ser igual ao valor da partida de Débito."},
        {"free account allocations not adding up",
         {{"1", "D", 100, "8.3.01.002"}, {"2", "C", 100}},
         {{"1", "T101", "T501", -99.99}},
         "T1",
         kDay,
         "A soma dos rateios deve ser igual ao valor da partida de Débito."},
    };
    for (const SetRefusal& c : cases) {
        const QString company = QString::fromLatin1(c.company);
        const auto r =
            call("SetLancamento",
                 {Value::fromPacket(entryPacket(company, QStringLiteral("202606000050"), c.day, c.lines)),
                  Value::fromPacket(allocPacket(company, QStringLiteral("202606000050"), c.day, c.allocs)),
                  str("OPER")});
        EXPECT_FALSE(r.ok) << c.name;
        EXPECT_EQ(r.httpStatus, 200) << c.name;
        EXPECT_TRUE(r.error.startsWith(QString::fromUtf8(c.message)))
            << c.name << ": " << r.error.toStdString();
    }
    // Lot and map guards.
    for (const auto& [number, message] : std::vector<std::pair<const char*, const char*>>{
             {"202606000090",
              "Operação bloqueada! Lançamento contábil referente a lote. Favor realizar a reversão do "
              "lote L55 para as devidas alterações."},
             {"202606000091",
              "Operação não permitida ! O Lançamento está relacionado ao mapa de apuração "
              "01/2005-Imposto: ICMS."}}) {
        const QString n = QString::fromLatin1(number);
        const auto r = call(
            "SetLancamento",
            {Value::fromPacket(entryPacket(QStringLiteral("T1"), n, kDay, {{"1", "D", 10}, {"2", "C", 10}})),
             Value::fromPacket(allocPacket(QStringLiteral("T1"), n, kDay, {})), str("OPER")});
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error, QString::fromUtf8(message));
    }
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LANCCONT")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LANCCCUSTO")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LANCAUDIT")), 0);
}

TEST_P(Http, CompanyWithoutManagerialLinesSkipsAllocationSums) {
    // T3 keeps no managerial lines: a "G" account without allocations passes.
    store("202606000001", {{"1", "D", 10, "8.3.01.001"}, {"2", "C", 10}}, {}, "D", kDay, "T3");
}

TEST_P(Http, ARefusedChangeKeepsTheStoredEntry) {
    store("202606000001", {{"1", "D", 10}, {"2", "C", 10}});
    const auto r =
        call("SetLancamento",
             {Value::fromPacket(entryPacket(QStringLiteral("T1"), QStringLiteral("202606000001"), kDay,
                                            {{"1", "D", 20}, {"2", "C", 10}})),
              Value::fromPacket(allocPacket(QStringLiteral("T1"), QStringLiteral("202606000001"), kDay, {})),
              str("OPER")});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LANCCONT WHERE NRLANCCONT = '202606000001' AND "
                                   "ABS(VRLANCAMENT) = 10")),
              2);
}

TEST_P(Http, AStaleConfirmIsRefused) {
    store("202606000001", {{"1", "D", 10}, {"2", "C", 10}});
    // Two users open the entry at version 1.
    const std::string v =
        call("getLancFiltrado", {str("T1"), str("202606000001")}).header(server::kVersionHeader);
    ASSERT_EQ(v, "1");
    auto confirm = [&](double value) {
        return call(
            "SetLancamento",
            {Value::fromPacket(entryPacket(QStringLiteral("T1"), QStringLiteral("202606000001"), kDay,
                                           {{"1", "D", value}, {"2", "C", value}})),
             Value::fromPacket(allocPacket(QStringLiteral("T1"), QStringLiteral("202606000001"), kDay, {})),
             str("OPER")},
            {{server::kVersionHeader, v}});
    };
    const auto first = confirm(20);
    ASSERT_TRUE(first.ok) << first.error.toStdString();
    EXPECT_EQ(first.header(server::kVersionHeader), "2");
    const auto second = confirm(30);
    EXPECT_FALSE(second.ok);
    EXPECT_TRUE(second.error.contains(QStringLiteral("alterado por outro usuário")))
        << second.error.toStdString();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LANCCONT WHERE ABS(VRLANCAMENT) = 20")), 2);
    // Without the header a confirm is for a new entry: it never overwrites one.
    const auto blind =
        call("SetLancamento",
             {Value::fromPacket(entryPacket(QStringLiteral("T1"), QStringLiteral("202606000001"), kDay,
                                            {{"1", "D", 30}, {"2", "C", 30}})),
              Value::fromPacket(allocPacket(QStringLiteral("T1"), QStringLiteral("202606000001"), kDay, {})),
              str("OPER")});
    EXPECT_FALSE(blind.ok);
    EXPECT_TRUE(blind.error.startsWith(QStringLiteral("Já existe um lançamento contábil com o número")))
        << blind.error.toStdString();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LANCCONT WHERE ABS(VRLANCAMENT) = 20")), 2);
    // A bad header is a malformed request.
    EXPECT_EQ(call("DeletaLancamento", {str("T1"), str("202606000001")}, {{server::kVersionHeader, "x"}})
                  .httpStatus,
              400);
}

TEST_P(Http, TwoClientsConfirmingTheSameEntryAtOnce) {
    store("202606000001", {{"1", "D", 10}, {"2", "C", 10}});
    std::atomic<int> ok{0}, stale{0};
    std::vector<std::thread> threads;
    for (int c = 0; c < 2; ++c) {
        threads.emplace_back([&, c] {
            net::HttpClient client("127.0.0.1", server_->port());
            const double value = 100 + c;
            const auto r = client.call(
                kModule, "SetLancamento",
                {Value::fromPacket(entryPacket(QStringLiteral("T1"), QStringLiteral("202606000001"), kDay,
                                               {{"1", "D", value}, {"2", "C", value}})),
                 Value::fromPacket(
                     allocPacket(QStringLiteral("T1"), QStringLiteral("202606000001"), kDay, {})),
                 str("OPER")},
                {{server::kVersionHeader, "1"}});
            if (r.ok)
                ++ok;
            else if (r.error.contains(QStringLiteral("alterado por outro usuário")))
                ++stale;
        });
    }
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(ok.load(), 1);
    EXPECT_EQ(stale.load(), 1);
    EXPECT_EQ(lines("202606000001"), 2);
}

// Write calls of many clients share transactions (group commit), forced on for both backends here:
// each call still stands alone, and a refused one leaves no line, version or audit row behind.
TEST_P(Http, ConcurrentConfirmsSucceedOrFailEachOnTheirOwn) {
    server::ServerOptions o;
    o.databaseUrl = url_;
    o.threads = 12;
    o.logRequests = false;
    o.groupCommit = server::ServerOptions::GroupCommit::On;
    server::AppServer grouped(o);
    grouped.start();
    constexpr int kClients = 8, kRounds = 6;
    std::atomic<int> ok{0}, refused{0}, other{0};
    std::vector<std::thread> threads;
    for (int c = 0; c < kClients; ++c) {
        threads.emplace_back([&, c] {
            net::HttpClient client("127.0.0.1", grouped.port());
            for (int round = 0; round < kRounds; ++round) {
                const QString number = QStringLiteral("2026069%1%2")
                                           .arg(c, 2, 10, QLatin1Char('0'))
                                           .arg(round, 3, 10, QLatin1Char('0'));
                // Odd clients name an unknown account: refused after the version row was raised.
                const bool bad = c % 2 == 1;
                const auto r = client.call(
                    kModule, "SetLancamento",
                    {Value::fromPacket(entryPacket(
                         QStringLiteral("T1"), number, kDay,
                         {{"1", "D", 10.0 + c}, {"2", "C", 10.0 + c, bad ? "9.9.99.999" : "8.1.01.001"}})),
                     Value::fromPacket(allocPacket(QStringLiteral("T1"), number, kDay, {})), str("OPER")});
                if (r.ok && !bad)
                    ++ok;
                else if (!r.ok && bad && r.error.contains(QStringLiteral("Conta Contábil não cadastrada")))
                    ++refused;
                else
                    ++other;
            }
        });
    }
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(ok.load(), kClients / 2 * kRounds);
    EXPECT_EQ(refused.load(), kClients / 2 * kRounds);
    EXPECT_EQ(other.load(), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LANCCONT WHERE NRLANCCONT LIKE '2026069%'")),
              kClients / 2 * kRounds * 2);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LANCVERSAO WHERE NRLANCCONT LIKE '2026069%'")),
              kClients / 2 * kRounds);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LANCAUDIT WHERE NRLANCCONT LIKE '2026069%'")),
              kClients / 2 * kRounds);
    // Numbers handed out through the shared transactions stay unique.
    net::HttpClient client("127.0.0.1", grouped.port());
    const auto a = client.call(kModule, "getProximoNRLANCCONT", {str("T1"), str("202606")});
    const auto b = client.call(kModule, "getProximoNRLANCCONT", {str("T1"), str("202606")});
    ASSERT_TRUE(a.ok && b.ok);
    EXPECT_NE(a.value.toString(), b.value.toString());
}

TEST_P(Http, DeleteGuardsAndAudit) {
    store("202606000001", {{"1", "D", 10}, {"2", "C", 10}}, {}, "D");
    exec(
        QStringLiteral("INSERT INTO MAPAAPURLANC (CDEMPRESA, NRLANCCONT, ANO, MES, IMPOSTO) "
                       "VALUES ('T1', '202606000001', '2026', '06', 'ISS')"));
    const net::Headers v1 = {{server::kVersionHeader, "1"}};
    auto r = call("DeletaLancamento", {str("T1"), str("202606000001")}, v1);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.contains(QStringLiteral("06/2026-Imposto: ISS")));
    EXPECT_EQ(lines("202606000001"), 2);
    exec(QStringLiteral("DELETE FROM MAPAAPURLANC"));
    // A period closed afterwards blocks the delete too.
    exec(QStringLiteral("UPDATE CONTOPECTBL SET DTINICLANC = '2026-07-01' WHERE CDEMPRESA = 'T1'"));
    r = call("DeletaLancamento", {str("T1"), str("202606000001")}, v1);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, QStringLiteral("Operação bloqueada! Data do lançamento fora do período contábil."));
    exec(QStringLiteral("UPDATE CONTOPECTBL SET DTINICLANC = '2026-01-01' WHERE CDEMPRESA = 'T1'"));
    r = call("DeletaLancamento", {str("T1"), str("202606000001")},
             {{server::kOperatorHeader, "ANA"}, {server::kVersionHeader, "1"}});
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(lines("202606000001"), 0);
    EXPECT_EQ(count(QStringLiteral(
                  "SELECT COUNT(*) FROM LANCAUDIT WHERE ACAO = 'EXCLUSAO' AND CDOPERADOR = 'ANA'")),
              1);
    EXPECT_FALSE(call("DeletaLancamento", {str("T1"), str("202606000001")}, v1).ok);
}

TEST_P(Http, ThousandLineEntryRoundTrip) {
    std::vector<LineSpec> specs;
    std::vector<std::string> seqs(1000);
    for (int i = 0; i < 1000; ++i) {
        seqs[i] = std::to_string(i + 1);
        const bool debit = i < 500;
        specs.push_back(
            {seqs[i].c_str(), debit ? "D" : "C", 1.01 + (i % 500), debit ? "8.1.01.001" : "8.2.01.001"});
    }
    store("202606000001", specs);
    EXPECT_EQ(lines("202606000001"), 1000);
    const auto r = call("getLancFiltrado", {str("T1"), str("202606000001")});
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.value.packet().rows.size(), 1000u);
    EXPECT_EQ(call("getDebitos", {str("T1"), str("202606000001")}).value.packet().rows.size(), 500u);
    EXPECT_EQ(call("getCreditos", {str("T1"), str("202606000001")}).value.packet().rows.size(), 500u);
}

// --- getLancamentos criteria ---

TEST_P(Http, ListFieldsAndCostCentres) {
    storeJournal();
    const auto r = call("getLancamentos", allCriteria());
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    const DataPacket& p = r.value.array()[0].packet();
    EXPECT_EQ(p.fields, server::lancContFields());
    EXPECT_EQ(p.rows.size(), 8u);
    const DataPacket& cc = r.value.array()[1].packet();
    EXPECT_EQ(cc.fields, server::centCustFilFields());
    ASSERT_EQ(cc.rows.size(), 3u);  // the cost centres of T101 and T102, not of T199
    EXPECT_EQ(cc.rows[0].text(1), QStringLiteral("T501"));
    EXPECT_EQ(cc.rows[0].text(2), QString::fromUtf8("Administração"));
}

TEST_P(Http, EachCriterionAlone) {
    storeJournal();
    auto with = [](int index, Value v) {
        auto a = allCriteria();
        a[static_cast<std::size_t>(index)] = std::move(v);
        return a;
    };
    EXPECT_EQ(listed(allCriteria("T1", QDate(2026, 7, 1), QDate(2026, 7, 1))),
              (K{k("202607000001/1"), k("202607000001/2")}));
    EXPECT_EQ(listed(allCriteria("T1", QDate(2026, 6, 11), QDate(2026, 6, 30))), K{});
    // Account range, as text, with the "Z" filled bound.
    auto acc = allCriteria();
    acc[kAccountFrom] = str("8.1.01.002");
    acc[kAccountBound] = acc[kAccountBound2] = str("8.2ZZZZZZZ");
    EXPECT_EQ(listed(acc), (K{k("202606000001/2"), k("202606000002/1"), k("202607000001/2")}));
    // Only a lower bound.
    acc = allCriteria();
    acc[kAccountFrom] = str("8.4");
    EXPECT_EQ(listed(acc), K{k("202606000003/2")});
    // Value range on the absolute value; "T" means none.
    auto val = allCriteria();
    val[kValueFrom] = Value::fromNumber(100);
    val[kValueTo] = Value::fromNumber(250.5);
    val[kValueFlag] = str("");
    EXPECT_EQ(listed(val),
              (K{k("202606000001/1"), k("202606000001/2"), k("202606000002/1"), k("202606000002/2")}));
    val[kValueFrom] = val[kValueTo] = Value::fromNumber(5);
    EXPECT_EQ(listed(val), (K{k("202607000001/1"), k("202607000001/2")}));
    // History text: case-insensitive substring; % and _ are plain characters.
    EXPECT_EQ(listed(with(kHistText, str("ALUGUEL"))), (K{k("202606000001/1"), k("202606000001/2")}));
    EXPECT_EQ(listed(with(kHistText, str("100%"))), K{k("202606000003/1")});
    EXPECT_EQ(listed(with(kHistText, str("_"))), K{});
    EXPECT_EQ(listed(with(kDocument, str("NF-77"))), (K{k("202606000002/1"), k("202606000002/2")}));
    EXPECT_EQ(listed(with(kEntry, str("202606000003"))), (K{k("202606000003/1"), k("202606000003/2")}));
    EXPECT_EQ(listed(with(kHistList, str("'T002'"))), K{k("202606000002/2")});
    // Commercial lists by kind.
    auto com = with(kClients, str("'C001'"));
    com[kKinds] = str("_C_");
    EXPECT_EQ(listed(com), K{k("202606000002/1")});
    com = with(kSuppliers, str("'F001','C001'"));
    com[kKinds] = str("_F_");
    EXPECT_EQ(listed(com), K{k("202606000001/2")});
    com = with(kBanks, str("'B-1'"));
    com[kKinds] = str("_B_");
    EXPECT_EQ(listed(com), K{k("202606000003/2")});
    // Allocation lists.
    EXPECT_EQ(listed(with(kBranches, str("'T102'"))), K{k("202606000003/1")});
    EXPECT_EQ(listed(with(kCentres, str("'T501','T999'"))), K{k("202606000003/1")});
    EXPECT_EQ(listed(with(kCentres, str("'T999'"))), K{});
}

TEST_P(Http, CriteriaCombined) {
    storeJournal();
    auto a = allCriteria();
    a[kClients] = str("'C001'");
    a[kBanks] = str("'B-1'");
    a[kKinds] = str("_C__B_");
    EXPECT_EQ(listed(a), (K{k("202606000002/1"), k("202606000003/2")}));
    a[kDocument] = str("NF-77");
    EXPECT_EQ(listed(a), K{k("202606000002/1")});
    a[kHistText] = str("prazo");
    a[kValueFlag] = str("");
    a[kValueFrom] = Value::fromNumber(250.5);
    a[kValueTo] = Value::fromNumber(250.5);
    a[kAccountFrom] = str("8.1");
    a[kAccountBound] = a[kAccountBound2] = str("8.1ZZZZZZZ");
    EXPECT_EQ(listed(a), K{k("202606000002/1")});
    a[kEntry] = str("202606000001");
    EXPECT_EQ(listed(a), K{});
}

// SQLite indexes history texts after the commit: a search finds a line whether it is waiting for the
// index or in it, the writer drains the queue once calls stop, and the index then matches the lines.
TEST_P(Http, HistorySearchFollowsConfirmsAndDeletesAtOnce) {
    const bool sqlite = GetParam() == "sqlite";
    auto waiting = [&] {
        return sqlite ? count(QStringLiteral("SELECT COUNT(*) FROM LANCCONT_FTS_PEND")) : 0;
    };
    auto drained = [&] {
        for (int i = 0; i < 500 && waiting() > 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return waiting() == 0;
    };
    auto text = [](const char* t) {
        auto a = allCriteria();
        a[kHistText] = str(t);
        return a;
    };
    storeJournal();
    EXPECT_EQ(listed(text("aluguel")), (K{k("202606000001/1"), k("202606000001/2")}));
    EXPECT_TRUE(drained());
    EXPECT_EQ(listed(text("aluguel")), (K{k("202606000001/1"), k("202606000001/2")}));
    // The entry's lines replaced, another entry deleted: found as they now stand, straight away.
    storeAt("1", "202606000001",
            {{"1", "D", 100.00, "8.1.01.001", "Pagamento de condomínio"},
             {"2", "C", 100.00, "8.2.01.001", "Aluguel devolvido", "F", "F001"}});
    ASSERT_TRUE(
        call("DeletaLancamento", {str("T1"), str("202606000002")}, {{server::kVersionHeader, "1"}}).ok);
    EXPECT_EQ(listed(text("aluguel")), K{k("202606000001/2")});
    EXPECT_EQ(listed(text("condom")), K{k("202606000001/1")});
    EXPECT_EQ(listed(text("prazo")), K{});
    EXPECT_TRUE(drained());
    EXPECT_EQ(listed(text("aluguel")), K{k("202606000001/2")});
    EXPECT_EQ(listed(text("prazo")), K{});
    if (sqlite) {
        QSqlQuery q(db());
        EXPECT_TRUE(
            q.exec(QStringLiteral("INSERT INTO LANCCONT_FTS (LANCCONT_FTS, rank) VALUES "
                                  "('integrity-check', 1)")))
            << q.lastError().text().toStdString();
    }
    // A clean stop leaves nothing waiting.
    store("202606000009", {{"1", "D", 1, "8.1.01.001", "Aluguel final"}, {"2", "C", 1}});
    client_.reset();
    server_.reset();
    EXPECT_EQ(waiting(), 0);
}

// Without group commit the request threads index after their commits, the first one at once.
TEST_P(Http, HistoryIndexWithoutGroupCommit) {
    server_.reset();
    server::ServerOptions o;
    o.databaseUrl = url_;
    o.logRequests = false;
    o.groupCommit = server::ServerOptions::GroupCommit::Off;
    server_ = std::make_unique<server::AppServer>(o);
    server_->start();
    client_ = std::make_unique<net::HttpClient>("127.0.0.1", server_->port());
    store("202606000001", {{"1", "D", 10, "8.1.01.001", "Aluguel de junho"}, {"2", "C", 10}});
    if (GetParam() == "sqlite") {
        EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LANCCONT_FTS_PEND")), 0);
    }
    store("202606000002", {{"1", "D", 10, "8.1.01.001", "Aluguel de julho"}, {"2", "C", 10}});
    auto a = allCriteria();
    a[kHistText] = str("ALUGUEL DE");
    EXPECT_EQ(listed(a), (K{k("202606000001/1"), k("202606000002/1")}));
}

TEST_P(Http, ListRefusals) {
    EXPECT_EQ(refusedText(allCriteria("T1", QDate(2026, 2, 1), QDate(2026, 1, 31))),
              QStringLiteral("Data inicial maior que a data final."));
    auto a = allCriteria();
    a[kHistList] = str("T001");  // not the quoted form
    EXPECT_FALSE(refusedText(a).isEmpty());
}

TEST_P(Http, RowLimitRefusesLargeLists) {
    // A second server with a limit of 3 rows over the same database.
    storeJournal();
    server::ServerOptions o;
    o.databaseUrl = url_;
    o.threads = 2;
    o.logRequests = false;
    o.rowLimit = 3;
    server::AppServer small(o);
    small.start();
    net::HttpClient c("127.0.0.1", small.port());
    const auto r = c.call(kModule, "getLancamentos", allCriteria());
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.value.array()[0].isString());
    EXPECT_TRUE(r.value.array()[0].toString().contains(QStringLiteral("mais de 3 linhas")));
}

TEST_P(Http, HostileArgumentsMatchNothingAndBreakNothing) {
    storeJournal();
    const char* hostile[] = {"' OR '1'='1",
                             "'x'' OR ''1''=''1'",
                             "'0001'); DROP TABLE LANCCONT; --",
                             "%' OR 1=1 --",
                             "\\",
                             "'\x01'",
                             "T' UNION SELECT * FROM EMPRESA --"};
    for (const char* h : hostile) {
        for (int index : {kHistText, kDocument, kCentres, kBranches, kBanks, kSuppliers, kClients, kHistList,
                          kEntry, kAccountFrom}) {
            auto a = allCriteria();
            a[static_cast<std::size_t>(index)] = str(h);
            if (index == kClients)
                a[kKinds] = str("_C_");
            const auto r = call("getLancamentos", a);
            ASSERT_TRUE(r.ok) << h << " at " << index << ": " << r.error.toStdString();
            const Value& first = r.value.array()[0];
            if (first.isPacket() && index != kAccountFrom) {
                EXPECT_TRUE(first.packet().rows.empty()) << h << " at " << index;
            }
        }
        EXPECT_FALSE(call("getEmprRelac", {str(h), str(h)}).value.toBool());
        EXPECT_TRUE(call("getLancFiltrado", {str("T1"), str(h)}).value.packet().rows.empty());
        EXPECT_FALSE(call("DeletaLancamento", {str(h), str(h)}).ok);
    }
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LANCCONT")), 8);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM EMPRESA WHERE CDEMPRESA LIKE 'T%'")), 3);
}

INSTANTIATE_TEST_SUITE_P(Backends, Http, ::testing::Values(std::string("sqlite"), std::string("postgres")),
                         backendName);

}  // namespace
}  // namespace ctb::test
