#pragma once

// The debit and the credit side of the journal-entry screen. Their handlers are twins: one body runs
// over the side it is given, and every difference between the two sides is a member here, so that none
// hides in a copy of the code.

#include "platform/dataset/client_dataset.h"
#include "platform/ui/controls.h"
#include "platform/ui/data_controls.h"

#include <QString>

namespace ctb::ctb10000 {

struct Side {
    // ---- what the side works on ----
    ClientDataSet& table;  // cdsDebito / cdsCredito
    DataSource& source;    // dtsDebito / dtsCredito
    ui::DBGrid& grid;      // dbgDebito / dbgCredito
    ClientDataSet& otherTable;

    // ---- names and texts ----
    const char* valueField;         // the value the user types: "DEBITO" / "CREDITO"
    const char* letter;             // stored in IDTIPOLANC, passed to AtualizaContaComercial: "D" / "C"
    const char* code;               // passed to the commercial and allocation checks: "DB" / "CR"
    const char* missingAccountKey;  // "CONTCTBLDEB_DEV" / "CONTCTBLCRE_DEV"
    const char* valueKey;           // "DEB_DEV" / "CRED_DEV"
    const char* deleteQuestionKey;  // "EXCLUIR_DB" / "EXCLUIR_CR"
    // `VRLANCAMENT` is the value, rounded, times this: a debit is stored negative.
    double sign;

    // ---- differences in leaving the account column (CDCONTCTBL) ----
    // Debit: the account is checked against the picture before its values are copied into the line;
    // credit: the values are copied first, then the picture check runs.
    bool copiesAccountAfterPictureCheck;
    // Debit: an emptied account still refreshes the commercial panel (which then clears the code);
    // credit: an empty account changes nothing.
    bool refreshesCommercialOnEmptyAccount;
    // Credit: leaving the value column with a value sends the focus to the standard-history code.
    bool valueExitGoesToHistory;

    // ---- differences in the balance and line navigation ----
    // Credit: a line becoming current copies every allocation into the allocation mirror.
    bool scrollCopiesAllocationMirror;
    // After a stored line: the debit side applies the form button rule and then disables the date
    // edit; the credit side disables the date edit first, so the rule sets it again.
    bool disablesDateBeforeButtonRule;
};

}  // namespace ctb::ctb10000
