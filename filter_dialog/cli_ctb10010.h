#pragma once

// `TfrmLancFiltro`: the entry filter dialog "Filtro de Lançamento Contábil" (CTB10010), shown modally
// over the journal-entry screen whose company, lookup queries and tables it works on.
//
// Criteria live in three places: the controls and working lists (what the user is editing), `FFiltro`
// (what the next opening restores; saved by Cancel and by Confirm) and `FCriterios` (the arguments of
// the last successful query, which the screen repeats). Only a successful Confirm changes `FCriterios`,
// so the screen never repeats a query from criteria that were not checked and sent.

#include "contracts/host_library.h"
#include "contracts/lanc_filter_args.h"
#include "filter_dialog/filter_target.h"
#include "filter_dialog/lanc_filtro_decl.h"

#include <QDate>

namespace ctb::ctb10000 {

// Criterion values of one group; each group of `TFILTRO` uses only its own fields.
struct TDADOS {
    bool HistLista = false;
    QString Hist;
    bool ClieLista = false;
    QString Clie;
    bool FornLista = false;
    QString Forn;
    bool BancLista = false;
    QString Banc;
    bool FilialLista = false;
    QString Filial;
    bool CentCustLista = false;
    QString CentCust;
    QString ContIni;  // as typed
    QString ContFin;  // as typed
    double ValorIni = 0;
    double ValorFim = 0;
    QString Documento;
    QString Lancamento;
};

// The remembered criteria: one `TDADOS` per group, then the entry-date range (null until saved).
struct TFILTRO {
    TDADOS Historico;
    TDADOS Cliente;
    TDADOS Fornecedor;
    TDADOS Banco;
    TDADOS Conta;
    TDADOS Valor;
    TDADOS DocLanc;
    TDADOS Filial;
    TDADOS CentCust;
    QDate DataIni;
    QDate DataFim;
};

class TfrmLancFiltro : public TfrmRotiGeral {
  public:
    TfrmLancFiltro(Session& session, FilterTarget& target);
    ~TfrmLancFiltro() override;

    void create() { FormCreate(); }
    [[nodiscard]] FilterTarget& target() const { return target_; }
    int HelpContext = 0;

    // ---- lookup queries and data ----
    TADOIBQuery qryContCtbl;
    TADOIBQuery qryContOp;
    TADOIBQuery qryFilial;
    TADOIBQuery qryCentCust;
    DataSource dtsContCtbl{&qryContCtbl, QStringLiteral("dtsContCtbl")};
    DataSource dtsFilial{&qryFilial, QStringLiteral("dtsFilial")};
    DataSource dtsCentCust{&qryCentCust, QStringLiteral("dtsCentCust")};
    ClientDataSet cdsData{QStringLiteral("cdsData")};

    // ---- working lists, as the multi-select lookups return them ("" when nothing picked) ----
    QString FListaHist;
    QString FListaClie;
    QString FListaForn;
    QString FListaBanc;
    QString FListaFilial;
    QString FListaCentCust;

    // What the next opening restores.
    TFILTRO FFiltro;
    // Arguments 2 to 19 of the last successful query, as sent; the screen repeats the query with them.
    LancFilterArgs FCriterios;

  private:
    const bool controlsBuilt_;

  public:
    ui::MaskEdit& medContCtblIn;
    ui::MaskEdit& medContCtblFi;
    TBtnPesquisa& BtnPesquisa1;
    TBtnPesquisa& BtnPesquisa2;
    TDateEditPlus& depIni;
    TDateEditPlus& depFim;
    TNumberEdit& edtValorIni;
    TNumberEdit& edtValorFim;
    ui::RadioButton& rbtTodos;
    ui::RadioButton& rbtLista;
    TBtnPesquisa& sbtHist;
    ui::MaskEdit& medDoc;
    ui::RadioButton& rbtTClie;
    ui::RadioButton& rbtClie;
    TBtnPesquisa& sbtClie;
    ui::RadioButton& rbtTForn;
    ui::RadioButton& rbtForn;
    TBtnPesquisa& sbtForn;
    ui::RadioButton& rbtTBanc;
    ui::RadioButton& rbtBanc;
    TBtnPesquisa& sbtBanc;
    ui::MaskEdit& medLanc;
    ui::RadioButton& rbtTFilial;
    ui::RadioButton& rbtLFilial;
    TBtnPesquisa& btnFilial;
    ui::RadioButton& rbtTCentCust;
    ui::RadioButton& rbtLCentCust;
    TBtnPesquisa& btnCentCust;
    ui::Edit& medHistLanc;
    ui::GroupBox& grbCliente;
    ui::GroupBox& grbFornecedor;
    ui::GroupBox& grbBanco;
    ui::GroupBox& grbFilial;
    ui::GroupBox& grbCentCust;

    // ---- handlers ----
    void FormCreate() override;
    void FormClose(CloseAction& action);
    // Runs each time the dialog is shown (the form's onShow), not when it merely gets the focus back
    // from a lookup or message box it opened itself.
    void FormActivate();
    void sbtCancelClick() override;
    void sbtConfirmaClick();
    void depIniExit();
    void depFimExit();
    void medContCtblInExit();
    void medContCtblFiExit();
    void BtnPesquisa1BeforePesq(ui::Control& sender, bool& allow);
    void BtnPesquisa1AfterPesq(ui::Control& sender);
    void BtnPesquisa2AfterPesq(ui::Control& sender);
    void edtValorIniKeyPress(ui::Control& sender, QChar& key);
    void edtValorIniExit();
    void medHistLancKeyPress(ui::Control& sender, QChar& key);
    void rbtListaClick();
    void rbtClieClick();
    void rbtFornClick();
    void rbtBancClick();
    void rbtTFilialClick();
    void rbtTCentCustClick();
    void BtnPesquisa3Click();  // history list
    void BtnPesquisa4Click();  // client list
    void BtnPesquisa5Click();  // supplier list
    void BtnPesquisa6Click();  // bank list
    void btnFilialClick();
    void btnCentCustClick();

    // true puts `FFiltro` and the working lists into the controls; false saves them into `FFiltro`.
    void Atualiza_Filtro(bool restore);
    void AbreQryContCtbl(const QString& code, const QString& all);

    // How many times the opening step ran (tests: a lookup or message must not run it again).
    [[nodiscard]] int activationCount() const { return activations_; }

  private:
    void bindEvents();
    // ValidEx on the field's text with the focus put back on the field first when the code does not
    // fit the picture; the normalised code.
    QString contaNormalizada(ui::MaskEdit& field);
    void validaContaSaida(ui::MaskEdit& field);
    [[nodiscard]] bool valorFimVazio() const;
    void copiaValorIniSeVazio();
    void escreveValor(TNumberEdit& edit, double value);
    void pesquisaLista(DataSource& source, const char* keyField, const QString& caption, QString& list);
    [[nodiscard]] LancFilterArgs montaArgumentos() const;

    FilterTarget& target_;
    int activations_ = 0;
};

}  // namespace ctb::ctb10000
