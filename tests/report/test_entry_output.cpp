// The journal-entry screen's print button and export menu item, against a real server on a
// throwaway database, through the headless services: the list report and the entry voucher as the
// documents the print preview shows, the list as a CSV file byte for byte, and what the user reads
// when there is nothing to print or the file cannot be written.

#include "platform/report/document.h"
#include "tests/module/screen_fixture.h"

#include <QFile>
#include <QTemporaryDir>

namespace ctb::ctb10000 {
namespace {

using namespace screentest;

QString s(const char* text) {
    return QString::fromUtf8(text);
}

class EntryOutput : public ScreenFixture {
  protected:
    void SetUp() override {
        ScreenFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
    }
    ui::MenuItem& menuItem(const char16_t* name) {
        return *static_cast<ui::MenuItem*>(screen().findControl(name));
    }
    ui::MenuItem& exportItem() { return *static_cast<ui::MenuItem*>(screen().findControl(u"mnuExportar")); }
    QTemporaryDir dir;
};

TEST_F(EntryOutput, TheListPrintsAsFilteredWithCompanyCriteriaAndTotals) {
    TfrmLancamento& f = listed();
    ASSERT_TRUE(f.sbtImprimir.effectivelyEnabled());
    ASSERT_TRUE(user::click(f.sbtImprimir));
    EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
    ASSERT_EQ(ui_.printed().size(), 1U);
    const report::Document& doc = ui_.printed().front();
    EXPECT_EQ(doc.subtitle, s("Empresa 01 - Navega Um Ltda"));
    ASSERT_FALSE(doc.criteria.empty());
    EXPECT_EQ(doc.criteria.front(), (std::pair{s("Período"), s("01/12/2026 a 08/12/2026")}));
    ASSERT_EQ(doc.sections.size(), 1U);
    const report::Table& t = doc.sections.front().table;
    EXPECT_EQ(t.rows.size(), 7U);
    EXPECT_EQ(t.columns.front().title, s("Lançamento"));
    EXPECT_EQ(t.rows.front().front(), s("202612000001"));
    const QString text = report::plainText(doc);
    EXPECT_TRUE(text.contains(s("7 linhas"))) << text.toStdString();
    // Debits 1.000 + 200 + 100 + 50, credits 1.000 + 300 + 50, under their columns.
    EXPECT_EQ(std::count(t.totals.begin(), t.totals.end(), s("1.350,00")), 2);
    EXPECT_TRUE(doc.footer.startsWith(s("Emitido por OPER em 08/12/2026"))) << doc.footer.toStdString();
    EXPECT_TRUE(doc.landscape);
}

TEST_F(EntryOutput, TheListPrintsOnlyTheRowsTheGridShows) {
    TfrmLancamento& f = listed();
    f.cdsLancCont.setFilter(s("NRLANCCONT = '202612000003'"));
    f.cdsLancCont.setFiltered(true);
    ASSERT_TRUE(user::click(f.sbtImprimir));
    ASSERT_EQ(ui_.printed().size(), 1U);
    const report::Table& t = ui_.printed().front().sections.front().table;
    EXPECT_EQ(t.rows.size(), 2U);
    EXPECT_EQ(std::count(t.totals.begin(), t.totals.end(), s("50,00")), 2);
}

TEST_F(EntryOutput, TheOpenedEntryPrintsAsAVoucherByCtrlP) {
    TfrmLancamento& f = opened(1);
    // The fifth button's rules keep it to the browse tab; the menu item prints the entry.
    EXPECT_FALSE(f.sbtImprimir.effectivelyEnabled());
    ASSERT_NE(f.activeControl(), nullptr);
    ASSERT_TRUE(user::key(*f.activeControl(), 'P', ui::ShiftState{true, false}));
    EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
    ASSERT_EQ(ui_.printed().size(), 1U);
    const report::Document& doc = ui_.printed().front();
    EXPECT_EQ(doc.title, s("Lançamento Contábil 202612000001"));
    const QString text = report::plainText(doc);
    for (const char* expected :
         {"Lançamento: 202612000001", "Data: 01/12/2026", "Documento: NF100", "Débitos",
          "4.1.01.001 | ALUGUEL", "Créditos", "1.1.01.002 | BANCOS | ALUGUEL | B01 | 1.000,00",
          "Rateio por centro de custo", "Total a débito: 1.000,00", "Total a crédito: 1.000,00",
          "Diferença: 0,00", "Emitido por OPER"}) {
        EXPECT_TRUE(text.contains(s(expected))) << expected << "\n" << text.toStdString();
    }
    // Three allocations of the debit line, whichever line the allocation area shows.
    const auto& sections = doc.sections;
    const auto allocations = std::find_if(sections.begin(), sections.end(), [](const report::Section& sec) {
        return sec.heading == s("Rateio por centro de custo");
    });
    ASSERT_NE(allocations, sections.end());
    EXPECT_EQ(allocations->table.rows.size(), 3U);
}

TEST_F(EntryOutput, ExportWritesTheListToTheChosenFile) {
    listed();
    const QString path = dir.filePath(QStringLiteral("lista.csv"));
    ui_.queueSaveFileName(path);
    ASSERT_TRUE(user::click(exportItem()));
    EXPECT_EQ(nextMessage(), s("7 linhas exportadas para lista.csv."));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    const QList<QByteArray> lines = bytes.mid(3).split('\n');
    ASSERT_EQ(lines.size(), 9);  // titles, seven rows, the empty end
    EXPECT_EQ(lines[0],
              s("Lançamento;Conta Contábil;Nome;Data;Débito;Crédito;Documento;Histórico;Identificador;"
                "Cód. Comercial;Tipo;Origem\r")
                  .toUtf8());
    EXPECT_TRUE(lines[1].startsWith("202612000001;4.1.01.001;ALUGUEL;01/12/2026;1000,00;;NF100;ALUGUEL;"))
        << lines[1].toStdString();
}

TEST_F(EntryOutput, ExportCancelledWritesNothing) {
    listed();
    ui_.queueSaveFileName(QString());
    ASSERT_TRUE(user::click(exportItem()));
    EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST_F(EntryOutput, ExportToAFolderThatDoesNotExistSaysWhatToDo) {
    listed();
    ui_.queueSaveFileName(dir.filePath(QStringLiteral("nao/existe/lista.csv")));
    EXPECT_FALSE(user::click(exportItem()));
    const QString message = nextMessage();
    EXPECT_TRUE(message.startsWith(s("Não foi possível criar o arquivo lista.csv:")))
        << message.toStdString();
    EXPECT_TRUE(message.endsWith(s("Escolha outra pasta ou outro nome."))) << message.toStdString();
}

TEST_F(EntryOutput, NothingToPrintOrExportBeforeAFilter) {
    TfrmLancamento& f = screen();
    nextDialogCancels();
    ASSERT_TRUE(toList());
    EXPECT_FALSE(user::click(exportItem()));
    EXPECT_EQ(nextMessage(),
              s("Não há lançamentos na lista para exportar. Informe o filtro dos lançamentos."));
    if (f.sbtImprimir.effectivelyEnabled()) {
        EXPECT_FALSE(user::click(f.sbtImprimir));
        EXPECT_EQ(nextMessage(),
                  s("Não há lançamentos na lista para imprimir. Informe o filtro dos lançamentos."));
    }
    EXPECT_FALSE(user::click(menuItem(u"mnuImprimirLancamento")));
    EXPECT_EQ(nextMessage(),
              s("Não há lançamentos na lista para imprimir. Informe o filtro dos lançamentos."));
    EXPECT_TRUE(ui_.printed().empty());
}

TEST_F(EntryOutput, CtrlPOnTheListPrintsTheList) {
    TfrmLancamento& f = listed();
    ASSERT_TRUE(user::key(f.dbgPadrao, 'P', ui::ShiftState{true, false}));
    ASSERT_EQ(ui_.printed().size(), 1U);
    EXPECT_EQ(ui_.printed().front().sections.front().table.rows.size(), 7U);
}

}  // namespace
}  // namespace ctb::ctb10000
