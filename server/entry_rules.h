#pragma once

#include "platform/dataset/packet.h"
#include "server/storage.h"

#include <QDate>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <vector>

namespace ctb::server {

// One line of an entry as the server checks and stores it.
struct EntryLine {
    QString seq;  // NRSEQLANC
    QString account, document, history, commercialCode, origin, side, historyCode, commercialKind, system;
    QDate date;
    std::int64_t cents = 0;  // signed: debit negative
};

struct EntryAllocation {
    QString seq, branch, costCentre;
    QDate date;
    std::int64_t cents = 0;
};

struct Entry {
    QString company, number;
    std::vector<EntryLine> lines;
    std::vector<EntryAllocation> allocations;
};

// Reads the two packets of a confirm and applies every rule that needs no database: one company
// and one entry number, a debit line, values more than zero with the sign of their side, debits equal
// to credits to the cent, allocations on lines of the entry, no duplicate allocation.
// Throws Refusal (a rule) or BadRequest (a packet without the fields it must carry).
[[nodiscard]] Entry readEntry(const DataPacket& lines, const DataPacket& allocations);

[[nodiscard]] bool isValidYearMonth(const QString& yearMonth);
[[nodiscard]] QString monthText(const QVariant& v);  // "01".."12" when numeric
[[nodiscard]] QString yearText(const QVariant& v);
[[nodiscard]] QString staleVersionMessage(const QString& entry);

// Version and audit rows, inside the caller's transaction.
[[nodiscard]] std::int64_t bumpVersion(Storage& storage, const QString& company, const QString& entry);
void writeAudit(Storage& storage, const QString& company, const QString& entry, const QString& action,
                const QString& user, std::int64_t version, qlonglong lines, std::int64_t debitCents);

}  // namespace ctb::server
