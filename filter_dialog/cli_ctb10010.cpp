#include "filter_dialog/cli_ctb10010.h"

#include "entry_screen/cli_ctb10000.h"
#include "entry_screen/declare.h"

namespace ctb::ctb10000 {
namespace {

const QueryDecl& queryDecl(const char* name) {
    return *findQuery(lancFiltroQueries(), u8(name));
}

template <typename T>
T& control(ui::Form& form, const char* name) {
    auto* c = dynamic_cast<T*>(form.findControl(u8(name)));
    if (c == nullptr)
        throw std::logic_error(std::string("control not declared: ") + name);
    return *c;
}

}  // namespace

TfrmLancFiltro::TfrmLancFiltro(TfrmLancamento& screen)
    : TfrmRotiGeral(u8(lancFiltroForm().name), u8(lancFiltroForm().caption), u8(lancFiltroForm().screenCode),
                    ctb10000::session()),
      qryContCtbl(queryDecl("qryContCtbl")),
      qryContOp(queryDecl("qryContOp")),
      qryFilial(queryDecl("qryFilial")),
      qryCentCust(queryDecl("qryCentCust")),
      controlsBuilt_((buildControls(*this, lancFiltroControls()), true)),
      medContCtblIn(control<ui::MaskEdit>(*this, "medContCtblIn")),
      medContCtblFi(control<ui::MaskEdit>(*this, "medContCtblFi")),
      BtnPesquisa1(control<TBtnPesquisa>(*this, "BtnPesquisa1")),
      BtnPesquisa2(control<TBtnPesquisa>(*this, "BtnPesquisa2")),
      depIni(control<TDateEditPlus>(*this, "depIni")),
      depFim(control<TDateEditPlus>(*this, "depFim")),
      edtValorIni(control<TNumberEdit>(*this, "edtValorIni")),
      edtValorFim(control<TNumberEdit>(*this, "edtValorFim")),
      rbtTodos(control<ui::RadioButton>(*this, "rbtTodos")),
      rbtLista(control<ui::RadioButton>(*this, "rbtLista")),
      sbtHist(control<TBtnPesquisa>(*this, "sbtHist")),
      medDoc(control<ui::MaskEdit>(*this, "medDoc")),
      rbtTClie(control<ui::RadioButton>(*this, "rbtTClie")),
      rbtClie(control<ui::RadioButton>(*this, "rbtClie")),
      sbtClie(control<TBtnPesquisa>(*this, "sbtClie")),
      rbtTForn(control<ui::RadioButton>(*this, "rbtTForn")),
      rbtForn(control<ui::RadioButton>(*this, "rbtForn")),
      sbtForn(control<TBtnPesquisa>(*this, "sbtForn")),
      rbtTBanc(control<ui::RadioButton>(*this, "rbtTBanc")),
      rbtBanc(control<ui::RadioButton>(*this, "rbtBanc")),
      sbtBanc(control<TBtnPesquisa>(*this, "sbtBanc")),
      medLanc(control<ui::MaskEdit>(*this, "medLanc")),
      rbtTFilial(control<ui::RadioButton>(*this, "rbtTFilial")),
      rbtLFilial(control<ui::RadioButton>(*this, "rbtLFilial")),
      btnFilial(control<TBtnPesquisa>(*this, "btnFilial")),
      rbtTCentCust(control<ui::RadioButton>(*this, "rbtTCentCust")),
      rbtLCentCust(control<ui::RadioButton>(*this, "rbtLCentCust")),
      btnCentCust(control<TBtnPesquisa>(*this, "btnCentCust")),
      medHistLanc(control<ui::Edit>(*this, "medHistLanc")),
      screen_(screen) {
    HelpContext = lancFiltroForm().helpContext;
    msgPadrao.setLines(catalogLines(lancFiltroCatalog()));
    declareTable(cdsData, lancFiltroTables().front());
    setUpLookups(*this, lancFiltroLookups(), [this](const QString&) { return &dtsContCtbl; });
    medContCtblIn.setTabOrder(-1);  // the first control to have the focus
    onClose = [this](ui::Form&, CloseAction& action) { FormClose(action); };
}

TfrmLancFiltro::~TfrmLancFiltro() = default;

void TfrmLancFiltro::FormCreate() {
    TfrmRotiGeral::FormCreate();
    const QString accountMask = DBPict(2);
    medContCtblIn.setEditMask(accountMask);
    medContCtblFi.setEditMask(accountMask);
    qryContCtbl.fieldByName(u"CDCONTCTBL").setEditMask(accountMask);
    cdsData.createDataSet();
    cdsData.append();
    cdsData.fieldByName(u"DTHOJE").setAsDate(ctb10000::session().currentDate());
    cdsData.post();
}

void TfrmLancFiltro::FormClose(CloseAction& action) {
    action = CloseAction::Hide;
}

}  // namespace ctb::ctb10000
