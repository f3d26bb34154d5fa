#include "tests/ui/sample_app.h"

namespace ctb::sample {

DialogForm::DialogForm(hostlib::Session& s)
    : TfrmRotiGeral(QStringLiteral("frmDialogo"), QStringLiteral("Nome"), QStringLiteral("AMO0010"), s),
      edtNome(grbDadosRel.add<ui::Edit>(QStringLiteral("edtNome"))) {
    edtNome.setGeometry(16, 24, 200, 22);
    sbtConfirma.onClick = [this](ui::Control&) {
        if (hostlib::EmptyString(edtNome.text())) {
            edtNome.setFocus();
            hostlib::MensErro(services(), QStringLiteral("Nome deve ser informado."));
        }
        setModalResult(ui::ModalResult::Ok);
    };
}

SampleForm::SampleForm(hostlib::Session& s)
    : ui::Form(QStringLiteral("frmAmostra"), s.services),
      session(s),
      panCabecalho(add<ui::Panel>(QStringLiteral("panCabecalho"))),
      edtCodigo(panCabecalho.add<ui::Edit>(QStringLiteral("edtCodigo"))),
      medConta(panCabecalho.add<ui::MaskEdit>(QStringLiteral("medConta"))),
      nedValor(panCabecalho.add<hostlib::TNumberEdit>(QStringLiteral("nedValor"))),
      depData(panCabecalho.add<hostlib::TDateEditPlus>(QStringLiteral("depData"))),
      edtCor(panCabecalho.add<ui::Edit>(QStringLiteral("edtCor"))),
      btnCor(panCabecalho.add<hostlib::TBtnPesquisa>(QStringLiteral("btnCor"))),
      panItens(add<ui::Panel>(QStringLiteral("panItens"))),
      dbgItens(panItens.add<ui::DBGrid>(QStringLiteral("dbgItens"))),
      btnDialogo(add<ui::Button>(QStringLiteral("btnDialogo"))),
      btnLimpar(add<ui::Button>(QStringLiteral("btnLimpar"))),
      lblNome(add<ui::Label>(QStringLiteral("lblNome"))),
      panAviso(add<ui::Panel>(QStringLiteral("panAviso"))),
      lblAviso(panAviso.add<ui::Label>(QStringLiteral("lblAviso"))),
      mnuMenu(add<ui::MenuItem>(QStringLiteral("mnuMenu"))),
      mnuDialogo(mnuMenu.add<ui::MenuItem>(QStringLiteral("mnuDialogo"))) {
    setText(QStringLiteral("Amostra"));
    setGeometry(0, 0, 640, 420);
    panCabecalho.setGeometry(0, 0, 640, 90);
    panCabecalho.setAlign(ui::Align::Top);
    edtCodigo.setGeometry(8, 8, 60, 22);
    medConta.setGeometry(80, 8, 100, 22);
    medConta.setEditMask(session.DBPict(hostlib::ptContCtbl));
    nedValor.setGeometry(190, 8, 100, 22);
    depData.setGeometry(300, 8, 90, 22);
    edtCor.setGeometry(8, 40, 120, 22);
    edtCor.setReadOnly(true);
    btnCor.setGeometry(130, 40, 22, 22);
    panItens.setGeometry(0, 90, 640, 280);
    panItens.setAlign(ui::Align::Client);
    dbgItens.setAlign(ui::Align::Client);
    btnDialogo.setText(QStringLiteral("Diálogo"));
    btnDialogo.setGeometry(8, 380, 90, 28);
    btnLimpar.setText(QStringLiteral("Limpar"));
    btnLimpar.setGeometry(104, 380, 90, 28);
    lblNome.setGeometry(200, 386, 200, 16);
    // Hidden by its panel although the label itself is visible; shown once the items are cleared.
    panAviso.setGeometry(410, 378, 220, 32);
    panAviso.setVisible(false);
    lblAviso.setGeometry(4, 8, 200, 16);
    lblAviso.setText(QStringLiteral("Itens removidos."));
    mnuMenu.setText(QStringLiteral("Menu"));
    mnuDialogo.setText(QStringLiteral("Diálogo"));
    mnuDialogo.setShortcut('D', ui::ShiftState{true, false});

    cdsItens.addStringField(QStringLiteral("CODIGO"), 4);
    cdsItens.addStringField(QStringLiteral("DESCRICAO"), 30);
    cdsItens.addFloatField(QStringLiteral("VALOR")).setDisplayFormat(QStringLiteral("#,##0.00"));
    cdsItens.createDataSet();
    cdsItens.beforePost = [this](ClientDataSet&) { cdsItensBeforePost(); };
    cdsItens.afterPost = [this](ClientDataSet&) { FAlterado = true; };
    dbgItens.setDataSource(&dtsItens);
    dbgItens.addColumn(QStringLiteral("CODIGO"), QStringLiteral("Código"), 60);
    dbgItens.addColumn(QStringLiteral("DESCRICAO"), QStringLiteral("Descrição"), 240);
    dbgItens.addColumn(QStringLiteral("VALOR"), QStringLiteral("Valor"), 100);

    cdsCores.addStringField(QStringLiteral("CDCOR"), 2);
    cdsCores.addStringField(QStringLiteral("NMCOR"), 20);
    cdsCores.createDataSet();
    const std::pair<const char*, const char*> cores[] = {{"01", "Azul"}, {"02", "Verde"}, {"03", "Amarelo"}};
    for (auto [code, name] : cores) {
        cdsCores.append();
        cdsCores.fieldByName(u"CDCOR").setAsString(QString::fromUtf8(code));
        cdsCores.fieldByName(u"NMCOR").setAsString(QString::fromUtf8(name));
        cdsCores.post();
    }
    btnCor.SetDataSource(&dtsCores);
    btnCor.title = QStringLiteral("Cores");
    btnCor.keyField = QStringLiteral("CDCOR");
    btnCor.notFoundText = QStringLiteral("Não há cor cadastrada.");
    btnCor.AfterPesq = [this](ui::Control&) { edtCor.setText(cdsCores.fieldByName(u"NMCOR").asString()); };

    edtCodigo.onExit = [this](ui::Control&) { edtCodigoExit(); };
    medConta.onExit = [this](ui::Control&) { medContaExit(); };
    depData.onExit = [this](ui::Control&) { depData.CheckValidDate(); };
    dbgItens.onColExit = [this](ui::Control&) { dbgItensColExit(); };
    btnDialogo.onClick = [this](ui::Control&) { btnDialogoClick(); };
    mnuDialogo.onClick = [this](ui::Control&) { btnDialogoClick(); };
    btnLimpar.onClick = [this](ui::Control&) { btnLimparClick(); };
}

void SampleForm::edtCodigoExit() {
    if (hostlib::EmptyString(edtCodigo.text())) {
        edtCodigo.setFocus();
        hostlib::MensErro(services(), QStringLiteral("Código deve ser informado."));
    }
    edtCodigo.setText(hostlib::Ajusta(edtCodigo.text(), 2));
}

void SampleForm::medContaExit() {
    QString code = medConta.text();
    hostlib::ValidEx(session, nullptr, hostlib::ptContCtbl, code);
    medConta.setText(code);
}

void SampleForm::dbgItensColExit() {
    if (!cdsItens.isEditing())
        return;
    Field* f = dbgItens.selectedField();
    if (f != nullptr && f->fieldName() == u"CODIGO" && !f->isNull())
        f->setAsString(hostlib::Ajusta(f->asString(), 4));
    if (f != nullptr && f->fieldName() == u"DESCRICAO" && hostlib::EmptyString(f->asString()))
        hostlib::MensErro(services(), QStringLiteral("Descrição deve ser informada."));
}

void SampleForm::cdsItensBeforePost() {
    if (cdsItens.fieldByName(u"VALOR").asFloat() < 0)
        hostlib::MensErro(services(), QStringLiteral("Valor não pode ser negativo."));
}

void SampleForm::btnDialogoClick() {
    dialog_ = std::make_unique<DialogForm>(session);
    if (dialog_->showModal() == ui::ModalResult::Ok)
        lblNome.setText(dialog_->edtNome.text());
}

void SampleForm::btnLimparClick() {
    if (cdsItens.isEmpty())
        hostlib::MensErro(services(), QStringLiteral("Não há itens."));
    if (!services()->askYesNo(QStringLiteral("Limpar os itens?")))
        return;
    cdsItens.emptyDataSet();
    services()->showInformation(QStringLiteral("Itens removidos."));
    panAviso.setVisible(true);
}

void SampleApp::open(const uiscript::SessionOptions& options, ui::UiServices& services) {
    session_.EmprProc = options.company;
    session_.Operador = options.user;
    session_.setServer(options.server);
    if (!options.accountPicture.isEmpty())
        session_.accountPicture = options.accountPicture;
    if (options.today.isValid())
        session_.today = options.today;
    session_.services = &services;
    if (!form_)
        form_ = std::make_unique<SampleForm>(session_);
    form_->show();
}

ClientDataSet* SampleApp::findTable(const QString& name) {
    if (!form_)
        return nullptr;
    if (name == u"cdsItens")
        return &form_->cdsItens;
    if (name == u"cdsCores")
        return &form_->cdsCores;
    return nullptr;
}

std::optional<bool> SampleApp::flag(const QString& name) {
    if (form_ && name == u"FAlterado")
        return form_->FAlterado;
    return std::nullopt;
}

}  // namespace ctb::sample
