#pragma once

// The data model of `TfrmLancamento` ("Lançamentos Contábeis", CTB10000) as declarations: in-memory
// tables, lookup queries, data sources, grids, header and line controls, server connections and the
// message catalog `msgPadrao`.

#include "contracts/host_library.h"

#include <vector>

namespace ctb::ctb10000 {

[[nodiscard]] const FormDecl& lancamentoForm();
[[nodiscard]] const std::vector<LayoutDecl>& lancamentoLayout();

// `cdsLancCont`, `cdsLancFiltrado`, `cdsDebito`, `cdsCredito`, `cdsLancContEspelho`, `cdsLancCCusto`,
// `cdsLancCCustoEspelho`, `cdsCentCustFil`, `cdsMapaApurac`, in that order.
[[nodiscard]] const std::vector<TableDecl>& lancamentoTables();

// `qryEmpresa`, `qryHistPadr`, `qryFilial`, `qryContCtbl`, `qryTipoCome`, `qryCliente`,
// `qryFornecedor`, `qryBanco`.
[[nodiscard]] const std::vector<QueryDecl>& lancamentoQueries();

// Data sources of the screen and the table or query each shows (`dtsPadrao` is the base form's).
struct DataSourceDecl {
    const char* name;
    const char* dataSet;
};
[[nodiscard]] const std::vector<DataSourceDecl>& lancamentoDataSources();

[[nodiscard]] const std::vector<GridDecl>& lancamentoGrids();
[[nodiscard]] const std::vector<ControlDecl>& lancamentoControls();
[[nodiscard]] const std::vector<LookupDecl>& lancamentoLookups();

struct ConnectionDecl {
    const char* name;
    const char* serverName;
};
// `netLancamento` then `NetLanccontabil`: the order in which the screen opens them.
[[nodiscard]] const std::vector<ConnectionDecl>& lancamentoConnections();

// The 61 entries of `msgPadrao`.
[[nodiscard]] const std::vector<CatalogEntry>& lancamentoCatalog();

// `IDSISTEMA` codes and the fixed texts they are shown as.
[[nodiscard]] const std::vector<CatalogEntry>& sistemaTexts();

// Tables whose `CDCONTCTBL` takes the account-code picture at creation (the mirror keeps none).
[[nodiscard]] const std::vector<const char*>& accountMaskedTables();

}  // namespace ctb::ctb10000
