// The allocations (managerial lines) of the entry's lines: the allocation area, its filter to the
// current line, the allocation mirror, the sum check and the highlight of the current side.
#include "entry_screen/cli_ctb10000.h"

namespace ctb::ctb10000 {
namespace {

// The colour that marks the current side's title and panel (the system's inactive caption).
constexpr const char* kCurrentSideColor = "#bfcddb";

}  // namespace

QString filtroLinha(const QString& nrLancCont, const QString& empresa, const QString& nrSeqLanc) {
    return QStringLiteral("NRLANCCONT = '") + nrLancCont + QStringLiteral("'") +
           QStringLiteral(" AND CDEMPRESA  = ") + QStringLiteral("'") + empresa + QStringLiteral("'") +
           QStringLiteral(" AND NRSEQLANC  = ") + QStringLiteral("'") + nrSeqLanc + QStringLiteral("'");
}

void TfrmLancamento::filtraRateiosDaLinha(const ClientDataSet& line) {
    auto text = [&line](const char* name) {
        return line.active() ? line.fieldByName(QString::fromLatin1(name)).asString() : QString();
    };
    cdsLancCCusto.setFiltered(false);
    cdsLancCCusto.setFilter(filtroLinha(text("NRLANCCONT"), text("CDEMPRESA"), text("NRSEQLANC")));
    cdsLancCCusto.setFiltered(true);
}

void TfrmLancamento::copiaEspelhoRateios() {
    cdsLancCCustoEspelho.setData(cdsLancCCusto.data());
}

void TfrmLancamento::panLancamentoGerencialEnter() {
    FAreaGerencial = true;
    FNavegacao = false;
}

void TfrmLancamento::ValidaValoresRateio(const QString& /*CdContCtbl*/, const QString& /*CdEmpresa*/,
                                         const QString& /*NrLancCont*/, const QString& /*NrSeqLanc*/,
                                         const QString& /*lado*/, double /*valor*/) {
    // The allocation-sum check of one line: a company without managerial lines takes none.
    if (FIdContGere != u"S")
        return;
}

void TfrmLancamento::AlteraCoresGridPosicionado() {
    const bool credit = FLadoCredito;
    for (ui::Control* c :
         {static_cast<ui::Control*>(&panTituloCredito), static_cast<ui::Control*>(&panCredito)})
        c->setColor(credit ? QString::fromLatin1(kCurrentSideColor) : QString());
    for (ui::Control* c :
         {static_cast<ui::Control*>(&panTituloDebito), static_cast<ui::Control*>(&panDebito)})
        c->setColor(credit ? QString() : QString::fromLatin1(kCurrentSideColor));
    // While the allocation area has the focus, the line its allocations belong to stays marked whole.
    dbgCredito.setRowSelect(credit && FAreaGerencial);
    dbgDebito.setRowSelect(!credit && FAreaGerencial);
}

void TfrmLancamento::cdsLancCCustoAfterDelete() {
    copiaEspelhoRateios();
    if (cdsLancCCusto.changeCount() > 0) {
        cdsLancCCusto.mergeChangeLog();
        FAlterado = true;
        ControlaBotoesFormulario(cdsLancCCusto);
    }
    FConfirmado = false;
}

}  // namespace ctb::ctb10000
