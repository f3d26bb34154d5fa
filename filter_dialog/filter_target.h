#pragma once

// What the filter dialog works on: the journal-entry screen that opened it. The dialog reads the
// screen's company, catalog and lookup lists, queries the entry list through the screen's server
// connection and hands the result back; it never reaches into the screen itself.

#include "contracts/host_library.h"
#include "contracts/rdm_lancamento.h"

namespace ctb::ctb10000 {

class FilterTarget {
  public:
    virtual ~FilterTarget() = default;

    // A lookup list of the screen that the dialog's multi-select lookups show.
    enum class List { History, Client, Supplier, Bank };
    struct Lookup {
        TADOIBQuery& query;
        DataSource& source;
    };

    // The company code the screen shows (`edtCdEmpresa`).
    [[nodiscard]] virtual QString companyCode() const = 0;
    // The screen's catalog: some of the dialog's texts are read there.
    [[nodiscard]] virtual const TMessages& screenCatalog() const = 0;
    [[nodiscard]] virtual RdmLancamento& server() = 0;
    [[nodiscard]] virtual Lookup lookup(List list) = 0;
    // A successful query's result: the screen takes the list and the branches' cost centres.
    virtual void loadList(EntryList& list) = 0;
};

}  // namespace ctb::ctb10000
