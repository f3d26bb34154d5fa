// Creation and close of the journal-entry screen: tables, queries, controls, grids, connections.
#include "entry_screen/cli_ctb10000.h"

namespace ctb::ctb10000 {
namespace {

const QueryDecl& queryDecl(const char* name) {
    return *findQuery(lancamentoQueries(), u8(name));
}

}  // namespace

TfrmLancamento::TfrmLancamento(Session& s, LancamentoDialogs dialogs)
    : TfrmPadrao(u8(lancamentoForm().name), u8(lancamentoForm().caption), u8(lancamentoForm().screenCode), s),
      qryEmpresa(queryDecl("qryEmpresa"), s.database()),
      qryHistPadr(queryDecl("qryHistPadr"), s.database()),
      qryFilial(queryDecl("qryFilial"), s.database()),
      qryContCtbl(queryDecl("qryContCtbl"), s.database()),
      qryTipoCome(queryDecl("qryTipoCome"), s.database()),
      qryCliente(queryDecl("qryCliente"), s.database()),
      qryFornecedor(queryDecl("qryFornecedor"), s.database()),
      qryBanco(queryDecl("qryBanco"), s.database()),
      netLancamento(u8(lancamentoConnections()[0].name), u8(lancamentoConnections()[0].serverName)),
      NetLanccontabil(u8(lancamentoConnections()[1].name), u8(lancamentoConnections()[1].serverName)),
      controlsBuilt_((buildControls(*this, lancamentoControls()), true)),
      panEmpresa(control<ui::Panel>(*this, "panEmpresa")),
      lblEmpresa(control<ui::Label>(*this, "lblEmpresa")),
      edtCdEmpresa(control<ui::Edit>(*this, "edtCdEmpresa")),
      edtNmEmpresa(control<ui::Edit>(*this, "edtNmEmpresa")),
      btnEmpresa(control<TBtnPesquisa>(*this, "btnEmpresa")),
      spbFiltro(control<ui::SpeedButton>(*this, "spbFiltro")),
      mnuFiltrar(control<ui::MenuItem>(*this, "mnuFiltrar")),
      panCabecalho(control<ui::Panel>(*this, "panCabecalho")),
      edtDocumento(control<ui::Edit>(*this, "edtDocumento")),
      depData(control<TDateEditPlus>(*this, "depData")),
      nedDebito(control<TNumberEdit>(*this, "nedDebito")),
      nedCredito(control<TNumberEdit>(*this, "nedCredito")),
      lblValorDiferenca(control<ui::Label>(*this, "lblValorDiferenca")),
      panLancamentoOficial(control<ui::Panel>(*this, "panLancamentoOficial")),
      panTituloDebito(control<ui::Panel>(*this, "panTituloDebito")),
      panDebito(control<ui::Panel>(*this, "panDebito")),
      panTituloCredito(control<ui::Panel>(*this, "panTituloCredito")),
      panCredito(control<ui::Panel>(*this, "panCredito")),
      dbgDebito(control<ui::DBGrid>(*this, "dbgDebito")),
      dbgCredito(control<ui::DBGrid>(*this, "dbgCredito")),
      panHistorico(control<ui::Panel>(*this, "panHistorico")),
      dbeCdHistPadr(control<ui::DBEdit>(*this, "dbeCdHistPadr")),
      btnHistorico(control<TBtnPesquisa>(*this, "btnHistorico")),
      dbeDsHistLanc(control<ui::DBEdit>(*this, "dbeDsHistLanc")),
      btnAlteraHistorico(control<ui::Button>(*this, "btnAlteraHistorico")),
      panComercial(control<ui::Panel>(*this, "panComercial")),
      lblCodComercial(control<ui::Label>(*this, "lblCodComercial")),
      dbeCdContCome(control<ui::DBEdit>(*this, "dbeCdContCome")),
      btnComercial(control<TBtnPesquisa>(*this, "btnComercial")),
      edtNmComercial(control<ui::Edit>(*this, "edtNmComercial")),
      lblIdentificador(control<ui::Label>(*this, "lblIdentificador")),
      panGerencial(control<ui::Panel>(*this, "panGerencial")),
      btnGerencial(control<ui::Button>(*this, "btnGerencial")),
      panLancamentoGerencial(control<ui::Panel>(*this, "panLancamentoGerencial")),
      dbgLancCCusto(control<ui::DBGrid>(*this, "dbgLancCCusto")),
      dialogs_(std::move(dialogs)),
      debit_{cdsDebito,
             dtsDebito,
             dbgDebito,
             cdsCredito,
             "DEBITO",
             "D",
             "DB",
             "CONTCTBLDEB_DEV",
             "DEB_DEV",
             "EXCLUIR_DB",
             -1.0,
             /*copiesAccountAfterPictureCheck=*/true,
             /*refreshesCommercialOnEmptyAccount=*/true,
             /*valueExitGoesToHistory=*/false,
             /*scrollCopiesAllocationMirror=*/false,
             /*disablesDateBeforeButtonRule=*/false},
      credit_{cdsCredito,
              dtsCredito,
              dbgCredito,
              cdsDebito,
              "CREDITO",
              "C",
              "CR",
              "CONTCTBLCRE_DEV",
              "CRED_DEV",
              "EXCLUIR_CR",
              1.0,
              /*copiesAccountAfterPictureCheck=*/false,
              /*refreshesCommercialOnEmptyAccount=*/false,
              /*valueExitGoesToHistory=*/true,
              /*scrollCopiesAllocationMirror=*/true,
              /*disablesDateBeforeButtonRule=*/true} {
    applyLayout(*this, lancamentoLayout());
    applyFormDecl(*this, lancamentoForm());
    msgPadrao.setLines(catalogLines(lancamentoCatalog()));
    dtsPadrao.setDataSet(&cdsLancCont);
    for (const TableDecl& t : lancamentoTables())
        if (ClientDataSet* table = tableByName(u8(t.name)))
            declareTable(*table, t);
    setUpGrids(*this, lancamentoGrids());
    dbgDebito.setDataSource(&dtsDebito);
    dbgCredito.setDataSource(&dtsCredito);
    dbgLancCCusto.setDataSource(&dtsLancCCusto);
    setUpLookups(*this, lancamentoLookups(), [this](const QString& name) -> DataSource* {
        for (DataSource* d : {&dtsEmpresa, &dtsHistPadr, &dtsCliente, &dtsFornecedor, &dtsBanco})
            if (d->name() == name)
                return d;
        return nullptr;
    });
    netLancamento.onBeforeConnect = [this](TNetConnection& c) { netLancamentoBeforeConnect(c); };
    NetLanccontabil.onBeforeConnect = [this](TNetConnection& c) { NetLanccontabilBeforeConnect(c); };
    netLancamento.session = &session;
    NetLanccontabil.session = &session;
    wireHandlers();
    // The line details follow the current side at run time; the debit side until then.
    dbeCdHistPadr.setDataBinding(&dtsDebito, QStringLiteral("CDHISTPADR"));
    dbeDsHistLanc.setDataBinding(&dtsDebito, QStringLiteral("DSHISTLANC"));
    dbeCdContCome.setDataBinding(&dtsDebito, QStringLiteral("CDCONTCOME"));
}

TfrmLancamento::~TfrmLancamento() {
    // Controls bound to the data sources go before the tables they show.
    dbeCdHistPadr.setDataBinding(nullptr, {});
    dbeDsHistLanc.setDataBinding(nullptr, {});
    dbeCdContCome.setDataBinding(nullptr, {});
    for (ui::DBGrid* g : {&dbgPadrao, &dbgDebito, &dbgCredito, &dbgLancCCusto})
        g->setDataSource(nullptr);
}

ClientDataSet* TfrmLancamento::tableByName(const QString& name) {
    ClientDataSet* all[] = {&cdsLancCont,
                            &cdsLancFiltrado,
                            &cdsDebito,
                            &cdsCredito,
                            &cdsLancContEspelho,
                            &cdsLancCCusto,
                            &cdsLancCCustoEspelho,
                            &cdsCentCustFil,
                            &cdsMapaApurac,
                            &qryEmpresa,
                            &qryHistPadr,
                            &qryFilial,
                            &qryContCtbl,
                            &qryTipoCome,
                            &qryCliente,
                            &qryFornecedor,
                            &qryBanco};
    for (ClientDataSet* t : all)
        if (t->name().compare(name, Qt::CaseInsensitive) == 0)
            return t;
    if (pastePreview_ && pastePreview_->cdsPastePreview.name().compare(name, Qt::CaseInsensitive) == 0)
        return &pastePreview_->cdsPastePreview;
    return nullptr;
}

void TfrmLancamento::FormCreate() {
    TfrmPadrao::FormCreate();
    {
        hostlib::ShowAviScope avi(services(), 0);
        netLancamento.open();
        NetLanccontabil.open();
    }
    FFiltroCriado = false;
    FNavegacao = true;

    for (ClientDataSet* t : {&cdsDebito, &cdsCredito, &cdsLancCCusto, &cdsLancContEspelho, &cdsLancFiltrado,
                             &cdsLancCCustoEspelho})
        t->createDataSet();

    const QString accountMask = session.DBPict(2);
    for (ClientDataSet* t :
         {static_cast<ClientDataSet*>(&qryContCtbl), &cdsLancCont, &cdsDebito, &cdsCredito})
        t->fieldByName(u"CDCONTCTBL").setEditMask(accountMask);

    // Nothing to confirm or cancel before an entry is edited.
    for (ui::Control* c :
         std::initializer_list<ui::Control*>{&sbtConfirmar, &sbtCancelar, &mnuConfirmar, &mnuCancelar})
        c->setEnabled(false);
    edtCdEmpresa.setText(session.EmprProc);
    buscaEmpresa();
}

void TfrmLancamento::FormClose(CloseAction& action) {
    TfrmPadrao::FormClose(action);
    netLancamento.close();
    NetLanccontabil.close();
}

void TfrmLancamento::netLancamentoBeforeConnect(TNetConnection& sender) {
    sender.Host = session.WebURL;
    sender.Port = session.WebPort;
}

void TfrmLancamento::NetLanccontabilBeforeConnect(TNetConnection& sender) {
    sender.Host = session.WebURL;
    sender.Port = session.WebPort;
}

FilterTarget::Lookup TfrmLancamento::lookup(List list) {
    switch (list) {
        case List::History:
            return {qryHistPadr, dtsHistPadr};
        case List::Client:
            return {qryCliente, dtsCliente};
        case List::Supplier:
            return {qryFornecedor, dtsFornecedor};
        case List::Bank:
            break;
    }
    return {qryBanco, dtsBanco};
}

}  // namespace ctb::ctb10000
