#pragma once

// The module's view of the host component library: the session the host hands over, the message
// catalog, the error that ends a user action, the read-only lookup query shown through data sources,
// the application-server connection, and the two base forms the screens derive from.
//
// These are the module's own small stand-ins, shaped after the host library's contract, so that the
// screens build and run on their own; each can be swapped for the host library's class of the same
// role without touching the screens' code beyond this header.

#include "entry_screen/declarations.h"
#include "platform/dataset/client_dataset.h"
#include "platform/net/http_client.h"
#include "platform/sql/query.h"
#include "platform/ui/data_controls.h"

#include <QDate>
#include <QLocale>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ctb::ctb10000 {

// What the host told the module about the user's session (SetSessao).
struct Session {
    QString company;                                   // EmprProc
    QString user;                                      // Operador
    QString serverHost = QStringLiteral("127.0.0.1");  // WebURL
    int serverPort = 0;                                // WebPort
    QString dbConnection;                              // the host's QtSql connection name
    QLocale locale{QLocale::Portuguese, QLocale::Brazil};
    std::optional<QDate> today;
    ui::UiServices* services = nullptr;
    QString accountPicture = QStringLiteral("9.9.99.999");

    [[nodiscard]] QDate currentDate() const { return today.value_or(QDate::currentDate()); }
    [[nodiscard]] QSqlDatabase database() const { return QSqlDatabase::database(dbConnection, false); }
};

// The module's one session; the launchers read it when they create a screen.
[[nodiscard]] Session& session();

[[nodiscard]] QString EmprProc();
[[nodiscard]] QString Operador();
[[nodiscard]] QString WebURL();
[[nodiscard]] int WebPort();

// Edit mask of account codes for picture type 2: the session's picture, digits required, literals
// stored, blank as fill ("9.9.99.999" gives "9.9.99.999;1; ").
[[nodiscard]] QString DBPict(int pictureType);

// A screen's catalog `msgPadrao`: lines of key, "|", text.
class TMessages {
  public:
    void setLines(const QStringList& lines);
    [[nodiscard]] const QStringList& lines() const { return lines_; }
    // The text of the key (exact match first, then ignoring case); for a key the catalog lacks, a text
    // naming the key so that the user still learns what went wrong.
    [[nodiscard]] QString Msg(const QString& key) const;
    [[nodiscard]] bool contains(const QString& key) const;

  private:
    QStringList lines_;
    std::map<QString, QString> texts_;
};

// Shows the text as an error and ends the current user action (throws ui::AbortAction).
[[noreturn]] void MensErro(ui::UiServices* services, const QString& text);

// A read-only lookup query on the host's shared connection. Its result is held as a read-only
// in-memory table, so data sources, grids and lookup dialogs show it like any table.
class TADOIBQuery : public ClientDataSet {
  public:
    explicit TADOIBQuery(const QueryDecl& decl);
    void setConnection(const QSqlDatabase& db);
    [[nodiscard]] const QueryDecl& declaration() const { return decl_; }
    [[nodiscard]] sql::Query& query() { return *query_; }
    [[nodiscard]] sql::Param& ParamByName(const QString& name) { return query_->paramByName(name); }
    // Runs the text with the current parameters; throws sql::SqlError when the database refuses it.
    void Open();
    void Close();
    [[nodiscard]] bool IsEmpty() const { return isEmpty(); }

  private:
    const QueryDecl& decl_;
    std::unique_ptr<sql::Query> query_;
};

// A connection to one remote data module of the application server. Opening does not throw: a
// failed attempt leaves it closed. A call on a closed connection first connects again (so a screen
// closed and shown again works as before); its before-connect handler runs before every attempt.
class TNetConnection {
  public:
    TNetConnection(QString name, QString serverName);
    ~TNetConnection();

    [[nodiscard]] const QString& name() const { return name_; }
    [[nodiscard]] const QString& serverName() const { return serverName_; }
    QString Host;
    int Port = 0;
    std::function<void(TNetConnection&)> onBeforeConnect;

    // Runs the before-connect handler and checks that the server answers. true when connected.
    bool open();
    void close();
    [[nodiscard]] bool connected() const { return connected_; }
    [[nodiscard]] int connectCount() const { return connectCount_; }

    // A late-bound call of a method of the remote data module.
    [[nodiscard]] net::CallResult call(const QString& method, const std::vector<wire::Value>& args);

  private:
    QString name_;
    QString serverName_;
    std::unique_ptr<net::HttpClient> client_;
    bool connected_ = false;
    int connectCount_ = 0;
};

// Base form of the maintenance screens (`TfrmPadrao`): tabs `pgcPadrao` with `tshFolhaDados`
// (browse grid `dbgPadrao` over `dtsPadrao`) and `tshFormulario`, the tool buttons with a menu item
// each under `mnuMenu`, the screen-code label `lblCodTela` and the catalog `msgPadrao`.
class TfrmPadrao : public ui::Form {
  public:
    TfrmPadrao(const QString& name, const QString& caption, const QString& screenCode,
               ui::UiServices* services);

    ui::Panel& panBotoes;
    ui::SpeedButton& sbtIncluir;
    ui::SpeedButton& sbtAlterar;
    ui::SpeedButton& sbtExcluir;
    ui::SpeedButton& sbtImprimir;  // the fifth tool button
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

  protected:
    // The base form's own steps; the screens' handlers of the same name run them first.
    virtual void FormCreate() {}
    virtual void FormClose(CloseAction& /*action*/) {}
};

// Base form of the dialogs (`TfrmRotiGeral`): `grbDadosRel` for the dialog's fields, `panMenu` with
// `panBotoes` holding `sbtConfirma` and `sbtCancel`, `lblCodTela` and `msgPadrao`.
class TfrmRotiGeral : public ui::Form {
  public:
    TfrmRotiGeral(const QString& name, const QString& caption, const QString& screenCode,
                  ui::UiServices* services);

    ui::Panel& panMenu;
    ui::Panel& panBotoes;
    ui::Button& sbtConfirma;
    ui::Button& sbtCancel;
    ui::Label& lblCodTela;
    ui::GroupBox& grbDadosRel;
    TMessages msgPadrao;
    int HelpContext = 0;

  protected:
    // The base cancel step: closes the dialog with Cancel.
    void sbtCancelClick();
};

// Builds the declared controls under the form, each inside its declared parent (a control of the
// form, or the form itself).
void buildControls(ui::Form& form, const std::vector<ControlDecl>& controls);

}  // namespace ctb::ctb10000
