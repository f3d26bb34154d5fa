#pragma once

#include "server/entry_rules.h"
#include "server/storage.h"

#include <QHash>
#include <QString>

namespace ctb::server {

// The company's accounting options (CONTOPECTBL) that govern the line checks.
struct CompanyOptions {
    QString managerial;   // IDCONTGERE: "S" keeps allocations
    QString commercial;   // IDCONTCOME: "S" keeps commercial accounts on lines
    QString sameAccount;  // IDMSMCONTADBCR: "N" forbids one account on both sides
    [[nodiscard]] bool keepsAllocations() const { return managerial == QLatin1String("S"); }
    [[nodiscard]] bool keepsCommercial() const { return commercial == QLatin1String("S"); }
    [[nodiscard]] bool forbidsSameAccount() const { return sameAccount == QLatin1String("N"); }
};

struct AccountInfo {
    bool analytic = false;
    QString allocationFlag;  // first letter of IDCONTCCUS, upper case
    QString commercialKind;  // first letter of IDTIPOCOME, upper case; empty: takes no commercial account
    [[nodiscard]] bool takesAllocations() const {
        return allocationFlag == QLatin1String("G") || allocationFlag == QLatin1String("L") ||
               allocationFlag == QLatin1String("R");
    }
};
using Accounts = QHash<QString, AccountInfo>;  // by CDCONTCTBL

// The line checks of a confirm that read the database, each set-based (one statement for all the
// entry's accounts, codes, branches or pairs), in the order the screen runs them on a line. Each
// throws Refusal naming the entry and the line.
class EntryChecks {
  public:
    EntryChecks(Storage& storage, const Entry& entry, CompanyOptions options);

    // Every account known and analytic; reads the accounts for the checks below.
    void accounts();
    void histories();    // standard histories known
    void sameAccount();  // a debit and a credit line on one account, when the company forbids it
    void commercial();   // the code an account requires, of a client, supplier or bank account of its kind
    void allocations();  // allocations only where they belong, on the company's branches, adding up

    // The commercial kind to store with a line (the account's, where the company keeps commercial
    // accounts and the account takes one; else as the client sent it).
    [[nodiscard]] QString kindToStore(const EntryLine& line) const;

  private:
    [[nodiscard]] QSet<QString> found(const QString& sql, const QStringList& keys, bool withCompany);

    Storage& storage_;
    const Entry& e_;
    CompanyOptions options_;
    Accounts accounts_;
};

}  // namespace ctb::server
