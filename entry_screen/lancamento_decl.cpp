#include "entry_screen/lancamento_decl.h"

#include <cstring>

namespace ctb::ctb10000 {
namespace {

constexpr const char* kMoney = "#,##0.00";
constexpr const char* kCodeMask = "9999;0; ";
constexpr const char* kDateMask = "!99/99/0000;1; ";

FieldDecl str(const char* name, int size, const char* label = "", bool visible = true) {
    return FieldDecl{name, FieldType::String, size, label, visible};
}
FieldDecl hidden(const char* name, int size) {
    return str(name, size, "", false);
}
FieldDecl flt(const char* name, const char* label = "", const char* format = "") {
    return FieldDecl{name, FieldType::Float, 0, label, true, format};
}
FieldDecl dt(const char* name, const char* label = "") {
    return FieldDecl{name, FieldType::DateTime, 0, label};
}

// The entry line record shared by the five line tables.
std::vector<FieldDecl> lineRecord() {
    return {
        str("CDEMPRESA", 2),   str("NRLANCCONT", 12), str("NRSEQLANC", 5),    str("CDCONTCTBL", 20),
        str("NMCONTCTBL", 40), dt("DTLANCCONT"),      flt("CREDITO"),         flt("DEBITO"),
        flt("VRLANCAMENT"),    str("CDDOCUCONT", 20), str("DSHISTLANC", 600), str("CDCONTCOME", 21),
        str("IDLANCINTE", 1),  str("CDCONTREDU", 20), str("IDTIPOLANC", 1),   str("CDHISTPADR", 4),
        str("IDLANCCOME", 1),
    };
}

FieldDecl& fieldOf(std::vector<FieldDecl>& fields, const char* name) {
    for (FieldDecl& f : fields)
        if (std::strcmp(f.name, name) == 0)
            return f;
    return fields.front();  // unreachable for the names below
}

void label(std::vector<FieldDecl>& fields, const char* name, const char* text) {
    fieldOf(fields, name).label = text;
}
void hide(std::vector<FieldDecl>& fields, const char* name) {
    fieldOf(fields, name).visible = false;
}
void money(std::vector<FieldDecl>& fields, const char* name) {
    fieldOf(fields, name).displayFormat = kMoney;
}

// Labels of the browse list, which the mirror shares for part of its fields.
void browseLabels(std::vector<FieldDecl>& f, bool mirror) {
    label(f, "NRLANCCONT", "Lançamento");
    label(f, "CDCONTCTBL", "Conta Contábil");
    label(f, "NMCONTCTBL", "Nome");
    label(f, "DTLANCCONT", "Data");
    label(f, "CREDITO", "Crédito");
    label(f, "DEBITO", "Débito");
    label(f, "CDDOCUCONT", "Documento");
    label(f, "DSHISTLANC", "Histórico");
    label(f, "IDLANCINTE", "Tipo");
    if (mirror)
        return;
    label(f, "CDCONTCOME", "Cód. Comercial");
    label(f, "IDTIPOLANC", "Id.");
    label(f, "IDLANCCOME", "Identificador");
}

TableDecl lancCont() {
    std::vector<FieldDecl> f = lineRecord();
    f.push_back(str("IDSISTEMA", 3, "Origem"));
    browseLabels(f, false);
    for (const char* name :
         {"CDEMPRESA", "NRSEQLANC", "VRLANCAMENT", "CDCONTCOME", "CDCONTREDU", "IDTIPOLANC", "CDHISTPADR"})
        hide(f, name);
    money(f, "CREDITO");
    money(f, "DEBITO");
    return {"cdsLancCont", std::move(f)};
}

TableDecl sideTable(const char* name, const char* valueField) {
    std::vector<FieldDecl> f = lineRecord();
    label(f, "CDCONTCTBL", "Conta Contábil");
    label(f, "NMCONTCTBL", "Nome");
    label(f, valueField, "Valor");
    label(f, "CDCONTREDU", "Cód. Red.");
    money(f, "CREDITO");
    money(f, "DEBITO");
    money(f, "VRLANCAMENT");
    return {name, std::move(f)};
}

TableDecl mirror() {
    std::vector<FieldDecl> f = lineRecord();
    browseLabels(f, true);
    return {"cdsLancContEspelho", std::move(f)};
}

std::vector<FieldDecl> allocationRecord() {
    return {
        str("CDEMPRESA", 2),
        str("NRLANCCONT", 12),
        str("NRSEQLANC", 5),
        FieldDecl{"CDFILIAL", FieldType::String, 4, "Filial", true, "", kCodeMask},
        str("NMFILIAL", 30, "Nome"),
        FieldDecl{"CDCENTCUST", FieldType::String, 4, "C.Custo", true, "", kCodeMask},
        str("NMCENTCUST", 40, "Nome"),
        FieldDecl{"DTCOMPCUSTO", FieldType::DateTime, 0, "Data", true, "", kDateMask},
        flt("VRLANCCUST"),
        flt("CREDITO", "Crédito", kMoney),
        flt("DEBITO", "Débito", kMoney),
    };
}

}  // namespace

const FormDecl& lancamentoForm() {
    static const FormDecl form{"frmLancamento", "Lançamentos Contábeis", "CTB10000", 0, "edtCdEmpresa"};
    return form;
}

const std::vector<TableDecl>& lancamentoTables() {
    static const std::vector<TableDecl> tables = {
        lancCont(),
        {"cdsLancFiltrado", lineRecord()},
        sideTable("cdsDebito", "DEBITO"),
        sideTable("cdsCredito", "CREDITO"),
        mirror(),
        {"cdsLancCCusto", allocationRecord()},
        {"cdsLancCCustoEspelho", allocationRecord()},
        {"cdsCentCustFil",
         {hidden("CDFILIAL", 4), str("CDCENTCUST", 4, "Código"), str("NMCENTCUST", 40, "Nome")},
         "CDCENTCUST"},
        {"cdsMapaApurac", {str("MES", 9), str("ANO", 4), str("IMPOSTO", 6)}},
    };
    return tables;
}

const std::vector<QueryDecl>& lancamentoQueries() {
    static const std::vector<QueryDecl> queries = {
        {"qryEmpresa",
         "dtsEmpresa",
         R"(SELECT E.CDEMPRESA, E.NMEMPRESA, C.IDCONTGERE, C.IDCONTCOME,
       C.IDMSMCONTADBCR
FROM EMPRESA E LEFT JOIN CONTOPECTBL C
                      ON E.CDEMPRESA = C.CDEMPRESA
WHERE ((E.CDEMPRESA = :P_CDEMPRESA) OR (:P_TCDEMPRESA = 'T'))
ORDER BY E.CDEMPRESA)",
         {"P_CDEMPRESA", "P_TCDEMPRESA"},
         {str("CDEMPRESA", 2, "Código"), str("NMEMPRESA", 40, "Nome"), hidden("IDCONTGERE", 1),
          hidden("IDCONTCOME", 1), hidden("IDMSMCONTADBCR", 1)}},
        {"qryHistPadr",
         "dtsHistPadr",
         R"(SELECT CDHISTPADR, DSHISTPADR
FROM HISTPADR
WHERE (CDHISTPADR = :P_CDHISTPADR OR :P_TCDHISTPADR = 'T')
ORDER BY CDHISTPADR)",
         {"P_CDHISTPADR", "P_TCDHISTPADR"},
         {str("CDHISTPADR", 4, "Código"), str("DSHISTPADR", 60, "Nome")}},
        {"qryFilial",
         "dtsFilial",
         R"(SELECT CDFILIAL, NMFILIAL
FROM FILIAL
WHERE (CDFILIAL = :P_CDFILIAL OR :P_TCDFILIAL = 'T')
ORDER BY CDFILIAL)",
         {"P_CDFILIAL", "P_TCDFILIAL"},
         {str("CDFILIAL", 4, "Código"), str("NMFILIAL", 30, "Nome")}},
        {"qryContCtbl",
         "dtsContCtbl",
         R"(SELECT CDCONTCTBL,   CDCONTREDU,
       NMCONTCTBL,   CDRATEIO,
       CDNVCONTCTBL, IDTIPOCONT,
       IDCONTCCUS,   IDTIPOCOME, IDTIPOCOME IDLANCCOME
FROM CONTCTBL
WHERE
     (CDCONTCTBL = :P_CDCONTCTBL OR :P_TCDCONTCTBL = 'T') AND
     (CDCONTREDU = :P_CDCONTREDU OR :P_TCDCONTREDU = 'T') AND
     (IDTIPOCONT = 'A')
ORDER BY CDCONTCTBL,
         CDNVCONTCTBL)",
         {"P_CDCONTCTBL", "P_TCDCONTCTBL", "P_CDCONTREDU", "P_TCDCONTREDU"},
         {str("CDCONTREDU", 16, "Cód. Red."), str("CDCONTCTBL", 18, "Código"), hidden("CDRATEIO", 3),
          str("NMCONTCTBL", 40, "Nome"), hidden("CDNVCONTCTBL", 1), hidden("IDTIPOCONT", 1),
          hidden("IDCONTCCUS", 1), hidden("IDTIPOCOME", 1), hidden("IDLANCCOME", 1)}},
        {"qryTipoCome",
         "",
         R"(SELECT IDTIPOCOME
FROM CONTCTBL
WHERE CDCONTCTBL = :P_CDCONTCTBL
  AND IDTIPOCONT = 'A'
  AND IDTIPOCOME IS NOT NULL)",
         {"P_CDCONTCTBL"},
         {str("IDTIPOCOME", 1)}},
        {"qryCliente",
         "dtsCliente",
         R"(SELECT CDCLIENTE, NMRAZSOCCLIE, NRINSJURCLIE, IDTPIJURCLIE
FROM CLIENTE
WHERE (CDCLIENTE = :P_CDCLIENTE OR :P_TCDCLIENTE = 'T')
ORDER BY CDCLIENTE)",
         {"P_CDCLIENTE", "P_TCDCLIENTE"},
         {str("NRINSJURCLIE", 20, "Inscrição"), hidden("CDCLIENTE", 21),
          str("NMRAZSOCCLIE", 50, "Razão Social"), hidden("IDTPIJURCLIE", 1)}},
        {"qryFornecedor",
         "dtsFornecedor",
         R"(SELECT CDFORNECED, NRINSJURFORN, NMRAZSOCFORN, IDTPIJURFORN
FROM FORNECEDOR
WHERE (CDFORNECED = :P_CDFORNECED OR :P_TCDFORNECED = 'T')
ORDER BY CDFORNECED)",
         {"P_CDFORNECED", "P_TCDFORNECED"},
         {str("NRINSJURFORN", 20, "Inscrição"), hidden("CDFORNECED", 21),
          str("NMRAZSOCFORN", 40, "Razão Social"), hidden("IDTPIJURFORN", 1)}},
        {"qryBanco",
         "dtsBanco",
         R"(SELECT CONTCORR.CDBANCO,
       CONTCORR.CDAGENCIA,
       CONTCORR.CDCONTCORR,
       CONTCORR.DSCONTCORR,
       CONTCORR.CDREDUCONT,
       BANCO.NMBANCO
FROM CONTCORR, BANCO
WHERE (CONTCORR.CDREDUCONT = :P_CDREDUCONT OR :P_TCDREDUCONT = 'T') AND
      (CONTCORR.CDBANCO = BANCO.CDBANCO) AND
      (CONTCORR.CDEMPRESA = :P_CDEMPRESA)
ORDER BY CONTCORR.CDBANCO, CONTCORR.CDAGENCIA, CONTCORR.CDCONTCORR)",
         {"P_CDREDUCONT", "P_TCDREDUCONT", "P_CDEMPRESA"},
         {str("CDREDUCONT", 50, "Cód. Red."), str("NMBANCO", 30, "Banco"), str("CDAGENCIA", 5, "Agência"),
          str("CDCONTCORR", 10, "Conta"), str("CDBANCO", 3, "Cód. Banco"), hidden("DSCONTCORR", 20)}},
    };
    return queries;
}

const std::vector<DataSourceDecl>& lancamentoDataSources() {
    static const std::vector<DataSourceDecl> sources = {
        {"dtsPadrao", "cdsLancCont"},         {"dtsDebito", "cdsDebito"},
        {"dtsCredito", "cdsCredito"},         {"dtsLancCCusto", "cdsLancCCusto"},
        {"dtsCentCustFil", "cdsCentCustFil"}, {"dtsEmpresa", "qryEmpresa"},
        {"dtsHistPadr", "qryHistPadr"},       {"dtsFilial", "qryFilial"},
        {"dtsContCtbl", "qryContCtbl"},       {"dtsCliente", "qryCliente"},
        {"dtsFornecedor", "qryFornecedor"},   {"dtsBanco", "qryBanco"},
    };
    return sources;
}

const std::vector<GridDecl>& lancamentoGrids() {
    static const std::vector<GridDecl> grids = {
        {"dbgPadrao",
         "cdsLancCont",
         "dtsPadrao",
         {{"NRLANCCONT"},
          {"CDCONTCTBL"},
          {"NMCONTCTBL"},
          {"DTLANCCONT"},
          {"DEBITO"},
          {"CREDITO"},
          {"CDDOCUCONT"},
          {"DSHISTLANC"},
          {"IDLANCCOME"},
          {"CDCONTCOME"},
          {"IDLANCINTE"},
          {"IDSISTEMA"}},
         false},
        {"dbgDebito",
         "cdsDebito",
         "dtsDebito",
         {{"CDCONTREDU", true}, {"CDCONTCTBL", true}, {"NMCONTCTBL", false, true}, {"DEBITO"}},
         true},
        {"dbgCredito",
         "cdsCredito",
         "dtsCredito",
         {{"CDCONTREDU", true}, {"CDCONTCTBL", true}, {"NMCONTCTBL", false, true}, {"CREDITO"}},
         true},
        {"dbgLancCCusto",
         "cdsLancCCusto",
         "dtsLancCCusto",
         {{"CDFILIAL", true},
          {"NMFILIAL", false, true},
          {"CDCENTCUST", true},
          {"NMCENTCUST", false, true},
          {"DTCOMPCUSTO"},
          {"DEBITO"},
          {"CREDITO"}},
         true},
    };
    return grids;
}

const std::vector<ControlDecl>& lancamentoControls() {
    using K = ControlKind;
    static const std::vector<ControlDecl> controls = [] {
        std::vector<ControlDecl> c;
        auto add = [&c](ControlDecl d) -> ControlDecl& { return c.emplace_back(d); };
        // Company (on the browse tab's top strip).
        add({"panEmpresa", K::Panel});
        add({"lblEmpresa", K::Label, "panEmpresa", "Empresa"});
        add({"edtCdEmpresa", K::Edit, "panEmpresa", "", 2});
        add({"btnEmpresa", K::LookupButton, "panEmpresa"});
        auto& nm = add({"edtNmEmpresa", K::Edit, "panEmpresa"});
        nm.readOnly = true;
        nm.enabled = false;
        // Entry header.
        add({"panCabecalho", K::Panel, "tshFormulario"});
        add({"lblDocumento", K::Label, "panCabecalho", "Documento"});
        add({"edtDocumento", K::Edit, "panCabecalho", "", 20});
        add({"lblData", K::Label, "panCabecalho", "Data"});
        auto& data = add({"depData", K::DateEdit, "panCabecalho"});
        data.enabled = false;
        auto total = [&add](const char* name) {
            auto& n = add({name, K::NumberEdit, "panCabecalho"});
            n.readOnly = true;
            n.enabled = false;
            n.decimals = 2;
            n.displayFormat = kMoney;
        };
        add({"lblDebito", K::Label, "panCabecalho", "Débito"});
        total("nedDebito");
        add({"lblCredito", K::Label, "panCabecalho", "Crédito"});
        total("nedCredito");
        add({"lblDiferenca", K::Label, "panCabecalho", "Diferença"});
        add({"lblValorDiferenca", K::Label, "panCabecalho", "0,00"});
        // Lines: debit and credit grids side by side.
        add({"panLancamentoOficial", K::Panel, "tshFormulario"});
        add({"panTituloDebito", K::Panel, "panLancamentoOficial", "Débitos"});
        add({"panDebito", K::Panel, "panLancamentoOficial"});
        add({"dbgDebito", K::DBGrid, "panDebito"});
        add({"panTituloCredito", K::Panel, "panLancamentoOficial", "Créditos"});
        add({"panCredito", K::Panel, "panLancamentoOficial"});
        // Not a tab stop: the tab key never moves into it.
        auto& credito = add({"dbgCredito", K::DBGrid, "panCredito"});
        credito.tabStop = false;
        // Line details, bound at run time to the current side.
        add({"panHistorico", K::Panel, "tshFormulario"});
        add({"lblHistorico", K::Label, "panHistorico", "Histórico"});
        auto& hist = add({"dbeCdHistPadr", K::DBEdit, "panHistorico"});
        hist.dataField = "CDHISTPADR";
        hist.maxLength = 4;
        auto& bh = add({"btnHistorico", K::LookupButton, "panHistorico"});
        bh.hint = "Pesquisar";
        auto& ds = add({"dbeDsHistLanc", K::DBEdit, "panHistorico", "", 600});
        ds.dataField = "DSHISTLANC";
        ds.readOnly = true;
        auto& alt = add({"btnAlteraHistorico", K::Button, "panHistorico", "..."});
        alt.hint = "Visualizar/Alterar descrição";
        add({"panComercial", K::Panel, "tshFormulario"});
        add({"lblCodComercial", K::Label, "panComercial", "Cód. Comercial"});
        auto& come = add({"dbeCdContCome", K::DBEdit, "panComercial", "", 21});
        come.dataField = "CDCONTCOME";
        add({"btnComercial", K::LookupButton, "panComercial"});
        auto& nmc = add({"edtNmComercial", K::Edit, "panComercial"});
        nmc.readOnly = true;
        nmc.enabled = false;
        add({"lblIdentificador", K::Label, "panComercial"});
        add({"panGerencial", K::Panel, "tshFormulario"});
        add({"lblGerencial", K::Label, "panGerencial", "Lançamentos Gerenciais"});
        add({"btnGerencial", K::Button, "panGerencial", "..."});
        auto& area = add({"panLancamentoGerencial", K::Panel, "tshFormulario"});
        area.visible = false;
        add({"dbgLancCCusto", K::DBGrid, "panLancamentoGerencial"});
        // Filter.
        auto& filtro = add({"spbFiltro", K::SpeedButton, "panEmpresa"});
        filtro.hint = "Filtrar";
        auto& menu = add({"mnuFiltrar", K::MenuItem, "mnuMenu", "&Filtrar"});
        menu.shortcut = "Ctrl+L";
        // Printing the opened entry (the fifth button's rules keep it to the browse tab) and the list
        // as filtered to a spreadsheet.
        auto& voucher = add({"mnuImprimirLancamento", K::MenuItem, "mnuMenu", "Imprimir &lançamento"});
        voucher.shortcut = "Ctrl+P";
        add({"mnuExportar", K::MenuItem, "mnuMenu", "E&xportar…"});
        // The opened entry: its reversal into the open period, and who changed it.
        add({"mnuEstornar", K::MenuItem, "mnuMenu", "Es&tornar lançamento"});
        auto& trail = add({"mnuHistAlteracoes", K::MenuItem, "mnuMenu", "&Histórico de alterações"});
        trail.shortcut = "Ctrl+H";
        return c;
    }();
    return controls;
}

const std::vector<LookupDecl>& lancamentoLookups() {
    static const std::vector<LookupDecl> lookups = {
        {"btnEmpresa", "dtsEmpresa", "CDEMPRESA", "NMEMPRESA", "Empresa", "Não há empresa cadastrada."},
        {"btnHistorico", "dtsHistPadr", "CDHISTPADR", "DSHISTPADR", "Histórico Padrão", ""},
        {"btnComercial", "", "", "", "", ""},
    };
    return lookups;
}

const std::vector<ConnectionDecl>& lancamentoConnections() {
    static const std::vector<ConnectionDecl> connections = {
        {"netLancamento", "CTB10000.rdmLancamento"},
        {"NetLanccontabil", "Ctb11000.rdmLancamentos"},
    };
    return connections;
}

const std::vector<CatalogEntry>& lancamentoCatalog() {
    static const std::vector<CatalogEntry> catalog = {
        {"C", "Cliente"},
        {"F", "Fornecedor"},
        {"B", "Banco"},
        {"M", "Manual"},
        {"I", "Integração"},
        {"E", "Encerramento"},
        {"L", "Lote"},
        {"EMP_N", "Empresa não cadastrada."},
        {"EMP_DEV", "Empresa deve ser informada."},
        {"Conta", "Conta Contábil"},
        {"CONTA_N", "Conta Contábil não cadastrada."},
        {"CANC_LANC", "Deseja cancelar todo Lançamento Contábil?"},
        {"DEB_DEV", "Valor de débito deve ser maior que zero."},
        {"CODREDU_DEV", "Código reduzido deve ser informado."},
        {"CONTCTBLDEB_DEV", "Conta Contábil de débito deve ser informada."},
        {"CRED_DEV", "Valor de crédito deve ser maior que zero."},
        {"CONTCTBLCRE_DEV", "Conta Contábil de crédito deve ser informada."},
        {"CRED_DIFERE", "Valor total de crédito difere do total de débito."},
        {"CODHIST_DEV", "Código do Histórico Padrão deve ser informado."},
        {"DESCHIST_DEV", "Descrição do Lançamento deve ser informada."},
        {"HIST_N", "Histórico Padrão não cadastrado."},
        {"CODREDU_N", "Código Reduzido não cadastrado."},
        {"PART_NAOCRDB", "A partida deve ser somente de débito ou crédito."},
        {"FILIAL_N", "Filial não cadastrada."},
        {"FILIAL_DEV", "Filial deve ser informada."},
        {"CENTCUST_DEV", "Centro de Custo deve ser informado."},
        {"CENTCUST_NFIL", "Centro de Custo não cadastrado para filial informada."},
        {"EXCLUIR_DB", "Deseja excluir a partida de débito?"},
        {"EXCLUIR_CR", "Deseja excluir a partida de crédito?"},
        {"EXCLUIR_GER", "Deseja excluir a partida gerencial?"},
        {"DOCUMENTO_DEV", "Documento deve ser informado."},
        {"EXCLUIR_TODOLANC", "Deseja excluir todo o lançamento contábil?"},
        {"FIL_NRELAC", "Filial não relacionada à empresa do lançamento contábil."},
        {"CODCOME_DEV", "Código Comercial deve ser informado"},
        {"CLI_N", "Cliente não cadastrado."},
        {"FORN_N", "Fornecedor não cadastrado."},
        {"BANCO_N", "Código da Conta Corrente não cadastrado."},
        {"LANCGER_DEV",
         "Lançamento gerencial deve ser informado para as contas do tipo Gerencial e/ou Oficial/Gerencial"},
        {"SOMA_RAT", "A soma dos rateios deve ser igual ao valor da partida de %s."},
        {"DB", "Débito"},
        {"CR", "Crédito"},
        {"PARA", " para a partida de "},
        {"CENTROCUSTO", "Centro de Custo"},
        {"CCUSTO_N", "Centro de custo não cadastrado."},
        {"FILIAL", "Filial"},
        {"Filial_Cad", "Filial não cadastrada."},
        {"CCUSTO_NFIL", "Centro de custo não cadastrado para filial informada."},
        {"NEXISTE_CCUSTFIL", "Não existe centro de custo cadastrado para filial informada."},
        {"RATJAINFORMADO", "Rateio já informado para a filial e centro de custo informados."},
        {"FORA_PERIODO", "Operação bloqueada! Data do lançamento fora do período contábil."},
        {"REVERTER_LOTE",
         "Operação bloqueada! Lançamento contábil referente a lote. Favor realizar a reversão do lote %s "
         "para as "
         "devidas alterações."},
        {"DEBITO_DEVE", "Partida de débito deve ser realizada."},
        {"RAT_DEV", "Valor do rateio deve informado."},
        {"Hist", "Histórico Padrão"},
        {"Clie", "Cliente"},
        {"Forn", "Fornecedor"},
        {"Banc", "Banco"},
        {"Data_Dev", "Data do lançamento contábil deve ser informada."},
        {"BANCO_NCAD", "Código reduzido para conta corrente não cadastrado."},
        {"DBCR_MSMCONTA",
         "Não é possível, no mesmo lançamento, terem partidas de débito e crédito para a mesma conta."},
        {"MAPA_APUR", "Operação não permitida ! O Lançamento está relacionado ao mapa de apuração %s."},
    };
    return catalog;
}

const std::vector<CatalogEntry>& sistemaTexts() {
    static const std::vector<CatalogEntry> texts = {
        {"DFS", "Documentos Fiscais de Saída"},
        {"DFE", "Documentos Fiscais de Entrada"},
        {"EXP", "Expedição"},
        {"PAG", "Contas a Pagar"},
        {"REC", "Contas a Receber"},
        {"BCO", "Controle Bancário"},
        {"FIS", "Fiscal"},
        {"FAI", "Faturamento"},
        {"VND", "Gestão de Vendas"},
        {"LTO", "Lote"},
    };
    return texts;
}

const std::vector<const char*>& accountMaskedTables() {
    static const std::vector<const char*> tables = {"qryContCtbl", "cdsLancCont", "cdsDebito", "cdsCredito"};
    return tables;
}

}  // namespace ctb::ctb10000
