#include "history_dialog/hist_lanc_decl.h"

namespace ctb::ctb10000 {

const FormDecl& histLancForm() {
    static const FormDecl form{"frmHistLanc", "Histórico do Lancamento Contábil", "CTB11030"};
    return form;
}

const std::vector<ControlDecl>& histLancControls() {
    static const std::vector<ControlDecl> controls = {
        {"panDescricao", ControlKind::Panel, "grbDadosRel", "Descrição"},
        {"memDesc", ControlKind::Memo, "grbDadosRel", "", kHistoryLength},
    };
    return controls;
}

}  // namespace ctb::ctb10000
