#pragma once

// The data model of `TfrmLancFiltro` ("Filtro de Lançamento Contábil", CTB10010) as declarations:
// criteria controls with their limits and captions, lookup queries, `cdsData` and the catalog.

#include "contracts/host_library.h"

#include <vector>

namespace ctb::ctb10000 {

[[nodiscard]] const FormDecl& lancFiltroForm();
[[nodiscard]] const std::vector<LayoutDecl>& lancFiltroLayout();

// `qryContCtbl`, `qryContOp`, `qryFilial`, `qryCentCust` of the dialog.
[[nodiscard]] const std::vector<QueryDecl>& lancFiltroQueries();

// `cdsData`.
[[nodiscard]] const std::vector<TableDecl>& lancFiltroTables();

[[nodiscard]] const std::vector<ControlDecl>& lancFiltroControls();

// The account tree lookups `BtnPesquisa1`, `BtnPesquisa2`.
[[nodiscard]] const std::vector<LookupDecl>& lancFiltroLookups();

// The multi-select lookups: button, query, data source, key field, catalog keys of title and
// not-found text, and whether those keys are read in the journal-entry screen's catalog.
struct ListLookupDecl {
    const char* button;
    const char* query;
    const char* dataSource;
    const char* keyField;
    const char* titleKey;
    const char* notFoundKey;
    bool entryScreenCatalog;
};
[[nodiscard]] const std::vector<ListLookupDecl>& lancFiltroListLookups();

// The 25 entries of the dialog's `msgPadrao`.
[[nodiscard]] const std::vector<CatalogEntry>& lancFiltroCatalog();

}  // namespace ctb::ctb10000
