// Package `Pkg_ctb10000`: the exported launchers and module state.
#include "module/pkg_ctb10000.h"

#include "audit_dialog/audit_trail_dialog.h"
#include "entry_screen/cli_ctb10000.h"
#include "filter_dialog/cli_ctb10010.h"
#include "history_dialog/cli_ctb10020.h"
#include "platform/ui/dispatch.h"

#include <cstddef>
#include <memory>
#include <vector>

using ctb::ctb10000::TfrmHistAlteracoes;
using ctb::ctb10000::TfrmHistLanc;
using ctb::ctb10000::TfrmLancamento;
using ctb::ctb10000::TfrmLancFiltro;

extern "C" {
CTB_EXPORT TfrmLancamento* frmLancamento = nullptr;
CTB_EXPORT bool boCriado = false;
CTB_EXPORT TfrmLancFiltro* frmLancFiltro = nullptr;
CTB_EXPORT TfrmHistLanc* frmHistLanc = nullptr;
CTB_EXPORT bool boIdCriado = false;
CTB_EXPORT bool boFrmClose = false;
CTB_EXPORT TfrmHistAlteracoes* frmHistAlteracoes = nullptr;
}

namespace {

// The user's session, given by the host through SetSessao; every screen is created with it.
ctb::hostlib::Session& session() {
    static ctb::hostlib::Session current;
    return current;
}

// Stands for the host application object that owns every created screen: replaced instances are kept
// until the module is finalised, as the owner would keep them.
std::vector<std::unique_ptr<ctb::ui::Form>>& ownedForms() {
    static std::vector<std::unique_ptr<ctb::ui::Form>> forms;
    return forms;
}

template <typename T>
T* own(std::unique_ptr<T> form) {
    T* raw = form.get();
    ownedForms().push_back(std::move(form));
    return raw;
}

// The hourglass for the duration of a launcher: the busy state of the UI services, whose Qt form is
// the wait cursor.
class Hourglass {
  public:
    Hourglass() : busy_(session().services) {}

  private:
    ctb::ui::BusyScope busy_;
};

int initializeCount = 0;

// The journal-entry screen's dialogs, kept in the module's state by the launchers.
ctb::ctb10000::LancamentoDialogs lancamentoDialogs() {
    ctb::ctb10000::LancamentoDialogs d;
    d.CriaLancFiltro = [] { CriaLancFiltro(); };
    d.criterios = []() -> const ctb::ctb10000::LancFilterArgs* {
        return frmLancFiltro != nullptr ? &frmLancFiltro->FCriterios : nullptr;
    };
    d.abreHistorico = [] {
        // A new dialog on every click, so it shows the line that is current now.
        frmHistLanc = own(std::make_unique<TfrmHistLanc>(session(), frmLancamento));
        frmHistLanc->create();
        frmHistLanc->showModal();
    };
    d.mostraHistAlteracoes = [](const QString& nrLancCont, ctb::DataPacket trail) {
        frmHistAlteracoes =
            own(std::make_unique<TfrmHistAlteracoes>(session(), nrLancCont, std::move(trail)));
        frmHistAlteracoes->create();
        frmHistAlteracoes->showModal();
    };
    return d;
}

}  // namespace

extern "C" {

int SetSessao(const CtbSessao* s) {
    if (s == nullptr || s->size < sizeof(std::uint32_t) + 8 * sizeof(void*) || s->uiServices == nullptr)
        return -1;
    auto text = [](const char* t) { return t == nullptr ? QString() : QString::fromUtf8(t); };
    ctb::hostlib::Session& out = session();
    out.EmprProc = text(s->company);
    out.Operador = text(s->user);
    out.WebURL = text(s->serverHost).isEmpty() ? QStringLiteral("127.0.0.1") : text(s->serverHost);
    out.WebPort = s->serverPort;
    out.dbConnection = text(s->dbConnection);
    const QString locale = text(s->locale);
    out.locale = locale.isEmpty() ? QLocale(QLocale::Portuguese, QLocale::Brazil) : QLocale(locale);
    const QDate today = QDate::fromString(text(s->today), Qt::ISODate);
    out.today = today.isValid() ? std::optional<QDate>(today) : std::nullopt;
    out.services = static_cast<ctb::ui::UiServices*>(s->uiServices);
    // Fields added at the end are read only when the host's struct has them.
    auto has = [s](std::size_t offset) { return s->size >= offset + sizeof(const char*); };
    if (has(offsetof(CtbSessao, accountPicture)) && s->accountPicture != nullptr &&
        *s->accountPicture != '\0')
        out.accountPicture = text(s->accountPicture);
    out.token = has(offsetof(CtbSessao, token)) ? text(s->token) : QString();
    return 0;
}

void IniProc() {
    CriaLancamentos();
}

void CriaLancamentos() {
    {
        Hourglass hourglass;
        if (!boCriado) {
            frmLancamento = own(std::make_unique<TfrmLancamento>(session(), lancamentoDialogs()));
            boCriado = true;
            // A failing step (company not found) was shown; the screen opens all the same.
            ctb::ui::runUserAction(session().services, [] { frmLancamento->create(); });
        }
    }
    frmLancamento->show();
}

int CriaLancFiltro() {
    if (frmLancamento == nullptr)
        return static_cast<int>(ctb::ui::ModalResult::Cancel);
    if (!frmLancamento->FFiltroCriado) {
        frmLancFiltro = own(std::make_unique<TfrmLancFiltro>(session(), *frmLancamento));
        frmLancamento->FFiltroCriado = true;
        frmLancFiltro->create();
    }
    return static_cast<int>(frmLancFiltro->showModal());
}

void CriaHistorico() {
    Hourglass hourglass;
    if (!boIdCriado) {
        frmHistLanc = own(std::make_unique<TfrmHistLanc>(session(), frmLancamento));
        boIdCriado = true;
        frmHistLanc->create();
    }
    frmHistLanc->showModal();
}

const CtbPackageInfo* GetPackageInfoTable() {
    static const char* const units[] = {"Pkg_ctb10000", "Cli_ctb10020", "Cli_ctb10000", "Cli_ctb10010",
                                        nullptr};
    static const char* const requires_[] = {"ctb_hostlib", nullptr};
    static const CtbPackageInfo info{"PKG_CTB10000", units, requires_};
    return &info;
}

void Initialize() {
    ++initializeCount;
}

void Finalize() {
    if (initializeCount > 0)
        --initializeCount;
    if (initializeCount > 0)
        return;
    // Dialogs refer to the screen: free them first.
    frmLancFiltro = nullptr;
    frmHistLanc = nullptr;
    frmLancamento = nullptr;
    auto& forms = ownedForms();
    while (!forms.empty())
        forms.pop_back();
    boCriado = false;
    boIdCriado = false;
}
}
