#pragma once

// `TfrmLancamento`: the journal-entry screen "Lançamentos Contábeis" (CTB10000). This unit holds its
// data model (tables, lookup queries, data sources, grids, controls, server connections, catalog),
// its creation and its close; the other handlers attach to the members by name.

#include "contracts/host_view.h"
#include "entry_screen/lancamento_decl.h"

#include <QDate>
#include <QString>

namespace ctb::ctb10000 {

class TfrmLancamento : public TfrmPadrao {
  public:
    // Created with the module's session, whose UI services show it.
    TfrmLancamento();
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

    // ---- application server ----
    TNetConnection netLancamento;
    TNetConnection NetLanccontabil;

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

    // Every table and query of the screen by name (tests, scripts); nullptr when absent.
    [[nodiscard]] ClientDataSet* tableByName(const QString& name);

    void FormCreate() override;
    void FormClose(CloseAction& action) override;

    // The form button rule for the line table concerned (also called with `cdsLancCont` after the
    // filter dialog has loaded the list).
    void ControlaBotoesFormulario(ClientDataSet& table);
    // An entry-list answer of `getLancamentos`: element 0 a text is the server's refusal, shown with
    // MensErro (the action ends, the list keeps its rows); otherwise element 0 replaces `cdsLancCont`
    // and element 1 replaces `cdsCentCustFil`.
    void CarregaResultado(wire::Value& payload);

  public:
    void netLancamentoBeforeConnect(TNetConnection& sender);
    void NetLanccontabilBeforeConnect(TNetConnection& sender);

    // ---- company, filter, modes ----
    QString FIdContCome;  // options of the company last checked ("S" or other)
    QString FIdContGere;
    QString FIdMsmContaDbCr;
    void panEmpresaEnter();
    void edtCdEmpresaChange();
    void edtCdEmpresaExit();
    void btnEmpresaBeforePesq(bool& allow);
    void btnEmpresaAfterPesq();
    void panEmpresaExit();
    void spbFiltroClick();
    void tshFolhaDadosEnter();
    void panCabecalhoEnter();
    void panCabecalhoExit();
    void edtDocumentoChange();
    void edtDocumentoExit();
    void depDataExit();
    void panDebitoEnter();
    void panCreditoEnter();
    void panLancamentoGerencialEnter();
    // Ctrl+Delete on the form tab: the period check, then the current line (ExcluiLinhaCorrente). The
    // key is taken, so the focused grid does not handle the same keystroke again.
    void FormKeyDown(int& key, ui::ShiftState shift);
    // Deletes the current line after its question: the allocation line when the allocation area is
    // current, else the debit line (or the credit line) with all its allocations, allocations first.
    // When neither side is left with a line, goes back to the browse tab and reloads the list. Also what
    // the delete button does on a new entry.
    void ExcluiLinhaCorrente();
    // The browse button rule (after the list is (re)loaded).
    void ControlaBotoesNavegacao();

    // ---- loading and browsing ----
    void getLancCont();
    void sbtVerificarClick();
    void dbgPadraoEnter();
    void pgcPadraoChange() override;
    // The period and lot check of the entry on the form tab: ends the action (MensErro) when the entry
    // may not be changed. A hook that passes for now; the server refuses such an entry on store.
    void ValidaPeriodoContabil();
    // The text shown when the list is refreshed before any filter was confirmed.
    [[nodiscard]] QString perDevText() const;

  private:
    void declareData();
    void bindGrids();
    void wireHandlers();
    void checaEmpresa();
    // Looks the code in edtCdEmpresa up: its name and options, or "EMP_N" (ends the action).
    void buscaEmpresa();
    void carregaLancamento();
    // The totals and their difference from the lines as loaded, without moving any cursor.
    void recontaTotais();
    void excluiPartida(ClientDataSet& side, const char* questionKey);
    void marcaExclusao(ClientDataSet& table);
    [[nodiscard]] bool abaDadosAtiva() const { return pgcPadrao.activePage() == &tshFolhaDados; }
};

}  // namespace ctb::ctb10000
