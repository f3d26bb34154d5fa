#include "db/schema.h"
#include "platform/sql/error.h"
#include "tests/db/db_fixture.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace ctb::db::test {
namespace {

QString s(const char* text) {
    return QString::fromUtf8(text);
}

class Schema : public DbTest {};

TEST_P(Schema, CreatesEveryTableOnceAndThenLeavesItAlone) {
    QSqlDatabase handle = db();
    EXPECT_EQ(storedSchemaVersion(handle), 0);
    EXPECT_EQ(createSchema(handle), SchemaResult::Created);
    EXPECT_EQ(storedSchemaVersion(handle), kSchemaVersion);
    const QStringList tables = handle.tables();
    for (const char* t :
         {"EMPRESA",  "CONTOPECTBL",  "HISTPADR", "FILIAL",     "CONTCTBL",    "CLIENTE",     "FORNECEDOR",
          "CONTCORR", "BANCO",        "CENTCUST", "EMPRFILIAL", "CENTCUSTFIL", "LANCCONT",    "LANCCCUSTO",
          "LOTELANC", "MAPAAPURLANC", "NUMLANC",  "LANCVERSAO", "LANCAUDIT",   "SCHEMAVERSAO"})
        EXPECT_TRUE(tables.contains(s(t), Qt::CaseInsensitive)) << t;
    EXPECT_EQ(createSchema(handle), SchemaResult::AlreadyCurrent);
    EXPECT_EQ(scalar(s("SELECT COUNT(*) FROM SCHEMAVERSAO")), 1);
}

TEST_P(Schema, RefusesADatabaseWithTablesOfItsOwn) {
    QSqlDatabase handle = db();
    sql::test::execAll(handle, {s("CREATE TABLE EMPRESA (CDEMPRESA VARCHAR(2))")});
    try {
        createSchema(handle);
        FAIL() << "created";
    } catch (const sql::SqlError& e) {
        EXPECT_TRUE(e.message().contains(s("EMPRESA"))) << e.what();
    }
    EXPECT_FALSE(handle.tables().contains(s("LANCCONT"), Qt::CaseInsensitive));
}

TEST_P(Schema, RefusesAnotherSchemaVersion) {
    QSqlDatabase handle = db();
    createSchema(handle);
    sql::test::execAll(handle, {s("UPDATE SCHEMAVERSAO SET VERSAO = 99")});
    EXPECT_THROW(createSchema(handle), sql::SqlError);
}

TEST_P(Schema, AVersionTwoDatabaseGetsItsAuditRowsNumberedAndTheReversalTable) {
    QSqlDatabase handle = db();
    createSchema(handle);
    // Back to version 2: the audit trail without its numbers, no reversals.
    sql::test::execAll(
        handle,
        {s("DROP INDEX LANCAUDIT_SEQ"), s("ALTER TABLE LANCAUDIT DROP COLUMN NRSEQAUDIT"),
         s("ALTER TABLE LANCAUDIT DROP COLUMN NRVERSAO"), s("ALTER TABLE LANCAUDIT DROP COLUMN NRLANCREF"),
         s("DROP TABLE LANCESTORNO"), s("CREATE INDEX LANCAUDIT_LANC ON LANCAUDIT (CDEMPRESA, NRLANCCONT)"),
         s("UPDATE SCHEMAVERSAO SET VERSAO = 2"),
         s("INSERT INTO LANCAUDIT (CDEMPRESA, NRLANCCONT, ACAO, DTHORA) VALUES ('01', '202601000001', "
           "'INCLUSAO', '2026-01-10 10:00:00')"),
         s("INSERT INTO LANCAUDIT (CDEMPRESA, NRLANCCONT, ACAO, DTHORA) VALUES ('01', '202601000001', "
           "'ALTERACAO', '2026-01-10 11:00:00')"),
         s("INSERT INTO LANCAUDIT (CDEMPRESA, NRLANCCONT, ACAO, DTHORA) VALUES ('01', '202601000002', "
           "'INCLUSAO', '2026-01-10 12:00:00')")});
    EXPECT_EQ(createSchema(handle), SchemaResult::Upgraded);
    EXPECT_EQ(storedSchemaVersion(handle), kSchemaVersion);
    EXPECT_EQ(scalar(s("SELECT COUNT(*) FROM LANCAUDIT WHERE NRLANCCONT = '202601000001' AND ((ACAO = "
                       "'INCLUSAO' AND NRSEQAUDIT = 1) OR (ACAO = 'ALTERACAO' AND NRSEQAUDIT = 2))")),
              2);
    EXPECT_EQ(scalar(s("SELECT NRSEQAUDIT FROM LANCAUDIT WHERE NRLANCCONT = '202601000002'")), 1);
    EXPECT_TRUE(handle.tables().contains(s("LANCESTORNO"), Qt::CaseInsensitive));
    // One reversal per original.
    sql::test::execAll(handle, {s("INSERT INTO LANCESTORNO (CDEMPRESA, NRLANCCONT, NRLANCORIG) VALUES ('01', "
                                  "'202601000003', '202601000001')")});
    QSqlQuery q(handle);
    EXPECT_FALSE(
        q.exec(s("INSERT INTO LANCESTORNO (CDEMPRESA, NRLANCCONT, NRLANCORIG) VALUES ('01', "
                 "'202601000004', '202601000001')")));
    EXPECT_FALSE(upgradeSchema(handle));
}

TEST_P(Schema, AddedColumnsHaveDefaultsForOtherModules) {
    QSqlDatabase handle = db();
    createSchema(handle);
    // Another module writes only the fixed columns.
    sql::test::execAll(
        handle,
        {s("INSERT INTO EMPRESA VALUES ('01', 'Empresa')"),
         s("INSERT INTO CONTCTBL (CDCONTCTBL, NMCONTCTBL, IDTIPOCONT) VALUES ('1.1.01.001', 'Caixa', 'A')"),
         s("INSERT INTO LANCCONT (CDEMPRESA, NRLANCCONT, NRSEQLANC, CDCONTCTBL, DTLANCCONT, VRLANCAMENT, "
           "CDDOCUCONT, DSHISTLANC, CDCONTCOME, IDLANCINTE, IDTIPOLANC, CDHISTPADR, IDLANCCOME, IDSISTEMA) "
           "VALUES ('01', '202601000001', '00001', '1.1.01.001', '2026-01-10', -10.05, '1', 'VENDA', NULL, "
           "'I', 'D', '0001', NULL, 'FAT')"),
         s("INSERT INTO LOTELANC VALUES ('01', '202601000001', 'L1')"),
         s("INSERT INTO MAPAAPURLANC VALUES ('01', '202601000001', '2026', '01', 'ICMS')"),
         s("INSERT INTO NUMLANC (CDEMPRESA, ANOMES) VALUES ('01', '202601')"),
         s("INSERT INTO LANCVERSAO (CDEMPRESA, NRLANCCONT) VALUES ('01', '202601000001')")});
    EXPECT_EQ(scalar(s("SELECT ULTIMO FROM NUMLANC")), 0);
    EXPECT_EQ(scalar(s("SELECT VERSAO FROM LANCVERSAO")), 1);
    const auto r = rows(s("SELECT VRLANCAMENT, DTGRAVACAO FROM LANCCONT"));
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(cents(r[0][0]), -1005);
    EXPECT_FALSE(r[0][1].isNull());
}

TEST_P(Schema, GuardsTheBooks) {
    QSqlDatabase handle = db();
    createSchema(handle);
    sql::test::execAll(
        handle, {s("INSERT INTO EMPRESA VALUES ('01', 'Empresa')"),
                 s("INSERT INTO CONTCTBL (CDCONTCTBL, NMCONTCTBL, IDTIPOCONT) VALUES ('1', 'A', 'A')")});
    QSqlQuery q(handle);
    const QString line =
        s("INSERT INTO LANCCONT (CDEMPRESA, NRLANCCONT, NRSEQLANC, CDCONTCTBL, DTLANCCONT, "
          "VRLANCAMENT, IDTIPOLANC) VALUES ('%1', '1', '%2', '%3', '2026-01-01', %4, '%5')");
    EXPECT_FALSE(q.exec(line.arg(s("99"), s("1"), s("1"), s("-1"), s("D")))) << "unknown company";
    EXPECT_FALSE(q.exec(line.arg(s("01"), s("1"), s("9.9"), s("-1"), s("D")))) << "unknown account";
    EXPECT_FALSE(q.exec(line.arg(s("01"), s("1"), s("1"), s("1"), s("D")))) << "positive debit";
    EXPECT_FALSE(q.exec(line.arg(s("01"), s("1"), s("1"), s("-1"), s("C")))) << "negative credit";
    EXPECT_FALSE(q.exec(line.arg(s("01"), s("1"), s("1"), s("-1"), s("X")))) << "unknown side";
    EXPECT_TRUE(q.exec(line.arg(s("01"), s("1"), s("1"), s("-1"), s("D"))))
        << q.lastError().text().toStdString();
    EXPECT_FALSE(q.exec(line.arg(s("01"), s("1"), s("1"), s("-2"), s("D")))) << "duplicate key";
    EXPECT_FALSE(q.exec(s("INSERT INTO LANCCCUSTO VALUES ('01', '1', '2', '0001', '0010', NULL, 1)")))
        << "allocation of no line";
}

// The history search as the server runs it, against a plain scan of the lines as the oracle, through
// every state a line can be in on SQLite: queued for the index, indexed, changed or deleted in either.
class HistorySearch : public DbTest {
  protected:
    void SetUp() override {
        DbTest::SetUp();
        QSqlDatabase handle = db();
        createSchema(handle);
        sql::test::execAll(
            handle, {s("INSERT INTO EMPRESA VALUES ('01', 'Empresa')"),
                     s("INSERT INTO CONTCTBL (CDCONTCTBL, NMCONTCTBL, IDTIPOCONT) VALUES ('1', 'A', 'A')")});
    }
    void addLine(int seq, const char* text) {
        sql::test::execAll(db(),
                           {s("INSERT INTO LANCCONT (CDEMPRESA, NRLANCCONT, NRSEQLANC, CDCONTCTBL, "
                              "DTLANCCONT, VRLANCAMENT, IDTIPOLANC, DSHISTLANC) VALUES ('01', '1', '%1', "
                              "'1', '2026-01-01', 0, 'C', '%2')")
                                .arg(seq)
                                .arg(s(text))});
    }
    qint64 found(const QString& needle) const {
        if (isPostgres())
            return scalar(s("SELECT COUNT(*) FROM LANCCONT WHERE DSHISTLANC ILIKE '%%1%'").arg(needle));
        return scalar(s("SELECT COUNT(*) FROM LANCCONT L WHERE L.rowid IN (SELECT rowid FROM LANCCONT_FTS "
                        "WHERE DSHISTLANC LIKE '%%1%' UNION ALL SELECT P.ROWIDLANC FROM LANCCONT_FTS_PEND P "
                        "CROSS JOIN LANCCONT W ON W.rowid = P.ROWIDLANC WHERE W.DSHISTLANC LIKE '%%1%')")
                          .arg(needle));
    }
    // Every needle finds exactly the lines a scan finds; on SQLite the index itself is whole once the
    // queue is drained.
    void expectConsistent(const char* when) {
        SCOPED_TRACE(when);
        for (const char* n : {"MERCADORIA", "mercadoria", "ALUGUEL", "OUTRO TEX", "DEVOLV", "NF 1", "XYZ"}) {
            EXPECT_EQ(found(s(n)), scalar(s("SELECT COUNT(*) FROM LANCCONT WHERE UPPER(DSHISTLANC) LIKE "
                                            "'%%1%'")
                                              .arg(s(n).toUpper())))
                << n;
        }
    }
    void drainAndCheckIndex() {
        (void)indexPendingHistory(db());
        if (isPostgres())
            return;
        EXPECT_EQ(scalar(s("SELECT COUNT(*) FROM LANCCONT_FTS_PEND")), 0);
        QSqlQuery q(db());
        EXPECT_TRUE(q.exec(s("INSERT INTO LANCCONT_FTS (LANCCONT_FTS, rank) VALUES ('integrity-check', 1)")))
            << q.lastError().text().toStdString();
    }
};

TEST_P(HistorySearch, FindsEveryLineWhetherQueuedOrIndexed) {
    addLine(1, "VENDA DE MERCADORIAS NF 123");
    addLine(2, "PAGAMENTO DE ALUGUEL");
    addLine(3, "Mercadoria devolvida");
    if (!isPostgres()) {
        EXPECT_EQ(scalar(s("SELECT COUNT(*) FROM LANCCONT_FTS_PEND")), 3);
    }
    expectConsistent("queued");
    EXPECT_EQ(found(s("MERCADORIA")), 2);
    EXPECT_EQ(indexPendingHistory(db()), isPostgres() ? 0 : 3);
    drainAndCheckIndex();
    expectConsistent("indexed");
    EXPECT_EQ(found(s("aluguel")), 1);

    // Changes to indexed lines.
    sql::test::execAll(db(), {s("UPDATE LANCCONT SET DSHISTLANC = 'OUTRO TEXTO' WHERE NRSEQLANC = '1'"),
                              s("DELETE FROM LANCCONT WHERE NRSEQLANC = '2'"),
                              s("UPDATE LANCCONT SET VRLANCAMENT = 0 WHERE NRSEQLANC = '3'")});
    expectConsistent("indexed lines changed");
    EXPECT_EQ(found(s("ALUGUEL")), 0);
    EXPECT_EQ(found(s("OUTRO TEX")), 1);

    // Changes to queued lines, then a line deleted and its rowid taken again.
    addLine(4, "ALUGUEL DE MAQUINAS");
    addLine(5, "NF 1000 DEVOLVIDA");
    sql::test::execAll(db(), {s("UPDATE LANCCONT SET DSHISTLANC = 'ALUGUEL DE SALAS' WHERE NRSEQLANC = '4'"),
                              s("DELETE FROM LANCCONT WHERE NRSEQLANC = '5'")});
    addLine(6, "MERCADORIA EM TRANSITO");
    expectConsistent("queued lines changed");
    drainAndCheckIndex();
    expectConsistent("drained again");
    EXPECT_EQ(found(s("MERCADORIA")), 2);
    EXPECT_EQ(indexPendingHistory(db()), 0);
}

TEST_P(HistorySearch, AVersionOneDatabaseIsUpgradedWithItsLinesStillFound) {
    addLine(1, "VENDA DE MERCADORIAS");
    drainAndCheckIndex();
    if (!isPostgres()) {
        // Version 1 kept the index inside each write.
        sql::test::execAll(
            db(), {s("DROP TRIGGER LANCCONT_FTS_AI"), s("DROP TRIGGER LANCCONT_FTS_AD"),
                   s("DROP TRIGGER LANCCONT_FTS_AU"), s("DROP TABLE LANCCONT_FTS_PEND"),
                   s("CREATE TRIGGER LANCCONT_FTS_AI AFTER INSERT ON LANCCONT BEGIN INSERT INTO LANCCONT_FTS "
                     "(rowid, DSHISTLANC) VALUES (new.rowid, new.DSHISTLANC); END")});
    }
    sql::test::execAll(db(), {s("DELETE FROM SCHEMAVERSAO"),
                              s("INSERT INTO SCHEMAVERSAO (VERSAO, DSVERSAO) VALUES (1, 'v1')")});
    addLine(2, "MERCADORIA EM TRANSITO");
    QSqlDatabase handle = db();
    EXPECT_EQ(createSchema(handle), SchemaResult::Upgraded);
    EXPECT_EQ(storedSchemaVersion(handle), kSchemaVersion);
    EXPECT_FALSE(upgradeSchema(handle));
    addLine(3, "MERCADORIA NOVA");
    expectConsistent("upgraded");
    EXPECT_EQ(found(s("MERCADORIA")), 3);
    drainAndCheckIndex();
    sql::test::execAll(db(), {s("DELETE FROM LANCCONT WHERE NRSEQLANC = '2'")});
    expectConsistent("after a delete");
    drainAndCheckIndex();
}

TEST(SchemaText, SplitsStatementsAndKeepsTriggersWhole) {
    const QStringList parts =
        splitStatements(s("-- comment\nCREATE TABLE A (X INT);\n\nCREATE TRIGGER T AFTER INSERT ON A BEGIN\n "
                          " INSERT INTO B VALUES "
                          "(1);\n  INSERT INTO B VALUES (2);\nEND;\nCREATE INDEX I ON A (X);\n"));
    ASSERT_EQ(parts.size(), 3);
    EXPECT_EQ(parts[0], s("CREATE TABLE A (X INT)"));
    EXPECT_TRUE(parts[1].startsWith(s("CREATE TRIGGER")));
    EXPECT_TRUE(parts[1].endsWith(s("END")));
    EXPECT_TRUE(parts[1].contains(s("VALUES (2);")));
    EXPECT_EQ(parts[2], s("CREATE INDEX I ON A (X)"));
    EXPECT_GT(splitStatements(portableSchemaSql()).size(), 20);
}

INSTANTIATE_TEST_SUITE_P(Backends, Schema, ::testing::Values("sqlite", "postgres"), backendName);
INSTANTIATE_TEST_SUITE_P(Backends, HistorySearch, ::testing::Values("sqlite", "postgres"), backendName);

}  // namespace
}  // namespace ctb::db::test
