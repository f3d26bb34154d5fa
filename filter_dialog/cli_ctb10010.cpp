#include "filter_dialog/cli_ctb10010.h"

#include "platform/sql/query.h"
#include "platform/ui/dispatch.h"

namespace ctb::ctb10000 {
namespace {

const QString kTodos = QStringLiteral("T");

const QueryDecl& queryDecl(const char* name) {
    return *findQuery(lancFiltroQueries(), u8(name));
}

QString orTodos(const QString& text) {
    return text.isEmpty() ? kTodos : text;
}

}  // namespace

TfrmLancFiltro::TfrmLancFiltro(Session& s, FilterTarget& target)
    : TfrmRotiGeral(u8(lancFiltroForm().name), u8(lancFiltroForm().caption), u8(lancFiltroForm().screenCode),
                    s),
      qryContCtbl(queryDecl("qryContCtbl"), s.database()),
      qryContOp(queryDecl("qryContOp"), s.database()),
      qryFilial(queryDecl("qryFilial"), s.database()),
      qryCentCust(queryDecl("qryCentCust"), s.database()),
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
      grbCliente(control<ui::GroupBox>(*this, "grbCliente")),
      grbFornecedor(control<ui::GroupBox>(*this, "grbFornecedor")),
      grbBanco(control<ui::GroupBox>(*this, "grbBanco")),
      grbFilial(control<ui::GroupBox>(*this, "grbFilial")),
      grbCentCust(control<ui::GroupBox>(*this, "grbCentCust")),
      target_(target) {
    applyLayout(*this, lancFiltroLayout());
    applyFormDecl(*this, lancFiltroForm());
    HelpContext = lancFiltroForm().helpContext;
    msgPadrao.setLines(catalogLines(lancFiltroCatalog()));
    declareTable(cdsData, lancFiltroTables().front());
    setUpLookups(*this, lancFiltroLookups(), [this](const QString&) { return &dtsContCtbl; });
    bindEvents();
}

TfrmLancFiltro::~TfrmLancFiltro() = default;

void TfrmLancFiltro::bindEvents() {
    onClose = [this](ui::Form&, CloseAction& action) { FormClose(action); };
    // The opening step belongs to showing the dialog: a lookup or message box it opens itself and
    // closes again is no new opening, and must not put the remembered criteria over the user's input.
    onShow = [this](ui::Control&) { ui::runUserAction(services(), [this] { FormActivate(); }); };
    sbtConfirma.onClick = [this](ui::Control&) { sbtConfirmaClick(); };

    depIni.onExit = [this](ui::Control&) { depIniExit(); };
    depFim.onExit = [this](ui::Control&) { depFimExit(); };
    medContCtblIn.onExit = [this](ui::Control&) { medContCtblInExit(); };
    medContCtblFi.onExit = [this](ui::Control&) { medContCtblFiExit(); };
    for (TBtnPesquisa* b : {&BtnPesquisa1, &BtnPesquisa2})
        b->BeforePesq = [this](ui::Control& sender, bool& allow) { BtnPesquisa1BeforePesq(sender, allow); };
    BtnPesquisa1.AfterPesq = [this](ui::Control& sender) { BtnPesquisa1AfterPesq(sender); };
    BtnPesquisa2.AfterPesq = [this](ui::Control& sender) { BtnPesquisa2AfterPesq(sender); };

    for (TNumberEdit* e : {&edtValorIni, &edtValorFim})
        e->onKeyPress = [this](ui::Control& sender, QChar& key) { edtValorIniKeyPress(sender, key); };
    edtValorIni.onExit = [this](ui::Control&) { edtValorIniExit(); };
    medHistLanc.onKeyPress = [this](ui::Control& sender, QChar& key) { medHistLancKeyPress(sender, key); };

    auto pair = [](ui::RadioButton& a, ui::RadioButton& b, const std::function<void()>& handler) {
        a.onClick = b.onClick = [handler](ui::Control&) { handler(); };
    };
    pair(rbtTodos, rbtLista, [this] { rbtListaClick(); });
    pair(rbtTClie, rbtClie, [this] { rbtClieClick(); });
    pair(rbtTForn, rbtForn, [this] { rbtFornClick(); });
    pair(rbtTBanc, rbtBanc, [this] { rbtBancClick(); });
    pair(rbtTFilial, rbtLFilial, [this] { rbtTFilialClick(); });
    pair(rbtTCentCust, rbtLCentCust, [this] { rbtTCentCustClick(); });

    sbtHist.onClick = [this](ui::Control&) { BtnPesquisa3Click(); };
    sbtClie.onClick = [this](ui::Control&) { BtnPesquisa4Click(); };
    sbtForn.onClick = [this](ui::Control&) { BtnPesquisa5Click(); };
    sbtBanc.onClick = [this](ui::Control&) { BtnPesquisa6Click(); };
    btnFilial.onClick = [this](ui::Control&) { btnFilialClick(); };
    btnCentCust.onClick = [this](ui::Control&) { btnCentCustClick(); };
}

// ---------------------------------------------------------------- creation, opening, closing

void TfrmLancFiltro::FormCreate() {
    TfrmRotiGeral::FormCreate();
    const QString accountMask = session.DBPict(2);
    medContCtblIn.setEditMask(accountMask);
    medContCtblFi.setEditMask(accountMask);
    qryContCtbl.fieldByName(u"CDCONTCTBL").setEditMask(accountMask);
    cdsData.createDataSet();
    cdsData.append();
    cdsData.fieldByName(u"DTHOJE").setAsDate(session.currentDate());
    cdsData.post();
}

void TfrmLancFiltro::FormClose(CloseAction& action) {
    action = CloseAction::Hide;
}

void TfrmLancFiltro::FormActivate() {
    ++activations_;
    Atualiza_Filtro(true);

    if (depIni.GetDate().isNull() || depFim.GetDate().isNull()) {
        const QDate hoje = cdsData.fieldByName(u"DTHOJE").asDate();
        depIni.SetDate(hoje);
        depFim.SetDate(hoje);
    }

    qryContOp.Close();
    qryContOp.ParamByName(QStringLiteral("P_CDEMPRESA")).setValue(target_.companyCode());
    qryContOp.Open();
    auto option = [this](const char16_t* field) {
        return !qryContOp.IsEmpty() && qryContOp.fieldByName(field).asString() == QLatin1String("S");
    };
    const bool comercial = option(u"IDCONTCOME");
    const bool gerencial = option(u"IDCONTGERE");

    // A radio already on "Todos" runs no click: its list is emptied here all the same.
    if (!comercial) {
        rbtTodos.setChecked(true);
        rbtTClie.setChecked(true);
        rbtTForn.setChecked(true);
        rbtTBanc.setChecked(true);
        FListaHist.clear();
        FListaClie.clear();
        FListaForn.clear();
        FListaBanc.clear();
    }
    if (!gerencial) {
        rbtTFilial.setChecked(true);
        rbtTCentCust.setChecked(true);
        FListaFilial.clear();
        FListaCentCust.clear();
    }

    hostlib::SetChildEnabled(grbCliente, comercial);
    hostlib::SetChildEnabled(grbFornecedor, comercial);
    hostlib::SetChildEnabled(grbBanco, comercial);
    hostlib::SetChildEnabled(grbFilial, gerencial);
    hostlib::SetChildEnabled(grbCentCust, gerencial);

    sbtHist.setEnabled(rbtLista.checked());
    sbtClie.setEnabled(rbtClie.checked());
    sbtForn.setEnabled(rbtForn.checked());
    sbtBanc.setEnabled(rbtBanc.checked());
    btnFilial.setEnabled(rbtLFilial.checked());
    btnCentCust.setEnabled(rbtLCentCust.checked());
}

void TfrmLancFiltro::sbtCancelClick() {
    Atualiza_Filtro(false);
    TfrmRotiGeral::sbtCancelClick();
}

// ---------------------------------------------------------------- remembered criteria

void TfrmLancFiltro::Atualiza_Filtro(bool restore) {
    TFILTRO& f = FFiltro;
    if (restore) {
        medContCtblIn.setText(f.Conta.ContIni);
        medContCtblFi.setText(f.Conta.ContFin);
        depIni.SetDate(f.DataIni);
        depFim.SetDate(f.DataFim);
        escreveValor(edtValorIni, f.Valor.ValorIni);
        escreveValor(edtValorFim, f.Valor.ValorFim);
        // Checking a "Lista" radio empties its list: the list comes back right after it.
        rbtLista.setChecked(f.Historico.HistLista);
        FListaHist = f.Historico.Hist;
        medDoc.setText(f.DocLanc.Documento);
        medLanc.setText(f.DocLanc.Lancamento);
        rbtClie.setChecked(f.Cliente.ClieLista);
        FListaClie = f.Cliente.Clie;
        rbtForn.setChecked(f.Fornecedor.FornLista);
        FListaForn = f.Fornecedor.Forn;
        rbtBanc.setChecked(f.Banco.BancLista);
        FListaBanc = f.Banco.Banc;
        rbtLFilial.setChecked(f.Filial.FilialLista);
        FListaFilial = f.Filial.Filial;
        rbtLCentCust.setChecked(f.CentCust.CentCustLista);
        FListaCentCust = f.CentCust.CentCust;
        rbtTodos.setChecked(!rbtLista.checked());
        rbtTClie.setChecked(!rbtClie.checked());
        rbtTForn.setChecked(!rbtForn.checked());
        rbtTBanc.setChecked(!rbtBanc.checked());
        rbtTFilial.setChecked(!rbtLFilial.checked());
        rbtTCentCust.setChecked(!rbtLCentCust.checked());
        return;
    }
    f.Conta.ContIni = medContCtblIn.text();
    f.Conta.ContFin = medContCtblFi.text();
    f.DataIni = depIni.GetDate();
    f.DataFim = depFim.GetDate();
    f.Valor.ValorIni = edtValorIni.GetNumber();
    f.Valor.ValorFim = edtValorFim.GetNumber();
    f.Historico.HistLista = rbtLista.checked();
    f.Historico.Hist = FListaHist;
    f.DocLanc.Documento = medDoc.text();
    f.DocLanc.Lancamento = medLanc.text();
    f.Cliente.ClieLista = rbtClie.checked();
    f.Cliente.Clie = FListaClie;
    f.Fornecedor.FornLista = rbtForn.checked();
    f.Fornecedor.Forn = FListaForn;
    f.Banco.BancLista = rbtBanc.checked();
    f.Banco.Banc = FListaBanc;
    f.Filial.FilialLista = rbtLFilial.checked();
    f.Filial.Filial = FListaFilial;
    f.CentCust.CentCustLista = rbtLCentCust.checked();
    f.CentCust.CentCust = FListaCentCust;
}

void TfrmLancFiltro::escreveValor(TNumberEdit& edit, double value) {
    // Plain digits and the decimal comma: the value fields show no thousands separator.
    QLocale locale = edit.locale();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    edit.setText(locale.toString(value, 'f', edit.decimals()));
}

// ---------------------------------------------------------------- fields

void TfrmLancFiltro::depIniExit() {
    depIni.CheckValidDate();
}

void TfrmLancFiltro::depFimExit() {
    depFim.CheckValidDate();
}

QString TfrmLancFiltro::contaNormalizada(ui::MaskEdit& field) {
    QString code = field.text();
    if (!hostlib::normaliseAccount(code, session.accountPicture))
        field.setFocus();
    ValidEx(session, &dtsContCtbl, hostlib::ptContCtbl, code);
    return code;
}

void TfrmLancFiltro::AbreQryContCtbl(const QString& code, const QString& all) {
    qryContCtbl.Close();
    qryContCtbl.ParamByName(QStringLiteral("P_CDCONTCTBL")).setValue(code);
    qryContCtbl.ParamByName(QStringLiteral("P_TCDCONTCTBL")).setValue(all);
    qryContCtbl.Open();
}

void TfrmLancFiltro::validaContaSaida(ui::MaskEdit& field) {
    if (hostlib::EmptyString(field.text()))
        return;
    // The field keeps the text as typed; the normalised code is only looked up.
    AbreQryContCtbl(contaNormalizada(field), QString());
    if (qryContCtbl.IsEmpty()) {
        field.setFocus();
        MensErro(services(), msgPadrao.Msg(QStringLiteral("CONT_CAD")));
    }
}

void TfrmLancFiltro::medContCtblInExit() {
    validaContaSaida(medContCtblIn);
}

void TfrmLancFiltro::medContCtblFiExit() {
    validaContaSaida(medContCtblFi);
}

void TfrmLancFiltro::BtnPesquisa1BeforePesq(ui::Control& /*sender*/, bool& /*allow*/) {
    qryContCtbl.Close();
    qryContCtbl.ParamByName(QStringLiteral("P_TCDCONTCTBL")).setValue(kTodos);
    qryContCtbl.Open();
}

void TfrmLancFiltro::BtnPesquisa1AfterPesq(ui::Control& /*sender*/) {
    medContCtblIn.setText(qryContCtbl.fieldByName(u"CDCONTCTBL").asString());
}

void TfrmLancFiltro::BtnPesquisa2AfterPesq(ui::Control& /*sender*/) {
    medContCtblFi.setText(qryContCtbl.fieldByName(u"CDCONTCTBL").asString());
}

void TfrmLancFiltro::edtValorIniKeyPress(ui::Control& /*sender*/, QChar& key) {
    if (key == u'_')
        key = QChar();
}

void TfrmLancFiltro::edtValorIniExit() {
    edtValorFim.setText(edtValorIni.text());
}

void TfrmLancFiltro::medHistLancKeyPress(ui::Control& /*sender*/, QChar& key) {
    if (key >= u'a' && key <= u'z')
        key = key.toUpper();
}

// ---------------------------------------------------------------- list pairs and lookups

void TfrmLancFiltro::rbtListaClick() {
    sbtHist.setEnabled(rbtLista.checked());
    FListaHist.clear();
}

void TfrmLancFiltro::rbtClieClick() {
    sbtClie.setEnabled(rbtClie.checked());
    FListaClie.clear();
}

void TfrmLancFiltro::rbtFornClick() {
    sbtForn.setEnabled(rbtForn.checked());
    FListaForn.clear();
}

void TfrmLancFiltro::rbtBancClick() {
    sbtBanc.setEnabled(rbtBanc.checked());
    FListaBanc.clear();
}

void TfrmLancFiltro::rbtTFilialClick() {
    btnFilial.setEnabled(rbtLFilial.checked());
    FListaFilial.clear();
}

void TfrmLancFiltro::rbtTCentCustClick() {
    btnCentCust.setEnabled(rbtLCentCust.checked());
    FListaCentCust.clear();
}

void TfrmLancFiltro::pesquisaLista(DataSource& source, const char* keyField, const QString& caption,
                                   QString& list) {
    list = hostlib::PesquisaLista(services(), &source, u8(keyField), caption, list, false);
}

void TfrmLancFiltro::BtnPesquisa3Click() {
    const FilterTarget::Lookup lookup = target_.lookup(FilterTarget::List::History);
    TADOIBQuery& q = lookup.query;
    q.Close();
    q.ParamByName(QStringLiteral("P_TCDHISTPADR")).setValue(kTodos);
    q.Open();
    pesquisaLista(lookup.source, "CDHISTPADR",
                  msgPadrao.Msg(QStringLiteral("Hist")) + u'|' + msgPadrao.Msg(QStringLiteral("Hist_NCad")),
                  FListaHist);
}

void TfrmLancFiltro::BtnPesquisa4Click() {
    const FilterTarget::Lookup lookup = target_.lookup(FilterTarget::List::Client);
    TADOIBQuery& q = lookup.query;
    q.Close();
    q.ParamByName(QStringLiteral("P_TCDCLIENTE")).setValue(kTodos);
    q.Open();
    pesquisaLista(lookup.source, "CDCLIENTE",
                  msgPadrao.Msg(QStringLiteral("Clie")) + u'|' + msgPadrao.Msg(QStringLiteral("Cliente_Cad")),
                  FListaClie);
}

void TfrmLancFiltro::BtnPesquisa5Click() {
    const FilterTarget::Lookup lookup = target_.lookup(FilterTarget::List::Supplier);
    TADOIBQuery& q = lookup.query;
    q.Close();
    q.ParamByName(QStringLiteral("P_TCDFORNECED")).setValue(kTodos);
    q.Open();
    pesquisaLista(lookup.source, "CDFORNECED",
                  msgPadrao.Msg(QStringLiteral("Forn")) + u'|' + msgPadrao.Msg(QStringLiteral("Forn_Cad")),
                  FListaForn);
}

void TfrmLancFiltro::BtnPesquisa6Click() {
    // Only the bank accounts of the screen's company, although every reduced code is asked for.
    const FilterTarget::Lookup lookup = target_.lookup(FilterTarget::List::Bank);
    TADOIBQuery& q = lookup.query;
    q.Close();
    q.ParamByName(QStringLiteral("P_TCDREDUCONT")).setValue(kTodos);
    q.ParamByName(QStringLiteral("P_CDREDUCONT")).setValue(QString());
    q.ParamByName(QStringLiteral("P_CDEMPRESA")).setValue(target_.companyCode());
    q.Open();
    pesquisaLista(lookup.source, "CDREDUCONT",
                  msgPadrao.Msg(QStringLiteral("Banc")) + u'|' + msgPadrao.Msg(QStringLiteral("Banc_Cad")),
                  FListaBanc);
}

void TfrmLancFiltro::btnFilialClick() {
    qryFilial.Close();
    qryFilial.Open();
    const TMessages& catalogo = target_.screenCatalog();
    pesquisaLista(dtsFilial, "CDFILIAL",
                  catalogo.Msg(QStringLiteral("Filial")) + u'|' + catalogo.Msg(QStringLiteral("Filial_Cad")),
                  FListaFilial);
}

void TfrmLancFiltro::btnCentCustClick() {
    qryCentCust.Close();
    qryCentCust.Open();
    const TMessages& catalogo = target_.screenCatalog();
    pesquisaLista(
        dtsCentCust, "CDCENTCUST",
        catalogo.Msg(QStringLiteral("CentroCusto")) + u'|' + catalogo.Msg(QStringLiteral("CentroCus_cad")),
        FListaCentCust);
}

// ---------------------------------------------------------------- confirm

bool TfrmLancFiltro::valorFimVazio() const {
    const QString t = edtValorFim.text().trimmed();
    // "0,00" as the field shows a restored zero counts as "0": no last value was given.
    return t.isEmpty() || t == QLatin1String("0") || edtValorFim.GetNumber() == 0.0;
}

void TfrmLancFiltro::copiaValorIniSeVazio() {
    if (valorFimVazio())
        edtValorFim.setText(edtValorIni.text());
}

LancFilterArgs TfrmLancFiltro::montaArgumentos() const {
    LancFilterArgs a;
    a.dtIni = depIni.GetDate();
    a.dtFim = depFim.GetDate();
    a.contIni = medContCtblIn.text();
    const QString contFin = medContCtblFi.text();
    const QString bound =
        contFin + hostlib::Replicate(QStringLiteral("Z"), 10 - static_cast<int>(contFin.size()));
    a.vrIni = hostlib::RoundDec(edtValorIni.GetNumber(), 2);
    a.vrFim = hostlib::RoundDec(edtValorFim.GetNumber(), 2);
    const QString documento = medDoc.text().trimmed();

    // The "T" rules, in their order; the working lists themselves stay as the user left them.
    const bool semConta = hostlib::EmptyString(a.contIni) && hostlib::EmptyString(contFin);
    a.contFimBound = semConta ? kTodos : bound;
    a.contFimCopy = a.contFimBound;
    a.flagValor = (a.vrIni == 0.0 && a.vrFim == 0.0) ? kTodos : QString();
    a.documento = orTodos(documento);
    a.centCust = orTodos(FListaCentCust);
    a.cliente = orTodos(FListaClie);
    a.fornecedor = orTodos(FListaForn);
    a.banco = orTodos(FListaBanc);
    QString tipos;
    if (!FListaClie.isEmpty())
        tipos += QStringLiteral("_C_");
    if (!FListaForn.isEmpty())
        tipos += QStringLiteral("_F_");
    if (!FListaBanc.isEmpty())
        tipos += QStringLiteral("_B_");
    a.tiposCome = orTodos(tipos);
    a.filial = orTodos(FListaFilial);
    a.histLista = orTodos(FListaHist);
    a.histText = medHistLanc.text().trimmed().isEmpty() ? kTodos : medHistLanc.text();
    a.nrLanc = medLanc.text();
    return a;
}

void TfrmLancFiltro::sbtConfirmaClick() {
    auto fail = [this](ui::Control& focus, const char* key) {
        focus.setFocus();
        MensErro(services(), msgPadrao.Msg(u8(key)));
    };

    copiaValorIniSeVazio();  // 1

    const bool temContIni = !hostlib::EmptyString(medContCtblIn.text());
    const bool temContFin = !hostlib::EmptyString(medContCtblFi.text());
    if (!temContIni && temContFin)
        fail(medContCtblIn, "ContIni_Inf");
    if (temContIni && !temContFin)
        fail(medContCtblFi, "ContFin_Inf");
    if (temContIni) {
        AbreQryContCtbl(contaNormalizada(medContCtblIn), QString());
        if (qryContCtbl.IsEmpty())
            fail(medContCtblIn, "CONT_CAD");
    }
    if (temContFin) {
        AbreQryContCtbl(contaNormalizada(medContCtblFi), QString());
        if (qryContCtbl.IsEmpty())
            fail(medContCtblFi, "CONT_CAD");
    }
    // Compared as typed, byte by byte.
    if (temContIni && temContFin && medContCtblIn.text().toUtf8() > medContCtblFi.text().toUtf8())
        fail(medContCtblIn, "ContIni_ContFin");

    if (depIni.isEmpty())
        fail(depIni, "DtIni_Inf");
    if (depFim.isEmpty())
        fail(depFim, "DtFim_Inf");
    depIni.CheckValidDate();
    depFim.CheckValidDate();
    if (depFim.GetDate() < depIni.GetDate())
        fail(depIni, "DtIni_DtFin");

    copiaValorIniSeVazio();  // 11

    if (rbtLista.checked() && FListaHist.isEmpty())
        fail(rbtLista, "HistPadr_Inf");
    if (rbtClie.checked() && FListaClie.isEmpty())
        fail(rbtClie, "Clie_Inf");
    if (rbtForn.checked() && FListaForn.isEmpty())
        fail(rbtForn, "Forn_Inf");
    if (rbtBanc.checked() && FListaBanc.isEmpty())
        fail(rbtBanc, "Banc_Inf");
    if (rbtLFilial.checked() && FListaFilial.isEmpty())
        fail(rbtLFilial, "Filial_Inf");
    if (rbtLCentCust.checked() && FListaCentCust.isEmpty())
        fail(rbtLCentCust, "CentCust_Inf");

    const double valorIni = hostlib::RoundDec(edtValorIni.GetNumber(), 2);
    const double valorFim = hostlib::RoundDec(edtValorFim.GetNumber(), 2);
    if ((valorIni != 0.0 || valorFim != 0.0) && valorFim < valorIni)
        fail(edtValorFim, "VRFIN_DEV");

    {
        hostlib::ShowAviScope busy(services(), 6);
        escreveValor(edtValorIni, valorIni);
        escreveValor(edtValorFim, valorFim);
        Atualiza_Filtro(false);

        const LancFilterArgs args = montaArgumentos();
        EntryList list = target_.server().getLancamentos(target_.companyCode(), args);
        if (list.refusal)
            MensErro(services(), *list.refusal);  // the server refused the query
        target_.loadList(list);
        FCriterios = args;
    }
    setModalResult(ui::ModalResult::Ok);
}

}  // namespace ctb::ctb10000
