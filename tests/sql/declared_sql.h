#pragma once

// The screens' lookup texts exactly as they declare them, by query name, so these tests run the very
// text a screen opens (a copy here would go on passing after the screen's text changed).

#include "entry_screen/lancamento_decl.h"
#include "filter_dialog/lanc_filtro_decl.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace ctb::sql::test {

namespace detail {
inline const char* declaredSql(const std::vector<hostlib::QueryDecl>& queries, std::string_view name) {
    for (const hostlib::QueryDecl& q : queries)
        if (name == q.name)
            return q.sql;
    throw std::logic_error("no declared query " + std::string(name));
}
}  // namespace detail

// A query of the journal-entry screen (`qryEmpresa`, `qryContCtbl`, ...).
inline const char* entryScreenSql(std::string_view name) {
    return detail::declaredSql(ctb10000::lancamentoQueries(), name);
}

// A query of the filter dialog (its own `qryContCtbl`, `qryContOp`, `qryFilial`, `qryCentCust`).
inline const char* filterDialogSql(std::string_view name) {
    return detail::declaredSql(ctb10000::lancFiltroQueries(), name);
}

}  // namespace ctb::sql::test
