// The journal-entry screen's company context, modes, button rules, list refresh and entry load.
#include "entry_screen/cli_ctb10000.h"
#include "filter_dialog/cli_ctb10010.h"
#include "module/pkg_ctb10000.h"
#include "platform/sql/query.h"

namespace ctb::ctb10000 {
namespace {

void enable(ui::Control& button, ui::MenuItem* item, bool on) {
    button.setEnabled(on);
    if (item != nullptr)
        item->setEnabled(on);
}

bool editing(const ClientDataSet& t) {
    return t.state() == DataSetState::Edit || t.state() == DataSetState::Insert;
}

// No stored line and none being typed: a line still in insert counts as a line, so a Ctrl+Delete that
// deleted nothing never sends a half-typed first line back to the list.
bool semLinhas(const ClientDataSet& t) {
    return !t.active() || (t.isEmpty() && t.state() != DataSetState::Insert);
}

// The filter text that restricts an allocation table to one entry line (two blanks before the last
// two equals signs, as the stored texts have them).
QString filtroLinha(const QString& nrLancCont, const QString& empresa, const QString& nrSeqLanc) {
    return QStringLiteral("NRLANCCONT = '") + nrLancCont + QStringLiteral("'") +
           QStringLiteral(" AND CDEMPRESA  = ") + QStringLiteral("'") + empresa + QStringLiteral("'") +
           QStringLiteral(" AND NRSEQLANC  = ") + QStringLiteral("'") + nrSeqLanc + QStringLiteral("'");
}

// Sum of a float column over the rows shown, without moving the cursor (no scroll events).
double soma(const ClientDataSet& t, QStringView field) {
    const Field* f = t.findField(field);
    if (f == nullptr)
        return 0;
    double total = 0;
    for (int row = 0; row < t.viewRowCount(); ++row)
        total += t.valueAt(row, f->index()).toDouble();
    return hostlib::RoundDec(total, 2);
}

wire::Value takePacketCall(TfrmLancamento& f, TNetConnection& net, const char* method,
                           const std::vector<wire::Value>& args) {
    return hostlib::CheckResultServ(f.services(), net.call(QString::fromLatin1(method), args));
}

void loadPacket(ClientDataSet& table, wire::Value& payload) {
    if (!payload.isPacket())
        throw std::runtime_error("Resposta inesperada do servidor de aplicação.");
    table.setData(payload.takePacket());
}

}  // namespace

void TfrmLancamento::wireHandlers() {
    keyPreview = true;
    onKeyDown = [this](ui::Control&, int& key, ui::ShiftState shift) { FormKeyDown(key, shift); };
    panEmpresa.onEnter = [this](ui::Control&) { panEmpresaEnter(); };
    panEmpresa.onExit = [this](ui::Control&) { panEmpresaExit(); };
    edtCdEmpresa.onChange = [this](ui::Control&) { edtCdEmpresaChange(); };
    edtCdEmpresa.onExit = [this](ui::Control&) { edtCdEmpresaExit(); };
    btnEmpresa.BeforePesq = [this](ui::Control&, bool& allow) { btnEmpresaBeforePesq(allow); };
    btnEmpresa.AfterPesq = [this](ui::Control&) { btnEmpresaAfterPesq(); };
    spbFiltro.onClick = [this](ui::Control&) { spbFiltroClick(); };
    mnuFiltrar.onClick = [this](ui::Control&) {
        if (spbFiltro.effectivelyEnabled())
            spbFiltro.doClick();
    };
    tshFolhaDados.onEnter = [this](ui::Control&) { tshFolhaDadosEnter(); };
    panCabecalho.onEnter = [this](ui::Control&) { panCabecalhoEnter(); };
    panCabecalho.onExit = [this](ui::Control&) { panCabecalhoExit(); };
    edtDocumento.onChange = [this](ui::Control&) { edtDocumentoChange(); };
    edtDocumento.onExit = [this](ui::Control&) { edtDocumentoExit(); };
    depData.onExit = [this](ui::Control&) { depDataExit(); };
    panDebito.onEnter = [this](ui::Control&) { panDebitoEnter(); };
    panCredito.onEnter = [this](ui::Control&) { panCreditoEnter(); };
    panLancamentoGerencial.onEnter = [this](ui::Control&) { panLancamentoGerencialEnter(); };
    sbtVerificar.onClick = [this](ui::Control&) { sbtVerificarClick(); };
    dbgPadrao.onEnter = [this](ui::Control&) { dbgPadraoEnter(); };

    // Coded columns of the list shown as texts; the mirror's origin type reads the list's row.
    cdsLancCont.fieldByName(u"IDLANCINTE").onGetText = [this](Field&, QString& text, bool) {
        text = msgPadrao.Msg(cdsLancCont.fieldByName(u"IDLANCINTE").asString());
    };
    if (Field* mirror = cdsLancContEspelho.findField(QStringLiteral("IDLANCINTE")))
        mirror->onGetText = [this](Field&, QString& text, bool) {
            text = cdsLancCont.active() && !cdsLancCont.isEmpty()
                       ? msgPadrao.Msg(cdsLancCont.fieldByName(u"IDLANCINTE").asString())
                       : QString();
        };
    cdsLancCont.fieldByName(u"IDSISTEMA").onGetText = [this](Field&, QString& text, bool) {
        const QString code = cdsLancCont.fieldByName(u"IDSISTEMA").asString();
        text.clear();
        for (const CatalogEntry& e : sistemaTexts())
            if (code == QString::fromUtf8(e.key)) {
                text = QString::fromUtf8(e.text);
                break;
            }
    };
}

// ---------------------------------------------------------------- company

void TfrmLancamento::panEmpresaEnter() {
    FNavegacao = false;
    for (ui::Control* b : {static_cast<ui::Control*>(&sbtIncluir), static_cast<ui::Control*>(&sbtAlterar),
                           static_cast<ui::Control*>(&sbtExcluir), static_cast<ui::Control*>(&sbtImprimir),
                           static_cast<ui::Control*>(&sbtVerificar)})
        b->setEnabled(false);
    for (ui::MenuItem* m : {&mnuIncluir, &mnuAlterar, &mnuExcluir, &mnuImprimir, &mnuVerificar})
        m->setEnabled(false);
    if (pgcPadrao.activePage() == &tshFormulario)
        pgcPadrao.setActivePage(&tshFolhaDados);
    tshFormulario.setEnabled(false);
}

void TfrmLancamento::edtCdEmpresaChange() {
    edtNmEmpresa.setText(QString());
    FFiltroCriado = false;
    if (cdsLancCont.active() && !editing(cdsLancCont)) {
        cdsLancCont.emptyDataSet();
        cdsLancCont.close();
    }
}

void TfrmLancamento::checaEmpresa() {
    if (edtCdEmpresa.text().trimmed().isEmpty()) {
        edtCdEmpresa.setFocus();
        MensErro(services(), msgPadrao.Msg(QStringLiteral("EMP_DEV")));
    }
    edtCdEmpresa.setText(hostlib::Ajusta(edtCdEmpresa.text().trimmed(), 2));
    buscaEmpresa();
    panComercial.setVisible(FIdContCome == u"S");
    panGerencial.setVisible(FIdContGere == u"S");
}

void TfrmLancamento::buscaEmpresa() {
    qryEmpresa.Close();
    qryEmpresa.ParamByName(QStringLiteral("P_CDEMPRESA")).setValue(edtCdEmpresa.text());
    qryEmpresa.ParamByName(QStringLiteral("P_TCDEMPRESA")).setValue(QString());
    qryEmpresa.Open();
    if (qryEmpresa.IsEmpty()) {
        edtCdEmpresa.setFocus();
        MensErro(services(), msgPadrao.Msg(QStringLiteral("EMP_N")));
    }
    edtNmEmpresa.setText(qryEmpresa.fieldByName(u"NMEMPRESA").asString());
    FIdContCome = qryEmpresa.fieldByName(u"IDCONTCOME").asString();
    FIdContGere = qryEmpresa.fieldByName(u"IDCONTGERE").asString();
    FIdMsmContaDbCr = qryEmpresa.fieldByName(u"IDMSMCONTADBCR").asString();
}

void TfrmLancamento::edtCdEmpresaExit() {
    checaEmpresa();
}

void TfrmLancamento::btnEmpresaBeforePesq(bool& /*allow*/) {
    qryEmpresa.Close();
    qryEmpresa.ParamByName(QStringLiteral("P_TCDEMPRESA")).setValue(QStringLiteral("T"));
    qryEmpresa.ParamByName(QStringLiteral("P_CDEMPRESA")).setValue(QString());
    qryEmpresa.Open();
}

void TfrmLancamento::btnEmpresaAfterPesq() {
    const QString name = qryEmpresa.fieldByName(u"NMEMPRESA").asString();
    edtCdEmpresa.setText(qryEmpresa.fieldByName(u"CDEMPRESA").asString());
    edtNmEmpresa.setText(name);  // after the code: its change empties the name
}

void TfrmLancamento::panEmpresaExit() {
    if (!FFiltroCriado)
        CriaLancFiltro();
    if (!cdsLancCont.active())
        cdsLancCont.createDataSet();
    ControlaBotoesNavegacao();
    FNavegacao = true;
}

void TfrmLancamento::spbFiltroClick() {
    checaEmpresa();
    CriaLancFiltro();
}

// ---------------------------------------------------------------- modes

void TfrmLancamento::tshFolhaDadosEnter() {
    FConfirmado = true;
}

void TfrmLancamento::panCabecalhoEnter() {
    FLadoDebito = true;
    FNavegacao = false;
}

void TfrmLancamento::panDebitoEnter() {
    FLadoDebito = true;
    FLadoCredito = false;
    FAreaGerencial = false;
    FNavegacao = false;
}

void TfrmLancamento::panCreditoEnter() {
    FLadoCredito = true;
    FLadoDebito = false;
    FAreaGerencial = false;
    FNavegacao = false;
}

void TfrmLancamento::panLancamentoGerencialEnter() {
    FAreaGerencial = true;
    FNavegacao = false;
}

void TfrmLancamento::edtDocumentoChange() {
    if (!FCarregando) {
        FAlterado = true;
        FConfirmado = false;
    }
    ControlaBotoesFormulario(cdsDebito);
}

void TfrmLancamento::edtDocumentoExit() {
    FDocumento = edtDocumento.text();
}

void TfrmLancamento::depDataExit() {
    depData.CheckValidDate();
    if (depData.isEmpty() && cdsLancFiltrado.active() && !cdsLancFiltrado.isEmpty())
        depData.SetDate(cdsLancFiltrado.fieldByName(u"DTLANCCONT").asDate());
}

void TfrmLancamento::panCabecalhoExit() {
    const QDate typed = depData.GetDate();
    if (typed.isValid()) {
        FDtLancCont = typed;
        return;
    }
    if (editing(cdsDebito) || editing(cdsCredito)) {
        depData.setFocus();
        MensErro(services(), msgPadrao.Msg(QStringLiteral("Data_Dev")));
    }
    if (depData.isEmpty())
        depData.SetDate(session.currentDate());
}

void TfrmLancamento::ValidaPeriodoContabil() {
    // Hook for the period and lot check: it will ask the server and end the action on a date outside
    // the open period. Until then it passes; the server still refuses such an entry when it is stored.
}

void TfrmLancamento::marcaExclusao(ClientDataSet& table) {
    // What the tables' own delete handlers do once they exist: the entry now differs from the stored one.
    FAlterado = true;
    FConfirmado = false;
    ControlaBotoesFormulario(table);
}

void TfrmLancamento::excluiPartida(ClientDataSet& side, const char* questionKey) {
    if (!side.active() || side.isEmpty() || editing(side))
        return;
    if (!services()->askYesNo(msgPadrao.Msg(QString::fromLatin1(questionKey))))
        return;
    // The allocations first: leaving the line would re-filter them to the next one. The table is put
    // on this line's allocations before, so that nothing but them goes, whichever line it showed.
    if (cdsLancCCusto.active()) {
        cdsLancCCusto.setFilter(filtroLinha(side.fieldByName(u"NRLANCCONT").asString(),
                                            side.fieldByName(u"CDEMPRESA").asString(),
                                            side.fieldByName(u"NRSEQLANC").asString()));
        cdsLancCCusto.setFiltered(true);
        while (!cdsLancCCusto.isEmpty()) {
            cdsLancCCusto.first();
            cdsLancCCusto.remove();
        }
    }
    side.remove();
    marcaExclusao(side);
}

void TfrmLancamento::ExcluiLinhaCorrente() {
    if (FAreaGerencial) {
        if (cdsLancCCusto.active() && !cdsLancCCusto.isEmpty() && !editing(cdsLancCCusto) &&
            services()->askYesNo(msgPadrao.Msg(QStringLiteral("EXCLUIR_GER")))) {
            cdsLancCCusto.remove();
            marcaExclusao(cdsLancCCusto);
        }
    } else if (FLadoDebito) {
        excluiPartida(cdsDebito, "EXCLUIR_DB");
    } else if (FLadoCredito) {
        excluiPartida(cdsCredito, "EXCLUIR_CR");
    }
    if (semLinhas(cdsDebito) && semLinhas(cdsCredito)) {
        tshFolhaDados.setEnabled(true);
        FAlterado = false;
        // Shown from code, which runs no change handler: the reload below is its one run.
        pgcPadrao.setActivePage(&tshFolhaDados);
        pgcPadraoChange();
    }
}

void TfrmLancamento::FormKeyDown(int& key, ui::ShiftState shift) {
    if (key != ui::vk::Delete || !shift.ctrl || pgcPadrao.activePage() != &tshFormulario)
        return;
    // The form sees the key before the focused control (key preview); taking it here keeps a grid's own
    // Ctrl+Delete from asking and deleting a second time for the same keystroke.
    key = 0;
    ValidaPeriodoContabil();
    ExcluiLinhaCorrente();
}

// ---------------------------------------------------------------- button rules

void TfrmLancamento::ControlaBotoesNavegacao() {
    if (!cdsLancCont.active())
        return;
    const bool browse = !editing(cdsLancCont);
    const bool rows = !cdsLancCont.isEmpty();
    enable(sbtIncluir, &mnuIncluir, browse);
    enable(sbtVerificar, &mnuVerificar, browse);
    enable(spbFiltro, &mnuFiltrar, browse);
    enable(sbtImprimir, &mnuImprimir, browse && rows);
    const bool onForm = pgcPadrao.activePage() == &tshFormulario;
    enable(sbtAlterar, &mnuAlterar, browse && rows && onForm);
    enable(sbtExcluir, &mnuExcluir, browse && rows && onForm);
}

void TfrmLancamento::ControlaBotoesFormulario(ClientDataSet& table) {
    const bool browse = table.active() && !editing(table);
    const int rows = table.active() ? table.recordCount() : 0;
    const bool onBrowseTab = abaDadosAtiva();
    // 1. Include.
    enable(sbtIncluir, &mnuIncluir, browse);
    // 2. Alter and delete: a loaded entry on the form tab, or an entry with changes.
    const bool change =
        (browse && rows > 0 && FConfirmado && !onBrowseTab) || (FAlterado && rows >= 1 && browse);
    enable(sbtAlterar, &mnuAlterar, change);
    enable(sbtExcluir, &mnuExcluir, change);
    // 3. Check, fifth button and the company: only while browsing the list.
    const bool navigation = onBrowseTab && FNavegacao;
    enable(sbtVerificar, &mnuVerificar, navigation);
    enable(sbtImprimir, &mnuImprimir, navigation);
    lblEmpresa.setEnabled(navigation);
    edtCdEmpresa.setEnabled(navigation);
    btnEmpresa.setEnabled(navigation);
    // 4. Filter.
    enable(spbFiltro, &mnuFiltrar, onBrowseTab);
    // 5. Confirm and cancel: off when there is nothing to confirm.
    const bool nothingToConfirm = browse && (FConfirmado || onBrowseTab) && !FAlterado;
    enable(sbtConfirmar, &mnuConfirmar, !nothingToConfirm);
    enable(sbtCancelar, &mnuCancelar, !nothingToConfirm);
    // 6. The list tab: not while the entry holds unconfirmed changes or a line is being edited.
    tshFolhaDados.setEnabled(!FAlterado && (onBrowseTab || (!editing(cdsDebito) && !editing(cdsCredito) &&
                                                            !editing(cdsLancCCusto) && FConfirmado)));
    // 7. Header of the entry on the form tab: a saved entry keeps its date, and its document once it has one.
    if (pgcPadrao.activePage() == &tshFormulario) {
        const bool novo = !cdsLancFiltrado.active() || cdsLancFiltrado.isEmpty();
        edtDocumento.setEnabled(novo || FDocumento.isEmpty());
        depData.setEnabled(novo);
    }
}

// ---------------------------------------------------------------- list

QString TfrmLancamento::perDevText() const {
    // No catalog carries this key; the user still needs to know what to do.
    return msgPadrao.contains(QStringLiteral("PER_DEV"))
               ? msgPadrao.Msg(QStringLiteral("PER_DEV"))
               : QStringLiteral("Período do filtro deve ser informado. Informe o filtro dos lançamentos.");
}

void TfrmLancamento::getLancCont() {
    auto criteria = []() -> const LancFilterArgs* {
        return frmLancFiltro != nullptr && frmLancFiltro->FCriterios.hasPeriod() ? &frmLancFiltro->FCriterios
                                                                                 : nullptr;
    };
    if (criteria() == nullptr) {
        services()->showInformation(perDevText());
        spbFiltro.doClick();
        if (criteria() == nullptr) {
            edtCdEmpresa.setFocus();
            throw ui::AbortAction();
        }
    }
    hostlib::ShowAviScope avi(services(), 6);
    cdsLancCont.setFiltered(false);
    wire::Value payload = hostlib::CheckResultServ(
        services(),
        netLancamento.call(QStringLiteral("getLancamentos"), criteria()->toArgs(edtCdEmpresa.text())));
    CarregaResultado(payload);
}

void TfrmLancamento::sbtVerificarClick() {
    getLancCont();
    if (cdsLancCont.active())
        ControlaBotoesNavegacao();
    tshFormulario.setEnabled(cdsLancCont.active() && !cdsLancCont.isEmpty());
}

void TfrmLancamento::dbgPadraoEnter() {
    if (cdsLancCont.active()) {
        tshFormulario.setEnabled(!cdsLancCont.isEmpty());
    } else {
        cdsLancCont.createDataSet();
        tshFormulario.setEnabled(false);
    }
}

void TfrmLancamento::pgcPadraoChange() {
    TfrmPadrao::pgcPadraoChange();
    const bool browseTab = abaDadosAtiva();
    enable(spbFiltro, &mnuFiltrar, browseTab);
    if (browseTab) {
        cdsLancCont.setFiltered(false);
        FNavegacao = true;
        getLancCont();
        tshFormulario.setEnabled(cdsLancCont.active() && !cdsLancCont.isEmpty());
        ControlaBotoesFormulario(cdsLancCont);
        panLancamentoGerencial.setVisible(false);
        return;
    }
    carregaLancamento();
}

void TfrmLancamento::recontaTotais() {
    const double debit = soma(cdsDebito, u"DEBITO");
    const double credit = soma(cdsCredito, u"CREDITO");
    nedDebito.SetNumber(debit);
    nedCredito.SetNumber(credit);
    lblValorDiferenca.setText(
        QStringLiteral("Diferença: %1")
            .arg(session.locale.toString(hostlib::RoundDec(debit - credit, 2), 'f', 2)));
}

void TfrmLancamento::carregaLancamento() {
    FIncluindo = false;
    FNrLancCont = cdsLancCont.active() ? cdsLancCont.fieldByName(u"NRLANCCONT").asString() : QString();
    const QString empresa = edtCdEmpresa.text();
    wire::Value filtrado =
        takePacketCall(*this, netLancamento, "getLancFiltrado",
                       {wire::Value::fromString(empresa), wire::Value::fromString(FNrLancCont)});
    loadPacket(cdsLancFiltrado, filtrado);

    // Whatever happens below, the tables show again and the line handlers check again.
    struct Loading {
        TfrmLancamento& f;
        explicit Loading(TfrmLancamento& form) : f(form) {
            f.FCarregando = true;
            for (ClientDataSet* t : {&f.cdsDebito, &f.cdsCredito, &f.cdsLancCCusto})
                t->disableControls();
        }
        ~Loading() {
            for (ClientDataSet* t : {&f.cdsDebito, &f.cdsCredito, &f.cdsLancCCusto})
                t->enableControls();
            f.FCarregando = false;
        }
        Loading(const Loading&) = delete;
        Loading& operator=(const Loading&) = delete;
    } loading(*this);
    cdsDebito.emptyDataSet();
    cdsCredito.emptyDataSet();
    FConfirmado = true;

    cdsLancFiltrado.first();
    FDocumento = cdsLancFiltrado.fieldByName(u"CDDOCUCONT").asString();
    // Always the opened entry's document: a previous entry's must not stay on show.
    edtDocumento.setText(FDocumento);
    depData.SetDate(cdsLancFiltrado.fieldByName(u"DTLANCCONT").asDate());
    FDtLancCont = depData.GetDate();
    const QString nrLanc = cdsLancFiltrado.fieldByName(u"NRLANCCONT").asString();
    const std::vector<wire::Value> key{wire::Value::fromString(empresa), wire::Value::fromString(nrLanc)};
    wire::Value debitos = takePacketCall(*this, netLancamento, "getDebitos", key);
    loadPacket(cdsDebito, debitos);
    wire::Value creditos = takePacketCall(*this, netLancamento, "getCreditos", key);
    loadPacket(cdsCredito, creditos);
    dbgDebito.setSelectedField(QStringLiteral("CDCONTREDU"));
    dbgDebito.setFocus();

    if (FIdContGere == u"S") {
        wire::Value rateios =
            takePacketCall(*this, netLancamento, "GetLancCCusto",
                           {wire::Value::fromString(empresa), wire::Value::fromString(FNrLancCont)});
        if (!rateios.isPacket())
            throw std::runtime_error("Resposta inesperada do servidor de aplicação.");
        cdsLancCCustoEspelho.setData(rateios.packet());
        cdsLancCCusto.setFiltered(false);
        cdsLancCCusto.setData(rateios.takePacket());
        cdsLancCCusto.setFilter(filtroLinha(cdsLancFiltrado.fieldByName(u"NRLANCCONT").asString(),
                                            cdsLancFiltrado.fieldByName(u"CDEMPRESA").asString(),
                                            cdsLancFiltrado.fieldByName(u"NRSEQLANC").asString()));
        cdsLancCCusto.setFiltered(true);
    }
    ControlaBotoesFormulario(cdsDebito);
    cdsCredito.first();
    cdsDebito.first();
    FLadoDebito = true;
    FLadoCredito = false;
    FNavegacao = false;
    recontaTotais();
}

}  // namespace ctb::ctb10000
