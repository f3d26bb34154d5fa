#pragma once

// The host library's session, message catalog, action-ending error, server connection, lookup
// query, lookups, edits and base forms. Everything the screens need from the host is passed in
// (the Session object and the UI services); the library keeps no global state.

#include "hostlib/export.h"
#include "hostlib/utils.h"
#include "platform/dataset/client_dataset.h"
#include "platform/net/http_client.h"
#include "platform/ui/data_controls.h"
#include "platform/ui/dispatch.h"
#include "platform/ui/services.h"

#include <QDate>
#include <QLocale>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace ctb::sql {
class Query;
class Param;
}  // namespace ctb::sql

namespace ctb::hostlib {

// ---------------------------------------------------------------- session

class CTB_HOSTLIB_EXPORT Session {
  public:
    QString EmprProc;  // the current company
    QString Operador;  // the user's code
    QString WebURL = QStringLiteral("127.0.0.1");
    int WebPort = 0;
    QLocale locale{QLocale::Portuguese, QLocale::Brazil};
    QString accountPicture = QString::fromLatin1(kDefaultAccountPicture);
    std::optional<QDate> today;  // fixed by scripts; the real date otherwise
    QString dbConnection;        // name of the shared QtSql connection
    ui::UiServices* services = nullptr;
    QString token;  // bearer token the server calls carry; empty: none (the embedded default)

    [[nodiscard]] QDate currentDate() const { return today.value_or(QDate::currentDate()); }
    [[nodiscard]] QSqlDatabase database() const { return QSqlDatabase::database(dbConnection, false); }
    // "host:port" into WebURL and WebPort; false (nothing changed) when the text is not of that form.
    bool setServer(const QString& hostPort);
    [[nodiscard]] QString DBPict(int pictureType) const { return DBPictFor(accountPicture, pictureType); }
};

// ---------------------------------------------------------------- messages

// Shows the text as an error through the services, then ends the current user action.
[[noreturn]] CTB_HOSTLIB_EXPORT void MensErro(ui::UiServices* services, const QString& text,
                                              bool beep = true);

// A screen's catalog: lines of key, "|", text. A key the catalog lacks gives
// "Mensagem não cadastrada: KEY" so the user still learns which check failed.
class CTB_HOSTLIB_EXPORT TMessages {
  public:
    TMessages() = default;
    explicit TMessages(const QStringList& lines) { setLines(lines); }
    void setLines(const QStringList& lines);
    [[nodiscard]] QString Msg(const QString& key) const;
    [[nodiscard]] bool contains(const QString& key) const;

  private:
    std::map<QString, QString> texts_;
};

// ---------------------------------------------------------------- server

// A connection to a remote data module. Host and port are set by onBeforeConnect immediately before
// each connection attempt. A failed connection raises nothing; a call over it comes back as a failed
// result with a Portuguese message, which CheckResultServ reports.
class CTB_HOSTLIB_EXPORT TNetConnection {
  public:
    TNetConnection(QString name, QString serverName);
    ~TNetConnection();
    TNetConnection(const TNetConnection&) = delete;
    TNetConnection& operator=(const TNetConnection&) = delete;

    [[nodiscard]] const QString& name() const { return name_; }
    QString ServerName;
    QString Host;
    int Port = 0;
    std::function<void(TNetConnection&)> onBeforeConnect;
    // The session whose UI services run the blocking requests (the window keeps painting); null: inline.
    Session* session = nullptr;

    bool open();  // runs onBeforeConnect, then checks the server answers; false on failure
    void close();
    [[nodiscard]] bool connected() const { return connected_; }
    // Connects first when closed (running onBeforeConnect again).
    [[nodiscard]] net::CallResult call(const QString& method, const std::vector<wire::Value>& args,
                                       const net::Headers& headers = {});
    // The UI services that show a failed call's message (the session's); null without a session.
    [[nodiscard]] ui::UiServices* services() const {
        return session != nullptr ? session->services : nullptr;
    }

  private:
    void blocking(const std::function<void()>& work);

    QString name_;
    std::unique_ptr<net::HttpClient> client_;
    bool connected_ = false;
    QString lastError_;
};

// The result's payload; a failed result is shown as an error and ends the action.
CTB_HOSTLIB_EXPORT wire::Value CheckResultServ(ui::UiServices* services, net::CallResult result,
                                               bool showError = true, int kind = 0);

// Busy animation around long server calls (nesting counted by the services).
CTB_HOSTLIB_EXPORT void ActiveShowAvi(ui::UiServices* services, int kind = 0);
CTB_HOSTLIB_EXPORT void DeactiveShowAvi(ui::UiServices* services);
// The busy animation for the span of a scope, hidden again on every way out.
class ShowAviScope {
  public:
    explicit ShowAviScope(ui::UiServices* services, int kind = 0) : services_(services) {
        ActiveShowAvi(services_, kind);
    }
    ~ShowAviScope() { DeactiveShowAvi(services_); }
    ShowAviScope(const ShowAviScope&) = delete;
    ShowAviScope& operator=(const ShowAviScope&) = delete;

  private:
    ui::UiServices* services_;
};

// ---------------------------------------------------------------- query

// A read-only query on the shared connection whose result is held as a read-only in-memory table,
// so data sources, grids and lookups show it like any table.
class CTB_HOSTLIB_EXPORT TADOIBQuery : public ClientDataSet {
  public:
    explicit TADOIBQuery(QString name, const QSqlDatabase& db = {}, const QString& sqlText = {});
    ~TADOIBQuery();
    void setConnection(const QSqlDatabase& db);
    void setSQL(const QString& sqlText);
    [[nodiscard]] sql::Param& ParamByName(const QString& name);
    // Throws sql::SqlError when the database refuses the text.
    void Open();
    void Close() { close(); }
    [[nodiscard]] bool IsEmpty() const { return isEmpty(); }
    [[nodiscard]] sql::Query& query() { return *query_; }

  protected:
    // Fields declared by the owner (labels, masks, display handlers) stay across every Open;
    // otherwise each Open takes the result's fields.
    bool keepsDeclaredFields_ = false;

  private:
    std::unique_ptr<sql::Query> query_;
};

// ---------------------------------------------------------------- account codes

// Checks and normalises a typed account code against the session's picture (normaliseAccount).
// An empty code passes unchanged (callers decide whether it may be empty). A code that does not fit
// is reported ("Conta contábil inválida: CODE. Formato: PICTURE.") and ends the action; on success
// `code` holds the normalised code. The callers look the account up themselves.
CTB_HOSTLIB_EXPORT bool ValidEx(const Session& session, DataSource* source, int pictureType, QString& code,
                                const QString& options = {}, const QString& emptyText = {},
                                bool flag = false);

// ---------------------------------------------------------------- lookups

// caption: "title|not-found message". Shows the not-found message (information) when the table is
// empty. true when a row was picked; the table then stands on it.
CTB_HOSTLIB_EXPORT bool Pesquisar(ui::UiServices* services, DataSource* source, const QString& caption,
                                  bool unused1 = false, bool unused2 = true, const QString& keyField = {});
// Multi-pick: the picked keys as 'K1','K2' (single quotes, a quote inside a key doubled), also put
// into `out`; empty when nothing was picked.
CTB_HOSTLIB_EXPORT QString PesquisaLista(ui::UiServices* services, DataSource* source,
                                         const QString& keyField, const QString& caption, QString& out,
                                         bool unused = false);
// The list form on its own: keys quoted and joined by commas.
[[nodiscard]] CTB_HOSTLIB_EXPORT QString quotedList(const QStringList& keys);

// The lookup button beside an edit: BeforePesq may refuse, then Pesquisar, then AfterPesq.
class CTB_HOSTLIB_EXPORT TBtnPesquisa : public ui::Button {
  public:
    explicit TBtnPesquisa(QString name);
    void SetDataSource(DataSource* source) { dataSource_ = source; }
    [[nodiscard]] DataSource* dataSource() const { return dataSource_; }
    QString title;
    QString notFoundText;
    QString keyField;
    std::function<void(ui::Control& sender, bool& allow)> BeforePesq;
    std::function<void(ui::Control& sender)> AfterPesq;
    void doClick() override;

  private:
    DataSource* dataSource_ = nullptr;
};

// ---------------------------------------------------------------- edits

class CTB_HOSTLIB_EXPORT TNumberEdit : public ui::NumberEdit {
  public:
    using ui::NumberEdit::NumberEdit;
    [[nodiscard]] double GetNumber() const { return number(); }
    void SetNumber(double value) { setNumber(value); }
};

class CTB_HOSTLIB_EXPORT TDateEditPlus : public ui::DateEdit {
  public:
    using ui::DateEdit::DateEdit;
    // An invalid date is reported ("Data inválida.") with the focus on this edit and ends the action;
    // an empty date is valid.
    void CheckValidDate();
    [[nodiscard]] QDate GetDate() const;  // null when empty or invalid
    void SetDate(const QDate& date) { setDate(date); }
};

// ---------------------------------------------------------------- forms

// Enables or disables every control inside the container (not the container itself).
CTB_HOSTLIB_EXPORT void SetChildEnabled(ui::Container& container, bool enabled);

// Base form of the maintenance screens.
class CTB_HOSTLIB_EXPORT TfrmPadrao : public ui::Form {
  public:
    TfrmPadrao(const QString& name, const QString& caption, const QString& screenCode, Session& session);
    Session& session;
    ui::Panel& panBotoes;
    ui::SpeedButton& sbtIncluir;
    ui::SpeedButton& sbtAlterar;
    ui::SpeedButton& sbtExcluir;
    ui::SpeedButton& sbtImprimir;
    ui::SpeedButton& sbtVerificar;
    ui::SpeedButton& sbtConfirmar;
    ui::SpeedButton& sbtCancelar;
    ui::Label& lblCodTela;
    ui::MenuItem& mnuMenu;
    ui::MenuItem& mnuIncluir;
    ui::MenuItem& mnuAlterar;
    ui::MenuItem& mnuExcluir;
    ui::MenuItem& mnuImprimir;
    ui::MenuItem& mnuVerificar;
    ui::MenuItem& mnuConfirmar;
    ui::MenuItem& mnuCancelar;
    ui::PageControl& pgcPadrao;
    ui::TabSheet& tshFolhaDados;
    ui::DBGrid& dbgPadrao;
    ui::TabSheet& tshFormulario;
    DataSource dtsPadrao{nullptr, QStringLiteral("dtsPadrao")};
    TMessages msgPadrao;

    // The base steps; the screens' handlers of the same name call them first.
    virtual void FormCreate();
    virtual void FormClose(CloseAction& action);
    virtual void pgcPadraoChange();
    virtual void sbtConfirmarClick();
    virtual void sbtCancelarClick();
};

// Base form of the dialogs.
class CTB_HOSTLIB_EXPORT TfrmRotiGeral : public ui::Form {
  public:
    TfrmRotiGeral(const QString& name, const QString& caption, const QString& screenCode, Session& session);
    Session& session;
    ui::GroupBox& grbDadosRel;
    ui::Panel& panMenu;
    ui::Panel& panBotoes;
    ui::SpeedButton& sbtConfirma;
    ui::SpeedButton& sbtCancel;
    ui::Label& lblCodTela;
    TMessages msgPadrao;

    virtual void FormCreate();
    // Closes the dialog with Cancel.
    virtual void sbtCancelClick();
};

}  // namespace ctb::hostlib
