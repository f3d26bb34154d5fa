// The balance of the entry: debit and credit totals and their difference; entering a line panel.
#include "entry_screen/cli_ctb10000.h"

namespace ctb::ctb10000 {
namespace {

// Sum of a float column over the rows shown, without moving the cursor (no scroll events).
double soma(const ClientDataSet& t, QStringView field) {
    const Field* f = t.findField(field);
    if (f == nullptr)
        return 0;
    double total = 0;
    for (int row = 0; row < t.viewRowCount(); ++row)
        total += t.valueAt(row, f->index()).toDouble();
    return RoundDec(total, 2);
}

}  // namespace

void TfrmLancamento::recontaTotais() {
    const double debit = soma(cdsDebito, u"DEBITO");
    const double credit = soma(cdsCredito, u"CREDITO");
    nedDebito.SetNumber(debit);
    nedCredito.SetNumber(credit);
    lblValorDiferenca.setText(
        QStringLiteral("Diferença: %1").arg(session.locale.toString(RoundDec(debit - credit, 2), 'f', 2)));
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

}  // namespace ctb::ctb10000
