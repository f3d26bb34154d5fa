#pragma once

#include <QDate>
#include <QSqlDatabase>
#include <QString>

#include <cstdint>
#include <vector>

namespace ctb::db::detail {

// A small deterministic generator (splitmix64): the same seed gives the same data on every platform.
class Rng {
  public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [lo, hi].
    std::int64_t between(std::int64_t lo, std::int64_t hi) {
        return lo + static_cast<std::int64_t>(next() % static_cast<std::uint64_t>(hi - lo + 1));
    }
    bool chance(int percent) { return between(1, 100) <= percent; }
    template <typename T>
    const T& pick(const std::vector<T>& v) {
        return v[static_cast<std::size_t>(between(0, static_cast<std::int64_t>(v.size()) - 1))];
    }

  private:
    std::uint64_t state_;
};

struct Company {
    QString code;
    QString name;
    bool hasOptions;
    QString managerial;   // IDCONTGERE
    QString commercial;   // IDCONTCOME
    QString sameAccount;  // IDMSMCONTADBCR
    int monthlyMin;       // demo entries per month
    int monthlyMax;
    int generatorWeight;            // share of generated benchmark entries
    std::vector<QString> branches;  // EMPRFILIAL
};

struct Account {
    QString code;
    QString reduced;  // empty for synthetic accounts
    QString name;
    QString allocation;  // IDCONTCCUS; "-" stores NULL
    QString commercial;  // IDTIPOCOME; empty stores NULL
    QString rateio;
};

struct Party {
    QString code;
    QString name;
    QString kind;  // F individual, J company
    QString registration;
};

struct BankAccount {
    QString company;
    QString bank;
    QString agency;
    QString account;
    QString description;
    QString reduced;
};

struct Branch {
    QString code;
    QString name;
    std::vector<QString> costCentres;  // CENTCUSTFIL
};

const std::vector<Company>& companies();
const std::vector<Account>& accounts();
const Account* findAccount(const QString& code);
const std::vector<Party>& clients();
const std::vector<Party>& suppliers();
const std::vector<BankAccount>& bankAccounts();
const std::vector<Branch>& branches();

// The company's open period for a given today.
void periodOf(const Company& c, QDate today, QDate* from, QDate* to);

// Inserts every reference table (companies with their options, chart, histories, branches, cost
// centres, clients, suppliers, banks and bank accounts).
void insertReferenceData(const QSqlDatabase& db, QDate today);

}  // namespace ctb::db::detail
