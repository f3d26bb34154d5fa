// The screens' lookup texts, exactly as declared, run on each backend against the demo data: each case
// compares the query's key column with what a plain reference query says it must return.
#include "db/demo.h"
#include "db/schema.h"
#include "entry_screen/lancamento_decl.h"
#include "filter_dialog/lanc_filtro_decl.h"
#include "hostlib/screen_kit.h"
#include "platform/sql/database.h"
#include "platform/sql/query.h"
#include "tests/support/core_app.h"
#include "tests/support/pg_cluster.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace ctb::ctb10000 {
namespace {

const QDate kToday(2026, 12, 8);

using Params = std::vector<std::pair<const char*, const char*>>;

struct LookupCase {
    const char* name;
    bool filterDialog;  // the query is the filter dialog's, not the entry screen's
    const char* query;
    Params params;
    const char* keyField;
    const char* reference;  // plain SQL giving the expected keys in order
    bool none = false;      // the case finds nothing (otherwise it must find something)
};

const std::vector<LookupCase>& lookupCases() {
    static const std::vector<LookupCase> cases = {
        {"EmpresaByCode",
         false,
         "qryEmpresa",
         {{"P_CDEMPRESA", "01"}, {"P_TCDEMPRESA", ""}},
         "CDEMPRESA",
         "SELECT CDEMPRESA FROM EMPRESA WHERE CDEMPRESA = '01'"},
        {"EmpresaWithoutOptions",
         false,
         "qryEmpresa",
         {{"P_CDEMPRESA", "02"}, {"P_TCDEMPRESA", ""}},
         "CDEMPRESA",
         "SELECT CDEMPRESA FROM EMPRESA WHERE CDEMPRESA = '02'"},
        {"EmpresaUnknown",
         false,
         "qryEmpresa",
         {{"P_CDEMPRESA", "99"}, {"P_TCDEMPRESA", ""}},
         "CDEMPRESA",
         "SELECT CDEMPRESA FROM EMPRESA WHERE 1 = 0",
         true},
        {"EmpresaAll",
         false,
         "qryEmpresa",
         {{"P_CDEMPRESA", ""}, {"P_TCDEMPRESA", "T"}},
         "CDEMPRESA",
         "SELECT CDEMPRESA FROM EMPRESA ORDER BY CDEMPRESA"},
        {"HistPadrByCode",
         false,
         "qryHistPadr",
         {{"P_CDHISTPADR", "0002"}, {"P_TCDHISTPADR", ""}},
         "CDHISTPADR",
         "SELECT CDHISTPADR FROM HISTPADR WHERE CDHISTPADR = '0002'"},
        {"HistPadrAll",
         false,
         "qryHistPadr",
         {{"P_CDHISTPADR", ""}, {"P_TCDHISTPADR", "T"}},
         "CDHISTPADR",
         "SELECT CDHISTPADR FROM HISTPADR ORDER BY CDHISTPADR"},
        {"FilialByCode",
         false,
         "qryFilial",
         {{"P_CDFILIAL", "0002"}, {"P_TCDFILIAL", ""}},
         "CDFILIAL",
         "SELECT CDFILIAL FROM FILIAL WHERE CDFILIAL = '0002'"},
        {"FilialAll",
         false,
         "qryFilial",
         {{"P_CDFILIAL", ""}, {"P_TCDFILIAL", "T"}},
         "CDFILIAL",
         "SELECT CDFILIAL FROM FILIAL ORDER BY CDFILIAL"},
        {"ContCtblAllIsAnalyticOnly",
         false,
         "qryContCtbl",
         {{"P_CDCONTCTBL", ""}, {"P_TCDCONTCTBL", "T"}, {"P_CDCONTREDU", ""}, {"P_TCDCONTREDU", "T"}},
         "CDCONTCTBL",
         "SELECT CDCONTCTBL FROM CONTCTBL WHERE IDTIPOCONT = 'A' ORDER BY CDCONTCTBL"},
        {"ContCtblByCode",
         false,
         "qryContCtbl",
         {{"P_CDCONTCTBL", "1.1.01.001"},
          {"P_TCDCONTCTBL", ""},
          {"P_CDCONTREDU", ""},
          {"P_TCDCONTREDU", "T"}},
         "CDCONTCTBL",
         "SELECT CDCONTCTBL FROM CONTCTBL WHERE CDCONTCTBL = '1.1.01.001' AND IDTIPOCONT = 'A'"},
        {"ContCtblSyntheticNeverFound",
         false,
         "qryContCtbl",
         {{"P_CDCONTCTBL", "1.1"}, {"P_TCDCONTCTBL", ""}, {"P_CDCONTREDU", ""}, {"P_TCDCONTREDU", "T"}},
         "CDCONTCTBL",
         "SELECT CDCONTCTBL FROM CONTCTBL WHERE 1 = 0",
         true},
        {"ContCtblByReducedCode",
         false,
         "qryContCtbl",
         {{"P_CDCONTCTBL", ""}, {"P_TCDCONTCTBL", "T"}, {"P_CDCONTREDU", "101"}, {"P_TCDCONTREDU", ""}},
         "CDCONTCTBL",
         "SELECT CDCONTCTBL FROM CONTCTBL WHERE CDCONTREDU = '101' AND IDTIPOCONT = 'A'"},
        {"TipoComeOfCommercialAccounts",
         false,
         "qryTipoCome",
         {{"P_CDCONTCTBL", "1.1.02.001"}},
         "IDTIPOCOME",
         "SELECT IDTIPOCOME FROM CONTCTBL WHERE CDCONTCTBL = '1.1.02.001' AND IDTIPOCONT = 'A' "
         "AND IDTIPOCOME IS NOT NULL"},
        {"TipoComeOfSyntheticIsEmpty",
         false,
         "qryTipoCome",
         {{"P_CDCONTCTBL", "1"}},
         "IDTIPOCOME",
         "SELECT IDTIPOCOME FROM CONTCTBL WHERE 1 = 0",
         true},
        {"ClienteAll",
         false,
         "qryCliente",
         {{"P_CDCLIENTE", ""}, {"P_TCDCLIENTE", "T"}},
         "CDCLIENTE",
         "SELECT CDCLIENTE FROM CLIENTE ORDER BY CDCLIENTE"},
        {"ClienteByCode",
         false,
         "qryCliente",
         {{"P_CDCLIENTE", "000003"}, {"P_TCDCLIENTE", ""}},
         "CDCLIENTE",
         "SELECT CDCLIENTE FROM CLIENTE WHERE CDCLIENTE = '000003'"},
        {"FornecedorAll",
         false,
         "qryFornecedor",
         {{"P_CDFORNECED", ""}, {"P_TCDFORNECED", "T"}},
         "CDFORNECED",
         "SELECT CDFORNECED FROM FORNECEDOR ORDER BY CDFORNECED"},
        {"BancoAllStillOneCompany",
         false,
         "qryBanco",
         {{"P_CDREDUCONT", ""}, {"P_TCDREDUCONT", "T"}, {"P_CDEMPRESA", "01"}},
         "CDREDUCONT",
         "SELECT CDREDUCONT FROM CONTCORR WHERE CDEMPRESA = '01' ORDER BY CDBANCO, CDAGENCIA, CDCONTCORR"},
        {"BancoOfAnotherCompanyNotFound",
         false,
         "qryBanco",
         {{"P_CDREDUCONT", "2001"}, {"P_TCDREDUCONT", ""}, {"P_CDEMPRESA", "01"}},
         "CDREDUCONT",
         "SELECT CDREDUCONT FROM CONTCORR WHERE CDEMPRESA = '01' AND CDREDUCONT = '2001'",
         true},
        {"FiltroContCtblAllWithSynthetic",
         true,
         "qryContCtbl",
         {{"P_CDCONTCTBL", ""}, {"P_TCDCONTCTBL", "T"}},
         "CDCONTCTBL",
         "SELECT CDCONTCTBL FROM CONTCTBL ORDER BY CDCONTCTBL"},
        {"FiltroContCtblSyntheticFound",
         true,
         "qryContCtbl",
         {{"P_CDCONTCTBL", "1.1"}, {"P_TCDCONTCTBL", ""}},
         "CDCONTCTBL",
         "SELECT CDCONTCTBL FROM CONTCTBL WHERE CDCONTCTBL = '1.1'"},
        {"FiltroContOp",
         true,
         "qryContOp",
         {{"P_CDEMPRESA", "01"}},
         "IDCONTGERE",
         "SELECT IDCONTGERE FROM CONTOPECTBL WHERE CDEMPRESA = '01'"},
        {"FiltroContOpNone",
         true,
         "qryContOp",
         {{"P_CDEMPRESA", "02"}},
         "IDCONTGERE",
         "SELECT IDCONTGERE FROM CONTOPECTBL WHERE CDEMPRESA = '02'",
         true},
        {"FiltroFilial", true, "qryFilial", {}, "CDFILIAL", "SELECT CDFILIAL FROM FILIAL ORDER BY CDFILIAL"},
        {"FiltroCentCust",
         true,
         "qryCentCust",
         {},
         "CDCENTCUST",
         "SELECT CDCENTCUST FROM CENTCUST ORDER BY CDCENTCUST"},
    };
    return cases;
}

QStringList referenceKeys(const QSqlDatabase& db, const char* sql) {
    QSqlQuery q(db);
    if (!q.exec(QString::fromUtf8(sql))) {
        ADD_FAILURE() << sql << ": " << q.lastError().text().toStdString();
        return {};
    }
    QStringList keys;
    while (q.next())
        keys << q.value(0).toString().trimmed();
    return keys;
}

// One demo database per backend, shared by the cases (they only read).
class LookupSql : public ::testing::TestWithParam<std::string> {
  protected:
    static void SetUpTestSuite() { ctb::test::ensureCoreApplication(); }

    // Closed before the program exits, while QtSql still knows its connections.
    static void TearDownTestSuite() { databases().clear(); }

    static std::map<std::string, std::unique_ptr<sql::Database>>& databases() {
        static std::map<std::string, std::unique_ptr<sql::Database>> dbs;
        return dbs;
    }

    static sql::Database& database(const std::string& backend) {
        auto& slot = databases()[backend];
        if (!slot) {
            const QString url = backend == "postgres" ? ctb::test::PgCluster::instance().createDatabase()
                                                      : ctb::test::tempSqlitePath(QStringLiteral("lookups"));
            slot = sql::openDatabase(url, {}, sql::OpenMode::CreateIfMissing);
            QSqlDatabase handle = slot->handle();
            db::createSchema(handle);
            db::loadDemo(handle, kToday);
        }
        return *slot;
    }

    static const QueryDecl& declOf(const LookupCase& c) {
        const QueryDecl* d =
            findQuery(c.filterDialog ? lancFiltroQueries() : lancamentoQueries(), u8(c.query));
        EXPECT_NE(d, nullptr) << c.query;
        return *d;
    }
};

TEST_P(LookupSql, EveryLookupReturnsWhatItsReferenceSays) {
    sql::Database& db = database(GetParam());
    for (const LookupCase& c : lookupCases()) {
        SCOPED_TRACE(c.name);
        sql::Query q(db);
        declareQuery(q, declOf(c));
        // Every declared parameter starts empty, as on the screens; the case sets its own.
        for (const char* p : declOf(c).params)
            q.paramByName(u8(p)).setValue(QString());
        for (const auto& [name, value] : c.params)
            q.paramByName(u8(name)).setValue(u8(value));
        ASSERT_NO_THROW(q.open());
        QStringList keys;
        for (q.first(); !q.eof(); q.next())
            keys << q.fieldByName(u8(c.keyField)).asString();
        EXPECT_EQ(keys, referenceKeys(db.handle(), c.reference));
        EXPECT_EQ(keys.isEmpty(), c.none) << keys.join(QLatin1Char(',')).toStdString();
    }
}

TEST_P(LookupSql, EveryDeclaredParameterIsInTheText) {
    sql::Database& db = database(GetParam());
    for (const auto* queries : {&lancamentoQueries(), &lancFiltroQueries()}) {
        for (const QueryDecl& d : *queries) {
            SCOPED_TRACE(d.name);
            sql::Query q(db);
            declareQuery(q, d);
            QStringList declared;
            for (const char* p : d.params)
                declared << u8(p);
            EXPECT_EQ(q.paramNames(), declared);
        }
    }
}

TEST_P(LookupSql, DeclaredFieldsComeFirstInOrderWithTheCompanyOptions) {
    sql::Database& db = database(GetParam());
    sql::Query q(db);
    declareQuery(q, *findQuery(lancamentoQueries(), QStringLiteral("qryEmpresa")));
    q.paramByName(u"P_CDEMPRESA").setValue(QStringLiteral("01"));
    q.open();
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.field(0).name(), QStringLiteral("CDEMPRESA"));
    EXPECT_EQ(q.field(4).name(), QStringLiteral("IDMSMCONTADBCR"));
    EXPECT_FALSE(q.fieldByName(u"NMEMPRESA").asString().isEmpty());
    EXPECT_EQ(q.fieldByName(u"IDCONTGERE").asString(), QStringLiteral("S"));
    EXPECT_EQ(q.fieldByName(u"IDCONTCOME").asString(), QStringLiteral("S"));
    EXPECT_EQ(q.fieldByName(u"IDMSMCONTADBCR").asString(), QStringLiteral("N"));

    // A company without accounting options still comes back, with the options empty.
    q.close();
    q.paramByName(u"P_CDEMPRESA").setValue(QStringLiteral("02"));
    q.open();
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_TRUE(q.fieldByName(u"IDCONTGERE").asString().isEmpty());
    EXPECT_TRUE(q.fieldByName(u"IDCONTCOME").asString().isEmpty());
}

TEST_P(LookupSql, AccountKindIsCopiedUnderItsSecondName) {
    sql::Database& db = database(GetParam());
    sql::Query q(db);
    declareQuery(q, *findQuery(lancamentoQueries(), QStringLiteral("qryContCtbl")));
    q.paramByName(u"P_TCDCONTCTBL").setValue(QStringLiteral("T"));
    q.paramByName(u"P_TCDCONTREDU").setValue(QStringLiteral("T"));
    q.open();
    ASSERT_GT(q.recordCount(), 0);
    int commercial = 0;
    for (q.first(); !q.eof(); q.next()) {
        EXPECT_EQ(q.fieldByName(u"IDLANCCOME").asString(), q.fieldByName(u"IDTIPOCOME").asString());
        EXPECT_EQ(q.fieldByName(u"IDTIPOCONT").asString(), QStringLiteral("A"));
        if (!q.fieldByName(u"IDTIPOCOME").asString().isEmpty())
            ++commercial;
    }
    EXPECT_GT(commercial, 0);
}

INSTANTIATE_TEST_SUITE_P(Backends, LookupSql, ::testing::Values("sqlite", "postgres"),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace
}  // namespace ctb::ctb10000
