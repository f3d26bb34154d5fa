// The screens' declared data checked against the screens' definition: every field of every table and
// query in order (type, size, label, visibility, format, mask), and every catalog text.
#include "entry_screen/lancamento_decl.h"
#include "filter_dialog/lanc_filtro_decl.h"
#include "history_dialog/hist_lanc_decl.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace ctb::ctb10000 {
namespace {

QString describe(const FieldDecl& f) {
    QString type;
    switch (f.type) {
        case FieldType::String:
            type = QStringLiteral("string(%1)").arg(f.size);
            break;
        case FieldType::Float:
            type = QStringLiteral("float");
            break;
        case FieldType::DateTime:
            type = QStringLiteral("datetime");
            break;
        case FieldType::Integer:
            type = QStringLiteral("integer");
            break;
    }
    QString out = u8(f.name) + QLatin1Char(' ') + type;
    if (*f.label)
        out += QStringLiteral(" \"%1\"").arg(u8(f.label));
    if (!f.visible)
        out += QStringLiteral(" hidden");
    if (*f.displayFormat)
        out += QStringLiteral(" format=%1").arg(u8(f.displayFormat));
    if (*f.editMask)
        out += QStringLiteral(" mask=[%1]").arg(u8(f.editMask));
    return out;
}

QStringList describeAll() {
    QStringList out;
    auto fields = [&out](const char* owner, const std::vector<FieldDecl>& fs) {
        for (const FieldDecl& f : fs)
            out << u8(owner) + QLatin1Char('.') + describe(f);
    };
    for (const TableDecl& t : lancamentoTables()) {
        fields(t.name, t.fields);
        if (*t.indexFieldNames)
            out << u8(t.name) + QStringLiteral(" index=") + u8(t.indexFieldNames);
    }
    for (const QueryDecl& q : lancamentoQueries())
        fields(q.name, q.fields);
    for (const TableDecl& t : lancFiltroTables())
        fields(t.name, t.fields);
    for (const QueryDecl& q : lancFiltroQueries())
        fields((std::string("Filtro.") + q.name).c_str(), q.fields);
    return out;
}

// Written out from the screens' definition, one line per field, in declared order.
const char* const kExpectedFields = R"(cdsLancCont.CDEMPRESA string(2) hidden
cdsLancCont.NRLANCCONT string(12) "Lançamento"
cdsLancCont.NRSEQLANC string(5) hidden
cdsLancCont.CDCONTCTBL string(20) "Conta Contábil"
cdsLancCont.NMCONTCTBL string(40) "Nome"
cdsLancCont.DTLANCCONT datetime "Data"
cdsLancCont.CREDITO float "Crédito" format=#,##0.00
cdsLancCont.DEBITO float "Débito" format=#,##0.00
cdsLancCont.VRLANCAMENT float hidden
cdsLancCont.CDDOCUCONT string(20) "Documento"
cdsLancCont.DSHISTLANC string(600) "Histórico"
cdsLancCont.CDCONTCOME string(21) "Cód. Comercial" hidden
cdsLancCont.IDLANCINTE string(1) "Tipo"
cdsLancCont.CDCONTREDU string(20) hidden
cdsLancCont.IDTIPOLANC string(1) "Id." hidden
cdsLancCont.CDHISTPADR string(4) hidden
cdsLancCont.IDLANCCOME string(1) "Identificador"
cdsLancCont.IDSISTEMA string(3) "Origem"
cdsLancFiltrado.CDEMPRESA string(2)
cdsLancFiltrado.NRLANCCONT string(12)
cdsLancFiltrado.NRSEQLANC string(5)
cdsLancFiltrado.CDCONTCTBL string(20)
cdsLancFiltrado.NMCONTCTBL string(40)
cdsLancFiltrado.DTLANCCONT datetime
cdsLancFiltrado.CREDITO float
cdsLancFiltrado.DEBITO float
cdsLancFiltrado.VRLANCAMENT float
cdsLancFiltrado.CDDOCUCONT string(20)
cdsLancFiltrado.DSHISTLANC string(600)
cdsLancFiltrado.CDCONTCOME string(21)
cdsLancFiltrado.IDLANCINTE string(1)
cdsLancFiltrado.CDCONTREDU string(20)
cdsLancFiltrado.IDTIPOLANC string(1)
cdsLancFiltrado.CDHISTPADR string(4)
cdsLancFiltrado.IDLANCCOME string(1)
cdsDebito.CDEMPRESA string(2)
cdsDebito.NRLANCCONT string(12)
cdsDebito.NRSEQLANC string(5)
cdsDebito.CDCONTCTBL string(20) "Conta Contábil"
cdsDebito.NMCONTCTBL string(40) "Nome"
cdsDebito.DTLANCCONT datetime
cdsDebito.CREDITO float format=#,##0.00
cdsDebito.DEBITO float "Valor" format=#,##0.00
cdsDebito.VRLANCAMENT float format=#,##0.00
cdsDebito.CDDOCUCONT string(20)
cdsDebito.DSHISTLANC string(600)
cdsDebito.CDCONTCOME string(21)
cdsDebito.IDLANCINTE string(1)
cdsDebito.CDCONTREDU string(20) "Cód. Red."
cdsDebito.IDTIPOLANC string(1)
cdsDebito.CDHISTPADR string(4)
cdsDebito.IDLANCCOME string(1)
cdsCredito.CDEMPRESA string(2)
cdsCredito.NRLANCCONT string(12)
cdsCredito.NRSEQLANC string(5)
cdsCredito.CDCONTCTBL string(20) "Conta Contábil"
cdsCredito.NMCONTCTBL string(40) "Nome"
cdsCredito.DTLANCCONT datetime
cdsCredito.CREDITO float "Valor" format=#,##0.00
cdsCredito.DEBITO float format=#,##0.00
cdsCredito.VRLANCAMENT float format=#,##0.00
cdsCredito.CDDOCUCONT string(20)
cdsCredito.DSHISTLANC string(600)
cdsCredito.CDCONTCOME string(21)
cdsCredito.IDLANCINTE string(1)
cdsCredito.CDCONTREDU string(20) "Cód. Red."
cdsCredito.IDTIPOLANC string(1)
cdsCredito.CDHISTPADR string(4)
cdsCredito.IDLANCCOME string(1)
cdsLancContEspelho.CDEMPRESA string(2)
cdsLancContEspelho.NRLANCCONT string(12) "Lançamento"
cdsLancContEspelho.NRSEQLANC string(5)
cdsLancContEspelho.CDCONTCTBL string(20) "Conta Contábil"
cdsLancContEspelho.NMCONTCTBL string(40) "Nome"
cdsLancContEspelho.DTLANCCONT datetime "Data"
cdsLancContEspelho.CREDITO float "Crédito"
cdsLancContEspelho.DEBITO float "Débito"
cdsLancContEspelho.VRLANCAMENT float
cdsLancContEspelho.CDDOCUCONT string(20) "Documento"
cdsLancContEspelho.DSHISTLANC string(600) "Histórico"
cdsLancContEspelho.CDCONTCOME string(21)
cdsLancContEspelho.IDLANCINTE string(1) "Tipo"
cdsLancContEspelho.CDCONTREDU string(20)
cdsLancContEspelho.IDTIPOLANC string(1)
cdsLancContEspelho.CDHISTPADR string(4)
cdsLancContEspelho.IDLANCCOME string(1)
cdsLancCCusto.CDEMPRESA string(2)
cdsLancCCusto.NRLANCCONT string(12)
cdsLancCCusto.NRSEQLANC string(5)
cdsLancCCusto.CDFILIAL string(4) "Filial" mask=[9999;0; ]
cdsLancCCusto.NMFILIAL string(30) "Nome"
cdsLancCCusto.CDCENTCUST string(4) "C.Custo" mask=[9999;0; ]
cdsLancCCusto.NMCENTCUST string(40) "Nome"
cdsLancCCusto.DTCOMPCUSTO datetime "Data" mask=[!99/99/0000;1; ]
cdsLancCCusto.VRLANCCUST float
cdsLancCCusto.CREDITO float "Crédito" format=#,##0.00
cdsLancCCusto.DEBITO float "Débito" format=#,##0.00
cdsLancCCustoEspelho.CDEMPRESA string(2)
cdsLancCCustoEspelho.NRLANCCONT string(12)
cdsLancCCustoEspelho.NRSEQLANC string(5)
cdsLancCCustoEspelho.CDFILIAL string(4) "Filial" mask=[9999;0; ]
cdsLancCCustoEspelho.NMFILIAL string(30) "Nome"
cdsLancCCustoEspelho.CDCENTCUST string(4) "C.Custo" mask=[9999;0; ]
cdsLancCCustoEspelho.NMCENTCUST string(40) "Nome"
cdsLancCCustoEspelho.DTCOMPCUSTO datetime "Data" mask=[!99/99/0000;1; ]
cdsLancCCustoEspelho.VRLANCCUST float
cdsLancCCustoEspelho.CREDITO float "Crédito" format=#,##0.00
cdsLancCCustoEspelho.DEBITO float "Débito" format=#,##0.00
cdsCentCustFil.CDFILIAL string(4) hidden
cdsCentCustFil.CDCENTCUST string(4) "Código"
cdsCentCustFil.NMCENTCUST string(40) "Nome"
cdsCentCustFil index=CDCENTCUST
cdsMapaApurac.MES string(9)
cdsMapaApurac.ANO string(4)
cdsMapaApurac.IMPOSTO string(6)
qryEmpresa.CDEMPRESA string(2) "Código"
qryEmpresa.NMEMPRESA string(40) "Nome"
qryEmpresa.IDCONTGERE string(1) hidden
qryEmpresa.IDCONTCOME string(1) hidden
qryEmpresa.IDMSMCONTADBCR string(1) hidden
qryHistPadr.CDHISTPADR string(4) "Código"
qryHistPadr.DSHISTPADR string(60) "Nome"
qryFilial.CDFILIAL string(4) "Código"
qryFilial.NMFILIAL string(30) "Nome"
qryContCtbl.CDCONTREDU string(16) "Cód. Red."
qryContCtbl.CDCONTCTBL string(18) "Código"
qryContCtbl.CDRATEIO string(3) hidden
qryContCtbl.NMCONTCTBL string(40) "Nome"
qryContCtbl.CDNVCONTCTBL string(1) hidden
qryContCtbl.IDTIPOCONT string(1) hidden
qryContCtbl.IDCONTCCUS string(1) hidden
qryContCtbl.IDTIPOCOME string(1) hidden
qryContCtbl.IDLANCCOME string(1) hidden
qryTipoCome.IDTIPOCOME string(1)
qryCliente.NRINSJURCLIE string(20) "Inscrição"
qryCliente.CDCLIENTE string(21) hidden
qryCliente.NMRAZSOCCLIE string(50) "Razão Social"
qryCliente.IDTPIJURCLIE string(1) hidden
qryFornecedor.NRINSJURFORN string(20) "Inscrição"
qryFornecedor.CDFORNECED string(21) hidden
qryFornecedor.NMRAZSOCFORN string(40) "Razão Social"
qryFornecedor.IDTPIJURFORN string(1) hidden
qryBanco.CDREDUCONT string(50) "Cód. Red."
qryBanco.NMBANCO string(30) "Banco"
qryBanco.CDAGENCIA string(5) "Agência"
qryBanco.CDCONTCORR string(10) "Conta"
qryBanco.CDBANCO string(3) "Cód. Banco"
qryBanco.DSCONTCORR string(20) hidden
cdsData.DTHOJE datetime
Filtro.qryContCtbl.CDCONTCTBL string(20) "Código"
Filtro.qryContCtbl.NMCONTCTBL string(40) "Nome"
Filtro.qryContCtbl.CDNVCONTCTBL string(1) hidden
Filtro.qryContOp.DTINICLANC datetime
Filtro.qryContOp.DTFINALANC datetime
Filtro.qryContOp.IDCONTCOME string(1)
Filtro.qryContOp.IDCONTGERE string(1)
Filtro.qryFilial.CDFILIAL string(4) "Código"
Filtro.qryFilial.NMFILIAL string(30) "Nome"
Filtro.qryCentCust.CDCENTCUST string(4) "Código"
Filtro.qryCentCust.NMCENTCUST string(40) "Nome")";

TEST(Declarations, EveryFieldOfEveryTableAndQueryInOrder) {
    const QStringList expected = u8(kExpectedFields).split(QLatin1Char('\n'));
    const QStringList actual = describeAll();
    // Row by row, so that a failure names the first field that differs.
    for (qsizetype i = 0; i < std::min(expected.size(), actual.size()); ++i)
        ASSERT_EQ(actual[i].toStdString(), expected[i].toStdString()) << "line " << i + 1;
    EXPECT_EQ(actual.size(), expected.size());
}

struct CatalogCase {
    const char* name;
    const std::vector<CatalogEntry>* catalog;
    int size;
    const char* expected;  // key|text lines, in the catalog's order
};

// Written out from the screens' definition; the PARA piece keeps its leading and trailing blank.
const char* const kEntryScreenCatalog = R"(C|Cliente
F|Fornecedor
B|Banco
M|Manual
I|Integração
E|Encerramento
L|Lote
EMP_N|Empresa não cadastrada.
EMP_DEV|Empresa deve ser informada.
Conta|Conta Contábil
CONTA_N|Conta Contábil não cadastrada.
CANC_LANC|Deseja cancelar todo Lançamento Contábil?
DEB_DEV|Valor de débito deve ser maior que zero.
CODREDU_DEV|Código reduzido deve ser informado.
CONTCTBLDEB_DEV|Conta Contábil de débito deve ser informada.
CRED_DEV|Valor de crédito deve ser maior que zero.
CONTCTBLCRE_DEV|Conta Contábil de crédito deve ser informada.
CRED_DIFERE|Valor total de crédito difere do total de débito.
CODHIST_DEV|Código do Histórico Padrão deve ser informado.
DESCHIST_DEV|Descrição do Lançamento deve ser informada.
HIST_N|Histórico Padrão não cadastrado.
CODREDU_N|Código Reduzido não cadastrado.
PART_NAOCRDB|A partida deve ser somente de débito ou crédito.
FILIAL_N|Filial não cadastrada.
FILIAL_DEV|Filial deve ser informada.
CENTCUST_DEV|Centro de Custo deve ser informado.
CENTCUST_NFIL|Centro de Custo não cadastrado para filial informada.
EXCLUIR_DB|Deseja excluir a partida de débito?
EXCLUIR_CR|Deseja excluir a partida de crédito?
EXCLUIR_GER|Deseja excluir a partida gerencial?
DOCUMENTO_DEV|Documento deve ser informado.
EXCLUIR_TODOLANC|Deseja excluir todo o lançamento contábil?
FIL_NRELAC|Filial não relacionada à empresa do lançamento contábil.
CODCOME_DEV|Código Comercial deve ser informado
CLI_N|Cliente não cadastrado.
FORN_N|Fornecedor não cadastrado.
BANCO_N|Código da Conta Corrente não cadastrado.
LANCGER_DEV|Lançamento gerencial deve ser informado para as contas do tipo Gerencial e/ou Oficial/Gerencial
SOMA_RAT|A soma dos rateios deve ser igual ao valor da partida de %s.
DB|Débito
CR|Crédito
PARA| para a partida de 
CENTROCUSTO|Centro de Custo
CCUSTO_N|Centro de custo não cadastrado.
FILIAL|Filial
Filial_Cad|Filial não cadastrada.
CCUSTO_NFIL|Centro de custo não cadastrado para filial informada.
NEXISTE_CCUSTFIL|Não existe centro de custo cadastrado para filial informada.
RATJAINFORMADO|Rateio já informado para a filial e centro de custo informados.
FORA_PERIODO|Operação bloqueada! Data do lançamento fora do período contábil.
REVERTER_LOTE|Operação bloqueada! Lançamento contábil referente a lote. Favor realizar a reversão do lote %s para as devidas alterações.
DEBITO_DEVE|Partida de débito deve ser realizada.
RAT_DEV|Valor do rateio deve informado.
Hist|Histórico Padrão
Clie|Cliente
Forn|Fornecedor
Banc|Banco
Data_Dev|Data do lançamento contábil deve ser informada.
BANCO_NCAD|Código reduzido para conta corrente não cadastrado.
DBCR_MSMCONTA|Não é possível, no mesmo lançamento, terem partidas de débito e crédito para a mesma conta.
MAPA_APUR|Operação não permitida ! O Lançamento está relacionado ao mapa de apuração %s.)";

const char* const kFilterCatalog = R"(CONT_CAD|Conta contábil não cadastrada.
HIST_CAD|Histórico padrão não cadastrado.
ContIni_Inf|Conta contábil inicial deve ser informada.
ContFin_Inf|Conta contábil final deve ser informada.
ContIni_ContFin|Conta contábil inicial deve ser menor ou igual a conta contábil final.
DtIni_DtFin|Data de lançamento inicial deve ser menor ou igual a data de lançamento final.
Hist|Histórico Padrão
Forn|Fornecedor
Banc|Banco
Clie|Cliente
Hist_Inf|Histórico padrão deve ser informado.
DtIni_Inf|Data de lançamento inicial deve ser informada.
DtFim_Inf|Data de lançamento final deve ser informada.
HistPadr_Inf|Histórico padrão deve ser informado.
Clie_Inf|Cliente deve ser informado.
Forn_Inf|Fornecedor deve ser informado.
Banc_Inf|Banco deve ser informado.
Hist_NCad|Não há histórico padrão cadastrado.
Cliente_Cad|Não há cliente cadastrado.
Forn_Cad|Não há fornecedor cadastrado.
Banc_Cad|Não há banco cadastrado.
Filial_Inf|Filial deve ser informada.
CentCust_Inf|Centro de Custo deve ser informado.
VRFINMENOR|Valor final deve ser maior ou igual ao valor inicial.
VRFIN_DEV|Valor final deve ser igual ou maior que o valor inicial.)";

TEST(Declarations, EveryCatalogTextExactly) {
    const CatalogCase cases[] = {
        {"msgPadrao of TfrmLancamento", &lancamentoCatalog(), 61, kEntryScreenCatalog},
        {"msgPadrao of TfrmLancFiltro", &lancFiltroCatalog(), 25, kFilterCatalog},
    };
    for (const CatalogCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QStringList lines = catalogLines(*c.catalog);
        const QStringList expected = u8(c.expected).split(QLatin1Char('\n'));
        ASSERT_EQ(lines.size(), c.size);
        ASSERT_EQ(expected.size(), c.size);
        QSet<QString> keys;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(lines[i].toStdString(), expected[i].toStdString()) << "entry " << i + 1;
            // Keys are matched exactly: "Filial_Cad" and "FILIAL" are different entries.
            EXPECT_FALSE(keys.contains(lines[i].section(QLatin1Char('|'), 0, 0)))
                << "duplicate key, entry " << i + 1;
            keys.insert(lines[i].section(QLatin1Char('|'), 0, 0));
        }
    }
}

QString describe(const ControlDecl& c) {
    QString out = u8(c.name);
    if (*c.caption)
        out += QStringLiteral(" \"%1\"").arg(u8(c.caption));
    if (c.maxLength)
        out += QStringLiteral(" max=%1").arg(c.maxLength);
    if (*c.hint)
        out += QStringLiteral(" hint=\"%1\"").arg(u8(c.hint));
    if (*c.editMask)
        out += QStringLiteral(" mask=[%1]").arg(u8(c.editMask));
    if (*c.dataField)
        out += QStringLiteral(" field=%1").arg(u8(c.dataField));
    if (c.decimals >= 0)
        out += QStringLiteral(" decimals=%1").arg(c.decimals);
    if (*c.displayFormat)
        out += QStringLiteral(" format=%1").arg(u8(c.displayFormat));
    if (*c.shortcut)
        out += QStringLiteral(" shortcut=%1").arg(u8(c.shortcut));
    if (!c.enabled)
        out += QStringLiteral(" disabled");
    if (!c.visible)
        out += QStringLiteral(" hidden");
    if (c.readOnly)
        out += QStringLiteral(" readonly");
    if (c.checked)
        out += QStringLiteral(" checked");
    return out;
}

// The controls whose limits, hints and captions the screens fix, as they must be declared.
TEST(Declarations, ControlLimitsHintsAndCaptions) {
    const std::pair<const std::vector<ControlDecl>*, const char*> cases[] = {
        {&lancamentoControls(), "edtCdEmpresa max=2"},
        {&lancamentoControls(), "edtNmEmpresa disabled readonly"},
        {&lancamentoControls(), "edtDocumento max=20"},
        {&lancamentoControls(), "depData disabled"},
        {&lancamentoControls(), "nedDebito decimals=2 format=#,##0.00 disabled readonly"},
        {&lancamentoControls(), "nedCredito decimals=2 format=#,##0.00 disabled readonly"},
        {&lancamentoControls(), "dbeCdHistPadr max=4 field=CDHISTPADR"},
        {&lancamentoControls(), "btnHistorico hint=\"Pesquisar\""},
        {&lancamentoControls(), "dbeDsHistLanc max=600 field=DSHISTLANC readonly"},
        {&lancamentoControls(), "btnAlteraHistorico \"...\" hint=\"Visualizar/Alterar descrição\""},
        {&lancamentoControls(), "dbeCdContCome max=21 field=CDCONTCOME"},
        {&lancamentoControls(), "lblCodComercial \"Cód. Comercial\""},
        {&lancamentoControls(), "lblGerencial \"Lançamentos Gerenciais\""},
        {&lancamentoControls(), "panLancamentoGerencial hidden"},
        {&lancamentoControls(), "spbFiltro hint=\"Filtrar\""},
        {&lancamentoControls(), "mnuFiltrar \"&Filtrar\" shortcut=Ctrl+L"},
        {&lancFiltroControls(), "grbContCtbl \"Conta Contábil\""},
        {&lancFiltroControls(), "medContCtblIn max=20"},
        {&lancFiltroControls(), "medContCtblFi max=20"},
        {&lancFiltroControls(), "grbData \"Data de Lançamento\""},
        {&lancFiltroControls(), "edtValorIni decimals=2"},
        {&lancFiltroControls(), "rbtTodos \"Todos\" checked"},
        {&lancFiltroControls(), "rbtLista \"Lista\""},
        {&lancFiltroControls(), "sbtHist disabled"},
        {&lancFiltroControls(), "medDoc max=20 mask=[99999999999999999999;0; ]"},
        {&lancFiltroControls(), "rbtTClie \"Todos\" checked"},
        {&lancFiltroControls(), "sbtBanc disabled"},
        {&lancFiltroControls(), "grbLancamento \"Lançamento\""},
        {&lancFiltroControls(), "medLanc max=12 mask=[999999999999;0; ]"},
        {&lancFiltroControls(), "rbtTFilial \"Todas\" checked"},
        {&lancFiltroControls(), "btnCentCust disabled"},
        {&lancFiltroControls(), "grbHistLanc \"Histórico do Lançamento\""},
        {&histLancControls(), "panDescricao \"Descrição\""},
        {&histLancControls(), "memDesc max=600"},
    };
    for (const auto& [controls, expected] : cases) {
        const QString name = u8(expected).section(QLatin1Char(' '), 0, 0);
        const ControlDecl* c = findControl(*controls, name);
        ASSERT_NE(c, nullptr) << expected;
        EXPECT_EQ(describe(*c).toStdString(), expected);
    }
    const FormDecl* forms[] = {&lancamentoForm(), &lancFiltroForm(), &histLancForm()};
    QStringList texts;
    for (const FormDecl* f : forms)
        texts << QStringLiteral("%1 %2 %3").arg(u8(f->caption), u8(f->screenCode)).arg(f->helpContext);
    EXPECT_EQ(texts, (QStringList{QStringLiteral("Lançamentos Contábeis CTB10000 0"),
                                  QStringLiteral("Filtro de Lançamento Contábil CTB10010 10611010"),
                                  QStringLiteral("Histórico do Lancamento Contábil CTB11030 0")}));
}

// Every layout row names a control the form has (declared, from its base form, or made by the
// screen), once; a placed control lies inside its container's designed size.
TEST(Layouts, RowsNameTheFormsControlsAndFitTheirContainers) {
    struct Case {
        const FormDecl& form;
        const std::vector<ControlDecl>& controls;
        const std::vector<LayoutDecl>& layout;
        QStringList others;  // base form's controls and grids the screen adds
    };
    const Case cases[] = {
        {lancamentoForm(),
         lancamentoControls(),
         lancamentoLayout(),
         {QStringLiteral("dbgPadrao"), QStringLiteral("dbgDebito"), QStringLiteral("dbgCredito"),
          QStringLiteral("dbgLancCCusto")}},
        {lancFiltroForm(), lancFiltroControls(), lancFiltroLayout(), {}},
        {histLancForm(), histLancControls(), histLancLayout(), {}},
    };
    for (const Case& c : cases) {
        QSet<QString> seen;
        for (const LayoutDecl& row : c.layout) {
            const QString name = u8(row.name);
            EXPECT_FALSE(seen.contains(name)) << "twice: " << row.name;
            seen.insert(name);
            EXPECT_GE(row.left, 0) << row.name;
            EXPECT_GE(row.top, 0) << row.name;
            EXPECT_GE(row.width, 0) << row.name;
            EXPECT_GE(row.height, 0) << row.name;
            const QString owner = name.section(QLatin1Char('.'), 0, 0);
            if (owner == u8(c.form.name) || c.others.contains(owner))
                continue;
            const ControlDecl* control = findControl(c.controls, owner);
            ASSERT_NE(control, nullptr) << "not declared: " << row.name;
            if (row.align != Align::None || name.contains(QLatin1Char('.')))
                continue;
            // A placed control inside a container laid out here fits that container's size.
            for (const LayoutDecl& parent : c.layout) {
                if (u8(parent.name) != u8(control->parent) || parent.width == 0 || parent.height == 0)
                    continue;
                EXPECT_LE(row.left + row.width, parent.width) << row.name << " in " << parent.name;
                EXPECT_LE(row.top + row.height, parent.height) << row.name << " in " << parent.name;
            }
        }
        EXPECT_TRUE(seen.contains(u8(c.form.name))) << c.form.name << " has no size";
    }
}

}  // namespace
}  // namespace ctb::ctb10000
