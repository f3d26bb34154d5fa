#pragma once

// The criteria of an entry-list query as they travel to `getLancamentos`: arguments 2 to 19, kept by
// the filter dialog after each successful query so that the journal-entry screen can repeat it with
// its own company code.

#include "platform/net/wire.h"

#include <QDate>
#include <QString>

#include <vector>

namespace ctb::ctb10000 {

struct LancFilterArgs {
    QDate dtIni;           // 2
    QDate dtFim;           // 3
    QString contIni;       // 4: first account as typed, empty when none
    QString contFimBound;  // 5: last account filled with "Z" to 10 characters; "T" when no range
    QString contFimCopy;   // 6: the same text as 5
    double vrIni = 0;      // 7
    double vrFim = 0;      // 8
    QString flagValor;     // 9: "T" when both values are zero
    QString histText;      // 10
    QString documento;     // 11
    QString centCust;      // 12
    QString filial;        // 13
    QString banco;         // 14
    QString fornecedor;    // 15
    QString cliente;       // 16
    QString tiposCome;     // 17: "_C_", "_F_", "_B_" joined, or "T"
    QString histLista;     // 18
    QString nrLanc;        // 19

    // A query has been confirmed: both dates are set.
    [[nodiscard]] bool hasPeriod() const { return dtIni.isValid() && dtFim.isValid(); }
    // The nineteen arguments, the company first.
    [[nodiscard]] std::vector<wire::Value> toArgs(const QString& company) const;
};

}  // namespace ctb::ctb10000
