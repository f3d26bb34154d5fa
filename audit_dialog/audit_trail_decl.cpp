#include "audit_dialog/audit_trail_decl.h"

namespace ctb::ctb10000 {

const FormDecl& auditTrailForm() {
    static const FormDecl form{"frmHistAlteracoes", "Histórico de alterações", "CTB11040", 0,
                               "dbgHistAlteracoes"};
    return form;
}

const TableDecl& auditTrailTable() {
    // The fields as the server sends them; the action's code and the other entry of a reversal are
    // in the action's text.
    static const TableDecl table{"cdsHistAlteracoes",
                                 {
                                     {"DTHORA", FieldType::DateTime, 0, "Data e hora"},
                                     {"CDOPERADOR", FieldType::String, 20, "Usuário"},
                                     {"IDACAO", FieldType::String, 10, "Código", false},
                                     {"DSACAO", FieldType::String, 60, "Ação"},
                                     {"NRLINHAS", FieldType::Integer, 0, "Partidas"},
                                     {"VRTOTAL", FieldType::Float, 0, "Total", true, "#,##0.00"},
                                     {"NRVERSAO", FieldType::Integer, 0, "Versão"},
                                     {"NRLANCREF", FieldType::String, 12, "Outro lançamento", false},
                                 }};
    return table;
}

const std::vector<GridDecl>& auditTrailGrids() {
    static const std::vector<GridDecl> grids = {
        {"dbgHistAlteracoes",
         "cdsHistAlteracoes",
         "dtsHistAlteracoes",
         {{"DTHORA"}, {"CDOPERADOR"}, {"DSACAO"}, {"NRLINHAS"}, {"VRTOTAL"}, {"NRVERSAO"}},
         false},
    };
    return grids;
}

const std::vector<ControlDecl>& auditTrailControls() {
    static const std::vector<ControlDecl> controls = {
        {"panLancamento", ControlKind::Panel, "grbDadosRel", ""},
        {"dbgHistAlteracoes", ControlKind::DBGrid, "grbDadosRel"},
    };
    return controls;
}

const std::vector<LayoutDecl>& auditTrailLayout() {
    using A = Align;
    static const std::vector<LayoutDecl> layout = {
        {"frmHistAlteracoes", A::None, 0, 0, 760, 360},
        {"panLancamento", A::Top, 0, 0, 740, 24},
        {"dbgHistAlteracoes", A::Client},
        {"dbgHistAlteracoes.DTHORA", A::None, 0, 0, 140},
        {"dbgHistAlteracoes.CDOPERADOR", A::None, 0, 0, 100},
        {"dbgHistAlteracoes.DSACAO", A::None, 0, 0, 230},
        {"dbgHistAlteracoes.NRLINHAS", A::None, 0, 0, 60},
        {"dbgHistAlteracoes.VRTOTAL", A::None, 0, 0, 100},
        {"dbgHistAlteracoes.NRVERSAO", A::None, 0, 0, 50},
    };
    return layout;
}

}  // namespace ctb::ctb10000
