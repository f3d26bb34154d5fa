// Every lookup text of the screens, run unchanged on each backend against a small reference database.
#include "platform/sql/query.h"
#include "tests/sql/declared_sql.h"
#include "tests/sql/sql_fixture.h"

#include <QStringList>

namespace ctb::sql::test {
namespace {

QString s(const char* text) {
    return QString::fromUtf8(text);
}

const QStringList kReferenceSchema = {
    s("CREATE TABLE EMPRESA (CDEMPRESA VARCHAR(2) NOT NULL PRIMARY KEY, NMEMPRESA VARCHAR(40) NOT NULL)"),
    s("CREATE TABLE CONTOPECTBL (CDEMPRESA VARCHAR(2) NOT NULL PRIMARY KEY, IDCONTGERE VARCHAR(1), "
      "IDCONTCOME VARCHAR(1), IDMSMCONTADBCR VARCHAR(1), DTINICLANC DATE, DTFINALANC DATE)"),
    s("CREATE TABLE HISTPADR (CDHISTPADR VARCHAR(4) NOT NULL PRIMARY KEY, DSHISTPADR VARCHAR(60))"),
    s("CREATE TABLE FILIAL (CDFILIAL CHAR(4) NOT NULL PRIMARY KEY, NMFILIAL CHAR(30) NOT NULL)"),
    s("CREATE TABLE CONTCTBL (CDCONTCTBL VARCHAR(18) NOT NULL PRIMARY KEY, CDCONTREDU VARCHAR(16), "
      "NMCONTCTBL VARCHAR(40) NOT NULL, CDRATEIO VARCHAR(3), CDNVCONTCTBL VARCHAR(1), IDTIPOCONT VARCHAR(1) "
      "NOT NULL, "
      "IDCONTCCUS VARCHAR(1), IDTIPOCOME VARCHAR(1))"),
    s("CREATE TABLE CLIENTE (CDCLIENTE VARCHAR(21) NOT NULL PRIMARY KEY, NMRAZSOCCLIE VARCHAR(50), "
      "NRINSJURCLIE VARCHAR(20), IDTPIJURCLIE VARCHAR(1))"),
    s("CREATE TABLE FORNECEDOR (CDFORNECED VARCHAR(21) NOT NULL PRIMARY KEY, NRINSJURFORN VARCHAR(20), "
      "NMRAZSOCFORN VARCHAR(40), IDTPIJURFORN VARCHAR(1))"),
    s("CREATE TABLE BANCO (CDBANCO VARCHAR(3) NOT NULL PRIMARY KEY, NMBANCO VARCHAR(30))"),
    s("CREATE TABLE CONTCORR (CDEMPRESA VARCHAR(2) NOT NULL, CDBANCO VARCHAR(3) NOT NULL, CDAGENCIA "
      "VARCHAR(5) "
      "NOT NULL, CDCONTCORR VARCHAR(10) NOT NULL, DSCONTCORR VARCHAR(20), CDREDUCONT VARCHAR(50), "
      "VRLIMITE NUMERIC(15,2), PRIMARY KEY (CDEMPRESA, CDBANCO, CDAGENCIA, CDCONTCORR))"),
    s("CREATE TABLE CENTCUST (CDCENTCUST VARCHAR(4) NOT NULL PRIMARY KEY, NMCENTCUST VARCHAR(40))"),
    s("INSERT INTO EMPRESA VALUES ('01', 'Comercial Araújo Ltda.')"),
    s("INSERT INTO EMPRESA VALUES ('02', 'Indústria São João S.A.')"),
    s("INSERT INTO EMPRESA VALUES ('03', 'Serviços O''Neill ME')"),
    s("INSERT INTO CONTOPECTBL VALUES ('01', 'S', 'S', 'N', '2026-01-01', '2027-12-31')"),
    s("INSERT INTO CONTOPECTBL VALUES ('03', 'N', 'N', 'S', '2025-01-01', '2025-12-31')"),
    s("INSERT INTO HISTPADR VALUES ('0001', 'Pagamento de fornecedor')"),
    s("INSERT INTO HISTPADR VALUES ('0002', '')"),
    s("INSERT INTO HISTPADR VALUES ('0003', 'Recebimento de cliente')"),
    s("INSERT INTO FILIAL VALUES ('0001', 'Matriz')"),
    s("INSERT INTO FILIAL VALUES ('0002', 'Filial Campinas')"),
    s("INSERT INTO CONTCTBL VALUES ('1', '1', 'Ativo', NULL, '1', 'S', NULL, NULL)"),
    s("INSERT INTO CONTCTBL VALUES ('1.1', '2', 'Ativo Circulante', NULL, '2', 'S', NULL, NULL)"),
    s("INSERT INTO CONTCTBL VALUES ('1.1.01', '3', 'Disponível', NULL, '3', 'S', NULL, NULL)"),
    s("INSERT INTO CONTCTBL VALUES ('1.1.01.001', '10', 'Caixa', NULL, '4', 'A', '', NULL)"),
    s("INSERT INTO CONTCTBL VALUES ('1.1.01.002', '11', 'Bancos', NULL, '4', 'A', 'G', 'B')"),
    s("INSERT INTO CONTCTBL VALUES ('1.1.02.001', '20', 'Clientes', 'R01', '4', 'A', 'L', 'C')"),
    s("INSERT INTO CONTCTBL VALUES ('2.1.01.001', '30', 'Fornecedores', NULL, '4', 'A', 'R', 'F')"),
    s("INSERT INTO CLIENTE VALUES ('000000000000000000001', 'José da Silva', '12345678901', 'F')"),
    s("INSERT INTO CLIENTE VALUES ('000000000000000000002', 'Padaria Pão Quente Ltda.', '12345678000190', "
      "'J')"),
    s("INSERT INTO FORNECEDOR VALUES ('F1', '98765432000110', 'Distribuidora Paulista Ltda.', 'J')"),
    s("INSERT INTO FORNECEDOR VALUES ('F2', '98765432100', 'Maria Conceição', 'F')"),
    s("INSERT INTO BANCO VALUES ('001', 'Banco do Brasil')"),
    s("INSERT INTO BANCO VALUES ('237', 'Bradesco')"),
    s("INSERT INTO CONTCORR VALUES ('01', '001', '1234', '55555', 'Movimento', '101', 1500.25)"),
    s("INSERT INTO CONTCORR VALUES ('01', '237', '0100', '77777', 'Aplicação', '102', NULL)"),
    s("INSERT INTO CONTCORR VALUES ('02', '001', '9999', '11111', 'Outra empresa', '201', NULL)"),
    s("INSERT INTO CENTCUST VALUES ('0010', 'Administração')"),
    s("INSERT INTO CENTCUST VALUES ('0020', 'Vendas')"),
};

class Lookups : public BackendTest {
  protected:
    void SetUp() override {
        BackendTest::SetUp();
        execAll(handle(), kReferenceSchema);
    }

    // Opens a lookup text with its parameters set by name, as the screens do.
    std::unique_ptr<Query> run(const char* sql,
                               std::initializer_list<std::pair<const char*, const char*>> params) {
        auto q = std::make_unique<Query>(*db_, s(sql));
        for (const auto& [name, value] : params)
            q->paramByName(s(name)).setValue(s(value));
        q->open();
        return q;
    }

    static QStringList column(Query& q, const char* field) {
        QStringList out;
        for (q.first(); !q.eof(); q.next())
            out << q.fieldByName(s(field)).asString();
        return out;
    }
};

TEST_P(Lookups, EmpresaByKeyJoinsOptions) {
    auto q = run(entryScreenSql("qryEmpresa"), {{"P_CDEMPRESA", "01"}, {"P_TCDEMPRESA", ""}});
    ASSERT_EQ(q->recordCount(), 1);
    EXPECT_EQ(q->fieldByName(u"NMEMPRESA").asString(), s("Comercial Araújo Ltda."));
    EXPECT_EQ(q->fieldByName(u"IDCONTGERE").asString(), s("S"));
    EXPECT_EQ(q->fieldByName(u"IDMSMCONTADBCR").asString(), s("N"));
}

TEST_P(Lookups, EmpresaWithoutOptionsRowReadsNullOptions) {
    auto q = run(entryScreenSql("qryEmpresa"), {{"P_CDEMPRESA", "02"}, {"P_TCDEMPRESA", ""}});
    ASSERT_EQ(q->recordCount(), 1);
    EXPECT_TRUE(q->fieldByName(u"IDCONTCOME").isNull());
    EXPECT_EQ(q->fieldByName(u"IDCONTCOME").asString(), QString());
}

TEST_P(Lookups, EmpresaAllRowsSwitch) {
    auto q = run(entryScreenSql("qryEmpresa"), {{"P_CDEMPRESA", ""}, {"P_TCDEMPRESA", "T"}});
    EXPECT_EQ(column(*q, "CDEMPRESA"), (QStringList{s("01"), s("02"), s("03")}));
}

TEST_P(Lookups, EmptyKeyAndEmptySwitchFindNothing) {
    auto q = run(entryScreenSql("qryEmpresa"), {{"P_CDEMPRESA", ""}, {"P_TCDEMPRESA", ""}});
    EXPECT_TRUE(q->isEmpty());
    EXPECT_TRUE(q->eof());
    EXPECT_EQ(q->recordCount(), 0);
}

TEST_P(Lookups, UnknownKeyFindsNothing) {
    auto q = run(entryScreenSql("qryEmpresa"), {{"P_CDEMPRESA", "99"}, {"P_TCDEMPRESA", ""}});
    EXPECT_TRUE(q->isEmpty());
}

TEST_P(Lookups, ParametersLeftUnsetActAsEmptyTexts) {
    Query q(*db_, s(entryScreenSql("qryEmpresa")));
    q.open();
    EXPECT_TRUE(q.isEmpty());
}

TEST_P(Lookups, FieldNamesComeBackUpperCase) {
    auto q =
        run(entryScreenSql("qryContCtbl"),
            {{"P_CDCONTCTBL", ""}, {"P_TCDCONTCTBL", "T"}, {"P_CDCONTREDU", ""}, {"P_TCDCONTREDU", "T"}});
    QStringList names;
    for (const FieldInfo& f : q->fields())
        names << f.name;
    EXPECT_EQ(names, (QStringList{s("CDCONTCTBL"), s("CDCONTREDU"), s("NMCONTCTBL"), s("CDRATEIO"),
                                  s("CDNVCONTCTBL"), s("IDTIPOCONT"), s("IDCONTCCUS"), s("IDTIPOCOME"),
                                  s("IDLANCCOME")}));
    const DataPacket packet = q->toPacket();
    EXPECT_EQ(packet.fields.front().name, s("CDCONTCTBL"));
    EXPECT_EQ(packet.fields.back().name, s("IDLANCCOME"));
}

TEST_P(Lookups, HistPadrByKeyAndEmptyDescription) {
    auto q = run(entryScreenSql("qryHistPadr"), {{"P_CDHISTPADR", "0002"}, {"P_TCDHISTPADR", ""}});
    ASSERT_EQ(q->recordCount(), 1);
    EXPECT_FALSE(q->fieldByName(u"DSHISTPADR").isNull());
    EXPECT_EQ(q->fieldByName(u"DSHISTPADR").asString(), QString());
    auto all = run(entryScreenSql("qryHistPadr"), {{"P_CDHISTPADR", ""}, {"P_TCDHISTPADR", "T"}});
    EXPECT_EQ(all->recordCount(), 3);
}

TEST_P(Lookups, FilialCharPaddingIsTrimmed) {
    auto q = run(entryScreenSql("qryFilial"), {{"P_CDFILIAL", "0002"}, {"P_TCDFILIAL", ""}});
    ASSERT_EQ(q->recordCount(), 1);
    EXPECT_EQ(q->fieldByName(u"NMFILIAL").asString(), s("Filial Campinas"));
    EXPECT_EQ(q->fieldByName(u"CDFILIAL").asString(), s("0002"));
    auto all = run(entryScreenSql("qryFilial"), {{"P_CDFILIAL", ""}, {"P_TCDFILIAL", "T"}});
    EXPECT_EQ(column(*all, "CDFILIAL"), (QStringList{s("0001"), s("0002")}));
}

TEST_P(Lookups, ContCtblByFullCode) {
    auto q = run(entryScreenSql("qryContCtbl"), {{"P_CDCONTCTBL", "1.1.01.002"},
                                                 {"P_TCDCONTCTBL", ""},
                                                 {"P_CDCONTREDU", ""},
                                                 {"P_TCDCONTREDU", "T"}});
    ASSERT_EQ(q->recordCount(), 1);
    EXPECT_EQ(q->fieldByName(u"CDCONTREDU").asString(), s("11"));
    EXPECT_EQ(q->fieldByName(u"IDCONTCCUS").asString(), s("G"));
    EXPECT_EQ(q->fieldByName(u"IDLANCCOME").asString(), s("B"));
    EXPECT_EQ(q->fieldByName(u"IDTIPOCOME").asString(), s("B"));
}

TEST_P(Lookups, ContCtblByReducedCode) {
    auto q =
        run(entryScreenSql("qryContCtbl"),
            {{"P_CDCONTCTBL", ""}, {"P_TCDCONTCTBL", "T"}, {"P_CDCONTREDU", "20"}, {"P_TCDCONTREDU", ""}});
    ASSERT_EQ(q->recordCount(), 1);
    EXPECT_EQ(q->fieldByName(u"CDCONTCTBL").asString(), s("1.1.02.001"));
    EXPECT_EQ(q->fieldByName(u"CDRATEIO").asString(), s("R01"));
}

TEST_P(Lookups, ContCtblNeverReturnsSyntheticAccounts) {
    auto all =
        run(entryScreenSql("qryContCtbl"),
            {{"P_CDCONTCTBL", ""}, {"P_TCDCONTCTBL", "T"}, {"P_CDCONTREDU", ""}, {"P_TCDCONTREDU", "T"}});
    EXPECT_EQ(column(*all, "CDCONTCTBL"),
              (QStringList{s("1.1.01.001"), s("1.1.01.002"), s("1.1.02.001"), s("2.1.01.001")}));
    for (all->first(); !all->eof(); all->next())
        EXPECT_EQ(all->fieldByName(u"IDTIPOCONT").asString(), s("A"));
    auto synthetic =
        run(entryScreenSql("qryContCtbl"),
            {{"P_CDCONTCTBL", "1.1"}, {"P_TCDCONTCTBL", ""}, {"P_CDCONTREDU", ""}, {"P_TCDCONTREDU", "T"}});
    EXPECT_TRUE(synthetic->isEmpty());
    auto byReduced =
        run(entryScreenSql("qryContCtbl"),
            {{"P_CDCONTCTBL", ""}, {"P_TCDCONTCTBL", "T"}, {"P_CDCONTREDU", "2"}, {"P_TCDCONTREDU", ""}});
    EXPECT_TRUE(byReduced->isEmpty());
}

TEST_P(Lookups, ContCtblDeclaredFieldsComeFirstInDeclaredOrder) {
    Query q(*db_, s(entryScreenSql("qryContCtbl")));
    q.declareField(s("CDCONTREDU"), FieldType::String, 16, s("Cód. Red."));
    q.declareField(s("CDCONTCTBL"), FieldType::String, 18, s("Código"));
    q.declareField(s("CDRATEIO"), FieldType::String, 3, {}, false);
    q.setEditMask(s("CDCONTCTBL"), s("9.9.99.999;1;_"));
    q.paramByName(u"P_TCDCONTCTBL").setValue(s("T"));
    q.paramByName(u"P_TCDCONTREDU").setValue(s("T"));
    q.open();
    ASSERT_GE(q.fieldCount(), 9);
    EXPECT_EQ(q.fields()[0].name, s("CDCONTREDU"));
    EXPECT_EQ(q.fields()[0].label, s("Cód. Red."));
    EXPECT_EQ(q.fields()[1].name, s("CDCONTCTBL"));
    EXPECT_EQ(q.fields()[1].editMask, s("9.9.99.999;1;_"));
    EXPECT_FALSE(q.fields()[2].visible);
    EXPECT_EQ(q.fields()[3].name, s("NMCONTCTBL"));
    EXPECT_FALSE(q.fields()[3].declared);
    EXPECT_EQ(q.fieldByName(u"cdcontctbl").asString(), s("1.1.01.001"));
}

TEST_P(Lookups, TipoComeIgnoresAccountsWithoutKind) {
    auto withKind = run(entryScreenSql("qryTipoCome"), {{"P_CDCONTCTBL", "2.1.01.001"}});
    ASSERT_EQ(withKind->recordCount(), 1);
    EXPECT_EQ(withKind->fieldByName(u"IDTIPOCOME").asString(), s("F"));
    EXPECT_TRUE(run(entryScreenSql("qryTipoCome"), {{"P_CDCONTCTBL", "1.1.01.001"}})->isEmpty());
    EXPECT_TRUE(run(entryScreenSql("qryTipoCome"), {{"P_CDCONTCTBL", ""}})->isEmpty());
}

TEST_P(Lookups, ClienteAndFornecedor) {
    auto c =
        run(entryScreenSql("qryCliente"), {{"P_CDCLIENTE", "000000000000000000002"}, {"P_TCDCLIENTE", ""}});
    ASSERT_EQ(c->recordCount(), 1);
    EXPECT_EQ(c->fieldByName(u"NRINSJURCLIE").asString(), s("12345678000190"));
    EXPECT_EQ(c->fieldByName(u"IDTPIJURCLIE").asString(), s("J"));
    EXPECT_EQ(run(entryScreenSql("qryCliente"), {{"P_CDCLIENTE", ""}, {"P_TCDCLIENTE", "T"}})->recordCount(),
              2);
    auto f = run(entryScreenSql("qryFornecedor"), {{"P_CDFORNECED", ""}, {"P_TCDFORNECED", "T"}});
    EXPECT_EQ(column(*f, "NMRAZSOCFORN"),
              (QStringList{s("Distribuidora Paulista Ltda."), s("Maria Conceição")}));
}

TEST_P(Lookups, BancoAllRowsStaysWithinTheCompany) {
    auto q = run(entryScreenSql("qryBanco"),
                 {{"P_CDREDUCONT", ""}, {"P_TCDREDUCONT", "T"}, {"P_CDEMPRESA", "01"}});
    EXPECT_EQ(column(*q, "CDREDUCONT"), (QStringList{s("101"), s("102")}));
    q->first();
    EXPECT_EQ(q->fieldByName(u"NMBANCO").asString(), s("Banco do Brasil"));
    EXPECT_EQ(q->fieldByName(u"CDAGENCIA").asString(), s("1234"));
    auto other = run(entryScreenSql("qryBanco"),
                     {{"P_CDREDUCONT", "201"}, {"P_TCDREDUCONT", ""}, {"P_CDEMPRESA", "01"}});
    EXPECT_TRUE(other->isEmpty());
    auto noCompany =
        run(entryScreenSql("qryBanco"), {{"P_CDREDUCONT", ""}, {"P_TCDREDUCONT", "T"}, {"P_CDEMPRESA", ""}});
    EXPECT_TRUE(noCompany->isEmpty());
}

TEST_P(Lookups, FilterDialogContCtblIncludesSyntheticAccounts) {
    auto q = run(filterDialogSql("qryContCtbl"), {{"P_CDCONTCTBL", "1.1"}, {"P_TCDCONTCTBL", ""}});
    ASSERT_EQ(q->recordCount(), 1);
    EXPECT_EQ(q->fieldByName(u"CDNVCONTCTBL").asString(), s("2"));
    EXPECT_EQ(
        run(filterDialogSql("qryContCtbl"), {{"P_CDCONTCTBL", ""}, {"P_TCDCONTCTBL", "T"}})->recordCount(),
        7);
}

TEST_P(Lookups, FilterDialogContOpReadsDates) {
    Query q(*db_, s(filterDialogSql("qryContOp")));
    q.declareField(s("DTINICLANC"), FieldType::DateTime);
    q.declareField(s("DTFINALANC"), FieldType::DateTime);
    q.paramByName(u"P_CDEMPRESA").setValue(s("01"));
    q.open();
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.fieldByName(u"DTINICLANC").asDate(), QDate(2026, 1, 1));
    EXPECT_EQ(q.fieldByName(u"DTFINALANC").asDateTime(), QDateTime(QDate(2027, 12, 31), QTime(0, 0)));
    EXPECT_EQ(q.fieldByName(u"IDCONTCOME").asString(), s("S"));
    q.paramByName(u"P_CDEMPRESA").setValue(s("02"));
    q.open();
    EXPECT_TRUE(q.isEmpty());
    EXPECT_TRUE(q.fieldByName(u"DTINICLANC").isNull());
}

TEST_P(Lookups, FilterDialogFilialAndCentCustHaveNoParameters) {
    auto f = run(filterDialogSql("qryFilial"), {});
    EXPECT_EQ(f->recordCount(), 2);
    auto c = run(filterDialogSql("qryCentCust"), {});
    EXPECT_EQ(column(*c, "NMCENTCUST"), (QStringList{s("Administração"), s("Vendas")}));
    Query q(*db_, s(filterDialogSql("qryFilial")));
    EXPECT_TRUE(q.paramNames().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Backends, Lookups, ::testing::Values("sqlite", "postgres"), backendName);

}  // namespace
}  // namespace ctb::sql::test
