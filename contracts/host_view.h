#pragma once

// The module's view of the host component library: the session the module keeps for the host, the
// library's classes under the names the screens use, the lookup query built from its declaration,
// and the building of declared controls with the library's lookup buttons and edits.

#include "entry_screen/declarations.h"
#include "hostlib/host.h"

#include <QString>

#include <stdexcept>
#include <string>
#include <vector>

namespace ctb::ctb10000 {

using hostlib::MensErro;
using hostlib::Session;
using hostlib::TBtnPesquisa;
using hostlib::TDateEditPlus;
using hostlib::TfrmPadrao;
using hostlib::TfrmRotiGeral;
using hostlib::TMessages;
using hostlib::TNetConnection;
using hostlib::TNumberEdit;

// The module's one session, filled by SetSessao; the screens are created with it.
[[nodiscard]] Session& session();

[[nodiscard]] inline QString EmprProc() {
    return session().EmprProc;
}
[[nodiscard]] inline QString Operador() {
    return session().Operador;
}
[[nodiscard]] inline QString WebURL() {
    return session().WebURL;
}
[[nodiscard]] inline int WebPort() {
    return session().WebPort;
}
[[nodiscard]] inline QString DBPict(int pictureType) {
    return session().DBPict(pictureType);
}

// A lookup query of a screen: the host library's query with the declared text and result fields.
class TADOIBQuery : public hostlib::TADOIBQuery {
  public:
    explicit TADOIBQuery(const QueryDecl& decl);
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
void buildControls(ui::Form& form, const std::vector<ControlDecl>& controls);

// Places the form and its controls as the layout table says. A row naming no control of the form
// is passed over: the layout is looks only and must never keep a screen from opening (the
// declaration tests keep the tables and the controls in step).
void applyLayout(ui::Form& form, const std::vector<LayoutDecl>& layout);

// Gives the declared lookup buttons of the form their data source, key field, title and not-found text.
void setUpLookups(ui::Form& form, const std::vector<LookupDecl>& lookups,
                  const std::function<DataSource*(const QString&)>& sourceByName);

}  // namespace ctb::ctb10000
