#include "tools/uiscript/module_app.h"

#include "audit_dialog/audit_trail_dialog.h"
#include "entry_screen/cli_ctb10000.h"
#include "filter_dialog/cli_ctb10010.h"
#include "module/pkg_ctb10000.h"
#include "platform/sql/database.h"

#include <QByteArray>

namespace ctb::uiscript {
namespace {

const QString kConnection = QStringLiteral("ctb_uiscript");

class ModuleApplication : public Application {
  public:
    ~ModuleApplication() override {
        if (initialized_)
            Finalize();
        database_.reset();
    }

    void open(const SessionOptions& session, ui::UiServices& services) override {
        if (initialized_) {
            IniProc();
            return;
        }
        if (session.db.isEmpty())
            throw BackendError(QStringLiteral("a sessão não indica o banco de dados (db=)"));
        try {
            database_ = sql::openDatabase(session.db, kConnection);
        } catch (const std::exception& e) {
            throw BackendError(
                QStringLiteral("banco de dados %1: %2").arg(session.db, QString::fromUtf8(e.what())));
        }
        QString host = QStringLiteral("127.0.0.1");
        int port = 0;
        if (!session.server.isEmpty()) {
            const qsizetype colon = session.server.lastIndexOf(u':');
            bool ok = false;
            port = colon > 0 ? session.server.mid(colon + 1).toInt(&ok) : 0;
            if (!ok || port <= 0 || port > 65535)
                throw BackendError(QStringLiteral("servidor inválido em server=: %1").arg(session.server));
            host = session.server.left(colon);
        }
        const QByteArray company = session.company.toUtf8();
        const QByteArray user = session.user.toUtf8();
        const QByteArray hostBytes = host.toUtf8();
        const QByteArray connection = kConnection.toUtf8();
        const QByteArray locale = session.locale.toUtf8();
        const QByteArray today =
            session.today.isValid() ? session.today.toString(Qt::ISODate).toUtf8() : QByteArray();
        const QByteArray picture = session.accountPicture.toUtf8();
        const CtbSessao s{sizeof(CtbSessao),
                          company.constData(),
                          user.constData(),
                          hostBytes.constData(),
                          port,
                          connection.constData(),
                          locale.constData(),
                          today.constData(),
                          &services,
                          picture.constData(),
                          nullptr};  // no token: the scripts' servers run the embedded default
        Initialize();
        initialized_ = true;
        if (SetSessao(&s) != 0)
            throw BackendError(QStringLiteral("o módulo recusou a sessão"));
        IniProc();
    }

    ClientDataSet* findTable(const QString& name) override {
        // While the filter dialog is up its own queries come first (two share a name with the screen's).
        const bool dialogFirst = frmLancFiltro != nullptr && frmLancFiltro->isShowing();
        if (dialogFirst)
            if (ClientDataSet* t = dialogTable(name))
                return t;
        if (frmLancamento != nullptr)
            if (ClientDataSet* t = frmLancamento->tableByName(name))
                return t;
        return dialogFirst ? nullptr : dialogTable(name);
    }

    std::optional<bool> flag(const QString& name) override {
        ctb10000::TfrmLancamento* f = frmLancamento;
        if (f == nullptr)
            return std::nullopt;
        const std::pair<const char*, bool> flags[] = {{"FNavegacao", f->FNavegacao},
                                                      {"FFiltroCriado", f->FFiltroCriado},
                                                      {"FIncluindo", f->FIncluindo},
                                                      {"FCarregando", f->FCarregando},
                                                      {"FAlterado", f->FAlterado},
                                                      {"FConfirmado", f->FConfirmado},
                                                      {"FLadoDebito", f->FLadoDebito},
                                                      {"FLadoCredito", f->FLadoCredito},
                                                      {"FAreaGerencial", f->FAreaGerencial},
                                                      {"boCriado", boCriado},
                                                      {"boIdCriado", boIdCriado}};
        for (const auto& [flagName, value] : flags)
            if (name.compare(QLatin1String(flagName), Qt::CaseInsensitive) == 0)
                return value;
        return std::nullopt;
    }

  private:
    static ClientDataSet* dialogTable(const QString& name) {
        if (frmHistAlteracoes != nullptr &&
            frmHistAlteracoes->cdsHistAlteracoes.name().compare(name, Qt::CaseInsensitive) == 0)
            return &frmHistAlteracoes->cdsHistAlteracoes;
        ctb10000::TfrmLancFiltro* d = frmLancFiltro;
        if (d == nullptr)
            return nullptr;
        for (ClientDataSet* t :
             {static_cast<ClientDataSet*>(&d->qryContCtbl), static_cast<ClientDataSet*>(&d->qryContOp),
              static_cast<ClientDataSet*>(&d->qryFilial), static_cast<ClientDataSet*>(&d->qryCentCust),
              &d->cdsData})
            if (t->name().compare(name, Qt::CaseInsensitive) == 0)
                return t;
        return nullptr;
    }

    std::unique_ptr<sql::Database> database_;
    bool initialized_ = false;
};

}  // namespace

std::unique_ptr<Application> makeModuleApplication() {
    return std::make_unique<ModuleApplication>();
}

}  // namespace ctb::uiscript
