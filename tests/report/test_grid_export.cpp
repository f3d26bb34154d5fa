// A grid's rows to CSV and to a report table: the visible columns with their titles, the rows as
// filtered, display handlers applied, numbers and dates typed for a spreadsheet; byte for byte on
// histories with quotes, semicolons, line breaks and accents.

#include "platform/dataset/client_dataset.h"
#include "platform/report/grid_export.h"
#include "platform/ui/data_controls.h"

#include <QBuffer>
#include <QDateTime>

#include <gtest/gtest.h>

namespace ctb::report {
namespace {

QString s(const char* text) {
    return QString::fromUtf8(text);
}

class GridExport : public ::testing::Test {
  protected:
    void SetUp() override {
        table.addStringField(s("NRLANCCONT"), 12).setDisplayLabel(s("Lançamento"));
        table.addDateTimeField(s("DTLANCCONT")).setDisplayLabel(s("Data"));
        Field& debit = table.addFloatField(s("DEBITO"));
        debit.setDisplayLabel(s("Débito"));
        debit.setDisplayFormat(s("#,##0.00"));
        table.addStringField(s("DSHISTLANC"), 600).setDisplayLabel(s("Histórico"));
        table.addStringField(s("IDLANCINTE"), 1).setDisplayLabel(s("Tipo"));
        table.addStringField(s("CDEMPRESA"), 2).setVisible(false);
        table.fieldByName(u"IDLANCINTE").onGetText = [](Field& f, QString& text, bool) {
            text = f.asString() == u"M" ? s("Manual") : s("Lote");
        };
        table.createDataSet();
        struct Row {
            const char* entry;
            QDate date;
            double debit;
            const char* history;
            const char* type;
        };
        const Row rows[] = {
            {"202612000001", QDate(2026, 12, 1), 1234.5, "Aluguel de dezembro", "M"},
            {"202612000002", QDate(2026, 12, 2), 999999999.99, "NF \"100\"; pago à vista", "L"},
            {"202612000003", QDate(2026, 12, 3), 0.1, "linha 1\nlinha 2 – ação", "M"},
            {"202612000004", QDate(), 0, "", "M"},
        };
        for (const Row& r : rows) {
            table.append();
            table.fieldByName(u"NRLANCCONT").setAsString(s(r.entry));
            if (r.date.isValid())
                table.fieldByName(u"DTLANCCONT").setAsDateTime(QDateTime(r.date, QTime()));
            if (r.debit != 0)
                table.fieldByName(u"DEBITO").setAsFloat(r.debit);
            table.fieldByName(u"DSHISTLANC").setAsString(s(r.history));
            table.fieldByName(u"IDLANCINTE").setAsString(s(r.type));
            table.fieldByName(u"CDEMPRESA").setAsString(s("01"));
            table.post();
        }
        table.first();
        grid.setDataSource(&source);
        grid.addColumn(s("NRLANCCONT"));
        grid.addColumn(s("DTLANCCONT"));
        grid.addColumn(s("DEBITO"));
        grid.addColumn(s("DSHISTLANC"), s("Histórico do lançamento"));
        grid.addColumn(s("IDLANCINTE"));
        grid.addColumn(s("CDEMPRESA")).visible = false;
    }
    QByteArray csv() {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        EXPECT_TRUE(buffer.open(QIODevice::WriteOnly));
        EXPECT_TRUE(writeGridCsv(grid, buffer));
        return bytes;
    }

    ClientDataSet table{s("cdsLancCont")};
    DataSource source{&table, s("dtsPadrao")};
    ui::DBGrid grid{s("dbgPadrao")};
};

TEST_F(GridExport, CsvIsWhatASpreadsheetInBrazilOpens) {
    const QByteArray expected =
        QByteArray("\xEF\xBB\xBF") +
        s("Lançamento;Data;Débito;Histórico do lançamento;Tipo\r\n"
          "202612000001;01/12/2026;1234,50;Aluguel de dezembro;Manual\r\n"
          "202612000002;02/12/2026;999999999,99;\"NF \"\"100\"\"; pago à vista\";Lote\r\n"
          "202612000003;03/12/2026;0,10;\"linha 1\nlinha 2 – ação\";Manual\r\n"
          "202612000004;;;;Manual\r\n")
            .toUtf8();
    EXPECT_EQ(csv(), expected);
}

TEST_F(GridExport, CsvHoldsOnlyTheRowsTheFilterLetsThrough) {
    table.setFilter(s("IDLANCINTE = 'L'"));
    table.setFiltered(true);
    const QList<QByteArray> lines = csv().split('\n');
    ASSERT_EQ(lines.size(), 3);  // titles, the one row (whose history has no break), the empty end
    EXPECT_TRUE(lines[1].startsWith("202612000002;"));
}

TEST_F(GridExport, CsvLeavesTheTableWhereItWas) {
    table.setRecNo(3);
    (void)csv();
    EXPECT_EQ(table.recNo(), 3);
    EXPECT_EQ(table.state(), DataSetState::Browse);
}

TEST_F(GridExport, TableShowsTheCellsAsTheGridDoes) {
    const Table t = gridTable(grid);
    ASSERT_EQ(t.columns.size(), 5U);
    EXPECT_EQ(t.columns[2].title, s("Débito"));
    EXPECT_EQ(t.columns[2].align, Align::Right);
    EXPECT_EQ(t.columns[3].title, s("Histórico do lançamento"));
    ASSERT_EQ(t.rows.size(), 4U);
    EXPECT_EQ(t.rows[0], (std::vector<QString>{s("202612000001"), s("01/12/2026"), s("1.234,50"),
                                               s("Aluguel de dezembro"), s("Manual")}));
    EXPECT_EQ(t.rows[1][2], s("999.999.999,99"));
}

TEST_F(GridExport, APendingInsertIsNotARow) {
    table.append();
    EXPECT_EQ(gridTable(grid).rows.size(), 4U);
    const QList<QByteArray> lines = csv().split('\r');
    EXPECT_EQ(lines.size(), 6);  // titles, four rows, the empty end
    table.cancel();
}

TEST(GridExportNoTable, AGridWithoutTableExportsNothingButDoesNotFail) {
    ui::DBGrid grid{QStringLiteral("dbgVazia")};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
    EXPECT_TRUE(writeGridCsv(grid, buffer));
    EXPECT_EQ(bytes, QByteArray("\xEF\xBB\xBF\r\n"));
    EXPECT_TRUE(gridTable(grid).rows.empty());
}

}  // namespace
}  // namespace ctb::report
