#pragma once

// The journal-entry screen driven through the control model with the headless UI services: the module
// fixture on reference rows and entries of its own.

#include "platform/ui/services.h"
#include "platform/ui/user_input.h"
#include "tests/module/module_fixture.h"

#include <functional>
#include <string>
#include <vector>

namespace ctb::ctb10000::screentest {

using moduletest::Call;
using wire::Value;
namespace user = ui::user;

// Companies: 01 commercial and managerial; 02 without accounting options; 03 neither; 04 commercial
// only; 05 managerial only; 06 with one single-line entry per origin-system code; 07 as 01.
// Entries of 01, between 2026-12-01 and 2026-12-06 (list rows in this order):
//   rows 1-2  202612000001  NF100, manual, DFS: debit 1.000,00 with three allocations, bank credit;
//   rows 3-5  202612000002  no document, lot, "dfs": a credit line first (two allocations), then two
//                           debit lines (one allocation each);
//   rows 6-7  202612000003  NF300, integration, PAG: one debit and one credit of 50,00, no allocations;
// and 202611000001 (2026-11-20). Company 02 and 03 have one entry each on 2026-12-03 / 2026-12-02.
inline const char* const kReferenceRows[] = {
    "INSERT INTO EMPRESA (CDEMPRESA, NMEMPRESA) VALUES ('01', 'Navega Um Ltda')",
    "INSERT INTO EMPRESA (CDEMPRESA, NMEMPRESA) VALUES ('02', 'Navega Dois S.A.')",
    "INSERT INTO EMPRESA (CDEMPRESA, NMEMPRESA) VALUES ('03', 'Navega Três Ltda')",
    "INSERT INTO EMPRESA (CDEMPRESA, NMEMPRESA) VALUES ('04', 'Navega Quatro Ltda')",
    "INSERT INTO EMPRESA (CDEMPRESA, NMEMPRESA) VALUES ('05', 'Navega Cinco Ltda')",
    "INSERT INTO EMPRESA (CDEMPRESA, NMEMPRESA) VALUES ('06', 'Navega Seis Ltda')",
    "INSERT INTO EMPRESA (CDEMPRESA, NMEMPRESA) VALUES ('07', 'Navega Sete Ltda')",
    "INSERT INTO CONTOPECTBL VALUES ('01', 'S', 'S', 'N', '2026-01-01', '2026-12-31')",
    "INSERT INTO CONTOPECTBL VALUES ('03', 'N', 'N', 'S', '2026-01-01', '2026-12-31')",
    "INSERT INTO CONTOPECTBL VALUES ('04', 'N', 'S', 'N', '2026-01-01', '2026-12-31')",
    "INSERT INTO CONTOPECTBL VALUES ('05', 'S', 'N', 'N', '2026-01-01', '2026-12-31')",
    "INSERT INTO CONTOPECTBL VALUES ('06', 'N', 'N', 'N', '2026-01-01', '2026-12-31')",
    "INSERT INTO CONTOPECTBL VALUES ('07', 'S', 'S', 'N', '2026-01-01', '2026-12-31')",
    "INSERT INTO CONTCTBL VALUES ('1', NULL, 'ATIVO', NULL, '1', 'S', NULL, NULL)",
    "INSERT INTO CONTCTBL VALUES ('1.1.01.001', '10', 'CAIXA', NULL, '4', 'A', NULL, NULL)",
    "INSERT INTO CONTCTBL VALUES ('1.1.01.002', '11', 'BANCOS', NULL, '4', 'A', NULL, 'B')",
    "INSERT INTO CONTCTBL VALUES ('3.1.01.001', '40', 'VENDAS', NULL, '4', 'A', NULL, NULL)",
    "INSERT INTO CONTCTBL VALUES ('4.1.01.001', '50', 'ALUGUEL', NULL, '4', 'A', 'G', NULL)",
    "INSERT INTO CONTCTBL VALUES ('4.1.01.002', '51', 'ENERGIA', NULL, '4', 'A', 'L', NULL)",
    "INSERT INTO FILIAL VALUES ('0001', 'MATRIZ')",
    "INSERT INTO FILIAL VALUES ('0002', 'FILIAL SUL')",
    "INSERT INTO EMPRFILIAL VALUES ('01', '0001')",
    "INSERT INTO EMPRFILIAL VALUES ('01', '0002')",
    "INSERT INTO EMPRFILIAL VALUES ('07', '0001')",
    "INSERT INTO EMPRFILIAL VALUES ('07', '0002')",
    "INSERT INTO CENTCUST VALUES ('0010', 'ADMINISTRATIVO')",
    "INSERT INTO CENTCUST VALUES ('0020', 'COMERCIAL')",
    "INSERT INTO CENTCUSTFIL VALUES ('0001', '0010')",
    "INSERT INTO CENTCUSTFIL VALUES ('0001', '0020')",
    "INSERT INTO CENTCUSTFIL VALUES ('0002', '0020')",
    "INSERT INTO BANCO VALUES ('001', 'BANCO UM')",
    "INSERT INTO CONTCORR VALUES ('01', '001', '0001', '12345', 'CONTA UM', 'B01')",
};

// One stored line: company, entry, sequence, account, date, signed value, document (or NULL), history,
// origin type, side, origin system (or NULL).
inline QString lineRow(const char* company, const char* entry, const char* seq, const char* account,
                       const char* date, double value, const char* document, const char* history,
                       const char* type, const char* side, const char* system, const char* come = nullptr,
                       const char* idCome = nullptr) {
    auto text = [](const char* t) {
        return t == nullptr ? QStringLiteral("NULL") : QStringLiteral("'%1'").arg(QString::fromUtf8(t));
    };
    return QStringLiteral(
               "INSERT INTO LANCCONT (CDEMPRESA, NRLANCCONT, NRSEQLANC, CDCONTCTBL, DTLANCCONT, "
               "VRLANCAMENT, CDDOCUCONT, DSHISTLANC, CDCONTCOME, IDLANCINTE, IDTIPOLANC, CDHISTPADR, "
               "IDLANCCOME, IDSISTEMA) VALUES (%1, %2, %3, %4, %5, %6, %7, %8, %9, %10, %11, NULL, "
               "%12, %13)")
        .arg(text(company), text(entry), text(seq), text(account), text(date), QString::number(value, 'f', 2),
             text(document), text(history), text(come))
        .arg(text(type), text(side), text(idCome), text(system));
}

inline QString allocationRow(const char* entry, const char* seq, const char* branch, const char* centre,
                             double value, const char* company = "01") {
    return QStringLiteral("INSERT INTO LANCCCUSTO VALUES ('%6', '%1', '%2', '%3', '%4', '2026-12-01', %5)")
        .arg(QString::fromUtf8(entry), QString::fromUtf8(seq), QString::fromUtf8(branch),
             QString::fromUtf8(centre), QString::number(value, 'f', 2), QString::fromUtf8(company));
}

// The origin-system codes of company 06's entries, in entry order, and the texts the list shows.
struct SystemCase {
    const char* code;  // nullptr: stored as NULL
    const char* type;
    const char* systemText;
    const char* typeText;
};
inline const std::vector<SystemCase>& systemCases() {
    static const std::vector<SystemCase> cases = {
        {"DFS", "M", "Documentos Fiscais de Saída", "Manual"},
        {"DFE", "I", "Documentos Fiscais de Entrada", "Integração"},
        {"EXP", "E", "Expedição", "Encerramento"},
        {"PAG", "L", "Contas a Pagar", "Lote"},
        {"REC", "M", "Contas a Receber", "Manual"},
        {"BCO", "M", "Controle Bancário", "Manual"},
        {"FIS", "M", "Fiscal", "Manual"},
        {"FAI", "M", "Faturamento", "Manual"},
        {"VND", "M", "Gestão de Vendas", "Manual"},
        {"LTO", "L", "Lote", "Lote"},
        {"dfs", "M", "", "Manual"},  // compared case and all
        {"Dfs", "M", "", "Manual"},
        {"XYZ", "M", "", "Manual"},  // no such system
        {"DF", "M", "", "Manual"},
        {nullptr, "M", "", "Manual"},
    };
    return cases;
}

inline QStringList entryRows() {
    QStringList rows;
    rows << lineRow("01", "202612000001", "00001", "4.1.01.001", "2026-12-01", -1000, "NF100", "ALUGUEL", "M",
                    "D", "DFS")
         << lineRow("01", "202612000001", "00002", "1.1.01.002", "2026-12-01", 1000, "NF100", "ALUGUEL", "M",
                    "C", "DFS", "B01", "B")
         << allocationRow("202612000001", "00001", "0001", "0010", -600)
         << allocationRow("202612000001", "00001", "0001", "0020", -300)
         << allocationRow("202612000001", "00001", "0002", "0020", -100)
         << lineRow("01", "202612000002", "00001", "3.1.01.001", "2026-12-05", 300, nullptr, "VENDA", "L",
                    "C", "dfs")
         << lineRow("01", "202612000002", "00002", "1.1.01.001", "2026-12-05", -200, nullptr, "VENDA", "L",
                    "D", "dfs")
         << lineRow("01", "202612000002", "00003", "4.1.01.002", "2026-12-05", -100, nullptr, "VENDA", "L",
                    "D", "dfs")
         << allocationRow("202612000002", "00001", "0001", "0010", 200)
         << allocationRow("202612000002", "00001", "0002", "0020", 100)
         << allocationRow("202612000002", "00002", "0001", "0020", -200)
         << allocationRow("202612000002", "00003", "0002", "0020", -100)
         << lineRow("01", "202612000003", "00001", "1.1.01.001", "2026-12-06", -50, "NF300", "SUPRIMENTO",
                    "I", "D", "PAG")
         << lineRow("01", "202612000003", "00002", "3.1.01.001", "2026-12-06", 50, "NF300", "SUPRIMENTO", "I",
                    "C", "PAG")
         << lineRow("01", "202611000001", "00001", "4.1.01.002", "2026-11-20", -75.25, "NF90", "ENERGIA", "E",
                    "D", "XYZ")
         << lineRow("01", "202611000001", "00002", "1.1.01.002", "2026-11-20", 75.25, "NF90", "ENERGIA", "E",
                    "C", "XYZ")
         << lineRow("02", "202612000001", "00001", "1.1.01.001", "2026-12-03", -20, "R7", "CAIXA", "M", "D",
                    "BCO")
         << lineRow("02", "202612000001", "00002", "3.1.01.001", "2026-12-03", 20, "R7", "CAIXA", "M", "C",
                    "BCO")
         << lineRow("03", "202612000001", "00001", "1.1.01.001", "2026-12-02", -10, "D1", "ENCERRAMENTO", "E",
                    "D", "XYZ")
         << lineRow("03", "202612000001", "00002", "3.1.01.001", "2026-12-02", 10, "D1", "ENCERRAMENTO", "E",
                    "C", "XYZ")
         // Company 07: a manual entry shaped as 01's entry 2 (a credit line with two allocations
         // first, then two debit lines with one each), whose lines may be changed.
         << lineRow("07", "202612000001", "00001", "3.1.01.001", "2026-12-05", 300, "NF7", "VENDA", "M", "C",
                    nullptr)
         << lineRow("07", "202612000001", "00002", "1.1.01.001", "2026-12-05", -200, "NF7", "VENDA", "M", "D",
                    nullptr)
         << lineRow("07", "202612000001", "00003", "4.1.01.002", "2026-12-05", -100, "NF7", "VENDA", "M", "D",
                    nullptr)
         << allocationRow("202612000001", "00001", "0001", "0010", 200, "07")
         << allocationRow("202612000001", "00001", "0002", "0020", 100, "07")
         << allocationRow("202612000001", "00002", "0001", "0020", -200, "07")
         << allocationRow("202612000001", "00003", "0002", "0020", -100, "07");
    int n = 0;
    for (const SystemCase& c : systemCases()) {
        const QByteArray entry = QStringLiteral("2026120000%1").arg(++n, 2, 10, QLatin1Char('0')).toLatin1();
        rows << lineRow("06", entry.constData(), "00001", "1.1.01.001", "2026-12-04", -1, "S", "ORIGEM",
                        c.type, "D", c.code);
    }
    return rows;
}

// The rows' display texts of one field, in order.
inline QStringList column(const ClientDataSet& t, const char* field) {
    QStringList out;
    const int index = t.fieldByName(QString::fromLatin1(field)).index();
    for (int r = 0; r < t.viewRowCount(); ++r)
        out << t.displayTextAt(r, index);
    return out;
}

// A tool button and its menu item agree; whether they are on.
inline bool enabledWithMenu(const ui::Control& button, const ui::MenuItem& item) {
    EXPECT_EQ(button.enabled(), item.enabled()) << button.name().toStdString();
    return button.enabled();
}

class ScreenFixture : public moduletest::ModuleFixture<ui::HeadlessUi> {
  protected:
    ScreenFixture() : ModuleFixture(QStringLiteral("screen_browse")) {}
    [[nodiscard]] QStringList databaseRows() const override {
        QStringList rows;
        for (const char* sql : kReferenceRows)
            rows << QString::fromUtf8(sql);
        rows << entryRows();
        return rows;
    }
    void TearDown() override {
        ModuleFixture::TearDown();
        EXPECT_TRUE(ui_.problems().empty()) << ui_.problems().front().toStdString();
        EXPECT_EQ(ui_.busyDepth(), 0);
    }

    // ---- the filter dialog (modal): what the next one that opens does ----
    void nextDialog(std::function<void(TfrmLancFiltro&)> act) {
        ui_.queueModalHandler([act = std::move(act)](ui::Form& f) { act(static_cast<TfrmLancFiltro&>(f)); });
    }
    // Confirms the dialog with the entry dates from `from` to today (2026-12-08).
    void nextDialogConfirms(const char* from = "01/12/2026") {
        nextDialog([from](TfrmLancFiltro& d) {
            user::type(d.depIni, QString::fromLatin1(from));
            user::click(d.sbtConfirma);
        });
    }
    void nextDialogCancels() {
        nextDialog([](TfrmLancFiltro& d) { user::click(d.sbtCancel); });
    }

    // Leaves the company panel for the list grid.
    bool toList() { return user::focus(screen().dbgPadrao); }
    // The screen with company 01's list of 2026-12-01 to 2026-12-08 (seven lines) on the browse tab.
    TfrmLancamento& listed() {
        TfrmLancamento& f = screen();
        nextDialogConfirms();
        EXPECT_TRUE(toList());
        EXPECT_EQ(f.cdsLancCont.recordCount(), 7);
        EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
        return f;
    }
    // Opens the entry of list row `row1` of another company's list on the form tab.
    TfrmLancamento& openedOf(const char* company, int row1) {
        TfrmLancamento& f = screen();
        EXPECT_TRUE(user::type(f.edtCdEmpresa, QString::fromLatin1(company)));
        nextDialogConfirms();
        EXPECT_TRUE(toList());
        EXPECT_TRUE(user::selectRow(f.dbgPadrao, row1));
        EXPECT_TRUE(user::click(f.tshFormulario));
        EXPECT_EQ(f.pgcPadrao.activePage(), &f.tshFormulario);
        EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
        return f;
    }
    // Opens the entry of list row `row1` on the form tab.
    TfrmLancamento& opened(int row1) {
        TfrmLancamento& f = listed();
        EXPECT_TRUE(user::selectRow(f.dbgPadrao, row1));
        EXPECT_TRUE(user::click(f.tshFormulario));
        EXPECT_EQ(f.pgcPadrao.activePage(), &f.tshFormulario);
        EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
        return f;
    }

    // ---- what happened ----
    QString nextMessage() {
        const auto m = ui_.takeMessage();
        return m ? m->text : QString();
    }
    std::vector<Call> calls(const std::string& method) {
        std::vector<Call> out;
        for (Call& c : proxy_->calls())
            if (c.method == method)
                out.push_back(std::move(c));
        return out;
    }
    std::vector<std::string> methods() {
        std::vector<std::string> out;
        for (const Call& c : proxy_->calls())
            out.push_back(c.method);
        return out;
    }
};

}  // namespace ctb::ctb10000::screentest
