// Who changed the opened entry: the audit trail the server keeps of every store, deletion and reversal.
#include "entry_screen/cli_ctb10000.h"

namespace ctb::ctb10000 {

void TfrmLancamento::mnuHistAlteracoesClick() {
    if (abaDadosAtiva() || FNrLancCont.isEmpty())
        MensErro(
            services(),
            QStringLiteral("Abra um lançamento, na aba Formulário, para ver o histórico de alterações."));
    if (FIncluindo)
        MensErro(services(), QStringLiteral("O lançamento %1 ainda não foi gravado: não há histórico de "
                                            "alterações.")
                                 .arg(FNrLancCont));
    DataPacket trail = rdmLancamento.getHistAlteracoes(edtCdEmpresa.text(), FNrLancCont);
    if (trail.rows.empty()) {
        services()->showInformation(
            QStringLiteral("Não há alterações registradas para o lançamento %1.").arg(FNrLancCont));
        return;
    }
    if (dialogs_.mostraHistAlteracoes)
        dialogs_.mostraHistAlteracoes(FNrLancCont, std::move(trail));
}

}  // namespace ctb::ctb10000
