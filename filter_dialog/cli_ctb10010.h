#pragma once

// `TfrmLancFiltro`: the entry filter dialog "Filtro de Lançamento Contábil" (CTB10010), shown modally
// over the journal-entry screen whose company, lookup queries and tables it works on.

#include "contracts/host_view.h"
#include "filter_dialog/lanc_filtro_decl.h"

namespace ctb::ctb10000 {

class TfrmLancamento;

class TfrmLancFiltro : public TfrmRotiGeral {
  public:
    TfrmLancFiltro(TfrmLancamento& screen, ui::UiServices* services);
    ~TfrmLancFiltro() override;

    void create() { FormCreate(); }
    [[nodiscard]] TfrmLancamento& screen() const { return screen_; }

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

  private:
    const bool controlsBuilt_;

  public:
    ui::MaskEdit& medContCtblIn;
    ui::MaskEdit& medContCtblFi;
    ui::Button& BtnPesquisa1;
    ui::Button& BtnPesquisa2;
    ui::DateEdit& depIni;
    ui::DateEdit& depFim;
    ui::NumberEdit& edtValorIni;
    ui::NumberEdit& edtValorFim;
    ui::RadioButton& rbtTodos;
    ui::RadioButton& rbtLista;
    ui::Button& sbtHist;
    ui::MaskEdit& medDoc;
    ui::RadioButton& rbtTClie;
    ui::RadioButton& rbtClie;
    ui::Button& sbtClie;
    ui::RadioButton& rbtTForn;
    ui::RadioButton& rbtForn;
    ui::Button& sbtForn;
    ui::RadioButton& rbtTBanc;
    ui::RadioButton& rbtBanc;
    ui::Button& sbtBanc;
    ui::MaskEdit& medLanc;
    ui::RadioButton& rbtTFilial;
    ui::RadioButton& rbtLFilial;
    ui::Button& btnFilial;
    ui::RadioButton& rbtTCentCust;
    ui::RadioButton& rbtLCentCust;
    ui::Button& btnCentCust;
    ui::Edit& medHistLanc;

  protected:
    void FormCreate();
    void FormClose(CloseAction& action);

  private:
    TfrmLancamento& screen_;
};

}  // namespace ctb::ctb10000
