#include "hostlib/host.h"

#include "platform/sql/query.h"

namespace ctb::hostlib {

// ---------------------------------------------------------------- session, messages

bool Session::setServer(const QString& hostPort) {
    const qsizetype colon = hostPort.lastIndexOf(u':');
    if (colon <= 0)
        return false;
    bool ok = false;
    const int port = hostPort.mid(colon + 1).toInt(&ok);
    if (!ok || port <= 0 || port > 65535)
        return false;
    WebURL = hostPort.left(colon);
    WebPort = port;
    return true;
}

void MensErro(ui::UiServices* services, const QString& text, bool /*beep*/) {
    if (services != nullptr)
        services->showError(text);
    throw ui::AbortAction();
}

void TMessages::setLines(const QStringList& lines) {
    texts_.clear();
    for (const QString& line : lines) {
        const qsizetype bar = line.indexOf(u'|');
        if (bar <= 0)
            continue;
        texts_[line.left(bar).trimmed()] = line.mid(bar + 1);
    }
}

QString TMessages::Msg(const QString& key) const {
    auto it = texts_.find(key.trimmed());
    if (it != texts_.end())
        return it->second;
    for (const auto& [k, text] : texts_)
        if (k.compare(key.trimmed(), Qt::CaseInsensitive) == 0)
            return text;
    return QStringLiteral("Mensagem não cadastrada: %1").arg(key);
}

bool TMessages::contains(const QString& key) const {
    for (const auto& [k, text] : texts_)
        if (k.compare(key.trimmed(), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// ---------------------------------------------------------------- server

TNetConnection::TNetConnection(QString name, QString serverName)
    : ServerName(std::move(serverName)), name_(std::move(name)) {}

TNetConnection::~TNetConnection() = default;

bool TNetConnection::open() {
    if (onBeforeConnect)
        onBeforeConnect(*this);
    if (Host.isEmpty() || Port <= 0) {
        connected_ = false;
        lastError_ = QStringLiteral(
            "O servidor de aplicação não está configurado (falta o endereço ou a porta). "
            "Informe-o ao iniciar o sistema (--server ENDEREÇO:PORTA).");
        return false;
    }
    net::ClientOptions options;
    options.connectTimeout = std::chrono::milliseconds(2000);
    if (!client_)
        client_ = std::make_unique<net::HttpClient>(Host.toStdString(), Port, options);
    else
        client_->setEndpoint(Host.toStdString(), Port);
    if (session != nullptr)
        client_->setBearerToken(session->token.toStdString());
    net::CallResult health;
    blocking([&] { health = client_->health(); });
    connected_ = health.ok;
    // The client's text names the server and says what to do: it is shown as it is, once.
    lastError_ = health.ok ? QString() : health.error;
    return connected_;
}

void TNetConnection::blocking(const std::function<void()>& work) {
    if (session != nullptr && session->services != nullptr)
        session->services->runBlocking(work);
    else
        work();
}

void TNetConnection::close() {
    if (client_)
        client_->close();
    connected_ = false;
}

net::CallResult TNetConnection::call(const QString& method, const std::vector<wire::Value>& args,
                                     const net::Headers& headers) {
    if (!connected_ && !open()) {
        net::CallResult failed;
        failed.ok = false;
        failed.transportFailed = true;
        failed.error = lastError_;
        return failed;
    }
    net::CallResult result;
    blocking([&] { result = client_->call(ServerName.toStdString(), method.toStdString(), args, headers); });
    if (result.transportFailed)
        connected_ = false;  // the next call tries to connect again
    return result;
}

wire::Value CheckResultServ(ui::UiServices* services, net::CallResult result, bool showError, int /*kind*/) {
    if (!result.ok) {
        const QString text = result.error.isEmpty()
                                 ? QStringLiteral("Falha na chamada ao servidor de aplicação.")
                                 : result.error;
        if (showError && services != nullptr)
            services->showError(text);
        throw ui::AbortAction();
    }
    return std::move(result.value);
}

void ActiveShowAvi(ui::UiServices* services, int /*kind*/) {
    if (services != nullptr)
        services->busyOn();
}

void DeactiveShowAvi(ui::UiServices* services) {
    if (services != nullptr)
        services->busyOff();
}

// ---------------------------------------------------------------- query

TADOIBQuery::TADOIBQuery(QString name, const QSqlDatabase& db, const QString& sqlText)
    : ClientDataSet(std::move(name)), query_(std::make_unique<sql::Query>(db, sqlText)) {
    setReadOnly(true);
}

TADOIBQuery::~TADOIBQuery() = default;

void TADOIBQuery::setConnection(const QSqlDatabase& db) {
    query_->setConnection(db);
    cached_.clear();
}

void TADOIBQuery::setSQL(const QString& sqlText) {
    close();
    query_->setSql(sqlText);
    cached_.clear();
}

sql::Param& TADOIBQuery::ParamByName(const QString& name) {
    return query_->paramByName(name);
}

namespace {
// Results of a lookup kept for its user action: small ones only (a code looked up again).
constexpr std::size_t kCachedRows = 64;
}  // namespace

QString TADOIBQuery::parameterKey() const {
    QString key;
    for (const QString& name : query_->paramNames()) {
        const sql::Param* p = query_->findParam(name);
        key += p == nullptr || p->isNull() ? QStringLiteral("\x01") : QStringLiteral("\x02") + p->asString();
        key += u'\x1f';
    }
    return key;
}

void TADOIBQuery::Open() {
    const std::uint64_t action = ui::userActionSerial();
    QString key;
    DataPacket packet;
    bool cached = false;
    if (action != 0) {
        if (action != cachedAction_) {
            cached_.clear();
            cachedAction_ = action;
        }
        key = parameterKey();
        if (const auto it = cached_.constFind(key); it != cached_.constEnd()) {
            packet = *it;
            cached = true;
        }
    }
    if (!cached) {
        query_->open();
        packet = query_->toPacket();
        query_->close();
        if (action != 0 && packet.rows.size() <= kCachedRows)
            cached_.insert(key, packet);
    }
    if (active())
        close();
    if (!keepsDeclaredFields_)
        clearFields();
    setData(std::move(packet));
}

// ---------------------------------------------------------------- account codes

bool ValidEx(const Session& session, DataSource* /*source*/, int pictureType, QString& code,
             const QString& /*options*/, const QString& /*emptyText*/, bool /*flag*/) {
    if (pictureType != ptContCtbl || EmptyString(code))
        return true;
    const std::optional<QString> normal = normaliseAccount(code, session.accountPicture);
    if (!normal)
        MensErro(session.services, QStringLiteral("Conta contábil inválida: %1. Formato: %2.")
                                       .arg(code.trimmed(), session.accountPicture));
    code = *normal;
    return true;
}

// ---------------------------------------------------------------- lookups

namespace {
std::pair<QString, QString> splitCaption(const QString& caption) {
    const qsizetype bar = caption.indexOf(u'|');
    if (bar < 0)
        return {caption, QStringLiteral("Nenhum registro encontrado.")};
    return {caption.left(bar), caption.mid(bar + 1)};
}
}  // namespace

bool Pesquisar(ui::UiServices* services, DataSource* source, const QString& caption, bool, bool,
               const QString& keyField) {
    ClientDataSet* table = source != nullptr ? source->dataSet() : nullptr;
    const auto [title, notFound] = splitCaption(caption);
    if (services == nullptr || table == nullptr)
        return false;
    if (!table->active() || table->isEmpty()) {
        services->showInformation(notFound);
        return false;
    }
    const std::vector<int> rows =
        services->lookup(ui::LookupRequest{title, notFound, table, keyField, {}, false});
    if (rows.empty())
        return false;
    table->setRecNo(rows.front() + 1);
    return true;
}

QString quotedList(const QStringList& keys) {
    QStringList parts;
    for (const QString& k : keys) {
        QString q = k;
        q.replace(u'\'', QStringLiteral("''"));
        parts << QLatin1Char('\'') + q + QLatin1Char('\'');
    }
    return parts.join(u',');
}

QString PesquisaLista(ui::UiServices* services, DataSource* source, const QString& keyField,
                      const QString& caption, QString& out, bool) {
    out.clear();
    ClientDataSet* table = source != nullptr ? source->dataSet() : nullptr;
    const auto [title, notFound] = splitCaption(caption);
    if (services == nullptr || table == nullptr)
        return out;
    if (!table->active() || table->isEmpty()) {
        services->showInformation(notFound);
        return out;
    }
    const Field* key = table->findField(keyField);
    if (key == nullptr)
        return out;
    const std::vector<int> rows =
        services->lookup(ui::LookupRequest{title, notFound, table, keyField, {}, true});
    QStringList keys;
    for (int r : rows)
        keys << table->textAt(r, key->index()).trimmed();
    out = quotedList(keys);
    return out;
}

TBtnPesquisa::TBtnPesquisa(QString name) : ui::Button(std::move(name), ui::ControlKind::LookupButton) {}

void TBtnPesquisa::doClick() {
    if (onClick)
        onClick(*this);
    bool allow = true;
    if (BeforePesq)
        BeforePesq(*this, allow);
    if (!allow)
        return;
    ui::Form* f = form();
    const QString caption =
        title + QLatin1Char('|') +
        (notFoundText.isEmpty() ? QStringLiteral("Nenhum registro encontrado.") : notFoundText);
    if (Pesquisar(f != nullptr ? f->services() : nullptr, dataSource_, caption, false, true, keyField) &&
        AfterPesq)
        AfterPesq(*this);
}

// ---------------------------------------------------------------- edits

void TDateEditPlus::CheckValidDate() {
    const std::optional<QDate> d = date();
    if (!d || d->isValid())
        return;
    setFocus();
    ui::Form* f = form();
    MensErro(f != nullptr ? f->services() : nullptr, QStringLiteral("Data inválida: %1.").arg(text()));
}

QDate TDateEditPlus::GetDate() const {
    const std::optional<QDate> d = date();
    return d && d->isValid() ? *d : QDate();
}

// ---------------------------------------------------------------- forms

void SetChildEnabled(ui::Container& container, bool enabled) {
    for (ui::Control* c : container.children()) {
        c->setEnabled(enabled);
        if (c->isContainer())
            SetChildEnabled(*static_cast<ui::Container*>(c), enabled);
    }
}

namespace {
ui::MenuItem& menuItem(ui::MenuItem& menu, const QString& name, const QString& caption, int key = 0,
                       ui::ShiftState shift = {}) {
    auto& item = menu.add<ui::MenuItem>(name);
    item.setText(caption);
    if (key != 0)
        item.setShortcut(key, shift);
    return item;
}
ui::SpeedButton& toolButton(ui::Panel& panel, const QString& name, const QString& caption, int left) {
    auto& b = panel.add<ui::SpeedButton>(name);
    b.setText(caption);
    b.setGeometry(left, 2, 80, 26);
    return b;
}
}  // namespace

TfrmPadrao::TfrmPadrao(const QString& name, const QString& caption, const QString& screenCode, Session& s)
    : ui::Form(name, s.services),
      session(s),
      panBotoes(add<ui::Panel>(QStringLiteral("panBotoes"))),
      sbtIncluir(toolButton(panBotoes, QStringLiteral("sbtIncluir"), QStringLiteral("Incluir"), 4)),
      sbtAlterar(toolButton(panBotoes, QStringLiteral("sbtAlterar"), QStringLiteral("Alterar"), 88)),
      sbtExcluir(toolButton(panBotoes, QStringLiteral("sbtExcluir"), QStringLiteral("Excluir"), 172)),
      sbtImprimir(toolButton(panBotoes, QStringLiteral("sbtImprimir"), QStringLiteral("Imprimir"), 256)),
      sbtVerificar(toolButton(panBotoes, QStringLiteral("sbtVerificar"), QStringLiteral("Verificar"), 340)),
      sbtConfirmar(toolButton(panBotoes, QStringLiteral("sbtConfirmar"), QStringLiteral("Confirmar"), 424)),
      sbtCancelar(toolButton(panBotoes, QStringLiteral("sbtCancelar"), QStringLiteral("Cancelar"), 508)),
      lblCodTela(panBotoes.add<ui::Label>(QStringLiteral("lblCodTela"))),
      mnuMenu(add<ui::MenuItem>(QStringLiteral("mnuMenu"))),
      // Every record action within reach of the keyboard: the menu's letters (Alt+M, then the letter)
      // and, for the actions of every few seconds, a shortcut that no edit or grid takes for itself.
      mnuIncluir(menuItem(mnuMenu, QStringLiteral("mnuIncluir"), QStringLiteral("&Incluir"),
                          ui::vk::KeyA + ('N' - 'A'), ui::ShiftState{true, false})),
      mnuAlterar(menuItem(mnuMenu, QStringLiteral("mnuAlterar"), QStringLiteral("&Alterar"),
                          ui::vk::KeyA + ('E' - 'A'), ui::ShiftState{true, false})),
      mnuExcluir(menuItem(mnuMenu, QStringLiteral("mnuExcluir"), QStringLiteral("&Excluir"))),
      mnuImprimir(menuItem(mnuMenu, QStringLiteral("mnuImprimir"), QStringLiteral("Im&primir"),
                           ui::vk::KeyA + ('P' - 'A'), ui::ShiftState{true, false})),
      mnuVerificar(
          menuItem(mnuMenu, QStringLiteral("mnuVerificar"), QStringLiteral("&Verificar"), ui::vk::F1 + 4)),
      mnuConfirmar(menuItem(mnuMenu, QStringLiteral("mnuConfirmar"), QStringLiteral("&Confirmar"),
                            ui::vk::KeyA + ('S' - 'A'), ui::ShiftState{true, false})),
      mnuCancelar(menuItem(mnuMenu, QStringLiteral("mnuCancelar"), QStringLiteral("Ca&ncelar"))),
      pgcPadrao(add<ui::PageControl>(QStringLiteral("pgcPadrao"))),
      tshFolhaDados(pgcPadrao.addPage(QStringLiteral("tshFolhaDados"), QStringLiteral("Folha de Dados"))),
      dbgPadrao(tshFolhaDados.add<ui::DBGrid>(QStringLiteral("dbgPadrao"))),
      tshFormulario(pgcPadrao.addPage(QStringLiteral("tshFormulario"), QStringLiteral("Formulário"))) {
    setText(caption);
    setGeometry(0, 0, 800, 600);
    mnuMenu.setText(QStringLiteral("&Menu"));
    panBotoes.setAlign(ui::Align::Top);
    panBotoes.setGeometry(0, 0, 800, 30);
    lblCodTela.setText(screenCode);
    // The screen code keeps to the right end of the button strip whatever the window's width.
    lblCodTela.setAlign(ui::Align::Right);
    lblCodTela.setGeometry(0, 0, 90, 30);
    pgcPadrao.setAlign(ui::Align::Client);
    dbgPadrao.setAlign(ui::Align::Client);
    dbgPadrao.setDataSource(&dtsPadrao);
    dbgPadrao.setReadOnly(true);
    // Menu items run the tool buttons they stand for.
    const std::pair<ui::MenuItem*, ui::SpeedButton*> pairs[] = {
        {&mnuIncluir, &sbtIncluir},   {&mnuAlterar, &sbtAlterar},     {&mnuExcluir, &sbtExcluir},
        {&mnuImprimir, &sbtImprimir}, {&mnuVerificar, &sbtVerificar}, {&mnuConfirmar, &sbtConfirmar},
        {&mnuCancelar, &sbtCancelar}};
    for (auto [item, button] : pairs)
        item->onClick = [button](ui::Control&) {
            if (button->effectivelyEnabled())
                button->doClick();
        };
    onClose = [this](ui::Form&, CloseAction& action) { FormClose(action); };
    pgcPadrao.onChange = [this](ui::Control&) { pgcPadraoChange(); };
    sbtConfirmar.onClick = [this](ui::Control&) { sbtConfirmarClick(); };
    sbtCancelar.onClick = [this](ui::Control&) { sbtCancelarClick(); };
}

void TfrmPadrao::FormCreate() {
    pgcPadrao.setActivePage(&tshFolhaDados);
}
void TfrmPadrao::FormClose(CloseAction& action) {
    action = CloseAction::Hide;
}
void TfrmPadrao::pgcPadraoChange() {}
void TfrmPadrao::sbtConfirmarClick() {}
void TfrmPadrao::sbtCancelarClick() {}

TfrmRotiGeral::TfrmRotiGeral(const QString& name, const QString& caption, const QString& screenCode,
                             Session& s)
    : ui::Form(name, s.services),
      session(s),
      grbDadosRel(add<ui::GroupBox>(QStringLiteral("grbDadosRel"))),
      panMenu(add<ui::Panel>(QStringLiteral("panMenu"))),
      panBotoes(panMenu.add<ui::Panel>(QStringLiteral("panBotoes"))),
      sbtConfirma(panBotoes.add<ui::SpeedButton>(QStringLiteral("sbtConfirma"))),
      sbtCancel(panBotoes.add<ui::SpeedButton>(QStringLiteral("sbtCancel"))),
      lblCodTela(panMenu.add<ui::Label>(QStringLiteral("lblCodTela"))) {
    setText(caption);
    setGeometry(0, 0, 500, 360);
    panMenu.setAlign(ui::Align::Bottom);
    panMenu.setGeometry(0, 320, 500, 40);
    panBotoes.setAlign(ui::Align::Right);
    panBotoes.setGeometry(300, 0, 200, 40);
    sbtConfirma.setText(QStringLiteral("Confirmar"));
    sbtConfirma.setGeometry(8, 6, 90, 28);
    sbtCancel.setText(QStringLiteral("Cancelar"));
    sbtCancel.setGeometry(104, 6, 90, 28);
    lblCodTela.setText(screenCode);
    lblCodTela.setGeometry(8, 12, 80, 16);
    grbDadosRel.setAlign(ui::Align::Client);
    sbtCancel.onClick = [this](ui::Control&) { sbtCancelClick(); };
    // The dialog's buttons never take the focus, so the keyboard reaches them here: Ctrl+S confirms
    // (as Ctrl+S confirms on the screens), Escape cancels.
    keyPreview = true;
    onKeyDown = [this](ui::Control&, int& key, ui::ShiftState shift) {
        ui::SpeedButton* button = nullptr;
        if (key == ui::vk::Escape && !shift.ctrl && !shift.shift)
            button = &sbtCancel;
        else if (key == ui::vk::KeyA + ('S' - 'A') && shift.ctrl && !shift.shift)
            button = &sbtConfirma;
        if (button == nullptr || !button->effectivelyEnabled())
            return;
        key = 0;
        button->doClick();
    };
}

void TfrmRotiGeral::FormCreate() {}
void TfrmRotiGeral::sbtCancelClick() {
    setModalResult(ui::ModalResult::Cancel);
}

}  // namespace ctb::hostlib
