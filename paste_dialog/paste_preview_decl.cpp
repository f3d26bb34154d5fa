#include "paste_dialog/paste_preview_decl.h"

namespace ctb::ctb10000 {

const FormDecl& pastePreviewForm() {
    static const FormDecl form{"frmPastePreview", "Colar partidas", "CTB10000", 0, "dbgPreview"};
    return form;
}

const TableDecl& pastePreviewTable() {
    static const TableDecl table{"cdsPastePreview",
                                 {
                                     {"LINE", FieldType::Integer, 0, "Linha"},
                                     {"ACCOUNT", FieldType::String, 20, "Conta"},
                                     {"ACCOUNT_NAME", FieldType::String, 40, "Nome da conta"},
                                     {"VALUE", FieldType::Float, 0, "Valor", true, "#,##0.00"},
                                     {"HISTORY", FieldType::String, 4, "Hist."},
                                     {"HISTORY_TEXT", FieldType::String, 600, "Histórico"},
                                     {"COMMERCIAL", FieldType::String, 21, "Cód. comercial"},
                                     {"STATUS", FieldType::String, 300, "Situação"},
                                     {"SOURCE", FieldType::String, 2000, "", false},
                                 }};
    return table;
}

const GridDecl& pastePreviewGrid() {
    static const GridDecl grid{"dbgPreview",
                               "cdsPastePreview",
                               "dtsPastePreview",
                               // The reason of a refusal beside the line number, where the eye runs
                               // down the list; the row as it will be stored after it.
                               {{"LINE"},
                                {"STATUS"},
                                {"ACCOUNT"},
                                {"ACCOUNT_NAME"},
                                {"VALUE"},
                                {"HISTORY"},
                                {"HISTORY_TEXT"},
                                {"COMMERCIAL"}},
                               false};
    return grid;
}

const std::vector<ControlDecl>& pastePreviewControls() {
    static const std::vector<ControlDecl> controls = {
        {"panResumo", ControlKind::Panel, "grbDadosRel"},
        {"lblResumo", ControlKind::Label, "panResumo"},
        {"dbgPreview", ControlKind::DBGrid, "grbDadosRel"},
        {"sbtCopiar", ControlKind::SpeedButton, "panMenu", "Copiar recusadas", 0,
         "Copia as linhas recusadas como foram coladas, para corrigi-las na planilha"},
    };
    return controls;
}

}  // namespace ctb::ctb10000
