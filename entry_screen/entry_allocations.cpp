// The allocations (managerial lines) of the entry's lines: the allocation area and the line filter.
#include "entry_screen/cli_ctb10000.h"

namespace ctb::ctb10000 {

QString filtroLinha(const QString& nrLancCont, const QString& empresa, const QString& nrSeqLanc) {
    return QStringLiteral("NRLANCCONT = '") + nrLancCont + QStringLiteral("'") +
           QStringLiteral(" AND CDEMPRESA  = ") + QStringLiteral("'") + empresa + QStringLiteral("'") +
           QStringLiteral(" AND NRSEQLANC  = ") + QStringLiteral("'") + nrSeqLanc + QStringLiteral("'");
}

void TfrmLancamento::panLancamentoGerencialEnter() {
    FAreaGerencial = true;
    FNavegacao = false;
}

}  // namespace ctb::ctb10000
