#pragma once

// `TfrmLancFiltro`: the entry filter dialog "Filtro de Lançamento Contábil" (CTB10010), shown modally
// over the journal-entry screen whose company, lookup queries and tables it works on.

#include "contracts/host_view.h"
#include "filter_dialog/criteria.h"
#include "filter_dialog/lanc_filtro_decl.h"

namespace ctb::ctb10000 {

class TfrmLancamento;

class TfrmLancFiltro : public TfrmRotiGeral {
  public:
    explicit TfrmLancFiltro(TfrmLancamento& screen);
    ~TfrmLancFiltro() override;

    void create() { FormCreate(); }
    [[nodiscard]] TfrmLancamento& screen() const { return screen_; }
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

    void FormCreate() override;
    void FormClose(CloseAction& action);

  private:
    TfrmLancamento& screen_;
};

}  // namespace ctb::ctb10000
