#include "filter_dialog/lanc_filtro_decl.h"

namespace ctb::ctb10000 {

const FormDecl& lancFiltroForm() {
    static const FormDecl form{"frmLancFiltro", "Filtro de Lançamento Contábil", "CTB10010", 10611010,
                               "medContCtblIn"};
    return form;
}

const std::vector<QueryDecl>& lancFiltroQueries() {
    static const std::vector<QueryDecl> queries = {
        {"qryContCtbl",
         "dtsContCtbl",
         R"(SELECT CDCONTCTBL,
       NMCONTCTBL,
       CDNVCONTCTBL
FROM CONTCTBL
WHERE (CDCONTCTBL = :P_CDCONTCTBL OR :P_TCDCONTCTBL = 'T')
ORDER BY CDCONTCTBL, CDNVCONTCTBL, NMCONTCTBL)",
         {"P_CDCONTCTBL", "P_TCDCONTCTBL"},
         {{"CDCONTCTBL", FieldType::String, 20, "Código"},
          {"NMCONTCTBL", FieldType::String, 40, "Nome"},
          {"CDNVCONTCTBL", FieldType::String, 1, "", false}}},
        {"qryContOp",
         "",
         R"(SELECT DTINICLANC, DTFINALANC, IDCONTCOME, IDCONTGERE
FROM CONTOPECTBL
WHERE(CDEMPRESA = :P_CDEMPRESA))",
         {"P_CDEMPRESA"},
         {{"DTINICLANC", FieldType::DateTime},
          {"DTFINALANC", FieldType::DateTime},
          {"IDCONTCOME", FieldType::String, 1},
          {"IDCONTGERE", FieldType::String, 1}}},
        {"qryFilial",
         "dtsFilial",
         R"(SELECT CDFILIAL, NMFILIAL
FROM FILIAL
ORDER BY CDFILIAL)",
         {},
         {{"CDFILIAL", FieldType::String, 4, "Código"}, {"NMFILIAL", FieldType::String, 30, "Nome"}}},
        {"qryCentCust",
         "dtsCentCust",
         R"(SELECT CDCENTCUST, NMCENTCUST
FROM CENTCUST
ORDER BY CDCENTCUST)",
         {},
         {{"CDCENTCUST", FieldType::String, 4, "Código"}, {"NMCENTCUST", FieldType::String, 40, "Nome"}}},
    };
    return queries;
}

const std::vector<TableDecl>& lancFiltroTables() {
    static const std::vector<TableDecl> tables = {{"cdsData", {{"DTHOJE", FieldType::DateTime}}}};
    return tables;
}

const std::vector<ControlDecl>& lancFiltroControls() {
    using K = ControlKind;
    static const std::vector<ControlDecl> controls = [] {
        std::vector<ControlDecl> c;
        auto add = [&c](ControlDecl d) -> ControlDecl& { return c.emplace_back(d); };
        auto radio = [&add](const char* name, const char* parent, const char* caption, bool checked) {
            add({name, K::RadioButton, parent, caption}).checked = checked;
        };
        auto listButton = [&add](const char* name, const char* parent) {
            add({name, K::LookupButton, parent}).enabled = false;
        };
        add({"grbContCtbl", K::GroupBox, "grbDadosRel", "Conta Contábil"});
        add({"lblContCtblIn", K::Label, "grbContCtbl", "de"});
        add({"medContCtblIn", K::MaskEdit, "grbContCtbl", "", 20});
        add({"BtnPesquisa1", K::LookupButton, "grbContCtbl"});
        add({"lblContCtblFi", K::Label, "grbContCtbl", "até"});
        add({"medContCtblFi", K::MaskEdit, "grbContCtbl", "", 20});
        add({"BtnPesquisa2", K::LookupButton, "grbContCtbl"});

        add({"grbData", K::GroupBox, "grbDadosRel", "Data de Lançamento"});
        add({"lblDataIni", K::Label, "grbData", "de"});
        add({"depIni", K::DateEdit, "grbData"});
        add({"lblDataFim", K::Label, "grbData", "até"});
        add({"depFim", K::DateEdit, "grbData"});

        add({"grbValor", K::GroupBox, "grbDadosRel", "Valor"});
        add({"lblValorIni", K::Label, "grbValor", "de"});
        add({"edtValorIni", K::NumberEdit, "grbValor"}).decimals = 2;
        add({"lblValorFim", K::Label, "grbValor", "até"});
        add({"edtValorFim", K::NumberEdit, "grbValor"}).decimals = 2;

        add({"grbHistPadr", K::GroupBox, "grbDadosRel", "Histórico Padrão"});
        radio("rbtTodos", "grbHistPadr", "Todos", true);
        radio("rbtLista", "grbHistPadr", "Lista", false);
        listButton("sbtHist", "grbHistPadr");

        add({"grbDocumento", K::GroupBox, "grbDadosRel", "Documento"});
        add({"lblDoc", K::Label, "grbDocumento", "Número"});
        add({"medDoc", K::MaskEdit, "grbDocumento", "", 20}).editMask = "99999999999999999999;0; ";

        add({"grbComercial", K::GroupBox, "grbDadosRel", "Código Comercial"});
        add({"grbCliente", K::GroupBox, "grbComercial", "Cliente"});
        radio("rbtTClie", "grbCliente", "Todos", true);
        radio("rbtClie", "grbCliente", "Lista", false);
        listButton("sbtClie", "grbCliente");
        add({"grbFornecedor", K::GroupBox, "grbComercial", "Fornecedor"});
        radio("rbtTForn", "grbFornecedor", "Todos", true);
        radio("rbtForn", "grbFornecedor", "Lista", false);
        listButton("sbtForn", "grbFornecedor");
        add({"grbBanco", K::GroupBox, "grbComercial", "Banco"});
        radio("rbtTBanc", "grbBanco", "Todos", true);
        radio("rbtBanc", "grbBanco", "Lista", false);
        listButton("sbtBanc", "grbBanco");

        add({"grbLancamento", K::GroupBox, "grbDadosRel", "Lançamento"});
        add({"lblLanc", K::Label, "grbLancamento", "Número"});
        add({"medLanc", K::MaskEdit, "grbLancamento", "", 12}).editMask = "999999999999;0; ";

        add({"grbGerencial", K::GroupBox, "grbDadosRel", "Código Gerencial"});
        add({"grbFilial", K::GroupBox, "grbGerencial", "Filial"});
        radio("rbtTFilial", "grbFilial", "Todas", true);
        radio("rbtLFilial", "grbFilial", "Lista", false);
        listButton("btnFilial", "grbFilial");
        add({"grbCentCust", K::GroupBox, "grbGerencial", "Centro de Custo"});
        radio("rbtTCentCust", "grbCentCust", "Todos", true);
        radio("rbtLCentCust", "grbCentCust", "Lista", false);
        listButton("btnCentCust", "grbCentCust");

        add({"grbHistLanc", K::GroupBox, "grbDadosRel", "Histórico do Lançamento"});
        add({"medHistLanc", K::Edit, "grbHistLanc"});
        return c;
    }();
    return controls;
}

const std::vector<LookupDecl>& lancFiltroLookups() {
    static const std::vector<LookupDecl> lookups = {
        {"BtnPesquisa1", "dtsContCtbl", "CDCONTCTBL", "NMCONTCTBL", "Conta Contábil",
         "Não há conta contábil cadastrada.", "CDNVCONTCTBL"},
        {"BtnPesquisa2", "dtsContCtbl", "CDCONTCTBL", "NMCONTCTBL", "Conta Contábil",
         "Não há conta contábil cadastrada.", "CDNVCONTCTBL"},
    };
    return lookups;
}

const std::vector<ListLookupDecl>& lancFiltroListLookups() {
    static const std::vector<ListLookupDecl> lookups = {
        {"sbtHist", "qryHistPadr", "dtsHistPadr", "CDHISTPADR", "Hist", "Hist_NCad", false},
        {"sbtClie", "qryCliente", "dtsCliente", "CDCLIENTE", "Clie", "Cliente_Cad", false},
        {"sbtForn", "qryFornecedor", "dtsFornecedor", "CDFORNECED", "Forn", "Forn_Cad", false},
        {"sbtBanc", "qryBanco", "dtsBanco", "CDREDUCONT", "Banc", "Banc_Cad", false},
        {"btnFilial", "qryFilial", "dtsFilial", "CDFILIAL", "Filial", "Filial_Cad", true},
        {"btnCentCust", "qryCentCust", "dtsCentCust", "CDCENTCUST", "CentroCusto", "CentroCus_cad", true},
    };
    return lookups;
}

const std::vector<CatalogEntry>& lancFiltroCatalog() {
    static const std::vector<CatalogEntry> catalog = {
        {"CONT_CAD", "Conta contábil não cadastrada."},
        {"HIST_CAD", "Histórico padrão não cadastrado."},
        {"ContIni_Inf", "Conta contábil inicial deve ser informada."},
        {"ContFin_Inf", "Conta contábil final deve ser informada."},
        {"ContIni_ContFin", "Conta contábil inicial deve ser menor ou igual a conta contábil final."},
        {"DtIni_DtFin", "Data de lançamento inicial deve ser menor ou igual a data de lançamento final."},
        {"Hist", "Histórico Padrão"},
        {"Forn", "Fornecedor"},
        {"Banc", "Banco"},
        {"Clie", "Cliente"},
        {"Hist_Inf", "Histórico padrão deve ser informado."},
        {"DtIni_Inf", "Data de lançamento inicial deve ser informada."},
        {"DtFim_Inf", "Data de lançamento final deve ser informada."},
        {"HistPadr_Inf", "Histórico padrão deve ser informado."},
        {"Clie_Inf", "Cliente deve ser informado."},
        {"Forn_Inf", "Fornecedor deve ser informado."},
        {"Banc_Inf", "Banco deve ser informado."},
        {"Hist_NCad", "Não há histórico padrão cadastrado."},
        {"Cliente_Cad", "Não há cliente cadastrado."},
        {"Forn_Cad", "Não há fornecedor cadastrado."},
        {"Banc_Cad", "Não há banco cadastrado."},
        {"Filial_Inf", "Filial deve ser informada."},
        {"CentCust_Inf", "Centro de Custo deve ser informado."},
        {"VRFINMENOR", "Valor final deve ser maior ou igual ao valor inicial."},
        {"VRFIN_DEV", "Valor final deve ser igual ou maior que o valor inicial."},
    };
    return catalog;
}

}  // namespace ctb::ctb10000
