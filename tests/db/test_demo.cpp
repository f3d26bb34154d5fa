#include "db/demo.h"
#include "db/schema.h"
#include "platform/sql/error.h"
#include "platform/sql/query.h"
#include "tests/db/db_fixture.h"
#include "tests/sql/declared_sql.h"

#include <QElapsedTimer>
#include <QHash>
#include <QSet>

#include <cstdio>
#include <map>
#include <tuple>

namespace ctb::db::test {
namespace {

QString s(const char* text) {
    return QString::fromUtf8(text);
}

const QDate kToday(2026, 12, 8);

class Demo : public DbTest {
  protected:
    void SetUp() override {
        DbTest::SetUp();
        QSqlDatabase handle = db();
        createSchema(handle);
        summary_ = loadDemo(handle, kToday);
    }

    // Every entry's debits equal its credits to the cent, and the side matches the sign.
    void expectBalanced() const {
        std::map<std::pair<QString, QString>, qint64> sums;
        for (const auto& r : rows(s("SELECT CDEMPRESA, NRLANCCONT, VRLANCAMENT, IDTIPOLANC FROM LANCCONT"))) {
            const qint64 c = cents(r[2]);
            sums[{r[0].toString(), r[1].toString()}] += c;
            EXPECT_TRUE(r[3].toString() == s("D") ? c < 0 : c > 0) << r[1].toString().toStdString();
        }
        ASSERT_FALSE(sums.empty());
        for (const auto& [key, sum] : sums)
            EXPECT_EQ(sum, 0) << key.second.toStdString();
    }

    // Every allocated line's allocations add up to it, and every line numbers match NUMLANC.
    void expectAllocationsAndNumbers() const {
        std::map<std::tuple<QString, QString, QString>, qint64> lines;
        for (const auto& r : rows(s("SELECT CDEMPRESA, NRLANCCONT, NRSEQLANC, VRLANCAMENT FROM LANCCONT")))
            lines[{r[0].toString(), r[1].toString(), r[2].toString()}] = cents(r[3]);
        std::map<std::tuple<QString, QString, QString>, qint64> allocated;
        for (const auto& r : rows(s("SELECT CDEMPRESA, NRLANCCONT, NRSEQLANC, VRLANCCUST FROM LANCCCUSTO")))
            allocated[{r[0].toString(), r[1].toString(), r[2].toString()}] += cents(r[3]);
        for (const auto& [key, sum] : allocated)
            EXPECT_EQ(sum, lines.at(key)) << std::get<1>(key).toStdString();

        QHash<QString, int> highest;
        for (const auto& r : rows(s("SELECT DISTINCT CDEMPRESA, NRLANCCONT, DTLANCCONT FROM LANCCONT"))) {
            const QString number = r[1].toString();
            ASSERT_EQ(number.size(), 12);
            EXPECT_EQ(number.left(6), r[2].toDate().toString(s("yyyyMM"))) << number.toStdString();
            const QString key = r[0].toString() + number.left(6);
            highest[key] = std::max(highest.value(key), number.mid(6).toInt());
        }
        QHash<QString, int> stored;
        for (const auto& r : rows(s("SELECT CDEMPRESA, ANOMES, ULTIMO FROM NUMLANC")))
            stored[r[0].toString() + r[1].toString()] = r[2].toInt();
        EXPECT_EQ(stored, highest);
    }

    DataSummary summary_;
};

TEST_P(Demo, EntriesAreBalancedAndNumbered) {
    EXPECT_GT(summary_.entries, 500);
    EXPECT_EQ(scalar(s("SELECT COUNT(*) FROM LANCCONT")), summary_.lines);
    EXPECT_EQ(scalar(s("SELECT COUNT(*) FROM LANCVERSAO")), summary_.entries);
    expectBalanced();
    expectAllocationsAndNumbers();
}

TEST_P(Demo, CompaniesShowEveryOptionCombination) {
    const auto r =
        rows(s("SELECT E.CDEMPRESA, C.IDCONTCOME, C.IDCONTGERE, C.IDMSMCONTADBCR, C.DTINICLANC, C.DTFINALANC "
               "FROM EMPRESA E LEFT JOIN CONTOPECTBL C ON C.CDEMPRESA = E.CDEMPRESA ORDER BY E.CDEMPRESA"));
    ASSERT_GE(r.size(), 3u);
    EXPECT_EQ(r[0][1].toString() + r[0][2].toString() + r[0][3].toString(), s("SSN"));
    EXPECT_TRUE(r[1][1].isNull());
    EXPECT_EQ(r[2][1].toString() + r[2][2].toString() + r[2][3].toString(), s("NNS"));
    for (const auto& row : r) {
        if (row[4].isNull())
            continue;
        EXPECT_LE(row[4].toDate(), kToday);
        EXPECT_GE(row[5].toDate(), kToday);
    }
    // Company 01 has entries on both sides of its period start, so the period guard shows.
    EXPECT_GT(scalar(s("SELECT COUNT(*) FROM LANCCONT L, CONTOPECTBL C WHERE L.CDEMPRESA = '01' AND "
                       "C.CDEMPRESA = L.CDEMPRESA AND L.DTLANCCONT < C.DTINICLANC")),
              0);
    EXPECT_GT(scalar(s("SELECT COUNT(*) FROM LANCCONT L, CONTOPECTBL C WHERE L.CDEMPRESA = '01' AND "
                       "C.CDEMPRESA = L.CDEMPRESA AND L.DTLANCCONT >= C.DTINICLANC")),
              0);
    EXPECT_EQ(scalar(s("SELECT COUNT(*) FROM LANCCONT WHERE DTLANCCONT > '2026-12-08'")), 0);
    EXPECT_GT(scalar(s("SELECT COUNT(*) FROM LANCCONT WHERE DTLANCCONT < '2025-02-01'")), 0);
    EXPECT_EQ(scalar(s("SELECT COUNT(*) FROM LANCCONT WHERE DTLANCCONT < '2025-01-01'")), 0);
}

TEST_P(Demo, EveryOriginAndSystemCodeIsPresent) {
    QSet<QString> systems, origins;
    for (const auto& r : rows(s("SELECT DISTINCT IDSISTEMA FROM LANCCONT WHERE IDSISTEMA IS NOT NULL")))
        systems << r[0].toString();
    for (const auto& r : rows(s("SELECT DISTINCT IDLANCINTE FROM LANCCONT")))
        origins << r[0].toString();
    for (const char* code : {"DFS", "DFE", "EXP", "PAG", "REC", "BCO", "FIS", "FAI", "VND", "LTO"})
        EXPECT_TRUE(systems.contains(s(code))) << code;
    for (const char* code : {"M", "I", "E", "L"})
        EXPECT_TRUE(origins.contains(s(code))) << code;
    // Lot entries carry their lot; assessment maps point at stored entries, some inside the open period.
    EXPECT_EQ(
        scalar(
            s("SELECT COUNT(DISTINCT L.NRLANCCONT) FROM LANCCONT L WHERE L.IDLANCINTE = 'L' AND NOT EXISTS "
              "(SELECT 1 FROM LOTELANC T WHERE T.CDEMPRESA = L.CDEMPRESA AND T.NRLANCCONT = L.NRLANCCONT)")),
        0);
    EXPECT_GT(scalar(s("SELECT COUNT(*) FROM LOTELANC")), 0);
    EXPECT_EQ(scalar(s("SELECT COUNT(*) FROM MAPAAPURLANC M WHERE NOT EXISTS (SELECT 1 FROM LANCCONT L WHERE "
                       "L.CDEMPRESA = M.CDEMPRESA AND L.NRLANCCONT = M.NRLANCCONT)")),
              0);
    EXPECT_GT(
        scalar(
            s("SELECT COUNT(*) FROM MAPAAPURLANC M, LANCCONT L, CONTOPECTBL C WHERE M.CDEMPRESA = '01' AND "
              "L.CDEMPRESA = M.CDEMPRESA AND L.NRLANCCONT = M.NRLANCCONT AND C.CDEMPRESA = M.CDEMPRESA AND "
              "L.DTLANCCONT >= C.DTINICLANC")),
        0);
}

TEST_P(Demo, AllocationsOnlyWhereTheCompanyAndAccountCallForThem) {
    EXPECT_GT(summary_.allocations, 0);
    EXPECT_EQ(scalar(s("SELECT COUNT(*) FROM LANCCCUSTO WHERE CDEMPRESA <> '01'")), 0);
    // Every G or R line of the managerial company has allocations; N and empty lines never do.
    EXPECT_EQ(
        scalar(
            s("SELECT COUNT(*) FROM LANCCONT L, CONTCTBL A WHERE L.CDEMPRESA = '01' AND A.CDCONTCTBL = "
              "L.CDCONTCTBL AND A.IDCONTCCUS IN ('G', 'R') AND NOT EXISTS (SELECT 1 FROM LANCCCUSTO R WHERE "
              "R.CDEMPRESA = L.CDEMPRESA AND R.NRLANCCONT = L.NRLANCCONT AND R.NRSEQLANC = L.NRSEQLANC)")),
        0);
    EXPECT_EQ(
        scalar(
            s("SELECT COUNT(*) FROM LANCCCUSTO R, LANCCONT L, CONTCTBL A WHERE R.CDEMPRESA = L.CDEMPRESA AND "
              "R.NRLANCCONT = L.NRLANCCONT AND R.NRSEQLANC = L.NRSEQLANC AND A.CDCONTCTBL = L.CDCONTCTBL AND "
              "(A.IDCONTCCUS IS NULL OR A.IDCONTCCUS NOT IN ('G', 'R', 'L'))")),
        0);
    // Branches belong to the company, cost centres to the branch.
    EXPECT_EQ(
        scalar(s(
            "SELECT COUNT(*) FROM LANCCCUSTO R WHERE NOT EXISTS (SELECT 1 FROM EMPRFILIAL E WHERE "
            "E.CDEMPRESA = R.CDEMPRESA AND E.CDFILIAL = R.CDFILIAL) OR NOT EXISTS (SELECT 1 FROM CENTCUSTFIL "
            "F WHERE F.CDFILIAL = R.CDFILIAL AND F.CDCENTCUST = R.CDCENTCUST)")),
        0);
    EXPECT_GT(
        scalar(
            s("SELECT COUNT(*) FROM FILIAL F WHERE NOT EXISTS (SELECT 1 FROM EMPRFILIAL E WHERE E.CDFILIAL = "
              "F.CDFILIAL)")),
        0);
}

TEST_P(Demo, CommercialCodesPointAtTheRightParty) {
    EXPECT_EQ(
        scalar(s(
            "SELECT COUNT(*) FROM LANCCONT L WHERE L.IDLANCCOME = 'C' AND NOT EXISTS (SELECT 1 FROM CLIENTE "
            "C WHERE C.CDCLIENTE = L.CDCONTCOME)")),
        0);
    EXPECT_EQ(
        scalar(s("SELECT COUNT(*) FROM LANCCONT L WHERE L.IDLANCCOME = 'F' AND NOT EXISTS (SELECT 1 FROM "
                 "FORNECEDOR F WHERE F.CDFORNECED = L.CDCONTCOME)")),
        0);
    EXPECT_EQ(
        scalar(s(
            "SELECT COUNT(*) FROM LANCCONT L WHERE L.IDLANCCOME = 'B' AND NOT EXISTS (SELECT 1 FROM CONTCORR "
            "B WHERE B.CDEMPRESA = L.CDEMPRESA AND B.CDREDUCONT = L.CDCONTCOME)")),
        0);
    for (const char* kind : {"C", "F", "B"})
        EXPECT_GT(
            scalar(
                s("SELECT COUNT(*) FROM LANCCONT WHERE CDEMPRESA = '01' AND IDLANCCOME = '%1'").arg(s(kind))),
            0)
            << kind;
    EXPECT_EQ(scalar(s("SELECT COUNT(*) FROM LANCCONT WHERE CDEMPRESA = '03' AND CDCONTCOME IS NOT NULL")),
              0);
    for (const auto& r :
         rows(s("SELECT IDTPIJURCLIE, NRINSJURCLIE FROM CLIENTE UNION ALL SELECT IDTPIJURFORN, "
                "NRINSJURFORN FROM FORNECEDOR")))
        EXPECT_EQ(r[1].toString().size(), r[0].toString() == s("F") ? 11 : 14)
            << r[1].toString().toStdString();
}

TEST_P(Demo, ChartHistoriesAndBranchesCoverEveryCase) {
    EXPECT_GT(scalar(s("SELECT COUNT(*) FROM CONTCTBL WHERE IDTIPOCONT = 'S'")), 0);
    EXPECT_GT(scalar(s("SELECT COUNT(*) FROM CONTCTBL WHERE IDTIPOCONT = 'A'")), 0);
    for (const char* flag : {"G", "L", "R", "N", ""})
        EXPECT_GT(scalar(s("SELECT COUNT(*) FROM CONTCTBL WHERE IDCONTCCUS = '%1'").arg(s(flag))), 0) << flag;
    EXPECT_GT(scalar(s("SELECT COUNT(*) FROM CONTCTBL WHERE IDCONTCCUS IS NULL")), 0);
    for (const char* kind : {"C", "F", "B"})
        EXPECT_GT(scalar(s("SELECT COUNT(*) FROM CONTCTBL WHERE IDTIPOCOME = '%1'").arg(s(kind))), 0) << kind;
    EXPECT_EQ(scalar(s("SELECT COUNT(*) FROM CONTCTBL WHERE IDTIPOCONT = 'A' AND CDCONTREDU IS NULL")), 0);
    EXPECT_EQ(scalar(s("SELECT COUNT(*) FROM HISTPADR WHERE DSHISTPADR = ''")), 1);
    EXPECT_GT(scalar(s("SELECT COUNT(*) FROM CENTCUSTFIL")), 0);
    EXPECT_EQ(scalar(s("SELECT COUNT(*) FROM EMPRFILIAL WHERE CDEMPRESA = '02'")), 0);
}

TEST_P(Demo, EveryScreenLookupRunsOnTheDemoData) {
    using namespace sql::test;
    auto open = [&](const char* text, std::initializer_list<std::pair<const char*, const char*>> params) {
        auto q = std::make_unique<sql::Query>(*db_, s(text));
        for (const auto& [name, value] : params)
            q->paramByName(s(name)).setValue(s(value));
        q->open();
        return q;
    };
    EXPECT_EQ(open(entryScreenSql("qryEmpresa"), {{"P_CDEMPRESA", ""}, {"P_TCDEMPRESA", "T"}})->recordCount(),
              4);
    EXPECT_EQ(open(entryScreenSql("qryEmpresa"), {{"P_CDEMPRESA", "01"}, {"P_TCDEMPRESA", ""}})
                  ->fieldByName(u"IDCONTGERE")
                  .asString(),
              s("S"));
    EXPECT_EQ(
        open(entryScreenSql("qryHistPadr"), {{"P_CDHISTPADR", "0001"}, {"P_TCDHISTPADR", ""}})->recordCount(),
        1);
    EXPECT_EQ(open(entryScreenSql("qryFilial"), {{"P_CDFILIAL", ""}, {"P_TCDFILIAL", "T"}})->recordCount(),
              5);
    auto analytic =
        open(entryScreenSql("qryContCtbl"),
             {{"P_CDCONTCTBL", ""}, {"P_TCDCONTCTBL", "T"}, {"P_CDCONTREDU", ""}, {"P_TCDCONTREDU", "T"}});
    EXPECT_EQ(analytic->recordCount(), scalar(s("SELECT COUNT(*) FROM CONTCTBL WHERE IDTIPOCONT = 'A'")));
    auto byReduced =
        open(entryScreenSql("qryContCtbl"),
             {{"P_CDCONTCTBL", ""}, {"P_TCDCONTCTBL", "T"}, {"P_CDCONTREDU", "311"}, {"P_TCDCONTREDU", ""}});
    EXPECT_EQ(byReduced->fieldByName(u"CDCONTCTBL").asString(), s("3.1.01.001"));
    EXPECT_EQ(byReduced->fieldByName(u"IDCONTCCUS").asString(), s("G"));
    EXPECT_EQ(open(entryScreenSql("qryTipoCome"), {{"P_CDCONTCTBL", "1.1.02.001"}})
                  ->fieldByName(u"IDTIPOCOME")
                  .asString(),
              s("C"));
    EXPECT_TRUE(open(entryScreenSql("qryTipoCome"), {{"P_CDCONTCTBL", "1.1.01.001"}})->isEmpty());
    EXPECT_EQ(open(entryScreenSql("qryCliente"), {{"P_CDCLIENTE", ""}, {"P_TCDCLIENTE", "T"}})->recordCount(),
              10);
    EXPECT_EQ(open(entryScreenSql("qryFornecedor"), {{"P_CDFORNECED", "000004"}, {"P_TCDFORNECED", ""}})
                  ->recordCount(),
              1);
    EXPECT_EQ(open(entryScreenSql("qryBanco"),
                   {{"P_CDREDUCONT", ""}, {"P_TCDREDUCONT", "T"}, {"P_CDEMPRESA", "01"}})
                  ->recordCount(),
              3);
    EXPECT_TRUE(open(entryScreenSql("qryBanco"),
                     {{"P_CDREDUCONT", "4001"}, {"P_TCDREDUCONT", ""}, {"P_CDEMPRESA", "01"}})
                    ->isEmpty());
    EXPECT_EQ(
        open(filterDialogSql("qryContCtbl"), {{"P_CDCONTCTBL", "1.1"}, {"P_TCDCONTCTBL", ""}})->recordCount(),
        1);
    auto options = open(filterDialogSql("qryContOp"), {{"P_CDEMPRESA", "03"}});
    EXPECT_EQ(options->fieldByName(u"DTINICLANC").asDate(), QDate(2026, 1, 1));
    EXPECT_EQ(open(filterDialogSql("qryFilial"), {})->recordCount(), 5);
    EXPECT_EQ(open(filterDialogSql("qryCentCust"), {})->recordCount(), 7);
}

TEST_P(Demo, LoadsOnlyOnce) {
    QSqlDatabase handle = db();
    const qint64 lines = scalar(s("SELECT COUNT(*) FROM LANCCONT"));
    EXPECT_THROW(loadDemo(handle, kToday), sql::SqlError);
    EXPECT_EQ(scalar(s("SELECT COUNT(*) FROM LANCCONT")), lines);
}

TEST_P(Demo, GeneratorAddsBalancedNumberedEntries) {
    QSqlDatabase handle = db();
    const qint64 before = scalar(s("SELECT COUNT(DISTINCT NRLANCCONT || CDEMPRESA) FROM LANCCONT"));
    QElapsedTimer timer;
    timer.start();
    const DataSummary added =
        generateEntries(handle, 5000, 42, kToday);  // large enough to rebuild the search index
    const double seconds = static_cast<double>(timer.elapsed()) / 1000.0;
    std::printf("[ generator ] %s: %lld entries, %lld lines, %lld allocations in %.2f s (%.0f lines/s)\n",
                GetParam().c_str(), static_cast<long long>(added.entries),
                static_cast<long long>(added.lines), static_cast<long long>(added.allocations), seconds,
                static_cast<double>(added.lines) / seconds);
    EXPECT_EQ(added.entries, 5000);
    EXPECT_GT(added.lines, 5000 * 3);
    EXPECT_EQ(scalar(s("SELECT COUNT(DISTINCT NRLANCCONT || CDEMPRESA) FROM LANCCONT")), before + 5000);
    expectBalanced();
    expectAllocationsAndNumbers();
    // The history search index covers generated lines and follows new ones again.
    const QString search =
        isPostgres() ? s("SELECT COUNT(*) FROM LANCCONT WHERE DSHISTLANC ILIKE '%%1%'")
                     : s("SELECT COUNT(*) FROM LANCCONT WHERE rowid IN (SELECT rowid FROM LANCCONT_FTS WHERE "
                         "DSHISTLANC LIKE '%%1%')");
    const qint64 expected =
        scalar(s("SELECT COUNT(*) FROM LANCCONT WHERE UPPER(DSHISTLANC) LIKE '%FOLHA DE PAGAMENTO%'"));
    EXPECT_GT(expected, 0);
    EXPECT_EQ(scalar(search.arg(s("folha de pagamento"))), expected);
    if (!isPostgres()) {
        EXPECT_EQ(scalar(s("SELECT COUNT(*) FROM LANCCONT_FTS_PEND")), 0);
    }
    sql::test::execAll(handle,
                       {s("UPDATE LANCCONT SET DSHISTLANC = 'XYZZY UNICO' WHERE NRSEQLANC = '00001' AND "
                          "NRLANCCONT = (SELECT MIN(NRLANCCONT) FROM LANCCONT WHERE CDEMPRESA = '01') AND "
                          "CDEMPRESA = '01'")});
    (void)indexPendingHistory(handle);  // what the server does after its writes
    EXPECT_EQ(scalar(search.arg(s("XYZZY"))), 1);
}

INSTANTIATE_TEST_SUITE_P(Backends, Demo, ::testing::Values("sqlite", "postgres"), backendName);

class Generator : public DbTest {};

TEST_P(Generator, FillsAnEmptySchemaAndIsDeterministic) {
    QSqlDatabase handle = db();
    EXPECT_THROW(generateEntries(handle, 10, 1, kToday), sql::SqlError);  // no schema yet
    createSchema(handle);
    const DataSummary first = generateEntries(handle, 200, 9, kToday);
    EXPECT_EQ(first.entries, 200);
    EXPECT_EQ(scalar(s("SELECT COUNT(*) FROM EMPRESA")), 4);
    const qint64 total = scalar(s("SELECT COUNT(*) FROM LANCCONT"));
    auto other = sql::openDatabase(ctb::test::tempSqlitePath(s("again")), {}, sql::OpenMode::CreateIfMissing);
    QSqlDatabase second = other->handle();
    createSchema(second);
    const DataSummary again = generateEntries(second, 200, 9, kToday);
    EXPECT_EQ(again.lines, first.lines);
    EXPECT_EQ(again.allocations, first.allocations);
    EXPECT_EQ(total, first.lines);
}

INSTANTIATE_TEST_SUITE_P(Backends, Generator, ::testing::Values("sqlite", "postgres"), backendName);

}  // namespace
}  // namespace ctb::db::test
