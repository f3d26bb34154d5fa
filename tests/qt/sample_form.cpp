#include "tests/qt/sample_form.h"

#include "platform/ui/dispatch.h"
#include "platform/ui/services.h"

#include <stdexcept>

namespace ctb::qt::test {

namespace {
QString s(const char* text) {
    return QString::fromUtf8(text);
}
}  // namespace

ui::Control& SampleForm::control(const char* name) const {
    ui::Control* c = form->findControl(s(name));
    if (c == nullptr) {
        c = dialog->findControl(s(name));
    }
    if (c == nullptr) {
        throw std::runtime_error(name);
    }
    return *c;
}

SampleForm::SampleForm(ui::UiServices* services) {
    cdsLinhas.addStringField(s("CODIGO"), 4).setDisplayLabel(s("Código"));
    cdsLinhas.addStringField(s("NOME"), 30).setDisplayLabel(s("Nome"));
    Field& valor = cdsLinhas.addFloatField(s("VALOR"));
    valor.setDisplayLabel(s("Valor"));
    valor.setDisplayFormat(s("#,##0.00"));
    cdsLinhas.createDataSet();
    const char* rows[][3] = {
        {"0001", "Caixa", "1234.5"}, {"0002", "Banco", "10"}, {"0003", "Clientes", "0.25"}};
    for (const auto& row : rows) {
        cdsLinhas.append();
        cdsLinhas.fieldByName(u"CODIGO").setAsString(s(row[0]));
        cdsLinhas.fieldByName(u"NOME").setAsString(s(row[1]));
        cdsLinhas.fieldByName(u"VALOR").setAsFloat(QString::fromLatin1(row[2]).toDouble());
        cdsLinhas.post();
    }
    cdsLinhas.first();

    cdsEmpresas.addStringField(s("CDEMPRESA"), 2).setDisplayLabel(s("Código"));
    cdsEmpresas.addStringField(s("NMEMPRESA"), 40).setDisplayLabel(s("Nome"));
    cdsEmpresas.createDataSet();
    for (const auto& [code, name] : {std::pair{"01", "Matriz Ltda."}, std::pair{"02", "Filial São Paulo"}}) {
        cdsEmpresas.append();
        cdsEmpresas.fieldByName(u"CDEMPRESA").setAsString(s(code));
        cdsEmpresas.fieldByName(u"NMEMPRESA").setAsString(s(name));
        cdsEmpresas.post();
    }

    form = std::make_unique<ui::Form>(s("frmAmostra"), services);
    ui::Form& f = *form;
    f.setCaption(s("Amostra de Formulário"));
    f.setGeometry(0, 0, 640, 420);

    auto& mnuMenu = f.add<ui::MenuItem>(s("mnuMenu"));
    mnuMenu.setCaption(s("&Menu"));
    auto& mnuFiltrar = mnuMenu.add<ui::MenuItem>(s("mnuFiltrar"));
    mnuFiltrar.setCaption(s("&Filtrar"));
    mnuFiltrar.setShortcut(ui::vk::KeyA + ('L' - 'A'), ui::ShiftState{true, false});

    auto& panTopo = f.add<ui::Panel>(s("panTopo"));
    panTopo.setAlign(ui::Align::Top);
    panTopo.setGeometry(0, 0, 640, 74);
    auto& lblEmpresa = panTopo.add<ui::Label>(s("lblEmpresa"));
    lblEmpresa.setCaption(s("Empresa"));
    lblEmpresa.setGeometry(8, 10, 60, 20);
    auto& edtCdEmpresa = panTopo.add<ui::Edit>(s("edtCdEmpresa"));
    edtCdEmpresa.setGeometry(80, 8, 40, 24);
    edtCdEmpresa.setMaxLength(2);
    auto& btnEmpresa = panTopo.add<ui::Button>(s("btnEmpresa"), ui::ControlKind::LookupButton);
    btnEmpresa.setGeometry(122, 8, 24, 24);
    auto& edtNmEmpresa = panTopo.add<ui::Edit>(s("edtNmEmpresa"));
    edtNmEmpresa.setGeometry(150, 8, 220, 24);
    edtNmEmpresa.setReadOnly(true);
    edtNmEmpresa.setTabStop(false);
    auto& lblConta = panTopo.add<ui::Label>(s("lblConta"));
    lblConta.setCaption(s("Conta"));
    lblConta.setGeometry(8, 42, 60, 20);
    auto& medConta = panTopo.add<ui::MaskEdit>(s("medConta"));
    medConta.setEditMask(s("9.9.99.999;1;_"));
    medConta.setGeometry(80, 40, 100, 24);
    auto& lblData = panTopo.add<ui::Label>(s("lblData"));
    lblData.setCaption(s("Data"));
    lblData.setGeometry(196, 42, 40, 20);
    auto& depData = panTopo.add<ui::DateEdit>(s("depData"));
    depData.setGeometry(236, 40, 96, 24);
    auto& lblValor = panTopo.add<ui::Label>(s("lblValor"));
    lblValor.setCaption(s("Valor"));
    lblValor.setGeometry(346, 42, 40, 20);
    auto& nedValor = panTopo.add<ui::NumberEdit>(s("nedValor"));
    nedValor.setGeometry(390, 40, 110, 24);

    auto& panBotoes = f.add<ui::Panel>(s("panBotoes"));
    panBotoes.setAlign(ui::Align::Bottom);
    panBotoes.setGeometry(0, 0, 640, 40);
    auto& sbtConfirmar = panBotoes.add<ui::Button>(s("sbtConfirmar"));
    sbtConfirmar.setCaption(s("Confirmar"));
    sbtConfirmar.setGeometry(8, 8, 90, 26);
    auto& sbtCancelar = panBotoes.add<ui::Button>(s("sbtCancelar"));
    sbtCancelar.setCaption(s("Cancelar"));
    sbtCancelar.setGeometry(104, 8, 90, 26);
    auto& spbFiltro = panBotoes.add<ui::SpeedButton>(s("spbFiltro"));
    spbFiltro.setCaption(s("Filtrar"));
    spbFiltro.setHint(s("Filtrar"));
    spbFiltro.setGeometry(200, 8, 70, 26);

    auto& pgcPadrao = f.add<ui::PageControl>(s("pgcPadrao"));
    pgcPadrao.setAlign(ui::Align::Client);
    auto& tshDados = pgcPadrao.addPage(s("tshDados"), s("Linhas"));
    auto& tshOutros = pgcPadrao.addPage(s("tshOutros"), s("Outros"));
    pgcPadrao.setActivePage(&tshDados);
    auto& dbgLinhas = tshDados.add<ui::DBGrid>(s("dbgLinhas"));
    dbgLinhas.setAlign(ui::Align::Client);
    dbgLinhas.setDataSource(&dtsLinhas);
    dbgLinhas.addColumn(s("CODIGO"), {}, 70).hasButton = true;
    dbgLinhas.addColumn(s("NOME"), {}, 260).readOnly = true;
    dbgLinhas.addColumn(s("VALOR"), {}, 110);

    auto& grbTipo = tshOutros.add<ui::GroupBox>(s("grbTipo"));
    grbTipo.setCaption(s("Tipo"));
    grbTipo.setGeometry(8, 8, 200, 80);
    auto& rbtDebito = grbTipo.add<ui::RadioButton>(s("rbtDebito"));
    rbtDebito.setCaption(s("Débito"));
    rbtDebito.setGeometry(10, 24, 120, 22);
    rbtDebito.setChecked(true);
    auto& rbtCredito = grbTipo.add<ui::RadioButton>(s("rbtCredito"));
    rbtCredito.setCaption(s("Crédito"));
    rbtCredito.setGeometry(10, 48, 120, 22);
    auto& memHistorico = tshOutros.add<ui::Memo>(s("memHistorico"));
    memHistorico.setGeometry(220, 8, 300, 80);

    // ---- handlers ----
    edtCdEmpresa.onEnter = [this](ui::Control&) { events << s("edtCdEmpresaEnter"); };
    edtCdEmpresa.onExit = [this](ui::Control& c) {
        events << s("edtCdEmpresaExit");
        if (c.text().trimmed().isEmpty()) {
            c.setFocus();
            c.form()->services()->showError(s("Empresa deve ser informada."));
            throw ui::AbortAction();
        }
    };
    edtCdEmpresa.onChange = [this](ui::Control& c) { events << (s("change:") + c.text()); };
    panTopo.onExit = [this](ui::Control&) { events << s("panTopoExit"); };
    panTopo.onEnter = [this](ui::Control&) { events << s("panTopoEnter"); };
    nedValor.onKeyDown = [this](ui::Control&, int& key, ui::ShiftState) {
        lastKeyDown = key;
        if (key == ui::vk::Add) {
            events << s("keypadPlus");
            key = 0;
        }
    };
    btnEmpresa.onClick = [this](ui::Control& c) {
        ui::LookupRequest request;
        request.title = s("Empresa");
        request.table = &cdsEmpresas;
        request.keyField = s("CDEMPRESA");
        const std::vector<int> rows = c.form()->services()->lookup(request);
        if (!rows.empty()) {
            cdsEmpresas.setRecNo(rows.front() + 1);
            control("edtCdEmpresa").setText(cdsEmpresas.fieldByName(u"CDEMPRESA").asString());
            control("edtNmEmpresa").setText(cdsEmpresas.fieldByName(u"NMEMPRESA").asString());
        }
    };
    sbtCancelar.onClick = [this](ui::Control& c) {
        if (c.form()->services()->askYesNo(s("Deseja cancelar?"))) {
            c.form()->services()->showInformation(s("Cancelado."));
        }
    };
    sbtConfirmar.onClick = [this](ui::Control&) { events << s("confirmar"); };
    auto openFilter = [this](ui::Control&) {
        if (dialog->showModal() == ui::ModalResult::Ok) {
            control("edtNmEmpresa").setText(dialog->findControl(u"edtFiltro")->text());
        }
    };
    spbFiltro.onClick = openFilter;
    mnuFiltrar.onClick = openFilter;
    dbgLinhas.onEditButtonClick = [this](ui::Control& g) {
        auto& grid = static_cast<ui::DBGrid&>(g);
        events << (s("lookup:") +
                   (grid.selectedField() != nullptr ? grid.selectedField()->fieldName() : QString()));
    };
    dbgLinhas.onColExit = [this](ui::Control& g) {
        auto& grid = static_cast<ui::DBGrid&>(g);
        events << (s("colExit:") +
                   (grid.selectedField() != nullptr ? grid.selectedField()->fieldName() : QString()));
    };

    dialog = std::make_unique<ui::Form>(s("frmFiltro"), services);
    ui::Form& d = *dialog;
    d.setCaption(s("Filtro"));
    d.setGeometry(0, 0, 320, 130);
    auto& grbDadosRel = d.add<ui::GroupBox>(s("grbDadosRel"));
    grbDadosRel.setCaption(s("Dados"));
    grbDadosRel.setAlign(ui::Align::Client);
    auto& lblFiltro = grbDadosRel.add<ui::Label>(s("lblFiltro"));
    lblFiltro.setCaption(s("Texto"));
    lblFiltro.setGeometry(10, 26, 50, 20);
    auto& edtFiltro = grbDadosRel.add<ui::Edit>(s("edtFiltro"));
    edtFiltro.setGeometry(64, 24, 220, 24);
    auto& panBotoesDlg = d.add<ui::Panel>(s("panBotoesDialogo"));
    panBotoesDlg.setAlign(ui::Align::Bottom);
    panBotoesDlg.setGeometry(0, 0, 320, 40);
    auto& sbtConfirma = panBotoesDlg.add<ui::Button>(s("sbtConfirma"));
    sbtConfirma.setCaption(s("Confirma"));
    sbtConfirma.setGeometry(8, 7, 90, 26);
    sbtConfirma.modalResult = ui::ModalResult::Ok;
    auto& sbtCancel = panBotoesDlg.add<ui::Button>(s("sbtCancel"));
    sbtCancel.setCaption(s("Cancela"));
    sbtCancel.setGeometry(104, 7, 90, 26);
    sbtCancel.modalResult = ui::ModalResult::Cancel;
}

}  // namespace ctb::qt::test
