// The record actions of the tool buttons: include (a new entry or a new line), alter, confirm (store
// the whole entry), cancel (a line edit or the entry), delete (a new entry's line or a saved entry),
// and the checks that guard every change: the period and lot check and the assessment-map check.
#include "entry_screen/cli_ctb10000.h"

namespace ctb::ctb10000 {
namespace {

// The display of the line tables suspended for a scope, resumed on every way out.
class DisplaySuspended {
  public:
    DisplaySuspended(ClientDataSet& a, ClientDataSet& b) : a_(a), b_(b) {
        a_.disableControls();
        b_.disableControls();
    }
    ~DisplaySuspended() {
        a_.enableControls();
        b_.enableControls();
    }
    DisplaySuspended(const DisplaySuspended&) = delete;
    DisplaySuspended& operator=(const DisplaySuspended&) = delete;

  private:
    ClientDataSet& a_;
    ClientDataSet& b_;
};

// A line table with a line, stored or being typed.
bool temLinha(const ClientDataSet& t) {
    return t.active() && t.viewRowCount() > 0;
}

}  // namespace

void TfrmLancamento::dropPendingEdits() {
    for (ClientDataSet* t : {&cdsLancCCusto, &cdsDebito, &cdsCredito})
        if (editing(*t))
            t->cancel();
}

// ---------------------------------------------------------------- include and alter

void TfrmLancamento::sbtIncluirClick() {
    if (!abaDadosAtiva()) {
        // A new line on the current side.
        if (FAreaGerencial)
            cdsLancCCusto.insert();
        else if (FLadoDebito)
            cdsDebito.insert();
        else
            cdsCredito.insert();
        return;
    }
    beginNewEntry();
    cdsDebito.insert();
}

void TfrmLancamento::beginNewEntry() {
    // Numbered by the server from the month it is begun.
    QString anoMes = session.currentDate().toString(QStringLiteral("yyyyMM"));
    const QString numero = rdmLancamento.getProximoNRLANCCONT(edtCdEmpresa.text(), anoMes);
    dropPendingEdits();
    FNrLancCont = numero;
    entryVersion = 0;
    reversalOf.clear();
    for (ClientDataSet* t : {&cdsDebito, &cdsCredito, &cdsLancCCusto, &cdsLancFiltrado})
        t->emptyDataSet();
    FDocumento.clear();
    edtDocumento.setText(QString());
    CalculaDebitoCredito();
    tshFormulario.setEnabled(true);
    FIncluindo = true;
    edtDocumento.setEnabled(true);
    // Shown from code: the tab change, which would load an entry from the list, does not run.
    pgcPadrao.setActivePage(&tshFormulario);
    edtDocumento.setFocus();
    FDtLancCont = session.currentDate();
    depData.SetDate(FDtLancCont);
}

void TfrmLancamento::sbtAlterarClick() {
    ValidaPeriodoContabil();
    if (FLadoDebito)
        cdsDebito.edit();
    else if (FLadoCredito)
        cdsCredito.edit();
    else if (FAreaGerencial)
        cdsLancCCusto.edit();
}

// ---------------------------------------------------------------- confirm

void TfrmLancamento::sbtConfirmarClick() {
    TfrmPadrao::sbtConfirmarClick();
    DisplaySuspended suspended(cdsDebito, cdsCredito);
    // A new line or allocation no one typed into is dropped, as the grid drops it when left.
    storePendingLine(cdsLancCCusto);
    for (ClientDataSet* t : {&cdsDebito, &cdsCredito})
        if (t->state() == DataSetState::Insert && !t->touched())
            t->cancel();
    if (!temLinha(cdsDebito)) {
        dbgDebito.setSelectedField(QStringLiteral("CDCONTREDU"));
        dbgDebito.setFocus();
        MensErro(services(), msgPadrao.Msg(QStringLiteral("DEBITO_DEVE")));
    }
    if (editing(cdsDebito))
        cdsDebito.post();
    if (editing(cdsCredito))
        cdsCredito.post();
    CalculaDebitoCredito();
    if (RoundDec(nedDebito.GetNumber(), 2) != RoundDec(nedCredito.GetNumber(), 2))
        MensErro(services(), msgPadrao.Msg(QStringLiteral("CRED_DIFERE")));
    ValidaPeriodoContabil();
    ValidaMapaApurac();
    {
        ShowAviScope avi(services(), 1);
        // Every allocation of the entry, whatever line the table is filtered to.
        entryVersion = rdmLancamento.SetLancamento(cdsLancContEspelho.data(), cdsLancCCusto.data(),
                                                   session.Operador, entryVersion, reversalOf);
    }
    // Stored: from now on the reversal is an entry like any other.
    reversalOf.clear();
    FConfirmado = true;
    FAlterado = false;
    cdsCredito.first();
    cdsDebito.first();
    dbgDebito.setSelectedField(QStringLiteral("CDCONTREDU"));
    dbgDebito.setFocus();
    FLadoDebito = true;
    FLadoCredito = false;
    FIncluindo = false;
    ControlaBotoesFormulario(cdsDebito);
    if (editing(cdsDebito))
        cdsDebito.cancel();
    if (editing(cdsCredito))
        cdsCredito.cancel();
}

// ---------------------------------------------------------------- cancel

void TfrmLancamento::sbtCancelarClick() {
    TfrmPadrao::sbtCancelarClick();
    auto cancelLine = [this](ClientDataSet& table, ui::DBGrid& grid) {
        if (editing(cdsLancCCusto))
            cdsLancCCusto.cancel();
        table.cancel();
        if (cdsDebito.isEmpty() && cdsCredito.isEmpty())
            depData.SetDate(session.currentDate());
        grid.setFocus();
        panLancamentoGerencial.setVisible(false);
        ControlaBotoesFormulario(table);
    };
    if (FLadoDebito && editing(cdsDebito)) {
        cancelLine(cdsDebito, dbgDebito);
        return;
    }
    if (FLadoCredito && editing(cdsCredito)) {
        cancelLine(cdsCredito, dbgCredito);
        return;
    }
    if (FAreaGerencial && editing(cdsLancCCusto)) {
        cdsLancCCusto.cancel();
        return;
    }
    if (!services()->askYesNo(msgPadrao.Msg(QStringLiteral("CANC_LANC"))))
        return;
    // The abandoned changes are dropped, also a line still being typed on the other side.
    dropPendingEdits();
    tshFolhaDados.setEnabled(true);
    FAlterado = false;
    depData.SetDate(session.currentDate());
    pgcPadrao.setActivePage(&tshFolhaDados);
    pgcPadraoChange();
}

// ---------------------------------------------------------------- delete

void TfrmLancamento::sbtExcluirClick() {
    if (abaDadosAtiva())
        return;
    if (FIncluindo) {
        ValidaMapaApurac();
        ValidaPeriodoContabil();
        ExcluiLinhaCorrente();
        return;
    }
    ValidaMapaApurac();
    ValidaPeriodoContabil();
    if (services()->askYesNo(msgPadrao.Msg(QStringLiteral("EXCLUIR_TODOLANC"))))
        rdmLancamento.DeletaLancamento(edtCdEmpresa.text(), FNrLancCont, entryVersion);
    // Either answer goes back to the list, queried again.
    dropPendingEdits();
    pgcPadrao.setActivePage(&tshFolhaDados);
    pgcPadraoChange();
    sbtVerificar.doClick();
}

// ---------------------------------------------------------------- checks

void TfrmLancamento::ValidaPeriodoContabil() {
    const QDate data = depData.GetDate();
    if (!data.isValid()) {
        // No date to ask the server about: the same message as a line stored without one.
        depData.setFocus();
        MensErro(services(), msgPadrao.Msg(QStringLiteral("Data_Dev")));
    }
    if (!rdmLancamento.ValidaPeriodoContabil(edtCdEmpresa.text(), data))
        MensErro(services(), msgPadrao.Msg(QStringLiteral("FORA_PERIODO")));
    if (cdsDebito.active() && cdsDebito.viewRowCount() > 0 &&
        cdsDebito.fieldByName(u"IDLANCINTE").asString() == u"L") {
        const QString lote = rdmLancamento.BuscaCodigoLote(edtCdEmpresa.text(),
                                                           cdsDebito.fieldByName(u"NRLANCCONT").asString());
        MensErro(services(),
                 msgPadrao.Msg(QStringLiteral("REVERTER_LOTE")).replace(QStringLiteral("%s"), lote));
    }
}

void TfrmLancamento::ValidaMapaApurac() {
    ShowAviScope avi(services(), 1);
    MapCheck check = rdmLancamentos.ValidaMapa(edtCdEmpresa.text(), FNrLancCont);
    cdsMapaApurac.setData(std::move(check.maps));
    if (check.status != u"ERRO")
        return;
    cdsMapaApurac.first();
    const QString mapa = cdsMapaApurac.fieldByName(u"MES").asString() + u'/' +
                         cdsMapaApurac.fieldByName(u"ANO").asString() + u'-' + QStringLiteral("Imposto: ") +
                         cdsMapaApurac.fieldByName(u"IMPOSTO").asString();
    MensErro(services(), msgPadrao.Msg(QStringLiteral("MAPA_APUR")).replace(QStringLiteral("%s"), mapa));
}

}  // namespace ctb::ctb10000
