#include "entry_screen/cli_ctb10000.h"

#include "entry_screen/declare.h"

namespace ctb::ctb10000 {
namespace {

const QueryDecl& queryDecl(const char* name) {
    return *findQuery(lancamentoQueries(), u8(name));
}

}  // namespace

TfrmLancamento::TfrmLancamento()
    : TfrmPadrao(u8(lancamentoForm().name), u8(lancamentoForm().caption), u8(lancamentoForm().screenCode),
                 ctb10000::session()),
      qryEmpresa(queryDecl("qryEmpresa")),
      qryHistPadr(queryDecl("qryHistPadr")),
      qryFilial(queryDecl("qryFilial")),
      qryContCtbl(queryDecl("qryContCtbl")),
      qryTipoCome(queryDecl("qryTipoCome")),
      qryCliente(queryDecl("qryCliente")),
      qryFornecedor(queryDecl("qryFornecedor")),
      qryBanco(queryDecl("qryBanco")),
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
      dbgDebito(panDebito.add<ui::DBGrid>(QStringLiteral("dbgDebito"))),
      dbgCredito(panCredito.add<ui::DBGrid>(QStringLiteral("dbgCredito"))),
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
      dbgLancCCusto(panLancamentoGerencial.add<ui::DBGrid>(QStringLiteral("dbgLancCCusto"))) {
    applyLayout(*this, lancamentoLayout());
    msgPadrao.setLines(catalogLines(lancamentoCatalog()));
    dtsPadrao.setDataSet(&cdsLancCont);
    declareData();
    bindGrids();
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
    panEmpresa.setTabOrder(-1);  // `edtCdEmpresa` is the first control to have the focus
    edtCdEmpresa.setTabOrder(-1);
}

TfrmLancamento::~TfrmLancamento() {
    // Controls bound to the data sources go before the tables they show.
    dbeCdHistPadr.setDataBinding(nullptr, {});
    dbeDsHistLanc.setDataBinding(nullptr, {});
    dbeCdContCome.setDataBinding(nullptr, {});
    for (ui::DBGrid* g : {&dbgPadrao, &dbgDebito, &dbgCredito, &dbgLancCCusto})
        g->setDataSource(nullptr);
}

void TfrmLancamento::declareData() {
    for (const TableDecl& t : lancamentoTables()) {
        if (ClientDataSet* table = tableByName(u8(t.name)))
            declareTable(*table, t);
    }
}

void TfrmLancamento::bindGrids() {
    for (const GridDecl& g : lancamentoGrids()) {
        auto* grid = dynamic_cast<ui::DBGrid*>(findControl(u8(g.name)));
        if (grid == nullptr)
            continue;
        std::vector<ui::GridColumn> columns;
        for (const GridColumnDecl& c : g.columns) {
            ui::GridColumn column;
            column.fieldName = u8(c.field);
            column.hasButton = c.lookupButton;
            column.readOnly = c.readOnly;
            columns.push_back(column);
        }
        grid->setColumns(std::move(columns));
        grid->setReadOnly(!g.editing);
        grid->confirmDelete = g.editing;
        grid->cancelOnExit = g.editing;
        grid->allowAppend = g.editing;
    }
    dbgDebito.setDataSource(&dtsDebito);
    dbgCredito.setDataSource(&dtsCredito);
    dbgLancCCusto.setDataSource(&dtsLancCCusto);
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

    const QString accountMask = DBPict(2);
    for (ClientDataSet* t :
         {static_cast<ClientDataSet*>(&qryContCtbl), &cdsLancCont, &cdsDebito, &cdsCredito})
        t->fieldByName(u"CDCONTCTBL").setEditMask(accountMask);

    // Nothing to confirm or cancel before an entry is edited.
    for (ui::Control* c :
         std::initializer_list<ui::Control*>{&sbtConfirmar, &sbtCancelar, &mnuConfirmar, &mnuCancelar})
        c->setEnabled(false);
    edtCdEmpresa.setText(EmprProc());
    buscaEmpresa();
}

void TfrmLancamento::FormClose(CloseAction& action) {
    TfrmPadrao::FormClose(action);
    netLancamento.close();
    NetLanccontabil.close();
}

void TfrmLancamento::CarregaResultado(wire::Value& payload) {
    if (!payload.isArray() || payload.array().size() < 2)
        MensErro(services(), QStringLiteral("Resposta inesperada do servidor de aplicação."));
    auto& parts = payload.array();
    if (parts[0].isString())
        MensErro(services(), parts[0].toString());
    if (!parts[0].isPacket() || !parts[1].isPacket())
        MensErro(services(), QStringLiteral("Resposta inesperada do servidor de aplicação."));
    cdsLancCont.setData(parts[0].takePacket());
    cdsCentCustFil.setData(parts[1].takePacket());
}

void TfrmLancamento::netLancamentoBeforeConnect(TNetConnection& sender) {
    sender.Host = WebURL();
    sender.Port = WebPort();
}

void TfrmLancamento::NetLanccontabilBeforeConnect(TNetConnection& sender) {
    sender.Host = WebURL();
    sender.Port = WebPort();
}

}  // namespace ctb::ctb10000
