// The company of the journal-entry screen: its check and lookup, the company panel and the filter button.
#include "entry_screen/cli_ctb10000.h"

namespace ctb::ctb10000 {

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
        dialogs_.CriaLancFiltro();
    if (!cdsLancCont.active())
        cdsLancCont.createDataSet();
    ControlaBotoesNavegacao();
    FNavegacao = true;
}

void TfrmLancamento::spbFiltroClick() {
    checaEmpresa();
    dialogs_.CriaLancFiltro();
}

}  // namespace ctb::ctb10000
