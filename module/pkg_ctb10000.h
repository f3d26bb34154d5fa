#pragma once

// The entry points of the module PKG_CTB10000, exported with C linkage so that the host reaches them
// by name (dlopen/dlsym, QLibrary::resolve). Every launcher runs on the host's UI thread.
//
// Order for a host:
//   1. Initialize()                           once after loading
//   2. SetSessao(&session)                    the user's session (again whenever it changes)
//   3. IniProc()                              opens "Lançamentos Contábeis"; call again to bring it forward
//   4. Finalize()                             before unloading
//
// Module state is exported as variables: dlsym("frmLancamento") gives the address of the pointer.

#include <cstdint>

#define CTB_EXPORT __attribute__((visibility("default")))

namespace ctb::ctb10000 {
class TfrmLancamento;
class TfrmLancFiltro;
class TfrmHistLanc;
class TfrmHistAlteracoes;
}  // namespace ctb::ctb10000

extern "C" {

// The session a host hands to the module. Texts are UTF-8 and copied; null or empty means "not given".
// `size` is sizeof(CtbSessao) as the host compiled it, so that fields may be added at the end.
struct CtbSessao {
    std::uint32_t size;
    const char* company;         // EmprProc: the current company code, e.g. "01"
    const char* user;            // Operador: the user code sent with a saved entry
    const char* serverHost;      // WebURL: host of the application server
    int serverPort;              // WebPort
    const char* dbConnection;    // name of the host's open QSqlDatabase connection the lookups share
    const char* locale;          // "pt_BR" when empty
    const char* today;           // "YYYY-MM-DD" fixes the date the module takes as today; empty: the clock
    void* uiServices;            // ctb::ui::UiServices* of the host (Qt or headless); required
    const char* accountPicture;  // account-code picture, "9.9.99.999" when empty
    const char* token;           // bearer token for the application server; null or empty: none
};

// Returns 0 when the session was taken; a negative number when it is unusable (null, too small, no UI
// services).
CTB_EXPORT int SetSessao(const CtbSessao* session);

CTB_EXPORT void IniProc();
CTB_EXPORT void CriaLancamentos();
// Returns the dialog's modal result as an int (the callers ignore it).
CTB_EXPORT int CriaLancFiltro();
CTB_EXPORT void CriaHistorico();

struct CtbPackageInfo {
    const char* name;
    const char* const* units;      // null-terminated
    const char* const* requires_;  // null-terminated
};
CTB_EXPORT const CtbPackageInfo* GetPackageInfoTable();
CTB_EXPORT void Initialize();
CTB_EXPORT void Finalize();

// Module state.
CTB_EXPORT extern ctb::ctb10000::TfrmLancamento* frmLancamento;
CTB_EXPORT extern bool boCriado;
CTB_EXPORT extern ctb::ctb10000::TfrmLancFiltro* frmLancFiltro;
CTB_EXPORT extern ctb::ctb10000::TfrmHistLanc* frmHistLanc;
CTB_EXPORT extern bool boIdCriado;
CTB_EXPORT extern bool boFrmClose;
// The audit-trail dialog last shown ("Histórico de alterações"); null before the first.
CTB_EXPORT extern ctb::ctb10000::TfrmHistAlteracoes* frmHistAlteracoes;
}
