#pragma once

// Builds a screen's objects from its declarations (hostlib/declarations.h): table fields, lookup
// queries, controls, layout, lookup buttons and grid columns. Every screen of the module stands on it.

#include "hostlib/declarations.h"
#include "hostlib/export.h"
#include "hostlib/host.h"
#include "platform/dataset/client_dataset.h"
#include "platform/sql/query.h"
#include "platform/ui/data_controls.h"

#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace ctb::hostlib {

// Declares the fields of a closed table in order, with labels, visibility, formats, masks and index.
CTB_HOSTLIB_EXPORT void declareTable(ClientDataSet& table, const TableDecl& decl);

// Gives a query its text and declares its result fields in order.
CTB_HOSTLIB_EXPORT void declareQuery(sql::Query& query, const QueryDecl& decl);

// A lookup query of a screen: the host library's query with the declared text and result fields, on
// the session's shared connection.
class CTB_HOSTLIB_EXPORT DeclaredQuery : public TADOIBQuery {
  public:
    DeclaredQuery(const QueryDecl& decl, const QSqlDatabase& db);
    [[nodiscard]] const QueryDecl& declaration() const { return decl_; }

  private:
    const QueryDecl& decl_;
};

// A declared control of the form, of the type the screen expects; a declaration out of step with the
// screen is a programming error.
template <typename T>
T& control(ui::Form& form, const char* name) {
    auto* c = dynamic_cast<T*>(form.findControl(u8(name)));
    if (c == nullptr)
        throw std::logic_error(std::string("control not declared: ") + name);
    return *c;
}

// Builds the declared controls under the form, each inside its declared parent (a control of the
// form, or the form itself); lookup buttons, numeric and date edits are the host library's.
CTB_HOSTLIB_EXPORT void buildControls(ui::Form& form, const std::vector<ControlDecl>& controls);

// Places the form and its controls as the layout table says. A row naming no control of the form
// is passed over: the layout is looks only and must never keep a screen from opening (the
// declaration tests keep the tables and the controls in step).
CTB_HOSTLIB_EXPORT void applyLayout(ui::Form& form, const std::vector<LayoutDecl>& layout);

// Gives the declared lookup buttons of the form their data source, key field, title and not-found text.
CTB_HOSTLIB_EXPORT void setUpLookups(ui::Form& form, const std::vector<LookupDecl>& lookups,
                                     const std::function<DataSource*(const QString&)>& sourceByName);

// Gives the declared grids of the form their columns and editing options.
CTB_HOSTLIB_EXPORT void setUpGrids(ui::Form& form, const std::vector<GridDecl>& grids);

// The form's name, caption and first focused control, as declared.
CTB_HOSTLIB_EXPORT void applyFormDecl(ui::Form& form, const FormDecl& decl);

}  // namespace ctb::hostlib
