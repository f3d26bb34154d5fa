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
//   entry_lines.cpp         a line's defaults, its guards and its ordered checks when stored
//   entry_line_grids.cpp    the line grids: column exit, account lookup, keys, entering a grid
//   entry_line_delete.cpp   Ctrl+Delete and the deletion of the current line
//   entry_balance.cpp       the balance recount, a line becoming current, panel entry, after post,
//                           delete and cancel of a line
//   entry_confirm.cpp       include, alter, confirm, cancel, delete; the period, lot and map checks
//   entry_history.cpp       the standard history and the long history of a line
//   entry_commercial.cpp    the commercial account of a line
//   entry_allocations.cpp   the allocation area and the line filter
//   entry_print.cpp         the print button: the list report and the entry voucher
//   entry_export.cpp        the list exported to a CSV file
//   entry_reversal.cpp      a saved entry reversed into a new entry of the open period
//   entry_audit.cpp         who changed the opened entry (the server's audit trail)
//   entry_paste.cpp         lines pasted from a spreadsheet into a line grid
// The debit and credit handlers are twins: each pair calls one body over its Side (entry_sides.h).
// A rule is found by its handler's name; tests/module mirrors these files.

#include "contracts/host_library.h"
#include "contracts/lanc_filter_args.h"
#include "contracts/rdm_lancamento.h"
#include "contracts/rdm_lancamentos.h"
#include "entry_screen/entry_sides.h"
#include "entry_screen/lancamento_decl.h"
#include "filter_dialog/filter_target.h"
#include "history_dialog/history_lines.h"
#include "paste_dialog/paste_preview.h"
#include "paste_dialog/paste_text.h"
#include "platform/report/document.h"

#include <QDate>
#include <QHash>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace ctb::ctb10000 {

// What the screen asks of the module for its dialogs: the module's launchers create and keep them.
struct LancamentoDialogs {
    // Shows the filter dialog, created anew when `FFiltroCriado` is false (CriaLancFiltro).
    std::function<void()> CriaLancFiltro;
    // The criteria of the last confirmed filter query; null when none was confirmed yet.
    std::function<const LancFilterArgs*()> criterios;
    // A new long-history dialog over the current line, shown modally.
    std::function<void()> abreHistorico;
    // The audit trail of an entry (as `getHistAlteracoes` gives it), shown modally.
    std::function<void(const QString& nrLancCont, DataPacket trail)> mostraHistAlteracoes;
};

// The allocations of one entry line: the sum of their rounded shares in cents, and how many there are.
struct AllocationTotal {
    qint64 cents = 0;
    int count = 0;
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
    QString FFilialAnterior;
    QString FCentCustAnterior;
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
    // The entry the new entry reverses, sent with its first store; empty for any other entry.
    QString reversalOf;

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

    // ---- lines (entry_lines.cpp), twins over a side ----
    void abreQryContCtbl(const QString& CdContCtbl, const QString& TCdContCtbl, const QString& CdContRedu,
                         const QString& TCdContRedu);
    void cdsDebitoAfterInsert() { lineAfterInsert(debit_); }
    void cdsCreditoAfterInsert() { lineAfterInsert(credit_); }
    void cdsDebitoBeforeInsert() { ValidaPeriodoContabil(); }
    void cdsCreditoBeforeInsert() { ValidaPeriodoContabil(); }
    void cdsDebitoBeforeEdit() { ValidaPeriodoContabil(); }
    void cdsCreditoBeforeEdit() { ValidaPeriodoContabil(); }
    void cdsDebitoBeforeDelete() { ValidaPeriodoContabil(); }
    void cdsCreditoBeforeDelete() { ValidaPeriodoContabil(); }
    void cdsDebitoBeforePost() { lineBeforePost(debit_); }
    void cdsCreditoBeforePost() { lineBeforePost(credit_); }
    void dtsDebitoStateChange() { ControlaBotoesFormulario(cdsDebito); }
    void dtsCreditoStateChange() { ControlaBotoesFormulario(cdsCredito); }

    // ---- line grids (entry_line_grids.cpp) ----
    void dbgDebitoColExit() { gridColExit(debit_); }
    void dbgCreditoColExit() { gridColExit(credit_); }
    void dbgDebitoEditButtonClick() { gridEditButtonClick(debit_); }
    void dbgCreditoEditButtonClick() { gridEditButtonClick(credit_); }
    void dbgDebitoKeyDown(int& key, ui::ShiftState shift) { gridKeyDown(debit_, key, shift); }
    void dbgCreditoKeyDown(int& key, ui::ShiftState shift) { gridKeyDown(credit_, key, shift); }
    void dbgDebitoEnter() { gridEnter(debit_); }
    void dbgCreditoEnter() { gridEnter(credit_); }
    // F8 in a line's value cell: the value that balances the entry, when the line's side is short of
    // it; the line is stored later as always.
    void fillBalancingValue(Side& side);

    // ---- balance and line navigation (entry_balance.cpp) ----
    void CalculaDebitoCredito();
    void cdsDebitoAfterScroll() { lineAfterScroll(debit_); }
    void cdsCreditoAfterScroll() { lineAfterScroll(credit_); }
    void panDebitoEnter() { panelEnter(debit_); }
    void panCreditoEnter() { panelEnter(credit_); }
    void cdsDebitoAfterPost() { lineAfterPost(debit_); }
    void cdsCreditoAfterPost() { lineAfterPost(credit_); }
    void cdsDebitoAfterDelete() { lineAfterDelete(debit_); }
    void cdsCreditoAfterDelete() { lineAfterDelete(credit_); }
    void cdsDebitoAfterCancel() { lineAfterCancel(debit_); }
    void cdsCreditoAfterCancel() { lineAfterCancel(credit_); }

    // ---- standard and long history (entry_history.cpp) ----
    void AbreQryHistPadr(const QString& CdHistPadr, const QString& TCdHistPadr);
    void dbeCdHistPadrExit();
    void btnHistoricoBeforePesq(bool& allow);
    void btnHistoricoAfterPesq();
    void dbeDsHistLancExit();
    void btnAlteraHistoricoClick();

    // ---- commercial account (entry_commercial.cpp) ----
    void AtualizaContaComercial(const QString& lado, const QString& codigo);
    void ValidaContaComercial(const QString& CdContCtbl, const QString& CdContCome, const QString& CdEmpresa,
                              const QString& NrLancCont, const QString& NrSeqLanc, const QString& lado);
    void AbreQryCliente(const QString& codigo, const QString& todos);
    void AbreQryFornecedor(const QString& codigo, const QString& todos);
    void AbreQryBanco(const QString& codigo, const QString& todos);
    // `qryTipoCome` on one account (closed, with no row, when no account is named).
    void abreQryTipoCome(const QString& cdContCtbl);
    void dbeCdContComeEnter();
    void dbeCdContComeKeyDown(int& key, ui::ShiftState shift);
    void dbeCdContComeExit();
    // The code of the line the code box is bound to must exist for the line's kind (bank of the
    // screen's company, client, supplier); else its not-found message, the focus on the box.
    void checaCodigoComercial();
    void btnComercialBeforePesq(bool& allow);
    void btnComercialAfterPesq();
    void cdsLancContIDLANCCOMEGetText(QString& text);
    void qryClienteNRINSJURCLIEGetText(QString& text);
    void qryFornecedorNRINSJURFORNGetText(QString& text);

    // ---- allocations (entry_allocations.cpp) ----
    void panLancamentoGerencialEnter();
    void ValidaValoresRateio(const QString& CdContCtbl, const QString& CdEmpresa, const QString& NrLancCont,
                             const QString& NrSeqLanc, const QString& lado, double valor);
    void AlteraCoresGridPosicionado();
    void cdsLancCCustoBeforeDelete() { ValidaPeriodoContabil(); }
    void cdsLancCCustoAfterDelete();
    void btnGerencialClick();
    void dbgLancCCustoExit();
    void dbgLancCCustoColExit();
    void dbgLancCCustoEditButtonClick();
    void cdsLancCCustoNewRecord();
    void cdsLancCCustoAfterEdit();
    void cdsLancCCustoCDFILIALChange();
    void cdsLancCCustoCDCENTCUSTChange();
    void cdsLancCCustoBeforePost();
    void cdsLancCCustoAfterPost();
    void dtsLancCCustoStateChange() { ControlaBotoesFormulario(cdsLancCCusto); }
    void AbreQryFilial(const QString& CdFilial, const QString& TCdFilial);
    void FiltraCentroDeCusto();
    // Filters `cdsLancCCusto` to one line of a line table (the table's current line).
    void filtraRateiosDaLinha(const ClientDataSet& line);

    // ---- line delete (entry_line_delete.cpp) ----
    // Ctrl+Delete on the form tab: the period check, then the current line (ExcluiLinhaCorrente). The
    // key is taken, so the focused grid does not handle the same keystroke again. F6 on the form tab
    // moves between the debit and the credit grid.
    void FormKeyDown(int& key, ui::ShiftState shift);
    // Deletes the current line after its question: the allocation line when the allocation area is
    // current, else the debit line (or the credit line) with all its allocations, allocations first.
    // When neither side is left with a line, goes back to the browse tab and reloads the list. Also what
    // the delete button does on a new entry.
    void ExcluiLinhaCorrente();
    // What a line grid's own Ctrl+Delete does: the current allocation, or the current line of the
    // current side with its allocations, after its question; no return to the list.
    void excluiLinhaAtual();

    // ---- include, alter, confirm, cancel, delete (entry_confirm.cpp) ----
    void sbtIncluirClick();
    void sbtAlterarClick();
    void sbtConfirmarClick() override;
    void sbtCancelarClick() override;
    void sbtExcluirClick();
    // The period and lot check: "FORA_PERIODO" when the date of `depData` lies outside the company's
    // open accounting period, "REVERTER_LOTE" when the current debit line comes from a lot.
    void ValidaPeriodoContabil();
    // The assessment-map check: "MAPA_APUR" when the entry is tied to a tax assessment map.
    void ValidaMapaApurac();

    // ---- reversal and audit trail (entry_reversal.cpp, entry_audit.cpp) ----
    // "Estornar lançamento": the opened saved entry begins a new entry of today, numbered by the server,
    // with every line on the other side at the same value, every allocation's sign turned and each
    // history prefixed; each line goes through the line checks, nothing is stored before the confirm,
    // the original is never changed. Refused for a lot's entry and when today is outside the period.
    void mnuEstornarClick();
    // "Histórico de alterações": the opened entry's audit trail, newest first.
    void mnuHistAlteracoesClick();

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

    // ---- lines pasted from a spreadsheet (entry_paste.cpp) ----
    // Ctrl+V in the debit or credit grid on the form tab: the clipboard's rows, each tried through the
    // line checks, shown in the preview dialog; Confirm appends those that pass to the grid's side, each
    // stored through the line's checks, with one recount at the end; the refused ones are listed again.
    // The guards of a new line (a pending line stored, the period and lot check) run first.
    void colaLinhas(bool creditGrid);

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
    // The twin bodies of the debit and credit handlers.
    void lineAfterInsert(Side& side);
    void lineBeforePost(Side& side);
    void gridColExit(Side& side);
    void gridEditButtonClick(Side& side);
    void gridKeyDown(Side& side, int& key, ui::ShiftState shift);
    void gridEnter(Side& side);
    void lineAfterScroll(Side& side);
    void panelEnter(Side& side);
    void lineAfterPost(Side& side);
    void lineAfterDelete(Side& side);
    void lineAfterCancel(Side& side);
    // The commercial refresh after an account was set in a line (only for a company with commercial
    // accounts): the code box follows the account's commercial type.
    void refreshCommercialForAccount(Side& side);
    // The other side's pending line when a side is entered: stored through its checks, or dropped when
    // it is a new line no one has typed into.
    void storePendingLine(ClientDataSet& table);
    // Binds the history and commercial edits to the side's data source.
    void bindLineDetails(Side& side);
    // Enables the allocation area by the allocation kind of the line's account.
    void enableAllocationAreaFor(const QString& cdContCtbl);
    // The account code handed to ValidEx, then `qryContCtbl` tested: "CONTA_N" on the field when no
    // analytic account has this code.
    void checkAccountPicture(Side& side);
    [[nodiscard]] Side& sideOf(const ClientDataSet& table) {
        return &table == &cdsCredito ? credit_ : debit_;
    }
    // Cancels pending edits of the line and allocation tables (abandoned changes are dropped).
    void dropPendingEdits();
    // A new, empty entry on the form tab numbered by the server for this month, dated today.
    void beginNewEntry();
    // One reversed line on `side`, with its allocations, through the line and allocation checks.
    void addReversedLine(Side& side, const DataPacket& lines, const Row& line, const DataPacket& allocations,
                         const QString& prefix);
    // The header's totals and difference, from sums in whole cents.
    void showTotals(qint64 debitCents, qint64 creditCents);
    // After a load: the totals and the highest line number of the lines as loaded, without moving any
    // cursor or checking any line.
    void showTotalsOfLoadedLines();
    // The allocation mirror takes a copy of every allocation of the entry, keeping its own filter.
    void copiaEspelhoRateios();
    // Whether the mirror holds another allocation of this line on this branch and cost centre, whatever
    // line the mirror's filter shows.
    [[nodiscard]] bool rateioJaInformado(const QString& empresa, const QString& nrLancCont,
                                         const QString& nrSeqLanc, const QString& filial,
                                         const QString& centCust) const;
    // The allocations of the mirror by line (sum of the rounded shares in cents, count), taken once per
    // recount so that checking every line reads the mirror once.
    // What a recount has read once for every line: the allocations by line, and by account its
    // allocation kind and whether it takes a commercial account. Only while a recount runs.
    struct RecountMemo {
        QHash<QString, AllocationTotal> allocations;
        QHash<QString, QString> allocationKinds;
        QHash<QString, bool> takesCommercial;
    };
    std::optional<RecountMemo> recount_;
    // The line filter the last sum check set on the mirror, applied once at the end of a recount.
    QString pendingMirrorFilter_;
    void applyMirrorFilter(const QString& filter);

    // Leaving the reduced-code or the account column of a line with a code in it: the account looked up
    // and copied into the line, the commercial panel following it.
    void reducedCodeEntered(Side& side);
    void accountCodeEntered(Side& side);
    // The line's standard-history code, padded, must exist ("HIST_N"); `qryHistPadr` then stands on it.
    void checaHistoricoPadrao(Field& code);

    // ---- pasting (entry_paste.cpp) ----
    // One pasted row as a new line of the side: appended, filled as typed, then stored (post) or only
    // checked (the line's BeforePost body), and what the first failing check said (empty when none).
    // Whatever is not stored is cancelled; `view` shows the row as it stands in the line.
    [[nodiscard]] QString tryPastedRow(Side& side, const PastedRow& row, bool store, PastePreviewRow& view);
    void fillPastedRow(Side& side, const PastedRow& row);
    // Shows the dialog over the rows; true when the user confirmed.
    bool showPastePreview(PastePreviewDialog::Mode mode, const Side& side, std::vector<PastePreviewRow> rows);
    std::unique_ptr<PastePreviewDialog> pastePreview_;
    // While lines are appended in a row, recounts wait for one at the end.
    bool recountSuspended_ = false;
    bool recountPending_ = false;
    // Runs `append` with the recount suspended, then the one recount it asked for. When `append` throws,
    // no recount runs and the exception goes on.
    void withOneRecount(const std::function<void()>& append);

    void wireHandlers();
    void checaEmpresa();
    // Looks the code in edtCdEmpresa up: its name and options, or "EMP_N" (ends the action).
    void buscaEmpresa();
    void excluiPartida(ClientDataSet& side, const char* questionKey);
    [[nodiscard]] bool abaDadosAtiva() const { return pgcPadrao.activePage() == &tshFolhaDados; }
    [[nodiscard]] QString printFooter() const;
    [[nodiscard]] QString printCompany() const;

    LancamentoDialogs dialogs_;
    Side debit_;
    Side credit_;
};

// The allocations of a packet by entry line (see AllocationTotal).
[[nodiscard]] QHash<QString, AllocationTotal> allocationTotals(const DataPacket& packet);

// A field of a table by its name as the screen spells it.
[[nodiscard]] inline Field& fieldOf(ClientDataSet& t, const char* name) {
    return t.fieldByName(QString::fromLatin1(name));
}

// The field of the grid's selected column; empty when there is none.
[[nodiscard]] inline QString selectedFieldName(const ui::DBGrid& grid) {
    const Field* f = grid.selectedField();
    return f != nullptr ? f->fieldName() : QString();
}

// Whether a table is in edit or insert state.
[[nodiscard]] inline bool editing(const ClientDataSet& t) {
    return t.state() == DataSetState::Edit || t.state() == DataSetState::Insert;
}

// The filter text that restricts an allocation table to one entry line (two blanks before the last
// two equals signs, as the stored texts have them).
[[nodiscard]] QString filtroLinha(const QString& nrLancCont, const QString& empresa,
                                  const QString& nrSeqLanc);

}  // namespace ctb::ctb10000
