#pragma once

// The button rules of the journal-entry screen as pure functions: which tool buttons, menu items and
// controls are enabled, from the screen's flags and the states of its tables. The screen applies them
// (ControlaBotoesFormulario, ControlaBotoesNavegacao); tests check them as truth tables.

#include <optional>

namespace ctb::ctb10000 {

// The form button rule's inputs: the table it is applied to ("browse" means open and not being
// edited) and the screen's state.
struct FormButtonInputs {
    bool tableOpen = false;
    bool tableEditing = false;
    int tableRows = 0;
    bool onBrowseTab = false;
    bool FNavegacao = false;
    bool FConfirmado = false;
    bool FAlterado = false;
    bool linesEditing = false;   // one of cdsDebito, cdsCredito, cdsLancCCusto is being edited
    bool newEntry = false;       // cdsLancFiltrado empty: the entry on the form tab was never stored
    bool documentEmpty = false;  // the screen's document text is empty
};

struct FormButtonStates {
    bool include = false;
    bool alterDelete = false;
    bool navigation = false;  // check button, fifth button, company label, edit and lookup
    bool filter = false;
    bool confirmCancel = false;
    bool browseTab = false;  // `tshFolhaDados` may be selected
    // Only while the form tab is showing: the header edits.
    std::optional<bool> document;
    std::optional<bool> date;
};

[[nodiscard]] FormButtonStates formButtonRule(const FormButtonInputs& in);

struct BrowseButtonStates {
    bool include = false;
    bool check = false;
    bool filter = false;
    bool fifth = false;
    bool alterDelete = false;
};

// The browse button rule, for an open list.
[[nodiscard]] BrowseButtonStates browseButtonRule(bool listEditing, int listRows, bool formTabShowing);

}  // namespace ctb::ctb10000
