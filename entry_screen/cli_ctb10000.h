#pragma once

// `TfrmLancamento`: the journal-entry screen "Lançamentos Contábeis" (CTB10000). One class laid out in
// one file per concern, each named after what it holds:
//   cli_ctb10000.cpp        creation and close: tables, queries, controls, grids, connections
//   entry_events.cpp        the event index: which handler runs on which event (wireHandlers)
//   entry_company.cpp       company check, company panel, filter button
//   entry_buttons.cpp       the browse and form button rules (pure functions over flags and states)
//   entry_list.cpp          the list, its repeat query, its coded columns and the tab change
//   entry_load.cpp          loading an entry into the form tab
//   entry_header.cpp        document, date and the header panel
//   entry_line_delete.cpp   Ctrl+Delete and the deletion of the current line
//   entry_balance.cpp       totals and difference, entering a line panel
//   entry_confirm.cpp       include, confirm, cancel, delete; the period, lot and map checks
//   entry_allocations.cpp   the allocation area and the line filter
//   entry_print.cpp         the print button: the list report and the entry voucher
//   entry_export.cpp        the list exported to a CSV file
// A rule is found by its handler's name; tests/module mirrors these files.

#include "contracts/host_library.h"
#include "contracts/lanc_filter_args.h"
#include "contracts/rdm_lancamento.h"
#include "contracts/rdm_lancamentos.h"
#include "entry_screen/lancamento_decl.h"
#include "filter_dialog/filter_target.h"
#include "history_dialog/history_lines.h"
#include "platform/report/document.h"

#include <QDate>
#include <QString>

#include <functional>

namespace ctb::ctb10000 {

// What the screen asks of the module for its dialogs: the module's launchers create and keep them.
struct LancamentoDialogs {
    // Shows the filter dialog, created anew when `FFiltroCriado` is false (CriaLancFiltro).
    std::function<void()> CriaLancFiltro;
    // The criteria of the last confirmed filter query; null when none was confirmed yet.
    std::function<const LancFilterArgs*()> criterios;
    // A new long-history dialog over the current line, shown modally.
    std::function<void()> abreHistorico;
};

class TfrmLancamento : public TfrmPadrao, public FilterTarget, public HistoryLines {
  public:
    TfrmLancamento(Session& session, LancamentoDialogs dialogs);
    ~TfrmLancamento() override;

    // Runs the creation steps (connections, tables, masks, session company). A failing company check
    // ends it by MensErro, as every check does; the caller runs it as one user action.
    void create() { FormCreate(); }

    // ---- in-memory tables ----
    ClientDataSet cdsLancCont{QStringLiteral("cdsLancCont")};
    ClientDataSet cdsLancFiltrado{QStringLiteral("cdsLancFiltrado")};
    ClientDataSet cdsDebito{QStringLiteral("cdsDebito")};
    ClientDataSet cdsCredito{QStringLiteral("cdsCredito")};
    ClientDataSet cdsLancContEspelho{QStringLiteral("cdsLancContEspelho")};
    ClientDataSet cdsLancCCusto{QStringLiteral("cdsLancCCusto")};
    ClientDataSet cdsLancCCustoEspelho{QStringLiteral("cdsLancCCustoEspelho")};
    ClientDataSet cdsCentCustFil{QStringLiteral("cdsCentCustFil")};
    ClientDataSet cdsMapaApurac{QStringLiteral("cdsMapaApurac")};

    // ---- lookup queries ----
    TADOIBQuery qryEmpresa;
    TADOIBQuery qryHistPadr;
    TADOIBQuery qryFilial;
    TADOIBQuery qryContCtbl;
    TADOIBQuery qryTipoCome;
    TADOIBQuery qryCliente;
    TADOIBQuery qryFornecedor;
    TADOIBQuery qryBanco;

    // ---- data sources (`dtsPadrao` is the base form's, on `cdsLancCont`) ----
    DataSource dtsDebito{&cdsDebito, QStringLiteral("dtsDebito")};
    DataSource dtsCredito{&cdsCredito, QStringLiteral("dtsCredito")};
    DataSource dtsLancCCusto{&cdsLancCCusto, QStringLiteral("dtsLancCCusto")};
    DataSource dtsCentCustFil{&cdsCentCustFil, QStringLiteral("dtsCentCustFil")};
    DataSource dtsEmpresa{&qryEmpresa, QStringLiteral("dtsEmpresa")};
    DataSource dtsHistPadr{&qryHistPadr, QStringLiteral("dtsHistPadr")};
    DataSource dtsFilial{&qryFilial, QStringLiteral("dtsFilial")};
    DataSource dtsContCtbl{&qryContCtbl, QStringLiteral("dtsContCtbl")};
    DataSource dtsCliente{&qryCliente, QStringLiteral("dtsCliente")};
    DataSource dtsFornecedor{&qryFornecedor, QStringLiteral("dtsFornecedor")};
    DataSource dtsBanco{&qryBanco, QStringLiteral("dtsBanco")};

    // ---- application server: the connections and the typed views of their remote modules ----
    TNetConnection netLancamento;
    TNetConnection NetLanccontabil;
    RdmLancamento rdmLancamento{netLancamento};
    RdmLancamentos rdmLancamentos{NetLanccontabil};

    // ---- controls ----
  private:
    const bool controlsBuilt_;  // the declared controls exist before the references below bind

  public:
    ui::Panel& panEmpresa;
    ui::Label& lblEmpresa;
    ui::Edit& edtCdEmpresa;
    ui::Edit& edtNmEmpresa;
    TBtnPesquisa& btnEmpresa;
    ui::SpeedButton& spbFiltro;
    ui::MenuItem& mnuFiltrar;
    ui::Panel& panCabecalho;
    ui::Edit& edtDocumento;
    TDateEditPlus& depData;
    TNumberEdit& nedDebito;
    TNumberEdit& nedCredito;
    ui::Label& lblValorDiferenca;
    ui::Panel& panLancamentoOficial;
    ui::Panel& panTituloDebito;
    ui::Panel& panDebito;
    ui::Panel& panTituloCredito;
    ui::Panel& panCredito;
    ui::DBGrid& dbgDebito;
    ui::DBGrid& dbgCredito;
    ui::Panel& panHistorico;
    ui::DBEdit& dbeCdHistPadr;
    TBtnPesquisa& btnHistorico;
    ui::DBEdit& dbeDsHistLanc;
    ui::Button& btnAlteraHistorico;
    ui::Panel& panComercial;
    ui::Label& lblCodComercial;
    ui::DBEdit& dbeCdContCome;
    TBtnPesquisa& btnComercial;
    ui::Edit& edtNmComercial;
    ui::Label& lblIdentificador;
    ui::Panel& panGerencial;
    ui::Button& btnGerencial;
    ui::Panel& panLancamentoGerencial;
    ui::DBGrid& dbgLancCCusto;

    // ---- screen state ----
    bool FNavegacao = false;
    bool FFiltroCriado = false;
    bool FIncluindo = false;
    bool FCarregando = false;
    bool FAlterado = false;
    bool FConfirmado = false;
    bool FLadoDebito = false;
    bool FLadoCredito = false;
    bool FAreaGerencial = false;
    QString FDocumento;
    QString FNrLancCont;
    QDate FDtLancCont;
    int FUltimaSequencia = 0;
    // Options of the company last checked ("S" or other).
    QString FIdContCome;
    QString FIdContGere;
    QString FIdMsmContaDbCr;
    // The version the server gave with the opened entry (0 for a new one), sent back on store and delete.
    EntryVersion entryVersion = 0;

    // Every table and query of the screen by name (tests, scripts); nullptr when absent.
    [[nodiscard]] ClientDataSet* tableByName(const QString& name);

    // ---- creation and close (cli_ctb10000.cpp) ----
    void FormCreate() override;
    void FormClose(CloseAction& action) override;
    void netLancamentoBeforeConnect(TNetConnection& sender);
    void NetLanccontabilBeforeConnect(TNetConnection& sender);

    // ---- company (entry_company.cpp) ----
    void panEmpresaEnter();
    void edtCdEmpresaChange();
    void edtCdEmpresaExit();
    void btnEmpresaBeforePesq(bool& allow);
    void btnEmpresaAfterPesq();
    void panEmpresaExit();
    void spbFiltroClick();

    // ---- button rules (entry_buttons.cpp) ----
    // The form button rule for the line table concerned (also called with `cdsLancCont` after the
    // filter dialog has loaded the list).
    void ControlaBotoesFormulario(ClientDataSet& table);
    // The browse button rule (after the list is (re)loaded).
    void ControlaBotoesNavegacao();

    // ---- list and tabs (entry_list.cpp) ----
    void getLancCont();
    void sbtVerificarClick();
    void dbgPadraoEnter();
    void pgcPadraoChange() override;
    void cdsLancContIDLANCINTEGetText(QString& text);
    void cdsLancContIDSISTEMAGetText(QString& text);
    void tshFolhaDadosEnter();
    // An entry-list answer of `getLancamentos`: the refusal text is shown with MensErro (the action
    // ends, the list keeps its rows); otherwise the lines replace `cdsLancCont` and the cost centres
    // `cdsCentCustFil`.
    void CarregaResultado(EntryList& list);
    // The text shown when the list is refreshed before any filter was confirmed.
    [[nodiscard]] QString perDevText() const;

    // ---- entry load (entry_load.cpp) ----
    void carregaLancamento();

    // ---- header (entry_header.cpp) ----
    void panCabecalhoEnter();
    void panCabecalhoExit();
    void edtDocumentoChange();
    void edtDocumentoExit();
    void depDataExit();

    // ---- lines and allocations areas ----
    void panDebitoEnter();
    void panCreditoEnter();
    void panLancamentoGerencialEnter();

    // ---- line delete (entry_line_delete.cpp) ----
    // Ctrl+Delete on the form tab: the period check, then the current line (ExcluiLinhaCorrente). The
    // key is taken, so the focused grid does not handle the same keystroke again.
    void FormKeyDown(int& key, ui::ShiftState shift);
    // Deletes the current line after its question: the allocation line when the allocation area is
    // current, else the debit line (or the credit line) with all its allocations, allocations first.
    // When neither side is left with a line, goes back to the browse tab and reloads the list. Also what
    // the delete button does on a new entry.
    void ExcluiLinhaCorrente();

    // ---- period and lot check ----
    // Ends the action (MensErro) when the entry may not be changed. A hook that passes for now; the
    // server refuses such an entry on store.
    void ValidaPeriodoContabil();

    // ---- balance (entry_balance.cpp) ----
    // The totals and their difference from the lines as loaded, without moving any cursor.
    void recontaTotais();

    // ---- print and export (entry_print.cpp, entry_export.cpp) ----
    // The list report on the browse tab, the voucher of the opened entry on the form tab.
    void sbtImprimirClick();
    // "Imprimir lançamento" (Ctrl+P): the voucher on the form tab, where the fifth button is disabled;
    // on the browse tab what the fifth button prints, when it is enabled.
    void mnuImprimirLancamentoClick();
    // The list as filtered: company, filter criteria, the grid's columns, debit and credit totals.
    [[nodiscard]] report::Document listReport() const;
    // The opened entry: header, debit and credit lines, allocations, totals, user and date.
    [[nodiscard]] report::Document entryVoucher() const;
    // "Exportar…": the list as filtered to a CSV file the user names.
    void mnuExportarClick();

    // ---- what the dialogs see of the screen ----
    [[nodiscard]] QString companyCode() const override { return edtCdEmpresa.text(); }
    [[nodiscard]] const TMessages& screenCatalog() const override { return msgPadrao; }
    [[nodiscard]] RdmLancamento& server() override { return rdmLancamento; }
    [[nodiscard]] Lookup lookup(List list) override;
    void loadList(EntryList& list) override;
    [[nodiscard]] bool creditSide() const override { return FLadoCredito; }
    [[nodiscard]] bool debitSide() const override { return FLadoDebito; }
    [[nodiscard]] ClientDataSet& creditLines() override { return cdsCredito; }
    [[nodiscard]] ClientDataSet& debitLines() override { return cdsDebito; }

  private:
    void wireHandlers();
    void checaEmpresa();
    // Looks the code in edtCdEmpresa up: its name and options, or "EMP_N" (ends the action).
    void buscaEmpresa();
    void excluiPartida(ClientDataSet& side, const char* questionKey);
    void marcaExclusao(ClientDataSet& table);
    [[nodiscard]] bool abaDadosAtiva() const { return pgcPadrao.activePage() == &tshFolhaDados; }
    [[nodiscard]] QString printFooter() const;
    [[nodiscard]] QString printCompany() const;

    LancamentoDialogs dialogs_;
};

// Whether a table is in edit or insert state.
[[nodiscard]] inline bool editing(const ClientDataSet& t) {
    return t.state() == DataSetState::Edit || t.state() == DataSetState::Insert;
}

// The filter text that restricts an allocation table to one entry line (two blanks before the last
// two equals signs, as the stored texts have them).
[[nodiscard]] QString filtroLinha(const QString& nrLancCont, const QString& empresa,
                                  const QString& nrSeqLanc);

}  // namespace ctb::ctb10000
