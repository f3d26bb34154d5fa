// The standard history and the history text of the line the history edits are bound to, and the
// long-history dialog.
#include "entry_screen/cli_ctb10000.h"

namespace ctb::ctb10000 {
namespace {

// The table the history code edit is bound to now (the current side's), or null.
ClientDataSet* boundTable(const ui::DBEdit& edit) {
    return edit.dataSource() != nullptr ? edit.dataSource()->dataSet() : nullptr;
}

}  // namespace

void TfrmLancamento::AbreQryHistPadr(const QString& CdHistPadr, const QString& TCdHistPadr) {
    qryHistPadr.Close();
    qryHistPadr.ParamByName(QStringLiteral("P_CDHISTPADR")).setValue(CdHistPadr);
    qryHistPadr.ParamByName(QStringLiteral("P_TCDHISTPADR")).setValue(TCdHistPadr);
    qryHistPadr.Open();
}

void TfrmLancamento::checaHistoricoPadrao(Field& code) {
    code.setAsString(Ajusta(code.asString(), 4));
    AbreQryHistPadr(code.asString(), QString());
    if (qryHistPadr.IsEmpty())
        MensErro(services(), msgPadrao.Msg(QStringLiteral("HIST_N")));
}

void TfrmLancamento::dbeCdHistPadrExit() {
    ClientDataSet* t = boundTable(dbeCdHistPadr);
    if (t == nullptr || !editing(*t))
        return;
    Field& code = t->fieldByName(u"CDHISTPADR");
    if (EmptyString(code.asString())) {
        dbeCdHistPadr.setFocus();
        MensErro(services(), msgPadrao.Msg(QStringLiteral("CODHIST_DEV")));
    }
    checaHistoricoPadrao(code);
    Field& text = t->fieldByName(u"DSHISTLANC");
    text.setAsString(qryHistPadr.fieldByName(u"DSHISTPADR").asString());
    if (EmptyString(text.asString())) {
        dbeCdHistPadr.setFocus();
        MensErro(services(), msgPadrao.Msg(QStringLiteral("DESCHIST_DEV")));
    }
}

void TfrmLancamento::btnHistoricoBeforePesq(bool& /*allow*/) {
    AbreQryHistPadr(QString(), QStringLiteral("T"));
}

void TfrmLancamento::btnHistoricoAfterPesq() {
    DataSource* source = dbeCdHistPadr.dataSource();
    if (source == nullptr || source->dataSet() == nullptr)
        return;
    if (source->state() == DataSetState::Browse)
        source->edit();  // the period and lot guard runs
    ClientDataSet& t = *source->dataSet();
    t.fieldByName(u"CDHISTPADR").setAsString(qryHistPadr.fieldByName(u"CDHISTPADR").asString());
    t.fieldByName(u"DSHISTLANC").setAsString(qryHistPadr.fieldByName(u"DSHISTPADR").asString());
}

void TfrmLancamento::dbeDsHistLancExit() {
    if (boundTable(dbeDsHistLanc) == &cdsDebito) {
        dbgDebito.setFocus();
        dbgDebito.setSelectedField(QStringLiteral("DEBITO"));
    } else {
        dbgCredito.setFocus();
        dbgCredito.setSelectedField(QStringLiteral("CREDITO"));
    }
}

void TfrmLancamento::btnAlteraHistoricoClick() {
    if (dialogs_.abreHistorico)
        dialogs_.abreHistorico();
}

}  // namespace ctb::ctb10000
