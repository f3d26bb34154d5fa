#include "contracts/host_view.h"

#include "entry_screen/declare.h"
#include "platform/ui/dispatch.h"

namespace ctb::ctb10000 {

Session& session() {
    static Session current;
    return current;
}

QString EmprProc() {
    return session().company;
}
QString Operador() {
    return session().user;
}
QString WebURL() {
    return session().serverHost;
}
int WebPort() {
    return session().serverPort;
}

QString DBPict(int /*pictureType*/) {
    const QString picture =
        session().accountPicture.isEmpty() ? QStringLiteral("9.9.99.999") : session().accountPicture;
    return picture + QStringLiteral(";1; ");
}

// ---- TMessages ----

void TMessages::setLines(const QStringList& lines) {
    lines_ = lines;
    texts_.clear();
    for (const QString& line : lines) {
        const qsizetype bar = line.indexOf(QLatin1Char('|'));
        if (bar < 0)
            continue;
        texts_.emplace(line.left(bar), line.mid(bar + 1));
    }
}

bool TMessages::contains(const QString& key) const {
    return texts_.count(key) != 0;
}

QString TMessages::Msg(const QString& key) const {
    if (auto it = texts_.find(key); it != texts_.end())
        return it->second;
    for (const auto& [k, text] : texts_)
        if (k.compare(key, Qt::CaseInsensitive) == 0)
            return text;
    return QStringLiteral("Mensagem não cadastrada: %1").arg(key);
}

void MensErro(ui::UiServices* services, const QString& text) {
    if (services != nullptr)
        services->showError(text);
    throw ui::AbortAction();
}

// ---- TADOIBQuery ----

TADOIBQuery::TADOIBQuery(const QueryDecl& decl)
    : ClientDataSet(u8(decl.name)), decl_(decl), query_(std::make_unique<sql::Query>(QSqlDatabase())) {
    declareQuery(*query_, decl_);
    TableDecl table{decl_.name, decl_.fields};
    declareTable(*this, table);
    setReadOnly(true);
}

void TADOIBQuery::setConnection(const QSqlDatabase& db) {
    query_->setConnection(db);
}

void TADOIBQuery::Open() {
    Close();
    query_->open();
    setData(query_->toPacket());
}

void TADOIBQuery::Close() {
    query_->close();
    close();
}

// ---- TNetConnection ----

TNetConnection::TNetConnection(QString name, QString serverName)
    : name_(std::move(name)), serverName_(std::move(serverName)) {}

TNetConnection::~TNetConnection() = default;

bool TNetConnection::open() {
    if (onBeforeConnect)
        onBeforeConnect(*this);
    ++connectCount_;
    net::ClientOptions options;
    options.connectTimeout = std::chrono::milliseconds(3000);
    client_ = std::make_unique<net::HttpClient>(Host.toStdString(), Port, options);
    connected_ = Port > 0 && client_->health().ok;
    if (!connected_)
        client_.reset();
    return connected_;
}

void TNetConnection::close() {
    if (client_)
        client_->close();
    client_.reset();
    connected_ = false;
}

net::CallResult TNetConnection::call(const QString& method, const std::vector<wire::Value>& args) {
    if (!connected_ && !open()) {
        net::CallResult failed;
        failed.transportFailed = true;
        failed.error =
            QStringLiteral("Não foi possível conectar ao servidor de aplicação %1:%2.").arg(Host).arg(Port);
        return failed;
    }
    return client_->call(serverName_.toStdString(), method.toStdString(), args);
}

// ---- base forms ----

TfrmPadrao::TfrmPadrao(const QString& name, const QString& caption, const QString& screenCode,
                       ui::UiServices* services)
    : ui::Form(name, services),
      panBotoes(add<ui::Panel>(QStringLiteral("panBotoes"))),
      sbtIncluir(panBotoes.add<ui::SpeedButton>(QStringLiteral("sbtIncluir"))),
      sbtAlterar(panBotoes.add<ui::SpeedButton>(QStringLiteral("sbtAlterar"))),
      sbtExcluir(panBotoes.add<ui::SpeedButton>(QStringLiteral("sbtExcluir"))),
      sbtImprimir(panBotoes.add<ui::SpeedButton>(QStringLiteral("sbtImprimir"))),
      sbtVerificar(panBotoes.add<ui::SpeedButton>(QStringLiteral("sbtVerificar"))),
      sbtConfirmar(panBotoes.add<ui::SpeedButton>(QStringLiteral("sbtConfirmar"))),
      sbtCancelar(panBotoes.add<ui::SpeedButton>(QStringLiteral("sbtCancelar"))),
      lblCodTela(panBotoes.add<ui::Label>(QStringLiteral("lblCodTela"))),
      mnuMenu(add<ui::MenuItem>(QStringLiteral("mnuMenu"))),
      mnuIncluir(mnuMenu.add<ui::MenuItem>(QStringLiteral("mnuIncluir"))),
      mnuAlterar(mnuMenu.add<ui::MenuItem>(QStringLiteral("mnuAlterar"))),
      mnuExcluir(mnuMenu.add<ui::MenuItem>(QStringLiteral("mnuExcluir"))),
      mnuImprimir(mnuMenu.add<ui::MenuItem>(QStringLiteral("mnuImprimir"))),
      mnuVerificar(mnuMenu.add<ui::MenuItem>(QStringLiteral("mnuVerificar"))),
      mnuConfirmar(mnuMenu.add<ui::MenuItem>(QStringLiteral("mnuConfirmar"))),
      mnuCancelar(mnuMenu.add<ui::MenuItem>(QStringLiteral("mnuCancelar"))),
      pgcPadrao(add<ui::PageControl>(QStringLiteral("pgcPadrao"))),
      tshFolhaDados(pgcPadrao.addPage(QStringLiteral("tshFolhaDados"), QStringLiteral("Folha de Dados"))),
      dbgPadrao(tshFolhaDados.add<ui::DBGrid>(QStringLiteral("dbgPadrao"))),
      tshFormulario(pgcPadrao.addPage(QStringLiteral("tshFormulario"), QStringLiteral("Formulário"))) {
    setCaption(caption);
    lblCodTela.setCaption(screenCode);
    const std::pair<ui::SpeedButton*, const char*> buttons[] = {
        {&sbtIncluir, "Incluir"},   {&sbtAlterar, "Alterar"},     {&sbtExcluir, "Excluir"},
        {&sbtImprimir, "Imprimir"}, {&sbtVerificar, "Verificar"}, {&sbtConfirmar, "Confirmar"},
        {&sbtCancelar, "Cancelar"},
    };
    for (const auto& [button, hint] : buttons)
        button->setHint(u8(hint));
    mnuMenu.setCaption(QStringLiteral("&Menu"));
    const std::pair<ui::MenuItem*, ui::SpeedButton*> items[] = {
        {&mnuIncluir, &sbtIncluir},   {&mnuAlterar, &sbtAlterar},     {&mnuExcluir, &sbtExcluir},
        {&mnuImprimir, &sbtImprimir}, {&mnuVerificar, &sbtVerificar}, {&mnuConfirmar, &sbtConfirmar},
        {&mnuCancelar, &sbtCancelar},
    };
    // Each menu item does what its tool button does.
    for (const auto& [item, button] : items) {
        item->setCaption(QLatin1Char('&') + button->hint());
        item->onClick = [b = button](ui::Control&) { b->doClick(); };
    }
    pgcPadrao.setAlign(ui::Align::Client);
    pgcPadrao.setActivePage(&tshFolhaDados);
    dbgPadrao.setAlign(ui::Align::Client);
    dbgPadrao.setReadOnly(true);
    dbgPadrao.setDataSource(&dtsPadrao);
    onClose = [this](ui::Form&, CloseAction& action) { FormClose(action); };
}

TfrmRotiGeral::TfrmRotiGeral(const QString& name, const QString& caption, const QString& screenCode,
                             ui::UiServices* services)
    : ui::Form(name, services),
      panMenu(add<ui::Panel>(QStringLiteral("panMenu"))),
      panBotoes(panMenu.add<ui::Panel>(QStringLiteral("panBotoes"))),
      sbtConfirma(panBotoes.add<ui::Button>(QStringLiteral("sbtConfirma"))),
      sbtCancel(panBotoes.add<ui::Button>(QStringLiteral("sbtCancel"))),
      lblCodTela(panMenu.add<ui::Label>(QStringLiteral("lblCodTela"))),
      grbDadosRel(add<ui::GroupBox>(QStringLiteral("grbDadosRel"))) {
    setCaption(caption);
    lblCodTela.setCaption(screenCode);
    sbtConfirma.setCaption(QStringLiteral("Confirmar"));
    sbtCancel.setCaption(QStringLiteral("Cancelar"));
    grbDadosRel.setAlign(ui::Align::Client);
}

void TfrmRotiGeral::sbtCancelClick() {
    setModalResult(ui::ModalResult::Cancel);
}

// ---- controls from declarations ----

namespace {

ui::Control& createControl(ui::Container& parent, const ControlDecl& d) {
    using K = ControlKind;
    const QString name = u8(d.name);
    switch (d.kind) {
        case K::Panel:
            return parent.add<ui::Panel>(name);
        case K::GroupBox:
            return parent.add<ui::GroupBox>(name);
        case K::Label:
            return parent.add<ui::Label>(name);
        case K::Edit:
            return parent.add<ui::Edit>(name);
        case K::MaskEdit:
            return parent.add<ui::MaskEdit>(name);
        case K::NumberEdit:
            return parent.add<ui::NumberEdit>(name);
        case K::DateEdit:
            return parent.add<ui::DateEdit>(name);
        case K::Memo:
            return parent.add<ui::Memo>(name);
        case K::DbEdit:
            return parent.add<ui::DBEdit>(name);
        case K::Button:
            return parent.add<ui::Button>(name);
        case K::SpeedButton:
            return parent.add<ui::SpeedButton>(name);
        case K::LookupButton:
            return parent.add<ui::Button>(name, ui::ControlKind::LookupButton);
        case K::RadioButton:
            return parent.add<ui::RadioButton>(name);
        case K::MenuItem:
            return parent.add<ui::MenuItem>(name);
    }
    return parent.add<ui::Label>(name);
}

}  // namespace

void buildControls(ui::Form& form, const std::vector<ControlDecl>& controls) {
    for (const ControlDecl& d : controls) {
        ui::Container* parent = &form;
        if (*d.parent) {
            ui::Control* p = form.findControl(u8(d.parent));
            if (p != nullptr && p->isContainer())
                parent = static_cast<ui::Container*>(p);
        }
        ui::Control& c = createControl(*parent, d);
        if (*d.caption)
            c.setCaption(u8(d.caption));
        if (*d.hint)
            c.setHint(u8(d.hint));
        c.setEnabled(d.enabled);
        c.setVisible(d.visible);
        if (auto* edit = dynamic_cast<ui::Edit*>(&c)) {
            edit->setMaxLength(d.maxLength);
            if (d.readOnly)
                edit->setReadOnly(true);
        }
        if (auto* mask = dynamic_cast<ui::MaskEdit*>(&c); mask != nullptr && *d.editMask)
            mask->setEditMask(u8(d.editMask));
        if (auto* number = dynamic_cast<ui::NumberEdit*>(&c); number != nullptr && d.decimals >= 0)
            number->setDecimals(d.decimals);
        if (auto* radio = dynamic_cast<ui::RadioButton*>(&c); radio != nullptr && d.checked)
            radio->setChecked(true);
        if (auto* item = dynamic_cast<ui::MenuItem*>(&c); item != nullptr && *d.shortcut) {
            // Only "Ctrl+<letter>" shortcuts are declared.
            const QString text = u8(d.shortcut);
            item->setShortcut(ui::vk::KeyA + (text.back().toUpper().unicode() - u'A'),
                              ui::ShiftState{true, false});
        }
    }
}

}  // namespace ctb::ctb10000
